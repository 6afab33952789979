#pragma once

// Phonetic text inside a document, turned into Unicode IPA one run at a time. A run is the text set
// in a phonetic face between two pieces of other text; the document splits it into stretches
// wherever the formatting changes (a bold base, a coloured mark). Nothing here knows the office.

#include "palette/glyphclasses.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace Sprelio {

/// The font byte that one character of phonetic-face text holds: U+F000 + byte as the office stores
/// symbol fonts, the Latin-1 character of the byte, or its Windows-1252 character (U+201E for 0x84).
std::optional<Glyph> glyphCodeOfCharacter(char16_t character);

/// True when a face name (as the office gives it, possibly with fallbacks after ';') is one of
/// the phonetic faces: the two bundled ones or one of the extra names, without regard to case.
bool isPhoneticFace(const QString &faceName, const QStringList &extraFaces);

/// The first face of a face name list such as "Lautbild Serif;Symbol".
QString firstFace(const QString &faceName);

struct ConvertedRun
{
    /// One text per stretch of the run, in order; a stretch whose marks all went to an earlier
    /// base is empty.
    QStringList stretches;
    /// How many glyph codes were turned into Unicode.
    int symbols = 0;
};

/// The Unicode IPA (NFC) of a run given as its stretches. A mark belongs to the last base before
/// it, also when that base stands in an earlier stretch: it is written into that stretch, so that
/// it keeps the base's formatting and never lands on another letter. Characters that hold no glyph
/// code stay as they are.
ConvertedRun convertGlyphRun(const QStringList &stretches);

} // namespace Sprelio
