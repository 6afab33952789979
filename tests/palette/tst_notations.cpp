#include "glyphbytes.h"
#include "i18n/langstr.h"
#include "palette/notations.h"
#include "palette/unicodeipa.h"
#include "symbolsamples.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <map>
#include <memory>

using namespace Sprelio;

namespace {

// A program that reads the notation back: CI has it installed, a developer may not.
bool haveProgram(const QString &name)
{
    return !QStandardPaths::findExecutable(name).isEmpty();
}

#define REQUIRE_PROGRAM(name)                                                                                \
    do {                                                                                                     \
        if (!haveProgram(QStringLiteral(name))) {                                                            \
            if (qEnvironmentVariableIsSet("CI")) {                                                           \
                QFAIL("needs " name ", which the test command installs");                                    \
            }                                                                                                \
            QSKIP("needs " name);                                                                            \
        }                                                                                                    \
    } while (false)

QString nfc(const QString &text)
{
    return text.normalized(QString::NormalizationForm_C);
}

// X-SAMPA read back by ICU's own reverse transliterator.
QString xsampaToIpa(const QString &xsampa)
{
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::Transliterator> reverse(
        icu::Transliterator::createInstance(icu::UnicodeString(u"XSampa-IPA"), UTRANS_FORWARD, status));
    if (U_FAILURE(status)) {
        return QStringLiteral("(no XSampa-IPA in ICU)");
    }
    icu::UnicodeString buffer(reinterpret_cast<const char16_t *>(xsampa.constData()), int32_t(xsampa.size()));
    reverse->transliterate(buffer);
    return nfc(QString::fromUtf16(buffer.getBuffer(), buffer.length()));
}

// What ICU's reverse transliterator makes of the symbols whose X-SAMPA it has no rule for.
struct XSampaException
{
    QString readBack;
    const char *reason;
};

const std::map<int, XSampaException> &xsampaExceptions()
{
    static const std::map<int, XSampaException> exceptions{
        {130, {QStringLiteral("||"), "ICU reads the double bar || as two single bars"}},
        {213, {QStringLiteral("\u025A"), "ICU reads @` as the one letter rhotic schwa U+025A"}},
        {183, {QStringLiteral("\u014B\u030A"), "ICU puts the ring of _0 above a letter with a descender"}},
        {184, {QStringLiteral("j\u030A"), "ICU puts the ring of _0 above a letter with a descender"}},
        {35, {QStringLiteral("-\\"), "ICU has no rule for the linking mark -\\"}},
        {34, {QStringLiteral("\u0261-\\a"), "ICU has no rule for the linking mark -\\"}},
        {230, {QStringLiteral("\u2193"), "ICU reads the downstep ! as the arrow U+2193"}},
        {229, {QStringLiteral("\u2191"), "ICU reads the upstep ^ as the arrow U+2191"}},
        {152, {QStringLiteral(" "), "X-SAMPA has no narrow space"}},
        {189, {QStringLiteral("a b"), "X-SAMPA has no narrow space"}},
    };
    return exceptions;
}

QString run(const QString &program, const QStringList &arguments, int *exitCode = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return QStringLiteral("(%1 hangs)").arg(program);
    }
    if (exitCode != nullptr) {
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestNotations final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { LangOffset = EnglishOffset; }

    // The whole table: ICU's reverse transliterator gives back the same Unicode IPA.
    void xsampaReadsBack_data()
    {
        QTest::addColumn<QByteArray>("glyphs");
        QTest::addColumn<int>("code");
        for (const SymbolSample &sample : everySymbolWithItsBase()) {
            QTest::newRow(sample.name.constData())
                << sample.glyphs << int(sample.name.split(' ').front().toInt());
        }
    }

    void xsampaReadsBack()
    {
        QFETCH(QByteArray, glyphs);
        QFETCH(int, code);
        const QString xsampa = glyphsToXSampa(glyphs);
        for (const QChar ch : xsampa) {
            QVERIFY2(ch.unicode() >= 0x20 && ch.unicode() < 0x7F, qPrintable(xsampa));
        }
        const QString back = xsampaToIpa(xsampa);
        if (const auto it = xsampaExceptions().find(code); it != xsampaExceptions().end()) {
            // Known and reported: the X-SAMPA is right, only ICU's way back differs.
            QCOMPARE(back, it->second.readBack);
            return;
        }
        QCOMPARE(back, glyphsToUnicodeIpa(glyphs));
    }

    // Whole transcriptions, written from an X-SAMPA chart.
    void xsampaTranscriptions_data()
    {
        QTest::addColumn<QByteArray>("glyphs");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Schinken") << bytes({96, 83, 73, 78, 107, 69, 110}) << QStringLiteral("\"SINk@n");
        QTest::newRow("[Straße]") << bytes({91, 96, 83, 116, 134, 97, 58, 115, 69, 93})
                                  << QStringLiteral("[\"StRa:s@]");
        QTest::newRow("voiceless n, tied affricate")
            << bytes({110, 36, 116, 212, 83}) << QStringLiteral("n_0t_S");
        QTest::newRow("high tone on a") << bytes({109, 97, 127}) << QStringLiteral("ma_H");
        QTest::newRow("level tones") << bytes({97, 40, 97, 129, 97, 41}) << QStringLiteral("a_Ta_Ma_B");
        QTest::newRow("contour tones") << bytes({97, 94, 97, 95}) << QStringLiteral("a_Ra_F");
        QTest::newRow("low tone on a narrow base") << bytes({238, 145}) << QStringLiteral("i_L");
        QTest::newRow("aspirated, ejective") << bytes({116, 221, 97, 107, 39}) << QStringLiteral("t_hak_>");
        QTest::newRow("clicks") << bytes({33, 124, 166, 167, 211}) << QStringLiteral("!\\|\\|\\|\\=\\O\\");
        QTest::newRow("nasal vowel") << bytes({98, 79, 123}) << QStringLiteral("bO~");
        QTest::newRow("implosives") << bytes({201, 97, 202}) << QStringLiteral("b_<ad_<");
        QTest::newRow("retroflexes") << bytes({208, 99, 199, 168}) << QStringLiteral("t`s`n`l`");
        QTest::newRow("downstep, upstep") << bytes({230, 97, 229, 97}) << QStringLiteral("!a^a");
        QTest::newRow("global rise and fall") << bytes({231, 97, 232}) << QStringLiteral("<R>a<F>");
        QTest::newRow("groups") << bytes({97, 135, 98, 130}) << QStringLiteral("a|b||");
        QTest::newRow("linking") << bytes({103, 34, 97}) << QStringLiteral("g-\\a");
        QTest::newRow("syllabic n") << bytes({98, 110, 52}) << QStringLiteral("bn=");
        QTest::newRow("falling diphthong") << bytes({97, 73, 49}) << QStringLiteral("aI_^");
        QTest::newRow("palatalized, pharyngealized")
            << bytes({116, 216, 115, 218}) << QStringLiteral("t's_?\\");
        QTest::newRow("breathy and creaky") << bytes({97, 50, 97, 125}) << QStringLiteral("a_ta_k");
        QTest::newRow("dental t") << bytes({116, 56}) << QStringLiteral("t_d");
        QTest::newRow("Bücher") << bytes({96, 98, 121, 58, 153, 196}) << QStringLiteral("\"by:C6");
        QTest::newRow("thing") << bytes({223, 73, 78}) << QStringLiteral("TIN");
        QTest::newRow("secondary stress, half long") << bytes({180, 97, 59}) << QStringLiteral("%a:\\");
        QTest::newRow("centralized, mid-centralized")
            << bytes({101, 51, 101, 174}) << QStringLiteral("e_\"e_x");
        QTest::newRow("approximant r, retroflex approximant")
            << bytes({149, 150}) << QStringLiteral("r\\r\\`");
        QTest::newRow("half space") << bytes({97, 189, 98}) << QStringLiteral("a b");
        QTest::newRow("bare mark") << bytes({36}) << QStringLiteral("_0");
        QTest::newRow("affricate and diphthong glyphs") << bytes({80, 192}) << QStringLiteral("p_fa_I");
    }

