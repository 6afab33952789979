#include "app/frameplacer.h"

#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <utility>

namespace Sprelio {

namespace {

constexpr Qt::WindowStates Enlarged = Qt::WindowMaximized | Qt::WindowFullScreen;

} // namespace

bool desktopPlacesWindows()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

FramePlacer::FramePlacer(QWidget *window)
    : m_window(window)
{}

bool FramePlacer::enlarged() const
{
    return (m_window->windowState() & Enlarged) != 0;
}

void FramePlacer::placeFrame(const QPoint &place)
{
    m_window->move(place);
    // Left and Top are the frame's corner. Before the window is mapped its frame is unknown, and Qt
    // then places the client area there; the window manager places the frame only when the window
    // asks for it as it is mapped (see filterEvent).
    const QWindow *native = m_window->windowHandle();
    if (native == nullptr || !native->isVisible()) {
        m_pendingFramePlace = place;
    }
    m_placingFrame.reset();
}

void FramePlacer::fitTo(const QSize &size)
{
    // A maximised window is the window manager's size until stateChanged has undone it; resizing it
    // now would become the size that it goes back to.
    if (enlarged()) {
        return;
    }
    // Until the window manager has given back the size from before the maximising, a resize may
    // still bring the enlarged size, which must not become the size the user chose.
    if (m_sizeBeforeEnlarged) {
        if (m_window->size() != *m_sizeBeforeEnlarged && m_restoreAttempts++ < MaxRestoreAttempts) {
            m_window->resize(*m_sizeBeforeEnlarged);
            return;
        }
        m_sizeBeforeEnlarged.reset();
    }
    if (m_window->size() != size) {
        m_window->resize(size);
        keepFramePlace();
    }
}

void FramePlacer::keepFramePlace(bool framedMove)
{
    if (!m_placingFrame) {
        return;
    }
    // A resize asks for the client area where it is, and the window manager reads that request
    // from the window when it frames it. Until it has, the request goes on naming the frame's corner.
    QWindow *native = m_window->windowHandle();
    if (native == nullptr) {
        m_placingFrame.reset();
        return;
    }
    if (native->frameMargins().isNull()) {
        native->setFramePosition(*m_placingFrame);
        return;
    }
    // Framed. On X11 the window manager puts the window into its frame and places the frame, and the
    // first move of the framed window is that placing. A busy window manager may have placed it by a
    // rule of its own, before it read the request: now that the frame is known, it is asked once more.
    // Elsewhere the frame is there from the start, and a move is the user's.
    if (!framedMove && QGuiApplication::platformName() == QLatin1String("xcb")) {
        return;
    }
    const QPoint place = *std::exchange(m_placingFrame, std::nullopt);
    if (!enlarged() && m_window->frameGeometry().topLeft() != place) {
        m_window->move(place);
    }
}

void FramePlacer::stateChanged()
{
    // The window offers no maximise button, yet some window managers maximise it all the same. The
    // layout follows the width the user chose, so the window goes back to it.
    if (!enlarged()) {
        return;
    }
    // The state is announced before the window manager resizes, so the size is still the old one.
    if (!m_sizeBeforeEnlarged) {
        m_sizeBeforeEnlarged = m_window->size();
    }
    m_restoreAttempts = 0;
    QTimer::singleShot(0, m_window, [this] {
        m_window->setWindowState(m_window->windowState() & ~Enlarged);
        if (m_sizeBeforeEnlarged) {
            m_window->resize(*m_sizeBeforeEnlarged);
        }
    });
}

void FramePlacer::filterEvent(QObject *watched, QEvent *event)
{
    // The native window hears of its showing just before it is mapped, after every geometry change
    // of the widget's own showing: asked for now, the window manager puts the frame's corner there.
    if (event->type() == QEvent::Show && m_pendingFramePlace.has_value() &&
        watched == m_window->windowHandle()) {
        m_placingFrame = *std::exchange(m_pendingFramePlace, std::nullopt);
        m_window->windowHandle()->setFramePosition(*m_placingFrame);
    }
}

} // namespace Sprelio
