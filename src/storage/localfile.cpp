#include "storage/localfile.h"

#include <QFile>
#include <QFileInfo>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Sprelio {

namespace {

std::optional<QByteArray> readOpenFile(QFile &file, qint64 maxSize)
{
    // Read as far as the file goes, in steps: asking for the largest allowed size at once would take
    // a buffer of that size for every small file. One byte more than allowed tells a file that is too
    // large from one that fits exactly.
    QByteArray content;
    content.reserve(qBound<qint64>(0, file.size(), maxSize) + 1);
    char chunk[16384];
    while (content.size() <= maxSize) {
        const qint64 wanted = qMin<qint64>(qint64(sizeof chunk), maxSize + 1 - content.size());
        const qint64 got = file.read(chunk, wanted);
        if (got <= 0) {
            if (got < 0) {
                return std::nullopt;
            }
            break;
        }
        content.append(chunk, got);
    }
    if (file.error() != QFileDevice::NoError || content.size() > maxSize) {
        return std::nullopt;
    }
    return content;
}

} // namespace

#if defined(Q_OS_UNIX)

bool localFileExists(const QByteArray &name)
{
    struct stat status
    {
    };
    return !name.isEmpty() && ::lstat(name.constData(), &status) == 0;
}

bool isLocalRegularFile(const QByteArray &name)
{
    struct stat status
    {
    };
    return !name.isEmpty() && ::stat(name.constData(), &status) == 0 && S_ISREG(status.st_mode);
}

std::optional<QByteArray> readLocalFile(const QByteArray &name, qint64 maxSize)
{
    if (name.isEmpty()) {
        return std::nullopt;
    }
    // Without O_NONBLOCK, opening a pipe that nobody writes to would wait forever.
    const int descriptor = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        return std::nullopt;
    }
    struct stat status
    {
    };
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > maxSize) {
        ::close(descriptor);
        return std::nullopt;
    }
    QFile file;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return std::nullopt;
    }
    return readOpenFile(file, maxSize);
}

#else

// Elsewhere the local 8-bit encoding is the system's code page, which names every file it can.

bool localFileExists(const QByteArray &name)
{
    return !name.isEmpty() && QFileInfo::exists(QFile::decodeName(name));
}

bool isLocalRegularFile(const QByteArray &name)
{
    return !name.isEmpty() && QFileInfo(QFile::decodeName(name)).isFile();
}

std::optional<QByteArray> readLocalFile(const QByteArray &name, qint64 maxSize)
{
    const QString path = QFile::decodeName(name);
    if (!isLocalRegularFile(name) || QFileInfo(path).size() > maxSize) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return readOpenFile(file, maxSize);
}

#endif

} // namespace Sprelio
