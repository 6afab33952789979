#pragma once

class QAction;
class QWidget;

namespace Sprelio {

/// Whether a window can ask to stay above the others: not on native Wayland, where the desktop
/// alone stacks the windows.
bool staysOnTopAvailable();

/// Moves a window into or out of the topmost band without moving or resizing it; nothing where
/// staying on top is not available.
void setStaysOnTop(QWidget *window, bool onTop);

/// While it lives, a window that stays on top leaves the topmost band, so that a modal window of
/// the program is not hidden behind it. Put one around open and save dialogs.
class TopmostBracket final
{
public:
    /// stayOnTop is the option that says whether window stays on top.
    TopmostBracket(QWidget *window, const QAction *stayOnTop);
    ~TopmostBracket();
    TopmostBracket(const TopmostBracket &) = delete;
    TopmostBracket &operator=(const TopmostBracket &) = delete;

private:
    QWidget *m_window;
    const QAction *m_stayOnTop;
};

} // namespace Sprelio
