#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <chrono>
#include <memory>

namespace Sprelio {

// Requests of one line between the processes of one user, over a named local endpoint: a socket
// file on Unix, a named pipe on Windows.

/// How handing a request to an endpoint ended.
enum class Delivery {
    Delivered,  ///< the request is in the listener's queue
    NoListener, ///< nobody listens there, or the listener vanished while taking it
    Busy,       ///< a listener is there but did not take the request in time
    Untrusted,  ///< the endpoint, or the process listening on it, belongs to another user
};

/// Why a folder cannot hold this user's endpoints; empty when it can: it must be a real folder (not a
/// link) that belongs to the user, and nobody else may write to it.
QString privateFolderProblem(const QString &folder);

/// Sends request to the endpoint and disconnects; each step waits at most wait. Only an endpoint
/// of the current user, with a listener of the current user, is given the request.
Delivery sendRequest(const QString &name, const QByteArray &request, std::chrono::milliseconds wait);

/// Listens on an endpoint that only the current user can reach, and reports the first line of each
/// connection. A connection that sends no line within the request wait, or a longer one, is dropped.
class LocalListener final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LocalListener)

public:
    LocalListener(qsizetype maxLineLength, std::chrono::milliseconds requestWait, QObject *parent = nullptr);
    ~LocalListener() override;

    /// Takes the endpoint over from a crashed owner and listens on it; false when that fails.
    bool listen(const QString &name);
    bool isListening() const;

signals:
    /// A connection's first line, without its line end.
    void lineReceived(const QByteArray &line);

private:
    struct Native;
    std::unique_ptr<Native> m_native;
    qsizetype m_maxLineLength;
    std::chrono::milliseconds m_requestWait;
};

} // namespace Sprelio
