#include "palette/kwspeedbutton.h"

#include "palette/glyphtext.h"

#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace Sprelio {

TKWSpeedButton::TKWSpeedButton(QWidget *parent)
    : SpeedButton(parent)
{}

void TKWSpeedButton::SetSymbol(const QByteArray &symbol)
{
    m_symbol = symbol;
    update();
}

void TKWSpeedButton::setOffsetX(int offsetX)
{
    m_offsetX = offsetX;
    update();
}

void TKWSpeedButton::setOffsetY(int offsetY)
{
    m_offsetY = offsetY;
    update();
}

QRect TKWSpeedButton::symbolRect(const QSize &buttonSize, int offsetX, int offsetY)
{
    // A raised symbol keeps the bottom edge, so its rectangle grows upwards instead of moving.
    const int bottom = std::max(buttonSize.height() + offsetY, buttonSize.height());
    return {offsetX, offsetY, buttonSize.width(), bottom - offsetY};
}

void TKWSpeedButton::PaintSymbol(QPainter &painter, const QRect &rect, const QByteArray &symbol,
                                 const QPalette &palette, bool enabled)
{
    if (symbol.isEmpty()) {
        return;
    }
    // A zero-width mark is placed with its origin at the centre and hangs to the left of it, as it
    // would over a base glyph; the offsets of the special buttons are tuned to exactly that.
    constexpr int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip;
    const QString text = glyphsToDisplay(symbol);
    painter.save();
    painter.setBrush(Qt::NoBrush);
    if (enabled) {
        painter.setPen(palette.color(QPalette::Active, QPalette::ButtonText));
        painter.drawText(rect, flags, text);
    } else {
        painter.setPen(palette.color(QPalette::Active, QPalette::Light));
        painter.drawText(rect.translated(1, 1), flags, text);
        painter.setPen(palette.color(QPalette::Active, QPalette::Dark));
        painter.drawText(rect, flags, text);
    }
    painter.restore();
}

void TKWSpeedButton::paintEvent(QPaintEvent *event)
{
    SpeedButton::paintEvent(event);
    QPainter painter(this);
    painter.setFont(font());
    PaintSymbol(painter, symbolRect(size(), m_offsetX, m_offsetY), m_symbol, palette(), isEnabled());
}

} // namespace Sprelio
