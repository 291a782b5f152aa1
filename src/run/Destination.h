#pragma once

#include <string>

namespace pamiro {

struct ConversionJob;

// The run's destination files: "cmp_list" and "src_list" ("FoxCAE Transfer"),
// or the command script CP.cmd with its frame lines ("ICC Api").

// Creates (or truncates) them; the script gets its "OPEN " line at once.
void OpenDestination(ConversionJob& job, const std::string& cpName);
// Closes them; the script gets its "CLOSE " and "EXIT" lines first.
void FinishDestination(ConversionJob& job, const std::string& cpName);
// Closes and deletes them: a failed Save All scan leaves no list or script.
void DiscardDestination(ConversionJob& job, const std::string& cpName);

}  // namespace pamiro
