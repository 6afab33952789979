#pragma once

#include "i18n/stringtable.h"

#include <QString>

#include <cstdint>

namespace Sprelio {

inline constexpr int GermanOffset = 0;
inline constexpr int EnglishOffset = 10000;

/// The language offset added to every text ID: 0 for German, 10000 for English.
extern int LangOffset;

/// The text with the given German ID in the current language, or "Internal Error!".
QString LangStr(std::uint16_t id);

/// The stored text with exactly this resource ID, empty when there is none.
QString stringResource(int resourceId);

} // namespace Sprelio
