#include "assignments/chargridview.h"

#include "assignments/chargridmodel.h"
#include "palette/glyphtext.h"

#include <QDrag>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace Sprelio {

namespace {

// Rows 8 to 12 hold marks, tones and spacing signs, which are small in the font and get its full size.
constexpr int LastLetterRow = 7;

// The shift that moves span [low, high] into [first, last], or centres it there when it is longer.
int shiftInto(int low, int high, int first, int last)
{
    if (high - low > last - first) {
        return (first + last) / 2 - (low + high) / 2;
    }
    return low < first ? first - low : (high > last ? last - high : 0);
}

// Where a glyph's origin goes so that it shows inside rect: a spacing glyph centred across by its advance
// and at the top of rect (or in the middle), a mark centred by its ink. A mark has no advance and is drawn
// well away from its origin, to the left and above or below, where it sits on a base glyph; placed like
// a letter it would land on the grid lines or in the next cell. A tall glyph that would reach past rect
// is moved back inside.
QPoint glyphOrigin(const QFontMetrics &metrics, const QString &text, const QRect &rect, bool atTop)
{
    // The string measures of a lone mark come out empty; the character's own box is its ink.
    const QRect ink = text.size() == 1 ? metrics.boundingRect(text.front()) : metrics.tightBoundingRect(text);
    const int advance = metrics.horizontalAdvance(text);
    QPoint origin(rect.left() + (rect.width() - advance) / 2,
                  (atTop ? rect.top() : rect.top() + (rect.height() - metrics.height()) / 2) +
                      metrics.ascent());
    if (ink.isEmpty()) {
        return origin;
    }
    if (advance <= 0) {
        origin = {rect.left() + (rect.width() - ink.width()) / 2 - ink.left(),
                  rect.top() + (rect.height() - ink.height()) / 2 - ink.top()};
    }
    const QRect drawn = ink.translated(origin);
    return origin + QPoint(shiftInto(drawn.left(), drawn.right(), rect.left(), rect.right()),
                           shiftInto(drawn.top(), drawn.bottom(), rect.top(), rect.bottom()));
}

class CharGridDelegate final : public QStyledItemDelegate
{
public:
    explicit CharGridDelegate(CharGridView *view)
        : QStyledItemDelegate(view)
        , m_view(view)
    {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem background = option;
        initStyleOption(&background, index);
        background.text.clear();
        background.icon = QIcon();
        // The view draws the focus frame of the current cell; a dotted frame would hide the marks.
        background.state &= ~QStyle::State_HasFocus;
        const QWidget *widget = option.widget;
        QStyle *style = widget != nullptr ? widget->style() : nullptr;
        if (style != nullptr) {
            style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);
        }
        painter->save();
        painter->setPen(option.palette.color(option.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                                   : QPalette::Text));
        m_view->CharGridDrawCell(painter, option.rect, index);
        painter->restore();
    }

private:
    CharGridView *m_view;
};

} // namespace

CharGridView::CharGridView(QWidget *parent)
    : QTableView(parent)
    , m_model(new CharGridModel(this))
{
    setModel(m_model);
    setItemDelegate(new CharGridDelegate(this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    for (QHeaderView *header : {horizontalHeader(), verticalHeader()}) {
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setMinimumSectionSize(1);
    }
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setTabKeyNavigation(false);
    // The drag is started by a press, not by the view's own movement threshold.
    setDragEnabled(false);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setAutoScroll(false);
    setCellSize(m_cellSize);
}

void CharGridView::setCellSize(int side)
{
    m_cellSize = std::max(1, side);
    for (QHeaderView *header : {horizontalHeader(), verticalHeader()}) {
        header->setDefaultSectionSize(m_cellSize);
        for (int i = 0; i < header->count(); ++i) {
            header->resizeSection(i, m_cellSize);
        }
    }
}

QFont CharGridView::cellFont(int row) const
{
    QFont cell = font();
    cell.setBold(false);
    cell.setItalic(false);
    if (row <= LastLetterRow) {
        cell.setPointSize(std::max(1, font().pointSize() - 1));
    }
    return cell;
}

void CharGridView::CharGridDrawCell(QPainter *painter, const QRect &cell, const QModelIndex &index) const
{
    const QByteArray glyph = CharGridModel::glyphAt(index);
    if (glyph.isEmpty()) {
        return;
    }
    const QFont glyphFont = cellFont(index.row());
    const QString text = glyphsToDisplay(glyph);
    painter->setFont(glyphFont);
    painter->drawText(glyphOrigin(QFontMetrics(glyphFont), text, cell, true), text);
}

QMimeData *CharGridView::dragData(const QModelIndex &index, Qt::KeyboardModifiers modifiers) const
{
    QMimeData *data = m_model->mimeData({index});
    if (data != nullptr && modifiers.testFlag(Qt::ControlModifier)) {
        data->setData(GlyphAppendMimeType, QByteArrayLiteral("1"));
    }
    return data;
}

QFont CharGridView::dragFont() const
{
    QFont drag = font();
    drag.setBold(false);
    drag.setItalic(false);
    drag.setPointSize(font().pointSize() + 4);
    return drag;
}

QPixmap CharGridView::dragPixmap(const QByteArray &glyph, const QFont &font)
{
    QPixmap pixmap(DragImageSize, DragImageSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QString text = glyphsToDisplay(glyph);
    painter.drawText(glyphOrigin(QFontMetrics(font), text, pixmap.rect(), false), text);
    return pixmap;
}

void CharGridView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    setFocus(Qt::MouseFocusReason);
    if (!index.isValid()) {
        return;
    }
    setCurrentIndex(index);

    QMimeData *data = dragData(index, event->modifiers());
    if (data == nullptr) {
        return;
    }
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(dragPixmap(CharGridModel::glyphAt(index), dragFont()));
    drag->setHotSpot(QPoint(DragImageSize / 2, DragImageSize / 2));
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

void CharGridView::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
}

void CharGridView::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    selectionModel()->clear();
}

void CharGridView::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasFormat(GlyphMimeType)) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void CharGridView::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasFormat(GlyphMimeType)) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void CharGridView::dropEvent(QDropEvent *event)
{
    // A glyph dropped back on the chart changes nothing, but it is a proper end of the drag.
    if (event->mimeData()->hasFormat(GlyphMimeType)) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

} // namespace Sprelio
