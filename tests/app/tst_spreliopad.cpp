#include "app/spreliopad.h"
#include "compose/glyphedit.h"
#include "findnamed.h"
#include "glyphbytes.h"
#include "i18n/langstr.h"
#include "modalwatch.h"
#include "palette/kwspeedbutton.h"
#include "palette/phoneticfonts.h"
#include "palette/unicodeipa.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QToolTip>

using namespace Sprelio;

class TestSprelioPad final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void buttonsOnTheirPanels();
    void specialSets_data();
    void specialSets();
    void switchingSetReleasesPendingMark();
    void clicksType_data();
    void clicksType();
    void brackets_data();
    void brackets();
    void deleteAndKeyboard();
    void copyAndPasteKeepTheBytes();
    void copyFromTheFieldAsASend_data();
    void copyFromTheFieldAsASend();
    void undefinedCodePagePositions_data();
    void undefinedCodePagePositions();
    void faceAndStyle();
    void captions_data();
    void captions();
    void paletteHintsKeepTheirLanguage();
    void layoutAtMinimumWidth();
    void keyboardOnly_data();
    void keyboardOnly();
    void menusFromTheKeyboard();
    void hintsWhileAnotherWindowIsActive();
    void nothingOpensTheHelp_data();
    void nothingOpensTheHelp();

private:
    template <typename T> T *child(const char *name) const { return findNamed<T>(m_pad.get(), name); }
    void click(QAbstractButton *button) const { QTest::mouseClick(button, Qt::LeftButton); }
    void chooseSet(const char *setButton) const { child<QAction>(setButton)->trigger(); }
    QByteArray field() const { return child<GlyphEdit>("EditField")->glyphs(); }

    std::unique_ptr<TSprelioPad> m_pad;
};

void TestSprelioPad::initTestCase()
{
    registerPhoneticFonts();
}

void TestSprelioPad::init()
{
    m_pad = std::make_unique<TSprelioPad>();
    m_pad->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pad.get()));
}

void TestSprelioPad::cleanup()
{
    ModalWatch::cancelAll();
    m_pad.reset();
    LangOffset = GermanOffset;
}

void TestSprelioPad::buttonsOnTheirPanels()
{
    QCOMPARE(m_pad->PaletteButtons().size(), 50);
    QCOMPARE(child<QWidget>("KonsPanel")->findChildren<TKWSpeedButton *>().size(), 30);
    QCOMPARE(child<QWidget>("VokalPanel")->findChildren<TKWSpeedButton *>().size(), 20);
    QCOMPARE(child<QWidget>("ToolBar")->findChildren<TKWSpeedButton *>().size(), 6);
    QCOMPARE(child<QWidget>("ToolBar2")->findChildren<TKWSpeedButton *>().size(), 11);
    QCOMPARE(m_pad->findChildren<TKWSpeedButton *>().size(), 67);
    QCOMPARE(m_pad->PaletteButtons().at(0)->Symbol(), QByteArray("p"));
    QCOMPARE(m_pad->PaletteButtons().at(29)->Symbol(), QByteArray());
    QCOMPARE(m_pad->PaletteButtons().at(35)->Symbol(), bytes({228, 58}));
    QCOMPARE(m_pad->PaletteButtons().at(0)->hint(), QStringLiteral("Stimmloser bilabialer Plosivlaut"));
    QCOMPARE(m_pad->PaletteButtons().at(0)->accessibleName(), m_pad->PaletteButtons().at(0)->hint());
    QCOMPARE(m_pad->PaletteButtons().at(35)->hint(), QString());
    QCOMPARE(m_pad->PaletteButtons().at(35)->accessibleName(),
             QStringLiteral("Halboffener vorderer Vokal + Verlängerung"));
}

void TestSprelioPad::specialSets_data()
{
    QTest::addColumn<QByteArray>("setButton");
    QTest::addColumn<QList<int>>("hidden");
    QTest::addColumn<QList<int>>("combining");
    QTest::newRow("suprasegmentals") << QByteArray("SupraBtn") << QList{5, 10} << QList{1};
    QTest::newRow("tones") << QByteArray("ToneBtn") << QList<int>{} << QList{0, 1, 2, 3, 4, 5, 6};
    QTest::newRow("diacritics 1") << QByteArray("Diac1Btn") << QList<int>{}
                                  << QList{0, 1, 3, 4, 5, 6, 7, 8, 9, 10};
    QTest::newRow("diacritics 3") << QByteArray("Diac3Btn") << QList{9, 10} << QList{0, 1, 2, 3};
}

