#pragma once

#include <QByteArray>
#include <QMimeData>
#include <QString>

namespace Sprelio {

/// Standard Unicode IPA read back as glyph codes: each symbol becomes its described code, a
/// marked base takes the variants that clicking it with the marks pending would type, and a
/// character with no symbol falls back to its Windows-1252 byte. Control characters are dropped.
QByteArray unicodeIpaToGlyphs(const QString &text);

/// The glyph bytes of a pasted plain text. Text that only holds glyph characters and Windows-1252
/// characters keeps the keyboard's bytes; any other character marks it as Unicode IPA.
QByteArray pastedTextToGlyphs(const QString &text);

/// The glyph bytes of pasted or dropped data: the phonetic rich text where it carries one,
/// otherwise the plain text.
QByteArray glyphsFromMimeData(const QMimeData &data);
/// The same, at most limit glyphs of it: more is cut off, and truncated says so. Rich text
/// larger than any line's is not read; its plain text is.
QByteArray glyphsFromMimeData(const QMimeData &data, qsizetype limit, bool *truncated);

} // namespace Sprelio
