#include "app/InputChecks.h"

#include <filesystem>
#include <system_error>

#include "core/Folders.h"
#include "core/NativeFile.h"
#include "core/SourceTree.h"
#include "readers/PlatformFit.h"

namespace pamiro {

namespace fs = std::filesystem;

namespace {

// A relative folder counts from the working folder, as the run opens it; a
// folder whose leading part does not exist yet would otherwise stay relative.
fs::path Resolved(const std::string& folder, std::error_code& error) {
    const fs::path path = fs::absolute(NativePath(folder), error);
    return error ? fs::path() : fs::weakly_canonical(path, error);
}

}  // namespace

std::string DestinationInSourceWarning(const std::string& sourceDir,
                                       const std::string& destinationDir) {
    std::error_code error;
    const fs::path source = Resolved(sourceDir, error);
    if (error) return {};
    const fs::path destination = Resolved(destinationDir, error);
    if (error) return {};
    const fs::path inside = destination.lexically_relative(source);
    if (inside.empty() || *inside.begin() == "..") return {};
    const bool same = inside == ".";
    return same ? "La carpeta de destino es la de la fuente (" + destinationDir +
                      "): los archivos escritos se mezclan con los que se leen"
                : "La carpeta de destino " + destinationDir +
                      " está dentro de la carpeta de la fuente (" + sourceDir +
                      "): los archivos escritos se mezclan con los que se leen";
}

std::vector<Platform> PlatformsFittingWorkingFile(const std::string& sourceDir,
                                                  const std::string& cp) {
    const DiskInputFolder folder(sourceDir, false);
    return PlatformsFittingTree(SourceTree(folder), cp);
}

std::string VersionsOnOffer(const std::vector<std::pair<std::string, std::string>>& table) {
    std::string text;
    for (const auto& [code, label] : table) {
        text += (text.empty() ? "" : ", ") + code + " (" + label + ")";
    }
    return text;
}

}  // namespace pamiro
