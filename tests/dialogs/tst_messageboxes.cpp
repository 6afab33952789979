#include "app/modalwatch.h"
#include "dialogs/forminput.h"
#include "dialogs/messageboxes.h"
#include "i18n/langstr.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace Sprelio;
using ModalWatch::whenModal;

namespace {

// What a message box showed, read while it was open.
struct Shown
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    Qt::WindowModality modality = Qt::NonModal;
    Qt::TextFormat format = Qt::AutoText;
    bool seen = false;
};

// Records the next message box and answers it with the given button.
void answerNextBox(Shown *shown, QMessageBox::StandardButton answer)
{
    whenModal<QMessageBox>([shown, answer](QMessageBox *box) {
        shown->title = box->windowTitle();
        shown->text = box->text();
        shown->icon = box->icon();
        shown->buttons = box->standardButtons();
        shown->modality = box->windowModality();
        shown->format = box->textFormat();
        shown->seen = true;
        box->button(answer)->click();
    });
}

} // namespace

class TestMessageBoxes final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void infoBox();
    void questionAnswers_data();
    void questionAnswers();
    void questionTitle_data();
    void questionTitle();
    void questionStyleZeroIsInformation();
    void errorDisplay_data();
    void errorDisplay();

    void numberCheck_data();
    void numberCheck();
    void cancelKeepsValue_data();
    void cancelKeepsValue();
    void withoutCheckAnyTextIsTaken();
    void cancelCaptionFollowsLanguage();
};

void TestMessageBoxes::init()
{
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Sprelio ..."));
}

void TestMessageBoxes::cleanup()
{
    LangOffset = GermanOffset;
}

void TestMessageBoxes::infoBox()
{
    // Longer than the 255 characters that a fixed buffer would keep.
    const QString text =
        QStringLiteral("<b>C:\\Belegung.vkc</b>") + QString(300, QLatin1Char('x')) + QStringLiteral("end");
    Shown shown;
    answerNextBox(&shown, QMessageBox::Ok);
    QCOMPARE(MessageInfo(nullptr, text), int(MessageOk));
    QVERIFY(shown.seen);
    QCOMPARE(shown.title, QStringLiteral("Sprelio ..."));
    QCOMPARE(shown.text, text);
    QCOMPARE(shown.format, Qt::PlainText);
    QCOMPARE(shown.icon, QMessageBox::Information);
    QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(shown.modality, Qt::ApplicationModal);
}

void TestMessageBoxes::questionAnswers_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<int>("result");
    QTest::newRow("yes") << QMessageBox::Yes << int(MessageYes);
    QTest::newRow("no") << QMessageBox::No << int(MessageNo);
}

void TestMessageBoxes::questionAnswers()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(int, result);
    Shown shown;
    answerNextBox(&shown, answer);
    QCOMPARE(MessageQuestion(nullptr, QString(), LangStr(2), StyleYesNo | StyleQuestion), result);
    QCOMPARE(shown.text, QStringLiteral("Wollen Sie diese Tastenbelegung speichern?"));
    QCOMPARE(shown.icon, QMessageBox::Question);
    QCOMPARE(shown.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(shown.modality, Qt::ApplicationModal);
}

void TestMessageBoxes::questionTitle_data()
{
    QTest::addColumn<QString>("applicationTitle");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("title");
    QTest::newRow("empty caption") << QStringLiteral("Sprelio ...") << QString()
                                   << QStringLiteral("Sprelio ...");
    QTest::newRow("title with a folder")
        << QStringLiteral("C:\\Programme\\Sprelio") << QString() << QStringLiteral("Sprelio");
    QTest::newRow("title with a drive only")
        << QStringLiteral("D:Sprelio") << QString() << QStringLiteral("Sprelio");
    QTest::newRow("own caption") << QStringLiteral("Sprelio") << QStringLiteral("A:\\b")
                                 << QStringLiteral("A:\\b");
}

void TestMessageBoxes::questionTitle()
{
    QFETCH(QString, applicationTitle);
    QFETCH(QString, caption);
    QFETCH(QString, title);
    QGuiApplication::setApplicationDisplayName(applicationTitle);
    Shown shown;
    answerNextBox(&shown, QMessageBox::Yes);
    MessageQuestion(nullptr, caption, QStringLiteral("?"), StyleYesNo | StyleQuestion);
    QCOMPARE(shown.title, title);
}

void TestMessageBoxes::questionStyleZeroIsInformation()
{
    Shown shown;
    answerNextBox(&shown, QMessageBox::Ok);
    QCOMPARE(MessageQuestion(nullptr, QString(), QStringLiteral("Hinweis"), 0), int(MessageOk));
    QCOMPARE(shown.icon, QMessageBox::Information);
    QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TestMessageBoxes::errorDisplay_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shownText");
    QTest::newRow("letter at the end")
        << QStringLiteral("Error starting Word") << QStringLiteral("Error starting Word.");
    QTest::newRow("full stop at the end") << QStringLiteral("Done.") << QStringLiteral("Done.");
    QTest::newRow("question mark sorts after the full stop")
        << QStringLiteral("Why?") << QStringLiteral("Why?.");
    QTest::newRow("exclamation mark sorts before it") << QStringLiteral("Stop!") << QStringLiteral("Stop!");
    QTest::newRow("communication error text") << QStringLiteral("Error in communication with Word: Timeout")
                                              << QStringLiteral("Error in communication with Word: Timeout.");
    QTest::newRow("empty") << QString() << QString();
}

