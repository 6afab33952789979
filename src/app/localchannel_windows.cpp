#include "app/localchannel.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace Sprelio {

QString privateFolderProblem(const QString &)
{
    // The temporary folder is the user's own, and a pipe name is no file that others could plant.
    return {};
}

Delivery sendRequest(const QString &name, const QByteArray &request, std::chrono::milliseconds wait)
{
    const int waitMs = int(wait.count());
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(waitMs)) {
        return socket.error() == QLocalSocket::SocketTimeoutError ? Delivery::Busy : Delivery::NoListener;
    }
    bool sent = socket.write(request) == request.size();
    while (sent && socket.bytesToWrite() > 0) {
        sent = socket.waitForBytesWritten(waitMs);
    }
    if (!sent) {
        // A listener that accepted and then vanished has crashed; one still connected is busy.
        return socket.state() == QLocalSocket::UnconnectedState ? Delivery::NoListener : Delivery::Busy;
    }
    // The request is in the listener's queue once written; closing does not take it back.
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) {
        socket.waitForDisconnected(waitMs);
    }
    return Delivery::Delivered;
}

struct LocalListener::Native
{
    QLocalServer server;
};

LocalListener::LocalListener(qsizetype maxLineLength, std::chrono::milliseconds requestWait, QObject *parent)
    : QObject(parent)
    , m_native(std::make_unique<Native>())
    , m_maxLineLength(maxLineLength)
    , m_requestWait(requestWait)
{}

LocalListener::~LocalListener() = default;

bool LocalListener::isListening() const
{
    return m_native->server.isListening();
}

bool LocalListener::listen(const QString &name)
{
    QLocalServer &server = m_native->server;
    server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server, &QLocalServer::newConnection, this, [this, &server] {
        while (QLocalSocket *socket = server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QTimer::singleShot(m_requestWait, socket, [socket] {
                socket->abort();
                socket->deleteLater();
            });
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine()) {
                    if (socket->bytesAvailable() > m_maxLineLength) {
                        socket->abort();
                        socket->deleteLater();
                    }
                    return;
                }
                // One line per connection; anything after it is ignored.
                disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
                QByteArray line = socket->readLine(m_maxLineLength + 1);
                socket->disconnectFromServer();
                if (line.endsWith('\n')) {
                    line.chop(1);
                    emit lineReceived(line);
                }
            });
        }
    });
    QLocalServer::removeServer(name);
    return server.listen(name);
}

} // namespace Sprelio
