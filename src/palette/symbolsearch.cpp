#include "palette/symbolsearch.h"

#include "i18n/langstr.h"
#include "palette/chartable.h"
#include "palette/unicodeipa.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <optional>

namespace Sprelio {

namespace {

struct LookAlikeGroup
{
    char16_t letter;
    std::array<Glyph, 8> codes; // 0 ends the group
};

// What a reader who does not know the symbol's name would take it for.
constexpr LookAlikeGroup LookAlikeTable[] = {
    {u'a', {97, 65, 196, 195, 194}},
    {u'b', {98, 66, 222, 201}},
    {u'c', {120, 153, 225}},
    {u'd', {100, 68, 202, 240}},
    {u'e', {101, 69, 228, 244, 227, 226}},
    {u'f', {102, 245}},
    {u'g', {103, 132, 88, 204, 205}},
    {u'h', {104, 247, 155, 133, 72, 148}},
    {u'i', {105, 73, 237}},
    {u'j', {106, 154, 70, 203}},
    {u'k', {107}},
    {u'l', {108, 168, 209, 170, 76, 200}},
    {u'm', {109, 77, 249}},
    {u'n', {110, 241, 78, 199, 131}},
    {u'o', {111, 79, 246, 242, 214, 198, 211}},
    {u'p', {112}},
    {u'q', {113}},
    {u'r', {114, 151, 169, 149, 150, 82, 134}},
    {u's', {115, 99, 83}},
    {u't', {116, 208}},
    {u'u', {117, 250, 85, 249}},
    {u'v', {118, 86, 243}},
    {u'w', {119, 87, 251}},
    {u'x', {67, 75}},
    {u'y', {121, 89, 248}},
    {u'z', {122, 74, 224, 71}},
    {u'?', {255, 254, 253, 252}},
    {u'|', {124, 166, 135, 130}},
    {u'!', {33}},
};

struct SymbolAliases
{
    const char16_t *symbol; // the symbol's Unicode IPA
    const char16_t *names;  // its usual names in English and German, separated by '|'
};

// The names that linguists call the symbols by, beside the descriptions of the chart: the IPA's
// own letter names and the common ones in either language.
constexpr SymbolAliases AliasTable[] = {
    {u"\u0259", u"schwa|Schwa|Murmelvokal"},
    {u"\u0283", u"esh|Esch|sch-Laut"},
    {u"\u0292", u"ezh|yogh|Esch stimmhaft"},
    {u"\u00F0", u"eth|edh|Eth"},
    {u"\u03B8", u"theta|Theta"},
    {u"\u014B", u"engma|eng|agma|ng-Laut"},
    {u"\u0294", u"glottal stop|Knacklaut|Glottisschlag|Glottalverschluss|Stimmritzenverschluss"},
    {u"\u0295", u"pharyngeal fricative|reversed glottal stop"},
    {u"\u02B0", u"aspirated|aspiration|behaucht|Behauchung|Aspiration"},
    {u"\u0361", u"tie|tie bar|Ligaturbogen|Bindebogen|Verbindungsbogen"},
    {u"\u00E6", u"ash|ae ligature|ae-Ligatur"},
    {u"\u0251", u"alpha|script a|Alpha"},
    {u"\u0252", u"turned alpha|gedrehtes Alpha"},
    {u"\u0250", u"turned a|gedrehtes a"},
    {u"\u025B", u"epsilon|open e|offenes e|Epsilon"},
    {u"\u0254", u"open o|offenes o"},
    {u"\u026A", u"small capital i|kleines Kapitälchen i"},
    {u"\u028A", u"upsilon|horseshoe|Upsilon"},
    {u"\u028C", u"wedge|caret|turned v|Dach|gedrehtes v"},
    {u"\u0264", u"rams horn|baby gamma"},
    {u"\u0263", u"gamma|Gamma"},
    {u"\u03B2", u"beta|Beta"},
    {u"\u0278", u"phi|Phi"},
    {u"\u03C7", u"chi|Chi"},
    {u"\u00F8", u"slashed o|durchgestrichenes o"},
    {u"\u0153", u"oe ligature|oe-Ligatur"},
    {u"\u0268", u"barred i|durchgestrichenes i"},
    {u"\u0289", u"barred u|durchgestrichenes u"},
    {u"\u026F", u"turned m|gedrehtes m"},
    {u"\u028E", u"turned y|gedrehtes y"},
    {u"\u0279", u"turned r|gedrehtes r"},
    {u"\u027E", u"fish hook r|tap|flap|Tap|Flap"},
    {u"\u0281", u"inverted small capital r|Zäpfchen-r"},
    {u"\u0272", u"left tail n|palatal n"},
    {u"\u026C", u"belted l|Gürtel-l"},
    {u"\u026E", u"lezh"},
    {u"\u02D0", u"length mark|long|Längezeichen|lang"},
    {u"\u02C8", u"primary stress|stress mark|Hauptakzent|Hauptbetonung"},
    {u"\u02CC", u"secondary stress|Nebenakzent|Nebenbetonung"},
    {u"\u0303", u"tilde|nasalized|nasalised|nasaliert|Tilde"},
    {u"\u0325", u"ring below|Ring unten|Kringel"},
    {u"\u0329", u"syllabic|silbisch|silbentragend"},
};

// Lower case without accents, so that "verlangerung" finds "Verlängerung".
QString folded(const QString &text)
{
    QString out;
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    out.reserve(decomposed.size());
    for (const QChar ch : decomposed) {
        if (ch.category() != QChar::Mark_NonSpacing) {
            out.append(ch.toLower());
        }
    }
    return out.replace(QChar(0x00DF), QLatin1String("ss"));
}

QStringList words(const QString &text)
{
    QStringList list;
    QString word;
    for (const QChar ch : text) {
        if (ch.isLetterOrNumber()) {
            word.append(ch);
        } else if (!word.isEmpty()) {
            list.append(word);
            word.clear();
        }
    }
    if (!word.isEmpty()) {
        list.append(word);
    }
    return list;
}

bool describedBy(const QString &description, const QStringList &queryWords)
{
    const QStringList described = words(folded(description));
    for (const QString &wanted : queryWords) {
        const bool found = std::any_of(described.begin(), described.end(),
                                       [&wanted](const QString &word) { return word.startsWith(wanted); });
        if (!found) {
            return false;
        }
    }
    return true;
}

// "U+0283", or the hex digits alone as a character table prints them ("0283"). Without the prefix
// the query must hold a decimal digit and four to six hex digits, so that words such as "face"
// stay words.
std::optional<Glyph> codePointQuery(const QString &query)
{
    QString digits = query;
    if (query.startsWith(QLatin1String("U+"), Qt::CaseInsensitive)) {
        digits = query.mid(2);
    } else if (query.size() < 4 || query.size() > 6 ||
               std::none_of(query.begin(), query.end(), [](QChar ch) { return ch.isDigit(); })) {
        return std::nullopt;
    }
    bool ok = false;
    const uint codePoint = digits.toUInt(&ok, 16);
    if (!ok || codePoint > 0x10FFFF) {
        return std::nullopt;
    }
    const auto character = static_cast<char32_t>(codePoint);
    return glyphForUnicode(QString::fromUcs4(&character, 1));
}

// Whether a query is written in symbols rather than in words: it holds a combining mark or a
// character beyond the Latin letters.
bool writtenInSymbols(const QString &query)
{
    return std::any_of(query.begin(), query.end(), [](QChar ch) {
        return ch.category() == QChar::Mark_NonSpacing || ch.category() == QChar::Mark_Enclosing ||
               ch.unicode() >= 0x0250;
    });
}

} // namespace

QList<Glyph> lookAlikes(QChar letter)
{
    const char16_t wanted = letter.toLower().unicode();
    for (const LookAlikeGroup &group : LookAlikeTable) {
        if (group.letter == wanted) {
            QList<Glyph> codes;
            for (const Glyph code : group.codes) {
                if (code == 0) {
                    break;
                }
                codes.append(code);
            }
            return codes;
        }
    }
    return {};
}

QList<Glyph> findSymbols(const QString &query)
{
    const QString trimmed = query.trimmed();
    QList<Glyph> found;
    const auto add = [&found](Glyph code) {
        if (isDescribedGlyph(code) && !found.contains(code)) {
            found.append(code);
        }
    };
    if (trimmed.isEmpty()) {
        return found;
    }
    if (const auto code = glyphForUnicode(trimmed)) {
        add(describedGlyphFor(*code));
    }
    if (const auto code = codePointQuery(trimmed)) {
        add(describedGlyphFor(*code));
    }
    // A composed symbol ("ʃ̥") that is no glyph of its own finds its base and each of its marks.
    if (writtenInSymbols(trimmed)) {
        if (!found.isEmpty()) {
            return found;
        }
        for (const char32_t ch : trimmed.normalized(QString::NormalizationForm_D).toUcs4()) {
            if (const auto code = glyphForUnicode(QString::fromUcs4(&ch, 1))) {
                add(describedGlyphFor(*code));
            }
        }
        return found;
    }
    if (trimmed.size() == 1) {
        for (const Glyph code : lookAlikes(trimmed.front())) {
            add(code);
        }
        return found;
    }
    const QStringList queryWords = words(folded(trimmed));
    if (queryWords.isEmpty()) {
        return found;
    }
    // The usual names come first: "eth" is ð before it is any word that starts so.
    for (const SymbolAliases &aliases : AliasTable) {
        const QStringList names = QString::fromUtf16(aliases.names).split(QLatin1Char('|'));
        const bool named = std::any_of(names.begin(), names.end(), [&queryWords](const QString &name) {
            return describedBy(name, queryWords);
        });
        if (named) {
            if (const auto code = glyphForUnicode(QString::fromUtf16(aliases.symbol))) {
                add(describedGlyphFor(*code));
            }
        }
    }
    for (const Glyph code : CharGridCodes) {
        const int id = descriptionId(code);
        if (describedBy(stringResource(id + GermanOffset), queryWords) ||
            describedBy(stringResource(id + EnglishOffset), queryWords)) {
            add(code);
        }
    }
    return found;
}

} // namespace Sprelio
