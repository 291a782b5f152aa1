#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/IniSettingsStore.h"
#include "app/ProgramFolder.h"
#include "app/WindowModel.h"
#include "core/NativeSystem.h"
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
    pamiro::IniSettingsStore store(pamiro::DefaultSettingsFile());
    pamiro::window::MainWindow window;
    pamiro::WindowOptions options;
    options.ProgramDir = pamiro::ProgramFolder();
    options.SystemFolder = pamiro::SystemFolder();
    options.DocumentsFolder = pamiro::DocumentsFolder();
    pamiro::WindowModel model(window, store, options);
    window.Open(model);
    return QApplication::exec();
}
