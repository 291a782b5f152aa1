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
#include "core/Paths.h"
#include "run/ConversionJob.h"

namespace pamiro::cli {

namespace {

struct CompareOptions : SourceOptions {
    std::string WithSource, WithFrom, WithCp, WithPlatform, WithVersion;
    std::vector<std::string> Ignore;
    bool Json = false, Csv = false;
};

const char* const kPlatformNames[] = {"PW (Intel)", "AW51", "AW70"};
const char* const kSourceNames[] = {"Working File", "Save All"};

// Reads one side as convert reads it; false when it was refused or failed
// (its messages are on stderr then, as convert prints them).
bool ReadSide(const SourceOptions& options, bool second, SourceSnapshot& snapshot,
              CompareSide& side) {
    ConversionJob job;
    ConversionRequest request = PrepareRequest(options, job);
    request.DestinationIndex = IndexOf(DestinationKind::FoxCae);
    CliHost host(isatty(STDERR_FILENO) != 0);
    if (auto refusal = CheckForRun(request, job, host)) {
        PrintRefusal(*refusal);
        return false;
    }
    host.SetWorkingFileFolder(JoinPath(job.SourceDir, request.CpNameText));
    const SourceKind kind = *SourceKindFromIndex(request.SourceIndex);
    host.SetSource({job.SourceDir, request.CpNameText, kind, true, second ? "--with-" : "--"});
    ReadSnapshot(job, host, kind, request.CpNameText, snapshot);
    if (job.Report.Failed) return false;
    side = {request.CpNameText, kSourceNames[request.SourceIndex],
            kPlatformNames[request.PlatformIndex],
            job.VersionTable[static_cast<std::size_t>(request.VersionIndex)].first,
            job.DataFilePath};
    return true;
}

int RunCompare(const CompareOptions& options) {
    SourceOptions second = options;
    second.Source = options.WithSource;
    second.From = options.WithFrom;
    if (!options.WithCp.empty()) second.Cp = options.WithCp;
    if (!options.WithPlatform.empty()) second.Platform = options.WithPlatform;
    if (!options.WithVersion.empty()) second.Version = options.WithVersion;

    SourceSnapshot a, b;
    CompareSide sideA, sideB;
    if (!ReadSide(options, false, a, sideA)) {
        PrintErr("  (primera fuente: --source, --from)\n");
        return 3;
    }
    if (!ReadSide(second, true, b, sideB)) {
        PrintErr("  (segunda fuente: --with-source, --with-from)\n");
        return 3;
    }
    const std::set<std::string> ignored(options.Ignore.begin(), options.Ignore.end());
    const Comparison comparison = CompareSnapshots(a, b, ignored);
    if (options.Json) {
        PrintComparisonJson(comparison, sideA, sideB);
    } else if (options.Csv) {
        PrintComparisonCsv(comparison);
    } else {
        PrintComparisonText(comparison, sideA, sideB);
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
        ->add_option("--with-platform", options->WithPlatform,
                     "Plataforma de la segunda fuente (por omisión, --platform)")
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
        ->add_option("--ignore", options->Ignore,
                     "Parámetros que no se comparan, separados por comas (p. ej. PERIOD,PHASE)")
        ->delimiter(',')
        ->type_name("PARÁMETROS");
    compare->callback([options, &exitCode] {
        RefuseJsonWithCsv(options->Json, options->Csv);
        exitCode = RunCompare(*options);
    });
}

}  // namespace pamiro::cli
