#pragma once

// Activation of another program's window and the paste into it with XTest.

#include "targets/activewindow_x11.h"
#include "targets/lastwindow.h"

#include <QString>

#include <utility>

namespace Sprelio {

/// Whether the window still exists as a window the window manager manages.
bool windowIsManaged(_XDisplay *display, XWindowId window);

/// The window's WM_CLASS: its instance and class names.
std::pair<QString, QString> windowClass(_XDisplay *display, XWindowId window);

/// Asks the window manager to activate window, as a pager does, and waits at most timeoutMs until
/// the root names it as the active window and it has the input focus.
bool activateWindow(ActiveWindowTracker &tracker, XWindowId window, int timeoutMs);

/// Whether the server offers XTest.
bool xtestAvailable(_XDisplay *display);

/// Types the chord into the focused window with XTest. Modifiers that the user still holds are
/// let go for the chord and pressed again after it. Where no key carries the chord's key, a free
/// keycode is bound to it and returned, to be freed by unbindKeycode after the target has read the
/// keys; otherwise 0. False when the keyboard has no key for the chord.
bool typePasteChord(_XDisplay *display, PasteChord chord, int *boundKeycode);

/// Takes the symbol from a keycode that typePasteChord bound.
void unbindKeycode(_XDisplay *display, int keycode);

} // namespace Sprelio
