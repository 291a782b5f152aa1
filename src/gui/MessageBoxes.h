#pragma once

#include <QString>
#include <functional>

#include "core/Host.h"

class QWidget;

namespace pamiro::window {

enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct MessageRequest {
    MessageIcon Icon = MessageIcon::Critical;
    QString Text;
    QString Title;
    MessageButtons Buttons = MessageButtons::Ok;
    bool RightToLeft = false;
};

// Every message box of the window goes through here, so that a test can
// replace the boxes with scripted answers.
MessageAnswer ShowMessageBox(QWidget* parent, const MessageRequest& request);

using MessageHandler = std::function<MessageAnswer(QWidget* parent, const MessageRequest&)>;
// An empty handler brings the real modal boxes back.
void SetMessageHandler(MessageHandler handler);

}  // namespace pamiro::window