void TestSprelioPad::specialSets()
{
    QFETCH(QByteArray, setButton);
    QFETCH(QList<int>, hidden);
    QFETCH(QList<int>, combining);
    chooseSet(setButton.constData());
    for (int k = 0; k < 11; ++k) {
        const TKWSpeedButton *button = m_pad->SpecialButtons().at(k);
        QCOMPARE(button->isVisible(), !hidden.contains(k));
        QCOMPARE(button->GroupIndex() == 1, combining.contains(k));
    }
}

void TestSprelioPad::switchingSetReleasesPendingMark()
{
    chooseSet("ToneBtn");
    TKWSpeedButton *rising = m_pad->SpecialButtons().at(5);
    click(rising);
    QVERIFY(rising->isChecked());
    chooseSet("Diac1Btn");
    for (const TKWSpeedButton *button : m_pad->SpecialButtons()) {
        QVERIFY(!button->isChecked());
    }
    click(m_pad->PaletteButtons().at(0));
    QCOMPARE(field(), QByteArray("p"));
}

// A click script: "P<i>" palette button i, "T<j>" tool button j, "S<k>" special button k,
// "K<n>" single bracket n (after switching the bracket mode), "set:<name>" a special set.
void TestSprelioPad::clicksType_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QByteArray>("typed");
    QTest::newRow("voiceless pending over t") << QStringList{"set:Diac1Btn", "S0", "P2"} << bytes({116, 182});
    QTest::newRow("rising pending over l") << QStringList{"set:ToneBtn", "S5", "P18"} << bytes({108, 177});
    QTest::newRow("extra high over i") << QStringList{"set:ToneBtn", "S0", "P39"} << bytes({238, 136});
    QTest::newRow("mark released by a second click")
        << QStringList{"set:ToneBtn", "S0", "S0", "P39"} << bytes({105});
    QTest::newRow("g, linking, a") << QStringList{"P5", "T3", "P30"} << bytes({103, 34, 97});
    QTest::newRow("a, linking, a") << QStringList{"P30", "T3", "P30"} << bytes({97, 35, 97});
    QTest::newRow("tie then s") << QStringList{"P2", "T4", "P10"} << bytes({116, 212, 115});
    QTest::newRow("half space types 189") << QStringList{"S9"} << bytes({189});
    QTest::newRow("space and group marks type at once")
        << QStringList{"S6", "S4", "S0"} << bytes({32, 130, 59});
    QTest::newRow("long and stresses")
        << QStringList{"T1", "P0", "T0", "T2", "T5"} << bytes({96, 112, 58, 180, 39});
    QTest::newRow("empty button with tie") << QStringList{"T4", "P29", "P0"} << bytes({212, 112});
    QTest::newRow("mark pending over backslash")
        << QStringList{"set:Diac1Btn", "S0", "K3"} << bytes({92, 36});
    QTest::newRow("long vowel entry under a mark")
        << QStringList{"set:ToneBtn", "S5", "P35"} << bytes({228, 58, 94});
}

void TestSprelioPad::clicksType()
{
    QFETCH(QStringList, script);
    QFETCH(QByteArray, typed);
    bool singleMode = false;
    for (const QString &step : script) {
        if (step.startsWith(QLatin1String("set:"))) {
            chooseSet(step.mid(4).toLatin1().constData());
            continue;
        }
        const int index = step.mid(1).toInt();
        switch (step.front().toLatin1()) {
        case 'P':
            click(m_pad->PaletteButtons().at(index));
            break;
        case 'T':
            click(m_pad->ToolButtons().at(index));
            break;
        case 'S':
            click(m_pad->SpecialButtons().at(index));
            break;
        case 'K':
            if (!singleMode) {
                click(child<SpeedButton>("KlBtn"));
                singleMode = true;
            }
            click(child<SpeedButton>(QByteArray("K" + QByteArray::number(index + 1) + "Btn").constData()));
            break;
        }
    }
    QCOMPARE(field(), typed);
    QVERIFY(!m_pad->ToolButtons().at(3)->isChecked());
    QVERIFY(!m_pad->ToolButtons().at(4)->isChecked());
}

