#include "cli/InputRefusals.h"

#include "app/InputChecks.h"
#include "core/NativeFile.h"
#include "core/Paths.h"
#include "readers/PlatformFit.h"
#include "run/ConversionJob.h"

namespace pamiro::cli {

namespace {

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

CliRefusal Explained(const Refusal& refusal, const ConversionRequest& request,
                     const ConversionJob& job) {
    CliRefusal shown{refusal.Title, refusal.Text, {}};
    if (refusal.Text == "Letterbug del CP incorrecto") shown.Detail = kLetterbugExplained;
    if (refusal.Title != "Archivo de datos") return shown;
    const std::string& code =
        job.VersionTable[static_cast<std::size_t>(request.VersionIndex)].first;
    if (!Offered(code)) {
        return CliRefusal{
            "Versión",
            "La versión de I/A " + code +
                " no es ninguna de las ofrecidas y no hay archivo de datos para ella",
            "Versiones ofrecidas (código o texto): " + VersionsOnOffer(DefaultVersionTable()) +
                "\n  Archivo de datos buscado: " + job.DataFilePath};
    }
    // The check fills the data file's path before it looks for it.
    const std::size_t slash = job.DataFilePath.find_last_of("/\\");
    shown.Detail = "Archivo buscado: " + job.DataFilePath +
                   AmbiguityOf(job.ProgramDir, job.DataFilePath.substr(slash + 1));
    return shown;
}

std::optional<CliRefusal> RefuseWindowsPaths(const ConversionRequest& request) {
    const std::pair<const char*, const std::string*> paths[] = {
        {"--from", &request.SourceSelection}, {"--to", &request.DestinationFolder}};
    for (const auto& [option, path] : paths) {
        if (!LooksLikeWindowsPath(*path)) continue;
        return CliRefusal{"Pamiro", std::string(option) + " parece una ruta de Windows: " + *path,
                          "Aquí las carpetas se escriben con \"/\" y sin letra de unidad (por "
                          "ejemplo /mnt/datos/salida); no se crea ni se lee nada"};
    }
    return std::nullopt;
}

std::optional<CliRefusal> PickPlatform(ConversionRequest& request, std::string& note) {
    const std::string cp = NormaliseCpName(request.CpNameText);
    if (request.SourceIndex != IndexOf(SourceKind::WorkingFile)) {
        return CliRefusal{"Plataforma",
                          "--platform auto solo sirve para un Working File: con un Save All "
                          "indique la plataforma (pw, aw51 o aw70)",
                          {}};
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
    return CliRefusal{"Plataforma",
                      "No se puede elegir la plataforma: el índice de " + cp + ".O " + why,
                      "Índice: " + index + "; indique --platform pw, aw51 o aw70"};
}

}  // namespace pamiro::cli
