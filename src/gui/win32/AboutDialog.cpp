#include "gui/win32/AboutDialog.h"

#include "gui/win32/Resource.h"
#include "gui/win32/Win32Text.h"

namespace pamiro::win32 {

AboutDialog::~AboutDialog() {
    Destroy();
    if (titleFont_ != nullptr) ::DeleteObject(titleFont_);
}

bool AboutDialog::OnInit() {
    ::SetWindowTextW(Handle(), Wide(texts_.Caption).c_str());
    ::SetDlgItemTextW(Handle(), IDC_LBLTITLE, Wide(texts_.Title).c_str());
    ::SetDlgItemTextW(Handle(), IDC_LBLVERSIONTEXT, Wide(texts_.Version).c_str());
    ::SetDlgItemTextW(Handle(), IDC_LBLDESCRIPTION, Wide(texts_.Description).c_str());
    std::wstring credits;
    for (const wchar_t c : Wide(texts_.Credits)) {
        if (c == L'\n') credits += L'\r';
        credits += c;
    }
    ::SetDlgItemTextW(Handle(), IDC_LBLDISCLAIMER, credits.c_str());
    ::SetDlgItemTextW(Handle(), IDOK, Wide(texts_.Button).c_str());

    // The program's name larger and bold, as in the Qt window.
    LOGFONTW font{};
    const auto dialogFont = reinterpret_cast<HFONT>(::SendMessageW(Handle(), WM_GETFONT, 0, 0));
    if (dialogFont != nullptr && ::GetObjectW(dialogFont, sizeof font, &font) != 0) {
        font.lfHeight = font.lfHeight * 9 / 5;
        font.lfWeight = FW_BOLD;
        titleFont_ = ::CreateFontIndirectW(&font);
        ::SendDlgItemMessageW(Handle(), IDC_LBLTITLE, WM_SETFONT,
                              reinterpret_cast<WPARAM>(titleFont_), FALSE);
    }
    const auto icon =
        static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PAMIRO),
                                        IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    return true;
}

bool AboutDialog::OnCommand(int id, int, HWND) {
    if (id != IDOK && id != IDCANCEL) return false;
    Destroy();
    return true;
}

}  // namespace pamiro::win32
