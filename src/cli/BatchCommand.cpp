#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>

#include "app/BatchDiscovery.h"
#include "app/FolderHints.h"
#include "app/InputChecks.h"
#include "app/ProgramFolder.h"
#include "app/ReportPath.h"
#include "app/RequestCheck.h"
#include "cli/BatchConsole.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "cli/RunReportJson.h"
#include "cli/SourceOptions.h"
#include "cli/StagedRun.h"
#include "core/Console.h"
#include "core/Host.h"
#include "core/Interrupt.h"
#include "run/ConversionJob.h"
#include "run/RunConversion.h"

namespace pamiro::cli {

namespace {

namespace fs = std::filesystem;

// The options of convert but --cp; --from holds the CPs, --to their folders.
struct BatchOptions {
    SourceOptions Source;
    std::string Destination, To;
    unsigned Jobs = 0;
    bool Strict = false, Clean = false;
    std::string Report;  // a folder: one report per CP, CP.json
    SignalSeam Seam;
};

// One CP's host: its messages go to the console prefixed with the CP name,
// its warnings are counted for its summary line.
class BatchHost : public NotingHost {
  public:
    BatchHost(BatchConsole& console, std::string cp) : console_(console), cp_(std::move(cp)) {}
    void SetStatus(int, std::string_view) override {}
    void ShowMessage(MessageIcon icon, std::string_view text, std::string_view title,
                     MessageKind kind = MessageKind::Plain) override {
        if (icon == MessageIcon::Warning) ++warnings_;
        std::string notes;
        for (const std::string& note : NotesFor(text, kind)) {
            notes += (notes.empty() ? "" : "\n" + cp_ + ":   ") + note;
        }
        console_.Message(cp_, title, text.substr(0, text.find('\n')), notes);
    }
    std::vector<std::string> NotesFor(std::string_view text, MessageKind kind) const override {
        return source_ ? NotesAfter(text, kind, *source_) : FurtherLines(text);
    }
    void SetSource(ChosenSource source) { source_ = std::move(source); }
    void ProcessPendingEvents() override {}
    void FreezeWindow() override {}
    void RestoreWindow() override {}
    int Warnings() const { return warnings_; }

