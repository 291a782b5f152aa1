#include "output/OutputFiles.h"

#include "output/OutputFormats.h"

namespace pamiro {

std::string ScriptName(const std::string& cp) { return cp + ".cmd"; }
std::string CompoundFileName(long long n) { return NumberedFileName("cmp", n); }
std::string SourceCopyName(long long n) { return NumberedFileName("src", n); }

}  // namespace pamiro
