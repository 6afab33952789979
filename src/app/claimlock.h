#pragma once

#include <QString>
#include <QtGlobal>

#include <chrono>
#include <memory>

namespace Sprelio {

// A lock that the processes of one user take in turn. The operating system holds it for the
// process: it is gone the moment its holder ends, even by a crash, and the next waiter gets it
// at once.
class ClaimLock final
{
public:
    /// A lock named by a file path on Unix and by a kernel object name on Windows.
    explicit ClaimLock(QString name);
    /// Releases the lock if this process holds it.
    ~ClaimLock();
    Q_DISABLE_COPY_MOVE(ClaimLock)

    /// Waits at most timeout for the lock; true when this process holds it now.
    bool lock(std::chrono::milliseconds timeout);
    /// Lets the next waiter have the lock.
    void unlock();
    /// Whether this process holds the lock.
    bool isLocked() const;

private:
    struct Native;
    QString m_name;
    std::unique_ptr<Native> m_native;
};

} // namespace Sprelio
