#pragma once

#include <QImage>

class QIODevice;

namespace Sprelio {

/// Pictures in a form of the program's own, read without the image format plugins: reading a single
/// PNG brings all of them in, which costs more memory than the rest of the first window. Used for the
/// splash picture kept between starts and for the tool-bar pictures drawn at build time.
/// The form: a header naming the form, the size and the pixel format, then the compressed pixels.

/// Writes picture, opaque (RGB32) or with alpha (premultiplied ARGB32), converting other formats to
/// the nearer of the two; false when it could not be written.
bool writePicture(QIODevice &out, const QImage &picture);

/// The picture in, or a null image when in holds no picture in this form, or one of another size than
/// expectedSize (when that is valid).
QImage readPicture(QIODevice &in, QSize expectedSize = {});

} // namespace Sprelio
