#pragma once

#include "storage/profilefile.h"

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QRect>

namespace Sprelio {

/// The "Language" value that asks for the language at the start: a missing, -1 or unknown value.
inline constexpr int FirstStartLanguage = -1;

/// What "Width" counts beside the client width: a window frame of 8 pixels on either side.
inline constexpr int StoredFrameWidth = 16;

/// The target number of a window without a checked target: "Target" is then left as it was.
inline constexpr int NoTarget = 0;

/// The target of a settings file without "Target": Word where the system drives programs over
/// Automation, else the clipboard, which every system has.
#if defined(Q_OS_WIN)
inline constexpr int DefaultTarget = 1;
#else
inline constexpr int DefaultTarget = 5;
#endif

/// Stored face numbers; any other number reads as the serif face.
enum StoredFont { FontSerif = 1, FontSansSerif = 2 };

/// Everything that the settings file keeps, each value within its range.
struct StoredSettings
{
    int language = FirstStartLanguage; ///< 0, 10000 or FirstStartLanguage
    int left = 200;                    ///< left edge of the window frame, screen pixels
    int top = 200;                     ///< top edge of the window frame, screen pixels
    int width = 500;                   ///< client width plus StoredFrameWidth
    int clipboardFontSize = 10;        ///< points, within the clipboard's range
    QByteArray buttonSetting;          ///< the assignment file's path in local 8-bit form; empty: the default
    bool stayOnTop = false;
    bool showHints = true;
    int target = DefaultTarget; ///< a TargetCode as read, or any other number for none
    int font = FontSerif;       ///< FontSerif or FontSansSerif
    bool bold = false;
    bool italic = false;
    bool placeKnown = true; ///< false: writing leaves Left and Top as they were
};

/// "Language" from ini: 0 or 10000, else FirstStartLanguage.
int readStoredLanguage(const ProfileDocument &ini);

/// The settings in ini. A missing key, a value that is no decimal number, or a number outside the
/// key's range reads as the key's default.
StoredSettings readStoredSettings(const ProfileDocument &ini);

/// Writes every key into ini in the program's order; Left and Top only when the place is known. A target that
/// is no TargetCode leaves "Target" as it was; a value that cannot be stored on one line leaves its key as it
/// was.
void writeStoredSettings(ProfileDocument &ini, const StoredSettings &settings);

/// The stored width if a window of that width fits on the widest screen, else the default width.
int widthForScreens(int storedWidth, const QList<QRect> &screens);

/// The width to store for a window of storedWidth: its own when the next start takes it, else the
/// widest that the next start takes.
int widthToStore(int storedWidth, const QList<QRect> &screens);

/// Where a window goes so that it can be seen: its own place when it meets a screen, else the
/// nearest place wholly (or from its top left corner) on the nearest screen.
QPoint placeOnScreens(const QRect &window, const QList<QRect> &screens);

} // namespace Sprelio
