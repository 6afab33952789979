#pragma once

#include <QByteArray>

#include <optional>

namespace Sprelio {

/// The glyph bytes of a rich text whose every character is set in a phonetic face, as the
/// clipboard's rich text carries them; none for any other or for malformed rich text.
std::optional<QByteArray> glyphsFromRtf(const QByteArray &rtf);

} // namespace Sprelio
