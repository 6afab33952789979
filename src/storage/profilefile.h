#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace Sprelio {

// Text in the Windows profile (ini) syntax, held in memory.
//
// Section and key names match without regard to ASCII case. Values are raw 8-bit bytes and never pass
// through a character set. Reading is lenient, since the files come from users and older versions;
// writing changes only the one line concerned and keeps every other byte as it was.
//
// The reading rules, which stored files rely on:
// - lines end in LF, CR LF or a lone CR; written lines end as the content's first line does, in
//   CR LF when it has none, so that a file keeps one kind of line end;
// - a UTF-8 byte order mark at the start is no part of the first line, and stays where it is;
// - a line whose first non-blank byte is '[' opens a section named up to the first ']'. Without a ']'
//   the name runs to the end of the line, as the Windows profile functions have it, so that a
//   hand-edited "[Settings" still finds its keys;
// - a line whose first non-blank byte is ';' is a comment;
// - any other line with an '=' is a key; the name runs up to the first '=', the value from after it
//   to the end of the line. Blanks (spaces and tabs) around both are dropped, then a pair of matching
//   single or double quotes around the value; a value is read up to MaxValueLength bytes;
// - lines without an '=' and key lines before the first section are ignored;
// - when a section name occurs twice, only its first occurrence counts, and within it the first line
//   of a key; writing follows the same rule, so a written value is the one read back.
class ProfileDocument final
{
public:
    /// Longest value a read returns; longer values are cut.
    static constexpr qsizetype MaxValueLength = 2047;

    /// An empty document.
    ProfileDocument() = default;
    /// A document holding the given file content.
    explicit ProfileDocument(QByteArray content)
        : m_content(std::move(content))
    {}

    /// The whole content, as it goes to the disk.
    const QByteArray &content() const { return m_content; }

    /// The value of the key, or nothing when the section or the key is missing.
    std::optional<QByteArray> value(QByteArrayView section, QByteArrayView key) const;
    /// The values of the keys, each as value() gives it, found in one pass over the content.
    QList<std::optional<QByteArray>> values(QByteArrayView section, const QList<QByteArray> &keys) const;
    /// The value of the key, or defaultValue when it is missing.
    QByteArray readString(QByteArrayView section, QByteArrayView key,
                          const QByteArray &defaultValue = QByteArray()) const;
    /// The decimal integer value of the key, or defaultValue when it is missing or no integer.
    int readInteger(QByteArrayView section, QByteArrayView key, int defaultValue) const;
    /// The key read as an integer, non-zero being true, or defaultValue when it is missing or no integer.
    bool readBool(QByteArrayView section, QByteArrayView key, bool defaultValue) const;
    /// Whether the section exists and holds at least one key.
    bool sectionHasKeys(QByteArrayView section) const;

    /// Sets the key's line, appending it to its section or the section to the content when missing.
    /// Fails, changing nothing, when a name or the value cannot be stored as one line (see isStorable).
    bool writeString(QByteArrayView section, QByteArrayView key, QByteArrayView value);
    /// Sets the key to the decimal form of value.
    bool writeInteger(QByteArrayView section, QByteArrayView key, int value);
    /// Sets the key to "1" or "0".
    bool writeBool(QByteArrayView section, QByteArrayView key, bool value);

    /// Whether section, key and value can be written so that they read back as the same names and
    /// stay on one line: no line breaks anywhere, names not empty, without outer blanks, a section
    /// without ']', a key without '=' and not starting with '[' or ';'.
    static bool isStorable(QByteArrayView section, QByteArrayView key, QByteArrayView value);

    /// The integer in text: an optional sign and decimal digits only, within the range of int.
    static std::optional<int> parseInteger(QByteArrayView text);

private:
    QByteArray m_content;
};

// A profile file on disk, read and written whole: load() reads the file afresh each time, and save()
// reaches the disk before it returns, through a temporary file that replaces the old one only when
// complete. Reading and changing keys is the document's business.
class ProfileFile final
{
public:
    /// A larger file is taken as unreadable: no real settings file comes near it.
    static constexpr qint64 MaxProfileFileSize = qint64(16) * 1024 * 1024;

    /// A profile file at path; nothing is read or created until it is used.
    explicit ProfileFile(QString path)
        : m_path(std::move(path))
    {}

    /// The file's path as given.
    QString path() const { return m_path; }

    /// The file's content; a missing or unreadable file gives an empty document.
    ProfileDocument load() const;
    /// The file's content for a change: empty for a missing file, nothing when a file exists but
    /// cannot be read whole (it must then be left alone); then why says why, when it is given.
    std::optional<ProfileDocument> loadExisting(QString *why = nullptr) const;
    /// Replaces the whole file with the document at once. False when the file could not be written;
    /// then why says why, when it is given.
    bool save(const ProfileDocument &document, QString *why = nullptr) const;

private:
    QString unreadableReason(const QByteArray &name) const;

    QString m_path;
};

} // namespace Sprelio
