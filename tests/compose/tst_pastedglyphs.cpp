#include "compose/composer.h"
#include "compose/pastedglyphs.h"
#include "glyphbytes.h"
#include "palette/glyphtext.h"
#include "palette/unicodeipa.h"
#include "targets/clipboard.h"
#include "targets/clipboardpayload.h"
#include "targets/rtfglyphs.h"

#include <QTest>

using namespace Sprelio;

namespace {

QByteArray allCodes()
{
    QByteArray result;
    for (int code = 0; code < 256; ++code) {
        result.append(static_cast<char>(code));
    }
    return result;
}

// What clicking the base with the marks pending types.
QByteArray clicked(const QByteArray &base, const QList<Glyph> &marks)
{
    return Composer::withDiacritics(base, marks);
}

} // namespace

class TestPastedGlyphs final : public QObject
{
    Q_OBJECT

private slots:
    void ownRichTextRoundTrips_data();
    void ownRichTextRoundTrips();
    void otherRichText_data();
    void otherRichText();
    void richTextBeforePlainText();
    void unicodeIpa_data();
    void unicodeIpa();
};

void TestPastedGlyphs::ownRichTextRoundTrips_data()
{
    QTest::addColumn<QByteArray>("glyphs");
    QTest::addColumn<bool>("sansSerif");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<bool>("styled");

    QTest::newRow("every code, serif") << allCodes() << false << 12 << false;
    QTest::newRow("every code, sans, bold italic, largest size") << allCodes() << true << 5000 << true;
    QTest::newRow("braces and backslashes") << QByteArray("{\\}{{\\'") << false << 1 << true;
    QTest::newRow("one control code") << bytes({0}) << true << 24 << false;
    QTest::newRow("marked transcription")
        << bytes({96, 83, 116, 114, 65, 58, 115, 69, 110, 36}) << false << 72 << false;
}

void TestPastedGlyphs::ownRichTextRoundTrips()
{
    QFETCH(QByteArray, glyphs);
    QFETCH(bool, sansSerif);
    QFETCH(int, pointSize);
    QFETCH(bool, styled);
    const ClipboardPayload payload =
        clipboardPayload(glyphs, phoneticFamily(sansSerif), styled, styled, pointSize);
    QCOMPARE(glyphsFromRtf(payload.rtf), std::optional<QByteArray>(glyphs));
    // The rich text wins over the plain Unicode IPA, which cannot carry every code.
    QCOMPARE(glyphsFromMimeData(*clipboardMimeData(payload)), glyphs);
}

void TestPastedGlyphs::otherRichText_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QByteArray>("glyphs"); // empty: the paste falls back to the plain text

    const QByteArray table = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times;}{\\f1\\fnil\\fcharset2 "
                             "{\\*\\panose 0}LAUTBILD SANS SERIF;}}";
    QTest::newRow("another writer: unicode with fallback, groups, paragraphs")
        << table + "{\\*\\generator x;}\\pard\\plain{\\f1\\uc1\\u-3936?\\'41\\par}{\\f1 pa\\~}\\par}\r\n\\"
        << bytes({0xA0, 'A', 'p', 'a', 0xA0});
    QTest::newRow("entries without groups")
        << QByteArray("{\\rtf1\\deff1{\\fonttbl\\f0 Arial;\\f1 Lautbild Serif;}ab}") << QByteArray("ab");
    QTest::newRow("text in another face") << table + "\\f1 ab\\f0 c}" << QByteArray();
    QTest::newRow("phonetic face never used") << table + "abc}" << QByteArray();
    QTest::newRow("unicode the face cannot hold") << table + "\\f1 a\\u601?}" << QByteArray();
    QTest::newRow("no text") << table + "\\f1\\par}" << QByteArray();
    QTest::newRow("cut off") << table + "\\f1 abc" << QByteArray();
    QTest::newRow("closes too often") << table + "}}\\f1 a" << QByteArray();
    QTest::newRow("broken hex escape") << table + "\\f1 \\'4}" << QByteArray();
    QTest::newRow("backslash at the end") << table + "\\f1 a\\" << QByteArray();
    QTest::newRow("binary data past the end") << table + "\\f1 a\\bin99999999999 x}" << QByteArray();
    QTest::newRow("huge numbers") << table + "\\f1\\uc-99999999999\\u99999999999 a\\f99999999999 b}"
                                  << QByteArray();
    QTest::newRow("nested too deep") << table + QByteArray(100000, '{') + "\\f1 a" + QByteArray(100001, '}')
                                     << QByteArray();
    QTest::newRow("not rich text") << QByteArray("Lautbild Serif") << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestPastedGlyphs::otherRichText()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QByteArray, glyphs);
    const std::optional<QByteArray> read = glyphsFromRtf(rtf);
    QCOMPARE(read.value_or(QByteArray()), glyphs);
    QCOMPARE(read.has_value(), !glyphs.isEmpty());
}

void TestPastedGlyphs::richTextBeforePlainText()
{
    QMimeData data;
    data.setData(QStringLiteral("text/rtf"), "{\\rtf1{\\fonttbl\\f0 Arial;}\\f0 foreign}");
    data.setData(QStringLiteral("text/richtext"),
                 clipboardPayload("ab", phoneticFamily(false), false, false, 12).rtf);
    data.setText(QStringLiteral("xyz"));
    QCOMPARE(glyphsFromMimeData(data), QByteArray("ab"));
    data.removeFormat(QStringLiteral("text/richtext"));
    QCOMPARE(glyphsFromMimeData(data), QByteArray("xyz"));
}

void TestPastedGlyphs::unicodeIpa_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("glyphs");

    // Our own plain text reads back to what was typed.
    const QList<QByteArray> typed{
        bytes({96, 83, 116, 114, 65, 58, 115, 69}),                     // ˈʃtraːsə
        bytes({84, 73, 112, 44, 32, 80, 102, 35, 97, 110, 131}),        // affricates, linking mark
        clicked("n", {36}) + clicked("i", {123}) + clicked("t", {127}), // mark variants, dotless base
        bytes({36, 32, 127}),                                           // marks with no base
        clicked("a", {123, 40}) + bytes({107, 212, 112, 189}),          // two marks, tie, half space
    };
    for (const QByteArray &glyphs : typed) {
        const QString text = glyphsToUnicodeIpa(glyphs);
        QTest::addRow("own: %s", qPrintable(text)) << text << glyphs;
    }
    // Text from elsewhere: precomposed letters, other forms of the same symbols, line breaks.
    QTest::newRow("precomposed vowels")
        << QStringLiteral("ʃãï\n") << bytes({83}) + clicked("a", {123}) + clicked("i", {51});
    QTest::newRow("only windows-1252: the keyboard's bytes")
        << QStringLiteral("xçã") << QByteArray("x\xE7\xE3");
    QTest::newRow("ipa letters next to latin ones")
        << QStringLiteral("xçæ ɡg") << bytes({67, 153, 195, 32, 103, 103});
    QTest::newRow("linking after a descender") << QStringLiteral("j\u203Fa") << bytes({106, 34, 97});
    QTest::newRow("glyph characters kept")
        << glyphsToDisplay(bytes({1, 200})) + QStringLiteral("ʃ") << bytes({1, 200, 83});
    QTest::newRow("no symbol and no byte") << QStringLiteral("ʃ\u4E2D") << bytes({83});
}

void TestPastedGlyphs::unicodeIpa()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, glyphs);
    QCOMPARE(pastedTextToGlyphs(text), glyphs);
}

QTEST_GUILESS_MAIN(TestPastedGlyphs)
#include "tst_pastedglyphs.moc"
