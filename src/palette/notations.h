#pragma once

// The transcription in the plain-text notations that linguists type elsewhere: X-SAMPA for
// mail and speech tools, TIPA for LaTeX documents, and Praat's backslash trigraphs for its
// pictures and TextGrids. All three start from the Unicode IPA of the glyph string.

#include <QByteArray>
#include <QString>

#include <optional>
#include <string_view>

namespace Sprelio {

enum class Notation {
    UnicodeIpa,
    XSampa,
    Tipa,
    Praat,
};

/// X-SAMPA, in printable ASCII only. ICU's own IPA transliterator does most of the work.
QString glyphsToXSampa(const QByteArray &glyphs);

/// A \textipa{...} group for LaTeX with the tipa package: its shortcut characters, its symbol
/// macros and its accent macros over their base. Empty for an empty glyph string.
QString glyphsToTipa(const QByteArray &glyphs);

/// Praat's backslash trigraphs, with the diacritics after their base; a symbol that has no
/// trigraph stays the Unicode character, which Praat reads as well.
QString glyphsToPraat(const QByteArray &glyphs);

/// The glyph string in the given notation.
QString glyphsToNotation(Notation notation, const QByteArray &glyphs);

/// The notation by its command-line name: unicode, xsampa, tipa or praat.
std::optional<Notation> notationNamed(std::string_view name);

} // namespace Sprelio
