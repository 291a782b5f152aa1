#include <unistd.h>

#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>

#include "app/OutputSnapshot.h"
#include "app/RequestCheck.h"
#include "app/SourceSnapshot.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "cli/HtmlPage.h"
#include "cli/InspectAnswers.h"
#include "cli/InspectHtml.h"
#include "cli/ReportText.h"
#include "cli/SourceOptions.h"
#include "core/Console.h"
#include "core/FileError.h"
#include "core/Paths.h"
#include "run/ConversionJob.h"
#include "run/RunConversion.h"
#include "run/RunObserver.h"

namespace pamiro::cli {

namespace {

using json = nlohmann::ordered_json;

struct InspectOptions : SourceOptions {
    bool Json = false;
    bool Parameters = false, Csv = false;
    std::string CsvSeparator = ",", Html;
};

// The page of --html, once the source was read whole.
int WriteInspectPage(const InspectOptions& options, const Subject& subject,
                     const InspectPage& page) {
    if (options.Html.empty()) return 0;
    const ConversionRequest& request = subject.Request;
    const CompareSide head{request.CpNameText, SourceName(request.SourceIndex),
                           options.From,       PlatformName(request.PlatformIndex),
                           subject.Version(),  subject.Job.DataFilePath};
    const std::string failure = WritePage(options.Html, page.Page(head));
    if (failure.empty()) return 0;
    PrintErr("Pamiro - Página: %s\n", failure.c_str());
    return 1;
}

// A conversion's output read back, listed as its source would be. A line
// that fits no rule refuses it, as a refused request is.
int InspectOutput(const InspectOptions& options, DestinationKind kind, ConversionJob& job,
                  ConversionRequest& request, const CliHost& host) {
    request.SourceIndex = 2 + IndexOf(kind);
    if (!PlatformFromIndex(request.PlatformIndex)) request.PlatformIndex = 3;
    job.DataFilePath = "ninguno: la salida nombra los parámetros";
    const DiskInputFolder folder(options.From, false);
    SourceSnapshot snapshot;
    std::optional<CliRefusal> refusal;
    try {
        if (auto refused = ReadOutputSnapshot(folder, kind, request.CpNameText, snapshot)) {
            refusal = CliRefusal{"Pamiro - Salida", refused->Text(), {}};
        }
    } catch (const FileError& error) {
        refusal = CliRefusal{
            "Pamiro - Salida",
            "No se puede leer el archivo " + error.Path() + ": " + ErrorText(error.ErrorNumber()),
            {}};
    }
    if (refusal) {
        PrintRefusal(*refusal);
        if (options.Json) PrintOut("%s\n", JsonText(RefusalJson(*refusal)).c_str());
        return 1;
    }
    const Subject subject{request, job, host};
    const std::unique_ptr<Inspection> inspection =
        InspectionFor(subject, options.Json, options.Csv, options.Parameters, options.CsvSeparator);
    InspectPage page;
    BothObservers both(*inspection, page);
    inspection->Begin();
    ReplaySnapshot(snapshot, folder, both);
    inspection->Finish();
    return WriteInspectPage(options, subject, page);
}

// A dry run of "FoxCAE Transfer" through the normal request check: the same
// readers as convert, nothing written anywhere.
int RunInspect(const InspectOptions& options) {
    ConversionJob job;
    ConversionRequest request = PrepareRequest(options, job);
    request.DestinationIndex = IndexOf(DestinationKind::FoxCae);
    CliHost host(isatty(STDERR_FILENO) != 0);
    const std::optional<DestinationKind> output = OutputSourceOf(options);
    if (auto refusal = output ? CheckOutputSource(request) : CheckForRun(request, job, host)) {
        PrintRefusal(*refusal);
        // A script parses every answer, a refusal too.
        if (options.Json) PrintOut("%s\n", JsonText(RefusalJson(*refusal)).c_str());
        return 1;
    }
    if (!options.Html.empty()) {
        const std::string refusal = PageRefusal(options.Html, {options.From, {}, job.ProgramDir});
        if (!refusal.empty()) {
            PrintErr("Pamiro - Página: %s\n", refusal.c_str());
            return 1;
        }
    }
    if (output) return InspectOutput(options, *output, job, request, host);
    host.SetWorkingFileFolder(JoinPath(job.SourceDir, request.CpNameText));
    const SourceKind kind = *SourceKindFromIndex(request.SourceIndex);
    host.SetSource({job.SourceDir, request.CpNameText, kind, true});
    const Subject subject{request, job, host};
    const std::unique_ptr<Inspection> inspection =
        InspectionFor(subject, options.Json, options.Csv, options.Parameters, options.CsvSeparator);
    InspectPage page;
    BothObservers both(*inspection, page);
    job.DryRun = true;
    job.Observer = options.Html.empty() ? static_cast<RunObserver*>(inspection.get()) : &both;
    inspection->Begin();
    RunConversion(job, host, kind, request.CpNameText);
    job.Observer = nullptr;
    inspection->Finish();
    if (job.Report.Failed) return 1;
    return WriteInspectPage(options, subject, page);
}

}  // namespace

std::string BlockNote(const BlockSeen& block) {
    std::string note;
    if (!block.TypeKnown) note = "tipo desconocido: se omite";
    if (block.Sequence) {
        if (!note.empty()) note += "; ";
        const std::string base = block.Type + "_base.s";
        if (block.SequenceSource.empty()) {
            note += "falta " + block.Name + ".s y no hay " + base + ": no se copia nada";
        } else if (block.SequenceSourceIsBase) {
            note += "falta " + block.Name + ".s: se copia " + base;
        } else {
            note += "fuente " + block.SequenceSource;
        }
    }
    return note;
}

void AddInspectCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<InspectOptions>();
    CLI::App* inspect = app.add_subcommand(
        "inspect",
        "Lista los compuestos y bloques que una conversión tomaría, sin escribir nada, o los "
        "que tiene la salida de una conversión (--source foxcae, icc)");
    AddSourceOptions(*inspect, *options, true);
    AddDataDirOption(*inspect, *options);
    inspect->add_flag("--json", options->Json,
                      "Salida en JSON, para otros programas (también si se rechaza)");
    inspect->add_flag("--parameters", options->Parameters,
                      "Lista también los parámetros de cada bloque, con su nombre y su valor");
    inspect->add_flag("--csv", options->Csv,
                      "Salida CSV (UTF-8 con BOM): una fila por bloque y parámetro: compuesto, "
                      "bloque, tipo, parámetro, valor (un bloque de tipo desconocido, en una fila "
                      "sin parámetro)");
    AddCsvSeparatorOption(*inspect, options->CsvSeparator);
    inspect
        ->add_option("--html", options->Html,
                     "Escribe además un documento del CP en una página HTML (compuestos, "
                     "bloques, cada valor con su nombre y las fuentes de secuencia, con índice), "
                     "para pruebas de aceptación y archivo; no dentro de la carpeta de la fuente")
        ->type_name("ARCHIVO")
        ->check(NotEmpty("el archivo de la página"));
    inspect->callback([options, &exitCode] {
        RefuseJsonWithCsv(options->Json, options->Csv);
        RefuseSeparatorWithoutCsv(options->CsvSeparator, options->Csv);
        exitCode = RunInspect(*options);
    });
}

}  // namespace pamiro::cli
