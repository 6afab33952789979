#include "fuzzcheck.h"
#include "storage/profilefile.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>

using Sprelio::ProfileDocument;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const ProfileDocument document(
        QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));

    for (const char *section : {"Sprelio-Buttons", "Settings", "S"}) {
        document.sectionHasKeys(section);
        for (const char *key : {"1", "50", "Width", "a"}) {
            const std::optional<QByteArray> value = document.value(section, key);
            FUZZ_CHECK(!value || value->size() <= ProfileDocument::MaxValueLength);
            if (value) {
                if (const std::optional<int> number = ProfileDocument::parseInteger(*value)) {
                    FUZZ_CHECK(ProfileDocument::parseInteger(QByteArray::number(*number)) == number);
                }
            }
        }
    }

    // Whatever the file held, a written key reads back, other sections keep their values, and
    // writing the same again changes nothing.
    const QByteArray glyphs("\xE4g\x80");
    ProfileDocument changed = document;
    FUZZ_CHECK(changed.writeString("Sprelio-Buttons", "7", glyphs));
    FUZZ_CHECK(changed.readString("sprelio-buttons", "7") == glyphs);
    FUZZ_CHECK(changed.sectionHasKeys("Sprelio-Buttons"));
    FUZZ_CHECK(changed.value("Settings", "Width") == document.value("Settings", "Width"));
    ProfileDocument again = changed;
    FUZZ_CHECK(again.writeString("SPRELIO-BUTTONS", "7", glyphs));
    FUZZ_CHECK(again.content() == changed.content());

    // A refused write leaves the content alone.
    FUZZ_CHECK(!changed.writeString("Settings", "Width", "1\n[Sprelio-Buttons]"));
    FUZZ_CHECK(again.content() == changed.content());
    return 0;
}
