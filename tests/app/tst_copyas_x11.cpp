#include "app/spreliopad.h"
#include "compose/glyphedit.h"
#include "findnamed.h"
#include "glyphbytes.h"
#include "i18n/langstr.h"

#include <QAction>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace Sprelio;

namespace {

// What another process reads from the selection ("clipboard" or "primary") as a UTF-8 string.
QByteArray readWithXclip(const QString &selection)
{
    // The clipboard answers the other process from this event loop, so wait without blocking it.
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"), selection,
                                          QStringLiteral("-t"), QStringLiteral("UTF8_STRING")});
    if (!QTest::qWaitFor([&xclip] { return xclip.state() == QProcess::NotRunning; }, 10000)) {
        xclip.kill();
        xclip.waitForFinished();
        return "(xclip hangs)";
    }
    return xclip.readAllStandardOutput();
}

// [ˈʃtʁaːsə] n̥t͡ʃ mǎ: a stress, a tie, a voiceless mark under a base and a tone on a vowel.
QByteArray sampleGlyphs()
{
    return bytes({91, 96, 83, 116, 134, 97, 58, 115, 69, 93, 32, 110, 36, 116, 212, 83, 32, 109, 97, 94});
}

} // namespace

class TestCopyAsX11 final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != u"xcb") {
            QSKIP("needs an X server");
        }
        if (QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty()) {
            QSKIP("needs xclip");
        }
    }

    void cleanup() { LangOffset = GermanOffset; }

    void eachItemCopiesItsText_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Unicode IPA") << QStringLiteral("AlsUnicode1") << QStringLiteral("[ˈʃtʁaːsə] n̥t͡ʃ mǎ");
        QTest::newRow("X-SAMPA") << QStringLiteral("AlsXSampa1") << QStringLiteral("[\"StRa:s@] n_0t_S ma_R");
        QTest::newRow("LaTeX (TIPA)")
            << QStringLiteral("AlsTipa1") << QStringLiteral("\\textipa{[\"StKa:s@] \\r*{n}\\t{tS} m\\v{a}}");
        QTest::newRow("Praat") << QStringLiteral("AlsPraat1")
                               << QStringLiteral("[\\'1\\sht\\ria\\:fs\\sw] n\\0vt\\li\\sh ma\\v^");
    }

    void eachItemCopiesItsText()
    {
        QFETCH(QString, item);
        QFETCH(QString, expected);
        TSprelioPad pad;
        pad.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pad));
        auto *edit = findNamed<GlyphEdit>(&pad, "EditField");
        edit->setGlyphs(sampleGlyphs());
        edit->setCursorPosition(3);

        findNamed<QAction>(&pad, item.toLatin1().constData())->trigger();

        QCOMPARE(QString::fromUtf8(readWithXclip(QStringLiteral("clipboard"))), expected);
        QCOMPARE(QString::fromUtf8(readWithXclip(QStringLiteral("primary"))), expected);
        // The field stays as it was.
        QCOMPARE(edit->glyphs(), sampleGlyphs());
        QCOMPARE(edit->cursorPosition(), 3);
    }

    void submenuInBothLanguages_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("German") << QStringLiteral("Deutsch1")
                                << QStringList{QStringLiteral("Kopieren als"), QStringLiteral("Unicode-IPA"),
                                               QStringLiteral("X-SAMPA"), QStringLiteral("LaTeX (TIPA)"),
                                               QStringLiteral("Praat")};
        QTest::newRow("English") << QStringLiteral("Englisch1")
                                 << QStringList{QStringLiteral("Copy as"), QStringLiteral("Unicode IPA"),
                                                QStringLiteral("X-SAMPA"), QStringLiteral("LaTeX (TIPA)"),
                                                QStringLiteral("Praat")};
    }

    void submenuInBothLanguages()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, captions);
        TSprelioPad pad;
        pad.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pad));
        findNamed<QAction>(&pad, language.toLatin1().constData())->trigger();
        auto *submenu = findNamed<QMenu>(&pad, "KopierenAls1");
        // It stands in the options menu where the single copy item stood.
        QCOMPARE(submenu->parent(), findNamed<QMenu>(&pad, "Optionen1"));
        QStringList seen{submenu->title()};
        for (const QAction *action : submenu->actions()) {
            seen.append(action->text());
        }
        QCOMPARE(seen, captions);
    }
};

QTEST_MAIN(TestCopyAsX11)
#include "tst_copyas_x11.moc"
