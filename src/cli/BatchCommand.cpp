#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>

#include "app/BatchDiscovery.h"
#include "app/ProgramFolder.h"
#include "app/RequestCheck.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "cli/SourceOptions.h"
#include "core/Host.h"
#include "run/ConversionJob.h"

namespace pamiro::cli {

namespace {

namespace fs = std::filesystem;

// The options of convert but --cp; --from holds the CPs, --to their folders.
struct BatchOptions {
    SourceOptions Source;
    std::string Destination, To;
    unsigned Jobs = 0;
};

// The terminal of a batch: every line of every worker goes through here, so
// lines never mix and the progress line is redrawn below them.
class BatchConsole {
  public:
    BatchConsole(std::size_t total, bool progress) : total_(total), progress_(progress) {}

    void Message(const std::string& cp, std::string_view title, std::string_view text) {
        std::lock_guard<std::mutex> lock(mutex_);
        ClearProgress();
        // Names inside the text are the source's bytes, written as they are.
        std::fprintf(stderr, "%s: ", cp.c_str());
        std::fwrite(title.data(), 1, title.size(), stderr);
        std::fputs(": ", stderr);
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fputc('\n', stderr);
        DrawProgress();
    }

    void Started(const std::string& cp) {
        std::lock_guard<std::mutex> lock(mutex_);
        running_.push_back(cp);
        ClearProgress();
        DrawProgress();
    }

    void Finished(const std::string& cp, const std::string& summary) {
        std::lock_guard<std::mutex> lock(mutex_);
        running_.erase(std::find(running_.begin(), running_.end(), cp));
        ++done_;
        ClearProgress();
        std::fflush(stderr);
        std::printf("%s: %s\n", cp.c_str(), summary.c_str());
        std::fflush(stdout);
        DrawProgress();
    }

    void Close() {
        std::lock_guard<std::mutex> lock(mutex_);
        ClearProgress();
    }

  private:
    void ClearProgress() {
        if (!shown_) return;
        std::fputs("\r\x1b[K", stderr);
        shown_ = false;
    }
    void DrawProgress() {
        if (!progress_ || done_ == total_) return;
        std::string line =
            "[" + std::to_string(done_) + "/" + std::to_string(total_) + "] en curso:";
        for (const std::string& cp : running_) line += " " + cp;
        if (line.size() > 78) line.resize(78);
        std::fputs(line.c_str(), stderr);
        std::fflush(stderr);
        shown_ = true;
    }

    std::mutex mutex_;
    std::size_t total_;
    std::size_t done_ = 0;
    bool progress_;
    bool shown_ = false;
    std::vector<std::string> running_;
};

// One CP's host: its messages go to the console prefixed with the CP name.
class BatchHost : public Host {
  public:
    BatchHost(BatchConsole& console, std::string cp) : console_(console), cp_(std::move(cp)) {}
    void SetStatus(int, std::string_view) override {}
    void ShowMessage(MessageIcon, std::string_view text, std::string_view title) override {
        console_.Message(cp_, title, text);
    }
    void ProcessPendingEvents() override {}
    void FreezeWindow() override {}
    void RestoreWindow() override {}