void TestSprelioPad::brackets_data()
{
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QByteArray>("result");
    QTest::newRow("empty, square") << QByteArray() << QStringList{"EKlBtn"} << QByteArray("[]");
    QTest::newRow("empty, slashes") << QByteArray() << QStringList{"SchraegBtn"} << QByteArray("//");
    QTest::newRow("text, square") << QByteArray("pa") << QStringList{"EKlBtn"} << QByteArray("[pa]");
    QTest::newRow("twice") << QByteArray("pa") << QStringList{"EKlBtn", "EKlBtn"} << QByteArray("[[pa]]");
    QTest::newRow("single mode") << QByteArray("pa")
                                 << QStringList{"KlBtn", "K1Btn", "K2Btn", "K3Btn", "K4Btn"}
                                 << QByteArray("pa[]/\\");
}

void TestSprelioPad::brackets()
{
    QFETCH(QByteArray, start);
    QFETCH(QStringList, buttons);
    QFETCH(QByteArray, result);
    auto *edit = child<GlyphEdit>("EditField");
    edit->setGlyphs(start);
    for (const QString &name : buttons) {
        click(child<SpeedButton>(name.toLatin1().constData()));
    }
    QCOMPARE(edit->glyphs(), result);
    QVERIFY(edit->cursorPosition() <= edit->text().size());

    const bool single = child<SpeedButton>("KlBtn")->isChecked();
    QCOMPARE(child<SpeedButton>("K1Btn")->isVisible(), single);
    QCOMPARE(child<SpeedButton>("EKlBtn")->isVisible(), !single);
}

void TestSprelioPad::deleteAndKeyboard()
{
    auto *edit = child<GlyphEdit>("EditField");
    click(child<SpeedButton>("BackBtn"));
    QCOMPARE(edit->glyphs(), QByteArray());
    QVERIFY(edit->hasFocus());

    const auto type = [edit](const QString &text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
        QApplication::sendEvent(edit, &press);
    };
    type(QStringLiteral("ä"));
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter);
    type(QStringLiteral("€"));
    type(QStringLiteral("\u0101")); // not in Windows-1252
    type(QStringLiteral("x"));
    QCOMPARE(edit->glyphs(), bytes({0xE4, 0x80, 'x'}));

    // A composed base and mark go one byte per click.
    chooseSet("Diac1Btn");
    click(m_pad->SpecialButtons().at(0));
    click(m_pad->PaletteButtons().at(20));
    click(child<SpeedButton>("BackBtn"));
    QCOMPARE(edit->glyphs(), bytes({0xE4, 0x80, 'x', 'n'}));
}

void TestSprelioPad::copyAndPasteKeepTheBytes()
{
    auto *edit = child<GlyphEdit>("EditField");
    const QByteArray glyphs = bytes({0x80, 0x9F, 0xA0, 0xAD, 0xE4, 0xFF, '{', '\\'});
    edit->setGlyphs(glyphs);
    edit->selectAll();
    edit->copy();
    edit->clear();
    edit->paste();
    edit->paste();
    QCOMPARE(edit->glyphs(), glyphs + glyphs);
}

void TestSprelioPad::copyFromTheFieldAsASend_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QByteArray>("left");
    QTest::newRow("Ctrl+C") << "key copy" << QByteArray("pSa:");
    QTest::newRow("Ctrl+X") << "key cut" << QByteArray("p:");
    QTest::newRow("context menu Kopieren") << "&Kopieren" << QByteArray("pSa:");
    QTest::newRow("context menu Ausschneiden") << "&Ausschneiden" << QByteArray("p:");
}

void TestSprelioPad::copyFromTheFieldAsASend()
{
    QFETCH(QString, how);
    QFETCH(QByteArray, left);
    auto *edit = child<GlyphEdit>("EditField");
    QGuiApplication::clipboard()->clear();
    edit->setGlyphs("pSa:");
    edit->setSelection(1, 2);
    if (how == u"key copy") {
        QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
    } else if (how == u"key cut") {
        QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    } else {
        QContextMenuEvent event(QContextMenuEvent::Keyboard, edit->rect().center(),
                                edit->mapToGlobal(edit->rect().center()));
        QApplication::sendEvent(edit, &event);
        QMenu *menu = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())), 10000);
        const QList<QAction *> actions = menu->actions();
        const auto item = std::find_if(actions.begin(), actions.end(),
                                       [&how](const QAction *a) { return a->text().startsWith(how); });
        QStringList texts;
        for (const QAction *a : actions) {
            texts << a->text();
        }
        QVERIFY2(item != actions.end(), qPrintable(texts.join(u'|')));
        (*item)->trigger();
        menu->close();
    }
    QCOMPARE(edit->glyphs(), left);

    // Rich text with every byte in the phonetic face at the clipboard size, and the IPA as text.
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data != nullptr);
    const QByteArray rtf = data->data(QStringLiteral("text/rtf"));
    QVERIFY2(rtf.contains("\\'53\\'61}") && rtf.contains("\\fs20") &&
                 rtf.contains(m_pad->CurrentFontName().toUtf8()),
             rtf.constData());
    const QString text = data->text();
    QCOMPARE(text, glyphsToUnicodeIpa("Sa"));
    QVERIFY(std::none_of(text.begin(), text.end(),
                         [](QChar c) { return c.unicode() >= 0xE000 && c.unicode() <= 0xF8FF; }));
}

