#include "gui/QtHost.h"

#include <QCoreApplication>
#include <QFile>

#include "gui/MainWindow.h"
#include "gui/MessageBoxes.h"

namespace pamiro::window {

namespace {

// Engine text is bytes as read from the sources: shown as Latin-1.
QString FromEngine(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void QtHost::SetStatus(int panel, std::string_view text) {
    window_.SetStatusText(panel, FromEngine(text));
}

void QtHost::ShowMessage(MessageIcon icon, std::string_view text, std::string_view title) {
    ShowMessageBox(&window_, {icon, FromEngine(text), FromEngine(title)});
}

void QtHost::ProcessPendingEvents() {
    // Handling events costs far more than one index entry: do it only when
    // the window would notice.
    if (!sinceEvents_.isValid() || sinceEvents_.elapsed() >= window_.EventIntervalMs()) {
        QCoreApplication::processEvents();
        sinceEvents_.start();
    }
    if (window_.InterruptRequested()) throw ConversionInterrupted{};
}

void QtHost::FreezeWindow() { window_.Freeze(); }

void QtHost::RestoreWindow() { window_.Restore(); }

}  // namespace pamiro::window
