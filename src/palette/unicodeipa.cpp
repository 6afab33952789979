#include "palette/unicodeipa.h"

#include "palette/chartable.h"

#include <array>

namespace Sprelio {

namespace {

struct UnicodeEntry
{
    Glyph code;
    const char16_t *text;
};

// The described codes and the plain bracket codes. Variant codes are left out on purpose: they exist
// only so that the 8-bit fonts can place a mark, and they read as the code they stand for.
// The IPA's recommended code points are used throughout: script g, the click letters, the modifier
// letters for stress, length and the ejective, and the undertie for linking.
constexpr UnicodeEntry UnicodeTable[] = {
    // vowels
    {97, u"a"},
    {198, u"\u0276"}, // ɶ
    {65, u"\u0251"},  // ɑ
    {194, u"\u0252"}, // ɒ
    {195, u"\u00E6"}, // æ
    {196, u"\u0250"}, // ɐ
    {228, u"\u025B"}, // ɛ
    {214, u"\u0153"}, // œ
    {227, u"\u025C"}, // ɜ
    {226, u"\u025E"}, // ɞ
    {243, u"\u028C"}, // ʌ
    {79, u"\u0254"},  // ɔ
    {69, u"\u0259"},  // ə
    {101, u"e"},
    {246, u"\u00F8"}, // ø
    {244, u"\u0258"}, // ɘ
    {242, u"\u0275"}, // ɵ
    {81, u"\u0264"},  // ɤ
    {111, u"o"},
    {73, u"\u026A"}, // ɪ
    {89, u"\u028F"}, // ʏ
    {85, u"\u028A"}, // ʊ
    {105, u"i"},
    {121, u"y"},
    {237, u"\u0268"}, // ɨ
    {250, u"\u0289"}, // ʉ
    {249, u"\u026F"}, // ɯ
    {117, u"u"},
    // plosives
    {112, u"p"},
    {98, u"b"},
    {116, u"t"},
    {100, u"d"},
    {208, u"\u0288"}, // ʈ
    {68, u"\u0256"},  // ɖ
    {120, u"c"},
    {70, u"\u025F"}, // ɟ
    {107, u"k"},
    {103, u"\u0261"}, // ɡ, the IPA's letter, not the Latin g
    {113, u"q"},
    {132, u"\u0262"}, // ɢ
    {255, u"\u0294"}, // ʔ
    // nasals
    {109, u"m"},
    {77, u"\u0271"}, // ɱ
    {110, u"n"},
    {199, u"\u0273"}, // ɳ
    {241, u"\u0272"}, // ɲ
    {78, u"\u014B"},  // ŋ
    {131, u"\u0274"}, // ɴ
    // trills, taps and flaps
    {66, u"\u0299"}, // ʙ
    {114, u"r"},
    {82, u"\u0280"},  // ʀ
    {151, u"\u027E"}, // ɾ
    {169, u"\u027D"}, // ɽ
    // fricatives
    {245, u"\u0278"}, // ɸ
    {222, u"\u03B2"}, // β
    {102, u"f"},
    {118, u"v"},
    {223, u"\u03B8"}, // θ
    {240, u"\u00F0"}, // ð
    {115, u"s"},
    {122, u"z"},
    {83, u"\u0283"},  // ʃ
    {71, u"\u0292"},  // ʒ
    {153, u"\u00E7"}, // ç
    {154, u"\u029D"}, // ʝ
    {99, u"\u0282"},  // ʂ
    {74, u"\u0290"},  // ʐ
    {67, u"x"},
    {88, u"\u0263"},  // ɣ
    {75, u"\u03C7"},  // χ
    {134, u"\u0281"}, // ʁ
    {155, u"\u0127"}, // ħ
    {254, u"\u0295"}, // ʕ
    {104, u"h"},
    {247, u"\u0266"}, // ɦ
    {209, u"\u026C"}, // ɬ
    {170, u"\u026E"}, // ɮ
    // approximants
    {86, u"\u028B"},  // ʋ
    {149, u"\u0279"}, // ɹ
    {150, u"\u027B"}, // ɻ
    {106, u"j"},
    {251, u"\u0270"}, // ɰ
    {108, u"l"},
    {168, u"\u026D"}, // ɭ
    {248, u"\u028E"}, // ʎ
    {76, u"\u029F"},  // ʟ
    // implosives
    {201, u"\u0253"}, // ɓ
    {202, u"\u0257"}, // ɗ
    {203, u"\u0284"}, // ʄ
    {204, u"\u0260"}, // ɠ
    {205, u"\u029B"}, // ʛ
    // other consonant symbols
    {87, u"\u028D"}, // ʍ
    {119, u"w"},
    {72, u"\u0265"},  // ɥ
    {133, u"\u029C"}, // ʜ
    {252, u"\u02A2"}, // ʢ
    {253, u"\u02A1"}, // ʡ
    {225, u"\u0255"}, // ɕ
    {224, u"\u0291"}, // ʑ
    {200, u"\u027A"}, // ɺ
    {148, u"\u0267"}, // ɧ
    // clicks: the letters U+01C0 to U+01C3, not the punctuation they look like
    {211, u"\u0298"}, // ʘ
    {124, u"\u01C0"}, // ǀ
    {33, u"\u01C3"},  // ǃ
    {167, u"\u01C2"}, // ǂ
    {166, u"\u01C1"}, // ǁ
    // suprasegmentals
    {96, u"\u02C8"},  // ˈ
    {180, u"\u02CC"}, // ˌ
    {58, u"\u02D0"},  // ː
    {59, u"\u02D1"},  // ˑ
    {48, u"\u0306"},  // extra short, breve
    {46, u"."},
    {135, u"|"},
    {130, u"\u2016"}, // ‖
    {35, u"\u203F"},  // ‿ undertie
    {212, u"\u0361"}, // tie bar, written after the first of the two bases
    // diacritics
    {36, u"\u0325"},  // voiceless, ring below
    {54, u"\u032C"},  // voiced
    {221, u"\u02B0"}, // ʰ
    {43, u"\u0339"},  // more rounded
    {42, u"\u031C"},  // less rounded
    {64, u"\u031F"},  // advanced
    {53, u"\u0320"},  // retracted
    {51, u"\u0308"},  // centralized
    {174, u"\u033D"}, // mid-centralized
    {52, u"\u0329"},  // syllabic
    {49, u"\u032F"},  // non-syllabic
    {213, u"\u02DE"}, // ˞
    {50, u"\u0324"},  // breathy voiced
    {125, u"\u0330"}, // creaky voiced
    {37, u"\u033C"},  // linguolabial
    {215, u"\u02B7"}, // ʷ
    {216, u"\u02B2"}, // ʲ
    {217, u"\u02E0"}, // ˠ
    {218, u"\u02E4"}, // ˤ
    {126, u"\u0334"}, // velarized or pharyngealized, tilde overlay
    {63, u"\u031D"},  // raised
    {60, u"\u031E"},  // lowered
    {61, u"\u0318"},  // advanced tongue root
    {62, u"\u0319"},  // retracted tongue root
    {56, u"\u032A"},  // dental
    {55, u"\u033A"},  // apical
    {57, u"\u033B"},  // laminal
    {123, u"\u0303"}, // nasal
    {219, u"\u207F"}, // ⁿ
    {220, u"\u02E1"}, // ˡ
    {197, u"\u031A"}, // no audible release
    // tones and word accents: the level and contour tones are accents over the vowel here
    {40, u"\u030B"},
    {127, u"\u0301"},
    {129, u"\u0304"},
    {128, u"\u0300"},
    {41, u"\u030F"},
    {94, u"\u030C"},
    {95, u"\u0302"},
    {230, u"\uA71C"}, // ꜜ
    {229, u"\uA71B"}, // ꜛ
    {231, u"\u2197"}, // ↗
    {232, u"\u2198"}, // ↘
    // the diphthongs and affricates that the default palette offers as one glyph
    {192, u"a\u0361\u026A"},
    {193, u"a\u0361\u028A"},
    {210, u"\u0254\u0361\u028F"},
    {80, u"p\u0361f"},
    {90, u"t\u0361s"},
    {84, u"t\u0361\u0283"},
    // spaces and punctuation
    {32, u" "},
    {152, u"\u2009"}, // half space: a thin space
    {44, u","},
    {45, u"-"},
    {39, u"\u02BC"}, // ʼ ejective
    // the bracket buttons' codes
    {47, u"/"},
    {91, u"["},
    {92, u"\\"},
    {93, u"]"},
};

constexpr std::array<const char16_t *, 256> makeIndex()
{
    std::array<const char16_t *, 256> index{};
    for (const UnicodeEntry &entry : UnicodeTable) {
        index[entry.code] = entry.text;
    }
    return index;
}

constexpr std::array<const char16_t *, 256> UnicodeIndex = makeIndex();

constexpr bool everyCodeHasText()
{
    for (int code = 32; code < 256; ++code) {
        if (UnicodeIndex[describedGlyphFor(static_cast<Glyph>(code))] == nullptr) {
            return false;
        }
    }
    return true;
}

static_assert(everyCodeHasText(), "every glyph code from 32 to 255 needs its Unicode IPA");

bool isBlank(QChar ch)
{
    return ch.isSpace();
}

} // namespace

QString unicodeForGlyph(Glyph code)
{
    const char16_t *text = UnicodeIndex[describedGlyphFor(code)];
    return text != nullptr ? QString::fromUtf16(text) : QString();
}

bool isCombiningGlyph(Glyph code)
{
    const QString text = unicodeForGlyph(code);
    return !text.isEmpty() && text.front().category() == QChar::Mark_NonSpacing;
}

QString glyphsToUnicodeIpa(const QByteArray &glyphs)
{
    QString text;
    text.reserve(glyphs.size() + 8);
    bool haveBase = false;
    for (const char byte : glyphs) {
        const auto code = static_cast<Glyph>(byte);
        QString part = unicodeForGlyph(code);
        if (part.isEmpty()) {
            // A control code has no glyph in the fonts; it still stands for a byte that was there.
            part = QString(QChar::ReplacementCharacter);
        }
        if (part.front().category() == QChar::Mark_NonSpacing) {
            if (!haveBase) {
                text.append(QChar(DottedCircle));
                haveBase = true;
            }
        } else {
            haveBase = !isBlank(part.back());
        }
        text.append(part);
    }
    return text.normalized(QString::NormalizationForm_C);
}

std::optional<Glyph> glyphForUnicode(const QString &text)
{
    const QString wanted = text.normalized(QString::NormalizationForm_C);
    if (wanted.isEmpty()) {
        return std::nullopt;
    }
    for (const Glyph code : CharGridCodes) {
        if (unicodeForGlyph(code) == wanted) {
            return code;
        }
    }
    for (int code = 32; code < 256; ++code) {
        if (UnicodeIndex[code] != nullptr && QString::fromUtf16(UnicodeIndex[code]) == wanted) {
            return static_cast<Glyph>(code);
        }
    }
    return std::nullopt;
}

} // namespace Sprelio
