#include "palette/speedbutton.h"

#include <QPen>
#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace Sprelio {

SpeedButton::SpeedButton(QWidget *parent)
    : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    // The flat face rises only under the mouse, so the button needs hover repaints.
    setAttribute(Qt::WA_Hover);
    setCheckable(false);
}

void SpeedButton::setGroupIndex(int groupIndex)
{
    m_groupIndex = groupIndex;
    if (groupIndex == 0) {
        setChecked(false);
        setCheckable(false);
        return;
    }
    setCheckable(true);
    // A down button that joins a group wins over the group's current down button.
    if (isChecked()) {
        releaseGroup();
    }
}

void SpeedButton::setHint(const QString &hint)
{
    // A name that somebody else gave the button is theirs to keep.
    if (accessibleName().isEmpty() || accessibleName() == m_hint) {
        setAccessibleName(hint);
    }
    m_hint = hint;
    updateToolTip();
}

void SpeedButton::setShowHint(bool show)
{
    m_showHint = show;
    updateToolTip();
}

void SpeedButton::updateToolTip()
{
    setToolTip(m_showHint ? m_hint : QString());
}

QSize SpeedButton::sizeHint() const
{
    const QSize textSize = fontMetrics().size(Qt::TextSingleLine | Qt::TextShowMnemonic, text());
    return (textSize + QSize(8, 6)).expandedTo(QSize(23, 22));
}

void SpeedButton::nextCheckState()
{
    if (m_groupIndex == 0 || (isChecked() && !m_allowAllUp)) {
        return;
    }
    setChecked(!isChecked());
    // Qt does not call checkStateSet() for the state change of a click.
    if (isChecked()) {
        releaseGroup();
    }
}

void SpeedButton::checkStateSet()
{
    if (isChecked()) {
        releaseGroup();
    }
}

void SpeedButton::releaseGroup()
{
    if (m_groupIndex == 0 || parentWidget() == nullptr) {
        return;
    }
    const auto siblings = parentWidget()->findChildren<SpeedButton *>(Qt::FindDirectChildrenOnly);
    for (SpeedButton *sibling : siblings) {
        if (sibling != this && sibling->m_groupIndex == m_groupIndex) {
            sibling->setChecked(false);
        }
    }
}

void SpeedButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    option.initFrom(this);
    option.rect = rect();
    option.text = text();
    option.font = font();
    option.toolButtonStyle = Qt::ToolButtonTextOnly;
    option.arrowType = Qt::NoArrow;
    option.features = QStyleOptionToolButton::None;
    option.subControls = QStyle::SC_ToolButton;
    option.activeSubControls = QStyle::SC_None;
    option.state |= QStyle::State_AutoRaise;
    if (isDown()) {
        option.state |= QStyle::State_Sunken;
        option.activeSubControls = QStyle::SC_ToolButton;
    }
    if (isChecked()) {
        option.state |= QStyle::State_On;
    }
    if (!isDown() && !isChecked()) {
        option.state |= QStyle::State_Raised;
    }
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
    if (hasFocus()) {
        // A frame that shows at a glance which button the keyboard is on, in any style.
        QPen pen(palette().color(QPalette::Highlight), 2);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(1, 1, -2, -2));
    }
}

} // namespace Sprelio
