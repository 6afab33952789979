#pragma once

#include <QString>
#include <QStringList>

namespace Sprelio {

/// The folders searched for the bundled phonetic fonts, most specific first.
QStringList phoneticFontDirs();

/// Path of the bundled font file of the serif or sans-serif face; empty if none is found.
QString phoneticFontFile(bool sansSerif);

/// Makes both phonetic families available, loading the bundled file of any family the system lacks; false if
/// one stays missing.
bool registerPhoneticFonts();

} // namespace Sprelio
