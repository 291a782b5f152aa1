#pragma once

#include <string>
#include <string_view>

namespace pamiro {

// Folders are held without a trailing separator: one trailing "/" or "\" (a
// root's) is removed, so the root "/" becomes "" and joins as "/name".
std::string StripTrailingSeparator(std::string folder);
std::string JoinPath(std::string_view folder, std::string_view name);
// The last name of a path, after its last "/" or "\"; the whole path when
// it has none.
std::string FileNameOf(std::string_view path);

// A name read from a source file may only name a file inside its folder: no
// separators, no NUL, not empty, not "." or "..".
bool IsSafeFileName(std::string_view name);

}  // namespace pamiro
