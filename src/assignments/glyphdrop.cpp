#include "assignments/glyphdrop.h"

#include "assignments/chargridmodel.h"

#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

namespace Sprelio {

GlyphDropFilter::GlyphDropFilter(CanDrop canDrop, Drop drop, QObject *parent)
    : QObject(parent)
    , m_canDrop(std::move(canDrop))
    , m_drop(std::move(drop))
{}

void GlyphDropFilter::watch(QWidget *widget)
{
    widget->setAcceptDrops(true);
    widget->installEventFilter(this);
}

bool GlyphDropFilter::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
        return false;
    }
    auto *dropEvent = static_cast<QDropEvent *>(event);
    const QMimeData *data = dropEvent->mimeData();
    if (data == nullptr || !data->hasFormat(GlyphMimeType)) {
        return false;
    }
    auto *target = qobject_cast<QWidget *>(watched);
    const QByteArray glyphs = data->data(GlyphMimeType);
    const bool append = data->hasFormat(GlyphAppendMimeType);
    if (target == nullptr || !m_canDrop(target, glyphs, append)) {
        dropEvent->ignore();
        return true;
    }
    dropEvent->setDropAction(Qt::CopyAction);
    dropEvent->accept();
    if (type == QEvent::Drop) {
        m_drop(target, glyphs, append);
    }
    return true;
}

} // namespace Sprelio
