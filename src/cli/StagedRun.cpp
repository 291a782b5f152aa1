#include "cli/StagedRun.h"

#include <algorithm>
#include <cstdio>

#include "cli/SourceOptions.h"
#include "core/Interrupt.h"
#include "run/ConversionJob.h"
#include "run/Staging.h"

namespace pamiro::cli {

namespace {

constexpr std::size_t kNamesShown = 10;
constexpr const char* kDestinationTitle = "Pamiro - Destino";

std::string NamesOf(const std::vector<std::string>& names, long long total) {
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < kNamesShown; ++i) {
        text += (i > 0 ? ", " : "") + names[i];
    }
    if (total > static_cast<long long>(std::min(names.size(), kNamesShown))) text += ", ...";
    return text;
}

// The warnings only the command line shows, after the run's own messages.
std::vector<std::string> CloseRun(const ConversionJob& job, const StagedDestination& staged,
                                  RunLog& log, const StagedOptions& options) {
    const std::string base = BaseSourceReport(job.Report);
    if (!base.empty()) log.ShowMessage(MessageIcon::Warning, base, "Pamiro - Fuentes");
    // A command script leaves the numbered files alone, and so does their list.
    if (job.DestinationKind != DestinationKind::FoxCae) return {};
    std::vector<std::string> leftovers = staged.Leftovers();
    if (!options.Clean && !leftovers.empty()) {
        log.ShowMessage(MessageIcon::Warning, LeftoverReport(leftovers), kDestinationTitle);
    }
    return options.Clean ? leftovers : std::vector<std::string>{};
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

}  // namespace

void RunLog::ShowMessage(MessageIcon icon, std::string_view text, std::string_view title,
                         MessageKind kind) {
    // As printed: the first line, then the lines below it.
    messages_.push_back({icon, std::string(title), std::string(text.substr(0, text.find('\n'))),
                         Joined(shown_.NotesFor(text, kind))});
    if (icon == MessageIcon::Warning) ++warnings_;
    shown_.ShowMessage(icon, text, title, kind);
}

void RunLog::ShowNotice(std::string_view text, std::string_view title) {
    messages_.push_back({MessageIcon::Warning, std::string(title), std::string(text), {}});
    shown_.ShowMessage(MessageIcon::Warning, text, title);
}

void NoteLostOutput() {
    if (std::ferror(stdout) != 0 || std::ferror(stderr) != 0) RaiseInterruption(kPipeSignal);
}

void RunLog::ProcessPendingEvents() {
    shown_.ProcessPendingEvents();
    NoteLostOutput();
    if (++pauses_ == raiseAt_) RaiseSignalForTest(raiseSignal_);
    if (InterruptionSignal() != 0) throw ConversionInterrupted{};
}

void InputLog::InputOpened(InputRole role, const std::string& path) {
    const auto same = [&](const InputRead& input) { return input.Path == path; };
    if (std::none_of(inputs_.begin(), inputs_.end(), same)) inputs_.push_back({path, role});
}

const char* InputRoleName(InputRole role) {
    switch (role) {
        case InputRole::CpIndex:
            return "index";
        case InputRole::WorkingFile:
            return "working file";
        case InputRole::CompoundIndex:
            return "compound index";
        case InputRole::CompoundList:
            return "compound list";
        case InputRole::Parameters:
            return "parameters";
        case InputRole::DataFile:
            return "data file";
        case InputRole::OwnSource:
            return "own source";
        case InputRole::BaseSource:
            return "base source";
    }
    return "index";
}

std::string BaseSourceReport(const RunReport& report) {
    if (report.BaseSourcesCopied == 0) return {};
    return std::to_string(report.BaseSourcesCopied) +
           " bloque(s) de secuencia sin su fuente .s: se ha copiado la fuente base de su tipo: " +
           NamesOf(report.BaseSourceNames, report.BaseSourcesCopied);
}

std::string LeftoverReport(const std::vector<std::string>& names) {
    return std::to_string(names.size()) +
           " archivo(s) de una conversión anterior siguen en el destino: " +
           NamesOf(names, static_cast<long long>(names.size()));
}

void AddStagedRunHelp(CLI::App& command, SignalSeam& seam) {
    command.footer(
        "La conversión se escribe en una carpeta de trabajo dentro del destino\n"
        "(.pamiro-...) y pasa a su sitio solo si termina sin fallo: si falla o se\n"
        "interrumpe, el destino queda como estaba.\n"
        "Solo una conversión a la vez escribe en un destino. Un Working File cuyo\n"
        "índice corresponde a otra plataforma que la elegida se rechaza.\n"
        "Salida: 0 terminada; 1 rechazada o fallida; 2 error en las opciones;\n"
        "130 Ctrl+C; 143 SIGTERM; 129 SIGHUP o consola cerrada; 141 salida\n"
        "cerrada (una tubería que se cierra, como | head).");
    command.add_option("--test-signal-at", seam.At)->group("");
    command.add_option("--test-signal", seam.Signal)->group("");
}

std::string PlatformOptionHint(const RunReport& report) {
    const auto platform = PlatformFromIndex(report.FittingPlatformIndex);
    if (!platform) return {};
    return "Use --platform " + std::string(TraitsOf(*platform).ShortName) +
           ": es la plataforma a la que corresponde el índice del CP";
}

int InterruptedStatus() { return 128 + InterruptionSignal(); }

StagedResult RunStaged(ConversionJob& job, RunLog& log, SourceKind kind, const std::string& cp,
                       const StagedOptions& options) {
    StagedResult result;
    StagedRunOptions staged;
    staged.BeforeCommit = [&](const StagedDestination& destination) {
        std::vector<std::string> remove = CloseRun(job, destination, log, options);
        result.NothingWritten = NothingWrittenWarning(job);
        if (options.Strict && (log.Warnings() > 0 || !result.NothingWritten.empty())) {
            job.Report.Failed = true;
            log.ShowMessage(MessageIcon::Critical,
                            "La conversión ha mostrado avisos y se ha pedido --strict",
                            kDestinationTitle);
        }
        return remove;
    };
    staged.Notice = [&](const std::string& text, const std::string& title) {
        log.ShowNotice(text, title);
    };
    const StagedRunResult run = RunConversionStaged(job, log, kind, cp, staged);
    result.Outcome = run.Outcome;
    result.Outputs = run.Outputs;
    result.Removed = run.Removed;
    return result;
}

}  // namespace pamiro::cli
