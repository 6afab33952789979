#include "targets/activewindow_x11.h"

#include "i18n/langstr.h"
#include "targets/xtestpaste_x11.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>

#include <poll.h>
#include <unistd.h>

// Xlib last: its macros collide with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "targets/x11errortrap.h"

namespace Sprelio {

namespace {

Atom atom(Display *display, const char *name)
{
    return XInternAtom(display, name, False);
}

// The 32-bit items of a property, or nothing when the window or the property is gone.
std::vector<unsigned long> propertyItems(Display *display, Window window, Atom property, Atom type)
{
    std::vector<unsigned long> items;
    X11ErrorTrap trap(display);
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 1024, False, type, &actualType, &format, &count,
                           &after, &data) == Success &&
        data != nullptr) {
        if (format == 32) {
            // Xlib hands 32-bit items as longs.
            const auto *longs = reinterpret_cast<const unsigned long *>(data);
            items.assign(longs, longs + count);
        }
        XFree(data);
    }
    if (trap.failed()) {
        items.clear();
    }
    return items;
}

} // namespace

ActiveWindowTracker::ActiveWindowTracker(QObject *parent)
    : QObject(parent)
{
    m_display = XOpenDisplay(nullptr);
    if (m_display == nullptr) {
        return;
    }
    m_root = DefaultRootWindow(m_display);
    XSelectInput(m_display, m_root, PropertyChangeMask);
    // A window of our own that is never shown: a change of its property tells the server's time.
    m_clock = XCreateSimpleWindow(m_display, m_root, -10, -10, 1, 1, 0, 0, 0);
    XSelectInput(m_display, m_clock, PropertyChangeMask);
    XFlush(m_display);
    m_notifier = new QSocketNotifier(ConnectionNumber(m_display), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ActiveWindowTracker::readEvents);
    // The window active at the start, say the terminal that started the program, is the first one.
    noteActive(activeWindow());
}

ActiveWindowTracker::~ActiveWindowTracker()
{
    if (m_display != nullptr) {
        delete m_notifier;
        XCloseDisplay(m_display);
    }
}

bool ActiveWindowTracker::activeHintSupported() const
{
    const Atom wanted = atom(m_display, "_NET_ACTIVE_WINDOW");
    const std::vector<unsigned long> supported =
        propertyItems(m_display, m_root, atom(m_display, "_NET_SUPPORTED"), XA_ATOM);
    return std::find(supported.begin(), supported.end(), wanted) != supported.end();
}

XWindowId ActiveWindowTracker::activeWindow() const
{
    const std::vector<unsigned long> active =
        propertyItems(m_display, m_root, atom(m_display, "_NET_ACTIVE_WINDOW"), XA_WINDOW);
    return active.empty() ? 0 : active.front();
}

void ActiveWindowTracker::readEvents()
{
    if (m_display == nullptr) {
        return;
    }
    const Atom active = atom(m_display, "_NET_ACTIVE_WINDOW");
    // Reading the new window's properties may queue further events, which the notifier will not
    // announce again.
    for (;;) {
        bool changed = false;
        while (XPending(m_display) > 0) {
            XEvent event;
            XNextEvent(m_display, &event);
            if (event.type == PropertyNotify && event.xproperty.window == m_root &&
                event.xproperty.atom == active) {
                changed = true;
            }
        }
        if (!changed) {
            return;
        }
        noteActive(activeWindow());
    }
}

bool ActiveWindowTracker::waitForEvents(int timeoutMs)
{
    if (XPending(m_display) > 0) {
        return true;
    }
    pollfd connection{ConnectionNumber(m_display), POLLIN, 0};
    return poll(&connection, 1, std::max(0, timeoutMs)) > 0;
}

