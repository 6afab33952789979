#include "assignments/assignmentfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace Sprelio;

namespace {

void check(bool holds)
{
    if (!holds) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    if (const std::optional<Assignment> record = parseAssignmentRecord(content)) {
        check(record->size() == AssignmentButtonCount);
        for (const QByteArray &glyphs : *record) {
            check(glyphs.size() <= 3);
            check(!glyphs.contains('\r') && !glyphs.contains('\n'));
        }
    }

    // Whatever was read, in either form, can be saved, and the saved file reads back the same.
    const std::optional<Assignment> assignment = parseAssignment(content);
    if (!assignment) {
        return 0;
    }
    check(assignment->size() == AssignmentButtonCount);
    const std::optional<QByteArray> saved = assignmentProfileContent(*assignment);
    check(saved.has_value());
    check(parseAssignmentProfile(*saved) == assignment);
    return 0;
}
