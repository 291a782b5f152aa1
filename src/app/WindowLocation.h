#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/WindowView.h"

namespace pamiro {

struct WindowOptions {
    // Where the parameter data files and base sources lie; its drive is the
    // one a folder list returns to after "Unidad no disponible".
    std::string ProgramDir;
    // The Windows folder or its counterpart: the default folders hang under it.
    std::string SystemFolder;
    // The user's documents folder: where a folder list starts when neither
    // its stored folder nor the default can be opened.
    std::string DocumentsFolder;
    // How often a run lets the window handle pending events.
    std::chrono::milliseconds EventInterval{20};
    // The drives a drive list offers; by default the machine's.
    std::function<std::vector<std::string>()> ListDrives;
};

enum class OpenResult { Opened, NotFound, Failed };

// One side of the window (Fuente or Destino): its folder list and the drive
// list under it, coupled. It fills both lists through the view and reads
// their highlighted entries from it.
class WindowLocation {
  public:
    WindowLocation(WindowView& view, const WindowOptions& options, Element folders, Element drives);

    Element Folders() const { return folders_; }
    Element Drives() const { return drives_; }

    // The machine's drives, before the stored folder is restored.
    void Start(const std::vector<std::string>& drives);
    // The stored folder; a missing one falls back to the default folder
    // under the system folder, and a folder that cannot be opened, either,
    // to the documents folder.
    void Restore(const std::string& storedFolder);

    // Opens a folder; on failure the list stays as it was. NotFound only
    // when nothing exists at the path.
    OpenResult Open(const std::string& path);
    const std::string& OpenFolder() const { return open_; }
    // The highlighted entry's full path: the open folder until the user
    // highlights another entry.
    std::string Highlighted() const;
    // A double click or Enter on an entry: it opens.
    void Activate(int index);

    const std::string& Drive() const { return drive_; }
    // A drive chosen by the user.
    void ChooseDrive(int index);
    // The drive list opens: the machine's drives are read anew.
    void ReadDrives();

  private:
    bool OpenDrive(const std::string& root);
    bool Refresh(const std::string& highlight);
    void ShowDrives();
    void SetDrives(std::vector<std::string> roots);
    void ListDrive(const std::string& root);
    // Like a choice of the user: a different drive runs the coupling.
    void SetDrive(const std::string& root);
    void CoupleDrive(const std::string& previous);

    WindowView& view_;
    const WindowOptions& options_;
    Element folders_;
    Element drives_;
    std::string open_;                // the open folder
    std::vector<std::string> paths_;  // each entry's full path
    std::map<std::string, std::string> lastOnDrive_;
    std::vector<std::string> driveRoots_;  // each drive list entry's root
    std::string drive_;                    // the selected drive
};

}  // namespace pamiro
