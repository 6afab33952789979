#include "targets/offthreadsend.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QThread>

#include <exception>
#include <memory>

namespace Sprelio {

namespace {

// Swallows what the user does to any window while a send is under way, as a window that waits
// for the other application would: clicks, keys, and closing.
class InputRefusal final : public QObject
{
public:
    /// Off while the window's thread does something for the worker, which may ask the user.
    bool refusing = true;

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (!refusing) {
            return false;
        }
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::Close:
            event->ignore();
            return true;
        default:
            return false;
        }
    }
};

// The host as the worker sees it: every call runs on the window's thread, which waits for the
// worker in its event loop, and what it throws comes back to the worker.
class ForwardingHost final : public SendHost
{
public:
    ForwardingHost(QObject &windowThreadContext, InputRefusal &refusal, SendHost &host)
        : m_context(windowThreadContext)
        , m_refusal(refusal)
        , m_host(host)
    {}

    void CopyEditToClipboard(int pointSize) override
    {
        onWindowThread([this, pointSize] { m_host.CopyEditToClipboard(pointSize); });
    }
    void bringToFront() override
    {
        onWindowThread([this] { m_host.bringToFront(); });
    }
    void MessageInfo(std::uint16_t stringId) override
    {
        onWindowThread([this, stringId] { m_host.MessageInfo(stringId); });
    }

private:
    void onWindowThread(const std::function<void()> &call)
    {
        std::exception_ptr failure;
        QMetaObject::invokeMethod(
            &m_context,
            [&] {
                m_refusal.refusing = false;
                try {
                    call();
                } catch (...) {
                    failure = std::current_exception();
                }
                m_refusal.refusing = true;
            },
            Qt::BlockingQueuedConnection);
        if (failure) {
            std::rethrow_exception(failure);
        }
    }

    QObject &m_context;
    InputRefusal &m_refusal;
    SendHost &m_host;
};

} // namespace

void runOffThread(const std::function<void(SendHost &)> &work, SendHost &host)
{
    QCoreApplication *application = QCoreApplication::instance();
    if (application == nullptr || QThread::currentThread() != application->thread()) {
        work(host);
        return;
    }
    QEventLoop loop;
    InputRefusal refusal;
    ForwardingHost forwarding(loop, refusal, host);
    std::exception_ptr failure;
    const std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            work(forwarding);
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    application->installEventFilter(&refusal);
    worker->start();
    loop.exec();
    worker->wait();
    application->removeEventFilter(&refusal);
    if (failure) {
        std::rethrow_exception(failure);
    }
}

} // namespace Sprelio