void TestSprelioPad::undefinedCodePagePositions_data()
{
    QTest::addColumn<int>("code");
    for (const int code : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        QTest::newRow(qPrintable(QStringLiteral("U+%1").arg(code, 4, 16, QLatin1Char('0')))) << code;
    }
}

void TestSprelioPad::undefinedCodePagePositions()
{
    QFETCH(int, code);
    auto *edit = child<GlyphEdit>("EditField");
    const QString character{QChar(char16_t(code))};
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
    QApplication::sendEvent(edit, &press);
    QApplication::clipboard()->setText(QLatin1Char('a') + character);
    edit->paste();
    // X11 hands these on as a Unicode keysym without text.
    QKeyEvent keysym(QEvent::KeyPress, 0, Qt::NoModifier, 0, 0x01000000u + quint32(code), 0);
    QApplication::sendEvent(edit, &keysym);
    QCOMPARE(edit->glyphs(), bytes({code, 'a', code, code}));
}

void TestSprelioPad::faceAndStyle()
{
    TKWSpeedButton *palette = m_pad->PaletteButtons().at(0);
    TKWSpeedButton *tool = m_pad->ToolButtons().at(0);
    TKWSpeedButton *special = m_pad->SpecialButtons().at(0);
    const QFont toolFont = tool->font();
    const QFont specialFont = special->font();

    child<QAction>("Sans")->trigger();
    QVERIFY(child<QAction>("SansSerifBtn")->isChecked());
    QCOMPARE(m_pad->CurrentFontName(), QStringLiteral("Lautbild Sans Serif"));
    QCOMPARE(palette->font().family(), QStringLiteral("Lautbild Sans Serif"));
    QCOMPARE(child<GlyphEdit>("EditField")->font().family(), QStringLiteral("Lautbild Sans Serif"));

    child<QAction>("SerifBtn")->trigger();
    QVERIFY(child<QAction>("Serif")->isChecked());
    QCOMPARE(palette->font().family(), QStringLiteral("Lautbild Serif"));

    child<QAction>("Fett1")->trigger();
    child<QAction>("KursivBtn")->trigger();
    QVERIFY(child<QAction>("FettBtn")->isChecked());
    QVERIFY(child<QAction>("Kursiv1")->isChecked());
    QVERIFY(palette->font().bold() && palette->font().italic());
    QVERIFY(child<GlyphEdit>("EditField")->font().italic());
    child<QAction>("Fett1")->trigger();
    QVERIFY(!child<QAction>("FettBtn")->isChecked());
    QVERIFY(!palette->font().bold());

    QCOMPARE(tool->font(), toolFont);
    QCOMPARE(special->font(), specialFont);
}

void TestSprelioPad::captions_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<QStringList>("menus");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("boldHint");
    QTest::addColumn<QString>("longHint");
    QTest::newRow("German") << GermanOffset
                            << QStringList{"Optionen", "&Tastenbelegung", "&Schrift", "&Hilfe"} << "Sprelio"
                            << "Fett"
                            << "Verlängerung";
    QTest::newRow("English") << EnglishOffset << QStringList{"&Options", "&Assignment", "&Font", "&Help"}
                             << "Sprelio ..."
                             << "Bold"
                             << "Long";
}

