#include "app/InputChecks.h"

#include <filesystem>
#include <system_error>

#include "core/Folders.h"
#include "core/Host.h"
#include "core/NativeFile.h"
#include "core/Paths.h"
#include "core/SourceTree.h"
#include "readers/PlatformFit.h"
#include "run/ConversionJob.h"

namespace pamiro {

namespace fs = std::filesystem;

namespace {

// A relative folder counts from the working folder, as the run opens it; a
// folder whose leading part does not exist yet would otherwise stay relative.
fs::path Resolved(const std::string& folder, std::error_code& error) {
    const fs::path path = fs::absolute(NativePath(folder), error);
    return error ? fs::path() : fs::weakly_canonical(path, error);
}

bool Offered(const std::string& code) {
    for (const auto& [offered, label] : DefaultVersionTable()) {
        if (offered == code) return true;
    }
    return false;
}

std::string AmbiguityOf(const std::string& folder, const std::string& name) {
    const std::vector<std::string> variants = CaseVariants(folder, name);
    if (variants.size() < 2) return {};
    std::string list;
    for (const std::string& v : variants) list += (list.empty() ? "" : ", ") + v;
    return "\n  No se toma ninguno: hay varios nombres que solo difieren en mayúsculas y "
           "minúsculas: " +
           list;
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

Refusal DetailedRefusal(const Refusal& refusal, const ConversionRequest& request,
                        const ConversionJob& job) {
    Refusal shown = refusal;
    if (refusal.Kind == RefusalKind::Letterbug) shown.Detail = kLetterbugExplained;
    if (refusal.Kind != RefusalKind::DataFile) return shown;
    const std::string& code =
        job.VersionTable[static_cast<std::size_t>(request.VersionIndex)].first;
    if (!Offered(code)) {
        return Refusal{
            "Versión",
            "La versión de I/A " + code +
                " no es ninguna de las ofrecidas y no hay archivo de datos para ella",
            "Versiones ofrecidas (código o texto): " + VersionsOnOffer(DefaultVersionTable()) +
                "\n  Archivo de datos buscado: " + job.DataFilePath,
            RefusalKind::Plain};
    }
    // The check fills the data file's path before it looks for it.
    shown.Detail = "Archivo buscado: " + job.DataFilePath +
                   AmbiguityOf(job.ProgramDir, FileNameOf(job.DataFilePath));
    return shown;
}

std::optional<Refusal> RefuseWindowsPaths(const ConversionRequest& request) {
    const std::pair<const char*, const std::string*> paths[] = {
        {"--from", &request.SourceSelection}, {"--to", &request.DestinationFolder}};
    for (const auto& [option, path] : paths) {
        if (!LooksLikeWindowsPath(*path)) continue;
        return Refusal{"Pamiro", std::string(option) + " parece una ruta de Windows: " + *path,
                       "Aquí las carpetas se escriben con \"/\" y sin letra de unidad (por "
                       "ejemplo /mnt/datos/salida); no se crea ni se lee nada",
                       RefusalKind::Plain};
    }
    return std::nullopt;
}

std::optional<Refusal> RefuseSourceFolder(const std::string& folder) {
    std::error_code error;
    const fs::file_status status = fs::status(folder, error);
    if (!fs::exists(status)) {
        return Refusal{
            "Fuente", "La carpeta de la fuente no existe: " + folder, {}, RefusalKind::Plain};
    }
    if (!fs::is_directory(status)) {
        return Refusal{"Fuente", "La fuente no es una carpeta: " + folder, {}, RefusalKind::Plain};
    }
    return std::nullopt;
}

std::optional<Refusal> CheckOutputSource(ConversionRequest& request) {
    request.CpNameText = NormaliseCpName(request.CpNameText);
    if (auto refusal = CpNameRefusal(request.CpNameText)) return refusal;
    return RefuseSourceFolder(request.SourceSelection);
}

std::optional<Refusal> PickPlatform(ConversionRequest& request, std::string& note) {
    const std::string cp = NormaliseCpName(request.CpNameText);
    if (request.SourceIndex != IndexOf(SourceKind::WorkingFile)) {
        return Refusal{"Plataforma",
                       "--platform auto solo sirve para un Working File: con un Save All "
                       "indique la plataforma (pw, aw51 o aw70)",
                       {},
                       RefusalKind::Plain};
    }
    const std::string from = StripTrailingSeparator(request.SourceSelection);
    const std::vector<Platform> fitting = PlatformsFittingWorkingFile(from, cp);
    if (fitting.size() == 1) {
        request.PlatformIndex = IndexOf(fitting.front());
        note = "se elige " + std::string(TraitsOf(fitting.front()).Label) + ": el índice de " + cp +
               ".O solo corresponde a esa plataforma";
        return std::nullopt;
    }
    const std::string index = JoinPath(JoinPath(from, cp), cp + ".O");
    const std::string why = fitting.empty() ? "no corresponde a ninguna plataforma (o falta " + cp +
                                                  ".O o " + cp + ".wf)"
                                            : "corresponde a varias: " + PlatformList(fitting);
    return Refusal{"Plataforma",
                   "No se puede elegir la plataforma: el índice de " + cp + ".O " + why,
                   "Índice: " + index + "; indique --platform pw, aw51 o aw70", RefusalKind::Plain};
}

std::optional<Refusal> CheckRequestToRun(ConversionRequest& request, ConversionJob& job, Host& host,
                                         std::string& platformNote) {
    // With auto, everything but the data file (which depends on the
    // platform) is checked before the index is read.
    const bool autoPlatform = request.PlatformIndex == kAutoPlatform;
    if (autoPlatform) request.PlatformIndex = IndexOf(Platform::Aw51);
    if (auto refusal = CheckRequest(request, job, host)) {
        if (!autoPlatform || refusal->Kind != RefusalKind::DataFile) {
            return DetailedRefusal(*refusal, request, job);
        }
    }
    if (auto refusal = RefuseWindowsPaths(request)) return refusal;
    if (auto refusal = RefuseSourceFolder(request.SourceSelection)) return refusal;
    if (!autoPlatform) return std::nullopt;
    if (auto refusal = PickPlatform(request, platformNote)) return refusal;
    if (auto refusal = CheckRequest(request, job, host)) {
        return DetailedRefusal(*refusal, request, job);
    }
    return std::nullopt;
}

void WarnIfDestinationInSource(const ConversionJob& job, Host& host) {
    const std::string inside = DestinationInSourceWarning(job.SourceDir, job.DestinationDir);
    if (!inside.empty()) host.ShowMessage(MessageIcon::Warning, inside, "Pamiro - Destino");
}

}  // namespace pamiro
