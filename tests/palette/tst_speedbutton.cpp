#include "palette/glyphtext.h"
#include "palette/kwspeedbutton.h"
#include "palette/phoneticfonts.h"
#include "palette/speedbutton.h"
#include "palette/symbolsets.h"

#include <QSet>
#include <QSignalSpy>
#include <QTest>

using namespace Sprelio;

namespace {

// a, b and d share a parent, d one group further on; c has a parent of its own.
struct Panels
{
    QWidget window;
    QWidget *left = new QWidget(&window);
    QWidget *right = new QWidget(&window);
    QList<SpeedButton *> buttons{new SpeedButton(left), new SpeedButton(left), new SpeedButton(right),
                                 new SpeedButton(left)};

    Panels(int group, bool allowAllUp)
    {
        for (SpeedButton *button : buttons) {
            button->resize(30, 30);
            button->setAllowAllUp(allowAllUp);
            button->setGroupIndex(button == buttons[3] ? group + 1 : group);
        }
    }
    SpeedButton *operator[](char name) const { return buttons.at(name - 'a'); }
    QString downStates() const
    {
        QString states;
        for (const SpeedButton *button : buttons) {
            states += button->isChecked() ? QLatin1Char('1') : QLatin1Char('0');
        }
        return states;
    }
};

QImage render(const QByteArray &symbol, int offsetX = 0, int offsetY = 0, bool enabled = true)
{
    TKWSpeedButton button;
    // Any font will do: where it lacks a glyph code, its missing-glyph box is ink all the same.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(20);
    button.setFont(font);
    button.resize(40, 40);
    button.SetSymbol(symbol);
    button.setOffsetX(offsetX);
    button.setOffsetY(offsetY);
    button.setEnabled(enabled);
    return button.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The bounding box of the pixels in which a rendering differs from the bare face.
QRect inkRect(const QImage &image, const QImage &face)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != face.pixel(x, y)) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

QSet<QRgb> colours(const QImage &image)
{
    QSet<QRgb> found;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            found.insert(image.pixel(x, y));
        }
    }
    return found;
}

} // namespace

class TestSpeedButton final : public QObject
{
    Q_OBJECT

private slots:
    void downStates_data();
    void downStates();
    void groupIndexChangesAtRunTime();
    void clickedSeesTheNewDownState();
    void hints_data();
    void hints();
    void emptySymbolDrawsThePlainFace();
    void offsets_data();
    void offsets();
    void disabledSymbolIsEngraved();
    void specialBarMarksShowWhole_data();
    void specialBarMarksShowWhole();
};

void TestSpeedButton::downStates_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<bool>("allowAllUp");
    QTest::addColumn<QByteArray>("actions"); // a letter clicks that button, a capital sets it down
    QTest::addColumn<QString>("downStates"); // of a, b, c, d
    QTest::newRow("group 0 is a push button") << 0 << true << QByteArray("aA") << "0000";
    QTest::newRow("a click puts a button down") << 1 << false << QByteArray("a") << "1000";
    QTest::newRow("one group on one parent excludes") << 1 << false << QByteArray("ab") << "0100";
    QTest::newRow("setting down excludes too") << 1 << false << QByteArray("AB") << "0100";
    QTest::newRow("another parent is independent") << 1 << false << QByteArray("ac") << "1010";
    QTest::newRow("another group is independent") << 1 << false << QByteArray("ad") << "1001";
    QTest::newRow("down stays down without all up") << 1 << false << QByteArray("aa") << "1000";
    QTest::newRow("all up lets a down button pop up") << 1 << true << QByteArray("aa") << "0000";
    QTest::newRow("all up still excludes") << 1 << true << QByteArray("abb") << "0000";
}

void TestSpeedButton::downStates()
{
    QFETCH(int, group);
    QFETCH(bool, allowAllUp);
    QFETCH(QByteArray, actions);
    QFETCH(QString, downStates);
    Panels panels(group, allowAllUp);
    for (const char action : actions) {
        if (QChar::isUpper(action)) {
            panels[static_cast<char>(QChar::toLower(action))]->setChecked(true);
        } else {
            QTest::mouseClick(panels[action], Qt::LeftButton);
        }
    }
    QCOMPARE(panels.downStates(), downStates);
}

void TestSpeedButton::groupIndexChangesAtRunTime()
{
    Panels panels(0, true);
    panels['a']->setGroupIndex(2);
    panels['b']->setGroupIndex(2);
    QTest::mouseClick(panels['a'], Qt::LeftButton);
    QTest::mouseClick(panels['b'], Qt::LeftButton);
    QCOMPARE(panels.downStates(), QStringLiteral("0100"));

    // A down button that joins a group puts the group's down button up.
    panels['d']->setChecked(true);
    panels['d']->setGroupIndex(2);
    QCOMPARE(panels.downStates(), QStringLiteral("0001"));

    panels['d']->setGroupIndex(0);
    QCOMPARE(panels.downStates(), QStringLiteral("0000"));
    QTest::mouseClick(panels['d'], Qt::LeftButton);
    QCOMPARE(panels.downStates(), QStringLiteral("0000"));
}

void TestSpeedButton::clickedSeesTheNewDownState()
{
    Panels panels(1, true);
    panels.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&panels.window));
    SpeedButton *button = panels['a'];
    QList<bool> seen;
    connect(button, &QAbstractButton::clicked, this, [&] { seen << button->isChecked(); });
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    button->setAllowAllUp(false);
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(seen, QList<bool>({true, false, true, true}));
    QVERIFY(!button->hasFocus());
}

