// Saves what an X display shows, the whole screen or one window by its id, as a PNG file; the scripts
// that take the guides' pictures and check the installed program look with it.
//   screen_grab OUT.png [WINDOW-ID [X Y WIDTH HEIGHT]]    (window 0 is the whole screen)
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 2 && argc != 3 && argc != 7) {
        std::fputs("usage: screen_grab OUT.png [WINDOW-ID [X Y WIDTH HEIGHT]]\n", stderr);
        return 2;
    }
    QGuiApplication app(argc, argv);
    const WId window = argc >= 3 ? QByteArray(argv[2]).toULongLong(nullptr, 0) : 0;
    const auto number = [argv](int index) { return QByteArray(argv[index]).toInt(); };
    const QPixmap picture =
        argc == 7
            ? QGuiApplication::primaryScreen()->grabWindow(window, number(3), number(4), number(5), number(6))
            : QGuiApplication::primaryScreen()->grabWindow(window);
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "screen_grab: could not save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