unsigned long ActiveWindowTracker::serverTime()
{
    const Atom stamp = atom(m_display, "_SPRELIO_TIMESTAMP");
    XChangeProperty(m_display, m_clock, stamp, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XEvent event;
    XWindowEvent(m_display, m_clock, PropertyChangeMask, &event);
    return event.xproperty.time;
}

void ActiveWindowTracker::noteActive(XWindowId window)
{
    if (window != 0 && window != m_root && !isOwnWindow(window) && !isDesktopOrDock(window)) {
        m_last = window;
    }
}

bool ActiveWindowTracker::isOwnWindow(XWindowId window) const
{
    for (QWindow *own : QGuiApplication::allWindows()) {
        if (own->handle() != nullptr && own->winId() == window) {
            return true;
        }
    }
    const std::vector<unsigned long> pid =
        propertyItems(m_display, window, atom(m_display, "_NET_WM_PID"), XA_CARDINAL);
    return !pid.empty() && pid.front() == static_cast<unsigned long>(getpid());
}

bool ActiveWindowTracker::isDesktopOrDock(XWindowId window) const
{
    const std::vector<unsigned long> types =
        propertyItems(m_display, window, atom(m_display, "_NET_WM_WINDOW_TYPE"), XA_ATOM);
    const Atom desktop = atom(m_display, "_NET_WM_WINDOW_TYPE_DESKTOP");
    const Atom dock = atom(m_display, "_NET_WM_WINDOW_TYPE_DOCK");
    return std::any_of(types.begin(), types.end(),
                       [&](unsigned long type) { return type == desktop || type == dock; });
}

namespace {

// The line goes over the clipboard: copied as for the clipboard target, then pasted with the
// paste key of the program that receives it.
class X11LastWindow final : public LastWindowTarget
{
public:
    X11LastWindow()
    {
        m_restore.setSingleShot(true);
        QObject::connect(&m_restore, &QTimer::timeout, &m_tracker, [this] { restoreKeyboard(); });
    }

    ~X11LastWindow() override { restoreKeyboard(); }

    void send(const SendInputs &inputs, int clipboardFontSize, SendHost &host) override
    {
        Display *display = m_tracker.display();
        if (display == nullptr) {
            throw SendError(LangStr(LastWindowMessage::NotX11));
        }
        if (!m_tracker.activeHintSupported()) {
            throw SendError(LangStr(LastWindowMessage::NoActiveWindowHint));
        }
        m_tracker.readEvents();
        const XWindowId window = m_tracker.lastWindow();
        if (window == 0) {
            throw SendError(LangStr(LastWindowMessage::NoWindowKnown));
        }
        if (!windowIsManaged(display, window)) {
            throw SendError(LangStr(LastWindowMessage::WindowClosed));
        }
        if (inputs.text.isEmpty()) {
            // An empty line would paste what another program left on the clipboard.
            return;
        }
        const auto [instance, className] = windowClass(display, window);
        host.CopyEditToClipboard(clipboardFontSize);
        if (!xtestAvailable(display) || !activateWindow(m_tracker, window, ActivationTimeoutMs)) {
            throw SendError(LangStr(LastWindowMessage::NotActivated));
        }
        restoreKeyboard();
        int bound = 0;
        if (!typePasteChord(display, pasteChordFor(instance, className), &bound)) {
            throw SendError(LangStr(LastWindowMessage::NotActivated));
        }
        if (bound != 0) {
            // The program reads the new mapping when it reads the keys; it is freed once it has.
            m_boundKeycode = bound;
            m_restore.start(RestoreDelayMs);
        }
        m_tracker.readEvents();
    }

private:
    static constexpr int ActivationTimeoutMs = 1000;
    static constexpr int RestoreDelayMs = 1000;

    void restoreKeyboard()
    {
        m_restore.stop();
        if (m_boundKeycode != 0 && m_tracker.display() != nullptr) {
            unbindKeycode(m_tracker.display(), m_boundKeycode);
        }
        m_boundKeycode = 0;
    }

    ActiveWindowTracker m_tracker;
    QTimer m_restore;
    int m_boundKeycode = 0;
};

} // namespace

std::unique_ptr<LastWindowTarget> createX11LastWindow()
{
    return std::make_unique<X11LastWindow>();
}

} // namespace Sprelio
