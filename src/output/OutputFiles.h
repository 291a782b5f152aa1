#pragma once

#include <string>
#include <string_view>

namespace pamiro {

// The names of the files a run writes in the destination folder.
inline constexpr const char* kCompoundListName = "cmp_list";
inline constexpr const char* kSourceListName = "src_list";
std::string ScriptName(const std::string& cp);  // CP + ".cmd"
std::string CompoundFileName(long long n);      // cmp0001, cmp10000
std::string SourceCopyName(long long n);        // src0001
// A name of those two kinds, whatever its number: "cmp" or "src" and four
// or more digits.
bool IsNumberedFileName(std::string_view name);

}  // namespace pamiro
