#pragma once

#include <windows.h>

#include <functional>

#include "app/WindowView.h"

namespace pamiro::win32 {

// Every message box of the window goes through here, so that a test can
// answer the boxes instead of a user.
MessageAnswer ShowMessageBox(HWND owner, const MessageRequest& request);

using MessageHandler = std::function<MessageAnswer(HWND owner, const MessageRequest&)>;
// An empty handler brings the real modal boxes back.
void SetMessageHandler(MessageHandler handler);

}  // namespace pamiro::win32
