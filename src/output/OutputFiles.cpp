#include "output/OutputFiles.h"

#include <algorithm>

#include "output/OutputFormats.h"

namespace pamiro {

namespace {
constexpr std::string_view kCompoundPrefix = "cmp";
constexpr std::string_view kSourceCopyPrefix = "src";
}  // namespace

std::string ScriptName(const std::string& cp) { return cp + ".cmd"; }
std::string CompoundFileName(long long n) { return NumberedFileName(kCompoundPrefix, n); }
std::string SourceCopyName(long long n) { return NumberedFileName(kSourceCopyPrefix, n); }

bool IsNumberedFileName(std::string_view name) {
    const std::string_view prefix = name.substr(0, 3);
    return name.size() >= 7 && (prefix == kCompoundPrefix || prefix == kSourceCopyPrefix) &&
           std::all_of(name.begin() + 3, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace pamiro
