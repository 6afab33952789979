#include "assignments/assignmentfile.h"

#include "app/profilefile.h"

#include <QFile>
#include <QFileInfo>

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

// No glyph lies below 32, and a control byte kept on a button would break the line it is saved on.
QByteArray withoutControlBytes(QByteArrayView bytes)
{
    QByteArray kept;
    kept.reserve(bytes.size());
    for (const char byte : bytes) {
        if (static_cast<unsigned char>(byte) >= 32) {
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
    Assignment assignment;
    assignment.reserve(AssignmentButtonCount);
    for (int i = 0; i < AssignmentButtonCount; ++i) {
        QByteArray value = document.readString(AssignmentSection, keyName(i));
        // A CR inside a line is kept by the profile rules but could never be written back.
        value.replace('\r', QByteArray());
        assignment.append(value);
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
        assignment.append(withoutControlBytes(content.sliced(entry + 1, length)));
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
    // Only a regular file: opening a pipe could wait forever, and a device could read forever.
    if (!QFileInfo(path).isFile()) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray content = file.read(MaxAssignmentFileSize);
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return parseAssignment(content);
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
