#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "gui/MainWindow.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pamiro"));
    QApplication::setApplicationVersion(QStringLiteral("3.0.2"));
    // The window speaks Spanish whatever the user's language: Qt's own texts
    // (dialog buttons, context menus) too, when its translation is installed.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_es"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTexts);
    }
    pamiro::window::MainWindow window;
    window.show();
    return QApplication::exec();
}