  private:
    BatchConsole& console_;
    std::string cp_;
};

struct Settings {
    SourceOptions Source;  // as given, the data folder resolved once
    int Destination = -1;
    std::string To;
};

std::string Summary(const RunReport& r) {
    return std::string(r.Failed ? "Conversion fallida" : "Conversion terminada") + ": " +
           std::to_string(r.CompoundsConverted) + " compuesto(s), " +
           std::to_string(r.BlocksWritten) + " bloque(s) escrito(s), " +
           std::to_string(r.SourcesCopied) + " fuente(s) copiado(s), " +
           std::to_string(r.UnknownTypeBlocks) + " bloque(s) omitido(s) por tipo desconocido, " +
           std::to_string(r.Warnings) + " aviso(s)";
}

// Converts one CP with its own job and host; true when it succeeded.
bool ConvertOne(const BatchCp& found, const Settings& settings, BatchConsole& console) {
    const std::string cp = NormaliseCpName(found.Folder);
    console.Started(cp);
    bool ok = false;
    std::string summary = "Solicitud rechazada";
    try {
        const fs::path destination = fs::path(settings.To) / cp;
        std::error_code error;
        const bool created = fs::create_directories(destination, error);
        if (error || !fs::is_directory(destination)) {
            console.Message(cp, "Pamiro - Destino",
                            "No se puede crear la carpeta " + destination.string());
            summary = "Conversion fallida";
        } else {
            ConversionJob job;
            SourceOptions source = settings.Source;
            source.Cp = found.Folder;
            source.From = found.SourceDir;
            ConversionRequest request = PrepareRequest(source, job);
            request.SourceIndex = found.SourceKind;
            request.DestinationIndex = settings.Destination;
            request.DestinationFolder = destination.string();
            BatchHost host(console, cp);
            if (RequestConversion(request, job, host)) {
                ok = !job.Report.Failed;
                summary = Summary(job.Report);
            } else if (created) {
                fs::remove(destination, error);  // refused: leave no empty folder behind
            }
        }
    } catch (const std::exception& e) {
        console.Message(cp, "Pamiro", std::string("Error interno: ") + e.what());
        summary = "Conversion fallida";
    }
    console.Finished(cp, summary);
    return ok;
}

int RunBatch(const BatchOptions& options) {
    int sourceKind = -1;
    if (!options.Source.Source.empty()) {
        sourceKind = ParseSource(options.Source.Source);
        if (sourceKind < 0) {
            std::fprintf(stderr, "Fuente: formato de la fuente desconocido: %s\n",
                         options.Source.Source.c_str());
            return 2;
        }
    }
    Settings settings;
    settings.Source = options.Source;
    if (settings.Source.DataDir.empty()) settings.Source.DataDir = ProgramFolder();
    settings.Destination = ParseDestination(options.Destination);
    settings.To = options.To;

    const std::vector<BatchCp> cps = FindBatchCps(options.Source.From, sourceKind);
    if (cps.empty()) {
        std::fprintf(stderr, "Pamiro - Lote: No se ha encontrado ningun CP en %s\n",
                     options.Source.From.c_str());
        return 1;
    }
    unsigned workers = options.Jobs != 0 ? options.Jobs : std::thread::hardware_concurrency();
    workers = std::clamp<unsigned>(workers, 1, static_cast<unsigned>(cps.size()));

    BatchConsole console(cps.size(), isatty(STDERR_FILENO) != 0);
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> failed{0};
    auto work = [&] {
        for (std::size_t i = next++; i < cps.size(); i = next++) {
            if (!ConvertOne(cps[i], settings, console)) ++failed;
        }
    };
    std::vector<std::thread> threads;
    for (unsigned w = 1; w < workers; ++w) threads.emplace_back(work);
    work();
    for (std::thread& t : threads) t.join();
    console.Close();
    std::printf("Lote: %zu CP, %zu convertido(s), %zu fallido(s)\n", cps.size(),
                cps.size() - failed.load(), failed.load());
    return failed.load() == 0 ? 0 : 1;
}

}  // namespace

void AddBatchCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<BatchOptions>();
    CLI::App* batch = app.add_subcommand(
        "batch", "Convierte todos los CP de una carpeta, cada uno en DESTINO/CP/");
    batch
        ->add_option(
            "--platform", options->Source.Platform,
            "Plataforma: \"PW (Intel)\" | \"AW51\" | \"AW70\", 0 | 1 | 2, pw | aw51 | aw70")
        ->required();
    batch
        ->add_option("--ia-version", options->Source.Version,
                     "Version de I/A: codigo (411, 423, 610, 611, 620) o su texto")
        ->required();
    batch->add_option("--source", options->Source.Source,
                      "Formato de la fuente: \"Working File\" | \"Save All\", wf | sa; sin "
                      "indicarlo, cada CP en el formato que contiene");
    batch
        ->add_option("--from", options->Source.From,
                     "Carpeta con los CP: Working File, una subcarpeta CP con CP.wf; Save All, "
                     "una subcarpeta por CP con su arbol Save All")
        ->required();
    batch
        ->add_option("--dest", options->Destination,
                     "Formato del destino: \"FoxCAE Transfer\" | \"ICC Api\", foxcae | icc")
        ->required();
    batch->add_option("--to", options->To, "Carpeta del destino; cada CP va a su subcarpeta")
        ->required();
    AddDataDirOption(*batch, options->Source);
    batch
        ->add_option("--jobs", options->Jobs,
                     "CP convertidos a la vez (por omision, uno por nucleo)")
        ->type_name("NUMERO");
    batch->callback([options, &exitCode] { exitCode = RunBatch(*options); });
}

}  // namespace pamiro::cli
