// The conversion of phonetic runs: which characters hold a glyph code, and where the marks go
// when a run is split into stretches of different formatting.

#include "convert/glyphruns.h"

#include <QProcess>
#include <QStringDecoder>
#include <QTest>

using namespace Sprelio;

namespace {

// A glyph string as the office shows it in a symbol face: U+F000 + byte.
QString symbolStorage(const QByteArray &glyphs)
{
    QString text;
    for (const char byte : glyphs) {
        text.append(QChar(static_cast<char16_t>(0xF000 + static_cast<unsigned char>(byte))));
    }
    return text;
}

QString latin1Storage(const QByteArray &glyphs)
{
    return QString::fromLatin1(glyphs);
}

} // namespace

class TestGlyphRuns final : public QObject
{
    Q_OBJECT

private slots:
    void windows1252AsIconvDecodesIt();
    void storagesOfOneByte_data();
    void storagesOfOneByte();
    void marksStayWithTheirBase_data();
    void marksStayWithTheirBase();
    void phoneticFaces_data();
    void phoneticFaces();
};

// Each byte 0x80 to 0x9F, decoded by iconv's Windows-1252, must read back as that byte.
void TestGlyphRuns::windows1252AsIconvDecodesIt()
{
    QByteArray high;
    for (int byte = 0x80; byte <= 0x9F; ++byte) {
        high.append(static_cast<char>(byte));
    }
    QProcess iconv;
    iconv.start(QStringLiteral("iconv"),
                {QStringLiteral("-c"), QStringLiteral("-f"), QStringLiteral("WINDOWS-1252"),
                 QStringLiteral("-t"), QStringLiteral("UTF-8")});
    if (!iconv.waitForStarted(30000)) {
        QSKIP("iconv is not installed");
    }
    // One byte a line, so that the bytes iconv cannot decode still leave their line.
    QByteArray input;
    for (const char byte : high) {
        input.append(byte).append('\n');
    }
    iconv.write(input);
    iconv.closeWriteChannel();
    QVERIFY(iconv.waitForFinished(60000));
    const QStringList lines = QString::fromUtf8(iconv.readAllStandardOutput()).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), high.size() + 1);
    int decoded = 0;
    for (int i = 0; i < high.size(); ++i) {
        if (lines[i].size() != 1) {
            continue; // unassigned in the code page
        }
        ++decoded;
        const std::optional<Glyph> code = glyphCodeOfCharacter(lines[i].front().unicode());
        QVERIFY2(code.has_value(), qPrintable(QString::number(0x80 + i, 16)));
        QCOMPARE(int(*code), 0x80 + i);
    }
    QVERIFY(decoded >= 27);
}

void TestGlyphRuns::storagesOfOneByte_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("symbols");

    // ʃ n̥ ɢ: 0x53, 0x6E with the ring 0x24, 0x84
    const QByteArray glyphs("S n$\x84", 5);
    const QString unicode = QStringLiteral(u"\u0283 n\u0325\u0262");
    QTest::newRow("symbol-font private codes") << symbolStorage(glyphs) << unicode << 5;
    QTest::newRow("Latin-1, C1 control for 0x84") << latin1Storage(glyphs) << unicode << 5;
    QTest::newRow("Windows-1252 low double quote for 0x84") << QStringLiteral(u"S n$\u201E") << unicode << 5;
    QTest::newRow("the three mixed in one stretch")
        << QStringLiteral(u"\uF053 n\u0024\u201E") << unicode << 5;
    QTest::newRow("a character no font byte stands for is kept")
        << QStringLiteral(u"S\u4E00") << QStringLiteral(u"\u0283\u4E00") << 1;
    QTest::newRow("a tab is kept and a mark after it has no base")
        << QStringLiteral(u"a\t$") << QStringLiteral(u"a\t\u25CC\u0325") << 2;
    QTest::newRow("private codes below the first glyph are not glyphs")
        << QStringLiteral(u"\uF009a") << QStringLiteral(u"\uF009a") << 1;
}

