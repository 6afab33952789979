#include "palette/chartable.h"
#include "palette/glyphclasses.h"

#include <QTest>

#include <set>

using namespace Sprelio;

class TestGlyphClasses final : public QObject
{
    Q_OBJECT

private slots:
    void classSizes_data();
    void classSizes();
    void codeInEveryClass();
    void controlCodesInNoClass();
    void uncharted_data();
    void uncharted();
    void chartCellsAreDistinct();
    void combiningCodesComeFromTheMarkTables();
    void variantCodesHaveNoCell();
};

void TestGlyphClasses::classSizes_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("expected");
    QTest::newRow("narrow") << NarrowSet.size() << 16;
    QTest::newRow("tall") << TallSet.size() << 31;
    QTest::newRow("mark above") << AboveMarkSet.size() << 13;
    QTest::newRow("descender before") << DescenderBeforeSet.size() << 26;
    QTest::newRow("descender after") << DescenderAfterSet.size() << 27;
    QTest::newRow("combining") << CombiningSet.size() << 29;
}

void TestGlyphClasses::classSizes()
{
    QFETCH(int, size);
    QFETCH(int, expected);
    QCOMPARE(size, expected);
}

void TestGlyphClasses::codeInEveryClass()
{
    // The retroflex plosive is narrow, tall and has a descender seen from either side.
    QVERIFY(NarrowSet.contains(208));
    QVERIFY(TallSet.contains(208));
    QVERIFY(DescenderBeforeSet.contains(208));
    QVERIFY(DescenderAfterSet.contains(208));
    QVERIFY(!AboveMarkSet.contains(208));
}

void TestGlyphClasses::controlCodesInNoClass()
{
    for (int code = 0; code < 32; ++code) {
        const auto glyph = static_cast<Glyph>(code);
        QVERIFY2(!NarrowSet.contains(glyph) && !TallSet.contains(glyph) && !AboveMarkSet.contains(glyph) &&
                     !DescenderBeforeSet.contains(glyph) && !DescenderAfterSet.contains(glyph) &&
                     !CombiningSet.contains(glyph),
                 qPrintable(QString::number(code)));
    }
}

void TestGlyphClasses::uncharted_data()
{
    QTest::addColumn<int>("code");
    const std::set<int> expected = [] {
        std::set<int> codes{34, 38, 47, 91, 92, 93, 171, 172, 173, 206, 207, 238, 239};
        for (int c = 136; c <= 147; ++c)
            codes.insert(c);
        for (int c = 156; c <= 165; ++c)
            codes.insert(c);
        for (int c = 175; c <= 179; ++c)
            codes.insert(c);
        for (int c = 181; c <= 191; ++c)
            codes.insert(c);
        for (int c = 233; c <= 236; ++c)
            codes.insert(c);
        return codes;
    }();
    QCOMPARE(int(expected.size()), 55);
    for (int code = 32; code < 256; ++code) {
        QTest::addRow("%d", code) << (expected.count(code) ? -code : code);
    }
}

void TestGlyphClasses::uncharted()
{
    // A negative row value marks a code that must have no cell.
    QFETCH(int, code);
    QCOMPARE(isDescribedGlyph(static_cast<Glyph>(std::abs(code))), code > 0);
}

void TestGlyphClasses::chartCellsAreDistinct()
{
    const std::set<Glyph> cells(CharGridCodes.begin(), CharGridCodes.end());
    QCOMPARE(int(cells.size()), CharGridCellCount);
    QVERIFY(*cells.begin() >= 32);
}

void TestGlyphClasses::combiningCodesComeFromTheMarkTables()
{
    // Every combining code is a tone mark or either entry of a narrow-variant row, and charted.
    for (int code = 0; code < 256; ++code) {
        const auto glyph = static_cast<Glyph>(code);
        if (!CombiningSet.contains(glyph)) {
            continue;
        }
        bool inTable = toneRowFor(glyph).has_value();
        for (const NarrowVariantRow &row : NarrowVariantTable) {
            inTable = inTable || row.mark == glyph || row.narrow == glyph;
        }
        QVERIFY2(inTable, qPrintable(QString::number(code)));
        QVERIFY2(isDescribedGlyph(glyph), qPrintable(QString::number(code)));
    }
}

void TestGlyphClasses::variantCodesHaveNoCell()
{
    std::set<Glyph> variants{206, 207, 238, 239, Codes::HalfSpace, Codes::AltLinking};
    for (const ToneVariantRow &row : ToneVariantTable) {
        variants.insert({row.narrow, row.tall, row.narrowTall});
    }
    for (const NarrowVariantRow &row : NarrowVariantTable) {
        if (row.narrow != Codes::MidCentralized) {
            variants.insert(row.narrow);
        }
    }
    QCOMPARE(int(variants.size()), 50);
    for (const Glyph code : variants) {
        QVERIFY2(!isDescribedGlyph(code), qPrintable(QString::number(code)));
    }
}

QTEST_GUILESS_MAIN(TestGlyphClasses)
#include "tst_glyphclasses.moc"
