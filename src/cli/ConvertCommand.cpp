#include <unistd.h>

#include <cstdio>

#include "app/RequestCheck.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "cli/SourceOptions.h"
#include "run/ConversionJob.h"

namespace pamiro::cli {

namespace {

struct ConvertOptions : SourceOptions {
    std::string Destination, To;
};

void PrintSummary(const ConversionJob& job) {
    const RunReport& r = job.Report;
    std::printf(
        "%s: %lld compuesto(s), %lld bloque(s) escrito(s), %lld fuente(s) copiado(s), "
        "%lld bloque(s) omitido(s) por tipo desconocido\n",
        r.Failed ? "Conversion fallida" : "Conversion terminada", r.CompoundsConverted,
        r.BlocksWritten, r.SourcesCopied, r.UnknownTypeBlocks);
}

int RunConvert(const ConvertOptions& options) {
    ConversionJob job;
    ConversionRequest request = PrepareRequest(options, job);
    request.DestinationIndex = ParseDestination(options.Destination);

    request.DestinationFolder = options.To;
    CliHost host(isatty(STDERR_FILENO) != 0);
    if (!RequestConversion(request, job, host)) return 1;
    PrintSummary(job);
    return job.Report.Failed ? 1 : 0;
}

}  // namespace

void AddConvertCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<ConvertOptions>();
    CLI::App* convert = app.add_subcommand("convert", "Convierte la configuracion de un CP");
    AddSourceOptions(*convert, *options);
    convert
        ->add_option("--dest", options->Destination,
                     "Formato del destino: \"FoxCAE Transfer\" | \"ICC Api\", foxcae | icc")
        ->required();
    convert->add_option("--to", options->To, "Carpeta del destino")->required();
    AddDataDirOption(*convert, *options);
    convert->callback([options, &exitCode] { exitCode = RunConvert(*options); });
}

}  // namespace pamiro::cli
