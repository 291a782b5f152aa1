#include <unistd.h>

#include <cstdio>
#include <memory>
#include <set>

#include "app/SourceComparison.h"
#include "app/SourceSnapshot.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "cli/CompareOutput.h"
#include "cli/ReportText.h"
#include "cli/SourceOptions.h"
#include "core/Console.h"
#include "core/Folders.h"
#include "core/Paths.h"
#include "run/ConversionJob.h"

namespace pamiro::cli {

namespace {

struct CompareOptions : SourceOptions {
    std::string WithSource, WithFrom, WithCp, WithPlatform, WithVersion;
    std::vector<std::string> Ignore;
    bool Json = false, Csv = false;
};

// The labels of a checked request's choices, from the table of choices.
std::string PlatformName(int index) {
    return std::string(TraitsOf(*PlatformFromIndex(index)).Label);
}
std::string SourceName(int index) { return std::string(kSourceKindLabels[index]); }

// One side from its request check to its snapshot. Its messages on stderr
// say which side they come from.
class Side {
  public:
    Side(const SourceOptions& options, bool second)
        : options_(options), second_(second), host_(isatty(STDERR_FILENO) != 0) {
        host_.SetMessagePrefix(second ? "(segunda fuente) " : "(primera fuente) ");
    }

    // False when the request is refused (printed, and with json answered).
    bool Check(bool json) {
        request_ = PrepareRequest(options_, job_);
        request_.DestinationIndex = IndexOf(DestinationKind::FoxCae);
        std::string autoNote;
        if (auto refusal = CheckForRun(request_, job_, host_, &autoNote)) {
            PrintRefusal(*refusal);
            Said();
            if (json) {
                nlohmann::ordered_json answer = RefusalJson(*refusal);
                answer["side"] = Which();
                PrintOut("%s\n", JsonText(answer).c_str());
            }
            return false;
        }
        if (!autoNote.empty()) PrintErr("%sPlataforma: %s\n", Prefix(), autoNote.c_str());
        return true;
    }

    // False when the read failed (said as convert says it).
    bool Read(bool json) {
        host_.SetWorkingFileFolder(JoinPath(job_.SourceDir, request_.CpNameText));
        const SourceKind kind = *SourceKindFromIndex(request_.SourceIndex);
        host_.SetSource(
            {job_.SourceDir, request_.CpNameText, kind, true, second_ ? "--with-" : "--"});
        ReadSnapshot(job_, host_, kind, request_.CpNameText, snapshot_);
        if (!job_.Report.Failed) return true;
        Said();
        if (json) {
            const nlohmann::ordered_json answer{{"refused", false},
                                                {"failed", true},
                                                {"side", Which()},
                                                {"reason",
                                                 {{"title", UserText(host_.LastCriticalTitle())},
                                                  {"text", UserText(host_.LastCriticalText())}}}};
            PrintOut("%s\n", JsonText(answer).c_str());
        }
        return false;
    }

    CompareSide Description() const {
        return {request_.CpNameText,
                SourceName(request_.SourceIndex),
                options_.From,
                PlatformName(request_.PlatformIndex),
                job_.VersionTable[static_cast<std::size_t>(request_.VersionIndex)].first,
                job_.DataFilePath};
    }
    int PlatformIndex() const { return request_.PlatformIndex; }
    const SourceSnapshot& Snapshot() const { return snapshot_; }
    // Every parameter name of this side's data file.
    std::set<std::string> ParameterNamesOffered() const {
        const DiskInputFolder program(job_.ProgramDir, true);
        return DataFileParameterNames(program, DataFileName(),
                                      *PlatformFromIndex(request_.PlatformIndex));
    }

  private:
    const char* Prefix() const { return second_ ? "(segunda fuente) " : "(primera fuente) "; }
    const char* Which() const { return second_ ? "second" : "first"; }
    void Said() const {
        PrintErr(second_ ? "  (segunda fuente: --with-source, --with-from)\n"
                         : "  (primera fuente: --source, --from)\n");
    }
    std::string DataFileName() const { return FileNameOf(job_.DataFilePath); }

