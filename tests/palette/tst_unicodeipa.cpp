#include "glyphbytes.h"
#include "palette/chartable.h"
#include "palette/unicodeipa.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <map>

using namespace Sprelio;

namespace {

QString codePoints(const QString &text)
{
    QStringList list;
    for (const char32_t ch : text.toUcs4()) {
        list.append(QStringLiteral("U+%1").arg(uint(ch), 4, 16, QLatin1Char('0')).toUpper());
    }
    return list.join(QLatin1Char(' '));
}

// What the font generator draws at each code, read from its table, as the text it depicts.
std::map<int, QString> fontGeneratorTexts()
{
    QFile file(QStringLiteral(SPRELIO_SOURCE_DIR "/tools/make_fonts.py"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QString source = QString::fromUtf8(file.readAll());
    static const QRegularExpression entry(
        QStringLiteral(R"(^[ ]+(\d+):\s+(Letter|Named|Mark|Join|Tied|Corner|Blank)\(([^#\n]*)\),)"),
        QRegularExpression::MultilineOption);
    static const QRegularExpression hex(QStringLiteral("0x([0-9A-Fa-f]+)"));
    std::map<int, QString> texts;
    for (auto it = entry.globalMatch(source); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString kind = match.captured(2);
        QList<char32_t> cps;
        for (auto h = hex.globalMatch(match.captured(3)); h.hasNext();) {
            cps.append(char32_t(h.next().captured(1).toUInt(nullptr, 16)));
        }
        QString text;
        if (kind == u"Blank") {
            text = match.captured(3).trimmed() == u"1.0" ? QStringLiteral(" ") : QStringLiteral("\u2009");
        } else if (kind == u"Tied" && cps.size() == 2) {
            text = QString::fromUcs4(&cps[0], 1) + QChar(0x0361) + QString::fromUcs4(&cps[1], 1);
        } else if (!cps.isEmpty()) {
            // A dotless form names its letter's code point last.
            text = QString::fromUcs4(&cps.back(), 1);
        }
        texts[match.captured(1).toInt()] = text;
    }
    return texts;
}

} // namespace

class TestUnicodeIpa final : public QObject
{
    Q_OBJECT

private slots:
    void everyCodeIsStandardText()
    {
        for (int code = 32; code < 256; ++code) {
            const QString text = unicodeForGlyph(static_cast<Glyph>(code));
            const QByteArray where = QByteArray::number(code);
            QVERIFY2(!text.isEmpty(), where.constData());
            QVERIFY2(text == text.normalized(QString::NormalizationForm_C), where.constData());
            for (const char32_t ch : text.toUcs4()) {
                QVERIFY2(QChar::category(ch) != QChar::Other_PrivateUse &&
                             QChar::category(ch) != QChar::Other_Control,
                         where.constData());
            }
        }
    }

    void variantsReadAsWhatTheyStandFor()
    {
        for (const ToneVariantRow &row : ToneVariantTable) {
            for (const Glyph variant : {row.narrow, row.tall, row.narrowTall}) {
                QCOMPARE(unicodeForGlyph(variant), unicodeForGlyph(row.mark));
            }
        }
        for (const NarrowVariantRow &row : NarrowVariantTable) {
            QCOMPARE(unicodeForGlyph(row.narrow), unicodeForGlyph(row.mark));
        }
        for (const BaseVariantRow &row : BaseVariantTable) {
            QCOMPARE(unicodeForGlyph(row.variant), unicodeForGlyph(row.base));
        }
        QCOMPARE(unicodeForGlyph(Codes::HalfSpace), unicodeForGlyph(Codes::HalfSpaceButton));
        QCOMPARE(unicodeForGlyph(Codes::AltLinking), unicodeForGlyph(Codes::Linking));
    }

    void recommendedCodePoints_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("expected");
        QTest::newRow("script g") << 103 << QStringLiteral("\u0261");
        QTest::newRow("dental click") << 124 << QStringLiteral("\u01C0");
        QTest::newRow("alveolar lateral click") << 166 << QStringLiteral("\u01C1");
        QTest::newRow("palatoalveolar click") << 167 << QStringLiteral("\u01C2");
        QTest::newRow("postalveolar click") << 33 << QStringLiteral("\u01C3");
        QTest::newRow("primary stress") << 96 << QStringLiteral("\u02C8");
        QTest::newRow("secondary stress") << 180 << QStringLiteral("\u02CC");
        QTest::newRow("long") << 58 << QStringLiteral("\u02D0");
        QTest::newRow("half long") << 59 << QStringLiteral("\u02D1");
        QTest::newRow("ejective") << 39 << QStringLiteral("\u02BC");
        QTest::newRow("pharyngealized") << 218 << QStringLiteral("\u02E4");
        QTest::newRow("tie") << 212 << QStringLiteral("\u0361");
        QTest::newRow("linking") << 35 << QStringLiteral("\u203F");
        QTest::newRow("linking under a descender") << 34 << QStringLiteral("\u203F");
        QTest::newRow("voiceless ring over a descender") << 183 << QStringLiteral("\u0325");
    }

    void recommendedCodePoints()
    {
        QFETCH(int, code);
        QFETCH(QString, expected);
        QCOMPARE(codePoints(unicodeForGlyph(static_cast<Glyph>(code))), codePoints(expected));
    }

    void agreesWithTheFontGenerator()
    {
        const std::map<int, QString> font = fontGeneratorTexts();
        QCOMPARE(int(font.size()), 256 - 32);
        // Where the font draws another character than the text names, it only places a mark: the
        // dotless letters carry a mark above, the ring goes above a descender, and the linking mark
        // is drawn as a zero-width undertie between the bases.
        const std::map<int, QString> placedOnly{
            {238, QStringLiteral("\u0131")}, {206, QStringLiteral("\u0237")}, {183, QStringLiteral("\u030A")},
            {184, QStringLiteral("\u030A")}, {35, QStringLiteral("\u035C")},  {34, QStringLiteral("\u035C")}};
        for (const auto &[code, drawn] : font) {
            const QString text = unicodeForGlyph(static_cast<Glyph>(code));
            const QByteArray where = QByteArray::number(code) + ": font " + codePoints(drawn).toLatin1() +
                                     ", text " + codePoints(text).toLatin1();
            if (const auto it = placedOnly.find(code); it != placedOnly.end()) {
                QVERIFY2(drawn == it->second, where.constData());
            } else {
                QVERIFY2(drawn == text, where.constData());
            }
        }
    }

    void transcriptions_data()
    {
        QTest::addColumn<QByteArray>("glyphs");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Straße") << bytes({83, 116, 134, 97, 58, 115, 69}) << QStringLiteral("ʃtʁaːsə");
        QTest::newRow("voiceless n, tied affricate")
            << bytes({110, 36, 116, 212, 83}) << QStringLiteral("n̥t͡ʃ");
        QTest::newRow("stress and aspiration") << bytes({96, 116, 221, 97}) << QStringLiteral("ˈtʰa");
        QTest::newRow("high tone composes") << bytes({109, 97, 127}) << QStringLiteral("m\u00E1");
        QTest::newRow("rising tone, narrow tall variant") << bytes({108, 177}) << QStringLiteral("\u013E");
        QTest::newRow("falling tone") << bytes({111, 95}) << QStringLiteral("\u00F4");
        QTest::newRow("extra high tone") << bytes({111, 40}) << QStringLiteral("\u0151");
        QTest::newRow("mid tone on dotless i") << bytes({238, 186}) << QStringLiteral("\u012B");
        QTest::newRow("low and extra low tones")
            << bytes({101, 128, 97, 41}) << QStringLiteral("\u00E8\u0201");
        QTest::newRow("nasal vowel without precomposed form") << bytes({98, 79, 123}) << QStringLiteral("bɔ̃");
        QTest::newRow("nasal i") << bytes({238, 158}) << QStringLiteral("\u0129");
        QTest::newRow("voiceless eng, ring variant") << bytes({78, 183}) << QStringLiteral("ŋ\u0325");
        QTest::newRow("voiceless j, base variant") << bytes({206, 184}) << QStringLiteral("j\u0325");
        QTest::newRow("bare mark at the start") << bytes({36}) << QStringLiteral("\u25CC\u0325");
        QTest::newRow("bare mark after a space") << bytes({97, 32, 123}) << QStringLiteral("a \u25CC\u0303");
        QTest::newRow("marks keep their order") << bytes({110, 52, 36}) << QStringLiteral("n\u0329\u0325");
        QTest::newRow("ejective") << bytes({107, 39}) << QStringLiteral("kʼ");
        QTest::newRow("clicks") << bytes({33, 124, 166, 167, 211}) << QStringLiteral("ǃǀǁǂʘ");
        QTest::newRow("linking after a descender") << bytes({103, 34, 97}) << QStringLiteral("ɡ‿a");
        QTest::newRow("affricate and diphthong glyphs") << bytes({84, 192}) << QStringLiteral("t͡ʃa͡ɪ");
        QTest::newRow("inserted half space") << bytes({97, 189, 98}) << QStringLiteral("a\u2009b");
        QTest::newRow("brackets, length, half length")
            << bytes({91, 180, 97, 58, 59, 93}) << QStringLiteral("[ˌaːˑ]");
        QTest::newRow("pharyngealized s, dark l")
            << bytes({115, 218, 108, 126}) << QStringLiteral("sˤl\u0334");
        QTest::newRow("downstep and global rise") << bytes({230, 97, 231}) << QStringLiteral("ꜜa↗");
        QTest::newRow("creaky e, centralized e")
            << bytes({101, 125, 101, 51}) << QStringLiteral("\u1E1B\u00EB");
        QTest::newRow("extra short i") << bytes({238, 156}) << QStringLiteral("\u012D");
        QTest::newRow("empty") << QByteArray() << QString();
    }

    void transcriptions()
    {
        QFETCH(QByteArray, glyphs);
        QFETCH(QString, expected);
        const QString text = glyphsToUnicodeIpa(glyphs);
        QCOMPARE(codePoints(text), codePoints(expected));
        QCOMPARE(text, text.normalized(QString::NormalizationForm_C));
    }

    void unicodeFindsItsGlyph()
    {
        for (const Glyph code : CharGridCodes) {
            QCOMPARE(glyphForUnicode(unicodeForGlyph(code)), std::optional<Glyph>(code));
        }
        QCOMPARE(glyphForUnicode(QStringLiteral("Q")), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestUnicodeIpa)
#include "tst_unicodeipa.moc"