void TestGlyphRuns::storagesOfOneByte()
{
    QFETCH(QString, stored);
    QFETCH(QString, expected);
    QFETCH(int, symbols);
    const ConvertedRun run = convertGlyphRun({stored});
    QCOMPARE(run.stretches, QStringList{expected});
    QCOMPARE(run.symbols, symbols);
}

void TestGlyphRuns::marksStayWithTheirBase_data()
{
    QTest::addColumn<QStringList>("stretches");
    QTest::addColumn<QStringList>("expected");

    // n with the ring below (0x24), t tie-bar (0xD4) esh (0x53), voiced caron below (0x36),
    // acute tone (0x7F), the dotted circle for a mark without base.
    QTest::newRow("bold base, plain ring: the ring joins the base")
        << QStringList{QStringLiteral("n"), QStringLiteral("$")}
        << QStringList{QStringLiteral(u"n\u0325"), QString()};
    QTest::newRow("affricate over three stretches")
        << QStringList{QStringLiteral("t"), latin1Storage("\xD4"), QStringLiteral("S")}
        << QStringList{QStringLiteral(u"t\u0361"), QString(), QStringLiteral(u"\u0283")};
    QTest::newRow("marks split over three stretches")
        << QStringList{QStringLiteral("a"), QStringLiteral("$"), QStringLiteral("6")}
        << QStringList{QStringLiteral(u"\u1E01\u032C"), QString(), QString()};
    QTest::newRow("mark and next base in one stretch")
        << QStringList{QStringLiteral("n"), QStringLiteral("$t")}
        << QStringList{QStringLiteral(u"n\u0325"), QStringLiteral("t")};
    QTest::newRow("composes across the stretch border")
        << QStringList{QStringLiteral("a"), latin1Storage("\x7F")}
        << QStringList{QStringLiteral(u"\u00E1"), QString()};
    QTest::newRow("mark opening the run stands on a dotted circle")
        << QStringList{QStringLiteral("$"), QStringLiteral("a")}
        << QStringList{QStringLiteral(u"\u25CC\u0325"), QStringLiteral("a")};
    QTest::newRow("mark after a space in the stretch before")
        << QStringList{QStringLiteral("a "), QStringLiteral("$")}
        << QStringList{QStringLiteral("a "), QStringLiteral(u"\u25CC\u0325")};
    QTest::newRow("stress and length are letters, not marks")
        << QStringList{QStringLiteral("`S"), QStringLiteral("a:")}
        << QStringList{QStringLiteral(u"\u02C8\u0283"), QStringLiteral(u"a\u02D0")};
}

void TestGlyphRuns::marksStayWithTheirBase()
{
    QFETCH(QStringList, stretches);
    QFETCH(QStringList, expected);
    const ConvertedRun run = convertGlyphRun(stretches);
    QCOMPARE(run.stretches, expected);
    // The run as a whole reads as its glyphs in one piece would.
    QCOMPARE(run.stretches.join(QString()), convertGlyphRun({stretches.join(QString())}).stretches.front());
}

void TestGlyphRuns::phoneticFaces_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<bool>("phonetic");

    QTest::newRow("serif") << QStringLiteral("Lautbild Serif") << QStringList() << true;
    QTest::newRow("sans, other case, fallback list")
        << QStringLiteral("lautbild sans serif;Symbol") << QStringList() << true;
    QTest::newRow("a face named on the command line")
        << QStringLiteral("OldPhon") << QStringList{QStringLiteral("oldphon")} << true;
    QTest::newRow("a face with a similar name")
        << QStringLiteral("Lautbild Serif Pro") << QStringList() << false;
    QTest::newRow("the face converted into") << QStringLiteral("Charis SIL") << QStringList() << false;
    QTest::newRow("no face") << QString() << QStringList{QString()} << false;
}

void TestGlyphRuns::phoneticFaces()
{
    QFETCH(QString, face);
    QFETCH(QStringList, extra);
    QFETCH(bool, phonetic);
    QCOMPARE(isPhoneticFace(face, extra), phonetic);
}

QTEST_GUILESS_MAIN(TestGlyphRuns)
#include "tst_glyphruns.moc"
