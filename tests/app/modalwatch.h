#pragma once

// Tests drive the program's modal windows from inside their own event loops: whenModal waits for the
// next modal window of a type to become active and then hands it to a function.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace ModalWatch {

/// Runs act on the next active modal window of type T. After timeoutMs without one, any modal
/// window is closed instead, so that a test fails instead of hanging; timedOut is then set.
template <typename T>
void whenModal(std::function<void(T *)> act, bool *timedOut = nullptr, int timeoutMs = 5000)
{
    auto *poll = new QTimer(qApp);
    poll->setObjectName(QStringLiteral("ModalWatch"));
    auto elapsed = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, qApp, [poll, elapsed, act, timedOut, timeoutMs] {
        *elapsed += poll->interval();
        if (T *window = qobject_cast<T *>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(window);
        } else if (*elapsed > timeoutMs) {
            poll->stop();
            poll->deleteLater();
            if (timedOut != nullptr) {
                *timedOut = true;
            }
            if (QWidget *other = QApplication::activeModalWidget()) {
                other->close();
            }
        }
    });
    poll->start(10);
}

/// Ends every watch that is still waiting, so that none outlives the test that set it.
inline void cancelAll()
{
    const QList<QTimer *> polls =
        qApp->findChildren<QTimer *>(QStringLiteral("ModalWatch"), Qt::FindDirectChildrenOnly);
    qDeleteAll(polls);
}

} // namespace ModalWatch
