#include <unistd.h>

#include <cstdio>

#include "app/BatchDiscovery.h"
#include "app/ReportPath.h"
#include "app/RequestCheck.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "cli/RunReportJson.h"
#include "cli/SourceOptions.h"
#include "cli/StagedRun.h"
#include "cli/VerifyRun.h"
#include "core/Console.h"
#include "core/Interrupt.h"
#include "core/Paths.h"
#include "run/ConversionJob.h"
#include "run/RunConversion.h"

namespace pamiro::cli {

namespace {

struct ConvertOptions : SourceOptions {
    std::string Destination, To, Report;
    bool Strict = false, Clean = false, Verify = false;
    SignalSeam Seam;
};

void PrintSummary(const ConversionJob& job) {
    const RunReport& r = job.Report;
    PrintOut(
        "%s: %lld compuesto(s), %lld bloque(s) escrito(s), %lld fuente(s) copiado(s), "
        "%lld fuente(s) base en lugar de la del bloque, "
        "%lld bloque(s) omitido(s) por tipo desconocido\n",
        r.Failed ? "Conversión fallida" : "Conversión terminada", r.CompoundsConverted,
        r.BlocksWritten, r.SourcesCopied, r.BaseSourcesCopied, r.UnknownTypeBlocks);
}

int RunConvert(const ConvertOptions& options) {
    CatchInterruptions();
    ConversionJob job;
    ConversionRequest request = PrepareRequest(options, job);
    request.DestinationIndex = ParseDestination(options.Destination);
    // Before anything else, so that no outcome can write the report where it
    // must not be.
    if (!options.Report.empty()) {
        const std::string refusal =
            ReportFileRefusal(options.Report, {options.From, {options.To}, job.ProgramDir});
        if (!refusal.empty()) {
            PrintErr("Pamiro - Informe: %s\n", refusal.c_str());
            return 1;
        }
    }

    request.DestinationFolder = options.To;
    CliHost host(isatty(STDERR_FILENO) != 0);
    RunLog log(host);
    log.RaiseAt(options.Seam.At, options.Seam.Signal);
    InputLog inputs;
    RunRecord record{&options,   &request,       &job,          options.Destination,
                     options.To, options.Strict, options.Clean, &inputs.Inputs(),
                     {},         &log.Messages()};
    // The report is written whatever the outcome; it names no output unless
    // the run was moved into place.
    auto finish = [&](RunOutcome outcome, int status) {
        if (options.Report.empty()) return status;
        record.Outcome = outcome;
        record.ExitStatus = status;
        const std::string failure = WriteRunReport(options.Report, record);
        if (failure.empty()) return status;
        // The files are in place whatever became of the report.
        const std::string moved =
            outcome == RunOutcome::Finished
                ? "; la conversión sí se ha llevado al destino " + AbsolutePathText(options.To)
                : "";
        PrintErr("Pamiro - Informe: %s%s\n", failure.c_str(), moved.c_str());
        if (InterruptionSignal() != 0) return InterruptedStatus();
        return status == 0 ? 1 : status;
    };
    auto refuse = [&](const CliRefusal& refusal) {
        PrintRefusal(refusal);
        log.Record(MessageIcon::Critical, refusal.Title, refusal.Text, refusal.Detail);
        return finish(RunOutcome::Refused, 1);
    };
    if (auto refusal = CheckForRun(request, job, log)) return refuse(*refusal);
    std::vector<std::string> created;
    if (auto refusal = MakeDestination(options.To, created)) return refuse(*refusal);
    host.SetWorkingFileFolder(JoinPath(job.SourceDir, request.CpNameText));
    const SourceKind kind = *SourceKindFromIndex(request.SourceIndex);
    host.SetSource({job.SourceDir, request.CpNameText, kind, true});
    job.Observer = &inputs;
    const StagedResult staged =
        RunStaged(job, log, kind, request.CpNameText, {options.Strict, options.Clean});
    if (staged.Outcome == RunOutcome::Interrupted) {
        RemoveEmptyFolders(created);
        PrintErr("%s\n", kInterruptedLine);
        return finish(RunOutcome::Interrupted, InterruptedStatus());
    }
    if (job.Report.Failed) {
        RemoveEmptyFolders(created);
        const std::string hint = PlatformOptionHint(job.Report);
        if (!hint.empty()) PrintErr("  %s\n", hint.c_str());
        PrintErr("%s\n", kUnchangedLine);
    }
    PrintSummary(job);
    if (staged.Removed > 0) {
        PrintOut("%zu archivo(s) de una conversión anterior eliminado(s) del destino\n",
                 staged.Removed);
    }
    if (!staged.NothingWritten.empty()) PrintOut("%s\n", staged.NothingWritten.c_str());
    if (job.Report.Failed) return finish(RunOutcome::Failed, 1);
    record.Outputs = staged.Outputs;
    // The files are in place either way; a difference is a fault below us.
    const int verified = options.Verify ? VerifyConversion(job, kind, request.CpNameText) : 0;
    return finish(RunOutcome::Finished, verified);
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
        ->type_name("CARPETA")
        ->check(NotEmpty("la carpeta del destino"));
    AddDataDirOption(*convert, *options);
    convert->add_flag("--strict", options->Strict,
                      "Si la conversión muestra algún aviso, no la lleva al destino y sale con 1");
    convert->add_flag("--clean", options->Clean,
                      "Elimina del destino los archivos numerados (cmpNNNN, srcNNNN) de una "
                      "conversión anterior que esta no ha escrito");
    convert
        ->add_option("--report", options->Report,
                     "Escribe en ARCHIVO un informe JSON de la conversión: solicitud, archivos "
                     "leídos y escritos con su SHA-256, mensajes y resultado; no puede estar en "
                     "la fuente ni en el destino, ni ser un archivo que la conversión lee")
        ->type_name("ARCHIVO")
        ->check(NotEmpty("el archivo del informe"));
    convert->add_flag("--verify", options->Verify,
                      "Tras llevar la conversión al destino, lee de nuevo lo escrito y lo compara "
                      "con la fuente: \"Verificado\" y 0 si no hay diferencias; si las hay, las "
                      "nombra y sale con 1 (un fallo del disco o de la transferencia)");
    AddStagedRunHelp(*convert, options->Seam);
    convert->callback([options, &exitCode] { exitCode = RunConvert(*options); });
}

}  // namespace pamiro::cli
