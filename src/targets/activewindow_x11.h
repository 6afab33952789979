#pragma once

// Follows the active window of an X11 session: the root window's _NET_ACTIVE_WINDOW, read at each
// change of the property. Xlib stays inside the .cpp files; windows are passed as their XIDs.

#include "targets/sendtargets.h"

#include <QObject>

#include <memory>

class QSocketNotifier;
// Xlib's own name for its connection, declared here so that Xlib stays out of this header.
struct _XDisplay; // NOLINT(bugprone-reserved-identifier)

namespace Sprelio {

using XWindowId = unsigned long;

/// A connection of its own to the X server that remembers the last active top-level window of
/// another program: not this program's windows, not the desktop, docks or panels.
class ActiveWindowTracker final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ActiveWindowTracker)

public:
    explicit ActiveWindowTracker(QObject *parent = nullptr);
    ~ActiveWindowTracker() override;

    /// The connection; null when the server could not be reached.
    _XDisplay *display() const { return m_display; }
    XWindowId root() const { return m_root; }
    /// Whether the window manager announces _NET_ACTIVE_WINDOW.
    bool activeHintSupported() const;
    /// The window that the root's _NET_ACTIVE_WINDOW names now; 0 for none.
    XWindowId activeWindow() const;
    /// The last active window of another program; 0 while none is known.
    XWindowId lastWindow() const { return m_last; }
    /// Handles every event that has arrived.
    void readEvents();
    /// Waits at most timeoutMs for the next event from the server; false when none came.
    bool waitForEvents(int timeoutMs);
    /// A timestamp from the server, for the requests that want one.
    unsigned long serverTime();

private:
    void noteActive(XWindowId window);
    bool isOwnWindow(XWindowId window) const;
    bool isDesktopOrDock(XWindowId window) const;

    _XDisplay *m_display = nullptr;
    XWindowId m_root = 0;
    XWindowId m_clock = 0;
    XWindowId m_last = 0;
    QSocketNotifier *m_notifier = nullptr;
};

/// The target over the X11 session this program runs in.
std::unique_ptr<LastWindowTarget> createX11LastWindow();

} // namespace Sprelio
