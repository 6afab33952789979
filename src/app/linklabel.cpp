#include "app/linklabel.h"

#include <QMouseEvent>

namespace Sprelio {

void LinkLabel::setUrl(const QString &url)
{
    setTextFormat(Qt::PlainText);
    setText(url);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    QPalette linkColours = palette();
    linkColours.setColor(QPalette::WindowText, QColor(0, 0, 255));
    setPalette(linkColours);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(url);
}

void LinkLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    // Only a press and release both on the label: letting go elsewhere takes the click back.
    const bool clicked =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (clicked) {
        emit linkActivated(text());
    }
}

} // namespace Sprelio
