#include "gui/win32/MessageBoxes.h"

#include "gui/win32/Win32Text.h"

namespace pamiro::win32 {

namespace {

MessageHandler& Handler() {
    static MessageHandler handler;
    return handler;
}

UINT IconStyle(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Critical:
            return MB_ICONERROR;
        case MessageIcon::Warning:
            return MB_ICONWARNING;
        case MessageIcon::Question:
            return MB_ICONQUESTION;
    }
    return 0;
}

}  // namespace

MessageAnswer ShowMessageBox(HWND owner, const MessageRequest& request) {
    if (Handler()) return Handler()(owner, request);
    UINT style =
        IconStyle(request.Icon) | (request.Buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK);
    if (request.RightToLeft) style |= MB_RIGHT | MB_RTLREADING;
    const int pressed =
        ::MessageBoxW(owner, Wide(request.Text).c_str(), Wide(request.Title).c_str(), style);
    if (request.Buttons == MessageButtons::Ok) return MessageAnswer::Ok;
    return pressed == IDNO ? MessageAnswer::No : MessageAnswer::Yes;
}

void SetMessageHandler(MessageHandler handler) { Handler() = std::move(handler); }

}  // namespace pamiro::win32
