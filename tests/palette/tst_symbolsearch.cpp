#include "i18n/langstr.h"
#include "palette/symbolsearch.h"

#include <QTest>

using namespace Sprelio;

using GlyphList = QList<Glyph>;

class TestSymbolSearch final : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { LangOffset = GermanOffset; }

    void queries_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<GlyphList>("found"); // the whole result, in order; empty: see contains
        QTest::addColumn<GlyphList>("contains");
        QTest::addColumn<GlyphList>("excludes");

        QTest::newRow("German name, word beginnings")
            << "stimmhaft retro" << GlyphList{} << GlyphList{74, 68} << GlyphList{99, 208};
        QTest::newRow("English name, word beginnings")
            << "voiced retro" << GlyphList{} << GlyphList{74, 68} << GlyphList{99, 208};
        QTest::newRow("case and umlauts do not matter")
            << "VERLANGERUNG" << GlyphList{58} << GlyphList{} << GlyphList{};
        QTest::newRow("German clicks")
            << "klick" << GlyphList{211, 124, 33, 167, 166} << GlyphList{} << GlyphList{};
        QTest::newRow("English clicks")
            << "click" << GlyphList{211, 124, 33, 167, 166} << GlyphList{} << GlyphList{};
        QTest::newRow("a mark by its name")
            << "stimmlos" << GlyphList{} << GlyphList{36, 112, 245} << GlyphList{98};
        QTest::newRow("every word must match")
            << "voiceless bilabial" << GlyphList{112, 245} << GlyphList{} << GlyphList{};
        QTest::newRow("look-alikes of a")
            << "a" << GlyphList{97, 65, 196, 195, 194} << GlyphList{} << GlyphList{};
        QTest::newRow("look-alikes of capital N")
            << "N" << GlyphList{110, 241, 78, 199, 131} << GlyphList{} << GlyphList{};
        QTest::newRow("script g first for g")
            << "g" << GlyphList{103, 132, 88, 204, 205} << GlyphList{} << GlyphList{};
        QTest::newRow("a Unicode character")
            << QStringLiteral("ʐ") << GlyphList{74} << GlyphList{} << GlyphList{};
        QTest::newRow("a code point") << "U+0283" << GlyphList{83} << GlyphList{} << GlyphList{};
        QTest::newRow("a variant's character finds its glyph")
            << QStringLiteral("\u0261") << GlyphList{103} << GlyphList{} << GlyphList{};
        QTest::newRow("a tied affricate")
            << QStringLiteral("t͡ʃ") << GlyphList{84} << GlyphList{} << GlyphList{};
        // The usual names that a linguist types, in either language.
        QTest::newRow("schwa") << "schwa" << GlyphList{} << GlyphList{69} << GlyphList{};
        QTest::newRow("esh") << "esh" << GlyphList{} << GlyphList{83} << GlyphList{};
        QTest::newRow("ezh") << "Ezh" << GlyphList{} << GlyphList{71} << GlyphList{};
        QTest::newRow("eth") << "eth" << GlyphList{} << GlyphList{240} << GlyphList{};
        QTest::newRow("theta") << "theta" << GlyphList{} << GlyphList{223} << GlyphList{};
        QTest::newRow("engma") << "engma" << GlyphList{} << GlyphList{78} << GlyphList{};
        QTest::newRow("glottal stop") << "glottal stop" << GlyphList{} << GlyphList{255} << GlyphList{};
        QTest::newRow("Knacklaut") << "Knacklaut" << GlyphList{} << GlyphList{255} << GlyphList{};
        QTest::newRow("tie") << "tie" << GlyphList{} << GlyphList{212} << GlyphList{};
        QTest::newRow("behaucht") << "behaucht" << GlyphList{} << GlyphList{221} << GlyphList{};
        QTest::newRow("a code point without U+") << "0283" << GlyphList{83} << GlyphList{} << GlyphList{};
        QTest::newRow("lower-case u+") << "u+0294" << GlyphList{255} << GlyphList{} << GlyphList{};
        QTest::newRow("a hex word is no code point") << "face" << GlyphList{} << GlyphList{} << GlyphList{};
        QTest::newRow("a composed symbol: base and mark")
            << QStringLiteral("ʃ̥") << GlyphList{83, 36} << GlyphList{} << GlyphList{};
        QTest::newRow("nothing") << "xyzzy" << GlyphList{} << GlyphList{} << GlyphList{};
        QTest::newRow("blank") << "   " << GlyphList{} << GlyphList{} << GlyphList{};
    }

    void queries()
    {
        QFETCH(QString, query);
        QFETCH(GlyphList, found);
        QFETCH(GlyphList, contains);
        QFETCH(GlyphList, excludes);
        // The interface language must not change what is found.
        for (const int offset : {GermanOffset, EnglishOffset}) {
            LangOffset = offset;
            const GlyphList result = findSymbols(query);
            if (contains.isEmpty()) {
                QCOMPARE(result, found);
            }
            for (const Glyph code : contains) {
                QVERIFY2(result.contains(code), QByteArray::number(code).constData());
            }
            for (const Glyph code : excludes) {
                QVERIFY2(!result.contains(code), QByteArray::number(code).constData());
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestSymbolSearch)
#include "tst_symbolsearch.moc"
