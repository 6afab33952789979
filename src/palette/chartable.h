#pragma once

// The 169 glyphs that the program knows by name, in the order of the IPA chart,
// and the built-in default assignment of the palette buttons.

#include "palette/glyphclasses.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>

namespace Sprelio {

inline constexpr int CharGridColumns = 13;
inline constexpr int CharGridRows = 13;
inline constexpr int CharGridCellCount = CharGridColumns * CharGridRows;

/// Glyph codes of the chart, row by row; cell number = 13 * row + column.
inline constexpr std::array<Glyph, CharGridCellCount> CharGridCodes{
    97,  198, 65,  194, 195, 196, 228, 214, 227, 226, 243, 79,  69,  101, 246, 244, 242, 81,  111,
    73,  89,  85,  105, 121, 237, 250, 249, 117, 112, 98,  116, 100, 208, 68,  120, 70,  107, 103,
    113, 132, 255, 109, 77,  110, 199, 241, 78,  131, 66,  114, 82,  151, 169, 245, 222, 102, 118,
    223, 240, 115, 122, 83,  71,  153, 154, 99,  74,  67,  88,  75,  134, 155, 254, 104, 247, 209,
    170, 86,  149, 150, 106, 251, 108, 168, 248, 76,  201, 202, 203, 204, 205, 87,  119, 72,  133,
    252, 253, 225, 224, 200, 148, 211, 124, 33,  167, 166, 96,  180, 58,  59,  48,  46,  135, 130,
    35,  212, 36,  54,  221, 43,  42,  64,  53,  51,  174, 52,  49,  213, 50,  125, 37,  215, 216,
    217, 218, 126, 63,  60,  61,  62,  56,  55,  57,  123, 219, 220, 197, 40,  127, 129, 128, 41,
    94,  95,  230, 229, 231, 232, 192, 193, 210, 80,  90,  84,  32,  152, 44,  45,  39,
};

/// String ID of the German description of a glyph code; English is this + 10000.
constexpr int descriptionId(Glyph code)
{
    return 1000 + code;
}

/// True for the glyph codes that have a cell in the chart (and so a description).
constexpr bool isDescribedGlyph(Glyph code)
{
    for (const Glyph cell : CharGridCodes) {
        if (cell == code) {
            return true;
        }
    }
    return false;
}

/// The one-byte glyph string of a chart cell; empty outside the grid.
QByteArray charGridCell(int row, int column);

/// The description of a glyph string in the current language; empty unless it is exactly one charted glyph.
QString CharDescription(const QByteArray &glyphs);

/// A name for any glyph string: its description, or else the descriptions of its glyphs joined by " + ".
QString glyphStringName(const QByteArray &glyphs);

inline constexpr int PaletteButtonCount = 50;
inline constexpr int ConsonantButtonCount = 30;

/// The built-in default assignment of the 50 palette buttons (0-29 consonants, 30-49 vowels).
QList<QByteArray> ButtonAssignment();

} // namespace Sprelio
