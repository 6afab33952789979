#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace Sprelio {

/// Everything the main window places, computed from its client width alone.
struct WindowLayout
{
    int unitSize = 0;

    QRect editField;
    int editFontSize = 0;

    QRect toolBar;            ///< panel of the six tool buttons
    QList<QRect> toolButtons; ///< inside ToolBar
    int toolButtonFontSize = 0;
    QRect toolBar2;              ///< panel of the eleven special buttons
    QList<QRect> specialButtons; ///< inside ToolBar2

    QRect vokalPanel;
    QRect konsPanel;
    QRect sysPanel;
    QList<QRect> paletteButtons; ///< 50, inside their panel
    int paletteFontSize = 0;

    QList<QRect> sysButtons; ///< inside SysPanel, in SysButton order
    int sysFontSize = 0;
    int arrowFontSize = 0; ///< BackBtn and EnterBtn

    QRect charGrid;
    int charGridCellSize = 0;
    QRect closeButton;
    int closeFontSize = 0;

    QSize clientSize;
};

/// Order of the children of SysPanel.
enum class SysButton { Kl, EKl, Schraeg, Back, Enter, K1, K2, K3, K4, Count };

/// Height of the strip above the composition field: the top line and the icon tool bar.
inline constexpr int TopStripHeight = 28;

/// Smallest client width; the palette does not shrink below it.
inline constexpr int MinimumClientWidth = 464;

/// The layout for a client width; the grid of the editing mode adds its height when shown.
WindowLayout computeWindowLayout(int clientWidth, bool charGridVisible);

} // namespace Sprelio
