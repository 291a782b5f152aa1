#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/SavedChoices.h"
#include "app/WindowView.h"
#include "core/Host.h"
#include "run/ConversionJob.h"

namespace pamiro {

struct WindowOptions {
    // Where the parameter data files and base sources lie; its drive is the
    // one a folder list returns to after "Unidad no disponible".
    std::string ProgramDir;
    // The Windows folder or its counterpart: the default folders hang under it.
    std::string SystemFolder;
    // What both folder lists show before the stored folders are restored.
    std::string StartFolder;
    // How often a run lets the window handle pending events.
    std::chrono::milliseconds EventInterval{20};
    // The drives a drive list offers; by default the machine's.
    std::function<std::vector<std::string>()> ListDrives;
};

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
    enum class OpenResult { Opened, NotFound, Failed };

    WindowModel(WindowView& view, SettingsStore& store, WindowOptions options);

    // Once, before the window shows: title, lists, stored choices, folders.
    void Load();
    // Once the window shows: a store that could not be written is reported.
    void Shown();

    // Events of the view.
    void Convert();                                      // cmdEjecutar
    void EntryActivated(Element folderList, int index);  // double click, Enter
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
    struct Location {
        Element Format;
        Element Folders;
        Element Drives;
        std::string Open;                // the open folder
        std::vector<std::string> Paths;  // each entry's full path
        std::map<std::string, std::string> LastOnDrive;
        std::vector<std::string> DriveRoots;  // each drive list entry's root
        std::string Drive;                    // the selected drive
    };
    Location& At(Element list);
    const Location& At(Element list) const;

    OpenResult SetOpenFolder(Location& place, const std::string& path);
    bool OpenDrive(Location& place, const std::string& root);
    bool Refresh(Location& place, const std::string& highlight);
    std::string Highlighted(const Location& place) const;

    void ShowDrives(Location& place);
    void SetDrives(Location& place, std::vector<std::string> roots);
    void SetDrive(Location& place, const std::string& root);
    void SetDriveQuietly(Location& place, const std::string& root);
    void ListDrive(Location& place, const std::string& root);
    void CoupleDrive(Location& place, const std::string& previous);
    void RestoreLocation(Location& place, const std::string& storedFolder);

    void SaveConfiguration();
    void EndProgram();
    MessageAnswer Ask(const MessageRequest& request) { return view_.ShowMessage(request); }

    WindowView& view_;
    SettingsStore& store_;
    WindowOptions options_;
    ConversionJob job_;
    Location source_;
    Location destination_;
    std::string storeError_;  // reported once the window shows
    bool interruptRequested_ = false;
    bool ending_ = false;  // closing without the question
    bool ended_ = false;   // the view was told to end the program
    bool eventsHandled_ = false;
    std::chrono::steady_clock::time_point lastEvents_;
};

// The texts of the about window (frmAbout).
AboutTexts AboutWindowTexts();

}  // namespace pamiro
