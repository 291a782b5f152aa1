#pragma once

#include <string>

#include "readers/ReadContext.h"

namespace pamiro {

// Reads the revision code from the first 4 bytes of the CP's ".wf" file, then
// every compound of the CP's index file in file order: the compound's own
// record, then each block of its index file.
void ReadWorkingFile(ReadContext& context, const std::string& cp, ByteSource& workingFile);

}  // namespace pamiro
