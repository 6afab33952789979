#include "compose/lineexplanation.h"
#include "glyphbytes.h"
#include "i18n/langstr.h"

#include <QTest>

using namespace Sprelio;

class TestLineExplanation final : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { LangOffset = GermanOffset; }

    void explanations_data()
    {
        QTest::addColumn<QByteArray>("glyphs");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("expected");

        const QByteArray ntsh = bytes({110, 36, 116, 212, 83});
        QTest::newRow("mark and tie, English")
            << ntsh << EnglishOffset
            << QStringLiteral("n̥: Alveolar Nasal + Voiceless\n"
                              "t͡ʃ: Voiceless Alveolar Plosive + Affricates and Double Articulations + "
                              "Voiceless Postalveolar Fricative");
        QTest::newRow("mark and tie, German")
            << ntsh << GermanOffset
            << QStringLiteral("n̥: Alveolarer Nasal + Stimmlos\n"
                              "t͡ʃ: Stimmloser alveolarer Plosivlaut + Affrikaten und Doppelartikulationen + "
                              "Stimmloser postalveolarer Frikativ");
        QTest::newRow("variants named by what they stand for")
            << bytes({78, 183, 238, 158}) << EnglishOffset
            << QStringLiteral("ŋ̥: Velar Nasal + Voiceless\n\u0129: Close Front Vowel + Nasal");
        QTest::newRow("stress alone, spacing diacritics with their base")
            << bytes({96, 116, 221, 97, 58}) << EnglishOffset
            << QStringLiteral("ˈ: Primary Stress\ntʰ: Voiceless Alveolar Plosive + Aspirated\n"
                              "aː: Open Front Vowel + Long");
        QTest::newRow("brackets and spaces are not listed")
            << QByteArray("[a b]") << GermanOffset
            << QStringLiteral("a: Offener vorderer Vokal\nb: Stimmhafter bilabialer Plosivlaut");
        QTest::newRow("bare mark") << bytes({36}) << EnglishOffset
                                   << QStringLiteral("\u25CC\u0325: Voiceless");
        QTest::newRow("linking stands between its bases")
            << bytes({103, 34, 97}) << EnglishOffset
            << QStringLiteral(
                   "ɡ: Voiced Velar Plosive\n‿: Linking (Absence of a Break)\na: Open Front Vowel");
        QTest::newRow("empty") << QByteArray() << EnglishOffset << QString();
    }

    void explanations()
    {
        QFETCH(QByteArray, glyphs);
        QFETCH(int, offset);
        QFETCH(QString, expected);
        LangOffset = offset;
        QCOMPARE(explainGlyphs(glyphs), expected);
    }

    void longLineEndsEarly()
    {
        LangOffset = EnglishOffset;
        const QStringList lines = explainGlyphs(QByteArray(200, 'p')).split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 31);
        QCOMPARE(lines.first(), QStringLiteral("p: Voiceless Bilabial Plosive"));
        QCOMPARE(lines.last(), QStringLiteral("\u2026"));
    }
};

QTEST_GUILESS_MAIN(TestLineExplanation)
#include "tst_lineexplanation.moc"
