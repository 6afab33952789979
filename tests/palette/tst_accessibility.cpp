#include "app/spreliopad.h"
#include "compose/glyphedit.h"
#include "i18n/langseldialog.h"
#include "i18n/langstr.h"
#include "palette/chartable.h"
#include "palette/kwspeedbutton.h"
#include "palette/phoneticfonts.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QRadioButton>
#include <QTest>
#include <QToolBar>

using namespace Sprelio;

namespace {

// A control by object name, or "palette:N", "tool:N", "special:N" for the character buttons.
QAbstractButton *control(const TSprelioPad &pad, const QString &name)
{
    const QStringList parts = name.split(QLatin1Char(':'));
    if (parts.size() == 2) {
        const QList<TKWSpeedButton *> &buttons = parts[0] == u"palette" ? pad.PaletteButtons()
                                                 : parts[0] == u"tool"  ? pad.ToolButtons()
                                                                        : pad.SpecialButtons();
        return buttons.at(parts[1].toInt());
    }
    return pad.findChild<QAbstractButton *>(name);
}

// Everything a click can change that a user sees: the field, the face, every button and menu check.
QStringList snapshot(const TSprelioPad &pad)
{
    const auto *edit = pad.findChild<GlyphEdit *>(QStringLiteral("EditField"));
    QStringList state{QString::fromLatin1(edit->glyphs().toHex()), pad.CurrentFontName(),
                      QString::number(edit->font().bold()) + QString::number(edit->font().italic()),
                      QString::number(pad.AssignmentChanged())};
    const QList<QAbstractButton *> buttons = pad.findChildren<QAbstractButton *>();
    for (const QAbstractButton *button : buttons) {
        state << QStringLiteral("%1 %2 %3")
                     .arg(button->isChecked())
                     .arg(button->isVisible())
                     .arg(button->text());
    }
    const QList<QAction *> actions = pad.findChildren<QAction *>();
    for (const QAction *action : actions) {
        state << action->objectName() + QString::number(action->isChecked());
    }
    return state;
}

void prepare(TSprelioPad &pad, const QByteArray &field, const QStringList &steps)
{
    pad.findChild<GlyphEdit *>(QStringLiteral("EditField"))->setGlyphs(field);
    for (const QString &step : steps) {
        if (step.startsWith(u"menu:")) {
            pad.findChild<QAction *>(step.mid(5))->trigger();
        } else {
            QTest::mouseClick(control(pad, step), Qt::LeftButton);
        }
    }
}

bool isPrivateUse(QChar c)
{
    return c.unicode() >= 0xE000 && c.unicode() <= 0xF8FF;
}

} // namespace

class TestAccessibility final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { registerPhoneticFonts(); }
    void cleanup() { LangOffset = GermanOffset; }

    void actionDoesWhatAClickDoes_data();
    void actionDoesWhatAClickDoes();
    void everyControlIsNamed_data();
    void everyControlIsNamed();
    void languageChoiceByAccessibility_data();
    void languageChoiceByAccessibility();
};

void TestAccessibility::actionDoesWhatAClickDoes_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("controlName");
    QTest::addColumn<QString>("action");

    const QString toggle = QAccessibleActionInterface::toggleAction();
    const QString press = QAccessibleActionInterface::pressAction();
    QTest::newRow("consonant button") << QByteArray() << QStringList() << "palette:0" << press;
    QTest::newRow("vowel under a pending diacritic")
        << QByteArray() << QStringList{"Diac1Btn", "special:0"} << "palette:30" << press;
    QTest::newRow("diacritic on the special bar, toggled")
        << QByteArray() << QStringList{"Diac1Btn"} << "special:0" << toggle;
    QTest::newRow("tool button") << QByteArray("a") << QStringList() << "tool:0" << press;
    QTest::newRow("set button Tone, toggled") << QByteArray() << QStringList() << "ToneBtn" << toggle;
    QTest::newRow("set button Diacritics 3, pressed") << QByteArray() << QStringList() << "Diac3Btn" << press;
    QTest::newRow("bracket mode, toggled") << QByteArray() << QStringList() << "KlBtn" << toggle;
    QTest::newRow("bracket mode back, toggled") << QByteArray() << QStringList{"KlBtn"} << "KlBtn" << toggle;
    QTest::newRow("single bracket") << QByteArray("pa") << QStringList{"KlBtn"} << "K4Btn" << press;
    QTest::newRow("paired brackets") << QByteArray("pa") << QStringList() << "SchraegBtn" << press;
    QTest::newRow("delete") << QByteArray("pa") << QStringList() << "BackBtn" << press;
    QTest::newRow("send to the clipboard")
        << QByteArray("pa") << QStringList{"menu:Zwischenablage"} << "EnterBtn" << press;
    QTest::newRow("Bold, toggled") << QByteArray() << QStringList() << "FettBtn" << toggle;
    QTest::newRow("Italic, toggled off") << QByteArray() << QStringList{"KursivBtn"} << "KursivBtn" << toggle;
    QTest::newRow("Sans, toggled") << QByteArray() << QStringList() << "SansSerifBtn" << toggle;
    QTest::newRow("Serif after Sans, toggled")
        << QByteArray() << QStringList{"SansSerifBtn"} << "SerifBtn" << toggle;
    QTest::newRow("edit mode") << QByteArray() << QStringList() << "EditBtn" << press;
    QTest::newRow("leaving edit mode") << QByteArray() << QStringList{"EditBtn"} << "CloseBtn" << press;
}

