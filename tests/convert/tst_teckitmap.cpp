// The TECkit mapping in data/: written from the same table as the document conversion, and read by
// TECkit's own tools as the conversion reads the codes.

#include "convert/glyphruns.h"
#include "convert/teckitmap.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Sprelio;

namespace {

const QString MapFile = QStringLiteral(SPRELIO_SOURCE_DATA_DIR "/sprelio-lautbild.map");

// What sprelio-convert makes of the bytes when they stand in one phonetic stretch.
QString convertedByTheProgram(const QByteArray &bytes)
{
    return convertGlyphRun({QString::fromLatin1(bytes)}).stretches.join(QString());
}

// Each code in turn, one to a line, alone or after the same bytes.
QByteArray everyCode(const QByteArray &before)
{
    QByteArray lines;
    for (int code = 32; code < 256; ++code) {
        lines += before + static_cast<char>(code) + '\n';
    }
    return lines;
}

} // namespace

class TestTeckitMap final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void mappingIsCurrent();
    void txtconvReadsAsTheProgram_data();
    void txtconvReadsAsTheProgram();

private:
    QString run(const QString &program, const QStringList &arguments);

    QTemporaryDir m_dir;
    QString m_compiled;
};

QString TestTeckitMap::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(30000) || !process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished(10000);
        return program + QStringLiteral(" did not finish");
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAll());
    }
    return {};
}

void TestTeckitMap::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

// The committed file is what the generator writes now: the table and the file cannot drift apart.
void TestTeckitMap::mappingIsCurrent()
{
    QFile file(MapFile);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(MapFile));
    QVERIFY2(QString::fromUtf8(file.readAll()) == teckitMappingSource(),
             "data/sprelio-lautbild.map is out of date: build the target update_teckit_map");
}

void TestTeckitMap::txtconvReadsAsTheProgram_data()
{
    QTest::addColumn<QByteArray>("bytes");
    // Empty where only the program's own conversion is the reference.
    QTest::addColumn<QString>("expected");

    QTest::newRow("every code alone") << everyCode({}) << QString();
    QTest::newRow("every code after a base") << everyCode("n") << QString();
    QTest::newRow("every code after a space") << everyCode("a ") << QString();
    QTest::newRow("every code after a half space") << everyCode("a\x98") << QString();
    QTest::newRow("every code after a mark") << everyCode("o$") << QString();
    QTest::newRow("control codes") << QByteArray("a\tb\x01$\r\n$", 8) << QString();
    QTest::newRow("voiceless n, t tie esh")
        << QByteArray("n$t\xD4S") << QStringLiteral(u"n\u0325t\u0361\u0283");
    QTest::newRow("Strasse") << QByteArray("[`St\x86\x61:sE]")
                             << QStringLiteral(u"[\u02C8\u0283t\u0281a\u02D0s\u0259]");
    // Composed in NFC: a with a tilde, e with diaeresis; marks below before marks above.
    QTest::newRow("composing marks") << QByteArray("a{ e3 o{$")
                                     << QStringLiteral(u"\u00E3 \u00EB \u00F5\u0325");
}

void TestTeckitMap::txtconvReadsAsTheProgram()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    const QString compiler = QStandardPaths::findExecutable(QStringLiteral("teckit_compile"));
    const QString txtconv = QStandardPaths::findExecutable(QStringLiteral("txtconv"));
    if (compiler.isEmpty() || txtconv.isEmpty()) {
        QSKIP("teckit_compile and txtconv are not installed (Debian package teckit)");
    }
    if (m_compiled.isEmpty()) {
        const QString compiled = m_dir.filePath(QStringLiteral("sprelio-lautbild.tec"));
        const QString failure = run(compiler, {MapFile, QStringLiteral("-o"), compiled});
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        m_compiled = compiled;
    }
    const QString in = m_dir.filePath(QStringLiteral("in.txt"));
    const QString out = m_dir.filePath(QStringLiteral("out.txt"));
    {
        QFile file(in);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    const QString failure =
        run(txtconv, {QStringLiteral("-t"), m_compiled, QStringLiteral("-i"), in, QStringLiteral("-o"), out,
                      QStringLiteral("-if"), QStringLiteral("bytes"), QStringLiteral("-of"),
                      QStringLiteral("utf8"), QStringLiteral("-nobom"), QStringLiteral("-nfd")});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    // Decomposed by TECkit's own normaliser: the same text as the program's NFC, once composed.
    // (The -nfc of teckit 2.5.11 crashes, so that form is made here.)
    const QString decomposed = QString::fromUtf8(file.readAll());
    const QString wanted = convertedByTheProgram(bytes);
    if (!expected.isEmpty()) {
        QCOMPARE(wanted, expected);
    }
    // Line by line, so that a fault names its code.
    const QStringList gotLines = decomposed.split(QLatin1Char('\n'));
    const QStringList wantedLines = wanted.split(QLatin1Char('\n'));
    QCOMPARE(gotLines.size(), wantedLines.size());
    for (qsizetype i = 0; i < gotLines.size(); ++i) {
        const QString got = gotLines[i].normalized(QString::NormalizationForm_C);
        QVERIFY2(
            got == wantedLines[i] && gotLines[i] == wantedLines[i].normalized(QString::NormalizationForm_D),
            qPrintable(
                QStringLiteral("line %1: txtconv %2, the program %3").arg(i + 1).arg(got, wantedLines[i])));
    }
}

QTEST_GUILESS_MAIN(TestTeckitMap)
#include "tst_teckitmap.moc"
