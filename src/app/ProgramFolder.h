#pragma once

#include <string>

namespace pamiro {

// The folder of the running executable, without a trailing separator; the
// installation data (parameter data files, base sources) lies there.
std::string ProgramFolder();

}  // namespace pamiro