    void xsampaTranscriptions()
    {
        QFETCH(QByteArray, glyphs);
        QFETCH(QString, expected);
        QCOMPARE(glyphsToXSampa(glyphs), expected);
    }

    // Whole transcriptions, written from the TIPA manual.
    void tipaTranscriptions_data()
    {
        QTest::addColumn<QByteArray>("glyphs");
        QTest::addColumn<QString>("expected");
        QTest::newRow("[Straße]") << bytes({91, 96, 83, 116, 134, 97, 58, 115, 69, 93})
                                  << QStringLiteral("\\textipa{[\"StKa:s@]}");
        QTest::newRow("voiceless n, tied affricate")
            << bytes({110, 36, 116, 212, 83}) << QStringLiteral("\\textipa{\\r*{n}\\t{tS}}");
        QTest::newRow("high tone on a") << bytes({109, 97, 127}) << QStringLiteral("\\textipa{m\\'{a}}");
        QTest::newRow("explanation") << bytes({91, 180, 228, 107, 115, 112, 108, 69, 96, 110, 101, 73, 83, 69,
                                               110, 93})
                                     << QStringLiteral("\\textipa{[\"\"Ekspl@\"neIS@n]}");
        QTest::newRow("aspirated, labialized")
            << bytes({116, 221, 107, 215}) << QStringLiteral("\\textipa{t\\super{h}k\\super{w}}");
        QTest::newRow("clicks") << bytes({124, 166, 167, 33, 211})
                                << QStringLiteral("\\textipa{|\\textdoublepipe\\textdoublebarpipe!\\!o}");
        QTest::newRow("two dental clicks stay two") << bytes({124, 124}) << QStringLiteral("\\textipa{|{}|}");
        QTest::newRow("two stresses stay two") << bytes({96, 96, 97}) << QStringLiteral("\\textipa{\"{}\"a}");
        QTest::newRow("tone on i, dotless") << bytes({238, 142}) << QStringLiteral("\\textipa{\\'{\\i}}");
        QTest::newRow("extra low and rising tones")
            << bytes({97, 41, 97, 94}) << QStringLiteral("\\textipa{\\textdoublegrave{a}\\v{a}}");
        QTest::newRow("ich") << bytes({73, 153}) << QStringLiteral("\\textipa{I\\c{c}}");
        QTest::newRow("affricate and diphthong glyphs")
            << bytes({80, 90, 192}) << QStringLiteral("\\textipa{\\t{pf}\\t{ts}\\t{aI}}");
        QTest::newRow("nasal vowel") << bytes({98, 79, 123}) << QStringLiteral("\\textipa{b\\~{O}}");
        QTest::newRow("syllabic and voiceless stacked")
            << bytes({110, 52, 36}) << QStringLiteral("\\textipa{\\r*{\\textsyllabic{n}}}");
        QTest::newRow("macro before a letter and a space")
            << bytes({241, 97, 32, 241, 32}) << QStringLiteral("\\textipa{\\textltailn{}a \\textltailn{} }");
        QTest::newRow("no audible release")
            << bytes({116, 197}) << QStringLiteral("\\textipa{t\\textcorner}");
        QTest::newRow("downstep, global rise")
            << bytes({230, 97, 231}) << QStringLiteral("\\textipa{\\textdownstep{}a\\textglobrise}");
        QTest::newRow("backslash bracket")
            << bytes({92, 97, 92}) << QStringLiteral("\\textipa{\\textbackslash{}a\\textbackslash}");
        QTest::newRow("ejective") << bytes({107, 39, 97}) << QStringLiteral("\\textipa{k'a}");
        QTest::newRow("centralized e") << bytes({101, 51}) << QStringLiteral("\\textipa{\\\"{e}}");
        QTest::newRow("half space") << bytes({97, 189, 98}) << QStringLiteral("\\textipa{a\\,b}");
        QTest::newRow("thing") << bytes({223, 73, 78}) << QStringLiteral("\\textipa{TIN}");
        QTest::newRow("approximant r, retroflex t")
            << bytes({149, 208}) << QStringLiteral("\\textipa{\\*r\\:t}");
        QTest::newRow("judge") << bytes({100, 212, 71, 243, 100, 212, 71})
                               << QStringLiteral("\\textipa{\\t{dZ}2\\t{dZ}}");
        QTest::newRow("breathy and creaky")
            << bytes({97, 50, 101, 125}) << QStringLiteral("\\textipa{\\\"*{a}\\~*{e}}");
        QTest::newRow("groups and linking")
            << bytes({97, 135, 97, 130, 103, 35, 97})
            << QStringLiteral("\\textipa{a\\textvertline{}a\\textdoublevertline\\t*{ga}}");
        QTest::newRow("bare mark") << bytes({36}) << QStringLiteral("\\textipa{\\r*{}}");
        QTest::newRow("hyphens stay hyphens") << bytes({45, 45}) << QStringLiteral("\\textipa{-{}-}");
        QTest::newRow("empty") << QByteArray() << QString();
    }

