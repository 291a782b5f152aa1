#include <unistd.h>

#include <cstdio>

#include "app/BatchDiscovery.h"
#include "app/RequestCheck.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "cli/SourceOptions.h"
#include "core/Paths.h"
#include "run/ConversionJob.h"
#include "run/RunConversion.h"

namespace pamiro::cli {

namespace {

struct ConvertOptions : SourceOptions {
    std::string Destination, To;
    bool Strict = false;
};

void PrintSummary(const ConversionJob& job) {
    const RunReport& r = job.Report;
    std::printf(
        "%s: %lld compuesto(s), %lld bloque(s) escrito(s), %lld fuente(s) copiado(s), "
        "%lld bloque(s) omitido(s) por tipo desconocido\n",
        r.Failed ? "Conversión fallida" : "Conversión terminada", r.CompoundsConverted,
        r.BlocksWritten, r.SourcesCopied, r.UnknownTypeBlocks);
}

int RunConvert(const ConvertOptions& options) {
    ConversionJob job;
    ConversionRequest request = PrepareRequest(options, job);
    request.DestinationIndex = ParseDestination(options.Destination);

    request.DestinationFolder = options.To;
    CliHost host(isatty(STDERR_FILENO) != 0);
    if (auto refusal = CheckForRun(request, job, host)) {
        PrintRefusal(*refusal);
        return 1;
    }
    std::vector<std::string> created;
    if (auto refusal = MakeDestination(options.To, created)) {
        PrintRefusal(*refusal);
        return 1;
    }
    host.SetWorkingFileFolder(JoinPath(job.SourceDir, request.CpNameText));
    const SourceKind kind = *SourceKindFromIndex(request.SourceIndex);
    host.SetSource({job.SourceDir, request.CpNameText, kind, true});
    RunConversion(job, host, kind, request.CpNameText);
    if (job.Report.Failed) RemoveEmptyFolders(created);
    PrintSummary(job);
    const std::string nothing = NothingWrittenWarning(job);
    if (!nothing.empty()) std::printf("%s\n", nothing.c_str());
    if (job.Report.Failed) return 1;
    const bool warned = host.Messages(MessageIcon::Warning) > 0 || !nothing.empty();
    return options.Strict && warned ? 1 : 0;
}

}  // namespace

void AddConvertCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<ConvertOptions>();
    CLI::App* convert = app.add_subcommand("convert", "Convierte la configuración de un CP");
    AddSourceOptions(*convert, *options);
    convert->add_option("--dest", options->Destination, kDestinationHelp)
        ->required()
        ->type_name("FORMATO")
        ->check(DestinationChoice());
    convert
        ->add_option("--to", options->To,
                     "Carpeta del destino; se crea si no existe, con las carpetas que la "
                     "contienen; se avisa si está dentro de la carpeta de la fuente")
        ->required()
        ->type_name("CARPETA");
    AddDataDirOption(*convert, *options);
    convert->add_flag("--strict", options->Strict,
                      "Sale con 1 si la conversión ha mostrado algún aviso");
    convert->callback([options, &exitCode] { exitCode = RunConvert(*options); });
}

}  // namespace pamiro::cli
