#include "palette/chartable.h"

#include "i18n/langstr.h"

#include <QStringList>

namespace Sprelio {

QByteArray charGridCell(int row, int column)
{
    if (row < 0 || row >= CharGridRows || column < 0 || column >= CharGridColumns) {
        return {};
    }
    return QByteArray(1, static_cast<char>(CharGridCodes[row * CharGridColumns + column]));
}

QString CharDescription(const QByteArray &glyphs)
{
    if (glyphs.size() != 1) {
        return {};
    }
    const auto code = static_cast<Glyph>(glyphs.front());
    if (!isDescribedGlyph(code)) {
        return {};
    }
    return LangStr(static_cast<std::uint16_t>(descriptionId(code)));
}

QString glyphStringName(const QByteArray &glyphs)
{
    if (QString description = CharDescription(glyphs); !description.isEmpty() || glyphs.size() < 2) {
        return description;
    }
    QStringList parts;
    for (const char byte : glyphs) {
        if (const QString part = CharDescription(QByteArray(1, byte)); !part.isEmpty()) {
            parts.append(part);
        }
    }
    return parts.join(QLatin1String(" + "));
}

QList<QByteArray> ButtonAssignment()
{
    static constexpr std::array<Glyph, PaletteButtonCount> Codes{
        // consonants
        112, 98, 116, 100, 107, 103, 102, 118, 223, 240, 115, 122, 83, 71, 99, 106, 67, 104, 108, 109, 110,
        78, 114, 82, 80, 90, 84, 255, 119, 0,
        // vowels
        97, 65, 196, 69, 228, 228, 101, 246, 214, 105, 73, 121, 89, 111, 79, 117, 85, 192, 193, 210};
    constexpr int EmptyEntry = 29;
    constexpr int LongVowelEntry = 35;

    QList<QByteArray> assignment;
    assignment.reserve(PaletteButtonCount);
    for (int i = 0; i < PaletteButtonCount; ++i) {
        if (i == EmptyEntry) {
            assignment.append(QByteArray());
        } else {
            assignment.append(QByteArray(1, static_cast<char>(Codes[i])));
        }
    }
    assignment[LongVowelEntry].append(static_cast<char>(Codes::Long));
    return assignment;
}

} // namespace Sprelio
