#include "app/ReportPath.h"

#include <filesystem>
#include <system_error>

#include "core/NativeFile.h"
#include "core/Text.h"

namespace pamiro {

namespace fs = std::filesystem;

namespace {

// The folders of a path resolved (links too) as far as they exist, the rest
// as written.
fs::path Resolved(const std::string& path) {
    if (path.empty()) return {};
    std::error_code error;
    fs::path absolute = fs::absolute(NativePath(path), error);
    if (error) return {};
    fs::path resolved = fs::weakly_canonical(absolute, error);
    return error ? absolute.lexically_normal() : resolved;
}

bool Inside(const fs::path& path, const fs::path& folder) {
    if (path.empty() || folder.empty()) return false;
    const fs::path rest = path.lexically_relative(folder);
    return !rest.empty() && *rest.begin() != "..";
}

bool EndsWithIgnoringCase(const std::string& name, std::string_view end) {
    return name.size() >= end.size() &&
           EqualIgnoringAsciiCase(std::string_view(name).substr(name.size() - end.size()), end);
}

std::string WindowsPathRefusal(const std::string& path, const std::string& option = "--report") {
    return option + " parece una ruta de Windows: " + path +
           "; aquí las carpetas se escriben con \"/\" y sin letra de unidad";
}

// Inside the source or a destination: the same for a file and a folder.
std::string GuardedPlace(const std::string& shown, const fs::path& where,
                         const ReportGuards& guards, const ReportWords& words = {}) {
    if (Inside(where, Resolved(guards.SourceFolder))) {
        return words.Subject + " no puede estar dentro de la carpeta de la fuente (" +
               guards.SourceFolder + "): " + shown;
    }
    for (const std::string& destination : guards.DestinationFolders) {
        if (Inside(where, Resolved(destination))) {
            return words.Subject + " no puede estar en la carpeta del destino (" + destination +
                   ") ni dentro de ella: " + shown;
        }
    }
    return {};
}

}  // namespace

std::string ReportFileRefusal(const std::string& path, const ReportGuards& guards,
                              const ReportWords& words) {
    if (LooksLikeWindowsPath(path)) return WindowsPathRefusal(path, words.Option);
    std::error_code error;
    const fs::path absolute = fs::absolute(NativePath(path), error);
    const fs::path name = absolute.filename();
    if (error || name.empty() || name == "." || name == "..") {
        return words.Subject + " no puede ser una carpeta: " + path;
    }
    const fs::path folder = absolute.parent_path();
    if (!fs::is_directory(folder, error)) {
        return "La carpeta " + words.Of + " no existe: " + PathBytes(folder);
    }
    // A link in the report's place is replaced itself, never followed.
    const fs::file_status standing = fs::symlink_status(absolute, error);
    if (fs::is_directory(standing)) return words.Subject + " no puede ser una carpeta: " + path;
    const fs::path where = fs::canonical(folder, error) / name;
    if (error) return "La carpeta " + words.Of + " no existe: " + PathBytes(folder);
    if (std::string refusal = GuardedPlace(path, where, guards, words); !refusal.empty())
        return refusal;
    // What the run reads from the program's folder: the parameter data files
    // and the base sources.
    const std::string fileName = PathBytes(name);
    if (Inside(where, Resolved(guards.DataFolder)) &&
        (EndsWithIgnoringCase(fileName, ".dat") || EndsWithIgnoringCase(fileName, "_base.s"))) {
        return words.Subject + " no puede ser un archivo que la conversión lee: " + path;
    }
    return {};
}

std::string ReportFolderRefusal(const std::string& folder, const ReportGuards& guards) {
    if (LooksLikeWindowsPath(folder)) return WindowsPathRefusal(folder);
    std::error_code error;
    const fs::file_status standing = fs::status(NativePath(folder), error);
    if (fs::exists(standing) && !fs::is_directory(standing)) {
        return "La carpeta de los informes no es una carpeta: " + folder;
    }
    return GuardedPlace(folder, Resolved(folder), guards);
}

std::string AbsolutePathText(const std::string& path) {
    if (path.empty()) return path;
    std::error_code error;
    const fs::path absolute = fs::absolute(NativePath(path), error);
    return error ? path : PathBytes(absolute.lexically_normal());
}

}  // namespace pamiro
