#include "assignments/assignmentfile.h"

#include "storage/localfile.h"
#include "storage/profilefile.h"

#include <QFile>

namespace Sprelio {

namespace {

constexpr qsizetype RecordEntriesOffset = 94;
constexpr qsizetype RecordEntrySize = 4;
constexpr int RecordEntryGlyphs = 3;

QByteArray keyName(int index)
{
    return QByteArray::number(index + 1);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Readers drop blanks around a value and one pair of matching quotes, so a glyph string that would
// lose bytes that way goes out enclosed in double quotes; the reader takes off exactly those.
bool needsQuotes(const QByteArray &glyphs)
{
    if (glyphs.isEmpty()) {
        return false;
    }
    if (isBlank(glyphs.front()) || isBlank(glyphs.back())) {
        return true;
    }
    return glyphs.size() >= 2 && (glyphs.front() == '"' || glyphs.front() == '\'') &&
           glyphs.back() == glyphs.front();
}

// A line break on a button could never be saved, as the profile form keeps each value on its line;
// every other byte is kept, as the profile form keeps it.
QByteArray withoutLineBreaks(QByteArrayView bytes)
{
    QByteArray kept;
    kept.reserve(bytes.size());
    for (const char byte : bytes) {
        if (byte != '\r' && byte != '\n') {
            kept.append(byte);
        }
    }
    return kept;
}

} // namespace

std::optional<Assignment> parseAssignmentProfile(const QByteArray &content)
{
    const ProfileDocument document(content);
    if (!document.sectionHasKeys(AssignmentSection)) {
        return std::nullopt;
    }
    QList<QByteArray> keys;
    keys.reserve(AssignmentButtonCount);
    for (int i = 0; i < AssignmentButtonCount; ++i) {
        keys.append(keyName(i));
    }
    Assignment assignment;
    assignment.reserve(AssignmentButtonCount);
    for (const std::optional<QByteArray> &value : document.values(AssignmentSection, keys)) {
        assignment.append(value.value_or(QByteArray()));
    }
    return assignment;
}

std::optional<Assignment> parseAssignmentRecord(QByteArrayView content)
{
    if (content.size() < AssignmentRecordSize || content.front() != char(AssignmentRecordMarker.size()) ||
        content.sliced(1, AssignmentRecordMarker.size()) != AssignmentRecordMarker) {
        return std::nullopt;
    }
    Assignment assignment;
    assignment.reserve(AssignmentButtonCount);
    for (int i = 0; i < AssignmentButtonCount; ++i) {
        const qsizetype entry = RecordEntriesOffset + RecordEntrySize * i;
        // A length beyond the entry's three glyph bytes would read into the next entry.
        const int length = std::min(int(static_cast<unsigned char>(content[entry])), RecordEntryGlyphs);
        assignment.append(withoutLineBreaks(content.sliced(entry + 1, length)));
    }
    return assignment;
}

std::optional<Assignment> parseAssignment(const QByteArray &content)
{
    if (std::optional<Assignment> profile = parseAssignmentProfile(content)) {
        return profile;
    }
    return parseAssignmentRecord(content);
}

std::optional<Assignment> readAssignmentFile(const QString &path)
{
    return readAssignmentFile(QFile::encodeName(path));
}

std::optional<Assignment> readAssignmentFile(const QByteArray &localName)
{
    const std::optional<QByteArray> content = readLocalFile(localName, MaxAssignmentFileSize);
    if (!content) {
        return std::nullopt;
    }
    return parseAssignment(*content);
}

std::optional<QByteArray> assignmentProfileContent(const Assignment &assignment)
{
    ProfileDocument document;
    for (int i = 0; i < AssignmentButtonCount; ++i) {
        QByteArray value = assignment.value(i);
        if (needsQuotes(value)) {
            value.prepend('"').append('"');
        }
        if (!document.writeString(AssignmentSection, keyName(i), value)) {
            return std::nullopt;
        }
    }
    return document.content();
}

bool writeAssignmentFile(const QString &path, const Assignment &assignment)
{
    const std::optional<QByteArray> content = assignmentProfileContent(assignment);
    return content && ProfileFile(path).save(ProfileDocument(*content));
}

std::optional<QByteArray> appendedGlyphs(const QByteArray &current, const QByteArray &glyphs)
{
    if (current.size() + glyphs.size() > MaxButtonGlyphs) {
        return std::nullopt;
    }
    return current + glyphs;
}

} // namespace Sprelio
