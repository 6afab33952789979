#include "app/splashpicture.h"

#include "storage/picturefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace Sprelio {

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
    const QImage picture = readPicture(in, devicePixels);
    return picture.format() == QImage::Format_RGB32 ? picture : QImage();
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
    return writePicture(out, opaque) && out.commit();
}

} // namespace Sprelio
