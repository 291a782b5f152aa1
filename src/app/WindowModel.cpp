#include "app/WindowModel.h"

#include <algorithm>
#include <exception>

#include "app/ProgramInfo.h"
#include "app/RequestCheck.h"
#include "core/NativeFile.h"
#include "core/Paths.h"
#include "core/Text.h"
#include "run/RunConversion.h"

namespace pamiro {

namespace {

// The lists' entries come from the table of choices.
template <class Label>
std::vector<ListEntry> ListOf(int count, Label label) {
    std::vector<ListEntry> entries;
    for (int i = 0; i < count; ++i) entries.push_back({std::string(label(i))});
    return entries;
}
const std::vector<ListEntry> kPlatforms =
    ListOf(kPlatformEntries, [](int i) { return TraitsOf(*PlatformFromIndex(i)).Label; });
const std::vector<ListEntry> kSources =
    ListOf(kSourceEntries, [](int i) { return kSourceKindLabels[i]; });
const std::vector<ListEntry> kDestinations =
    ListOf(kDestinationEntries, [](int i) { return kDestinationKindLabels[i]; });

// Labels in a store edited by hand are usually UTF-8; anything else is taken
// as Latin-1 rather than shown with replacement marks.
std::string StoreText(const std::string& bytes) {
    const std::string mixed = DisplayText(bytes);
    return mixed == bytes ? bytes : Latin1ToUtf8(bytes);
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Subfolders by name without regard to case, as a file manager lists them.
void SortNames(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = Lower(a), lb = Lower(b);
        return la != lb ? la < lb : a < b;
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

AboutTexts AboutWindowTexts() {
    const std::string name(kProgramName);
    return {"Acerca de " + name,
            name,
            "Versión " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
                std::to_string(kVersionRevision),
            std::string(kDescription),
            "Desarrollo: equipo de ingeniería de Pamiro.\n"
            "Revise los archivos generados antes de cargarlos en un CP.\n"
            "Se entrega sin garantía de ningún tipo.",
            "Aceptar"};
}

WindowModel::WindowModel(WindowView& view, SettingsStore& store, WindowOptions options)
    : view_(view), store_(store), options_(std::move(options)) {
    if (!options_.ListDrives) options_.ListDrives = Drives;
    job_.ProgramDir = options_.ProgramDir;
    source_ = {Element::Fuente, Element::DirFuente, Element::DrvFuente, {}, {}, {}, {}, {}};
    destination_ = {Element::Destino, Element::DirDestino, Element::DrvDestino, {}, {}, {}, {}, {}};
}

WindowModel::Location& WindowModel::At(Element list) {
    return list == Element::DirDestino || list == Element::DrvDestino ? destination_ : source_;
}

const WindowModel::Location& WindowModel::At(Element list) const {
    return list == Element::DirDestino || list == Element::DrvDestino ? destination_ : source_;
}

// ---- Window load

void WindowModel::Load() {
    // The program name, then the sharp s of the Western code page and "3".
    view_.SetText(Element::Window, std::string(kProgramName) +
                                       " [\xC3\x9F"
                                       "3]");
    view_.SetEntries(Element::Plataforma, kPlatforms);
    view_.SetEntries(Element::Fuente, kSources);
    view_.SetEntries(Element::Destino, kDestinations);
    const std::vector<std::string> drives = options_.ListDrives();
    for (Location* place : {&source_, &destination_}) {
        SetOpenFolder(*place, options_.StartFolder);
        SetDrives(*place, drives);
        SetDriveQuietly(*place, pamiro::DriveOf(place->Open));
    }

    const StartChoices choices = LoadStartChoices(store_, options_.SystemFolder);
    storeError_ = choices.StoreError;
    job_.VersionTable = choices.VersionTable;
    std::vector<ListEntry> versions;
    for (const auto& row : job_.VersionTable) versions.push_back({StoreText(row.second)});
    view_.SetEntries(Element::Version, versions);
    view_.SelectEntry(Element::Version, choices.VersionIndex);
    view_.SelectEntry(Element::Plataforma, choices.PlatformIndex);
    view_.SelectEntry(Element::Fuente, choices.SourceIndex);
    view_.SelectEntry(Element::Destino, choices.DestinationIndex);

    RestoreLocation(source_, choices.SourceFolder);
    RestoreLocation(destination_, choices.DestinationFolder);
}

void WindowModel::RestoreLocation(Location& place, const std::string& storedFolder) {
    // Only a folder that no longer exists falls back to the default; any
    // other failure leaves the list as it was, without a message.
    std::string folder = storedFolder;
    if (SetOpenFolder(place, folder) == OpenResult::NotFound) {
        folder = options_.SystemFolder;
        SetOpenFolder(place, DefaultFolderUnder(options_.SystemFolder));
    }
    // Like a choice of the user: a different drive runs the drive coupling.
    SetDrive(place, pamiro::DriveOf(folder));
}

void WindowModel::Shown() {
    if (storeError_.empty()) return;
    view_.ShowMessage({MessageIcon::Warning,
                       "No se pueden guardar los parámetros: " + DisplayText(storeError_),
                       "Pamiro"});
    storeError_.clear();
}

// ---- Folder lists

WindowModel::OpenResult WindowModel::OpenFolder(Element folderList, const std::string& path) {
    return SetOpenFolder(At(folderList), path);
}

std::string WindowModel::OpenFolderOf(Element folderList) const { return At(folderList).Open; }

std::string WindowModel::SelectedPath(Element folderList) const {
    return Highlighted(At(folderList));
}

std::string WindowModel::Highlighted(const Location& place) const {
    const int row = view_.SelectedEntry(place.Folders);
    if (row < 0 || static_cast<std::size_t>(row) >= place.Paths.size()) return place.Open;
    return place.Paths[static_cast<std::size_t>(row)];
}

WindowModel::OpenResult WindowModel::SetOpenFolder(Location& place, const std::string& path) {
    const FolderState state = FolderStateOf(path);
    if (state == FolderState::Missing) return OpenResult::NotFound;
    if (state == FolderState::Unreadable) return OpenResult::Failed;
    place.Open = AbsoluteFolder(path);
    const std::string drive = pamiro::DriveOf(place.Open);
    if (!drive.empty()) place.LastOnDrive[drive] = place.Open;
    // A newly opened folder is its own selected entry.
    Refresh(place, place.Open);
    return OpenResult::Opened;
}

bool WindowModel::OpenDrive(Location& place, const std::string& root) {
    if (!DriveReady(root)) return false;
    std::string folder = place.LastOnDrive[root];
    if (folder.empty() || FolderStateOf(folder) != FolderState::Readable) folder = root;
    return SetOpenFolder(place, folder) == OpenResult::Opened && Refresh(place, Highlighted(place));
}

bool WindowModel::Refresh(Location& place, const std::string& highlight) {
    if (place.Open.empty() || FolderStateOf(place.Open) != FolderState::Readable) return false;
    std::vector<ListEntry> entries;
    place.Paths.clear();
    auto add = [&](std::string text, const std::string& path, int depth, bool open) {
        entries.push_back({PathText(text), depth, open, PathText(path)});
        place.Paths.push_back(path);
    };
    // Ancestors down to the open folder itself, then its subfolders.
    const std::vector<std::string> chain = FolderChain(place.Open);
    for (std::size_t i = 0; i < chain.size(); ++i) {
        add(i == 0 ? chain[i] : FolderName(chain[i]), chain[i], static_cast<int>(i), true);
    }
    const int openRow = static_cast<int>(entries.size()) - 1;
    std::vector<std::string> names = VisibleSubfolders(place.Open);
    SortNames(names);
    for (const std::string& name : names) {
        add(name, Below(place.Open, name), static_cast<int>(chain.size()), false);
    }
    view_.SetEntries(place.Folders, entries);
    const int row = IndexIn(place.Paths, highlight);
    view_.SelectEntry(place.Folders, row >= 0 ? row : openRow);
    return true;
}

void WindowModel::EntryActivated(Element folderList, int index) {
    Location& place = At(folderList);
    if (index < 0 || static_cast<std::size_t>(index) >= place.Paths.size()) return;
    const std::string path = place.Paths[static_cast<std::size_t>(index)];
    if (SetOpenFolder(place, path) != OpenResult::Opened) {
        // Gone or unreadable since it was listed: show the folder as it is now.
        Refresh(place, Highlighted(place));
    }
}

// ---- Drive lists

std::string WindowModel::DriveOf(Element driveList) const { return At(driveList).Drive; }

void WindowModel::ShowDrives(Location& place) {
    std::vector<ListEntry> entries;
    for (const std::string& root : place.DriveRoots) entries.push_back({ShownDrive(root)});
    view_.SetEntries(place.Drives, entries);
    view_.SelectEntry(place.Drives, IndexIn(place.DriveRoots, place.Drive));
}

void WindowModel::SetDrives(Location& place, std::vector<std::string> roots) {
    place.DriveRoots = std::move(roots);
    // The selected drive stays shown while the folder list is on it, even
    // when it is gone from the machine's list.
    if (!place.Drive.empty() && IndexIn(place.DriveRoots, place.Drive) < 0) {
        place.DriveRoots.push_back(place.Drive);
    }
    ShowDrives(place);
}

void WindowModel::ListDrive(Location& place, const std::string& root) {
    place.Drive = root;
    if (!root.empty() && IndexIn(place.DriveRoots, root) < 0) place.DriveRoots.push_back(root);
    ShowDrives(place);
}

void WindowModel::SetDriveQuietly(Location& place, const std::string& root) {
    ListDrive(place, root);
}

void WindowModel::SetDrive(Location& place, const std::string& root) {
    if (root.empty() || root == place.Drive) return;
    const std::string previous = place.Drive;
    ListDrive(place, root);
    CoupleDrive(place, previous);
}

void WindowModel::DriveChosen(Element driveList, int index) {
    Location& place = At(driveList);
    if (index < 0 || static_cast<std::size_t>(index) >= place.DriveRoots.size()) return;
    const std::string root = place.DriveRoots[static_cast<std::size_t>(index)];
    if (root == place.Drive) return;
    const std::string previous = place.Drive;
    place.Drive = root;
    CoupleDrive(place, previous);
}

void WindowModel::DriveListOpening(Element driveList) {
    SetDrives(At(driveList), options_.ListDrives());
}

void WindowModel::CoupleDrive(Location& place, const std::string& previous) {
    if (OpenDrive(place, place.Drive)) return;
    view_.ShowMessage({MessageIcon::Warning, "Unidad no disponible", "Working File"});
    const std::string programDrive = pamiro::DriveOf(job_.ProgramDir);
    if (programDrive.empty()) {
        // No drive to go back to: both lists stay as they were.
        SetDriveQuietly(place, previous);
        return;
    }
    // Back on the program's drive; it is not reported a second time.
    SetDriveQuietly(place, programDrive);
    OpenDrive(place, programDrive);
}

// ---- "Convertir" and the run

void WindowModel::Convert() {
    if (!job_.ConversionIdle) return;
    ConversionRequest request;
    request.CpNameText = Utf8ToLatin1(view_.Text(Element::NombreCP));
    request.PlatformIndex = view_.SelectedEntry(Element::Plataforma);
    request.VersionIndex = view_.SelectedEntry(Element::Version);
    request.SourceIndex = view_.SelectedEntry(Element::Fuente);
    request.DestinationIndex = view_.SelectedEntry(Element::Destino);
    request.SourceSelection = Highlighted(source_);
    request.DestinationFolder = destination_.Open;
    // No exception may leave this handler: it runs inside the view's event loop.
    try {
        const auto refusal = CheckRequest(request, job_, *this);
        view_.SetText(Element::NombreCP, Latin1ToUtf8(request.CpNameText));
        if (refusal) {
            const Refusal shown = ExplainedRefusal(*refusal, job_);
            ShowMessage(MessageIcon::Critical, shown.Text, shown.Title);
            return;
        }
        RunAcceptedRequest(request, job_, *this);
    } catch (const ConversionInterrupted&) {
        EndProgram();
        return;
    } catch (const std::exception& error) {
        job_.ConversionIdle = true;
        RestoreWindow();
        ShowMessage(MessageIcon::Critical, std::string("Error interno: ") + error.what(), "Pamiro");
    }
    // The user asked to end the program while the run's last step went by.
    if (interruptRequested_) EndProgram();
}

void WindowModel::SetStatus(int panel, std::string_view text) {
    view_.SetText(panel == 1 ? Element::StatusPanel1 : Element::StatusPanel2, DisplayText(text));
}

void WindowModel::ShowMessage(MessageIcon icon, std::string_view text, std::string_view title,
                              MessageKind) {
    view_.ShowMessage({icon, DisplayText(text), DisplayText(title)});
}

void WindowModel::ProcessPendingEvents() {
    // Handling events costs far more than one index entry: do it only when
    // the window would notice.
    const auto now = std::chrono::steady_clock::now();
    if (!eventsHandled_ || now - lastEvents_ >= options_.EventInterval) {
        view_.ProcessPendingEvents();
        eventsHandled_ = true;
        lastEvents_ = std::chrono::steady_clock::now();
    }
    if (interruptRequested_) throw ConversionInterrupted{};
}

void WindowModel::FreezeWindow() {
    view_.SetText(Element::cmdEjecutar, "Convirtiendo...");
    view_.SetEnabled(false);
}

void WindowModel::RestoreWindow() {
    view_.SetText(Element::cmdEjecutar, "Convertir");
    view_.SetEnabled(true);
}

// ---- Menus and the end

void WindowModel::Menu(MenuCommand command) {
    switch (command) {
        case MenuCommand::Updates:
            view_.ShowMessage({MessageIcon::Warning, "Función no implementada", "Pamiro",
                               MessageButtons::Ok, true});
            return;
        case MenuCommand::Configuration:
            SaveConfiguration();
            return;
        case MenuCommand::Exit:
            EndProgram();
            return;
        case MenuCommand::About:
            view_.ShowAbout(AboutWindowTexts());
            return;
    }
}

void WindowModel::SaveConfiguration() {
    const MessageAnswer answer =
        Ask({MessageIcon::Question, "Desea guardar los parámetros actuales como predeterminados?",
             "Pamiro", MessageButtons::YesNo});
    if (answer != MessageAnswer::Yes) return;
    const CurrentChoices choices{Highlighted(source_),
                                 Highlighted(destination_),
                                 view_.SelectedEntry(Element::Version),
                                 view_.SelectedEntry(Element::Plataforma),
                                 view_.SelectedEntry(Element::Fuente),
                                 view_.SelectedEntry(Element::Destino)};
    if (!SaveAsDefaults(store_, choices, job_.VersionTable)) {
        view_.ShowMessage({MessageIcon::Warning,
                           "No se pueden guardar los parámetros: " + DisplayText(store_.Error()),
                           "Pamiro"});
    }
}

bool WindowModel::CloseRequested() {
    if (!ending_ && !job_.ConversionIdle) {
        // The run goes on unless the user confirms; on Yes it unwinds at its
        // next event processing, closing every file it has open.
        if (interruptRequested_) return false;
        const MessageAnswer answer = Ask({MessageIcon::Question, "Desea interrumpir la conversión?",
                                          "Terminar el programa", MessageButtons::YesNo});
        if (answer != MessageAnswer::No) interruptRequested_ = true;
        return false;
    }
    EndProgram();
    return true;
}

void WindowModel::EndProgram() {
    ending_ = true;
    if (ended_) return;
    ended_ = true;
    view_.EndProgram();
}

}  // namespace pamiro
