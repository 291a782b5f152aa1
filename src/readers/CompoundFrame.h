#pragma once

#include <string>

namespace pamiro {

struct ConversionJob;

// Both source formats frame a compound alike. With "FoxCAE Transfer" the start
// numbers the compound, writes its "cmp_list" line and creates its compound
// file; the end writes the closing lines and closes it. With "ICC Api" only
// the observer hears of the compound.
void StartCompound(ConversionJob& job, const std::string& compoundName);
void EndCompound(ConversionJob& job);

}  // namespace pamiro
