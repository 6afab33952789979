#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace Sprelio {

/// The Windows-1252 byte of a character, as the keyboard types glyph codes; none outside that set.
/// The five positions the code page leaves empty (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to themselves.
std::optional<char> windows1252Byte(char32_t character);

/// The glyph bytes of a typed or pasted text: glyph characters keep their code, other characters
/// take their Windows-1252 byte, and characters with neither are dropped.
QByteArray typedTextToGlyphs(const QString &text);

} // namespace Sprelio
