#include "palette/notations.h"

#include "palette/unicodeipa.h"

#include <QList>
#include <QLoggingCategory>

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <memory>
#include <mutex>

namespace Sprelio {

namespace {

Q_LOGGING_CATEGORY(lcNotations, "sprelio.notations")

struct SymbolEntry
{
    char32_t ch;
    const char *text;
};

template <std::size_t N> const char *lookUp(const SymbolEntry (&table)[N], char32_t ch)
{
    for (const SymbolEntry &entry : table) {
        if (entry.ch == ch) {
            return entry.text;
        }
    }
    return nullptr;
}

// A base character and the combining marks that follow it, in canonical order.
struct Cluster
{
    char32_t base = 0;
    bool hasBase = false;
    QList<char32_t> marks;
};

constexpr char32_t CombiningTie = 0x0361;
constexpr char32_t Cedilla = 0x0327;

// The Unicode IPA decomposed, so that every accent is a mark of its own after its base. The
// dotted circle that carries a bare mark in the Unicode text is no symbol: the notations write
// the mark alone.
QList<Cluster> clustersOf(const QByteArray &glyphs)
{
    QList<Cluster> clusters;
    const QString text = glyphsToUnicodeIpa(glyphs).normalized(QString::NormalizationForm_D);
    for (const char32_t ch : text.toUcs4()) {
        const bool mark = QChar::category(ch) == QChar::Mark_NonSpacing;
        if (mark && !clusters.isEmpty()) {
            Cluster &last = clusters.last();
            // The c cedilla is one letter in both notations, not a c with an accent.
            if (ch == Cedilla && last.base == U'c' && last.marks.isEmpty()) {
                last.base = U'\u00E7';
            } else {
                last.marks.append(ch);
            }
            continue;
        }
        Cluster cluster;
        if (mark) {
            cluster.marks.append(ch);
        } else if (ch != DottedCircle) {
            cluster.base = ch;
            cluster.hasBase = true;
        }
        clusters.append(cluster);
    }
    return clusters;
}

// ---------------------------------------------------------------------------------------------
// X-SAMPA

// What ICU's IPA transliterator leaves as it is, in the X-SAMPA chart's own symbols.
constexpr SymbolEntry XSampaCompletion[] = {
    {0x2016, "||"},  // major group, double bar
    {0x203F, "-\\"}, // linking
    {0xA71C, "!"},   // downstep
    {0xA71B, "^"},   // upstep
    {0x2197, "<R>"}, // global rise
    {0x2198, "<F>"}, // global fall
    {0x2009, " "},   // the half space: X-SAMPA knows no narrow space
    {DottedCircle, ""},
};

class IpaToXSampa final
{
public:
    IpaToXSampa()
    {
        UErrorCode status = U_ZERO_ERROR;
        m_transliterator.reset(
            icu::Transliterator::createInstance(icu::UnicodeString(u"IPA-XSampa"), UTRANS_FORWARD, status));
        if (U_FAILURE(status)) {
            m_transliterator.reset();
            qCWarning(lcNotations, "ICU has no IPA-XSampa transliterator: %s", u_errorName(status));
        }
    }

