#pragma once

#include <QImage>
#include <QString>

namespace Sprelio {

/// The splash's start-up showing, kept as a picture in the user's cache folder: a later start paints it
/// before the font system is loaded, and the real window is drawn over it once it is built.

/// The file of the picture for a language at a device pixel ratio; the program's version is part of its name.
QString splashPictureFile(int language, qreal pixelRatio);

/// The picture in file when it has the expected size in device pixels; a null image otherwise.
QImage loadSplashPicture(const QString &file, QSize devicePixels);

/// Writes shown to file when it differs from the picture painted at this start (null when there was none),
/// so that a change of fonts or version renews the picture; false when it could not be written.
bool keepSplashPicture(const QImage &shown, const QImage &painted, const QString &file);

} // namespace Sprelio
