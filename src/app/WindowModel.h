#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "app/SavedChoices.h"
#include "app/WindowLocation.h"
#include "app/WindowView.h"
#include "core/Host.h"
#include "run/ConversionJob.h"

namespace pamiro {

// Everything the main window (frmBase) decides, for any toolkit: the window
// load, "Convertir", the folder and drive lists with their coupling, the menu
// commands, the close request during a run and the about window's texts. A
// view (WindowView) shows what it is told and passes its events here.
//
// It is also the engine's host for a run: status panels, messages, the freeze
// and the handling of pending events, which ends the run by throwing
// ConversionInterrupted once a close request was answered Yes.
class WindowModel : public Host {
  public:
    using OpenResult = pamiro::OpenResult;

    WindowModel(WindowView& view, SettingsStore& store, WindowOptions options);

    // Once, before the window shows: title, lists, stored choices, folders.
    void Load();
    // Once the window shows: the focus on the CP name, and a store that
    // could not be written is reported.
    void Shown();

    // Events of the view.
    void Convert();                                      // a click on cmdEjecutar
    void EnterPressed(Element focused);                  // Enter, on whatever has the focus
    void EntryActivated(Element folderList, int index);  // a double click
    void DriveChosen(Element driveList, int index);      // by the user
    void DriveListOpening(Element driveList);            // drives come and go
    void Menu(MenuCommand command);
    // True when the window may close; the program then ends.
    bool CloseRequested();

    // Opens a folder in a folder list; on failure the list stays as it was.
    // NotFound only when nothing exists at the path.
    OpenResult OpenFolder(Element folderList, const std::string& path);
    std::string OpenFolderOf(Element folderList) const;
    // The highlighted entry's full path: the open folder until the user
    // highlights another entry.
    std::string SelectedPath(Element folderList) const;
    std::string DriveOf(Element driveList) const;
    const ConversionJob& Job() const { return job_; }

    // Host.
    void SetStatus(int panel, std::string_view text) override;
    void ShowMessage(MessageIcon icon, std::string_view text, std::string_view title,
                     MessageKind kind = MessageKind::Plain) override;
    void ProcessPendingEvents() override;
    void FreezeWindow() override;
    void RestoreWindow() override;

  private:
    // The side a folder or drive list belongs to; null for any other element.
    WindowLocation* Side(Element list);
    const WindowLocation* Side(Element list) const;
    // The entry whose text a combo box's text part shows, exactly; -1 when
    // the text is no entry (typed by hand, or nothing shown).
    int Chosen(Element list) const;
    void SetChoices(Element list, const std::vector<ListEntry>& entries);

    void SaveConfiguration();
    void EndProgram();
    MessageAnswer Ask(const MessageRequest& request) { return view_.ShowMessage(request); }

    WindowView& view_;
    SettingsStore& store_;
    WindowOptions options_;
    ConversionJob job_;
    WindowLocation source_;
    WindowLocation destination_;
    std::map<Element, std::vector<std::string>> choices_;  // each combo box's entries
    std::string storeError_;                               // reported once the window shows
    bool interruptRequested_ = false;
    bool ended_ = false;  // the view was told to end the program
    bool eventsHandled_ = false;
    std::chrono::steady_clock::time_point lastEvents_;
};

// The texts of the about window (frmAbout).
AboutTexts AboutWindowTexts();

}  // namespace pamiro
