#pragma once

#include <QByteArray>

namespace Sprelio {

/// The windowing platform that the program asks Qt for, from the session's QT_QPA_PLATFORM,
/// WAYLAND_DISPLAY and DISPLAY; empty when Qt's own choice stands.
QByteArray chosenPlatform(const QByteArray &userChoice, const QByteArray &waylandDisplay,
                          const QByteArray &xDisplay);

/// Chooses the platform before the application object is made, and gives the session's
/// QT_QPA_PLATFORM back once the application exists, so that programs started from Sprelio choose
/// their own.
class PlatformChoice final
{
public:
    PlatformChoice();
    PlatformChoice(const PlatformChoice &) = delete;
    PlatformChoice &operator=(const PlatformChoice &) = delete;
    /// Called once the application object exists.
    void release();

private:
    bool m_set = false;
};

} // namespace Sprelio
