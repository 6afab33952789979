#include "app/singleinstance.h"

#include "app/claimlock.h"
#include "app/localchannel.h"
#include "i18n/langstr.h"

#include <QApplication>
#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QStandardPaths>
#include <QWidget>

#include <chrono>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Sprelio {

namespace {

using namespace std::chrono_literals;

// Each step of a handover is local and answered by the kernel, so a second is ample; a running
// instance that cannot take a connection within it is busy, not gone.
constexpr auto HandoverWait = 1000ms;
// A claim holds the lock for at most three handover steps, and a crashed holder loses it at once;
// only starts that hang keep others waiting this long.
constexpr auto LockWait = 12s;
// A connection that has not sent its request by then is dropped.
constexpr auto RequestWait = 5s;

constexpr QByteArrayView ActivateVerb = "activate";
// The request line, including a launcher's activation token, is far shorter than this.
constexpr qsizetype MaxRequestLength = 512;
constexpr qsizetype MaxTokenLength = 256;
constexpr const char *ActivationTokenVariable = "XDG_ACTIVATION_TOKEN";

// A folder that nobody but the user can write, where the starts of one user meet; empty, with the
// folder tried and why it cannot be used in problem, when there is none.
QString instanceDirectory(QStringList &problem)
{
#ifdef Q_OS_WIN
    // The temporary folder is the user's own; the socket itself is a pipe name.
    Q_UNUSED(problem)
    return QDir::tempPath();
#else
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && privateFolderProblem(runtime).isEmpty()) {
        return runtime;
    }
    // Without a runtime folder of its own, the user gets one in the shared temporary folder. Another
    // user may have made it first, to plant a socket there: it is used only when it is private.
    QString own = QDir::tempPath() + QStringLiteral("/sprelio-%1").arg(::geteuid());
    ::mkdir(QFile::encodeName(own).constData(), S_IRWXU);
    const QString why = privateFolderProblem(own);
    if (why.isEmpty()) {
        return own;
    }
    problem = {own, why};
    return {};
#endif
}

bool isValidToken(QByteArrayView token)
{
    if (token.isEmpty() || token.size() > MaxTokenLength) {
        return false;
    }
    for (const char c : token) {
        if (c <= ' ' || c > '~') {
            return false;
        }
    }
    return true;
}

// The launcher gives a new start the right to take the focus, as a token in its environment. The
// running instance needs that token to be allowed to come forward on Wayland desktops.
QByteArray activationRequest()
{
    QByteArray request = ActivateVerb.toByteArray();
    const QByteArray token = qgetenv(ActivationTokenVariable);
    if (isValidToken(token)) {
        request += ' ' + token;
    }
    return request + '\n';
}

} // namespace

QString defaultInstanceKey()
{
    // The home folder names the user and the display names the desktop session: a start on
    // another display must not be answered by a window the user cannot see.
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QDir::homePath().toUtf8());
    for (const char *variable : {"USER", "USERNAME", "DISPLAY", "WAYLAND_DISPLAY", "SESSIONNAME"}) {
        hash.addData(QByteArrayView("\n"));
        hash.addData(qgetenv(variable));
    }
    return QStringLiteral("sprelio-") + QString::fromLatin1(hash.result().toHex().left(16));
}

SingleInstance::SingleInstance(QString key, QObject *parent)
    : QObject(parent)
    , m_key(std::move(key))
    , m_directory(instanceDirectory(m_problemArguments))
{
    if (!m_problemArguments.isEmpty()) {
        m_problemId = 210;
    }
}

QString SingleInstance::problem() const
{
    if (m_problemId == 0) {
        return {};
    }
    QString text = LangStr(m_problemId);
    for (const QString &argument : m_problemArguments) {
        text = text.arg(argument);
    }
    return text;
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::isListening() const
{
    return m_listener && m_listener->isListening();
}

QString SingleInstance::serverName() const
{
#ifdef Q_OS_WIN
    return m_key;
#else
    return m_directory + QLatin1Char('/') + m_key;
#endif
}

QString SingleInstance::lockFileName() const
{
#ifdef Q_OS_WIN
    // A kernel object of the user's session; it vanishes with its last process.
    return QStringLiteral("Local\\") + m_key + QStringLiteral(".lock");
#else
    return m_directory + QLatin1Char('/') + m_key + QStringLiteral(".lock");
#endif
}

bool SingleInstance::claim()
{
    if (m_primary) {
        return true;
    }
    // Where the starts of this user cannot meet safely, this one runs on its own.
    if (m_directory.isEmpty()) {
        m_primary = true;
        return true;
    }

    ClaimLock lock(lockFileName());
    // Without the lock two starts could both find no server and both listen. If it cannot be had
    // even after the wait, deciding alone is still better than never starting.
    lock.lock(LockWait);

    switch (handOver()) {
    case Handover::Delivered:
    case Handover::ServerBusy:
        return false;
    case Handover::Untrusted:
        // Someone else's socket is not replaced either: this start runs on its own.
        m_problemId = 211;
        m_problemArguments = {serverName()};
        m_primary = true;
        return true;
    case Handover::NoServer:
        break;
    }
    listen();
    m_primary = true;
    return true;
}

SingleInstance::Handover SingleInstance::handOver() const
{
#ifdef Q_OS_WIN
    // Only the process the user just started may bring a window to the foreground; it passes
    // that right on to the running instance.
    AllowSetForegroundWindow(ASFW_ANY);
#endif
    switch (sendRequest(serverName(), activationRequest(), HandoverWait)) {
    case Delivery::Delivered:
        return Handover::Delivered;
    case Delivery::Busy:
        return Handover::ServerBusy;
    case Delivery::Untrusted:
        return Handover::Untrusted;
    case Delivery::NoListener:
        break;
    }
    return Handover::NoServer;
}

void SingleInstance::listen()
{
    m_listener = new LocalListener(MaxRequestLength, RequestWait, this);
    connect(m_listener, &LocalListener::lineReceived, this, &SingleInstance::takeRequest);
    // If this fails the program still runs; later starts then run beside it.
    m_listener->listen(serverName());
}

void SingleInstance::takeRequest(const QByteArray &line)
{
    const QByteArrayView request(line);
    if (request == ActivateVerb) {
        emit activationRequested();
    } else if (request.startsWith(ActivateVerb) && request.at(ActivateVerb.size()) == ' ') {
        // The token is offered to the window activated in answer to this request only: it is
        // good for one use, and programs started later must not inherit it.
        const QByteArrayView token = request.sliced(ActivateVerb.size() + 1);
        const bool offered = isValidToken(token) && qputenv(ActivationTokenVariable, token.toByteArray());
        emit activationRequested();
        if (offered) {
            qunsetenv(ActivationTokenVariable);
        }
    }
}

QWidget *activateInstanceWindow(QWidget *mainWindow)
{
    QWidget *main = mainWindow ? mainWindow->window() : nullptr;
    QWidget *target = QApplication::activeModalWidget();
    if (!target && main && main->isVisible()) {
        target = main;
    }
    if (!target) {
        return nullptr;
    }

    // The main window comes along with a dialog, so the dialog is not left alone in front of a
    // minimised or buried owner.
    for (QWidget *window : {main, target}) {
        if (!window || !window->isVisible()) {
            continue;
        }
        if (window->isMinimized()) {
            window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        }
        window->raise();
    }
    target->activateWindow();
    return target;
}

} // namespace Sprelio
