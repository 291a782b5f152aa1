#pragma once

#include <string>

namespace pamiro {

// The names of the files a run writes in the destination folder.
inline constexpr const char* kCompoundListName = "cmp_list";
inline constexpr const char* kSourceListName = "src_list";
std::string ScriptName(const std::string& cp);  // CP + ".cmd"
std::string CompoundFileName(long long n);      // cmp0001, cmp10000
std::string SourceCopyName(long long n);        // src0001

}  // namespace pamiro
