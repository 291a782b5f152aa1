#include "core/Paths.h"

namespace pamiro {

std::string StripTrailingSeparator(std::string folder) {
    if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    return folder;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder);
#ifdef _WIN32
    path.push_back('\\');
#else
    path.push_back('/');
#endif
    path.append(name);
    return path;
}

std::string FileNameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool IsSafeFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

}  // namespace pamiro
