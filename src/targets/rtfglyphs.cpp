#include "targets/rtfglyphs.h"

#include "compose/keyboardbytes.h"
#include "palette/glyphtext.h"

#include <QHash>
#include <QList>
#include <QString>

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>

namespace Sprelio {

namespace {

// Deeper nesting than any writer produces; the limit keeps a hostile text from growing the stack.
constexpr qsizetype MaxGroupDepth = 200;
constexpr int MaxFallbackCount = 16;

enum class Destination { Text, FontTable, Skipped };

struct GroupState
{
    Destination destination = Destination::Text;
    int font = -1; // -1: the document's default font
    int fallbackCount = 1;
};

// Groups whose text is not part of the document's text.
constexpr std::string_view SkippedDestinations[] = {
    "annotation",
    "author",
    "bkmkend",
    "bkmkstart",
    "colortbl",
    "comment",
    "datastore",
    "doccomm",
    "falt",
    "fldinst",
    "filetbl",
    "footer",
    "footerf",
    "footerl",
    "footerr",
    "footnote",
    "ftncn",
    "ftnsep",
    "ftnsepc",
    "generator",
    "header",
    "headerf",
    "headerl",
    "headerr",
    "info",
    "keywords",
    "latentstyles",
    "leveltext",
    "levelnumbers",
    "listtable",
    "listoverridetable",
    "listtext",
    "nonshppict",
    "object",
    "operator",
    "panose",
    "pict",
    "pntext",
    "revtbl",
    "rsidtbl",
    "stylesheet",
    "subject",
    "themedata",
    "title",
};

// Control words that stand for one character, with its Windows-1252 byte.
struct CharacterWord
{
    std::string_view word;
    char byte;
};

constexpr std::array<CharacterWord, 8> CharacterWords{{
    {"tab", '\t'},
    {"emdash", '\x97'},
    {"endash", '\x96'},
    {"bullet", '\x95'},
    {"lquote", '\x91'},
    {"rquote", '\x92'},
    {"ldblquote", '\x93'},
    {"rdblquote", '\x94'},
}};

bool isLetter(char ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}

bool isDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

int hexValue(char ch)
{
    if (isDigit(ch)) {
        return ch - '0';
    }
    if (ch >= 'a' && ch <= 'f') {
        return ch - 'a' + 10;
    }
    if (ch >= 'A' && ch <= 'F') {
        return ch - 'A' + 10;
    }
    return -1;
}

bool isPhoneticFace(const QString &name)
{
    const QString face = name.trimmed();
    return face.compare(phoneticFamily(false), Qt::CaseInsensitive) == 0 ||
           face.compare(phoneticFamily(true), Qt::CaseInsensitive) == 0;
}

// One pass over the text. Any flaw in the structure ends the reading with nothing, so that the
// paste falls back to the plain text rather than guessing.
class RtfReader final
{
public:
    explicit RtfReader(const QByteArray &rtf)
        : m_in(rtf)
    {}

    std::optional<QByteArray> read()
    {
        while (m_pos < m_in.size() && isSpace(m_in[m_pos])) {
            ++m_pos;
        }
        if (!m_in.mid(m_pos, 5).startsWith("{\\rtf")) {
            return std::nullopt;
        }
        while (m_ok && !m_done) {
            if (m_pos >= m_in.size()) {
                return std::nullopt; // cut off before the document's group closed
            }
            step();
        }
        if (!m_ok || m_foreign || m_glyphs.isEmpty()) {
            return std::nullopt;
        }
        return m_glyphs;
    }

private:
    static bool isSpace(char ch) { return ch == ' ' || ch == '\r' || ch == '\n' || ch == '\t'; }

    void step()
    {
        const char ch = m_in[m_pos++];
        switch (ch) {
        case '{':
            openGroup();
            return;
        case '}':
            closeGroup();
            return;
        case '\\':
            control();
            return;
        case '\r':
        case '\n':
            return; // line breaks in the file are not text
        default:
            character(ch);
            return;
        }
    }

    void openGroup()
    {
        if (m_stack.size() >= MaxGroupDepth) {
            m_ok = false;
            return;
        }
        m_stack.append(m_state);
        m_groupStart = true;
    }

    void closeGroup()
    {
        if (m_stack.isEmpty()) {
            m_ok = false;
            return;
        }
        if (m_state.destination == Destination::FontTable) {
            endFontEntry();
        }
        m_state = m_stack.takeLast();
        m_groupStart = false;
        m_skipFallback = 0;
        m_done = m_stack.isEmpty();
    }

    void control()
    {
        if (m_pos >= m_in.size()) {
            m_ok = false;
            return;
        }
        const char first = m_in[m_pos];
        if (!isLetter(first)) {
            ++m_pos;
            controlSymbol(first);
            m_groupStart = false;
            return;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_in.size() && isLetter(m_in[m_pos])) {
            ++m_pos;
        }
        const std::string_view word(m_in.constData() + start, static_cast<std::size_t>(m_pos - start));
        std::optional<int> parameter;
        if (m_pos < m_in.size() && (isDigit(m_in[m_pos]) || (m_in[m_pos] == '-' && m_pos + 1 < m_in.size() &&
                                                             isDigit(m_in[m_pos + 1])))) {
            parameter = readNumber();
        }
        if (m_pos < m_in.size() && m_in[m_pos] == ' ') {
            ++m_pos;
        }
        const bool groupStart = m_groupStart;
        m_groupStart = false;
        controlWord(word, parameter, groupStart);
    }

