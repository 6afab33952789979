#include "app/programicons.h"
#include "storage/picturefile.h"

#include <QBuffer>
#include <QDataStream>
#include <QTest>
#include <QtEndian>

using namespace Sprelio;

class TestPictureFile : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void refused_data();
    void refused();
    void programPicturesAtBothScales_data();
    void programPicturesAtBothScales();
};

namespace {

QImage sample(QImage::Format format)
{
    QImage image(5, 3, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgba(40 * x, 80 * y, 200, x == 0 ? 255 : 60 * y));
        }
    }
    return image.convertToFormat(format);
}

QByteArray written(const QImage &image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    return writePicture(buffer, image) ? buffer.data() : QByteArray();
}

QImage read(const QByteArray &bytes, QSize expected = {})
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readPicture(buffer, expected);
}

// A header as the writer makes it, with packed pixels that claim the given unpacked length.
QByteArray header(const QByteArray &magic, quint32 width, quint32 height, quint32 format, quint32 unpacked)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    QByteArray packed(4, '\0');
    qToBigEndian(unpacked, packed.data());
    stream << magic << width << height << format << packed + QByteArray(8, 'z');
    return bytes;
}

} // namespace

void TestPictureFile::roundTrip_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<QImage::Format>("stored");
    QTest::newRow("opaque") << sample(QImage::Format_RGB32) << QImage::Format_RGB32;
    QTest::newRow("with alpha") << sample(QImage::Format_ARGB32_Premultiplied)
                                << QImage::Format_ARGB32_Premultiplied;
    QTest::newRow("straight alpha") << sample(QImage::Format_ARGB32) << QImage::Format_ARGB32_Premultiplied;
    QTest::newRow("24 bits, padded lines") << sample(QImage::Format_RGB888) << QImage::Format_RGB32;
}

void TestPictureFile::roundTrip()
{
    QFETCH(QImage, image);
    QFETCH(QImage::Format, stored);
    const QImage back = read(written(image));
    QCOMPARE(back.format(), stored);
    QCOMPARE(back, image.convertToFormat(stored));
    QVERIFY(read(written(image), image.size()) == back);
    QVERIFY(read(written(image), QSize(3, 5)).isNull());
}

void TestPictureFile::refused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray magic("Sprelio picture 1");
    const auto rgb = quint32(QImage::Format_RGB32);
    QTest::newRow("nothing") << QByteArray();
    QTest::newRow("another form") << header("Sprelio splash 1", 2, 2, rgb, 16);
    QTest::newRow("PNG") << QByteArray::fromHex("89504e470d0a1a0a0000000d49484452");
    QTest::newRow("no width") << header(magic, 0, 2, rgb, 0);
    QTest::newRow("wider than any screen") << header(magic, 100000, 100000, rgb, 0);
    QTest::newRow("pixel format not kept") << header(magic, 2, 2, quint32(QImage::Format_Indexed8), 4);
    QTest::newRow("unknown pixel format") << header(magic, 2, 2, 9999, 16);
    QTest::newRow("unpacked length wrong") << header(magic, 2, 2, rgb, 12);
    QTest::newRow("pixels damaged") << header(magic, 2, 2, rgb, 16);
    QByteArray cut = written(sample(QImage::Format_RGB32));
    cut.chop(3);
    QTest::newRow("cut short") << cut;
}

void TestPictureFile::refused()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(read(bytes).isNull());
}

void TestPictureFile::programPicturesAtBothScales_data()
{
    QTest::addColumn<QByteArray>("name");
    for (const char *name : {"open", "save", "edit", "serif", "sans", "bold", "italic", "diac1", "diac2",
                             "diac3", "supra", "tone", "find", "extension-h", "extension-v"}) {
        QTest::newRow(name) << QByteArray(name);
    }
}

void TestPictureFile::programPicturesAtBothScales()
{
    QFETCH(QByteArray, name);
    const QIcon icon = programIcon(name.constData());
    QCOMPARE(icon.availableSizes(), (QList<QSize>{QSize(16, 16), QSize(32, 32)}));
    // Drawn, not blank.
    const QImage picture = icon.pixmap(QSize(16, 16), 1.0).toImage();
    QImage blank(picture.size(), picture.format());
    blank.fill(Qt::transparent);
    QVERIFY(picture != blank);
}

QTEST_MAIN(TestPictureFile)
#include "tst_picturefile.moc"
