#include "app/spreliopad.h"
#include "compose/glyphedit.h"
#include "fakebridge.h"
#include "i18n/langstr.h"
#include "palette/phoneticfonts.h"
#include "palette/speedbutton.h"
#include "targets/bridgedtargets.h"
#include "targets/sendtargets.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTimer>

using namespace Sprelio;

namespace {

// Word "sends" by copying at 20 points; Excel fails as a program that is not there.
class FakeAutomation final : public AutomationTargets
{
public:
    void SendToWord(const SendInputs &inputs, SendHost &host) override
    {
        received = inputs;
        host.CopyEditToClipboard(20);
    }
    void SendToExcel(const SendInputs &, SendHost &) override { throw SendError(QStringLiteral("no Excel")); }
    void SendToPowerPoint(const SendInputs &, SendHost &) override {}
    void SendToOpenOffice(const SendInputs &, SendHost &) override {}

    SendInputs received;
};

} // namespace

class TestSendCommand final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { registerPhoneticFonts(); }
    void init();
    void cleanup() { m_pad.reset(); }

    void fieldAfterSending_data();
    void fieldAfterSending();
    void failingTargetKeepsText();
    void inputsReachTheTarget();
    void routineOutcome_data();
    void routineOutcome();
    void targetsAreOneRadioGroup();
    void clipboardCopyKeepsFieldSize();

private:
    QAction *item(const char *name) const { return m_pad->findChild<QAction *>(QLatin1String(name)); }
    GlyphEdit *edit() const { return m_pad->findChild<GlyphEdit *>(QStringLiteral("EditField")); }
    void send(bool shift) const
    {
        QTest::mouseClick(m_pad->findChild<SpeedButton *>(QStringLiteral("EnterBtn")), Qt::LeftButton,
                          shift ? Qt::ShiftModifier : Qt::NoModifier);
    }

    std::unique_ptr<TSprelioPad> m_pad;
    FakeAutomation *m_automation = nullptr;
};

void TestSendCommand::init()
{
    m_pad = std::make_unique<TSprelioPad>();
    auto automation = std::make_unique<FakeAutomation>();
    m_automation = automation.get();
    m_pad->setAutomationTargets(std::move(automation));
    m_pad->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pad.get()));
    for (QAction *target : item("WinWord")->actionGroup()->actions()) {
        target->setChecked(false);
    }
}

void TestSendCommand::fieldAfterSending_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<bool>("emptied");
    // With no target nothing is sent: the line stays, and the user is told why.
    QTest::newRow("no target") << QByteArray() << false << false;
    QTest::newRow("no target, shift") << QByteArray() << true << false;
    QTest::newRow("clipboard") << QByteArray("Zwischenablage") << false << true;
    QTest::newRow("clipboard, shift") << QByteArray("Zwischenablage") << true << false;
    QTest::newRow("word") << QByteArray("WinWord") << false << true;
}

void TestSendCommand::fieldAfterSending()
{
    QFETCH(QByteArray, target);
    QFETCH(bool, shift);
    QFETCH(bool, emptied);
    if (!target.isEmpty()) {
        m_pad->ZielClick(item(target.constData()));
    }
    // Typed, so that the line edit has something to undo.
    edit()->setGlyphs("p");
    edit()->insertGlyphs("a");
    QString told;
    QTimer::singleShot(0, this, [&told] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            told = box->text();
            box->accept();
        }
    });
    send(shift);
    QCOMPARE(edit()->glyphs(), emptied ? QByteArray() : QByteArray("pa"));
    // A sent line is gone for good: undo would bring it back character by character, and its
    // history would grow with every line of the day.
    QCOMPARE(edit()->isUndoAvailable(), !emptied);
    QCOMPARE(told, target.isEmpty() ? LangStr(214) : QString());
    if (!emptied && !target.isEmpty()) {
        QCOMPARE(edit()->selectedText().size(), 2); // the whole text stays selected
    }
}

void TestSendCommand::failingTargetKeepsText()
{
    m_pad->ZielClick(item("Excel"));
    edit()->setGlyphs("pa");
    QStringList shown;
    QTimer::singleShot(0, this, [&shown] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown << box->text() << box->windowTitle();
            QCOMPARE(box->icon(), QMessageBox::Critical);
            box->accept();
        }
    });
    send(false);
    QCOMPARE(shown.value(0), QStringLiteral("no Excel."));
    QCOMPARE(shown.value(1), QStringLiteral("Sprelio"));
    QCOMPARE(edit()->glyphs(), QByteArray("pa"));
}