    void tipaTranscriptions()
    {
        QFETCH(QByteArray, glyphs);
        QFETCH(QString, expected);
        QCOMPARE(glyphsToTipa(glyphs), expected);
    }

    // Whole transcriptions, written from Praat's pages on phonetic symbols.
    void praatTranscriptions_data()
    {
        QTest::addColumn<QByteArray>("glyphs");
        QTest::addColumn<QString>("expected");
        QTest::newRow("[Straße]") << bytes({91, 96, 83, 116, 134, 97, 58, 115, 69, 93})
                                  << QStringLiteral("[\\'1\\sht\\ria\\:fs\\sw]");
        QTest::newRow("voiceless n, tied affricate")
            << bytes({110, 36, 116, 212, 83}) << QStringLiteral("n\\0vt\\li\\sh");
        QTest::newRow("high tone on a") << bytes({109, 97, 127}) << QStringLiteral("ma\\'^");
        QTest::newRow("tone on i keeps the dot") << bytes({238, 142}) << QStringLiteral("i\\'^");
        QTest::newRow("aspirated") << bytes({116, 221, 97}) << QStringLiteral("t\\^ha");
        QTest::newRow("clicks") << bytes({211, 124, 166, 167, 33})
                                << QStringLiteral("\\O.\\|1\\|2\\|-\u01C3");
        QTest::newRow("nasal vowel") << bytes({98, 79, 123}) << QStringLiteral("b\\ct\\~^");
        QTest::newRow("ich") << bytes({73, 153}) << QStringLiteral("\\ic\\c,");
        QTest::newRow("thing") << bytes({223, 73, 78}) << QStringLiteral("\\tf\\ic\\ng");
        QTest::newRow("ejective") << bytes({107, 39}) << QStringLiteral("k\\ap");
        QTest::newRow("schwa, open e, open o") << bytes({69, 228, 79}) << QStringLiteral("\\sw\\ef\\ct");
        QTest::newRow("retroflexes") << bytes({208, 99, 150, 169}) << QStringLiteral("\\t.\\s.\\r.\\f.");
        QTest::newRow("extra high tone has no trigraph") << bytes({97, 40}) << QStringLiteral("a\u030B");
        QTest::newRow("syllabic, non-syllabic") << bytes({110, 52, 117, 49}) << QStringLiteral("n\\|vu\\nv");
        QTest::newRow("stress, half long") << bytes({180, 97, 59}) << QStringLiteral("\\'2a\\.f");
        QTest::newRow("linking, group") << bytes({97, 35, 97, 135}) << QStringLiteral("a\\_ua\\|f");
        QTest::newRow("backslash bracket") << bytes({92, 97, 92}) << QStringLiteral("\\bsa\\bs");
        QTest::newRow("downstep keeps its character") << bytes({230, 97}) << QStringLiteral("\uA71Ca");
        QTest::newRow("pharyngealized keeps its character, palatalized")
            << bytes({115, 218, 116, 216}) << QStringLiteral("s\u02E4t\\^j");
        QTest::newRow("rhotic schwa") << bytes({69, 213}) << QStringLiteral("\\sw\\hr");
        QTest::newRow("bare mark") << bytes({36}) << QStringLiteral("\\0v");
        QTest::newRow("implosives") << bytes({201, 202, 204}) << QStringLiteral("\\b^\\d^\\g^");
        QTest::newRow("dental, apical, laminal")
            << bytes({116, 56, 116, 55, 116, 57}) << QStringLiteral("t\\Nvt\\Uvt\\Dv");
        QTest::newRow("Bücher") << bytes({96, 98, 121, 58, 153, 196}) << QStringLiteral("\\'1by\\:f\\c,\\at");
        QTest::newRow("half space") << bytes({97, 189, 98}) << QStringLiteral("a\u2009b");
    }

