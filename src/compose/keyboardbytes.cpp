#include "compose/keyboardbytes.h"

#include "palette/glyphtext.h"

#include <QList>

#include <array>

namespace Sprelio {

namespace {

// Unicode of the bytes 0x80 to 0x9F in Windows-1252; 0 where the code page has no character.
constexpr std::array<char16_t, 32> HighControlRange{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

std::optional<char> windows1252Byte(char32_t character)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
        return static_cast<char>(character);
    }
    // Windows maps the five positions that the code page leaves empty one to one onto their bytes,
    // and the fonts have glyphs there.
    if (character >= 0x80 && character < 0xA0 && HighControlRange[character - 0x80] == 0) {
        return static_cast<char>(character);
    }
    for (std::size_t i = 0; i < HighControlRange.size(); ++i) {
        if (HighControlRange[i] != 0 && HighControlRange[i] == character) {
            return static_cast<char>(0x80 + i);
        }
    }
    return std::nullopt;
}

QByteArray typedTextToGlyphs(const QString &text)
{
    QByteArray glyphs;
    for (const char32_t character : text.toUcs4()) {
        if (character >= GlyphCodeBase && character <= GlyphCodeBase + 0xFFu) {
            glyphs.append(static_cast<char>(character - GlyphCodeBase));
        } else if (const auto byte = windows1252Byte(character)) {
            glyphs.append(*byte);
        }
    }
    return glyphs;
}

} // namespace Sprelio
