#include "gui/win32/MainWindow.h"

#include <commctrl.h>

#include <utility>

#include "app/WindowModel.h"
#include "gui/win32/MessageBoxes.h"
#include "gui/win32/Resource.h"
#include "gui/win32/Win32Text.h"

namespace pamiro::win32 {

namespace {

int ControlId(Element element) {
    switch (element) {
        case Element::NombreCP:
            return IDC_NOMBRECP;
        case Element::Plataforma:
            return IDC_PLATAFORMA;
        case Element::Version:
            return IDC_VERSION;
        case Element::Fuente:
            return IDC_FUENTE;
        case Element::Destino:
            return IDC_DESTINO;
        case Element::DirFuente:
            return IDC_DIRFUENTE;
        case Element::DrvFuente:
            return IDC_DRVFUENTE;
        case Element::DirDestino:
            return IDC_DIRDESTINO;
        case Element::DrvDestino:
            return IDC_DRVDESTINO;
        case Element::cmdEjecutar:
            return IDC_CMDEJECUTAR;
        default:
            return 0;
    }
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool IsEditableCombo(HWND box) {
    return (::GetWindowLongPtrW(box, GWL_STYLE) & 0x3) == CBS_DROPDOWN;
}

// Posted by EndProgram: the program ends once the handler that asked returns.
constexpr UINT kEndProgram = WM_APP + 1;

}  // namespace

MainWindow::~MainWindow() {
    about_.reset();
    Destroy();
}

bool MainWindow::Open(WindowModel& model, int showCommand) {
    model_ = &model;
    // Common controls 6 (the status bar among them) are registered here.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    if (!Create(IDD_MAIN, nullptr)) return false;
    model_->Load();
    ::ShowWindow(Handle(), showCommand);
    model_->Shown();
    return true;
}

bool MainWindow::RouteDialogMessage(MSG& message) {
    if (about_ && about_->Handle() != nullptr && ::IsDialogMessageW(about_->Handle(), &message)) {
        return true;
    }
    return Handle() != nullptr && ::IsDialogMessageW(Handle(), &message);
}

bool MainWindow::OnInit() {
    const auto instance = ::GetModuleHandleW(nullptr);
    for (const auto& [which, size] : {std::pair{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}}) {
        const int side = ::GetSystemMetrics(size);
        const auto icon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_PAMIRO),
                                                          IMAGE_ICON, side, side, LR_SHARED));
        ::SendMessageW(Handle(), WM_SETICON, static_cast<WPARAM>(which),
                       reinterpret_cast<LPARAM>(icon));
    }
    // Status: panel 1 the current compound, panel 2 the current block.
    status_ = ::CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                Handle(), reinterpret_cast<HMENU>(IDC_STATUS), instance, nullptr);
    LayOutStatusBar();

    dirFuente_.Attach(Handle(), IDC_DIRFUENTE);
    dirDestino_.Attach(Handle(), IDC_DIRDESTINO);
    return false;  // the focus is placed after the window load
}

void MainWindow::LayOutStatusBar() {
    ::SendMessageW(status_, WM_SIZE, 0, 0);
    RECT client{};
    ::GetClientRect(Handle(), &client);
    int parts[2] = {client.right / 2, -1};
    ::SendMessageW(status_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
}

bool MainWindow::OnCommand(int id, int code, HWND) {
    if (model_ == nullptr) return false;
    const auto folders = [](int list) {
        return list == IDC_DIRFUENTE ? Element::DirFuente : Element::DirDestino;
    };
    const auto drives = [](int list) {
        return list == IDC_DRVFUENTE ? Element::DrvFuente : Element::DrvDestino;
    };
    switch (id) {
        case IDC_CMDEJECUTAR:
            if (code != BN_CLICKED) return false;
            // Enter anywhere comes as the default button's click; a click
            // with the mouse has given the button the focus.
            model_->EnterPressed(Focused());
            return true;
        case IDC_DIRFUENTE:
        case IDC_DIRDESTINO:
            if (code != LBN_DBLCLK) return false;
            model_->EntryActivated(folders(id), SelectedEntry(folders(id)));
            return true;
        case IDC_DRVFUENTE:
        case IDC_DRVDESTINO:
            if (code == CBN_DROPDOWN) {
                model_->DriveListOpening(drives(id));  // drives come and go
            } else if (code == CBN_SELCHANGE) {
                model_->DriveChosen(drives(id), SelectedEntry(drives(id)));
            } else {
                return false;
            }
            return true;
        case IDM_ACTUALIZACIONES:
            model_->Menu(MenuCommand::Updates);
            return true;
        case IDM_CONFIGURACION:
            model_->Menu(MenuCommand::Configuration);
            return true;
        case IDM_SALIR:
            model_->Menu(MenuCommand::Exit);
            return true;
        case IDM_ACERCADE:
            model_->Menu(MenuCommand::About);
            return true;
        case IDCANCEL:
            return true;  // Escape does not close the main window
        default:
            return false;
    }
}

bool MainWindow::OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) {
    switch (message) {
        case WM_CLOSE:
            // The model ends the program when the window may close.
            if (model_ != nullptr) model_->CloseRequested();
            result = 0;
            return true;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item.CtlType != ODT_LISTBOX) return false;
            (item.CtlID == IDC_DIRFUENTE ? dirFuente_ : dirDestino_).Draw(item);
            result = TRUE;
            return true;
        }
        case kEndProgram:
            about_.reset();
            Destroy();
            ::PostQuitMessage(0);
            return true;
        default:
            return false;
    }
}

