#pragma once

// The compiled-in texts, reachable without Qt for the programs that have none.

#include <cstdint>
#include <span>
#include <string>

namespace Sprelio {

/// One compiled-in text: German at ID, English at ID + 10000.
struct StringResource
{
    int id;
    const char *utf8;
};

/// All compiled-in texts of both languages, ascending by ID.
std::span<const StringResource> stringResources();

/// The UTF-8 text with exactly this resource ID, empty when there is none.
std::string stringResourceUtf8(int resourceId);

/// The UTF-8 text with the given German ID at a language offset (0 or 10000), or "Internal Error!".
std::string langStrUtf8(std::uint16_t id, int languageOffset);

} // namespace Sprelio
