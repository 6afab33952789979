#include "storage/profilefile.h"

#include "storage/localfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstring>
#include <limits>

namespace Sprelio {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Latin-1 folding would make distinct phonetic glyph bytes equal, so names fold ASCII letters only.
bool sameName(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

QByteArrayView trimmedBlanks(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    return text.sliced(begin, end - begin);
}

// Offset of the first c in text, or -1.
qsizetype offsetOf(QByteArrayView text, char c)
{
    if (text.isEmpty()) {
        return -1;
    }
    const void *hit = std::memchr(text.data(), c, static_cast<size_t>(text.size()));
    return hit ? static_cast<const char *>(hit) - text.data() : -1;
}

bool hasLineBreak(QByteArrayView text)
{
    return offsetOf(text, '\n') >= 0 || offsetOf(text, '\r') >= 0;
}

bool hasOuterBlank(QByteArrayView text)
{
    return !text.isEmpty() && (isBlank(text.front()) || isBlank(text.back()));
}

enum class LineKind { Other, Section, Key };

struct Line
{
    qsizetype begin = 0;
    qsizetype next = 0; // start of the following line, or the end of the content
    LineKind kind = LineKind::Other;
    QByteArrayView name;
    QByteArrayView value; // key lines: the text after the '=', blanks dropped, quotes kept
};

constexpr QByteArrayView Utf8Bom = "\xEF\xBB\xBF";

// Offset of the first CR or LF in text, or -1.
qsizetype lineBreakIn(QByteArrayView text)
{
    const qsizetype lf = offsetOf(text, '\n');
    const qsizetype cr = offsetOf(lf < 0 ? text : text.first(lf), '\r');
    return cr >= 0 ? cr : lf;
}

// Where the line break at offset pos of content ends: CR LF counts as one break.
qsizetype afterLineBreak(QByteArrayView content, qsizetype pos)
{
    return content[pos] == '\r' && pos + 1 < content.size() && content[pos + 1] == '\n' ? pos + 2 : pos + 1;
}

Line lineAt(QByteArrayView content, qsizetype begin)
{
    Line line;
    line.begin = begin;
    const qsizetype lineBreak = lineBreakIn(content.sliced(begin));
    const qsizetype end = lineBreak < 0 ? content.size() : begin + lineBreak;
    line.next = lineBreak < 0 ? content.size() : afterLineBreak(content, end);
    // Editors that save UTF-8 mark the file with a byte order mark, which is no part of the first line.
    const qsizetype textBegin = begin == 0 && content.startsWith(Utf8Bom) ? Utf8Bom.size() : begin;

    const QByteArrayView text =
        trimmedBlanks(content.sliced(textBegin, std::max(textBegin, end) - textBegin));
    if (text.isEmpty() || text.front() == ';') {
        return line;
    }
    if (text.front() == '[') {
        QByteArrayView name = text.sliced(1);
        const qsizetype close = offsetOf(name, ']');
        if (close >= 0) {
            name = name.first(close);
        }
        line.kind = LineKind::Section;
        line.name = trimmedBlanks(name);
        return line;
    }
    const qsizetype equals = offsetOf(text, '=');
    if (equals < 0) {
        return line;
    }
    line.name = trimmedBlanks(text.first(equals));
    if (line.name.isEmpty()) {
        return line;
    }
    line.kind = LineKind::Key;
    line.value = trimmedBlanks(text.sliced(equals + 1));
    return line;
}

struct Location
{
    bool sectionFound = false;
    bool sectionHasKeys = false;
    qsizetype insertAt = -1; // after the section's last key line, or after its header
    std::optional<Line> key;
};

// One pass over the content, ending at the first matching key or at the end of the section.
Location locate(QByteArrayView content, QByteArrayView section, QByteArrayView key)
{
    Location found;
    bool inSection = false;
    for (qsizetype pos = 0; pos < content.size();) {
        const Line line = lineAt(content, pos);
        pos = line.next;
        if (line.kind == LineKind::Section) {
            if (inSection) {
                break;
            }
            if (!found.sectionFound && sameName(line.name, section)) {
                inSection = true;
                found.sectionFound = true;
                found.insertAt = line.next;
            }
        } else if (inSection && line.kind == LineKind::Key) {
            found.sectionHasKeys = true;
            found.insertAt = line.next;
            if (sameName(line.name, key)) {
                found.key = line;
                break;
            }
        }
    }
    return found;
}

QByteArray readValue(QByteArrayView raw)
{
    if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') && raw.back() == raw.front()) {
        raw = raw.sliced(1, raw.size() - 2);
    }
    return raw.first(qMin(raw.size(), ProfileDocument::MaxValueLength)).toByteArray();
}

// The line end that the content uses, so that written lines match it: the first one found, or
// CR LF when there is none yet.
QByteArrayView lineEndOf(QByteArrayView content)
{
    const qsizetype lineBreak = lineBreakIn(content);
    if (lineBreak < 0) {
        return "\r\n";
    }
    if (content[lineBreak] == '\n') {
        return "\n";
    }
    return afterLineBreak(content, lineBreak) == lineBreak + 2 ? QByteArrayView("\r\n")
                                                               : QByteArrayView("\r");
}

// What must precede text appended at the end of content so that it starts a line of its own.
QByteArrayView lineBreakBeforeEnd(const QByteArray &content, QByteArrayView lineEnd)
{
    if (content.isEmpty() || content == Utf8Bom || content.endsWith('\n')) {
        return {};
    }
    if (content.endsWith('\r')) {
        // A lone CR already ends the line; in a CR LF file it is completed, so that the file keeps
        // one kind of line end.
        return lineEnd == "\r\n" ? QByteArrayView("\n") : QByteArrayView();
    }
    return lineEnd;
}

} // namespace

