#include "app/claimlock.h"

#include <QDeadlineTimer>
#include <QFile>

#include <cerrno>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Sprelio {

namespace {

// The kernel offers no wait with a time limit for file locks, so waiters look again at this short,
// even pace: a released lock is taken within it, however long the wait has lasted.
constexpr std::chrono::milliseconds PollInterval(2);

bool sameFile(int fd, const QByteArray &path)
{
    struct stat held
    {
    };
    struct stat named
    {
    };
    return ::fstat(fd, &held) == 0 && ::stat(path.constData(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

} // namespace

struct ClaimLock::Native
{
    QByteArray path;
    int fd = -1;
};

ClaimLock::ClaimLock(QString name)
    : m_name(std::move(name))
    , m_native(std::make_unique<Native>())
{
    m_native->path = QFile::encodeName(m_name);
}

ClaimLock::~ClaimLock()
{
    unlock();
}

bool ClaimLock::isLocked() const
{
    return m_native->fd >= 0;
}

bool ClaimLock::lock(std::chrono::milliseconds timeout)
{
    if (isLocked()) {
        return true;
    }
    const QDeadlineTimer deadline(timeout);
    for (;;) {
        const int fd = ::open(m_native->path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) {
            return false;
        }
        bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        while (!locked && (errno == EWOULDBLOCK || errno == EINTR) && !deadline.hasExpired()) {
            std::this_thread::sleep_for(PollInterval);
            locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        }
        // A holder removes the file before it lets go, so a lock taken on a removed file guards
        // nothing: the next round opens the file by its name again.
        if (locked && sameFile(fd, m_native->path)) {
            m_native->fd = fd;
            return true;
        }
        ::close(fd);
        if (!locked || deadline.hasExpired()) {
            return false;
        }
    }
}

void ClaimLock::unlock()
{
    if (!isLocked()) {
        return;
    }
    // Removed while still held, so that no file is left behind and no later start can lock a file
    // that a waiter is about to give up.
    ::unlink(m_native->path.constData());
    ::close(m_native->fd);
    m_native->fd = -1;
}

} // namespace Sprelio
