#include "palette/windowlayout.h"

#include "palette/chartable.h"

#include <algorithm>

namespace Sprelio {

namespace {

constexpr int EditMargin = 8;
constexpr int ToolButtonCount = 6;
constexpr int SpecialButtonCount = 11;
constexpr int PanelGap = 4;
constexpr int PanelEdge = 2;

// One pass over the window for a given client height. The composition field's height
// follows the client height, which in turn follows the palette: see computeWindowLayout.
WindowLayout layoutPass(int clientWidth, int clientHeight, bool charGridVisible)
{
    WindowLayout l;
    const int u = clientWidth / 12;
    l.unitSize = u;
    const int side = u - 1;
    l.paletteFontSize = (2 * side) / 5;

    const int editHeight = clientHeight / 7;
    l.editField = QRect(EditMargin, TopStripHeight + EditMargin, 0, editHeight);
    l.editFontSize = editHeight / 2;

    const int barHeight = (2 * side) / 3;
    const int barButton = barHeight - 4;
    const int barTop = l.editField.y() + l.editField.height() + 2;
    l.toolButtonFontSize = l.paletteFontSize - 1;
    for (int i = 0; i < ToolButtonCount; ++i) {
        l.toolButtons.append(QRect(i * barButton, 2, barButton, barButton));
    }
    const int toolBarWidth = l.toolButtons.last().x() + barHeight - 2;
    for (int i = 0; i < SpecialButtonCount; ++i) {
        l.specialButtons.append(QRect(i * barButton + 2, 2, barButton, barButton));
    }
    const int toolBar2Width = l.specialButtons.last().x() + barHeight - 2;

    const int panelTop = barTop + barHeight - 2;
    const int panelHeight = 5 * u - 1;
    l.vokalPanel = QRect(PanelEdge, panelTop, 4 * u - 1, panelHeight);
    const int vokalRight = l.vokalPanel.x() + l.vokalPanel.width();
    l.konsPanel = QRect(vokalRight + PanelGap, panelTop, 6 * u - 2, panelHeight);
    const int konsRight = l.konsPanel.x() + l.konsPanel.width();
    l.sysPanel = QRect(konsRight + PanelGap, panelTop, 2 * u - 2, panelHeight);

    l.toolBar =
        QRect(vokalRight - (l.vokalPanel.width() + toolBarWidth) / 2, barTop, toolBarWidth, barHeight);
    l.toolBar2 = QRect(l.konsPanel.x() + 4, barTop, toolBar2Width, barHeight);

    for (int i = 0; i < PaletteButtonCount; ++i) {
        const bool consonant = i < ConsonantButtonCount;
        const int j = consonant ? i : i - ConsonantButtonCount;
        const int columns = consonant ? 6 : 4;
        l.paletteButtons.append(QRect((j % columns) * side + 2, (j / columns) * side + 2, side, side));
    }

    l.sysFontSize = l.paletteFontSize;
    l.arrowFontSize = l.paletteFontSize + 1;
    const int sysWidth = 2 * u - 6;
    for (int i = 0; i < int(SysButton::Count); ++i) {
        l.sysButtons.append(QRect(2, i * side + 2, sysWidth, side));
    }
    // The single brackets share the rows of the paired ones, two to a row.
    const auto at = [&l](SysButton b) -> QRect & { return l.sysButtons[int(b)]; };
    const int halfWidth = at(SysButton::Enter).width() / 2;
    at(SysButton::K1) = QRect(2, at(SysButton::EKl).y(), halfWidth, side);
    at(SysButton::K2) = QRect(halfWidth + 2, at(SysButton::EKl).y(), halfWidth, side);
    at(SysButton::K3) = QRect(2, at(SysButton::Schraeg).y(), halfWidth, side);
    at(SysButton::K4) = QRect(halfWidth + 2, at(SysButton::Schraeg).y(), halfWidth, side);

    l.charGridCellSize = (konsRight - 33) / 13;
    const int konsBottom = panelTop + panelHeight;
    l.charGrid =
        QRect(l.vokalPanel.x() + 4, konsBottom + 4, 13 * l.charGridCellSize + 34, 5 * l.charGridCellSize + 8);
    const QRect enter = at(SysButton::Enter);
    l.closeButton = QRect(l.sysPanel.x() + 2, l.charGrid.y() + 2, enter.width(), enter.height());
    l.closeFontSize = enter.height() / 5;

    int clientHeightNeeded = konsBottom + 4;
    if (charGridVisible) {
        clientHeightNeeded += l.charGrid.height() + 4;
    }
    l.clientSize = QSize(l.sysPanel.x() + l.sysPanel.width() + 4, clientHeightNeeded);
    // The field spans the width the window is about to take, not the one it was dragged to.
    l.editField.setWidth(l.clientSize.width() - 2 * EditMargin);
    return l;
}

} // namespace

WindowLayout computeWindowLayout(int clientWidth, bool charGridVisible)
{
    clientWidth = std::max(clientWidth, MinimumClientWidth);
    // The field's height is a seventh of the client height, and the client height is what the
    // palette below the field needs: settle on the height at which another pass changes nothing.
    // The grid of the editing mode is left out of it, so that showing the grid only adds its own height.
    int clientHeight = 0;
    WindowLayout layout;
    for (int pass = 0; pass < 16; ++pass) {
        layout = layoutPass(clientWidth, clientHeight, false);
        if (layout.clientSize.height() == clientHeight) {
            break;
        }
        clientHeight = layout.clientSize.height();
    }
    return charGridVisible ? layoutPass(clientWidth, clientHeight, true) : layout;
}

} // namespace Sprelio
