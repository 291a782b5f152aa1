#pragma once

#include <string_view>

namespace pamiro {

enum class MessageIcon { Critical, Warning, Question };

// What a message is about, set where the engine raises it, so that what
// follows it (a folder hint, where a file was looked for) never depends on
// its wording.
enum class MessageKind {
    Plain,
    WorkingFileNotFound,  // the CP's Working File is not in the source folder
    SaveAllEmpty,         // a Save All scan found no compound
};

// The engine's only way out to whoever runs it: the window, the command line
// or a test. Everything the user sees of a run passes through here.
class Host {
  public:
    virtual ~Host() = default;
    // Panel 1 shows the current compound, panel 2 the current block.
    virtual void SetStatus(int panel, std::string_view text) = 0;
    virtual void ShowMessage(MessageIcon icon, std::string_view text, std::string_view title,
                             MessageKind kind = MessageKind::Plain) = 0;
    // Lets the front end breathe during a long run. May throw
    // ConversionInterrupted when the user asked to end the program.
    virtual void ProcessPendingEvents() = 0;
    // Button reads "Convirtiendo...", every element and both menus disabled.
    virtual void FreezeWindow() = 0;
    // Button reads "Convertir", everything enabled again.
    virtual void RestoreWindow() = 0;
};

// Thrown from Host::ProcessPendingEvents to end a run without its end steps.
struct ConversionInterrupted {};

}  // namespace pamiro
