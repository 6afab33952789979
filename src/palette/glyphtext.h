#pragma once

#include <QByteArray>
#include <QString>

namespace Sprelio {

inline constexpr char16_t GlyphCodeBase = 0xF000;

/// The text that the phonetic fonts draw for a glyph string: byte b becomes U+F000 + b.
QString glyphsToDisplay(const QByteArray &glyphs);

/// The glyph string behind a displayed text; characters outside U+F000..U+F0FF are dropped.
QByteArray displayToGlyphs(const QString &text);

/// The phonetic font family for the serif or the sans-serif face.
QString phoneticFamily(bool sansSerif);

} // namespace Sprelio
