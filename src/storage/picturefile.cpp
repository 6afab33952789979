#include "storage/picturefile.h"

#include <QDataStream>
#include <QIODevice>
#include <QtEndian>

#include <cstring>

namespace Sprelio {

namespace {

constexpr char Magic[] = "Sprelio picture 1";

// Larger than any screen, small enough that width * height * 4 cannot overflow.
constexpr quint32 MaxSide = 16384;

// Taken as the stored number: a number that names no format must not become one.
bool isStoredFormat(quint32 format)
{
    return format == quint32(QImage::Format_RGB32) || format == quint32(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

bool writePicture(QIODevice &out, const QImage &picture)
{
    if (picture.isNull()) {
        return false;
    }
    const QImage stored = isStoredFormat(quint32(picture.format())) ? picture
                          : picture.hasAlphaChannel()
                              ? picture.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                              : picture.convertToFormat(QImage::Format_RGB32);
    QDataStream stream(&out);
    // Four bytes a pixel: the lines have no padding, so the bits are the pixels as they stand.
    stream << QByteArray(Magic) << quint32(stored.width()) << quint32(stored.height())
           << quint32(stored.format())
           << qCompress(QByteArray::fromRawData(reinterpret_cast<const char *>(stored.constBits()),
                                                qsizetype(stored.sizeInBytes())));
    return stream.status() == QDataStream::Ok;
}

QImage readPicture(QIODevice &in, QSize expectedSize)
{
    QDataStream stream(&in);
    QByteArray magic;
    quint32 width = 0;
    quint32 height = 0;
    quint32 format = 0;
    stream >> magic >> width >> height >> format;
    if (stream.status() != QDataStream::Ok || magic != Magic || width == 0 || height == 0 ||
        width > MaxSide || height > MaxSide || !isStoredFormat(format) ||
        (expectedSize.isValid() && QSize(int(width), int(height)) != expectedSize)) {
        return {};
    }
    QImage picture(static_cast<int>(width), static_cast<int>(height), static_cast<QImage::Format>(format));
    if (picture.isNull()) {
        return {};
    }
    const auto expected = quint32(picture.sizeInBytes());
    QByteArray packed;
    stream >> packed;
    // qCompress puts the unpacked length first: a damaged file is refused before anything is unpacked.
    if (stream.status() != QDataStream::Ok || packed.size() < 4 ||
        qFromBigEndian<quint32>(packed.constData()) != expected) {
        return {};
    }
    const QByteArray pixels = qUncompress(packed);
    if (quint32(pixels.size()) != expected) {
        return {};
    }
    std::memcpy(picture.bits(), pixels.constData(), pixels.size());
    return picture;
}

} // namespace Sprelio
