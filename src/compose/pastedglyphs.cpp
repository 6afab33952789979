#include "compose/pastedglyphs.h"

#include "compose/composer.h"
#include "compose/keyboardbytes.h"
#include "palette/glyphtext.h"
#include "palette/unicodeipa.h"
#include "targets/rtfglyphs.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <algorithm>
#include <utility>

namespace Sprelio {

namespace {

struct ReverseTable
{
    QHash<uint, Glyph> single;
    QList<std::pair<QList<uint>, Glyph>> sequences; // symbols written with more than one character
};

const ReverseTable &reverseTable()
{
    static const ReverseTable table = [] {
        ReverseTable built;
        for (int code = 32; code < 256; ++code) {
            const QString text = unicodeForGlyph(static_cast<Glyph>(code));
            const std::optional<Glyph> found = glyphForUnicode(text);
            if (text.isEmpty() || !found) {
                continue;
            }
            // A variant code is only ever typed by the composition rules, which pick it again below.
            const Glyph described = describedGlyphFor(*found);
            const QList<uint> characters = text.toUcs4();
            if (characters.size() == 1) {
                built.single.insert(characters.front(), described);
            } else if (std::none_of(built.sequences.cbegin(), built.sequences.cend(),
                                    [&](const auto &entry) { return entry.first == characters; })) {
                built.sequences.append({characters, described});
            }
        }
        return built;
    }();
    return table;
}

bool isGlyphCharacter(char32_t ch)
{
    return ch >= GlyphCodeBase && ch <= GlyphCodeBase + 0xFFu;
}

// The characters to look up: whatever has no symbol of its own is taken apart, so that a
// precomposed letter reads as its base and its marks.
QList<uint> lookupCharacters(const QString &text)
{
    const ReverseTable &table = reverseTable();
    QList<uint> characters;
    for (const uint ch : text.normalized(QString::NormalizationForm_C).toUcs4()) {
        if (isGlyphCharacter(ch) || table.single.contains(ch)) {
            characters.append(ch);
        } else {
            const char32_t single = ch;
            characters.append(
                QString::fromUcs4(&single, 1).normalized(QString::NormalizationForm_D).toUcs4());
        }
    }
    return characters;
}

// One symbol with the marks written after it, typed as a click with those marks pending would.
struct Unit
{
    QByteArray symbol;
    QList<Glyph> pending; // marks the composition rules place
    QByteArray unplaced;  // marks typed as they are, after the rest
};

class IpaReader final
{
public:
    QByteArray read(const QString &text)
    {
        const QList<uint> characters = lookupCharacters(text);
        for (qsizetype i = 0; i < characters.size();) {
            i += take(characters, i);
        }
        flush();
        if (m_linking) {
            m_out.append(static_cast<char>(
                DescenderBeforeSet.contains(m_composer.LastBaseChar()) ? Codes::AltLinking : Codes::Linking));
        }
        return m_out;
    }

private:
    qsizetype take(const QList<uint> &characters, qsizetype at)
    {
        const char32_t ch = characters[at];
        if (isGlyphCharacter(ch)) {
            flush();
            m_out.append(static_cast<char>(ch - GlyphCodeBase));
            return 1;
        }
        if (ch == DottedCircle) {
            flush(); // it only carried a mark that had no base
            return 1;
        }
        for (const auto &[sequence, code] : reverseTable().sequences) {
            if (characters.mid(at, sequence.size()) == sequence) {
                startUnit(QByteArray(1, static_cast<char>(code)));
                return sequence.size();
            }
        }
        const auto found = reverseTable().single.constFind(ch);
        if (found == reverseTable().single.cend()) {
            const std::optional<char> byte = ch >= 0x20 ? windows1252Byte(ch) : std::nullopt;
            if (byte) {
                startUnit(QByteArray(1, *byte));
            }
            return 1;
        }
        const Glyph code = *found;
        if (isCombiningGlyph(code)) {
            mark(code);
        } else if (code == Codes::Linking) {
            flush();
            m_linking = true;
        } else {
            startUnit(QByteArray(1, static_cast<char>(code)));
        }
        return 1;
    }

    void mark(Glyph code)
    {
        if (!m_unit) {
            m_out.append(static_cast<char>(code));
        } else if (CombiningSet.contains(code)) {
            m_unit->pending.append(code);
        } else {
            m_unit->unplaced.append(static_cast<char>(code));
        }
    }

    void startUnit(const QByteArray &symbol)
    {
        flush();
        m_unit = Unit{symbol, {}, {}};
    }

    void flush()
    {
        if (!m_unit) {
            return;
        }
        PendingMarks pending;
        pending.diacritics = m_unit->pending;
        pending.linking = std::exchange(m_linking, false);
        const Glyph first = static_cast<Glyph>(m_unit->symbol.front());
        const bool blank = first == Codes::Space || first == Codes::HalfSpaceButton;
        m_out.append(m_composer.compose(m_unit->symbol, !blank, pending).typed);
        m_out.append(m_unit->unplaced);
        m_unit.reset();
    }

    Composer m_composer;
    std::optional<Unit> m_unit;
    bool m_linking = false;
    QByteArray m_out;
};

} // namespace

QByteArray unicodeIpaToGlyphs(const QString &text)
{
    return IpaReader().read(text);
}

QByteArray pastedTextToGlyphs(const QString &text)
{
    for (const char32_t ch : text.toUcs4()) {
        if (!isGlyphCharacter(ch) && !windows1252Byte(ch)) {
            return unicodeIpaToGlyphs(text);
        }
    }
    return typedTextToGlyphs(text);
}

QByteArray glyphsFromMimeData(const QMimeData &data)
{
    bool truncated = false;
    return glyphsFromMimeData(data, std::numeric_limits<qsizetype>::max(), &truncated);
}

QByteArray glyphsFromMimeData(const QMimeData &data, qsizetype limit, bool *truncated)
{
    // Rich text of a full line of glyphs takes some hundred kilobytes; a document's worth is not
    // read at all, so that a paste of any size takes no longer than that of a line.
    constexpr qsizetype RichTextLimit = qsizetype{4} * 1024 * 1024;
    *truncated = false;
    static const QStringList richFormats{
        QStringLiteral("text/rtf"), QStringLiteral("text/richtext"),
        QStringLiteral("application/x-qt-windows-mime;value=\"Rich Text Format\"")};
    for (const QString &format : richFormats) {
        if (!data.hasFormat(format)) {
            continue;
        }
        const QByteArray rich = data.data(format);
        if (rich.size() > RichTextLimit) {
            continue;
        }
        if (std::optional<QByteArray> glyphs = glyphsFromRtf(rich)) {
            if (glyphs->size() > limit) {
                glyphs->truncate(limit);
                *truncated = true;
            }
            return *glyphs;
        }
    }
    QString text = data.text();
    if (text.size() > limit) {
        text.truncate(limit);
        if (text.back().isHighSurrogate()) {
            text.chop(1);
        }
        *truncated = true;
    }
    QByteArray glyphs = pastedTextToGlyphs(text);
    if (glyphs.size() > limit) {
        glyphs.truncate(limit);
        *truncated = true;
    }
    return glyphs;
}

} // namespace Sprelio