void TestSendCommand::inputsReachTheTarget()
{
    m_pad->ZielClick(item("WinWord"));
    item("Sans")->trigger();
    item("FettBtn")->trigger();
    edit()->setGlyphs("\xE4:");
    send(false);
    QCOMPARE(m_automation->received.text, QByteArray("\xE4:"));
    QCOMPARE(m_automation->received.faceName, QStringLiteral("Lautbild Sans Serif"));
    QVERIFY(m_automation->received.bold);
    QVERIFY(!m_automation->received.italic);
}

void TestSendCommand::routineOutcome_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("languageOffset");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("emptied");
    QTest::newRow("word missing, german") << QByteArray("WinWord") << "" << GermanOffset << false
                                          << "Fehler beim Starten von Winword." << false;
    QTest::newRow("word missing, english")
        << QByteArray("WinWord") << "" << EnglishOffset << false << "Error starting Word." << false;
    QTest::newRow("word without a document")
        << QByteArray("WinWord") << "running Word.Application; Word.ActiveDocument fails system No document"
        << EnglishOffset << false << "Error in communication with Word: No document." << false;
    QTest::newRow("excel missing") << QByteArray("Excel") << "" << EnglishOffset << false
                                   << "Error starting Excel." << false;
    QTest::newRow("excel of another language: info, emptied")
        << QByteArray("Excel")
        << "running Excel.Application; Excel.abd fails member; Excel.ActiveCell fails member; "
           "Excel.AktiveZelle fails member"
        << EnglishOffset << false << "Please use german or english Excel version only" << true;
    QTest::newRow("excel of another language, shift: kept")
        << QByteArray("Excel")
        << "running Excel.Application; Excel.abd fails member; Excel.ActiveCell fails member; "
           "Excel.AktiveZelle fails member"
        << GermanOffset << true << "Benutzen Sie nur die deutsche oder englische Excel-Version" << false;
    QTest::newRow("powerpoint missing")
        << QByteArray("PowerPoint") << "" << EnglishOffset << false << "Error starting PowerPoint." << false;
}

void TestSendCommand::routineOutcome()
{
    QFETCH(QByteArray, target);
    QFETCH(QString, script);
    QFETCH(int, languageOffset);
    QFETCH(bool, shift);
    QFETCH(QString, box);
    QFETCH(bool, emptied);
    LangOffset = languageOffset;
    m_pad->setAutomationTargets(std::make_unique<BridgedTargets>(std::make_unique<FakeBridge>(script),
                                                                 std::make_unique<FakeBridge>()));
    m_pad->ZielClick(item(target.constData()));
    edit()->setGlyphs("pa");
    QString shown;
    QTimer::singleShot(0, this, [&shown] {
        if (auto *messageBox = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown = messageBox->text();
            messageBox->accept();
        }
    });
    send(shift);
    LangOffset = GermanOffset;
    QCOMPARE(shown, box);
    QCOMPARE(edit()->glyphs(), emptied ? QByteArray() : QByteArray("pa"));
}

void TestSendCommand::targetsAreOneRadioGroup()
{
    m_pad->ZielClick(item("Excel"));
    auto *clipboardMenu = m_pad->findChild<QMenu *>(QStringLiteral("Zwischenablage"));
    emit clipboardMenu->aboutToShow();
    QVERIFY(clipboardMenu->menuAction()->isChecked());
    QVERIFY(!item("Excel")->isChecked());
    int checked = 0;
    for (const QAction *target : item("WinWord")->actionGroup()->actions()) {
        checked += target->isChecked() ? 1 : 0;
    }
    QCOMPARE(checked, 1);

    item("N12pt1")->trigger();
    QCOMPARE(m_pad->ClipboardFontSize(), 12);
    QVERIFY(clipboardMenu->menuAction()->isChecked());
}

void TestSendCommand::clipboardCopyKeepsFieldSize()
{
    m_pad->ZielClick(item("Zwischenablage"));
    item("N11pt1")->trigger();
    edit()->setGlyphs("pa");
    const QFont before = edit()->font();
    send(true);
    QCOMPARE(edit()->font(), before);
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data != nullptr);
    QVERIFY(data->data(QStringLiteral("text/rtf")).contains("\\fs22"));
    QCOMPARE(data->text(), QStringLiteral("pa"));
}

QTEST_MAIN(TestSendCommand)
#include "tst_sendcommand.moc"
