#pragma once

#include "palette/glyphclasses.h"

#include <array>

namespace Sprelio {

inline constexpr int SpecialButtonCount = 11;
inline constexpr int SpecialSetCount = 5;

/// The special sets chosen from the tool bar; the value is the set button's tag.
enum class SpecialSet { Supra = 1, Tone = 2, Diac1 = 3, Diac2 = 4, Diac3 = 5 };

/// Glyph of each special button (row) in each set (column = tag - 1); 0 hides the button.
inline constexpr std::array<std::array<Glyph, SpecialSetCount>, SpecialButtonCount> SpecialSetTable{{
    {59, 40, 36, 50, 56},
    {48, 127, 54, 125, 55},
    {46, 129, 221, 37, 57},
    {135, 128, 43, 215, 123},
    {130, 41, 42, 216, 219},
    {0, 94, 64, 217, 220},
    {32, 95, 53, 218, 197},
    {44, 230, 51, 63, 126},
    {45, 229, 174, 60, 213},
    {152, 231, 52, 61, 0},
    {0, 232, 49, 62, 0},
}};

/// The glyph of special button row (0-10) in the set with the given tag (1-5); 0 when hidden.
constexpr Glyph specialGlyph(int row, int tag)
{
    if (row < 0 || row >= SpecialButtonCount || tag < 1 || tag > SpecialSetCount) {
        return 0;
    }
    return SpecialSetTable[row][tag - 1];
}

/// Marks set below a base: on a special button they are drawn raised so that they show.
inline constexpr GlyphSet RaisedOnButtonSet{35, 36, 37, 42, 43, 49, 50, 52, 53, 54,
                                            55, 56, 57, 60, 61, 62, 63, 64, 125};

/// Marks above that the fonts draw clear of ascenders, having no tall variant: on a special button
/// they are lowered to where the tone marks stand, or they would leave the button at the top.
inline constexpr GlyphSet LoweredOnButtonSet{38, 48, 51, 123, 174};

} // namespace Sprelio