void TestSpeedButton::hints_data()
{
    QTest::addColumn<QString>("accessibleName"); // given before the hint
    QTest::addColumn<QString>("hint");
    QTest::addColumn<bool>("showHint");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QString>("expectedName");
    const QString plosive = QStringLiteral("Voiceless Bilabial Plosive");
    QTest::newRow("shown") << "" << plosive << true << plosive << plosive;
    QTest::newRow("switched off, still named") << "" << plosive << false << "" << plosive;
    QTest::newRow("empty hint") << QString() << QString() << true << QString() << QString();
    QTest::newRow("own name kept") << "Send" << plosive << true << plosive << "Send";
}

void TestSpeedButton::hints()
{
    QFETCH(QString, accessibleName);
    QFETCH(QString, hint);
    QFETCH(bool, showHint);
    QFETCH(QString, toolTip);
    QFETCH(QString, expectedName);
    SpeedButton button;
    button.setAccessibleName(accessibleName);
    button.setShowHint(true);
    button.setHint(QStringLiteral("Dental"));
    button.setHint(hint);
    button.setShowHint(showHint);
    QCOMPARE(button.hint(), hint);
    QCOMPARE(button.toolTip(), toolTip);
    QCOMPARE(button.accessibleName(), expectedName);
}

void TestSpeedButton::emptySymbolDrawsThePlainFace()
{
    const QImage face = render(QByteArray());
    QCOMPARE(render(QByteArray(), 5, -3), face);
    QVERIFY(!inkRect(render("A"), face).isEmpty());
}

void TestSpeedButton::offsets_data()
{
    QTest::addColumn<int>("offsetX");
    QTest::addColumn<int>("offsetY");
    QTest::addColumn<QPoint>("shift");
    QTest::newRow("right") << 3 << 0 << QPoint(3, 0);
    QTest::newRow("left") << -5 << 0 << QPoint(-5, 0);
    QTest::newRow("down") << 0 << 4 << QPoint(0, 4);
    // Raising keeps the bottom edge: the rectangle grows and its centre rises by half.
    QTest::newRow("up") << 0 << -4 << QPoint(0, -2);
    QTest::newRow("up and right") << 2 << -6 << QPoint(2, -3);
}

void TestSpeedButton::offsets()
{
    QFETCH(int, offsetX);
    QFETCH(int, offsetY);
    QFETCH(QPoint, shift);
    const QImage face = render(QByteArray());
    const QRect centred = inkRect(render("A"), face);
    const QRect moved = inkRect(render("A", offsetX, offsetY), face);
    QCOMPARE(moved.size(), centred.size());
    QCOMPARE(moved.topLeft() - centred.topLeft(), shift);
}

void TestSpeedButton::disabledSymbolIsEngraved()
{
    const QImage enabled = render("A");
    const QImage disabled = render("A", 0, 0, false);
    const QRect enabledInk = inkRect(enabled, render(QByteArray()));
    QCOMPARE(inkRect(disabled, render(QByteArray(), 0, 0, false)), enabledInk.adjusted(0, 0, 1, 1));
    const QPalette palette;
    const QRgb text = palette.color(QPalette::Active, QPalette::ButtonText).rgb();
    QVERIFY(colours(disabled).contains(palette.color(QPalette::Active, QPalette::Light).rgb()));
    QVERIFY(colours(disabled).contains(palette.color(QPalette::Active, QPalette::Dark).rgb()));
    QVERIFY(!colours(disabled).contains(text));
    QVERIFY(colours(enabled).contains(text));
}

void TestSpeedButton::specialBarMarksShowWhole_data()
{
    QTest::addColumn<bool>("sansSerif");
    QTest::addColumn<int>("code");
    for (const bool sansSerif : {false, true}) {
        for (const auto &row : SpecialSetTable) {
            for (const Glyph code : row) {
                if (CombiningSet.contains(code)) {
                    QTest::addRow("%d, %s", int{code}, sansSerif ? "sans serif" : "serif")
                        << sansSerif << int{code};
                }
            }
        }
    }
}

void TestSpeedButton::specialBarMarksShowWhole()
{
    // A mark alone on a special button is drawn where it would sit over a base; placed so, some
    // would hang off the button, and the user could not tell the nasal from the centralized button.
    QFETCH(bool, sansSerif);
    QFETCH(int, code);
    QVERIFY(registerPhoneticFonts());
    QFont font(phoneticFamily(sansSerif));
    font.setPixelSize(18);
    const QByteArray symbol(1, static_cast<char>(code));
    const auto draw = [&font](const QByteArray &text, QPoint offsets) {
        TKWSpeedButton button;
        button.setFont(font);
        button.resize(24, 24);
        button.SetSymbol(text);
        button.setOffsetX(offsets.x());
        button.setOffsetY(offsets.y());
        return button.grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    const QRect ink = inkRect(draw(symbol, symbolOffsets(QFontMetrics(font), symbol)), draw({}, {}));
    QVERIFY(!ink.isEmpty());
    QVERIFY2(QRect(2, 2, 20, 20).contains(ink), qPrintable(QStringLiteral("ink at %1,%2 %3x%4")
                                                               .arg(ink.x())
                                                               .arg(ink.y())
                                                               .arg(ink.width())
                                                               .arg(ink.height())));
}

QTEST_MAIN(TestSpeedButton)
#include "tst_speedbutton.moc"
