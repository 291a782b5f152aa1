#include "gui/MessageBoxes.h"

#include <QMessageBox>
#include <QPushButton>

namespace pamiro::window {

namespace {

MessageHandler& Handler() {
    static MessageHandler handler;
    return handler;
}

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

MessageAnswer ShowRealBox(QWidget* parent, const MessageRequest& request) {
    const bool yesNo = request.Buttons == MessageButtons::YesNo;
    QMessageBox box(BoxIcon(request.Icon), QString::fromStdString(request.Title),
                    QString::fromStdString(request.Text),
                    yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok, parent);
    // Set here too, so the buttons read Spanish without Qt's translation.
    for (const auto& [button, text] : {std::pair{QMessageBox::Ok, QStringLiteral("Aceptar")},
                                       std::pair{QMessageBox::Yes, QStringLiteral("Sí")},
                                       std::pair{QMessageBox::No, QStringLiteral("No")}}) {
        if (QAbstractButton* shown = box.button(button)) shown->setText(text);
    }
    if (request.RightToLeft) box.setLayoutDirection(Qt::RightToLeft);
    const int pressed = box.exec();
    if (!yesNo) return MessageAnswer::Ok;
    return pressed == QMessageBox::No ? MessageAnswer::No : MessageAnswer::Yes;
}

}  // namespace

MessageAnswer ShowMessageBox(QWidget* parent, const MessageRequest& request) {
    if (Handler()) return Handler()(parent, request);
    return ShowRealBox(parent, request);
}

void SetMessageHandler(MessageHandler handler) { Handler() = std::move(handler); }

}  // namespace pamiro::window
