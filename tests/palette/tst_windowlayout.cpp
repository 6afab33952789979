#include "palette/windowlayout.h"

#include <QTest>

using namespace Sprelio;

class TestWindowLayout final : public QObject
{
    Q_OBJECT

private slots:
    void figures_data();
    void figures();
    void widthSnapsToTwelve_data();
    void widthSnapsToTwelve();
    void gridAddsItsHeightOnly();
    void panelsDoNotOverlap();
};

void TestWindowLayout::figures_data()
{
    QTest::addColumn<int>("clientWidth");
    QTest::addColumn<int>("unitSize");
    QTest::addColumn<int>("buttonSide");
    QTest::addColumn<int>("fontSize");
    QTest::addColumn<QSize>("vokal");
    QTest::addColumn<QSize>("kons");
    QTest::addColumn<QSize>("sys");
    QTest::addColumn<int>("resultWidth");

    QTest::newRow("minimum width") << 464 << 38 << 37 << 14 << QSize(151, 189) << QSize(226, 189)
                                   << QSize(74, 189) << 465;
    QTest::newRow("below the minimum")
        << 300 << 38 << 37 << 14 << QSize(151, 189) << QSize(226, 189) << QSize(74, 189) << 465;
    QTest::newRow("default width") << 484 << 40 << 39 << 15 << QSize(159, 199) << QSize(238, 199)
                                   << QSize(78, 199) << 489;
    QTest::newRow("wide") << 1000 << 83 << 82 << 32 << QSize(331, 414) << QSize(496, 414) << QSize(164, 414)
                          << 1005;
}

void TestWindowLayout::figures()
{
    QFETCH(int, clientWidth);
    QFETCH(int, unitSize);
    QFETCH(int, buttonSide);
    QFETCH(int, fontSize);
    QFETCH(QSize, vokal);
    QFETCH(QSize, kons);
    QFETCH(QSize, sys);
    QFETCH(int, resultWidth);

    const WindowLayout l = computeWindowLayout(clientWidth, false);
    QCOMPARE(l.unitSize, unitSize);
    QCOMPARE(l.paletteButtons.size(), 50);
    QCOMPARE(l.paletteButtons.at(1).size(), QSize(buttonSide, buttonSide));
    QCOMPARE(l.paletteFontSize, fontSize);
    QCOMPARE(l.vokalPanel.size(), vokal);
    QCOMPARE(l.konsPanel.size(), kons);
    QCOMPARE(l.sysPanel.size(), sys);
    QCOMPARE(l.clientSize.width(), resultWidth);
    QCOMPARE(l.vokalPanel.x(), 2);
    QCOMPARE(l.konsPanel.x(), l.vokalPanel.right() + 1 + 4);
    // The last consonant button touches the bottom-right corner of the panel's grid.
    QCOMPARE(l.paletteButtons.at(29).topLeft(), QPoint(5 * buttonSide + 2, 4 * buttonSide + 2));
    QCOMPARE(l.paletteButtons.at(49).topLeft(), QPoint(3 * buttonSide + 2, 4 * buttonSide + 2));
}

void TestWindowLayout::widthSnapsToTwelve_data()
{
    QTest::addColumn<int>("clientWidth");
    for (int width = 456; width < 468; ++width) {
        QTest::addRow("%d", width) << width;
    }
}

void TestWindowLayout::widthSnapsToTwelve()
{
    // Every width of the same unit gives the same window, and the result is stable.
    QFETCH(int, clientWidth);
    const WindowLayout l = computeWindowLayout(clientWidth, false);
    QCOMPARE(l.clientSize.width(), 465);
    const WindowLayout again = computeWindowLayout(l.clientSize.width(), false);
    QCOMPARE(again.clientSize, l.clientSize);
    QCOMPARE(again.editField, l.editField);
}

void TestWindowLayout::gridAddsItsHeightOnly()
{
    const WindowLayout plain = computeWindowLayout(484, false);
    const WindowLayout editing = computeWindowLayout(484, true);
    QCOMPARE(editing.clientSize.height(), plain.clientSize.height() + plain.charGrid.height() + 4);
    QCOMPARE(editing.editField, plain.editField);
    QCOMPARE(editing.konsPanel, plain.konsPanel);
    QCOMPARE(plain.charGrid.width(), 13 * plain.charGridCellSize + 34);
    QCOMPARE(plain.charGrid.y(), plain.konsPanel.bottom() + 1 + 4);
}

void TestWindowLayout::panelsDoNotOverlap()
{
    for (int width = 464; width < 1400; width += 37) {
        const WindowLayout l = computeWindowLayout(width, false);
        QVERIFY(!l.vokalPanel.intersects(l.konsPanel));
        QVERIFY(!l.konsPanel.intersects(l.sysPanel));
        QVERIFY(!l.toolBar.intersects(l.toolBar2));
        QVERIFY(l.toolBar.bottom() < l.vokalPanel.bottom());
        QVERIFY(l.editField.bottom() < l.toolBar.top());
        const int sysBottom = l.sysButtons.at(int(SysButton::Enter)).bottom();
        QVERIFY2(sysBottom < l.sysPanel.height(), qPrintable(QString::number(width)));
        QCOMPARE(l.editField.height(), l.clientSize.height() / 7);
    }
}

QTEST_GUILESS_MAIN(TestWindowLayout)
#include "tst_windowlayout.moc"
