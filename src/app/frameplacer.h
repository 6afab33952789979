#pragma once

#include <QPoint>
#include <QSize>

#include <optional>

class QEvent;
class QObject;
class QWidget;

namespace Sprelio {

/// Whether the desktop, not the program, places its windows: on native Wayland a window can
/// neither learn its place on the screen nor ask for one.
bool desktopPlacesWindows();

/// Keeps the main window where and how large it was stored, against what window managers do to it:
/// the stored corner is the frame's, asked for as the window is mapped and again until it is framed;
/// a maximise that the window does not offer is undone, back to the size from before it.
class FramePlacer final
{
public:
    explicit FramePlacer(QWidget *window);
    FramePlacer(const FramePlacer &) = delete;
    FramePlacer &operator=(const FramePlacer &) = delete;

    /// Puts the frame's corner at place: now, or as the window is mapped when it is not yet.
    void placeFrame(const QPoint &place);
    /// Gives the window its laid-out size, unless a window manager holds it enlarged.
    void fitTo(const QSize &size);
    /// After a resize (false) or a move (true) of the window while its frame is being placed.
    void keepFramePlace(bool framedMove = false);
    /// The window's state changed: a maximised window goes back to its size.
    void stateChanged();
    /// Any event of the program: the native window's showing is when the frame is asked for.
    void filterEvent(QObject *watched, QEvent *event);

private:
    bool enlarged() const;

    QWidget *m_window;
    std::optional<QPoint> m_pendingFramePlace;
    // The frame's corner asked for at the showing, until the window manager has framed the window.
    std::optional<QPoint> m_placingFrame;
    // The size to go back to after the window manager maximised the window, until it is back.
    std::optional<QSize> m_sizeBeforeEnlarged;
    static constexpr int MaxRestoreAttempts = 3;
    int m_restoreAttempts = 0;
};

} // namespace Sprelio