void TestSprelioPad::captions()
{
    QFETCH(int, offset);
    QFETCH(QStringList, menus);
    QFETCH(QString, title);
    QFETCH(QString, boldHint);
    QFETCH(QString, longHint);

    child<QAction>(offset == GermanOffset ? "Deutsch1" : "Englisch1")->trigger();
    for (int pass = 0; pass < 2; ++pass) {
        QCOMPARE(child<QMenu>("Optionen1")->title(), menus.at(0));
        QCOMPARE(child<QMenu>("Belegung1")->title(), menus.at(1));
        QCOMPARE(child<QMenu>("Schrift1")->title(), menus.at(2));
        QCOMPARE(child<QMenu>("Hilfe1")->title(), menus.at(3));
        QCOMPARE(m_pad->windowTitle(), title);
        QCOMPARE(child<QAction>("FettBtn")->toolTip(), boldHint);
        QCOMPARE(m_pad->ToolButtons().at(0)->hint(), longHint);
        QCOMPARE(child<QAction>("OpenOffice")->text(), QStringLiteral("OpenOffice/LibreOffice"));
        QCOMPARE(child<QAction>("N10pt1")->text(), QStringLiteral("10pt"));
        m_pad->ApplyLanguage();
    }
    QCOMPARE(child<QAction>("Englisch1")->isChecked(), offset == EnglishOffset);
}

void TestSprelioPad::paletteHintsKeepTheirLanguage()
{
    child<QAction>("Englisch1")->trigger();
    QCOMPARE(m_pad->PaletteButtons().at(0)->hint(), QStringLiteral("Stimmloser bilabialer Plosivlaut"));
    chooseSet("ToneBtn");
    QCOMPARE(m_pad->SpecialButtons().at(0)->hint(), QStringLiteral("Extra High"));
}

void TestSprelioPad::layoutAtMinimumWidth()
{
    QWidget *client = m_pad->centralWidget();
    m_pad->resize(464, m_pad->height());
    QTRY_COMPARE(client->width(), 465);
    QCOMPARE(m_pad->UnitSize(), 38);
    const TKWSpeedButton *button = m_pad->PaletteButtons().at(1);
    QCOMPARE(button->size(), QSize(37, 37));
    QCOMPARE(button->font().pointSize(), 14);
    QCOMPARE(child<QWidget>("VokalPanel")->size(), QSize(151, 189));
    QCOMPARE(child<QWidget>("KonsPanel")->size(), QSize(226, 189));
    QCOMPARE(child<QWidget>("SysPanel")->size(), QSize(74, 189));

    const int height = client->height();
    m_pad->resize(467, m_pad->height() + 40); // still unit 38: snaps back
    QTRY_COMPARE(client->width(), 465);
    QCOMPARE(client->height(), height);
}

void TestSprelioPad::keyboardOnly_data()
{
    // Keys pressed one after another from the field, each "+" a modifier; then where the focus is
    // ("field", or a group and index: "tool:0", "palette:7") and what the field holds.
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QByteArray>("field");
    QTest::newRow("Tab leaves the field for the tool bar")
        << QStringList{"Tab"} << "tool:0" << QByteArray("pa");
    QTest::newRow("F6 does as Tab") << QStringList{"F6", "F6"} << "special:0" << QByteArray("pa");
    QTest::newRow("third stop: the consonants")
        << QStringList{"Tab", "Tab", "Tab"} << "palette:0" << QByteArray("pa");
    QTest::newRow("Shift+Tab goes back to the field")
        << QStringList{"Tab", "Shift+Tab"} << "field" << QByteArray("pa");
    QTest::newRow("Escape goes back to the field")
        << QStringList{"Tab", "Tab", "Tab", "Escape"} << "field" << QByteArray("pa");
    QTest::newRow("arrows move within a palette")
        << QStringList{"Tab", "Tab", "Tab", "Right", "Right", "Left"} << "palette:1" << QByteArray("pa");
    QTest::newRow("arrows stop at the palette's edge")
        << QStringList{"Tab", "Tab", "Tab", "Left", "Up"} << "palette:0" << QByteArray("pa");
    QTest::newRow("Return clicks the focused button")
        << QStringList{"Tab", "Tab", "Tab", "Return"} << "palette:0" << QByteArray("pap");
    QTest::newRow("Space clicks the focused button")
        << QStringList{"Tab", "Tab", "Tab", "Space"} << "palette:0" << QByteArray("pap");
    QTest::newRow("Ctrl+Return sends and empties the field")
        << QStringList{"Ctrl+Return"} << "field" << QByteArray();
    QTest::newRow("Shift+Ctrl+Return sends and keeps the field")
        << QStringList{"Shift+Ctrl+Return"} << "field" << QByteArray("pa");
    QTest::newRow("Ctrl+Enter sends from a palette")
        << QStringList{"Tab", "Tab", "Tab", "Ctrl+Enter"} << "palette:0" << QByteArray();
    QTest::newRow("Alt+letter types nothing") << QStringList{"Alt+X"} << "field" << QByteArray("pa");
}

