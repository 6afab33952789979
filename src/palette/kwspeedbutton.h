#pragma once

#include "palette/glyphclasses.h"
#include "palette/speedbutton.h"

#include <QByteArray>
#include <QFontMetrics>
#include <QList>
#include <QPoint>

class QPainter;
class QPalette;

namespace Sprelio {

/// The character button: a speed button that draws a glyph string in its own font (the phonetic
/// font) over its face, shifted by OffsetX and OffsetY. Its ordinary caption stays empty.
class TKWSpeedButton final : public SpeedButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TKWSpeedButton)

public:
    explicit TKWSpeedButton(QWidget *parent = nullptr);
    ~TKWSpeedButton() override = default;

    /// The glyph string that the button shows and inserts; may be empty.
    QByteArray Symbol() const { return m_symbol; }
    /// The only way to change the symbol: stores it and repaints.
    void SetSymbol(const QByteArray &symbol);

    /// Horizontal shift of the drawn symbol in pixels; positive moves it right.
    int OffsetX() const { return m_offsetX; }
    void setOffsetX(int offsetX);
    /// Vertical shift of the drawn symbol in pixels; positive moves it down.
    int OffsetY() const { return m_offsetY; }
    void setOffsetY(int offsetY);

    /// The diacritics pending on the special bar: while there are any, the button shows faintly over
    /// its symbol the marks that a click would add. Symbol, hint and what a click types stay as they are.
    void setPreviewMarks(const QList<Glyph> &marks);
    /// The glyphs that the preview adds after the symbol; empty when it shows nothing.
    QByteArray previewedMarks() const;

    /// The rectangle a symbol is centred in: the button's own, shifted by the offsets, but never
    /// with its bottom edge above the button's bottom edge.
    static QRect symbolRect(const QSize &buttonSize, int offsetX, int offsetY);
    /// Draws a glyph string on one line, centred in rect, in the painter's font: in the button text
    /// colour, or engraved (highlight one pixel down-right, shadow in place) when disabled.
    static void PaintSymbol(QPainter &painter, const QRect &rect, const QByteArray &symbol,
                            const QPalette &palette, bool enabled);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintPreview(QPainter &painter, const QRect &rect) const;

    QByteArray m_symbol;
    QList<Glyph> m_previewMarks;
    int m_offsetX = 0;
    int m_offsetY = 0;
};

/// Sets the button's hint to its symbol's description and its accessible name to the symbol's name.
void setCharacterHint(TKWSpeedButton *button);

/// The drawing offsets that show a symbol whole on a button in the given font: a mark alone is
/// drawn where it would sit over a base, lifted if it goes below one, lowered if it clears ascenders.
QPoint symbolOffsets(const QFontMetrics &metrics, const QByteArray &symbol);

} // namespace Sprelio