std::optional<QByteArray> ProfileDocument::value(QByteArrayView section, QByteArrayView key) const
{
    const Location found = locate(m_content, section, key);
    if (!found.key) {
        return std::nullopt;
    }
    return readValue(found.key->value);
}

QList<std::optional<QByteArray>> ProfileDocument::values(QByteArrayView section,
                                                         const QList<QByteArray> &keys) const
{
    QList<std::optional<QByteArray>> found(keys.size());
    bool inSection = false;
    bool sectionSeen = false;
    for (qsizetype pos = 0; pos < m_content.size();) {
        const Line line = lineAt(m_content, pos);
        pos = line.next;
        if (line.kind == LineKind::Section) {
            if (inSection) {
                break;
            }
            inSection = !sectionSeen && sameName(line.name, section);
            sectionSeen = sectionSeen || inSection;
        } else if (inSection && line.kind == LineKind::Key) {
            for (qsizetype i = 0; i < keys.size(); ++i) {
                if (!found[i] && sameName(line.name, keys[i])) {
                    found[i] = readValue(line.value);
                }
            }
        }
    }
    return found;
}

QByteArray ProfileDocument::readString(QByteArrayView section, QByteArrayView key,
                                       const QByteArray &defaultValue) const
{
    return value(section, key).value_or(defaultValue);
}

int ProfileDocument::readInteger(QByteArrayView section, QByteArrayView key, int defaultValue) const
{
    const std::optional<QByteArray> text = value(section, key);
    if (!text) {
        return defaultValue;
    }
    return parseInteger(*text).value_or(defaultValue);
}

