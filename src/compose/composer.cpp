#include "compose/composer.h"

namespace Sprelio {

namespace {

Glyph firstByte(const QByteArray &text)
{
    return static_cast<Glyph>(text.front());
}

void setFirstByte(QByteArray &text, Glyph code)
{
    text[0] = static_cast<char>(code);
}

} // namespace

QByteArray Composer::markFor(Glyph mark, Glyph base)
{
    const bool narrow = NarrowSet.contains(base);
    if (mark == Codes::Voiceless) {
        // Over a descender the ring goes above, so height does not matter here.
        const bool descender = DescenderBeforeSet.contains(base) || DescenderAfterSet.contains(base);
        const ToneVariantRow row = *toneRowFor(Codes::Voiceless);
        if (descender) {
            return QByteArray(1, static_cast<char>(narrow ? row.narrowTall : row.tall));
        }
        return QByteArray(1, static_cast<char>(narrow ? row.narrow : row.mark));
    }
    if (const auto row = toneRowFor(mark)) {
        const bool tall = TallSet.contains(base);
        Glyph variant = row->mark;
        if (narrow && tall) {
            variant = row->narrowTall;
        } else if (tall) {
            variant = row->tall;
        } else if (narrow) {
            variant = row->narrow;
        }
        return QByteArray(1, static_cast<char>(variant));
    }
    // Mid-centralized is offered on its own button as the narrow form of the plain mark 38;
    // it takes the ordinary form over ordinary bases like every other mark.
    const Glyph rowMark = mark == Codes::MidCentralized ? Glyph{38} : mark;
    if (const auto row = narrowRowFor(rowMark)) {
        return QByteArray(1, static_cast<char>(narrow ? row->narrow : row->mark));
    }
    return {};
}

QByteArray Composer::withDiacritics(const QByteArray &symbol, const QList<Glyph> &diacritics)
{
    QByteArray text = symbol;
    if (text.size() == 1 && firstByte(text) == Codes::HalfSpaceButton) {
        text = QByteArray(1, static_cast<char>(Codes::HalfSpace));
    }
    if (text.isEmpty()) {
        return text;
    }
    for (const Glyph mark : diacritics) {
        if (AboveMarkSet.contains(mark)) {
            setFirstByte(text, baseVariantFor(firstByte(text)));
        }
        const Glyph base = firstByte(text);
        text.append(markFor(mark, base));
        if (mark == Codes::Voiceless && (base == 74 || base == 106)) {
            setFirstByte(text, baseVariantFor(base));
        }
    }
    return text;
}

Composition Composer::compose(const QByteArray &symbol, bool onPalette, const PendingMarks &pending)
{
    Composition result;
    if (pending.tie) {
        result.typed.append(static_cast<char>(Codes::Tie));
        result.tieConsumed = true;
    }
    if (pending.linking) {
        m_useAltLink = DescenderBeforeSet.contains(m_lastBaseChar);
    }

    const QByteArray unmarked = withDiacritics(symbol, {});
    if (unmarked.isEmpty()) {
        return result;
    }
    if (onPalette) {
        // Taken before the marks change the base or add to it.
        m_lastBaseChar = static_cast<Glyph>(unmarked.back());
    }
    const QByteArray text = withDiacritics(symbol, pending.diacritics);
    result.diacriticsConsumed = !pending.diacritics.isEmpty();

    if (pending.linking) {
        if (!m_useAltLink) {
            m_useAltLink = DescenderAfterSet.contains(m_lastBaseChar);
        }
        result.typed.append(static_cast<char>(m_useAltLink ? Codes::AltLinking : Codes::Linking));
        result.linkingConsumed = true;
    }
    result.typed.append(text);
    return result;
}

} // namespace Sprelio
