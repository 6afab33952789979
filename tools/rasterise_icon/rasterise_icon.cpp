// Draws an SVG picture at one pixel size into a PNG file, or into the program's own picture form when
// the output's name ends in ".pixels". The program carries only pictures drawn this way, so that they
// follow their SVG sources and it needs neither an SVG renderer nor an image reader at run time.
#include "storage/picturefile.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fputs("usage: rasterise_icon ICON.svg SIZE OUT.png|OUT.pixels\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    const int size = QByteArray(argv[2]).toInt();
    if (!renderer.isValid() || size <= 0) {
        std::fprintf(stderr, "rasterise_icon: cannot draw %s at %s pixels\n", argv[1], argv[2]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    const QString out = QString::fromLocal8Bit(argv[3]);
    if (out.endsWith(QLatin1String(".pixels"))) {
        QFile file(out);
        return file.open(QIODevice::WriteOnly) && Sprelio::writePicture(file, image) && file.flush() ? 0 : 1;
    }
    return image.save(out, "PNG") ? 0 : 1;
}
