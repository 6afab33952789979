#include "palette/kwspeedbutton.h"

#include "compose/composer.h"
#include "palette/chartable.h"
#include "palette/glyphtext.h"
#include "palette/symbolsets.h"

#include <QPainter>
#include <QPalette>
#include <QTextLayout>

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

void TKWSpeedButton::setPreviewMarks(const QList<Glyph> &marks)
{
    if (marks == m_previewMarks) {
        return;
    }
    m_previewMarks = marks;
    update();
}

QByteArray TKWSpeedButton::previewedMarks() const
{
    if (m_previewMarks.isEmpty() || m_symbol.isEmpty()) {
        return {};
    }
    const qsizetype baseLength = Composer::withDiacritics(m_symbol, {}).size();
    return Composer::withDiacritics(m_symbol, m_previewMarks).mid(baseLength);
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
    const QRect rect = symbolRect(size(), m_offsetX, m_offsetY);
    PaintSymbol(painter, rect, m_symbol, palette(), isEnabled());
    if (isEnabled()) {
        paintPreview(painter, rect);
    }
}

void TKWSpeedButton::paintPreview(QPainter &painter, const QRect &rect) const
{
    const QByteArray marks = previewedMarks();
    if (marks.isEmpty()) {
        return;
    }
    // The whole text that a click types is laid out, so that the font places the marks over the
    // base as it will in the field; only the marks are given a colour. It is centred like the
    // symbol itself, so the marks land over the symbol that stays drawn.
    const QByteArray typed = Composer::withDiacritics(m_symbol, m_previewMarks);
    const int baseLength = int(typed.size() - marks.size());
    QColor faint = palette().color(QPalette::Active, QPalette::Highlight);
    faint.setAlpha(150);
    QTextCharFormat hidden;
    hidden.setForeground(QColor(Qt::transparent));
    QTextCharFormat shown;
    shown.setForeground(faint);

    const auto layOut = [this](QTextLayout &layout) {
        layout.setFont(font());
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(1e6);
        layout.endLayout();
        return line;
    };
    QTextLayout symbolLayout(glyphsToDisplay(m_symbol));
    const QTextLine symbolLine = layOut(symbolLayout);
    QTextLayout previewLayout(glyphsToDisplay(typed));
    previewLayout.setFormats({{0, baseLength, hidden}, {baseLength, int(marks.size()), shown}});
    layOut(previewLayout);

    const QPointF origin(rect.x() + (rect.width() - symbolLine.naturalTextWidth()) / 2,
                         rect.y() + (rect.height() - symbolLine.height()) / 2);
    previewLayout.draw(&painter, origin);
}

void setCharacterHint(TKWSpeedButton *button)
{
    button->setHint(CharDescription(button->Symbol()));
    // Screen readers need a name even where the hint stays empty.
    button->setAccessibleName(glyphStringName(button->Symbol()));
}

QPoint symbolOffsets(const QFontMetrics &metrics, const QByteArray &symbol)
{
    if (symbol.isEmpty()) {
        return {};
    }
    const int l = metrics.horizontalAdvance(glyphsToDisplay("l"));
    const auto code = static_cast<Glyph>(symbol.front());
    const bool zeroWidth = metrics.horizontalAdvance(glyphsToDisplay(QByteArray(1, char(code)))) == 0;
    int y = 0;
    if (RaisedOnButtonSet.contains(code)) {
        y = (-2 * l) / 3;
    } else if (LoweredOnButtonSet.contains(code)) {
        // As far as the fonts raise the tall variant of a tone mark over its plain form.
        const ToneVariantRow high = *toneRowFor(127);
        y = metrics.boundingRect(QChar(GlyphCodeBase + high.mark)).top() -
            metrics.boundingRect(QChar(GlyphCodeBase + high.tall)).top();
    }
    return {zeroWidth ? l * 5 / 6 : 0, y};
}

} // namespace Sprelio
