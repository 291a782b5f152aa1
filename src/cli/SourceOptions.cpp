#include "cli/SourceOptions.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "app/BatchDiscovery.h"
#include "app/InputChecks.h"
#include "app/ProgramFolder.h"
#include "cli/CliHost.h"
#include "cli/ReportText.h"
#include "core/Console.h"
#include "core/FileError.h"
#include "core/Paths.h"
#include "run/ConversionJob.h"

namespace pamiro::cli {

namespace fs = std::filesystem;

namespace {

CLI::Validator Choice(int (*parse)(const std::string&), std::string accepted) {
    return CLI::Validator(
        [parse, accepted](std::string& value) -> std::string {
            if (parse(value) >= 0) return {};
            return "valor \"" + value + "\" no válido; se acepta: " + accepted;
        },
        "");
}

}  // namespace

CLI::Validator PlatformChoice(bool orAuto) {
    if (orAuto) {
        return Choice(
            [](const std::string& text) { return text == "auto" ? 0 : ParsePlatform(text); },
            "pw, aw51, aw70, \"PW (Intel)\", \"AW51\", \"AW70\", 0, 1, 2, auto");
    }
    return Choice(ParsePlatform, "pw, aw51, aw70, \"PW (Intel)\", \"AW51\", \"AW70\", 0, 1, 2");
}
CLI::Validator SourceChoice(bool outputs) {
    if (outputs) {
        return Choice(ParseReadSource,
                      "wf, sa, foxcae, icc, \"Working File\", \"Save All\", \"FoxCAE "
                      "Transfer\", \"ICC Api\", 0, 1");
    }
    return CLI::Validator(
        [](std::string& value) -> std::string {
            if (ParseSource(value) >= 0) return {};
            if (ParseReadSource(value) >= 0) {
                return "\"" + value +
                       "\" es la salida de una conversión: aquí la fuente es un Working File o un "
                       "Save All (wf, sa); la salida solo se lee con compare e inspect";
            }
            return "valor \"" + value +
                   "\" no válido; se acepta: wf, sa, \"Working File\", \"Save All\", 0, 1";
        },
        "");
}
CLI::Validator NotEmpty(std::string what) {
    return CLI::Validator(
        [what](std::string& value) -> std::string {
            return value.empty() ? "no se ha indicado " + what + " (el valor está vacío)"
                                 : std::string();
        },
        "");
}
CLI::Validator DestinationChoice() {
    return Choice(ParseDestination, "foxcae, icc, \"FoxCAE Transfer\", \"ICC Api\", 0, 1");
}

void AddSourceOptions(CLI::App& command, SourceOptions& options, bool outputs) {
    command
        .add_option("--cp", options.Cp,
                    "Letterbug del CP: 6 caracteres, ninguno que un nombre de archivo no admita")
        ->required()
        ->type_name("CP");
    command.add_option("--platform", options.Platform, kPlatformHelp)
        ->required()
        ->type_name("PLATAFORMA")
        ->check(PlatformChoice(true));
    command.add_option("--ia-version", options.Version, kVersionHelp)
        ->required()
        ->type_name("VERSIÓN");
    command
        .add_option("--source", options.Source,
                    std::string("Formato de la fuente: wf | sa (también \"Working File\", \"Save "
                                "All\", 0, 1)") +
                        (outputs ? kOutputSourceHelp : ""))
        ->required()
        ->type_name("FORMATO")
        ->check(SourceChoice(outputs));
    command
        .add_option("--from", options.From,
                    "Carpeta de la fuente: para un Working File, la carpeta que contiene la "
                    "carpeta del CP (CARPETA/CP/CP.wf); para un Save All, el árbol guardado "
                    "mismo (CARPETA/<compuesto>/parameters). Si no se encuentra la fuente, una "
                    "sugerencia nombra la carpeta o el formato correctos; los nombres se "
                    "encuentran sin distinguir mayúsculas y minúsculas si no hay uno exacto" +
                        std::string(outputs ? "; para una salida, la carpeta que contiene "
                                              "cmp_list o CP.cmd"
                                            : ""))
        ->required()
        ->type_name("CARPETA");
}

void AddDataDirOption(CLI::App& command, SourceOptions& options) {
    command
        .add_option("--data-dir", options.DataDir,
                    "Carpeta de los archivos de datos (por omisión, la del programa)")
        ->type_name("CARPETA");
}

int PickVersion(ConversionJob& job, const std::string& wanted) {
    for (std::size_t i = 0; i < job.VersionTable.size(); ++i) {
        const auto& [code, label] = job.VersionTable[i];
        if (code == wanted || label == wanted || LabelNamesVersion(label, wanted)) {
            return static_cast<int>(i);
        }
    }
    if (wanted.empty()) return -1;
    job.VersionTable.emplace_back(wanted, wanted);
    return static_cast<int>(job.VersionTable.size() - 1);
}

ConversionRequest PrepareRequest(const SourceOptions& options, ConversionJob& job) {
    job.ProgramDir = options.DataDir.empty() ? ProgramFolder() : options.DataDir;
    job.VersionTable = DefaultVersionTable();
    ConversionRequest request;
    request.CpNameText = options.Cp;
    request.PlatformIndex =
        options.Platform == "auto" ? kAutoPlatform : ParsePlatform(options.Platform);
    request.VersionIndex = PickVersion(job, options.Version);
    request.SourceIndex = ParseSource(options.Source);
    request.SourceSelection = options.From;
    return request;
}

void PrintRefusal(const CliRefusal& refusal) {
    PrintErr("%s: %s\n", refusal.Title.c_str(), refusal.Text.c_str());
    if (!refusal.Detail.empty()) PrintErr("  %s\n", refusal.Detail.c_str());
}

nlohmann::ordered_json RefusalJson(const CliRefusal& refusal) {
    nlohmann::ordered_json answer{
        {"refused", true}, {"title", UserText(refusal.Title)}, {"text", UserText(refusal.Text)}};
    if (!refusal.Detail.empty()) answer["detail"] = UserText(refusal.Detail);
    return answer;
}

std::string PlatformName(int index) {
    const auto platform = PlatformFromIndex(index);
    return platform ? std::string(TraitsOf(*platform).Label) : "-";
}

std::string SourceName(int index) {
    if (const auto kind = SourceKindFromIndex(index)) {
        return std::string(kSourceKindLabels[IndexOf(*kind)]);
    }
    const auto output = DestinationKindFromIndex(index - 2);
    return output ? "salida " + std::string(kDestinationKindLabels[IndexOf(*output)]) : "-";
}

std::optional<DestinationKind> OutputSourceOf(const SourceOptions& options) {
    // The read sources' list goes on after the two sources with the outputs.
    const int index = ParseReadSource(options.Source);
    return index < 2 ? std::nullopt : DestinationKindFromIndex(index - 2);
}

std::optional<CliRefusal> CheckForRun(ConversionRequest& request, ConversionJob& job, Host& host,
                                      std::string* autoNote) {
    std::string note;
    auto refusal = CheckRequestToRun(request, job, host, note);
    // The pick is said even when the platform's data file then refuses the run.
    if (!note.empty() && autoNote != nullptr) *autoNote = note;
    if (!note.empty() && autoNote == nullptr) PrintErr("Plataforma: %s\n", note.c_str());
    if (refusal) return refusal;
    if (!request.DestinationFolder.empty()) WarnIfDestinationInSource(job, host);
    return std::nullopt;
}

std::optional<CliRefusal> MakeDestination(const std::string& folder,
                                          std::vector<std::string>& created) {
    created.clear();
    std::error_code error;
    const fs::path path = fs::absolute(fs::path(folder), error).lexically_normal();
    if (error)
        return CliRefusal{
            "Pamiro - Destino",
            "No se puede crear la carpeta " + folder + ": " + ErrorText(error.value()),
            {}};
    // The missing folders, innermost first, then created outermost first.
    std::vector<fs::path> missing;
    for (fs::path p = path; !p.empty(); p = p.parent_path()) {
        const fs::file_status status = fs::symlink_status(p, error);
        if (fs::exists(status) || p == p.parent_path()) break;
        missing.push_back(p);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!fs::create_directory(*it, error) && error) {
            RemoveEmptyFolders(created);
            created.clear();
            return CliRefusal{
                "Pamiro - Destino",
                "No se puede crear la carpeta " + folder + ": " + ErrorText(error.value()),
                {}};
        }
        created.push_back(it->string());
    }
    if (!fs::is_directory(fs::status(path, error))) {
        return CliRefusal{"Pamiro - Destino",
                          "No se puede crear la carpeta " + folder + ": existe y no es una carpeta",
                          {}};
    }
    return std::nullopt;
}

void RemoveEmptyFolders(const std::vector<std::string>& created) {
    for (auto it = created.rbegin(); it != created.rend(); ++it) {
        std::error_code error;
        if (fs::is_empty(*it, error) && !error) fs::remove(*it, error);
    }
}

std::string NothingWrittenWarning(const ConversionJob& job) {
    const RunReport& r = job.Report;
    const bool hadEntries =
        r.CompoundsConverted > 0 || r.InvalidOffsets > 0 || r.UnknownTypeBlocks > 0;
    if (r.Failed || r.BlocksWritten > 0 || !hadEntries) return {};
    return "Aviso: no se ha escrito ningún bloque aunque la fuente tiene entradas; compruebe la "
           "plataforma (--platform) y la versión (--ia-version)";
}

}  // namespace pamiro::cli
