#pragma once

// Every glyph of the chart and every variant code, each after a base that it is typed on, named
// by its code and description (English once LangOffset says so), for the tests that carry the whole table
// through another program.

#include "glyphbytes.h"
#include "i18n/langstr.h"
#include "palette/chartable.h"
#include "palette/glyphclasses.h"
#include "palette/unicodeipa.h"

#include <QList>

struct SymbolSample
{
    QByteArray name;
    QByteArray glyphs;
};

inline QList<SymbolSample> everySymbolWithItsBase()
{
    using namespace Sprelio;
    constexpr int A = 97;
    constexpr int T = 116;
    constexpr int DotlessI = 238;
    const auto named = [](int code, const QByteArray &glyphs) {
        const int described = describedGlyphFor(static_cast<Glyph>(code));
        QByteArray name =
            QByteArray::number(code) + ' ' + CharDescription(QByteArray(1, char(described))).toUtf8();
        if (glyphs.size() > 1) {
            name += " in " + glyphsToUnicodeIpa(glyphs).toUtf8();
        }
        return SymbolSample{name, glyphs};
    };
    QList<SymbolSample> samples;
    for (const Glyph code : CharGridCodes) {
        if (code == Codes::Tie) {
            samples.append(named(code, bytes({T, code, 115})));
        } else if (code == 197 || QList<int>{221, 215, 216, 217, 218, 219, 220, 39}.contains(code)) {
            // no audible release, the superscripts and the ejective follow a consonant
            samples.append(named(code, bytes({T, code})));
        } else if (code == 213) {
            samples.append(named(code, bytes({69, code})));
        } else if (isCombiningGlyph(code)) {
            samples.append(named(code, bytes({A, code})));
        } else {
            samples.append(named(code, bytes({code})));
        }
    }
    for (const ToneVariantRow &row : ToneVariantTable) {
        const bool voiceless = row.mark == Codes::Voiceless;
        samples.append(named(row.narrow, bytes({voiceless ? T : DotlessI, row.narrow})));
        samples.append(named(row.tall, bytes({voiceless ? 78 : 100, row.tall})));
        samples.append(named(row.narrowTall, bytes({voiceless ? 206 : 108, row.narrowTall})));
    }
    for (const NarrowVariantRow &row : NarrowVariantTable) {
        if (row.narrow != Codes::MidCentralized) {
            samples.append(
                named(row.narrow, bytes({AboveMarkSet.contains(row.mark) ? DotlessI : T, row.narrow})));
        }
    }
    samples.append(named(38, bytes({A, 38})));
    for (const BaseVariantRow &row : BaseVariantTable) {
        samples.append(named(row.variant, bytes({row.variant, 127})));
    }
    samples.append(named(Codes::HalfSpace, bytes({A, Codes::HalfSpace, 98})));
    samples.append(named(Codes::AltLinking, bytes({103, Codes::AltLinking, A})));
    return samples;
}
