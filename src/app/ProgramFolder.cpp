#include "app/ProgramFolder.h"

#include <filesystem>
#include <system_error>

#include "core/NativeFile.h"

namespace pamiro {

std::string ProgramFolder() {
    std::string folder = ExecutableFolder();
    if (!folder.empty()) return folder;
    std::error_code error;
    return PathBytes(std::filesystem::current_path(error));
}

}  // namespace pamiro
