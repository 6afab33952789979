#pragma once

// The conversion of the phonetic fonts' glyph codes into Unicode IPA, written out as a TECkit
// mapping description, so that other programs (SIL's converters, XeTeX's mapping=) read the
// encoding the same way sprelio-convert does.

#include <QString>

namespace Sprelio {

/// The TECkit mapping source: one rule per byte, from the same table as the document conversion,
/// and the dotted circle under a mark that has no base. The Unicode side is to be normalised to
/// NFC by the caller (txtconv -nfc), as the document conversion does.
QString teckitMappingSource();

} // namespace Sprelio
