#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "core/NativeSystem.h"

namespace pamiro {

std::string SystemFolder() { return "/var"; }

std::string TempFolderUnder(std::string_view systemFolder) {
    std::string folder(systemFolder);
    if (!folder.empty() && folder.back() == '/') folder.pop_back();
    return folder + "/tmp";
}

std::string FixedDefaultFolder() { return "/var/tmp"; }

std::string DocumentsFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') return home;
    // A session without HOME: the password database's entry.
    const passwd* user = ::getpwuid(::getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "";
}

}  // namespace pamiro
