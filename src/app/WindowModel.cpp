#include "app/WindowModel.h"

#include <algorithm>
#include <exception>
#include <utility>

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

int IndexIn(const std::vector<std::string>& list, const std::string& item) {
    const auto found = std::find(list.begin(), list.end(), item);
    return found == list.end() ? -1 : static_cast<int>(found - list.begin());
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
    : view_(view),
      store_(store),
      options_(std::move(options)),
      source_(view, options_, Element::DirFuente, Element::DrvFuente),
      destination_(view, options_, Element::DirDestino, Element::DrvDestino) {
    if (!options_.ListDrives) options_.ListDrives = Drives;
    job_.ProgramDir = options_.ProgramDir;
}

WindowLocation* WindowModel::Side(Element list) {
    return const_cast<WindowLocation*>(std::as_const(*this).Side(list));
}

const WindowLocation* WindowModel::Side(Element list) const {
    for (const WindowLocation* side : {&source_, &destination_}) {
        if (list == side->Folders() || list == side->Drives()) return side;
    }
    return nullptr;
}

// ---- Window load

void WindowModel::SetChoices(Element list, const std::vector<ListEntry>& entries) {
    std::vector<std::string>& texts = choices_[list];
    texts.clear();
    for (const ListEntry& entry : entries) texts.push_back(entry.Text);
    view_.SetEntries(list, entries);
}

int WindowModel::Chosen(Element list) const {
    const std::string text = view_.Text(list);
    const auto found = choices_.find(list);
    if (text.empty() || found == choices_.end()) return -1;
    const std::vector<std::string>& entries = found->second;
    // The list's own selection first: two entries may read alike.
    const int current = view_.SelectedEntry(list);
    if (current >= 0 && static_cast<std::size_t>(current) < entries.size() &&
        entries[static_cast<std::size_t>(current)] == text) {
        return current;
    }
    return IndexIn(entries, text);
}

void WindowModel::Load() {
    // The program name, then the sharp s of the Western code page and "3".
    view_.SetText(Element::Window, std::string(kProgramName) +
                                       " [\xC3\x9F"
                                       "3]");
    SetChoices(Element::Plataforma, kPlatforms);
    SetChoices(Element::Fuente, kSources);
    SetChoices(Element::Destino, kDestinations);
    const std::vector<std::string> drives = options_.ListDrives();
    source_.Start(drives);
    destination_.Start(drives);

    const StartChoices choices = LoadStartChoices(store_, options_.SystemFolder);
    storeError_ = choices.StoreError;
    job_.VersionTable = choices.VersionTable;
    std::vector<ListEntry> versions;
    for (const auto& row : job_.VersionTable) versions.push_back({StoreText(row.second)});
    SetChoices(Element::Version, versions);
    view_.SelectEntry(Element::Version, choices.VersionIndex);
    view_.SelectEntry(Element::Plataforma, choices.PlatformIndex);
    view_.SelectEntry(Element::Fuente, choices.SourceIndex);
    view_.SelectEntry(Element::Destino, choices.DestinationIndex);

    source_.Restore(choices.SourceFolder);
    destination_.Restore(choices.DestinationFolder);
}

void WindowModel::Shown() {
    view_.SetFocus(Element::NombreCP);  // the one thing to type before converting
    if (storeError_.empty()) return;
    view_.ShowMessage({MessageIcon::Warning,
                       "No se pueden guardar los parámetros: " + DisplayText(storeError_),
                       "Pamiro"});
    storeError_.clear();
}

// ---- Folder and drive lists

WindowModel::OpenResult WindowModel::OpenFolder(Element folderList, const std::string& path) {
    WindowLocation* side = Side(folderList);
    return side != nullptr ? side->Open(path) : OpenResult::Failed;
}

std::string WindowModel::OpenFolderOf(Element folderList) const {
    const WindowLocation* side = Side(folderList);
    return side != nullptr ? side->OpenFolder() : std::string();
}

std::string WindowModel::SelectedPath(Element folderList) const {
    const WindowLocation* side = Side(folderList);
    return side != nullptr ? side->Highlighted() : std::string();
}

std::string WindowModel::DriveOf(Element driveList) const {
    const WindowLocation* side = Side(driveList);
    return side != nullptr ? side->Drive() : std::string();
}

void WindowModel::EntryActivated(Element folderList, int index) {
    if (WindowLocation* side = Side(folderList); side != nullptr && side->Folders() == folderList) {
        side->Activate(index);
    }
}

void WindowModel::DriveChosen(Element driveList, int index) {
    if (WindowLocation* side = Side(driveList); side != nullptr && side->Drives() == driveList) {
        side->ChooseDrive(index);
    }
}

void WindowModel::DriveListOpening(Element driveList) {
    if (WindowLocation* side = Side(driveList); side != nullptr && side->Drives() == driveList) {
        side->ReadDrives();
    }
}

void WindowModel::EnterPressed(Element focused) {
    // On a folder list Enter opens the highlighted folder; anywhere else it converts.
    const WindowLocation* side = Side(focused);
    if (side != nullptr && side->Folders() == focused) {
        EntryActivated(focused, view_.SelectedEntry(focused));
    } else {
        Convert();
    }
}

// ---- "Convertir" and the run

void WindowModel::Convert() {
    if (!job_.ConversionIdle) return;
    ConversionRequest request;
    request.CpNameText = Utf8ToLatin1(view_.Text(Element::NombreCP));
    request.PlatformIndex = Chosen(Element::Plataforma);
    request.VersionIndex = Chosen(Element::Version);
    request.SourceIndex = Chosen(Element::Fuente);
    request.DestinationIndex = Chosen(Element::Destino);
    request.SourceSelection = source_.Highlighted();
    // Both folders as highlighted, as "&Configuración" saves them.
    request.DestinationFolder = destination_.Highlighted();
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
    // A close answered Yes during the run, or while its last step went by:
    // the run has left the destination as it was.
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
    view_.SetFocus(Element::NombreCP);  // ready for the next CP
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
    const CurrentChoices choices{source_.Highlighted(),    destination_.Highlighted(),
                                 Chosen(Element::Version), Chosen(Element::Plataforma),
                                 Chosen(Element::Fuente),  Chosen(Element::Destino)};
    if (!SaveAsDefaults(store_, choices, job_.VersionTable)) {
        view_.ShowMessage({MessageIcon::Warning,
                           "No se pueden guardar los parámetros: " + DisplayText(store_.Error()),
                           "Pamiro"});
    }
}

bool WindowModel::CloseRequested() {
    if (!ended_ && !job_.ConversionIdle) {
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
    // Whatever asks for it, and however often, the view hears it once.
    if (ended_) return;
    ended_ = true;
    view_.EndProgram();
}

}  // namespace pamiro
