#pragma once

// Standard Unicode IPA for the glyph codes of the phonetic fonts, for every place where the fonts
// are missing: browsers, mail, terminals, plain-text files.

#include "palette/chartable.h"
#include "palette/glyphclasses.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace Sprelio {

inline constexpr char16_t DottedCircle = 0x25CC;

/// The described code that a variant code stands for: the mark of its variant row, the base it
/// replaces, the half space or linking mark it is typed for. Every other code is returned as it is.
constexpr Glyph describedGlyphFor(Glyph code)
{
    switch (code) {
    case Codes::HalfSpace:
        return Codes::HalfSpaceButton;
    case Codes::AltLinking:
        return Codes::Linking;
    case 38: // the ordinary form of the mid-centralized mark, whose narrow form is the described one
        return Codes::MidCentralized;
    default:
        break;
    }
    if (isDescribedGlyph(code)) {
        return code;
    }
    for (const ToneVariantRow &row : ToneVariantTable) {
        if (code == row.narrow || code == row.tall || code == row.narrowTall) {
            return row.mark;
        }
    }
    for (const NarrowVariantRow &row : NarrowVariantTable) {
        if (code == row.narrow) {
            return row.mark;
        }
    }
    for (const BaseVariantRow &row : BaseVariantTable) {
        if (code == row.variant) {
            return row.base;
        }
    }
    return code;
}

/// The Unicode IPA of one glyph code (NFC); empty for codes below 32, which have no glyph.
QString unicodeForGlyph(Glyph code);

/// True when the code stands for a combining mark, which needs a base before it.
bool isCombiningGlyph(Glyph code);

/// A glyph string as Unicode IPA in NFC. The marks keep their order after their base; a mark with
/// no base before it (at the start or after a space) stands on a dotted circle.
QString glyphsToUnicodeIpa(const QByteArray &glyphs);

/// The glyph code whose Unicode IPA is exactly text, if there is one; described codes first.
std::optional<Glyph> glyphForUnicode(const QString &text);

} // namespace Sprelio
