#include "convert/glyphruns.h"

#include "palette/unicodeipa.h"

#include <array>

namespace Sprelio {

namespace {

// The Windows-1252 characters of the bytes 0x80 to 0x9F; zero where the code page leaves a byte
// unassigned (the C1 character of such a byte is read as Latin-1).
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

constexpr char16_t SymbolFontBase = 0xF000;
constexpr int FirstGlyph = 32;

bool isMark(const QString &part)
{
    return !part.isEmpty() && part.front().category() == QChar::Mark_NonSpacing;
}

} // namespace

std::optional<Glyph> glyphCodeOfCharacter(char16_t character)
{
    if (character >= SymbolFontBase + FirstGlyph && character <= SymbolFontBase + 0xFF) {
        return static_cast<Glyph>(character - SymbolFontBase);
    }
    if (character >= FirstGlyph && character <= 0xFF) {
        return static_cast<Glyph>(character);
    }
    for (std::size_t i = 0; i < Windows1252High.size(); ++i) {
        if (Windows1252High[i] != 0 && Windows1252High[i] == character) {
            return static_cast<Glyph>(0x80 + i);
        }
    }
    return std::nullopt;
}

QString firstFace(const QString &faceName)
{
    return faceName.section(QLatin1Char(';'), 0, 0).trimmed();
}

bool isPhoneticFace(const QString &faceName, const QStringList &extraFaces)
{
    const QString face = firstFace(faceName);
    if (face.isEmpty()) {
        return false;
    }
    if (face.compare(QLatin1String("Lautbild Serif"), Qt::CaseInsensitive) == 0 ||
        face.compare(QLatin1String("Lautbild Sans Serif"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    return extraFaces.contains(face, Qt::CaseInsensitive);
}

ConvertedRun convertGlyphRun(const QStringList &stretches)
{
    ConvertedRun run;
    run.stretches.reserve(stretches.size());
    // The stretch that holds the last base, or -1 after a blank or before the first base.
    qsizetype baseStretch = -1;
    for (const QString &source : stretches) {
        run.stretches.append(QString());
        const qsizetype here = run.stretches.size() - 1;
        for (const QChar character : source) {
            const std::optional<Glyph> code = glyphCodeOfCharacter(character.unicode());
            if (!code) {
                // Not a glyph of the fonts (a tab, a character typed in some other way): kept,
                // and no mark after it reaches back over it.
                run.stretches[here].append(character);
                baseStretch = -1;
                continue;
            }
            ++run.symbols;
            const QString part = unicodeForGlyph(*code);
            if (isMark(part)) {
                if (baseStretch < 0) {
                    run.stretches[here].append(QChar(DottedCircle));
                    baseStretch = here;
                }
                run.stretches[baseStretch].append(part);
                continue;
            }
            run.stretches[here].append(part);
            baseStretch = part.back().isSpace() ? -1 : here;
        }
    }
    // Every combining sequence lies inside one stretch, so each normalises on its own.
    for (QString &text : run.stretches) {
        text = text.normalized(QString::NormalizationForm_C);
    }
    return run;
}

} // namespace Sprelio
