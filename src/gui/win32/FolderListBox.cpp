#include "gui/win32/FolderListBox.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "gui/win32/Win32Text.h"

namespace pamiro::win32 {

FolderListBox::~FolderListBox() {
    if (list_ != nullptr && ::IsWindow(list_)) ::RemoveWindowSubclass(list_, &Watch, 0);
    if (tip_ != nullptr && ::IsWindow(tip_)) ::DestroyWindow(tip_);
    for (const HICON icon : {closedIcon_, openIcon_}) {
        if (icon != nullptr) ::DestroyIcon(icon);
    }
}

void FolderListBox::Attach(HWND dialog, int id) {
    list_ = ::GetDlgItem(dialog, id);
    // Rows and their indent follow the dialog font.
    RECT unit{0, 0, 6, 10};
    ::MapDialogRect(dialog, &unit);
    indent_ = unit.right;
    iconSide_ = ::GetSystemMetrics(SM_CXSMICON);
    ::SendMessageW(list_, LB_SETITEMHEIGHT, 0, std::max<LONG>(unit.bottom, iconSide_ + 2));
    // The system's own folder pictures, closed and open.
    for (const auto& [icon, flag] : {std::pair{&closedIcon_, 0u}, {&openIcon_, SHGFI_OPENICON}}) {
        SHFILEINFOW info{};
        if (::SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                             SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES | flag) != 0) {
            *icon = info.hIcon;
        }
    }
    // A long name is cut where the row ends: the tool tip gives the whole path.
    tip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = list_;  // asks the list box for the text
    tool.uId = reinterpret_cast<UINT_PTR>(list_);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 800);
    ::SetWindowSubclass(list_, &Watch, 0, reinterpret_cast<DWORD_PTR>(this));
}

void FolderListBox::SetEntries(const std::vector<ListEntry>& entries) {
    rows_.clear();
    ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    for (const ListEntry& entry : entries) {
        rows_.push_back({entry.Depth, entry.OpenFolder, Wide(entry.Tip)});
        ::SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(entry.Text).c_str()));
    }
    ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list_, nullptr, TRUE);
    tipRow_ = -1;
    if (tip_ != nullptr) ::SendMessageW(tip_, TTM_POP, 0, 0);
}

void FolderListBox::Select(int index) {
    ::SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int FolderListBox::Selected() const {
    const LRESULT row = ::SendMessageW(list_, LB_GETCURSEL, 0, 0);
    return row == LB_ERR ? -1 : static_cast<int>(row);
}

int FolderListBox::RowAt(POINT client) const {
    const LRESULT hit = ::SendMessageW(list_, LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
    const int row = LOWORD(hit);
    return HIWORD(hit) != 0 || row >= static_cast<int>(rows_.size()) ? -1 : row;
}

LRESULT CALLBACK FolderListBox::Watch(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<FolderListBox*>(data);
    if (message == WM_MOUSEMOVE) {
        // Another row under the mouse: the tip goes and comes back with its path.
        const int row =
            self->RowAt({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        if (row != self->tipRow_) {
            self->tipRow_ = row;
            ::SendMessageW(self->tip_, TTM_POP, 0, 0);
        }
    } else if (message == WM_NOTIFY &&
               reinterpret_cast<const NMHDR*>(lParam)->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        const int row = self->tipRow_;
        info->lpszText = row >= 0 ? const_cast<wchar_t*>(self->rows_[row].Tip.c_str())
                                  : const_cast<wchar_t*>(L"");
        return 0;
    }
    return ::DefSubclassProc(list, message, wParam, lParam);
}

void FolderListBox::Draw(const DRAWITEMSTRUCT& item) const {
    if (item.itemID == static_cast<UINT>(-1)) return;
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
    const bool known = item.itemID < rows_.size();
    place.left += 2 + (known ? rows_[item.itemID].Depth : 0) * indent_;
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, ::GetSysColor(disabled   ? COLOR_GRAYTEXT
                                           : selected ? COLOR_HIGHLIGHTTEXT
                                                      : COLOR_WINDOWTEXT));
    // The open folder and its ancestors show an open folder.
    if (const HICON icon = known && rows_[item.itemID].Open ? openIcon_ : closedIcon_;
        icon != nullptr) {
        const int top = place.top + (place.bottom - place.top - iconSide_) / 2;
        ::DrawIconEx(item.hDC, place.left, top, icon, iconSide_, iconSide_, 0, nullptr, DI_NORMAL);
    }
    place.left += iconSide_ + 4;
    ::DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &place,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if ((item.itemState & ODS_FOCUS) != 0) ::DrawFocusRect(item.hDC, &item.rcItem);
}

}  // namespace pamiro::win32