    /// The text with every IPA symbol that ICU knows in X-SAMPA; false when ICU is missing.
    bool convert(QString &text)
    {
        if (!m_transliterator) {
            return false;
        }
        icu::UnicodeString buffer(reinterpret_cast<const char16_t *>(text.constData()), int32_t(text.size()));
        {
            // One transliterator instance is not safe to share between threads at once.
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_transliterator->transliterate(buffer);
        }
        text = QString::fromUtf16(buffer.getBuffer(), buffer.length());
        return true;
    }

private:
    std::mutex m_mutex;
    std::unique_ptr<icu::Transliterator> m_transliterator;
};

// ---------------------------------------------------------------------------------------------
// TIPA

// Symbols: the shortcut characters of the T3 encoding where there is one, else the macro.
constexpr SymbolEntry TipaSymbols[] = {
    // vowels
    {0x0276, "\\OE"},
    {0x0251, "A"},
    {0x0252, "6"},
    {0x00E6, "\\ae"},
    {0x0250, "5"},
    {0x025B, "E"},
    {0x0153, "\\oe"},
    {0x025C, "3"},
    {0x025E, "\\textcloserevepsilon"},
    {0x028C, "2"},
    {0x0254, "O"},
    {0x0259, "@"},
    {0x00F8, "\\o"},
    {0x0258, "9"},
    {0x0275, "8"},
    {0x0264, "7"},
    {0x026A, "I"},
    {0x028F, "Y"},
    {0x028A, "U"},
    {0x0268, "1"},
    {0x0289, "0"},
    {0x026F, "W"},
    // plosives and nasals
    {0x0288, "\\:t"},
    {0x0256, "\\:d"},
    {0x025F, "\\textbardotlessj"},
    {0x0261, "g"},
    {0x0262, "\\;G"},
    {0x0294, "P"},
    {0x0271, "M"},
    {0x0273, "\\:n"},
    {0x0272, "\\textltailn"},
    {0x014B, "N"},
    {0x0274, "\\;N"},
    // trills, taps and flaps
    {0x0299, "\\;B"},
    {0x0280, "\\;R"},
    {0x027E, "R"},
    {0x027D, "\\:r"},
    // fricatives
    {0x0278, "F"},
    {0x03B2, "B"},
    {0x03B8, "T"},
    {0x00F0, "D"},
    {0x0283, "S"},
    {0x0292, "Z"},
    {0x00E7, "\\c{c}"},
    {0x029D, "J"},
    {0x0282, "\\:s"},
    {0x0290, "\\:z"},
    {0x0263, "G"},
    {0x03C7, "X"},
    {0x0281, "K"},
    {0x0127, "\\textcrh"},
    {0x0295, "Q"},
    {0x0266, "H"},
    {0x026C, "\\textbeltl"},
    {0x026E, "\\textlyoghlig"},
    // approximants
    {0x028B, "V"},
    {0x0279, "\\*r"},
    {0x027B, "\\:R"},
    {0x0270, "\\textturnmrleg"},
    {0x026D, "\\:l"},
    {0x028E, "L"},
    {0x029F, "\\;L"},
    // implosives
    {0x0253, "\\!b"},
    {0x0257, "\\!d"},
    {0x0284, "\\!j"},
    {0x0260, "\\!g"},
    {0x029B, "\\!G"},
    // other consonants
    {0x028D, "\\*w"},
    {0x0265, "4"},
    {0x029C, "\\;H"},
    {0x02A2, "\\textbarrevglotstop"},
    {0x02A1, "\\textbarglotstop"},
    {0x0255, "C"},
    {0x0291, "\\textctz"},
    {0x027A, "\\textturnlonglegr"},
    {0x0267, "\\texththeng"},
    // clicks
    {0x0298, "\\!o"},
    {0x01C0, "|"},
    {0x01C3, "!"},
    {0x01C2, "\\textdoublebarpipe"},
    {0x01C1, "\\textdoublepipe"},
    // suprasegmentals
    {0x02C8, "\""},
    {0x02CC, "\"\""},
    {0x02D0, ":"},
    {0x02D1, ";"},
    {'|', "\\textvertline"},
    {0x2016, "\\textdoublevertline"},
    {0xA71C, "\\textdownstep"},
    {0xA71B, "\\textupstep"},
    {0x2197, "\\textglobrise"},
    {0x2198, "\\textglobfall"},
    // spacing diacritics
    {0x02B0, "\\super{h}"},
    {0x02B7, "\\super{w}"},
    {0x02B2, "\\super{j}"},
    {0x02E0, "\\super{G}"},
    {0x02E4, "\\super{Q}"},
    {0x207F, "\\super{n}"},
    {0x02E1, "\\super{l}"},
    {0x02DE, "\\textrhoticity"},
    {0x02BC, "'"},
    // spaces
    {0x2009, "\\,"},
    // the characters that TeX reads as syntax, and the T3 encoding's own use of some of them
    {'\\', "\\textbackslash"},
    {'#', "\\*\\#"},
    {'$', "\\*\\$"},
    {'%', "\\*\\%"},
    {'&', "\\*\\&"},
    {'{', "\\*\\{"},
    {'}', "\\*\\}"},
    {'_', "\\textunderscore"},
    {'^', "\\textasciicircum"},
    {'~', "\\textasciitilde"},
    {'@', "\\*@"},
};

// Accents over or under the base, each a macro that takes the base as its argument.
constexpr SymbolEntry TipaAccents[] = {
    {0x0325, "\\r*"},
    {0x032C, "\\v*"},
    {0x0339, "\\textsubrhalfring"},
    {0x031C, "\\textsublhalfring"},
    {0x031F, "\\textsubplus"},
    {0x0320, "\\=*"},
    {0x0308, "\\\""},
    {0x033D, "\\textovercross"},
    {0x0329, "\\textsyllabic"},
    {0x032F, "\\textsubarch"},
    {0x0324, "\\\"*"},
    {0x0330, "\\~*"},
    {0x033C, "\\textseagull"},
    {0x0334, "\\textsuperimposetilde"},
    {0x031D, "\\textraising"},
    {0x031E, "\\textlowering"},
    {0x0318, "\\textadvancing"},
    {0x0319, "\\textretracting"},
    {0x032A, "\\textsubbridge"},
    {0x033A, "\\textinvsubbridge"},
    {0x033B, "\\textsubsquare"},
    {0x0303, "\\~"},
    {0x030B, "\\H"},
    {0x0301, "\\'"},
    {0x0304, "\\="},
    {0x0300, "\\`"},
    {0x030F, "\\textdoublegrave"},
    {0x030C, "\\v"},
    {0x0302, "\\^"},
    {0x0306, "\\u"},
    {0x0327, "\\c"},
};

// Marks that TIPA writes as a symbol after the base instead of an accent.
constexpr SymbolEntry TipaFollowingMarks[] = {
    {0x031A, "\\textcorner"},
};

bool isAsciiLetter(QChar ch)
{
    return (ch >= u'a' && ch <= u'z') || (ch >= u'A' && ch <= u'Z');
}

bool endsWithControlWord(const QString &text)
{
    qsizetype i = text.size();
    while (i > 0 && isAsciiLetter(text.at(i - 1))) {
        --i;
    }
    return i < text.size() && i > 0 && text.at(i - 1) == u'\\' && (i < 2 || text.at(i - 2) != u'\\');
}

// Characters that TeX or the T3 encoding join into another symbol when they meet: "" is the
// secondary stress, || the double pipe, '' and `` quotes, -- a dash, !` and ?` inverted marks.
bool joinsWithNeighbour(QChar ch)
{
    return QStringView(u"\"'`|-!?,<>").contains(ch);
}

// Appends a piece of TIPA so that it reads as it stands: a control word does not swallow the
// letter or the space after it, and two symbols do not become a ligature.
void appendTipa(QString &text, const QString &piece)
{
    if (piece.isEmpty()) {
        return;
    }
    if (!text.isEmpty()) {
        const QChar next = piece.front();
        const bool swallowed =
            endsWithControlWord(text) && (isAsciiLetter(next) || next == u' ' || next == u'*');
        const bool joined = joinsWithNeighbour(text.back()) && joinsWithNeighbour(next);
        if (swallowed || joined) {
            text.append(QStringLiteral("{}"));
        }
    }
    text.append(piece);
}

bool isAccentAbove(char32_t mark)
{
    return (mark >= 0x0300 && mark <= 0x0315) || mark == 0x033D;
}

QString tipaSymbol(char32_t ch)
{
    if (const char *text = lookUp(TipaSymbols, ch)) {
        return QString::fromLatin1(text);
    }
    if (ch < 0x80 && ch >= 0x20) {
        return QString(QChar(ch));
    }
    // Nothing of the glyph table lands here; anything else reads as unknown, not as a wrong symbol.
    return QStringLiteral("?");
}

QString tipaCluster(const Cluster &cluster)
{
    QString text;
    if (cluster.hasBase) {
        const bool accentAbove = std::any_of(cluster.marks.begin(), cluster.marks.end(), isAccentAbove);
        if (accentAbove && cluster.base == U'i') {
            text = QStringLiteral("\\i");
        } else if (accentAbove && cluster.base == U'j') {
            text = QStringLiteral("\\j");
        } else {
            text = tipaSymbol(cluster.base);
        }
    }
    for (const char32_t mark : cluster.marks) {
        if (mark == CombiningTie) {
            continue;
        }
        if (const char *accent = lookUp(TipaAccents, mark)) {
            text = QString::fromLatin1(accent) + QLatin1Char('{') + text + QLatin1Char('}');
        } else if (const char *following = lookUp(TipaFollowingMarks, mark)) {
            appendTipa(text, QString::fromLatin1(following));
        } else {
            appendTipa(text, QStringLiteral("?"));
        }
    }
    return text;
}

// ---------------------------------------------------------------------------------------------
// Praat

constexpr SymbolEntry PraatSymbols[] = {
    // vowels
    {0x0276, "\\Oe"},
    {0x0251, "\\as"},
    {0x0252, "\\ab"},
    {0x00E6, "\\ae"},
    {0x0250, "\\at"},
    {0x025B, "\\ef"},
    {0x0153, "\\oe"},
    {0x025C, "\\er"},
    {0x025E, "\\kb"},
    {0x028C, "\\vt"},
    {0x0254, "\\ct"},
    {0x0259, "\\sw"},
    {0x00F8, "\\o/"},
    {0x0258, "\\e-"},
    {0x0275, "\\o-"},
    {0x0264, "\\rh"},
    {0x026A, "\\ic"},
    {0x028F, "\\yc"},
    {0x028A, "\\hs"},
    {0x0268, "\\i-"},
    {0x0289, "\\u-"},
    {0x026F, "\\mt"},
    // plosives and nasals
    {0x0288, "\\t."},
    {0x0256, "\\d."},
    {0x025F, "\\j-"},
    {0x0261, "\\gs"},
    {0x0262, "\\gc"},
    {0x0294, "\\?g"},
    {0x0271, "\\mj"},
    {0x0273, "\\n."},
    {0x0272, "\\nj"},
    {0x014B, "\\ng"},
    {0x0274, "\\nc"},
    // trills, taps and flaps
    {0x0299, "\\bc"},
    {0x0280, "\\rc"},
    {0x027E, "\\fh"},
    {0x027D, "\\f."},
    // fricatives
    {0x0278, "\\ff"},
    {0x03B2, "\\bf"},
    {0x03B8, "\\tf"},
    {0x00F0, "\\dh"},
    {0x0283, "\\sh"},
    {0x0292, "\\zh"},
    {0x00E7, "\\c,"},
    {0x029D, "\\jc"},
    {0x0282, "\\s."},
    {0x0290, "\\z."},
    {0x0263, "\\gf"},
    {0x03C7, "\\cf"},
    {0x0281, "\\ri"},
    {0x0127, "\\h-"},
    {0x0295, "\\9e"},
    {0x0266, "\\h^"},
    {0x026C, "\\l-"},
    {0x026E, "\\lz"},
    // approximants
    {0x028B, "\\vs"},
    {0x0279, "\\rt"},
    {0x027B, "\\r."},
    {0x0270, "\\ml"},
    {0x026D, "\\l."},
    {0x028E, "\\yt"},
    {0x029F, "\\lc"},
    // implosives
    {0x0253, "\\b^"},
    {0x0257, "\\d^"},
    {0x0284, "\\j^"},
    {0x0260, "\\g^"},
    {0x029B, "\\G^"},
    // other consonants
    {0x028D, "\\wt"},
    {0x0265, "\\ht"},
    {0x029C, "\\hc"},
    {0x02A2, "\\9-"},
    {0x02A1, "\\?-"},
    {0x0255, "\\cc"},
    {0x0291, "\\zc"},
    {0x027A, "\\rl"},
    {0x0267, "\\hj"},
    // clicks
    {0x0298, "\\O."},
    {0x01C0, "\\|1"},
    {0x01C2, "\\|-"},
    {0x01C1, "\\|2"},
    // suprasegmentals
    {0x02C8, "\\'1"},
    {0x02CC, "\\'2"},
    {0x02D0, "\\:f"},
    {0x02D1, "\\.f"},
    {'|', "\\|f"},
    {0x203F, "\\_u"},
    // superscripts and in-line diacritics
    {0x02B0, "\\^h"},
    {0x02B7, "\\^w"},
    {0x02B2, "\\^j"},
    {0x02E0, "\\^g"},
    {0x207F, "\\^n"},
    {0x02E1, "\\^l"},
    {0x02DE, "\\hr"},
    {0x02BC, "\\ap"},
    // the backslash itself
    {'\\', "\\bs"},
};

constexpr SymbolEntry PraatMarks[] = {
    {0x0325, "\\0v"}, {0x0339, "\\3v"}, {0x031C, "\\cv"}, {0x031F, "\\+v"}, {0x0320, "\\-v"},
    {0x0308, "\\:^"}, {0x033D, "\\x^"}, {0x0329, "\\|v"}, {0x032F, "\\nv"}, {0x0324, "\\:v"},
    {0x0330, "\\~v"}, {0x031D, "\\T^"}, {0x031E, "\\Tv"}, {0x0318, "\\T("}, {0x0319, "\\T)"},
    {0x032A, "\\Nv"}, {0x033A, "\\Uv"}, {0x033B, "\\Dv"}, {0x0303, "\\~^"}, {0x031A, "\\cn"},
    {0x0301, "\\'^"}, {0x0304, "\\-^"}, {0x0300, "\\`^"}, {0x030C, "\\v^"}, {0x0302, "\\^^"},
    {0x0306, "\\N^"}, {0x0361, "\\li"},
};

QString praatCharacter(const SymbolEntry *table, std::size_t size, char32_t ch)
{
    for (std::size_t i = 0; i < size; ++i) {
        if (table[i].ch == ch) {
            return QString::fromLatin1(table[i].text);
        }
    }
    return QString::fromUcs4(&ch, 1);
}

} // namespace

QString glyphsToXSampa(const QByteArray &glyphs)
{
    static IpaToXSampa toXSampa;
    QString text = glyphsToUnicodeIpa(glyphs).normalized(QString::NormalizationForm_D);
    toXSampa.convert(text);
    QString ascii;
    ascii.reserve(text.size());
    for (const char32_t ch : text.toUcs4()) {
        if (ch >= 0x20 && ch < 0x7F) {
            ascii.append(QChar(ch));
        } else if (const char *completion = lookUp(XSampaCompletion, ch)) {
            ascii.append(QLatin1String(completion));
        } else {
            // Only printable ASCII goes out; what no table knows is marked, not dropped.
            ascii.append(QLatin1Char('?'));
        }
    }
    return ascii;
}

QString glyphsToTipa(const QByteArray &glyphs)
{
    const QList<Cluster> clusters = clustersOf(glyphs);
    if (clusters.isEmpty()) {
        return {};
    }
    constexpr char32_t Linking = 0x203F;
    QStringList pieces;
    for (qsizetype i = 0; i < clusters.size(); ++i) {
        const Cluster &cluster = clusters.at(i);
        if (cluster.base == Linking && cluster.marks.isEmpty()) {
            // The linking mark is TIPA's tie below the two symbols it joins: \t*{ab}.
            QString linked = pieces.isEmpty() ? QString() : pieces.takeLast();
            if (i + 1 < clusters.size() && !linked.isEmpty()) {
                appendTipa(linked, tipaCluster(clusters.at(++i)));
            }
            pieces.append(QStringLiteral("\\t*{") + linked + QLatin1Char('}'));
            continue;
        }
        QString piece = tipaCluster(cluster);
        // A tie joins its base with the next one under one bow: \t{tS}.
        bool tied = clusters.at(i).marks.contains(CombiningTie);
        while (tied) {
            const bool hasNext = i + 1 < clusters.size();
            if (hasNext) {
                ++i;
                appendTipa(piece, tipaCluster(clusters.at(i)));
            }
            piece = QStringLiteral("\\t{") + piece + QLatin1Char('}');
            tied = hasNext && clusters.at(i).marks.contains(CombiningTie);
        }
        pieces.append(piece);
    }
    QString body;
    for (const QString &piece : std::as_const(pieces)) {
        appendTipa(body, piece);
    }
    return QStringLiteral("\\textipa{") + body + QLatin1Char('}');
}

QString glyphsToPraat(const QByteArray &glyphs)
{
    QString text;
    for (const Cluster &cluster : clustersOf(glyphs)) {
        if (cluster.hasBase) {
            text += praatCharacter(PraatSymbols, std::size(PraatSymbols), cluster.base);
        }
        for (const char32_t mark : cluster.marks) {
            text += praatCharacter(PraatMarks, std::size(PraatMarks), mark);
        }
    }
    return text;
}

QString glyphsToNotation(Notation notation, const QByteArray &glyphs)
{
    switch (notation) {
    case Notation::XSampa:
        return glyphsToXSampa(glyphs);
    case Notation::Tipa:
        return glyphsToTipa(glyphs);
    case Notation::Praat:
        return glyphsToPraat(glyphs);
    case Notation::UnicodeIpa:
        break;
    }
    return glyphsToUnicodeIpa(glyphs);
}

std::optional<Notation> notationNamed(std::string_view name)
{
    if (name == "unicode") {
        return Notation::UnicodeIpa;
    }
    if (name == "xsampa") {
        return Notation::XSampa;
    }
    if (name == "tipa") {
        return Notation::Tipa;
    }
    if (name == "praat") {
        return Notation::Praat;
    }
    return std::nullopt;
}

} // namespace Sprelio
