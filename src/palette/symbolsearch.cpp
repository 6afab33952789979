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

std::optional<Glyph> codePointQuery(const QString &query)
{
    if (!query.startsWith(QLatin1String("U+"), Qt::CaseInsensitive)) {
        return std::nullopt;
    }
    bool ok = false;
    const uint codePoint = query.mid(2).toUInt(&ok, 16);
    if (!ok || codePoint > 0x10FFFF) {
        return std::nullopt;
    }
    const auto character = static_cast<char32_t>(codePoint);
    return glyphForUnicode(QString::fromUcs4(&character, 1));
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
