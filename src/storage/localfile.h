#pragma once

#include <QByteArray>

#include <optional>

namespace Sprelio {

// Files named by the bytes of their name in the local 8-bit file-name encoding (QFile::encodeName).
// A name stored in a settings file is such bytes, and they need not decode: a Latin-1 name on a
// UTF-8 system has no QString that names the file again.

/// Whether something exists under the name.
bool localFileExists(const QByteArray &name);

/// Whether the name is a regular file.
bool isLocalRegularFile(const QByteArray &name);

/// The whole content of the regular file with the name, or nothing when it is no regular file,
/// cannot be read, or holds more than maxSize bytes. Never waits on a pipe or reads a device.
std::optional<QByteArray> readLocalFile(const QByteArray &name, qint64 maxSize);

} // namespace Sprelio