    const SourceOptions& options_;
    bool second_;
    CliHost host_;
    ConversionJob job_;
    ConversionRequest request_;
    SourceSnapshot snapshot_;
};

// The names --ignore gives, as the data files spell them. A name neither
// data file has is a usage error: a typo would otherwise hide nothing and
// still say "Iguales".
std::set<std::string> IgnoredNames(const std::vector<std::string>& given, const Side& a,
                                   const Side& b) {
    std::vector<std::string> wanted;
    for (const std::string& item : given) {
        std::string name = TrimBlanks(item);
        if (!name.empty()) wanted.push_back(std::move(name));
    }
    if (wanted.empty()) return {};
    std::set<std::string> offered = a.ParameterNamesOffered();
    offered.merge(b.ParameterNamesOffered());
    std::vector<std::string> unknown;
    const std::set<std::string> ignored = MatchIgnoringCase(wanted, offered, unknown);
    if (!unknown.empty()) {
        std::string list;
        for (const std::string& name : unknown) list += (list.empty() ? "" : ", ") + name;
        throw CLI::ValidationError(
            "--ignore",
            std::string(unknown.size() == 1 ? "parámetro" : "parámetros") +
                " que no tiene el archivo de datos de ninguna de las dos fuentes: " + list);
    }
    return ignored;
}

int RunCompare(const CompareOptions& options) {
    Side a(options, false);
    if (!a.Check(options.Json)) return 3;
    SourceOptions second = options;
    second.Source = options.WithSource;
    second.From = options.WithFrom;
    if (!options.WithCp.empty()) second.Cp = options.WithCp;
    if (!options.WithVersion.empty()) second.Version = options.WithVersion;
    // With auto, the second side takes the platform the first side's index chose.
    if (!options.WithPlatform.empty()) {
        second.Platform = options.WithPlatform;
    } else if (options.Platform == "auto") {
        second.Platform = std::to_string(a.PlatformIndex());
    }
    Side b(second, true);
    if (!b.Check(options.Json)) return 3;
    const std::set<std::string> ignored = IgnoredNames(options.Ignore, a, b);
    if (!a.Read(options.Json) || !b.Read(options.Json)) return 3;

    const Comparison comparison = CompareSnapshots(a.Snapshot(), b.Snapshot(), ignored);
    if (options.Json) {
        PrintComparisonJson(comparison, a.Description(), b.Description());
    } else if (options.Csv) {
        PrintComparisonCsv(comparison);
    } else {
        PrintComparisonText(comparison, a.Description(), b.Description());
    }
    return comparison.Same() ? 0 : 1;
}

}  // namespace
void AddCompareCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<CompareOptions>();
    CLI::App* compare = app.add_subcommand(
        "compare", "Compara dos fuentes de un CP parámetro a parámetro, sin escribir nada");
    compare->footer(
        "Sale con 0 si las fuentes son iguales, 1 si difieren, 2 por un error de uso y 3 si una "
        "fuente se rechaza o su lectura falla.");
    AddSourceOptions(*compare, *options);
    compare->add_option("--with-source", options->WithSource, "Formato de la segunda fuente")
        ->required()
        ->type_name("FORMATO")
        ->check(SourceChoice());
    compare->add_option("--with-from", options->WithFrom, "Carpeta de la segunda fuente")
        ->required()
        ->type_name("CARPETA");
    compare->add_option("--with-cp", options->WithCp, "CP de la segunda fuente (por omisión, --cp)")
        ->type_name("CP");
    compare
        ->add_option(
            "--with-platform", options->WithPlatform,
            "Plataforma de la segunda fuente (por omisión, --platform; con auto, la elegida "
            "para la primera)")
        ->type_name("PLATAFORMA")
        ->check(PlatformChoice());
    compare
        ->add_option("--with-ia-version", options->WithVersion,
                     "Versión de I/A de la segunda fuente (por omisión, --ia-version)")
        ->type_name("VERSIÓN");
    AddDataDirOption(*compare, *options);
    compare->add_flag("--json", options->Json, "Salida en un documento JSON");
    compare->add_flag(
        "--csv", options->Csv,
        "Salida CSV (UTF-8 con BOM): una fila por diferencia: compuesto, bloque, tipo, "
        "parámetro, valor en cada fuente, diferencia");
    compare
        ->add_option(
            "--ignore", options->Ignore,
            "Parámetros que no se comparan, separados por comas (p. ej. PERIOD,PHASE), sin "
            "distinguir mayúsculas y minúsculas; uno que no tiene el archivo de datos de "
            "ninguna fuente es un error")
        ->delimiter(',')
        ->type_name("PARÁMETROS");
    compare->callback([options, &exitCode] {
        RefuseJsonWithCsv(options->Json, options->Csv);
        exitCode = RunCompare(*options);
    });
}

}  // namespace pamiro::cli
