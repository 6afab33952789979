#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QLatin1StringView>

namespace Sprelio {

/// MIME type of a dragged glyph string: the raw bytes of the phonetic encoding.
inline constexpr QLatin1StringView GlyphMimeType{"application/x-sprelio-glyphs"};
/// Present when the dragged glyphs are to be appended to a button rather than replace its glyphs.
inline constexpr QLatin1StringView GlyphAppendMimeType{"application/x-sprelio-append"};

/// The chart of the 169 known glyphs, 13 by 13, one glyph per cell. Cells show in the phonetic font,
/// explain themselves by their description in the current language and drag as glyph strings.
class CharGridModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CharGridModel)

public:
    /// The glyph string of a cell, for GlyphRole.
    static constexpr int GlyphRole = Qt::UserRole;

    explicit CharGridModel(QObject *parent = nullptr);
    ~CharGridModel() override = default;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    QStringList mimeTypes() const override;
    /// The glyph of the first cell given.
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override;

    /// The glyph string of a cell; empty outside the chart.
    static QByteArray glyphAt(const QModelIndex &index);
};

} // namespace Sprelio
