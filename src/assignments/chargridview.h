#pragma once

#include <QTableView>

class QMimeData;

namespace Sprelio {

class CharGridModel;

/// The chart of all known glyphs as the editing mode shows it: 13 by 13 square cells, five rows in
/// sight and a vertical scroll bar. A left press on a cell drags its glyph at once; Ctrl held at that
/// moment marks the drag as an append. The cell under the pointer explains its glyph in the hint.
///
/// The glyphs are drawn in the view's own font family, regular; its point size is that of the
/// palette buttons, one less for the letters of rows 0 to 7, where the cells are fullest.
class CharGridView final : public QTableView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CharGridView)

public:
    /// Side of the drag image in pixels.
    static constexpr int DragImageSize = 40;

    explicit CharGridView(QWidget *parent = nullptr);
    ~CharGridView() override = default;

    /// Makes every cell a square with the given side, grid line included.
    void setCellSize(int side);
    int cellSize() const { return m_cellSize; }

    /// The font a glyph of the given row is drawn in.
    QFont cellFont(int row) const;
    /// Draws the glyph of a cell at the top of the cell, centred across it; a mark is centred by its ink.
    void CharGridDrawCell(QPainter *painter, const QRect &cell, const QModelIndex &index) const;

    /// What a drag from the cell carries: its glyph, and the append mark when Ctrl is among modifiers.
    QMimeData *dragData(const QModelIndex &index, Qt::KeyboardModifiers modifiers) const;
    /// The drag image of a glyph: drawn centred on a transparent square, in the font given.
    static QPixmap dragPixmap(const QByteArray &glyph, const QFont &font);
    /// The font of the drag image: the view's face, regular, four points larger than the buttons'.
    QFont dragFont() const;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    CharGridModel *m_model = nullptr;
    int m_cellSize = 30;
};

} // namespace Sprelio