    void praatTranscriptions()
    {
        QFETCH(QByteArray, glyphs);
        QFETCH(QString, expected);
        QCOMPARE(glyphsToPraat(glyphs), expected);
    }

    // The whole table through Praat's own reading of the trigraphs, in one run of Praat.
    void praatReadsBack()
    {
        REQUIRE_PROGRAM("praat");
        const QList<SymbolSample> samples = everySymbolWithItsBase();
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QString script = QStringLiteral("writeInfo: \"\"\n");
        for (const SymbolSample &sample : samples) {
            QString trigraphs = glyphsToPraat(sample.glyphs);
            trigraphs.replace(QLatin1Char('"'), QStringLiteral("\"\""));
            script += QStringLiteral("appendInfoLine: \"<\", backslashTrigraphsToUnicode$ (\"%1\"), \">\"\n")
                          .arg(trigraphs);
        }
        const QString path = dir.filePath(QStringLiteral("readback.praat"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(script.toUtf8());
        file.close();

        int exitCode = -1;
        const QStringList lines = run(QStringLiteral("praat"), {QStringLiteral("--run"), path}, &exitCode)
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(exitCode, 0);
        QCOMPARE(lines.size(), samples.size());
        QStringList wrong;
        for (qsizetype i = 0; i < samples.size(); ++i) {
            const QString expected =
                QLatin1Char('<') + glyphsToUnicodeIpa(samples[i].glyphs) + QLatin1Char('>');
            if (nfc(lines[i]) != expected) {
                wrong.append(QString::fromUtf8(samples[i].name) + QStringLiteral(": ") +
                             glyphsToPraat(samples[i].glyphs) + QStringLiteral(" reads as ") + lines[i]);
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    }

    // One document with every symbol compiles with pdflatex and the tipa package, without an
    // error and without a character that the fonts lack. SPRELIO_NOTATION_SHEETS names a folder
    // that keeps the document and its Unicode twin for XeLaTeX, to look at side by side.
    void tipaCompiles()
    {
        REQUIRE_PROGRAM("pdflatex");
        QList<SymbolSample> samples = everySymbolWithItsBase();
        // and the transcriptions of the examples
        samples.append({"Straße", bytes({91, 96, 83, 116, 134, 97, 58, 115, 69, 93})});
        samples.append({"n-t-sh", bytes({110, 36, 116, 212, 83})});
        samples.append({"tones", bytes({109, 97, 127, 108, 177, 238, 186, 111, 40, 101, 41})});
        samples.append({"marks stacked", bytes({110, 52, 36, 97, 49, 51})});

        QString tipa = QStringLiteral("\\documentclass{article}\n\\usepackage{tipa}\n"
                                      "\\tracinglostchars=2\n\\begin{document}\n");
        QString unicode = QStringLiteral("\\documentclass{article}\n\\usepackage{fontspec}\n"
                                         "\\setmainfont{Charis SIL}\n\\begin{document}\n");
        for (const SymbolSample &sample : samples) {
            QString plain = glyphsToUnicodeIpa(sample.glyphs);
            plain.replace(QLatin1Char('\\'), QStringLiteral("\\textbackslash{}"));
            const QString label = QString::fromUtf8(sample.name.split(' ').front());
            tipa += QStringLiteral("\\noindent %1: %2\\par\n").arg(label, glyphsToTipa(sample.glyphs));
            unicode += QStringLiteral("\\noindent %1: %2\\par\n").arg(label, plain);
        }
        tipa += QStringLiteral("\\end{document}\n");
        unicode += QStringLiteral("\\end{document}\n");

        QTemporaryDir temporary;
        QVERIFY(temporary.isValid());
        const QString keep = qEnvironmentVariable("SPRELIO_NOTATION_SHEETS");
        const QDir dir(keep.isEmpty() ? temporary.path() : keep);
        for (const auto &[name, text] : {std::pair{QStringLiteral("symbols-tipa.tex"), tipa},
                                         std::pair{QStringLiteral("symbols-unicode.tex"), unicode}}) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text.toUtf8());
        }

        QProcess latex;
        latex.setWorkingDirectory(dir.path());
        latex.start(QStringLiteral("pdflatex"),
                    {QStringLiteral("-interaction=nonstopmode"), QStringLiteral("-halt-on-error"),
                     QStringLiteral("symbols-tipa.tex")});
        QVERIFY(latex.waitForFinished(180000));
        QFile logFile(dir.filePath(QStringLiteral("symbols-tipa.log")));
        QVERIFY(logFile.open(QIODevice::ReadOnly));
        const QString log = QString::fromLatin1(logFile.readAll());
        const auto logLines = [&log](const QString &what) {
            QStringList found;
            for (const QString &line : log.split(QLatin1Char('\n'))) {
                if (line.contains(what)) {
                    found.append(line);
                }
            }
            return found.join(QLatin1Char('\n'));
        };
        QVERIFY2(latex.exitCode() == 0, qPrintable(log.right(3000)));
        QVERIFY2(!log.contains(QStringLiteral("Missing character")),
                 qPrintable(logLines(QStringLiteral("Missing character"))));
        QVERIFY2(!log.contains(QStringLiteral("unavailable in encoding")),
                 qPrintable(logLines(QStringLiteral("unavailable in encoding"))));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("symbols-tipa.pdf"))));
    }

    // sprelio-send --print writes the same text as the menu's copy, in UTF-8.
    void sendToolPrints_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("notation");
        QTest::newRow("unicode") << QStringLiteral("unicode") << int(Notation::UnicodeIpa);
        QTest::newRow("xsampa") << QStringLiteral("xsampa") << int(Notation::XSampa);
        QTest::newRow("tipa") << QStringLiteral("tipa") << int(Notation::Tipa);
        QTest::newRow("praat") << QStringLiteral("praat") << int(Notation::Praat);
    }

    void sendToolPrints()
    {
        QFETCH(QString, name);
        QFETCH(int, notation);
        const QByteArray glyphs =
            bytes({91, 96, 83, 116, 134, 97, 58, 115, 69, 93, 32, 110, 36, 116, 212, 83});
        int exitCode = -1;
        const QString printed = run(
            QStringLiteral(SPRELIO_SEND),
            {QStringLiteral("--print"), name, QStringLiteral("--text"), QString::fromLatin1(glyphs.toHex())},
            &exitCode);
        QCOMPARE(exitCode, 0);
        QCOMPARE(printed, glyphsToNotation(Notation(notation), glyphs) + QLatin1Char('\n'));
    }

    void sendToolRefusesWhatItCannotPrint_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("unknown notation") << QStringList{QStringLiteral("--print"), QStringLiteral("ipa")};
        QTest::newRow("odd hex") << QStringList{QStringLiteral("--print"), QStringLiteral("tipa"),
                                                QStringLiteral("--text"), QStringLiteral("6")};
        QTest::newRow("a target as well")
            << QStringList{QStringLiteral("word"), QStringLiteral("--print"), QStringLiteral("tipa")};
    }

    void sendToolRefusesWhatItCannotPrint()
    {
        QFETCH(QStringList, arguments);
        int exitCode = -1;
        QCOMPARE(run(QStringLiteral(SPRELIO_SEND), arguments, &exitCode), QString());
        QCOMPARE(exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(TestNotations)
#include "tst_notations.moc"
