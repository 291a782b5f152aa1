#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "core/Choices.h"
#include "core/Host.h"
#include "run/RunObserver.h"
#include "run/StagedRun.h"

namespace pamiro {
struct ConversionJob;
struct RunReport;
}  // namespace pamiro

namespace pamiro::cli {

struct LoggedMessage {
    MessageIcon Icon;
    std::string Title, Text;
    std::string Detail;  // the lines the command line printed below it
};

// A front end's host that prints lines of its own below a message (where it
// looked, a hint), so that the report keeps them too.
class NotingHost : public Host {
  public:
    virtual std::vector<std::string> NotesFor(std::string_view text, MessageKind kind) const = 0;
};

// The host a command-line run is given: everything passes on to the front
// end's own host, every message is kept for the report and the warnings are
// counted, and an interruption (Ctrl+C, a termination signal) ends the run at
// its next pause.
class RunLog : public Host {
  public:
    explicit RunLog(NotingHost& shown) : shown_(shown) {}
    void SetStatus(int panel, std::string_view text) override { shown_.SetStatus(panel, text); }
    void ShowMessage(MessageIcon icon, std::string_view text, std::string_view title,
                     MessageKind kind = MessageKind::Plain) override;
    // A warning shown and kept that does not count for --strict: said after
    // the run was moved into place, about the program's own leftovers.
    void ShowNotice(std::string_view text, std::string_view title);
    void ProcessPendingEvents() override;
    void FreezeWindow() override { shown_.FreezeWindow(); }
    void RestoreWindow() override { shown_.RestoreWindow(); }
    // Keeps a message the command has already printed in its own way.
    void Record(MessageIcon icon, std::string title, std::string text, std::string detail = {}) {
        messages_.push_back({icon, std::move(title), std::move(text), std::move(detail)});
    }
    const std::vector<LoggedMessage>& Messages() const { return messages_; }
    int Warnings() const { return warnings_; }
    // Test seam: the signal comes at pause number at (1 the first, the
    // run's and then the final moves'), as if from outside at that moment.
    void RaiseAt(long long at, int signal) {
        raiseAt_ = at;
        raiseSignal_ = signal;
    }

  private:
    NotingHost& shown_;
    long long pauses_ = 0, raiseAt_ = 0;
    int raiseSignal_ = 0;
    std::vector<LoggedMessage> messages_;
    int warnings_ = 0;
};

// A file a run read: the path actually read and what the file is to the run.
struct InputRead {
    std::string Path;
    InputRole Role;
};
// How the report names a role.
const char* InputRoleName(InputRole role);

// The files a run opened for reading, each once, in the order first opened.
class InputLog : public RunObserver {
  public:
    void InputOpened(InputRole role, const std::string& path) override;
    const std::vector<InputRead>& Inputs() const { return inputs_; }

  private:
    std::vector<InputRead> inputs_;
};

// The help's closing lines on the destination's lifetime and exit statuses,
// and the hidden options of the seam above, for the tests of convert and batch.
struct SignalSeam {
    long long At = 0;
    int Signal = 2;
};
void AddStagedRunHelp(CLI::App& command, SignalSeam& seam);

struct StagedOptions {
    bool Strict = false;  // a run that showed a warning is not moved into place
    bool Clean = false;   // leftovers of an earlier run are removed
};

struct StagedResult {
    RunOutcome Outcome = RunOutcome::Failed;
    std::vector<std::string> Outputs;  // the files moved into place, in the order written
    std::size_t Removed = 0;           // leftovers removed (--clean)
    std::string NothingWritten;        // the closing warning of a run that wrote no block
};

// One conversion into job.DestinationDir, all or nothing (RunConversionStaged),
// with what only the command line adds: the closing warnings, --strict (a run
// that warned is not moved into place) and --clean.
StagedResult RunStaged(ConversionJob& job, RunLog& log, SourceKind kind, const std::string& cp,
                       const StagedOptions& options);

// The closing warning of sequence blocks that got their type's base source
// instead of their own; empty when there were none.
std::string BaseSourceReport(const RunReport& report);
// The warning naming the first leftovers of an earlier run.
std::string LeftoverReport(const std::vector<std::string>& names);

// Output that could not be written to stdout or stderr (a closed pipe, a
// full disk) is an interruption: nobody reads what the run says any more.
void NoteLostOutput();

// The option that names the one platform the CP's index fits, after a run
// refused for another; empty when it was not.
std::string PlatformOptionHint(const RunReport& report);

// Exit status of an interrupted run: 128 and the signal (130 for Ctrl+C).
int InterruptedStatus();
inline constexpr const char* kInterruptedLine =
    "Conversión interrumpida: el destino no se ha modificado";
inline constexpr const char* kUnchangedLine = "Conversión fallida: el destino no se ha modificado";

}  // namespace pamiro::cli
