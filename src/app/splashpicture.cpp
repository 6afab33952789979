#include "app/splashpicture.h"

#include <QCoreApplication>
#include <QDir>
#include <QImageReader>
#include <QSaveFile>
#include <QStandardPaths>

namespace Sprelio {

QString splashPictureFile(int language, qreal pixelRatio)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty()) {
        return {};
    }
    return QStringLiteral("%1/splash-%2-%3-%4.png")
        .arg(folder, QCoreApplication::applicationVersion())
        .arg(language)
        .arg(qRound(pixelRatio * 100));
}

QImage loadSplashPicture(const QString &file, QSize devicePixels)
{
    if (file.isEmpty()) {
        return {};
    }
    QImageReader reader(file, "png");
    // A damaged or foreign file is not decoded at all unless it has the window's size.
    if (reader.size() != devicePixels) {
        return {};
    }
    QImage picture = reader.read();
    if (picture.size() != devicePixels) {
        return {};
    }
    return picture.convertToFormat(QImage::Format_RGB32);
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
    // Written whole or not at all: a start that reads a half-written picture would paint garbage.
    QSaveFile out(file);
    return out.open(QIODevice::WriteOnly) && opaque.save(&out, "png") && out.commit();
}

} // namespace Sprelio
