#include "app/localchannel.h"

#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <functional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace Sprelio {

namespace {

using Clock = std::chrono::steady_clock;

// A Unix socket's path is limited by the address structure; a longer one cannot be used at all.
bool socketAddress(const QString &name, sockaddr_un &address)
{
    const QByteArray path = QFile::encodeName(name);
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || std::size_t(path.size()) >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    return true;
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd = -1)
        : m_fd(fd)
    {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }
    void reset(int fd = -1)
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = fd;
    }

private:
    int m_fd;
};

int millisecondsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

// One accepted connection: it collects bytes until a line is complete, and ends itself after it or
// when the request wait is over.
class Connection final : public QObject
{
public:
    Connection(int fd, LocalListener *listener, qsizetype maxLineLength, std::chrono::milliseconds wait,
               std::function<void(const QByteArray &)> report)
        : QObject(listener)
        , m_fd(fd)
        , m_notifier(fd, QSocketNotifier::Read, this)
        , m_maxLineLength(maxLineLength)
        , m_report(std::move(report))
    {
        connect(&m_notifier, &QSocketNotifier::activated, this, &Connection::readAvailable);
        QTimer::singleShot(wait, this, &Connection::end);
    }

private:
    void readAvailable()
    {
        char chunk[1024];
        for (;;) {
            const ssize_t got = ::read(m_fd.get(), chunk, sizeof chunk);
            if (got > 0) {
                m_buffer.append(chunk, got);
                if (takeLine()) {
                    return;
                }
                continue;
            }
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                return;
            }
            end(); // the other side closed without a whole line, or the connection failed
            return;
        }
    }

    // True when the connection is done with: a line arrived, or more than a line's worth without one.
    bool takeLine()
    {
        const qsizetype lineEnd = m_buffer.indexOf('\n');
        if (lineEnd >= 0 && lineEnd <= m_maxLineLength) {
            const QByteArray line = m_buffer.left(lineEnd);
            end();
            m_report(line);
            return true;
        }
        if (lineEnd >= 0 || m_buffer.size() > m_maxLineLength) {
            end();
            return true;
        }
        return false;
    }

    void end()
    {
        m_notifier.setEnabled(false);
        m_fd.reset();
        deleteLater();
    }

    FileDescriptor m_fd;
    QSocketNotifier m_notifier;
    QByteArray m_buffer;
    qsizetype m_maxLineLength;
    std::function<void(const QByteArray &)> m_report;
};

} // namespace

Delivery sendRequest(const QString &name, const QByteArray &request, std::chrono::milliseconds wait)
{
    sockaddr_un address;
    if (!socketAddress(name, address)) {
        return Delivery::NoListener;
    }
    FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (socket.get() < 0) {
        return Delivery::NoListener;
    }
    // A listener whose queue is full refuses for now: that is a busy instance, tried until the wait is up.
    const Clock::time_point connectDeadline = Clock::now() + wait;
    while (::connect(socket.get(), reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN) {
            return Delivery::NoListener;
        }
        if (Clock::now() >= connectDeadline) {
            return Delivery::Busy;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }

    const Clock::time_point writeDeadline = Clock::now() + wait;
    qsizetype written = 0;
    while (written < request.size()) {
        const ssize_t sent = ::send(socket.get(), request.constData() + written,
                                    std::size_t(request.size() - written), MSG_NOSIGNAL);
        if (sent >= 0) {
            written += sent;
            continue;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            // A listener that accepted and then vanished has crashed.
            return Delivery::NoListener;
        }
        pollfd writable{socket.get(), POLLOUT, 0};
        if (::poll(&writable, 1, millisecondsLeft(writeDeadline)) == 0) {
            return Delivery::Busy;
        }
    }
    // The request is in the listener's queue once written; closing does not take it back.
    return Delivery::Delivered;
}

struct LocalListener::Native
{
    FileDescriptor socket;
    QByteArray path;
    std::unique_ptr<QSocketNotifier> notifier;
};

LocalListener::LocalListener(qsizetype maxLineLength, std::chrono::milliseconds requestWait, QObject *parent)
    : QObject(parent)
    , m_native(std::make_unique<Native>())
    , m_maxLineLength(maxLineLength)
    , m_requestWait(requestWait)
{}

LocalListener::~LocalListener()
{
    // The socket file goes with its listener, so that later starts find the name free.
    if (isListening()) {
        ::unlink(m_native->path.constData());
    }
}

bool LocalListener::isListening() const
{
    return m_native->notifier != nullptr;
}

bool LocalListener::listen(const QString &name)
{
    sockaddr_un address;
    if (isListening() || !socketAddress(name, address)) {
        return false;
    }
    FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (socket.get() < 0) {
        return false;
    }
    // Nobody answered on the name, so whatever is left there comes from a crashed owner.
    ::unlink(address.sun_path);
    if (::bind(socket.get(), reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        return false;
    }
    // Only the user may connect; the folder is normally the user's own already.
    if (::chmod(address.sun_path, S_IRUSR | S_IWUSR) != 0 || ::listen(socket.get(), SOMAXCONN) != 0) {
        ::unlink(address.sun_path);
        return false;
    }
    m_native->path = address.sun_path;
    m_native->notifier = std::make_unique<QSocketNotifier>(socket.get(), QSocketNotifier::Read);
    connect(m_native->notifier.get(), &QSocketNotifier::activated, this, [this] {
        for (;;) {
            const int fd = ::accept4(m_native->socket.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return; // none left, or the connection went away before it was taken
            }
            new Connection(fd, this, m_maxLineLength, m_requestWait,
                           [this](const QByteArray &line) { emit lineReceived(line); });
        }
    });
    m_native->socket.reset(socket.release());
    return true;
}

} // namespace Sprelio
