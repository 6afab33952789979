#pragma once

// Requests on other programs' windows fail when a window has just gone. Xlib reports such errors
// to one handler for the whole process, whose default ends the process; this one records them for
// the requests between its construction and failed().

#include <X11/Xlib.h>

namespace Sprelio {

class X11ErrorTrap
{
public:
    explicit X11ErrorTrap(Display *display)
        : m_display(display)
    {
        XSync(m_display, False);
        s_failed = false;
        m_previous = XSetErrorHandler(&X11ErrorTrap::record);
    }
    ~X11ErrorTrap()
    {
        XSync(m_display, False);
        XSetErrorHandler(m_previous);
    }
    X11ErrorTrap(const X11ErrorTrap &) = delete;
    X11ErrorTrap &operator=(const X11ErrorTrap &) = delete;

    /// Whether a request since the construction failed.
    bool failed()
    {
        XSync(m_display, False);
        return s_failed;
    }

private:
    static int record(Display *, XErrorEvent *)
    {
        s_failed = true;
        return 0;
    }

    static inline bool s_failed = false;
    Display *m_display;
    XErrorHandler m_previous = nullptr;
};

} // namespace Sprelio