void TestSprelioPad::keyboardOnly()
{
    QFETCH(QStringList, keys);
    QFETCH(QString, focus);
    QFETCH(QByteArray, field);
    m_pad->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_pad.get()));
    m_pad->ZielClick(child<QMenu>("Zwischenablage")->menuAction());
    QGuiApplication::clipboard()->clear();
    auto *edit = child<GlyphEdit>("EditField");
    edit->setGlyphs("pa");
    edit->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(edit->hasFocus(), 10000);

    for (const QString &key : std::as_const(keys)) {
        QWidget *target = QApplication::focusWidget();
        QVERIFY(target != nullptr);
        QTest::keyClick(target, QKeySequence::fromString(key)[0].key(),
                        QKeySequence::fromString(key)[0].keyboardModifiers());
    }

    QWidget *expected = edit;
    if (focus != u"field") {
        const QStringList where = focus.split(u':');
        const int index = where.at(1).toInt();
        const QList<TKWSpeedButton *> &group = where.at(0) == u"tool"      ? m_pad->ToolButtons()
                                               : where.at(0) == u"special" ? m_pad->SpecialButtons()
                                                                           : m_pad->PaletteButtons();
        expected = group.at(index);
    }
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), expected, 10000);
    QCOMPARE(edit->glyphs(), field);
    if (field.isEmpty()) {
        QCOMPARE(QGuiApplication::clipboard()->text(), glyphsToUnicodeIpa("pa"));
    }
    if (expected != edit && !keys.constLast().startsWith(u"Ctrl")) {
        // The button under the keyboard shows its hint, as under the mouse.
        QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 10000);
        QCOMPARE(QToolTip::text(), expected->toolTip());
    }
    if (expected != edit) {
        // The button under the keyboard shows a frame that the others do not.
        const QImage framed = expected->grab().toImage();
        expected->clearFocus();
        QVERIFY(framed != expected->grab().toImage());
    }
}

void TestSprelioPad::menusFromTheKeyboard()
{
    m_pad->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_pad.get()));
    const QString caption = m_pad->menuBar()->actions().constFirst()->text();
    QTest::keyClick(child<GlyphEdit>("EditField"), Qt::Key_F10);
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activePopupWidget() != nullptr, 10000);
    QCOMPARE(m_pad->menuBar()->activeAction(), m_pad->menuBar()->actions().constFirst());
    QCOMPARE(m_pad->menuBar()->actions().constFirst()->text(), caption);
    QApplication::activePopupWidget()->close();
}

void TestSprelioPad::hintsWhileAnotherWindowIsActive()
{
    // Another program's window has the focus; the pointer rests on a palette button.
    QWidget other;
    other.setGeometry(m_pad->geometry().translated(m_pad->width() + 40, 0));
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(!m_pad->isActiveWindow());
    TKWSpeedButton *button = m_pad->PaletteButtons().at(0);
    QVERIFY(!button->toolTip().isEmpty());
    QTest::mouseMove(button, button->rect().center());
    QTest::mouseMove(button, button->rect().center() + QPoint(1, 1));
    QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 10000);
    QCOMPARE(QToolTip::text(), button->toolTip());
}

void TestSprelioPad::nothingOpensTheHelp_data()
{
    // No program opens anything here: the test platform has no desktop services.
    QTest::addColumn<QByteArray>("item");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("named");
    QTest::newRow("German documentation") << QByteArray("Hilfe") << GermanOffset << "sprelio_g.pdf";
    QTest::newRow("English documentation") << QByteArray("Hilfe") << EnglishOffset << "sprelio_e.pdf";
    QTest::newRow("homepage") << QByteArray("KestrelWareHomepage1") << EnglishOffset << "https://";
}

void TestSprelioPad::nothingOpensTheHelp()
{
    QFETCH(QByteArray, item);
    QFETCH(int, language);
    QFETCH(QString, named);
    child<QAction>(language == GermanOffset ? "Deutsch1" : "Englisch1")->trigger();
    QString message;
    ModalWatch::whenModal<QMessageBox>(
        [&message](QMessageBox *box) {
            message = box->text();
            box->accept();
        },
        nullptr, 30000);
    child<QAction>(item.constData())->trigger();
    QVERIFY2(message.contains(named), qPrintable(message));
}

QTEST_MAIN(TestSprelioPad)
#include "tst_spreliopad.moc"
