#include <QApplication>

#include "gui/MainWindow.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pamiro"));
    QApplication::setApplicationVersion(QStringLiteral("3.0.2"));
    pamiro::window::MainWindow window;
    window.show();
    return QApplication::exec();
}
