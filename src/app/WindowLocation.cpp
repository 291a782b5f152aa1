#include "app/WindowLocation.h"

#include <algorithm>

#include "app/SavedChoices.h"
#include "core/NativeFile.h"
#include "core/Paths.h"
#include "core/Text.h"
#include "core/TextOrder.h"

namespace pamiro {

namespace {

// Subfolders by name without regard to case, as a file manager lists them.
void SortNames(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return EqualIgnoringAsciiCase(a, b) ? a < b : LessIgnoringAsciiCase(a, b);
    });
}

std::string Below(const std::string& folder, const std::string& name) {
    const bool root = !folder.empty() && (folder.back() == '/' || folder.back() == '\\');
    return root ? folder + name : JoinPath(folder, name);
}

int IndexIn(const std::vector<std::string>& list, const std::string& item) {
    const auto found = std::find(list.begin(), list.end(), item);
    return found == list.end() ? -1 : static_cast<int>(found - list.begin());
}

std::string ShownDrive(const std::string& root) {
    const std::string label = DriveLabel(root);
    return PathText(label.empty() || label == root ? root : root + "  [" + label + "]");
}

}  // namespace

WindowLocation::WindowLocation(WindowView& view, const WindowOptions& options, Element folders,
                               Element drives)
    : view_(view), options_(options), folders_(folders), drives_(drives) {}

// ---- Start

void WindowLocation::Start(const std::vector<std::string>& drives) { SetDrives(drives); }

void WindowLocation::Restore(const std::string& storedFolder) {
    std::string folder = storedFolder;
    OpenResult opened = Open(folder);
    // Only a folder that no longer exists falls back to the default.
    if (opened == OpenResult::NotFound) {
        folder = options_.SystemFolder;
        opened = Open(DefaultFolderUnder(options_.SystemFolder));
    }
    // Never a list that starts where the user cannot look.
    if (opened != OpenResult::Opened) {
        folder = options_.DocumentsFolder;
        Open(folder);
    }
    SetDrive(DriveOf(folder));
}

// ---- The folder list

std::string WindowLocation::Highlighted() const {
    const int row = view_.SelectedEntry(folders_);
    if (row < 0 || static_cast<std::size_t>(row) >= paths_.size()) return open_;
    return paths_[static_cast<std::size_t>(row)];
}

OpenResult WindowLocation::Open(const std::string& path) {
    const FolderState state = FolderStateOf(path);
    if (state == FolderState::Missing) return OpenResult::NotFound;
    if (state == FolderState::Unreadable) return OpenResult::Failed;
    open_ = AbsoluteFolder(path);
    const std::string drive = DriveOf(open_);
    if (!drive.empty()) lastOnDrive_[drive] = open_;
    // A newly opened folder is its own selected entry.
    Refresh(open_);
    return OpenResult::Opened;
}

bool WindowLocation::Refresh(const std::string& highlight) {
    if (open_.empty() || FolderStateOf(open_) != FolderState::Readable) return false;
    std::vector<ListEntry> entries;
    paths_.clear();
    auto add = [&](std::string text, const std::string& path, int depth, bool open) {
        entries.push_back({PathText(text), depth, open, PathText(path)});
        paths_.push_back(path);
    };
    // Ancestors down to the open folder itself, then its subfolders.
    const std::vector<std::string> chain = FolderChain(open_);
    for (std::size_t i = 0; i < chain.size(); ++i) {
        add(i == 0 ? chain[i] : FolderName(chain[i]), chain[i], static_cast<int>(i), true);
    }
    const int openRow = static_cast<int>(entries.size()) - 1;
    std::vector<std::string> names = VisibleSubfolders(open_);
    SortNames(names);
    for (const std::string& name : names) {
        add(name, Below(open_, name), static_cast<int>(chain.size()), false);
    }
    view_.SetEntries(folders_, entries);
    const int row = IndexIn(paths_, highlight);
    view_.SelectEntry(folders_, row >= 0 ? row : openRow);
    return true;
}

void WindowLocation::Activate(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= paths_.size()) return;
    const std::string path = paths_[static_cast<std::size_t>(index)];
    if (Open(path) != OpenResult::Opened) {
        // Gone or unreadable since it was listed: show the folder as it is now.
        Refresh(Highlighted());
    }
}

// ---- The drive list

void WindowLocation::ShowDrives() {
    std::vector<ListEntry> entries;
    for (const std::string& root : driveRoots_) entries.push_back({ShownDrive(root)});
    view_.SetEntries(drives_, entries);
    view_.SelectEntry(drives_, IndexIn(driveRoots_, drive_));
}

void WindowLocation::SetDrives(std::vector<std::string> roots) {
    driveRoots_ = std::move(roots);
    // The selected drive stays shown while the folder list is on it, even
    // when it is gone from the machine's list.
    if (!drive_.empty() && IndexIn(driveRoots_, drive_) < 0) driveRoots_.push_back(drive_);
    ShowDrives();
}

void WindowLocation::ReadDrives() { SetDrives(options_.ListDrives()); }

void WindowLocation::ListDrive(const std::string& root) {
    drive_ = root;
    if (!root.empty() && IndexIn(driveRoots_, root) < 0) driveRoots_.push_back(root);
    ShowDrives();
}

void WindowLocation::SetDrive(const std::string& root) {
    if (root.empty() || root == drive_) return;
    const std::string previous = drive_;
    ListDrive(root);
    CoupleDrive(previous);
}

void WindowLocation::ChooseDrive(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= driveRoots_.size()) return;
    const std::string root = driveRoots_[static_cast<std::size_t>(index)];
    if (root == drive_) return;
    const std::string previous = drive_;
    drive_ = root;
    CoupleDrive(previous);
}

bool WindowLocation::OpenDrive(const std::string& root) {
    if (!DriveReady(root)) return false;
    std::string folder = lastOnDrive_[root];
    if (folder.empty() || FolderStateOf(folder) != FolderState::Readable) folder = root;
    return Open(folder) == OpenResult::Opened && Refresh(Highlighted());
}

void WindowLocation::CoupleDrive(const std::string& previous) {
    if (OpenDrive(drive_)) return;
    view_.ShowMessage({MessageIcon::Warning, "Unidad no disponible", "Working File"});
    const std::string programDrive = DriveOf(options_.ProgramDir);
    if (programDrive.empty()) {
        // No drive to go back to: both lists stay as they were.
        ListDrive(previous);
        return;
    }
    // Back on the program's drive; it is not reported a second time.
    ListDrive(programDrive);
    OpenDrive(programDrive);
}

}  // namespace pamiro
