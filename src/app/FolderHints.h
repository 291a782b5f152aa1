#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Choices.h"
#include "core/Host.h"

namespace pamiro {

// What the user chose as the source, for the hints that follow a failure.
struct ChosenSource {
    std::string Folder;  // as chosen (the window's source folder, --from)
    std::string Cp;      // normalised
    SourceKind Kind = SourceKind::WorkingFile;
    bool CommandLine = false;  // name options (--from, --source) rather than the window's lists
    std::string OptionPrefix = "--";  // "--with-" for the second source of a comparison
};

// The messages a folder hint follows: the Working File not found, a Save All
// scan that found no compound.
bool HintFollows(MessageKind kind);

// Where the source was more likely meant to be: the chosen folder one level
// too high or too low, or holding the other source format. Empty when no
// better folder or format is seen.
std::string FolderHint(const ChosenSource& source);

// The lines the command line writes after a message's first line: its
// further lines (the case variants that kept a file from being found), then
// the folder hint.
std::vector<std::string> NotesAfter(std::string_view text, MessageKind kind,
                                    const ChosenSource& source);
// A message's lines after its first.
std::vector<std::string> FurtherLines(std::string_view text);

// A batch folder with no CP in it: where the CPs seem to be.
std::string BatchFolderHint(const std::string& folder);

// Passes everything to host; a message a hint follows gets the hint as its
// second line (the window's boxes).
class HintingHost : public Host {
  public:
    HintingHost(Host& host, ChosenSource source) : host_(host), source_(std::move(source)) {}
    void SetStatus(int panel, std::string_view text) override { host_.SetStatus(panel, text); }
    void ShowMessage(MessageIcon icon, std::string_view text, std::string_view title,
                     MessageKind kind = MessageKind::Plain) override;
    void ProcessPendingEvents() override { host_.ProcessPendingEvents(); }
    void FreezeWindow() override { host_.FreezeWindow(); }
    void RestoreWindow() override { host_.RestoreWindow(); }

  private:
    Host& host_;
    ChosenSource source_;
};

}  // namespace pamiro
