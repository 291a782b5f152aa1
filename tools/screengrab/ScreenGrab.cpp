// Saves what an X display shows, cut to the part that is not background: with
// no window manager that is the program's window. Used by scripts/screenshot.sh.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "uso: %s ARCHIVO.png\n", argv[0]);
        return 2;
    }
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    const QRgb background = screen.pixel(screen.width() - 1, screen.height() - 1);
    QRect used;
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
            if (screen.pixel(x, y) != background) used |= QRect(x, y, 1, 1);
        }
    }
    if (used.isEmpty()) {
        std::fprintf(stderr, "la pantalla esta vacia\n");
        return 1;
    }
    return screen.copy(used).save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
