#include "gui/win32/Dialog.h"

namespace pamiro::win32 {

Dialog::~Dialog() { Destroy(); }

bool Dialog::Create(int templateId, HWND owner) {
    return ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner,
                                &Dialog::Procedure, reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::Destroy() {
    if (handle_ != nullptr) ::DestroyWindow(handle_);
}

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

INT_PTR CALLBACK Dialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->handle_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
        return self->OnInit() ? TRUE : FALSE;
    }
    if (self == nullptr) return FALSE;  // messages before WM_INITDIALOG
    INT_PTR result = 0;
    switch (message) {
        case WM_COMMAND:
            return self->OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))
                       ? TRUE
                       : FALSE;
        case WM_NCDESTROY:
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            self->handle_ = nullptr;
            self->OnDestroyed();
            return FALSE;
        default:
            if (!self->OnMessage(message, wParam, lParam, result)) return FALSE;
            ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
            return TRUE;
    }
}

}  // namespace pamiro::win32