  private:
    BatchConsole& console_;
    std::string cp_;
    std::optional<ChosenSource> source_;
    int warnings_ = 0;
};

struct Settings {
    SourceOptions Source;  // as given, the data folder resolved once
    int Destination = -1;
    std::string To;
    const BatchOptions* Options = nullptr;
};

struct Outcome {
    bool Ok = false;
    bool Warned = false;
    bool Interrupted = false;
};

std::string Summary(const RunReport& r, int warnings) {
    return std::string(r.Failed ? "Conversión fallida" : "Conversión terminada") + ": " +
           std::to_string(r.CompoundsConverted) + " compuesto(s), " +
           std::to_string(r.BlocksWritten) + " bloque(s) escrito(s), " +
           std::to_string(r.SourcesCopied) + " fuente(s) copiado(s), " +
           std::to_string(r.BaseSourcesCopied) + " fuente(s) base en lugar de la del bloque, " +
           std::to_string(r.UnknownTypeBlocks) + " bloque(s) omitido(s) por tipo desconocido, " +
           std::to_string(warnings) + " aviso(s)";
}

// Converts one CP with its own job and host.
Outcome ConvertOne(std::size_t index, const BatchCp& found, const Settings& settings,
                   BatchConsole& console) {
    const std::string cp = found.Problem.empty() ? NormaliseCpName(found.Folder) : found.Folder;
    console.Started(cp);
    Outcome outcome;
    std::string summary = "Solicitud rechazada";
    std::string lines;
    try {
        ConversionJob job;
        SourceOptions source = settings.Source;
        source.Cp = found.Folder;
        source.From = found.SourceDir;
        ConversionRequest request = PrepareRequest(source, job);
        request.SourceIndex = found.SourceKind;
        request.DestinationIndex = settings.Destination;
        const std::string destination = (fs::path(settings.To) / cp).string();
        request.DestinationFolder = destination;
        BatchHost shown(console, cp);
        RunLog host(shown);
        host.RaiseAt(settings.Options->Seam.At, settings.Options->Seam.Signal);
        InputLog inputs;
        const BatchOptions& options = *settings.Options;
        RunRecord record{&source,     &request,        &job,          options.Destination,
                         destination, options.Strict,  options.Clean, &inputs.Inputs(),
                         {},          &host.Messages()};
        record.Outcome = RunOutcome::Refused;
        std::vector<std::string> created;
        std::string autoNote;
        if (!found.Problem.empty()) {
            host.ShowMessage(MessageIcon::Critical, found.Problem, "Pamiro - Lote");
            summary = "Conversión fallida";
            record.Outcome = RunOutcome::Failed;
        } else if (auto refusal = CheckForRun(request, job, host, &autoNote)) {
            console.Message(cp, refusal->Title, refusal->Text, refusal->Detail);
            host.Record(MessageIcon::Critical, refusal->Title, refusal->Text, refusal->Detail);
        } else if (auto failure = MakeDestination(destination, created)) {
            host.ShowMessage(MessageIcon::Critical, failure->Text, failure->Title);
            summary = "Conversión fallida";
        } else {
            const SourceKind kind = *SourceKindFromIndex(request.SourceIndex);
            if (!autoNote.empty()) console.Message(cp, "Plataforma", autoNote);
            shown.SetSource({job.SourceDir, request.CpNameText, kind, true});
            job.Observer = &inputs;
            const StagedResult staged =
                RunStaged(job, host, kind, request.CpNameText, {options.Strict, options.Clean});
            record.Outcome = staged.Outcome;
            // No empty folder left behind, and an unfinished CP's folder as it was.
            if (staged.Outcome != RunOutcome::Finished) RemoveEmptyFolders(created);
            outcome.Ok = staged.Outcome == RunOutcome::Finished;
            outcome.Interrupted = staged.Outcome == RunOutcome::Interrupted;
            summary = outcome.Interrupted ? "Conversión interrumpida"
                                          : Summary(job.Report, host.Warnings());
            const std::string hint = PlatformOptionHint(job.Report);
            if (!hint.empty()) console.Message(cp, "Plataforma", hint);
            if (!outcome.Ok) {
                const std::string line = outcome.Interrupted ? kInterruptedLine : kUnchangedLine;
                const auto colon = line.find(": ");
                console.Message(cp, line.substr(0, colon), line.substr(colon + 2));
            }
            if (staged.Removed > 0) {
                lines += cp + ": " + std::to_string(staged.Removed) +
                         " archivo(s) de una conversión anterior eliminado(s) del destino\n";
            }
            if (!staged.NothingWritten.empty()) lines += cp + ": " + staged.NothingWritten + "\n";
            outcome.Warned = host.Warnings() > 0 || !staged.NothingWritten.empty();
            record.Outputs = staged.Outputs;
        }
        record.ExitStatus = outcome.Ok ? 0 : outcome.Interrupted ? InterruptedStatus() : 1;
        if (!options.Report.empty()) {
            const std::string failure =
                WriteRunReport((fs::path(options.Report) / (cp + ".json")).string(), record);
            if (!failure.empty()) {
                console.Message(cp, "Pamiro - Informe", failure);
                outcome.Ok = false;
            }
        }
    } catch (const std::exception& e) {
        console.Message(cp, "Pamiro", std::string("Error interno: ") + e.what());
        summary = "Conversión fallida";
        outcome.Ok = false;
    }
    console.Finished(index, cp, cp + ": " + summary + "\n" + lines);
    return outcome;
}

int RunBatch(const BatchOptions& options) {
    CatchInterruptions();
    const int sourceKind = options.Source.Source.empty() ? -1 : ParseSource(options.Source.Source);
    Settings settings;
    settings.Source = options.Source;
    if (settings.Source.DataDir.empty()) settings.Source.DataDir = ProgramFolder();
    settings.Destination = ParseDestination(options.Destination);
    settings.To = options.To;
    settings.Options = &options;

    ConversionRequest paths;
    paths.SourceSelection = options.Source.From;
    paths.DestinationFolder = options.To;
    if (auto refusal = RefuseWindowsPaths(paths)) {
        PrintRefusal(*refusal);
        return 1;
    }
    if (auto refusal = RefuseSourceFolder(options.Source.From)) {
        PrintErr("Pamiro - Lote: %s\n", refusal->Text.c_str());
        return 1;
    }
    std::vector<BatchCp> cps = FindBatchCps(options.Source.From, sourceKind);
    if (cps.empty()) {
        PrintErr("Pamiro - Lote: No se ha encontrado ningún CP en %s\n",
                 options.Source.From.c_str());
        const std::string hint = BatchFolderHint(options.Source.From);
        if (!hint.empty()) PrintErr("  %s\n", hint.c_str());
        return 1;
    }
    RefuseCollisions(cps, options.To);
    if (!options.Report.empty()) {
        ReportGuards guards{options.Source.From, {}, settings.Source.DataDir};
        for (const BatchCp& found : cps) {
            const std::string cp =
                found.Problem.empty() ? NormaliseCpName(found.Folder) : found.Folder;
            guards.DestinationFolders.push_back((fs::path(options.To) / cp).string());
        }
        const std::string refusal = ReportFolderRefusal(options.Report, guards);
        if (!refusal.empty()) {
            PrintErr("Pamiro - Informe: %s\n", refusal.c_str());
            return 1;
        }
        std::error_code error;
        fs::create_directories(options.Report, error);
        if (!fs::is_directory(options.Report, error)) {
            PrintErr("Pamiro - Informe: No se puede crear la carpeta %s\n", options.Report.c_str());
            return 1;
        }
    }
    unsigned workers = options.Jobs != 0 ? options.Jobs : std::thread::hardware_concurrency();
    workers = std::clamp<unsigned>(workers, 1, static_cast<unsigned>(cps.size()));

    BatchConsole console(cps.size(), isatty(STDERR_FILENO) != 0);
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> failed{0};
    std::atomic<std::size_t> warned{0};
    std::atomic<std::size_t> converted{0};
    auto work = [&] {
        // After an interruption no CP starts; those running stop at their next pause.
        for (std::size_t i = next++; i < cps.size(); i = next++) {
            NoteLostOutput();
            if (InterruptionSignal() != 0) break;
            const Outcome outcome = ConvertOne(i, cps[i], settings, console);
            if (outcome.Ok) ++converted;
            if (!outcome.Ok && !outcome.Interrupted) ++failed;
            if (outcome.Warned) ++warned;
        }
    };
    std::vector<std::thread> threads;
    for (unsigned w = 1; w < workers; ++w) threads.emplace_back(work);
    work();
    for (std::thread& t : threads) t.join();
    console.Close();
    PrintOut("Lote: %zu CP, %zu convertido(s), %zu fallido(s), %zu con avisos\n", cps.size(),
             converted.load(), failed.load(), warned.load());
    if (InterruptionSignal() != 0) {
        // Every CP may have ended before the output closed: nothing to undo then.
        const std::size_t unfinished = cps.size() - converted.load() - failed.load();
        if (unfinished > 0) {
            PrintErr("Lote interrumpido: %zu CP sin terminar; su destino no se ha modificado\n",
                     unfinished);
        }
        return InterruptedStatus();
    }
    if (failed.load() != 0) return 1;
    return options.Strict && warned.load() != 0 ? 1 : 0;
}

CLI::Validator PositiveCount() {
    return CLI::Validator(
        [](std::string& value) -> std::string {
            std::size_t used = 0;
            try {
                const long long n = std::stoll(value, &used);
                if (used == value.size() && n > 0 && n <= 1024) return {};
            } catch (const std::exception&) {
            }
            return "valor \"" + value + "\" no válido; se acepta un número entero de 1 a 1024";
        },
        "");
}

}  // namespace

void AddBatchCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<BatchOptions>();
    CLI::App* batch = app.add_subcommand(
        "batch", "Convierte todos los CP de una carpeta, cada uno en DESTINO/CP/");
    batch->add_option("--platform", options->Source.Platform, kPlatformHelp)
        ->required()
        ->type_name("PLATAFORMA")
        ->check(PlatformChoice(true));
    batch->add_option("--ia-version", options->Source.Version, kVersionHelp)
        ->required()
        ->type_name("VERSIÓN");
    batch
        ->add_option("--source", options->Source.Source,
                     "Formato de la fuente: wf | sa (también \"Working File\", \"Save All\", 0, "
                     "1); sin indicarlo, cada CP en el formato que contiene")
        ->type_name("FORMATO")
        ->check(SourceChoice());
    batch
        ->add_option("--from", options->Source.From,
                     "Carpeta con los CP: Working File, una subcarpeta CP con CP.wf; Save All, "
                     "una subcarpeta por CP con su árbol Save All")
        ->required()
        ->type_name("CARPETA");
    batch->add_option("--dest", options->Destination, kDestinationHelp)
        ->required()
        ->type_name("FORMATO")
        ->check(DestinationChoice());
    batch
        ->add_option("--to", options->To,
                     "Carpeta del destino; cada CP va a su subcarpeta, creada si no existe")
        ->required()
        ->type_name("CARPETA")
        ->check(NotEmpty("la carpeta del destino"));
    AddDataDirOption(*batch, options->Source);
    batch
        ->add_option("--jobs", options->Jobs,
                     "CP convertidos a la vez (por omisión, uno por núcleo)")
        ->type_name("N")
        ->check(PositiveCount());
    batch->add_flag("--strict", options->Strict,
                    "Un CP cuya conversión muestra algún aviso no se lleva a su destino; sale "
                    "con 1");
    batch->add_flag("--clean", options->Clean,
                    "Elimina del destino de cada CP los archivos numerados (cmpNNNN, srcNNNN) de "
                    "una conversión anterior que esta no ha escrito");
    batch
        ->add_option("--report", options->Report,
                     "Escribe en CARPETA un informe JSON por CP (CP.json): solicitud, archivos "
                     "leídos y escritos con su SHA-256, mensajes y resultado; no puede estar en "
                     "la fuente ni en la carpeta de un CP")
        ->type_name("CARPETA")
        ->check(NotEmpty("la carpeta de los informes"));
    AddStagedRunHelp(*batch, options->Seam);
    batch->callback([options, &exitCode] { exitCode = RunBatch(*options); });
}

}  // namespace pamiro::cli
