#pragma once

#include <optional>
#include <string>

#include "app/FolderHints.h"
#include "cli/StagedRun.h"
#include "core/Host.h"

namespace pamiro::cli {

// The command line's host: every message the window would show in a box is
// one stderr line "TITLE: TEXT"; progress goes to stderr only on a terminal.
class CliHost : public NotingHost {
  public:
    explicit CliHost(bool showProgress);
    ~CliHost() override;
    void SetStatus(int panel, std::string_view text) override;
    void ShowMessage(MessageIcon icon, std::string_view text, std::string_view title,
                     MessageKind kind = MessageKind::Plain) override;
    std::vector<std::string> NotesFor(std::string_view text, MessageKind kind) const override;
    void ProcessPendingEvents() override {}
    void FreezeWindow() override {}
    void RestoreWindow() override;
    int Messages(MessageIcon icon) const;
    // The folder where the CP's Working File is looked for, said after the
    // window's "not found" text.
    void SetWorkingFileFolder(std::string folder) { workingFileFolder_ = std::move(folder); }
    // The source the run reads: a failure to find it is followed by a hint.
    void SetSource(ChosenSource source) { source_ = std::move(source); }
    // Put before every message line, e.g. to say which of two sources it is about.
    void SetMessagePrefix(std::string prefix) { prefix_ = std::move(prefix); }
    // The title and text of the last critical message (a failed run's reason).
    const std::string& LastCriticalTitle() const { return criticalTitle_; }
    const std::string& LastCriticalText() const { return criticalText_; }

  private:
    void ClearProgress();
    bool showProgress_;
    bool progressShown_ = false;
    std::string compound_;
    std::string workingFileFolder_;
    std::string prefix_;
    std::optional<ChosenSource> source_;
    std::string criticalTitle_, criticalText_;
    int critical_ = 0, warning_ = 0, question_ = 0;
};

// Parses the platform as its list entry, index or short name; -1 if unknown.
int ParsePlatform(const std::string& text);
int ParseSource(const std::string& text);
// A source or, for compare and inspect, a conversion's output (2, 3).
int ParseReadSource(const std::string& text);
int ParseDestination(const std::string& text);

}  // namespace pamiro::cli
