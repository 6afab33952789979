#include "app/splashpicture.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QtEndian>

#include <cstring>

namespace Sprelio {

namespace {

// The picture is kept in a form of its own rather than as PNG: reading a PNG brings in the image
// format plugins, which costs more than the whole rest of the first frame. A header names the form
// and the size, then the compressed pixels follow.
constexpr char Magic[] = "Sprelio splash 1";

} // namespace

QString splashPictureFile(int language, qreal pixelRatio)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty()) {
        return {};
    }
    return QStringLiteral("%1/splash-%2-%3-%4.pixels")
        .arg(folder, QCoreApplication::applicationVersion())
        .arg(language)
        .arg(qRound(pixelRatio * 100));
}

QImage loadSplashPicture(const QString &file, QSize devicePixels)
{
    QFile in(file);
    if (file.isEmpty() || devicePixels.isEmpty() || !in.open(QIODevice::ReadOnly)) {
        return {};
    }
    QDataStream stream(&in);
    QByteArray magic;
    quint32 width = 0;
    quint32 height = 0;
    stream >> magic >> width >> height;
    if (stream.status() != QDataStream::Ok || magic != Magic
        || QSize(int(width), int(height)) != devicePixels) {
        return {};
    }
    QImage picture(devicePixels, QImage::Format_RGB32);
    const auto expected = quint32(picture.sizeInBytes());
    QByteArray packed;
    stream >> packed;
    // qCompress puts the unpacked length first: a damaged file is refused before anything is unpacked.
    if (stream.status() != QDataStream::Ok || packed.size() < 4
        || qFromBigEndian<quint32>(packed.constData()) != expected) {
        return {};
    }
    const QByteArray pixels = qUncompress(packed);
    if (quint32(pixels.size()) != expected) {
        return {};
    }
    std::memcpy(picture.bits(), pixels.constData(), pixels.size());
    return picture;
}

bool keepSplashPicture(const QImage &shown, const QImage &painted, const QString &file)
{
    if (file.isEmpty() || shown.isNull()) {
        return false;
    }
    const QImage opaque = shown.convertToFormat(QImage::Format_RGB32);
    if (!painted.isNull() && painted.convertToFormat(QImage::Format_RGB32) == opaque) {
        return true;
    }
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        return false;
    }
    // Written whole or not at all: a start that read a half-written picture would paint garbage.
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        return false;
    }
    QDataStream stream(&out);
    stream << QByteArray(Magic) << quint32(opaque.width()) << quint32(opaque.height())
           << qCompress(QByteArray::fromRawData(reinterpret_cast<const char *>(opaque.constBits()),
                                                qsizetype(opaque.sizeInBytes())));
    return stream.status() == QDataStream::Ok && out.commit();
}

} // namespace Sprelio
