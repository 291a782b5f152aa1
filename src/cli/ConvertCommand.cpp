#include <unistd.h>

#include <cstdio>

#include "app/ProgramFolder.h"
#include "app/RequestCheck.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "run/ConversionJob.h"

namespace pamiro::cli {

namespace {

struct ConvertOptions {
    std::string Cp, Platform, Version, Source, From, Destination, To, DataDir;
};

// The version as its code or its label; a code outside the default table is
// offered as it is, so a site's own data file can be used.
int PickVersion(ConversionJob& job, const std::string& wanted) {
    for (std::size_t i = 0; i < job.VersionTable.size(); ++i) {
        if (job.VersionTable[i].first == wanted || job.VersionTable[i].second == wanted) {
            return static_cast<int>(i);
        }
    }
    if (wanted.empty()) return -1;
    job.VersionTable.emplace_back(wanted, wanted);
    return static_cast<int>(job.VersionTable.size() - 1);
}

void PrintSummary(const ConversionJob& job) {
    const RunReport& r = job.Report;
    std::printf("%s: %lld compuesto(s), %lld bloque(s) escrito(s), %lld fuente(s) copiado(s), "
                "%lld bloque(s) omitido(s) por tipo desconocido\n",
                r.Failed ? "Conversion fallida" : "Conversion terminada", r.CompoundsConverted,
                r.BlocksWritten, r.SourcesCopied, r.UnknownTypeBlocks);
}

int RunConvert(const ConvertOptions& options) {
    ConversionJob job;
    job.ProgramDir = options.DataDir.empty() ? ProgramFolder() : options.DataDir;
    job.VersionTable = DefaultVersionTable();

    ConversionRequest request;
    request.CpNameText = options.Cp;
    request.PlatformIndex = ParsePlatform(options.Platform);
    request.VersionIndex = PickVersion(job, options.Version);
    request.SourceIndex = ParseSource(options.Source);
    request.DestinationIndex = ParseDestination(options.Destination);
    request.SourceSelection = options.From;

    CliHost host(options.To, isatty(STDERR_FILENO) != 0);
    if (!RequestConversion(request, job, host)) return 1;
    PrintSummary(job);
    return job.Report.Failed ? 1 : 0;
}

}  // namespace

void AddConvertCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<ConvertOptions>();
    CLI::App* convert = app.add_subcommand("convert", "Convierte la configuracion de un CP");
    convert->add_option("--cp", options->Cp, "Letterbug del CP (6 caracteres)")->required();
    convert
        ->add_option("--platform", options->Platform,
                     "Plataforma: \"PW (Intel)\" | \"AW51\" | \"AW70\", 0 | 1 | 2, pw | aw51 | aw70")
        ->required();
    convert
        ->add_option("--ia-version", options->Version,
                     "Version de I/A: codigo (411, 423, 610, 611, 620) o su texto")
        ->required();
    convert
        ->add_option("--source", options->Source,
                     "Formato de la fuente: \"Working File\" | \"Save All\", wf | sa")
        ->required();
    convert->add_option("--from", options->From, "Carpeta de la fuente")->required();
    convert
        ->add_option("--dest", options->Destination,
                     "Formato del destino: \"FoxCAE Transfer\" | \"ICC Api\", foxcae | icc")
        ->required();
    convert->add_option("--to", options->To, "Carpeta del destino")->required();
    convert->add_option("--data-dir", options->DataDir,
                        "Carpeta de los archivos de datos (por omision, la del programa)");
    convert->callback([options, &exitCode] { exitCode = RunConvert(*options); });
}

}  // namespace pamiro::cli
