#include "gui/QtHost.h"

#include <QCoreApplication>
#include <QFile>

#include "gui/MainWindow.h"
#include "gui/MessageBoxes.h"

namespace pamiro::window {

namespace {

// Engine text mixes the engine's own words (UTF-8) with names as read from
// the sources (bytes, shown as Latin-1): each well-formed UTF-8 sequence is
// taken as such, every other byte as its Latin-1 character.
QString FromEngine(std::string_view text) {
    QString shown;
    shown.reserve(static_cast<qsizetype>(text.size()));
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead >= 0xF0 && lead < 0xF5   ? 4
                                   : lead >= 0xE0                ? 3
                                   : lead >= 0xC2 && lead < 0xE0 ? 2
                                                                 : 1;
        if (length > 1 && i + length <= text.size()) {
            const QString decoded =
                QString::fromUtf8(text.data() + i, static_cast<qsizetype>(length));
            if (!decoded.contains(QChar::ReplacementCharacter)) {
                shown += decoded;
                i += length;
                continue;
            }
        }
        shown += QChar(lead);
        ++i;
    }
    return shown;
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
