#pragma once

#include <functional>

#include "app/WindowView.h"

class QWidget;

namespace pamiro::window {

// Every message box of the window goes through here, so that a test can
// replace the boxes with scripted answers.
MessageAnswer ShowMessageBox(QWidget* parent, const MessageRequest& request);

using MessageHandler = std::function<MessageAnswer(QWidget* parent, const MessageRequest&)>;
// An empty handler brings the real modal boxes back.
void SetMessageHandler(MessageHandler handler);

}  // namespace pamiro::window
