#include "gui/win32/MainWindow.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

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

std::wstring ComboEntry(HWND box, int index) {
    const LRESULT length = ::SendMessageW(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

bool IsEditableCombo(HWND box) {
    return (::GetWindowLongPtrW(box, GWL_STYLE) & 0x3) == CBS_DROPDOWN;
}

}  // namespace

MainWindow::~MainWindow() {
    about_.reset();
    Destroy();
    for (const HICON icon : {closedIcon_, openIcon_}) {
        if (icon != nullptr) ::DestroyIcon(icon);
    }
}

bool MainWindow::Open(WindowModel& model, int showCommand) {
    model_ = &model;
    // Common controls 6 (the status bar among them) are registered here.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    if (!Create(IDD_MAIN, nullptr)) return false;
    model_->Load();
    ::ShowWindow(Handle(), showCommand);
    ::SetFocus(Item(IDC_NOMBRECP));  // the one thing to type before converting
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

    // Folder rows and their indent follow the dialog font.
    RECT unit{0, 0, 6, 10};
    ::MapDialogRect(Handle(), &unit);
    indent_ = unit.right;
    iconSide_ = ::GetSystemMetrics(SM_CXSMICON);
    for (const int list : {IDC_DIRFUENTE, IDC_DIRDESTINO}) {
        ::SendDlgItemMessageW(Handle(), list, LB_SETITEMHEIGHT, 0,
                              std::max<LONG>(unit.bottom, iconSide_ + 2));
    }
    // The system's own folder pictures, closed and open.
    for (const auto& [icon, flag] : {std::pair{&closedIcon_, 0u}, {&openIcon_, SHGFI_OPENICON}}) {
        SHFILEINFOW info{};
        if (::SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                             SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES | flag) != 0) {
            *icon = info.hIcon;
        }
    }
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
            // Enter on a folder list opens the folder, as a double click does.
            if (const HWND focus = ::GetFocus();
                focus == Item(IDC_DIRFUENTE) || focus == Item(IDC_DIRDESTINO)) {
                const Element list = folders(::GetDlgCtrlID(focus));
                model_->EntryActivated(list, SelectedEntry(list));
            } else {
                model_->Convert();
            }
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
            if (model_ == nullptr || model_->CloseRequested()) EndProgram();
            result = 0;
            return true;
        case WM_DRAWITEM:
            DrawFolderRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            result = TRUE;
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

bool MainWindow::IsFolderList(Element element) const {
    return element == Element::DirFuente || element == Element::DirDestino;
}

void MainWindow::SetEntries(Element list, const std::vector<ListEntry>& entries) {
    const HWND box = Control(list);
    if (IsFolderList(list)) {
        auto& rows = list == Element::DirFuente ? sourceRows_ : destinationRows_;
        rows.clear();
        ::SendMessageW(box, WM_SETREDRAW, FALSE, 0);
        ::SendMessageW(box, LB_RESETCONTENT, 0, 0);
        for (const ListEntry& entry : entries) {
            rows.push_back({entry.Depth, entry.OpenFolder});
            ::SendMessageW(box, LB_ADDSTRING, 0,
                           reinterpret_cast<LPARAM>(Wide(entry.Text).c_str()));
        }
        ::SendMessageW(box, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(box, nullptr, TRUE);
        return;
    }
    ::SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (const ListEntry& entry : entries) {
        ::SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(entry.Text).c_str()));
    }
    ::SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    if (IsEditableCombo(box)) ::SetWindowTextW(box, L"");
}

void MainWindow::SelectEntry(Element list, int index) {
    const HWND box = Control(list);
    if (IsFolderList(list)) {
        ::SendMessageW(box, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        return;
    }
    const LRESULT count = ::SendMessageW(box, CB_GETCOUNT, 0, 0);
    if (index < 0 || index >= count) index = -1;
    ::SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (index < 0 && IsEditableCombo(box)) ::SetWindowTextW(box, L"");
}

int MainWindow::SelectedEntry(Element list) const {
    const HWND box = Control(list);
    if (IsFolderList(list)) {
        const LRESULT row = ::SendMessageW(box, LB_GETCURSEL, 0, 0);
        return row == LB_ERR ? -1 : static_cast<int>(row);
    }
    const LRESULT current = ::SendMessageW(box, CB_GETCURSEL, 0, 0);
    if (!IsEditableCombo(box)) return current == CB_ERR ? -1 : static_cast<int>(current);
    // The entry whose text the text part shows, exactly; a typed text that
    // is no entry selects nothing.
    const std::wstring text = WindowText(box);
    if (text.empty()) return -1;
    if (current != CB_ERR && ComboEntry(box, static_cast<int>(current)) == text) {
        return static_cast<int>(current);
    }
    const auto count = static_cast<int>(::SendMessageW(box, CB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        if (ComboEntry(box, index) == text) return index;
    }
    return -1;
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
    // A disabled element loses the keyboard; it comes back to the button.
    if (enabled && ::GetFocus() == nullptr) ::SetFocus(Item(IDC_CMDEJECUTAR));
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
    if (ended_) return;
    ended_ = true;
    about_.reset();
    Destroy();
    ::PostQuitMessage(0);
}

void MainWindow::DrawFolderRow(const DRAWITEMSTRUCT& item) const {
    if (item.CtlType != ODT_LISTBOX || item.itemID == static_cast<UINT>(-1)) return;
    const auto& rows = item.CtlID == IDC_DIRFUENTE ? sourceRows_ : destinationRows_;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    ::FillRect(item.hDC, &item.rcItem,
               ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const LRESULT length = ::SendMessageW(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    ::SendMessageW(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    // Ancestors read as a path going down; subfolders sit one step further in.
    RECT place = item.rcItem;
    const int depth = item.itemID < rows.size() ? rows[item.itemID].Depth : 0;
    place.left += 2 + depth * indent_;
    const bool open = item.itemID < rows.size() && rows[item.itemID].Open;
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, ::GetSysColor(disabled   ? COLOR_GRAYTEXT
                                           : selected ? COLOR_HIGHLIGHTTEXT
                                                      : COLOR_WINDOWTEXT));
    // The open folder and its ancestors show an open folder.
    if (const HICON icon = open ? openIcon_ : closedIcon_; icon != nullptr) {
        const int top = place.top + (place.bottom - place.top - iconSide_) / 2;
        ::DrawIconEx(item.hDC, place.left, top, icon, iconSide_, iconSide_, 0, nullptr, DI_NORMAL);
    }
    place.left += iconSide_ + 4;
    ::DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &place,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if ((item.itemState & ODS_FOCUS) != 0) ::DrawFocusRect(item.hDC, &item.rcItem);
}

}  // namespace pamiro::win32
