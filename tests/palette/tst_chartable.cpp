#include "i18n/langstr.h"
#include "palette/chartable.h"

#include <QTest>

using namespace Sprelio;

class TestCharTable final : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { LangOffset = GermanOffset; }
    void description_data();
    void description();
    void gridOrder();
    void defaultAssignment();
};

void TestCharTable::description_data()
{
    QTest::addColumn<QByteArray>("glyphs");
    QTest::addColumn<QString>("german");
    QTest::addColumn<QString>("english");
    QTest::newRow("bilabial plosive") << QByteArray("\x70") << "Stimmloser bilabialer Plosivlaut"
                                      << "Voiceless Bilabial Plosive";
    QTest::newRow("space") << QByteArray(" ") << "Leerzeichen"
                           << "Space";
    QTest::newRow("half space") << QByteArray("\x98") << "Leerzeichen halber Breite"
                                << "Half Space";
    QTest::newRow("code 44 reads Komma and Colon") << QByteArray(",") << "Komma"
                                                   << "Colon";
    QTest::newRow("last cell") << QByteArray("'") << "Ejektiv"
                               << "Ejective";
    QTest::newRow("long vowel, two bytes") << QByteArray("\xE4:") << QString() << QString();
    QTest::newRow("alternative linking") << QByteArray("\x22") << QString() << QString();
    QTest::newRow("bracket") << QByteArray("[") << QString() << QString();
    QTest::newRow("narrow extra short") << QByteArray("\x9C") << QString() << QString();
    QTest::newRow("empty") << QByteArray() << QString() << QString();
    QTest::newRow("nul byte") << QByteArray(1, '\0') << QString() << QString();
}

void TestCharTable::description()
{
    QFETCH(QByteArray, glyphs);
    QFETCH(QString, german);
    QFETCH(QString, english);
    LangOffset = GermanOffset;
    QCOMPARE(CharDescription(glyphs), german);
    LangOffset = EnglishOffset;
    QCOMPARE(CharDescription(glyphs), english);
}

void TestCharTable::gridOrder()
{
    QCOMPARE(charGridCell(0, 0), QByteArray("a"));
    QCOMPARE(charGridCell(2, 2), QByteArray("p"));
    QCOMPARE(charGridCell(8, 11), QByteArray("\xD4"));
    QCOMPARE(charGridCell(12, 12), QByteArray("'"));
    QCOMPARE(charGridCell(13, 0), QByteArray());
    QCOMPARE(charGridCell(0, -1), QByteArray());
    for (int cell = 0; cell < CharGridCellCount; ++cell) {
        QVERIFY(!CharDescription(charGridCell(cell / 13, cell % 13)).isEmpty());
    }
}

void TestCharTable::defaultAssignment()
{
    const QList<QByteArray> assignment = ButtonAssignment();
    QCOMPARE(assignment.size(), PaletteButtonCount);
    QCOMPARE(assignment.at(0), QByteArray("p"));
    QCOMPARE(assignment.at(29), QByteArray());
    QCOMPARE(assignment.at(35), QByteArray("\xE4:"));
    QCOMPARE(assignment.at(49), QByteArray("\xD2"));
    for (int i = 0; i < PaletteButtonCount; ++i) {
        if (i != 29 && i != 35) {
            QCOMPARE(assignment.at(i).size(), 1);
            QVERIFY(isDescribedGlyph(static_cast<Glyph>(assignment.at(i).front())));
        }
    }
}

QTEST_GUILESS_MAIN(TestCharTable)
#include "tst_chartable.moc"
