#include "assignments/assignmentfile.h"
#include "fuzzcheck.h"

#include <cstddef>
#include <cstdint>

using namespace Sprelio;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    if (const std::optional<Assignment> record = parseAssignmentRecord(content)) {
        FUZZ_CHECK(record->size() == AssignmentButtonCount);
        for (const QByteArray &glyphs : *record) {
            FUZZ_CHECK(glyphs.size() <= 3);
            FUZZ_CHECK(!glyphs.contains('\r') && !glyphs.contains('\n'));
        }
    }

    // Whatever was read, in either form, can be saved, and the saved file reads back the same.
    const std::optional<Assignment> assignment = parseAssignment(content);
    if (!assignment) {
        return 0;
    }
    FUZZ_CHECK(assignment->size() == AssignmentButtonCount);
    const std::optional<QByteArray> saved = assignmentProfileContent(*assignment);
    FUZZ_CHECK(saved.has_value());
    FUZZ_CHECK(parseAssignmentProfile(*saved) == assignment);
    return 0;
}
