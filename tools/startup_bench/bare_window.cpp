// The yardstick of the start-up benchmark: the least a Qt Widgets program does to show a main window.
// With the argument "text" the window also shows one line of text, which is what brings in the font
// system (its configuration, caches and font files); this tells that share apart from the rest.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    if (argc > 1 && QByteArray(argv[1]) == "text") {
        window.setCentralWidget(new QLabel(QStringLiteral("Typing Tool for Phonetic Transcription")));
    }
    window.resize(314, 238);
    window.show();
    return QApplication::exec();
}
