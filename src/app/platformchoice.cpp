#include "app/platformchoice.h"

#include <QtGlobal>

namespace Sprelio {

namespace {

constexpr const char *PlatformVariable = "QT_QPA_PLATFORM";

} // namespace

QByteArray chosenPlatform(const QByteArray &userChoice, const QByteArray &waylandDisplay,
                          const QByteArray &xDisplay)
{
    // The user's own choice always stands.
    if (!userChoice.isEmpty()) {
        return {};
    }
    // A Wayland desktop with an X server beside it (Xwayland): the window's place, its staying on
    // top and the last active window as a target all need X11, which the window then has. Should
    // the X server be gone, the window still opens on Wayland.
    if (!waylandDisplay.isEmpty() && !xDisplay.isEmpty()) {
        return QByteArrayLiteral("xcb;wayland");
    }
    // Wayland alone: natively. Without the Wayland plugin Qt then tries X11 all the same.
    if (!waylandDisplay.isEmpty()) {
        return QByteArrayLiteral("wayland;xcb");
    }
    return {};
}

PlatformChoice::PlatformChoice()
{
    const QByteArray platform =
        chosenPlatform(qgetenv(PlatformVariable), qgetenv("WAYLAND_DISPLAY"), qgetenv("DISPLAY"));
    if (!platform.isEmpty()) {
        m_set = qputenv(PlatformVariable, platform);
    }
}

void PlatformChoice::release()
{
    if (m_set) {
        qunsetenv(PlatformVariable);
        m_set = false;
    }
}

} // namespace Sprelio