void TestMessageBoxes::errorDisplay()
{
    QFETCH(QString, message);
    QFETCH(QString, shownText);
    Shown shown;
    answerNextBox(&shown, QMessageBox::Ok);
    showError(message);
    QVERIFY(shown.seen);
    QCOMPARE(shown.text, shownText);
    QCOMPARE(shown.title, QStringLiteral("Sprelio ..."));
    QCOMPARE(shown.icon, QMessageBox::Critical);
    QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TestMessageBoxes::numberCheck_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("14") << QStringLiteral("14") << true;
    QTest::newRow("with plus sign") << QStringLiteral("+14") << true;
    QTest::newRow("largest size") << QStringLiteral("1638") << true;
    QTest::newRow("zero") << QStringLiteral("0") << false;
    QTest::newRow("negative") << QStringLiteral("-5") << false;
    QTest::newRow("with unit") << QStringLiteral("12pt") << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("blank") << QStringLiteral(" ") << false;
    QTest::newRow("hexadecimal") << QStringLiteral("0x10") << false;
    QTest::newRow("decimal fraction") << QStringLiteral("10.5") << false;
    QTest::newRow("too large for the clipboard") << QStringLiteral("1639") << false;
    QTest::newRow("beyond 32 bits") << QStringLiteral("4294967310") << false;
    QTest::newRow("Arabic-Indic digits") << QStringLiteral("\u0661\u0664") << false;
}

void TestMessageBoxes::numberCheck()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);

    // Type into the dialog and press OK; a refusal shows its box and leaves the dialog open, and
    // Cancel then ends it.
    Shown refusal;
    bool dialogStayedOpen = false;
    QString textAfterRefusal;
    whenModal<TformInput>([&](TformInput *form) {
        auto *edit = form->findChild<QLineEdit *>(QStringLiteral("ed"));
        edit->setText(typed);
        if (!accepted) {
            answerNextBox(&refusal, QMessageBox::Ok);
        }
        form->findChild<QPushButton *>(QStringLiteral("BtnOk"))->click();
        dialogStayedOpen = form->isVisible();
        textAfterRefusal = edit->text();
        if (dialogStayedOpen) {
            form->findChild<QPushButton *>(QStringLiteral("btnCancel"))->click();
        }
    });
    QString value = QStringLiteral("10");
    const bool ok = InputDialog(LangStr(76), LangStr(77), true, value);

    QCOMPARE(ok, accepted);
    QCOMPARE(value, accepted ? typed : QStringLiteral("10"));
    QCOMPARE(dialogStayedOpen, !accepted);
    QCOMPARE(refusal.seen, !accepted);
    if (!accepted) {
        QCOMPARE(refusal.text, QStringLiteral("Bitte geben Sie eine ganze Zahl > 0 ein."));
        QCOMPARE(textAfterRefusal, typed);
    }
}

void TestMessageBoxes::cancelKeepsValue_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("cancel button") << 0;
    QTest::newRow("escape key") << 1;
    QTest::newRow("close box") << 2;
}

void TestMessageBoxes::cancelKeepsValue()
{
    QFETCH(int, how);
    QString prompt;
    QString shownValue;
    whenModal<TformInput>([&](TformInput *form) {
        prompt = form->findChild<QLabel *>(QStringLiteral("lb"))->text();
        auto *edit = form->findChild<QLineEdit *>(QStringLiteral("ed"));
        shownValue = edit->text();
        edit->setText(QStringLiteral("22"));
        if (how == 0) {
            form->findChild<QPushButton *>(QStringLiteral("btnCancel"))->click();
        } else if (how == 1) {
            QTest::keyClick(edit, Qt::Key_Escape);
        } else {
            form->close();
        }
    });
    QString value = QStringLiteral("14");
    QVERIFY(!InputDialog(QStringLiteral("Größe?"), LangStr(77), true, value));
    QCOMPARE(value, QStringLiteral("14"));
    QCOMPARE(shownValue, QStringLiteral("14"));
    QCOMPARE(prompt, QStringLiteral("Größe?"));
}

void TestMessageBoxes::withoutCheckAnyTextIsTaken()
{
    whenModal<TformInput>([](TformInput *form) {
        form->findChild<QLineEdit *>(QStringLiteral("ed"))->setText(QStringLiteral("12pt"));
        QTest::keyClick(form->findChild<QLineEdit *>(QStringLiteral("ed")), Qt::Key_Return);
    });
    QString value;
    QVERIFY(InputDialog(QStringLiteral("Text"), QString(), false, value));
    QCOMPARE(value, QStringLiteral("12pt"));
}

void TestMessageBoxes::cancelCaptionFollowsLanguage()
{
    LangOffset = EnglishOffset;
    TformInput english;
    QCOMPARE(english.findChild<QPushButton *>(QStringLiteral("btnCancel"))->text(),
             QStringLiteral("&Cancel"));
    LangOffset = GermanOffset;
    TformInput german;
    QCOMPARE(german.findChild<QPushButton *>(QStringLiteral("btnCancel"))->text(),
             QStringLiteral("&Abbrechen"));
}

QTEST_MAIN(TestMessageBoxes)
#include "tst_messageboxes.moc"