bool ProfileDocument::readBool(QByteArrayView section, QByteArrayView key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool ProfileDocument::sectionHasKeys(QByteArrayView section) const
{
    return locate(m_content, section, QByteArrayView()).sectionHasKeys;
}

bool ProfileDocument::writeString(QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    if (!isStorable(section, key, value)) {
        return false;
    }

    const QByteArrayView lineEnd = lineEndOf(m_content);
    QByteArray keyLine;
    keyLine.reserve(key.size() + value.size() + 3);
    keyLine.append(key).append('=').append(value).append(lineEnd);

    const Location found = locate(m_content, section, key);
    // A line ended by a lone CR must not be followed by an LF, or the two would read as one CR LF
    // break and the empty line after it would be lost.
    const qsizetype followedAt = found.key ? found.key->next : found.sectionFound ? found.insertAt : -1;
    if (lineEnd == "\r" && followedAt >= 0 && followedAt < m_content.size() &&
        m_content[followedAt] == '\n') {
        keyLine.append('\n');
    }
    if (found.key) {
        m_content.replace(found.key->begin, found.key->next - found.key->begin, keyLine);
    } else if (found.sectionFound) {
        if (found.insertAt == m_content.size()) {
            keyLine.prepend(lineBreakBeforeEnd(m_content, lineEnd));
        }
        m_content.insert(found.insertAt, keyLine);
    } else {
        m_content.append(lineBreakBeforeEnd(m_content, lineEnd)).append('[').append(section).append(']');
        m_content.append(lineEnd).append(keyLine);
    }
    return true;
}

bool ProfileDocument::writeInteger(QByteArrayView section, QByteArrayView key, int value)
{
    return writeString(section, key, QByteArray::number(value));
}

bool ProfileDocument::writeBool(QByteArrayView section, QByteArrayView key, bool value)
{
    return writeString(section, key, value ? "1" : "0");
}

bool ProfileDocument::isStorable(QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    const bool sectionOk =
        !section.isEmpty() && !hasLineBreak(section) && !hasOuterBlank(section) && offsetOf(section, ']') < 0;
    const bool keyOk = !key.isEmpty() && !hasLineBreak(key) && !hasOuterBlank(key) &&
                       offsetOf(key, '=') < 0 && key.front() != '[' && key.front() != ';';
    return sectionOk && keyOk && !hasLineBreak(value);
}

std::optional<int> ProfileDocument::parseInteger(QByteArrayView text)
{
    qsizetype i = 0;
    bool negative = false;
    if (!text.isEmpty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        ++i;
    }
    if (i == text.size()) {
        return std::nullopt;
    }

    constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit) {
            return std::nullopt;
        }
    }
    const qint64 result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(result);
}

ProfileDocument ProfileFile::load() const
{
    return loadExisting().value_or(ProfileDocument());
}

std::optional<ProfileDocument> ProfileFile::loadExisting(QString *why) const
{
    const QByteArray name = QFile::encodeName(m_path);
    if (!localFileExists(name)) {
        return ProfileDocument();
    }
    // A file that exists but cannot be read whole must not be replaced by one holding a single key.
    std::optional<QByteArray> content = readLocalFile(name, MaxProfileFileSize);
    if (!content) {
        if (why != nullptr) {
            *why = unreadableReason(name);
        }
        return std::nullopt;
    }
    return ProfileDocument(std::move(*content));
}

QString ProfileFile::unreadableReason(const QByteArray &name) const
{
    const QFileInfo info(m_path);
    if (!isLocalRegularFile(name)) {
        return QStringLiteral("not a file");
    }
    if (info.size() > MaxProfileFileSize) {
        return QStringLiteral("larger than %1 MiB").arg(MaxProfileFileSize / (qint64(1024) * 1024));
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        return file.errorString();
    }
    return QStringLiteral("read error");
}

bool ProfileFile::save(const ProfileDocument &document, QString *why) const
{
    QSaveFile file(m_path);
    const auto failed = [&file, why] {
        if (why != nullptr) {
            *why = file.errorString();
        }
        return false;
    };
    if (!file.open(QIODevice::WriteOnly)) {
        return failed();
    }
    // A write cut short by a full disk shows only in flush(): commit() would put the cut file in place
    // of the old one and report success.
    if (file.write(document.content()) != document.content().size() || !file.flush()) {
        const bool result = failed();
        file.cancelWriting();
        return result;
    }
    return file.commit() || failed();
}

} // namespace Sprelio