void TestAccessibility::actionDoesWhatAClickDoes()
{
    QFETCH(QByteArray, field);
    QFETCH(QStringList, steps);
    QFETCH(QString, controlName);
    QFETCH(QString, action);

    // Two windows alike: one gets the mouse click, the other the screen reader's action.
    TSprelioPad clicked;
    TSprelioPad accessed;
    for (TSprelioPad *pad : {&clicked, &accessed}) {
        pad->show();
        QVERIFY(QTest::qWaitForWindowExposed(pad));
        prepare(*pad, field, steps);
    }
    const QStringList before = snapshot(accessed);

    QTest::mouseClick(control(clicked, controlName), Qt::LeftButton);
    QAccessibleInterface *button = QAccessible::queryAccessibleInterface(control(accessed, controlName));
    QVERIFY(button != nullptr);
    QAccessibleActionInterface *actions = button->actionInterface();
    QVERIFY(actions != nullptr);
    QVERIFY2(actions->actionNames().contains(action), qPrintable(actions->actionNames().join(u',')));
    actions->doAction(action);

    QTRY_COMPARE_WITH_TIMEOUT(snapshot(accessed), snapshot(clicked), 5000);
    QVERIFY(snapshot(accessed) != before);
    QCOMPARE(button->state().checked, control(accessed, controlName)->isChecked());
}

void TestAccessibility::everyControlIsNamed_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("controlName");
    QTest::addColumn<QString>("name");

    QTest::newRow("German load button") << GermanOffset << "OpenBtn"
                                        << "Tastenbelegung laden";
    QTest::newRow("English load button") << EnglishOffset << "OpenBtn"
                                         << "Load button assignment";
    QTest::newRow("German bold button") << GermanOffset << "FettBtn"
                                        << "Fett";
    QTest::newRow("English set button") << EnglishOffset << "Diac2Btn"
                                        << "Diacritics 2";
    QTest::newRow("English sans button") << EnglishOffset << "SansSerifBtn"
                                         << "Sans serif font";
    QTest::newRow("German bracket mode") << GermanOffset << "KlBtn"
                                         << "Paarweise oder einzelne Klammern";
    // The bracket buttons in words, in the language switched to.
    QTest::newRow("English square brackets") << EnglishOffset << "EKlBtn"
                                             << "Square brackets";
    QTest::newRow("German slashes") << GermanOffset << "SchraegBtn"
                                    << "Schrägstriche";
    QTest::newRow("German opening bracket") << GermanOffset << "K1Btn"
                                            << "Öffnende eckige Klammer";
    QTest::newRow("English backslash") << EnglishOffset << "K4Btn"
                                       << "Backslash";
    QTest::newRow("English consonant") << EnglishOffset << "palette:0"
                                       << "Voiceless Bilabial Plosive";
}

void TestAccessibility::everyControlIsNamed()
{
    QFETCH(int, language);
    QFETCH(QString, controlName);
    QFETCH(QString, name);

    // The window starts in the other language and is switched from the menu, as a user does.
    LangOffset = language == GermanOffset ? EnglishOffset : GermanOffset;
    TSprelioPad pad;
    pad.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pad));
    pad.findChild<QAction *>(QLatin1String(language == GermanOffset ? "Deutsch1" : "Englisch1"))->trigger();

    QCOMPARE(QAccessible::queryAccessibleInterface(control(pad, controlName))->text(QAccessible::Name), name);
    const QList<QAbstractButton *> buttons = pad.findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons) {
        const auto *glyphButton = qobject_cast<TKWSpeedButton *>(button);
        // A button without a glyph does nothing, and a special button hidden by its set shows none.
        // Qt's own helper buttons (overflow, table corner) are not the program's controls.
        const bool programControl =
            qobject_cast<SpeedButton *>(button) != nullptr ||
            (!button->objectName().isEmpty() && !button->objectName().startsWith(u"qt_"));
        if (!programControl ||
            (glyphButton != nullptr && (glyphButton->Symbol().isEmpty() || glyphButton->isHidden()))) {
            continue;
        }
        const QString text = QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
        QVERIFY2(!text.trimmed().isEmpty(), qPrintable(button->objectName()));
        QVERIFY2(std::none_of(text.cbegin(), text.cend(), isPrivateUse), qPrintable(button->objectName()));
        if (glyphButton != nullptr) {
            QCOMPARE(text, glyphStringName(glyphButton->Symbol()));
        }
    }
}

void TestAccessibility::languageChoiceByAccessibility_data()
{
    QTest::addColumn<QString>("radio");
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("english");
    QTest::newRow("English toggled") << "rbEng" << QAccessibleActionInterface::toggleAction() << true;
    QTest::newRow("German toggled") << "rbGer" << QAccessibleActionInterface::toggleAction() << false;
    QTest::newRow("English pressed") << "rbEng" << QAccessibleActionInterface::pressAction() << true;
}

void TestAccessibility::languageChoiceByAccessibility()
{
    QFETCH(QString, radio);
    QFETCH(QString, action);
    QFETCH(bool, english);

    TformLangSel dialog;
    dialog.open();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *button = dialog.findChild<QRadioButton *>(radio);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(button);
    QCOMPARE(accessible->role(), QAccessible::RadioButton);
    QVERIFY(!accessible->text(QAccessible::Name).isEmpty());
    accessible->actionInterface()->doAction(action);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 5000);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.englishChosen(), english);
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
