#include "assignments/chargridmodel.h"

#include "palette/chartable.h"
#include "palette/glyphtext.h"

#include <QMimeData>

namespace Sprelio {

CharGridModel::CharGridModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

int CharGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : CharGridRows;
}

int CharGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : CharGridColumns;
}

QByteArray CharGridModel::glyphAt(const QModelIndex &index)
{
    return index.isValid() ? charGridCell(index.row(), index.column()) : QByteArray();
}

QVariant CharGridModel::data(const QModelIndex &index, int role) const
{
    const QByteArray glyph = glyphAt(index);
    if (glyph.isEmpty()) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        return glyphsToDisplay(glyph);
    case Qt::ToolTipRole:
        // Looked up at the moment of showing, so the hint follows a change of language.
        return CharDescription(glyph);
    case Qt::AccessibleTextRole:
        return glyphStringName(glyph);
    case GlyphRole:
        return glyph;
    default:
        return {};
    }
}

Qt::ItemFlags CharGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

QStringList CharGridModel::mimeTypes() const
{
    return {GlyphMimeType};
}

QMimeData *CharGridModel::mimeData(const QModelIndexList &indexes) const
{
    if (indexes.isEmpty()) {
        return nullptr;
    }
    auto *data = new QMimeData;
    data->setData(GlyphMimeType, glyphAt(indexes.constFirst()));
    return data;
}

Qt::DropActions CharGridModel::supportedDragActions() const
{
    return Qt::CopyAction;
}

} // namespace Sprelio
