#include "fuzzcheck.h"
#include "palette/glyphtext.h"
#include "targets/clipboardpayload.h"
#include "targets/rtfglyphs.h"

#include <cstddef>
#include <cstdint>

using namespace Sprelio;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    // Whatever arrives as rich text, the reader either finds glyphs or none at all.
    const std::optional<QByteArray> glyphs = glyphsFromRtf(input);
    FUZZ_CHECK(!glyphs || !glyphs->isEmpty());

    // The same bytes as a glyph string come back exactly from the clipboard's own rich text.
    if (!input.isEmpty()) {
        const bool sansSerif = (data[0] & 1) != 0;
        const ClipboardPayload payload = clipboardPayload(input, phoneticFamily(sansSerif),
                                                          (data[0] & 2) != 0, (data[0] & 4) != 0, data[0]);
        FUZZ_CHECK(glyphsFromRtf(payload.rtf) == input);
    }
    return 0;
}
