#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace Sprelio {

/// The segments of a glyph string, each a base with the marks that follow it; a tie joins the base
/// after it into the same segment. Spaces separate segments and belong to none.
QList<QByteArray> glyphSegments(const QByteArray &glyphs);

/// One line per segment: its Unicode IPA, then the descriptions of its glyphs in the current
/// language, e.g. "n̥: Alveolar Nasal + Voiceless". Variants are named by the code they stand for;
/// segments without any description (brackets) are left out. Long lines end after a few dozen
/// segments with "…".
QString explainGlyphs(const QByteArray &glyphs);

} // namespace Sprelio
