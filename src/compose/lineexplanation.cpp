#include "compose/lineexplanation.h"

#include "palette/chartable.h"
#include "palette/unicodeipa.h"

#include <QStringList>

namespace Sprelio {

namespace {

// Beyond this a hint would grow taller than a screen.
constexpr int MaxExplainedSegments = 30;

enum class Role { Base, Attached, Tie, Blank };

// Written after their base but beside it, so they belong to its segment like a combining mark.
constexpr GlyphSet SpacingDiacritics{39, 58, 59, 197, 213, 215, 216, 217, 218, 219, 220, 221};

Role roleOf(Glyph code)
{
    if (code == Codes::Tie) {
        return Role::Tie;
    }
    if (code == Codes::Space || code == Codes::HalfSpaceButton || code == Codes::HalfSpace) {
        return Role::Blank;
    }
    if (SpacingDiacritics.contains(code) || isCombiningGlyph(code)) {
        return Role::Attached;
    }
    return Role::Base;
}

} // namespace

QList<QByteArray> glyphSegments(const QByteArray &glyphs)
{
    QList<QByteArray> segments;
    bool open = false;
    bool joinNext = false;
    for (const char byte : glyphs) {
        switch (roleOf(static_cast<Glyph>(byte))) {
        case Role::Blank:
            open = false;
            joinNext = false;
            continue;
        case Role::Tie:
            joinNext = true;
            break;
        case Role::Base:
            if (!joinNext) {
                open = false;
            }
            joinNext = false;
            break;
        case Role::Attached:
            break;
        }
        if (!open) {
            segments.append(QByteArray());
            open = true;
        }
        segments.last().append(byte);
    }
    return segments;
}

QString explainGlyphs(const QByteArray &glyphs)
{
    QStringList lines;
    for (const QByteArray &segment : glyphSegments(glyphs)) {
        QStringList names;
        for (const char byte : segment) {
            const Glyph described = describedGlyphFor(static_cast<Glyph>(byte));
            if (QString name = CharDescription(QByteArray(1, static_cast<char>(described)));
                !name.isEmpty()) {
                names.append(name);
            }
        }
        if (names.isEmpty()) {
            continue;
        }
        if (lines.size() == MaxExplainedSegments) {
            lines.append(QStringLiteral("\u2026"));
            break;
        }
        lines.append(glyphsToUnicodeIpa(segment) + QLatin1String(": ") + names.join(QLatin1String(" + ")));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace Sprelio
