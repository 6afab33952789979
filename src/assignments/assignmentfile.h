#pragma once

// Button assignment files (".vkc"): the glyph strings of the 50 palette buttons.
//
// Two forms exist on disk. The profile form is an ini file with the section "Sprelio-Buttons" and the
// keys "1" to "50"; it is the only form written. The record form is an older fixed record of 294 bytes
// starting with the marker "Sprelio-2.0"; it is still read.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace Sprelio {

/// The 50 glyph strings of an assignment, index i belonging to palette button i.
using Assignment = QList<QByteArray>;

inline constexpr int AssignmentButtonCount = 50;
inline constexpr QByteArrayView AssignmentSection = "Sprelio-Buttons";
inline constexpr qsizetype AssignmentRecordSize = 294;
inline constexpr QByteArrayView AssignmentRecordMarker = "Sprelio-2.0";
/// Longest glyph string that appending builds on one button: an entry of the built-in assignment.
inline constexpr qsizetype MaxButtonGlyphs = 64;
/// A larger file is no assignment file; a real one is a few hundred bytes.
inline constexpr qint64 MaxAssignmentFileSize = qint64(16) * 1024 * 1024;

/// The assignment of a profile-form content, or nothing when its section holds no key.
/// Missing keys give empty glyph strings.
std::optional<Assignment> parseAssignmentProfile(const QByteArray &content);

/// The assignment of a record-form content, or nothing when it is too short or its marker is wrong.
/// Bytes after the record are ignored, and so are CR and LF in glyph strings, which no line can hold.
std::optional<Assignment> parseAssignmentRecord(QByteArrayView content);

/// The assignment of a file content in either form, the profile form tried first.
std::optional<Assignment> parseAssignment(const QByteArray &content);

/// Reads an assignment file whole; nothing when it is no regular readable file, is larger than
/// MaxAssignmentFileSize or holds no assignment.
std::optional<Assignment> readAssignmentFile(const QString &path);
/// Reads the assignment file whose name has these bytes in the local 8-bit encoding; see above.
std::optional<Assignment> readAssignmentFile(const QByteArray &localName);

/// The bytes of the profile form: the section header, then the keys 1 to 50, each line ending in CR LF.
/// Nothing when a glyph string holds a line break. Missing entries are written empty.
std::optional<QByteArray> assignmentProfileContent(const Assignment &assignment);

/// Replaces the file with the profile form of the assignment in one step; the old file stays whole
/// when that fails. False on failure.
bool writeAssignmentFile(const QString &path, const Assignment &assignment);

/// The glyph string of a button after appending glyphs, or nothing when it would exceed MaxButtonGlyphs.
std::optional<QByteArray> appendedGlyphs(const QByteArray &current, const QByteArray &glyphs);

} // namespace Sprelio