    int readNumber()
    {
        const bool negative = m_in[m_pos] == '-';
        if (negative) {
            ++m_pos;
        }
        qint64 value = 0;
        while (m_pos < m_in.size() && isDigit(m_in[m_pos])) {
            // Held to the range of int however many digits follow.
            value = std::min<qint64>(value * 10 + (m_in[m_pos] - '0'), qint64{1} << 31);
            ++m_pos;
        }
        return static_cast<int>(std::clamp<qint64>(negative ? -value : value, -2147483647 - 1, 2147483647));
    }

    void controlSymbol(char symbol)
    {
        switch (symbol) {
        case '\'': {
            if (m_pos + 2 > m_in.size() || hexValue(m_in[m_pos]) < 0 || hexValue(m_in[m_pos + 1]) < 0) {
                m_ok = false;
                return;
            }
            const int value = hexValue(m_in[m_pos]) * 16 + hexValue(m_in[m_pos + 1]);
            m_pos += 2;
            character(static_cast<char>(value));
            return;
        }
        case '*':
            if (m_groupStart) {
                m_state.destination = Destination::Skipped;
            }
            return;
        case '\\':
        case '{':
        case '}':
            character(symbol);
            return;
        case '~':
            character('\xA0');
            return;
        case '_':
            character('-');
            return;
        default:
            return; // optional hyphens, formula marks, escaped line breaks
        }
    }

    void controlWord(std::string_view word, std::optional<int> parameter, bool groupStart)
    {
        if (groupStart && word == "fonttbl") {
            m_state.destination = Destination::FontTable;
            return;
        }
        if (groupStart && std::find(std::begin(SkippedDestinations), std::end(SkippedDestinations), word) !=
                              std::end(SkippedDestinations)) {
            m_state.destination = Destination::Skipped;
            return;
        }
        if (word == "bin") {
            // Raw bytes follow that are never text, whatever they look like.
            m_pos += std::min<qsizetype>(std::max(parameter.value_or(0), 0), m_in.size() - m_pos);
            return;
        }
        if (word == "u" && parameter) {
            unicodeCharacter(*parameter);
            return;
        }
        if (word == "uc" && parameter) {
            m_state.fallbackCount = std::clamp(*parameter, 0, MaxFallbackCount);
            return;
        }
        if (word == "deff" && parameter) {
            m_defaultFont = *parameter;
            return;
        }
        if (word == "f" && parameter) {
            if (m_state.destination == Destination::FontTable) {
                endFontEntry();
                m_entryFont = *parameter;
            } else {
                m_state.font = *parameter;
            }
            return;
        }
        if (word == "plain") {
            m_state.font = -1;
            return;
        }
        for (const CharacterWord &entry : CharacterWords) {
            if (word == entry.word) {
                character(entry.byte);
                return;
            }
        }
    }

    void unicodeCharacter(int parameter)
    {
        // Writers store the code as a signed 16-bit number.
        const int code = parameter < 0 ? parameter + 0x10000 : parameter;
        std::optional<char> byte;
        if (code >= GlyphCodeBase && code <= GlyphCodeBase + 0xFF) {
            byte = static_cast<char>(code - GlyphCodeBase);
        } else if (code >= 0 && code < 0x100) {
            byte = static_cast<char>(code);
        } else if (code >= 0) {
            byte = windows1252Byte(static_cast<char32_t>(code));
        }
        if (m_state.destination == Destination::FontTable) {
            m_entryName.append(QChar(static_cast<char16_t>(code & 0xFFFF)));
        } else if (m_state.destination == Destination::Text) {
            if (byte) {
                textByte(*byte);
            } else {
                m_foreign = true;
            }
        }
        m_skipFallback = m_state.fallbackCount;
    }

    void character(char ch)
    {
        m_groupStart = false;
        if (m_skipFallback > 0) {
            --m_skipFallback;
            return;
        }
        switch (m_state.destination) {
        case Destination::FontTable:
            if (ch == ';') {
                endFontEntry();
            } else {
                m_entryName.append(QChar(static_cast<char16_t>(static_cast<unsigned char>(ch))));
            }
            return;
        case Destination::Text:
            textByte(ch);
            return;
        case Destination::Skipped:
            return;
        }
    }

    void textByte(char byte)
    {
        const int font = m_state.font >= 0 ? m_state.font : m_defaultFont;
        if (m_phoneticFonts.value(font, false)) {
            m_glyphs.append(byte);
        } else {
            m_foreign = true;
        }
    }

    void endFontEntry()
    {
        if (m_entryFont >= 0 && !m_entryName.trimmed().isEmpty()) {
            m_phoneticFonts.insert(m_entryFont, isPhoneticFace(m_entryName));
        }
        m_entryFont = -1;
        m_entryName.clear();
    }

    const QByteArray &m_in;
    qsizetype m_pos = 0;
    QList<GroupState> m_stack;
    GroupState m_state;
    bool m_groupStart = false;
    bool m_ok = true;
    bool m_done = false;
    bool m_foreign = false;
    int m_skipFallback = 0;
    int m_defaultFont = -1;
    int m_entryFont = -1;
    QString m_entryName;
    QHash<int, bool> m_phoneticFonts;
    QByteArray m_glyphs;
};

} // namespace

std::optional<QByteArray> glyphsFromRtf(const QByteArray &rtf)
{
    return RtfReader(rtf).read();
}

} // namespace Sprelio