HWND MainWindow::Control(Element element) const {
    if (element == Element::Window) return Handle();
    const int id = ControlId(element);
    return id != 0 ? Item(id) : nullptr;
}

FolderListBox* MainWindow::Folders(Element element) {
    return const_cast<FolderListBox*>(std::as_const(*this).Folders(element));
}

const FolderListBox* MainWindow::Folders(Element element) const {
    if (element == Element::DirFuente) return &dirFuente_;
    if (element == Element::DirDestino) return &dirDestino_;
    return nullptr;
}

Element MainWindow::Focused() const {
    HWND focus = ::GetFocus();
    // The text part of a combo box is a child of the box.
    if (focus != nullptr && ::GetParent(focus) != Handle()) focus = ::GetParent(focus);
    for (const Element element : {Element::NombreCP, Element::Plataforma, Element::Version,
                                  Element::Fuente, Element::Destino, Element::DirFuente,
                                  Element::DrvFuente, Element::DirDestino, Element::DrvDestino}) {
        if (focus != nullptr && focus == Control(element)) return element;
    }
    return Element::cmdEjecutar;
}

void MainWindow::SetEntries(Element list, const std::vector<ListEntry>& entries) {
    if (FolderListBox* folders = Folders(list)) {
        folders->SetEntries(entries);
        return;
    }
    const HWND box = Control(list);
    ::SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (const ListEntry& entry : entries) {
        ::SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(entry.Text).c_str()));
    }
    ::SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    if (IsEditableCombo(box)) ::SetWindowTextW(box, L"");
}

void MainWindow::SelectEntry(Element list, int index) {
    if (FolderListBox* folders = Folders(list)) {
        folders->Select(index);
        return;
    }
    const HWND box = Control(list);
    const LRESULT count = ::SendMessageW(box, CB_GETCOUNT, 0, 0);
    if (index < 0 || index >= count) index = -1;
    ::SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (index < 0 && IsEditableCombo(box)) ::SetWindowTextW(box, L"");
}

int MainWindow::SelectedEntry(Element list) const {
    if (const FolderListBox* folders = Folders(list)) return folders->Selected();
    const LRESULT current = ::SendMessageW(Control(list), CB_GETCURSEL, 0, 0);
    return current == CB_ERR ? -1 : static_cast<int>(current);
}

std::string MainWindow::Text(Element element) const { return Utf8(WindowText(Control(element))); }

void MainWindow::SetText(Element element, std::string_view text) {
    if (element == Element::StatusPanel1 || element == Element::StatusPanel2) {
        const WPARAM part = element == Element::StatusPanel1 ? 0 : 1;
        ::SendMessageW(status_, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(Wide(text).c_str()));
        return;
    }
    ::SetWindowTextW(Control(element), Wide(text).c_str());
}

void MainWindow::SetFocus(Element element) {
    // As the dialog manager moves it, so the default button follows.
    if (const HWND control = Control(element)) {
        ::SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }
}

void MainWindow::SetEnabled(bool enabled) {
    for (HWND child = ::GetWindow(Handle(), GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        ::EnableWindow(child, enabled ? TRUE : FALSE);
    }
    const HMENU bar = ::GetMenu(Handle());
    for (UINT menu = 0; menu < 2; ++menu) {
        ::EnableMenuItem(bar, menu, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    ::DrawMenuBar(Handle());
}

MessageAnswer MainWindow::ShowMessage(const MessageRequest& request) {
    return ShowMessageBox(Handle(), request);
}

void MainWindow::ProcessPendingEvents() {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));  // for the message loop
            return;
        }
        if (!RouteDialogMessage(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

void MainWindow::ShowAbout(const AboutTexts& texts) {
    if (!about_ || about_->Handle() == nullptr) {
        about_ = std::make_unique<AboutDialog>(texts);
        if (!about_->Create(IDD_ABOUT, Handle())) return;
    }
    ::ShowWindow(about_->Handle(), SW_SHOW);
    ::SetForegroundWindow(about_->Handle());
}

void MainWindow::EndProgram() {
    ended_ = true;
    ::PostMessageW(Handle(), kEndProgram, 0, 0);
}

}  // namespace pamiro::win32
