#include "dialogs/topmost.h"

#include <QAction>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace Sprelio {

bool staysOnTopAvailable()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void setStaysOnTop(QWidget *window, bool onTop)
{
    if (!staysOnTopAvailable()) {
        return;
    }
    // Changing the widget's flags would destroy and recreate its native window, which hides it and
    // may move it. The native window's own flag only moves it between the stacking bands (on X11 it
    // asks the window manager for the "above" state; without a window manager nothing changes).
    QWindow *native = window->windowHandle();
    if (native == nullptr) {
        window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
        return;
    }
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
    window->overrideWindowFlags(flags);
    native->setFlag(Qt::WindowStaysOnTopHint, onTop);
}

TopmostBracket::TopmostBracket(QWidget *window, const QAction *stayOnTop)
    : m_window(window)
    , m_stayOnTop(stayOnTop)
{
    if (m_stayOnTop->isChecked()) {
        setStaysOnTop(m_window, false);
    }
}

TopmostBracket::~TopmostBracket()
{
    if (m_stayOnTop->isChecked()) {
        setStaysOnTop(m_window, true);
    }
}

} // namespace Sprelio
