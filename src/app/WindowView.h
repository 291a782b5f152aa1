#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Host.h"

namespace pamiro {

// What the window model (WindowModel) asks of a toolkit. The Qt window and
// the Win32 window each implement it and hold no rule of their own: they
// build their elements, pass every event to the model and do what it says.
//
// Texts crossing this interface are UTF-8; the model has already decoded
// names read from sources, paths and stored labels.

// The main window's elements the model talks to, named as the window names
// them (frmBase's children).
enum class Element {
    Window,  // frmBase itself: its title
    NombreCP,
    Plataforma,
    Version,
    Fuente,
    Destino,
    DirFuente,
    DrvFuente,
    DirDestino,
    DrvDestino,
    cmdEjecutar,
    StatusPanel1,
    StatusPanel2,
};

// One entry of a list. Combo boxes and drive lists use Text only; a folder
// list indents by Depth and shows an open folder (the open folder and its
// ancestors) or a closed one (a subfolder), with Tip as its tool tip.
struct ListEntry {
    std::string Text;
    int Depth = 0;
    bool OpenFolder = false;
    std::string Tip{};
    bool operator==(const ListEntry&) const = default;
};

enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct MessageRequest {
    MessageIcon Icon = MessageIcon::Critical;
    std::string Text;
    std::string Title;
    MessageButtons Buttons = MessageButtons::Ok;
    bool RightToLeft = false;  // the text reads right to left
};

// The about window's texts (frmAbout); its icon and layout are the view's.
struct AboutTexts {
    std::string Caption;      // window caption
    std::string Title;        // lblTitle
    std::string Version;      // lblVersion
    std::string Description;  // lblDescription
    std::string Credits;      // lblDisclaimer: lines separated by "\n"
    std::string Button;       // cmdOK
};

// The menu commands, by their items (mnuArchivo_0, _1, _3; mnuAyuda_0).
enum class MenuCommand { Updates, Configuration, Exit, About };

class WindowView {
  public:
    virtual ~WindowView() = default;

    // Replaces the entries of a list (Plataforma, Version, Fuente, Destino,
    // a folder list or a drive list); nothing is selected afterwards. Filling
    // a list never reports a change of selection to the model.
    virtual void SetEntries(Element list, const std::vector<ListEntry>& entries) = 0;
    // Selects entry index and, for a combo box, shows it in the text part;
    // -1 selects nothing and empties the text part. Never reported back.
    virtual void SelectEntry(Element list, int index) = 0;
    // The entry the list itself has selected, -1 for none: for a combo box
    // whatever its text part shows (the model matches the text); for a
    // folder or drive list the highlighted entry.
    virtual int SelectedEntry(Element list) const = 0;

    // The raw text of NombreCP or of a combo box's text part (Plataforma,
    // Version, Fuente, Destino), as typed.
    virtual std::string Text(Element element) const = 0;
    // The text of NombreCP, the caption of cmdEjecutar, a status panel or
    // the window's title.
    virtual void SetText(Element element, std::string_view text) = 0;
    // Gives an element the keyboard.
    virtual void SetFocus(Element element) = 0;

    // Every element of the window and both top-level menus ("&Archivo",
    // "A&yuda") enabled or disabled: the freeze of a run.
    virtual void SetEnabled(bool enabled) = 0;

    // A modal box; returns the button pressed (Ok for a box with one button;
    // Yes for a question closed without an answer).
    virtual MessageAnswer ShowMessage(const MessageRequest& request) = 0;

    // Handles the events that are waiting (repaint, a close request) and
    // returns. Called during a run, which the freeze keeps from re-entering.
    virtual void ProcessPendingEvents() = 0;

    // Shows the about window without blocking the main window: creates it
    // with these texts when none is open, else brings the open one forward.
    virtual void ShowAbout(const AboutTexts& texts) = 0;

    // The program ends once the handler of the current event has returned:
    // the about window and the main window close without asking anything
    // and the event loop ends. The model calls it once.
    virtual void EndProgram() = 0;
};

}  // namespace pamiro
