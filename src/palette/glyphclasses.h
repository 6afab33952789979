#pragma once

// The glyph codes of the phonetic fonts that the composition rules treat specially:
// the character classes and the mark substitution tables.

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>

namespace Sprelio {

using Glyph = std::uint8_t;

namespace Codes {
inline constexpr Glyph Space = 32;
inline constexpr Glyph AltLinking = 34;
inline constexpr Glyph Linking = 35;
inline constexpr Glyph Voiceless = 36;
inline constexpr Glyph Ejective = 39;
inline constexpr Glyph ExtraShort = 48;
inline constexpr Glyph Long = 58;
inline constexpr Glyph HalfLong = 59;
inline constexpr Glyph PrimaryStress = 96;
inline constexpr Glyph HalfSpaceButton = 152;
inline constexpr Glyph SecondaryStress = 180;
inline constexpr Glyph HalfSpace = 189;
inline constexpr Glyph Tie = 212;
inline constexpr Glyph MidCentralized = 174;
} // namespace Codes

/// A set of glyph codes with constant-time membership.
class GlyphSet final
{
public:
    constexpr GlyphSet(std::initializer_list<Glyph> codes)
    {
        for (const Glyph code : codes) {
            m_bits[code / 64] |= std::uint64_t{1} << (code % 64);
        }
    }

    /// True if the code belongs to the set.
    [[nodiscard]] constexpr bool contains(Glyph code) const
    {
        return (m_bits[code / 64] >> (code % 64)) & 1U;
    }

    /// Number of codes in the set.
    [[nodiscard]] constexpr int size() const
    {
        int count = 0;
        for (int code = 0; code < 256; ++code) {
            count += contains(static_cast<Glyph>(code)) ? 1 : 0;
        }
        return count;
    }

private:
    std::array<std::uint64_t, 4> m_bits{};
};

/// Bases too narrow for the ordinary placement of a mark.
inline constexpr GlyphSet NarrowSet{33,  73,  74,  102, 105, 106, 108, 116,
                                    168, 206, 207, 208, 209, 237, 238, 239};

/// Bases with ascenders: a tone mark on them is raised.
inline constexpr GlyphSet TallSet{68,  83,  98,  100, 102, 104, 107, 108, 116, 148, 155,
                                  168, 170, 200, 201, 202, 203, 204, 205, 208, 209, 222,
                                  223, 240, 245, 247, 248, 252, 253, 254, 255};

/// Marks drawn above the base; under them a dotted or tall base takes its variant.
inline constexpr GlyphSet AboveMarkSet{38, 40, 41, 48, 51, 94, 95, 123, 127, 128, 129, 174, 212};

/// Bases with descenders, as seen from a following linking mark.
inline constexpr GlyphSet DescenderBeforeSet{70,  72,  74,  75,  77,  78,  83,  88,  99,  103, 106, 113, 121,
                                             150, 154, 168, 169, 170, 199, 203, 204, 206, 207, 208, 245, 251};

/// Bases with descenders, as seen from a preceding linking mark.
inline constexpr GlyphSet DescenderAfterSet{70,  71,  74,  75,  78,  83,  88,  99,  103,
                                            106, 112, 121, 150, 153, 154, 168, 169, 170,
                                            200, 203, 204, 206, 207, 208, 222, 241, 245};

/// A tone mark (or the voiceless mark) and its variants by the shape of the base.
struct ToneVariantRow
{
    Glyph mark;
    Glyph narrow;
    Glyph tall;
    Glyph narrowTall;
};

inline constexpr std::array<ToneVariantRow, 8> ToneVariantTable{{
    {40, 136, 137, 138},
    {41, 139, 140, 141},
    {94, 175, 176, 177},
    {95, 178, 179, 181},
    {127, 142, 143, 144},
    {128, 145, 146, 147},
    {129, 186, 187, 188},
    {Codes::Voiceless, 182, 183, 184},
}};

/// A mark and its variant for a narrow base.
struct NarrowVariantRow
{
    Glyph mark;
    Glyph narrow;
};

inline constexpr std::array<NarrowVariantRow, 21> NarrowVariantTable{{
    {37, 185}, {38, 174}, {42, 233}, {43, 234}, {48, 156}, {49, 157},  {50, 165},
    {51, 190}, {52, 172}, {53, 173}, {54, 171}, {55, 191}, {56, 235},  {57, 236},
    {60, 160}, {61, 161}, {62, 162}, {63, 163}, {64, 164}, {123, 158}, {125, 159},
}};

/// A base and the dotless or shortened form it takes under a mark above.
struct BaseVariantRow
{
    Glyph base;
    Glyph variant;
};

inline constexpr std::array<BaseVariantRow, 4> BaseVariantTable{{
    {74, 207},
    {105, 238},
    {106, 206},
    {237, 239},
}};

/// Codes that make a special button a pending diacritic instead of typing at once.
inline constexpr GlyphSet CombiningSet{36, 37, 40, 41, 42, 43, 48, 49, 50,  51,  52,  53,  54,  55, 56,
                                       57, 60, 61, 62, 63, 64, 94, 95, 123, 125, 127, 128, 129, 174};

/// The tone-table row whose mark is the given code.
constexpr std::optional<ToneVariantRow> toneRowFor(Glyph mark)
{
    for (const ToneVariantRow &row : ToneVariantTable) {
        if (row.mark == mark) {
            return row;
        }
    }
    return std::nullopt;
}

/// The narrow-table row whose mark is the given code.
constexpr std::optional<NarrowVariantRow> narrowRowFor(Glyph mark)
{
    for (const NarrowVariantRow &row : NarrowVariantTable) {
        if (row.mark == mark) {
            return row;
        }
    }
    return std::nullopt;
}

/// The base variant of a code under a mark above, or the code itself.
constexpr Glyph baseVariantFor(Glyph base)
{
    for (const BaseVariantRow &row : BaseVariantTable) {
        if (row.base == base) {
            return row.variant;
        }
    }
    return base;
}

} // namespace Sprelio
