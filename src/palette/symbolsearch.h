#pragma once

// Finding a symbol without knowing where it sits: by its name in either language, by the letter it
// looks like, or by its Unicode character.

#include "palette/glyphclasses.h"

#include <QList>
#include <QString>

namespace Sprelio {

/// The described glyphs that look like the given plain character ("a" gives a, ɑ, ɐ, æ, ɒ).
QList<Glyph> lookAlikes(QChar letter);

/// The described glyphs that a query finds, best first and each once: the glyph whose Unicode IPA
/// the query is (also written "U+0290" or "0290"), the base and marks of a composed symbol, the
/// look-alikes of a single character, and, for longer queries, the glyphs that one of their usual
/// names calls so ("schwa", "Knacklaut"), then every glyph whose German or English description has a
/// word starting with each word of the query. Case and accents do not matter ("stimmhaft retro" and
/// "voiced retro" both find ʐ).
QList<Glyph> findSymbols(const QString &query);

} // namespace Sprelio
