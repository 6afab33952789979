#include "app/spreliopad.h"
#include "dialogs/forminput.h"
#include "i18n/langseldialog.h"
#include "i18n/langstr.h"
#include "modalwatch.h"
#include "palette/glyphtext.h"
#include "palette/kwspeedbutton.h"
#include "palette/phoneticfonts.h"
#include "storage/inilocation.h"
#include "storage/profilefile.h"
#include "storage/storedsettings.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Sprelio;
using ModalWatch::whenModal;

class TestSettings final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstStartWithoutFile();
    void firstStartChoice_data();
    void firstStartChoice();
    void storedLanguageAsksNothing();
    void stayOnTopRestoredAndWrittenBack();
    void hintsOffAtStart();
    void targetWithoutChoiceNotWritten_data();
    void targetWithoutChoiceNotWritten();
    void clipboardSize_data();
    void clipboardSize();
    void unknownFontKeepsSerif();
    void width_data();
    void width();
    void positionOffEveryScreen();
    void unusableFiles_data();
    void unusableFiles();
    void otherKeysSurvive();
    void fileFormsOfOtherEditors_data();
    void fileFormsOfOtherEditors();
    void assignmentPathBytesKept();
    void writeFailureIsReported();
    void everythingComesBack();
    void saveQuestionAtClose_data();
    void saveQuestionAtClose();
    void backingOutOfTheSaveQuestion_data();
    void backingOutOfTheSaveQuestion();

private:
    QString iniPath() const { return m_dir->filePath(QStringLiteral("sprelio.ini")); }
    void writeIni(const QByteArray &content) const;
    QByteArray stored(const char *section, const char *key) const
    {
        return ProfileFile(iniPath()).load().readString(section, key, "<missing>");
    }
    // Builds and shows the window on the settings file; with a first start, answer the dialog first.
    void start();
    void closeWindow();
    QAction *item(const char *name) const { return m_pad->findChild<QAction *>(QLatin1String(name)); }
    QStringList checkedTargets() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TSprelioPad> m_pad;
};

void TestSettings::initTestCase()
{
    registerPhoneticFonts();
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestSettings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestSettings::cleanup()
{
    ModalWatch::cancelAll();
    m_pad.reset();
    LangOffset = GermanOffset;
}

void TestSettings::writeIni(const QByteArray &content) const
{
    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

void TestSettings::start()
{
    m_pad = std::make_unique<TSprelioPad>(iniPath());
    m_pad->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pad.get()));
}

void TestSettings::closeWindow()
{
    QVERIFY(m_pad->close());
    m_pad.reset();
}

QStringList TestSettings::checkedTargets() const
{
    QStringList checked;
    for (const char *name :
         {"WinWord", "Excel", "PowerPoint", "Zwischenablage", "OpenOffice", "LetztesFenster"}) {
        if (item(name)->isChecked()) {
            checked << QLatin1String(name);
        }
    }
    return checked;
}

void TestSettings::firstStartWithoutFile()
{
    bool mainWindowShown = true;
    whenModal<TformLangSel>([&](TformLangSel *dialog) {
        mainWindowShown = false;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            mainWindowShown = mainWindowShown || (qobject_cast<TSprelioPad *>(window) && window->isVisible());
        }
        dialog->close();
    });
    start();
    QVERIFY2(!mainWindowShown, "the language is asked before the main window shows");

    QCOMPARE(LangOffset, GermanOffset);
    QVERIFY(item("Deutsch1")->isChecked());
    QCOMPARE(m_pad->pos(), QPoint(200, 200));
    QCOMPARE(m_pad->UnitSize(), 40);
#if defined(Q_OS_WIN)
    QCOMPARE(checkedTargets(), QStringList{QStringLiteral("WinWord")});
#else
    // Without Automation a first send to Word could only fail.
    QCOMPARE(checkedTargets(), QStringList{QStringLiteral("Zwischenablage")});
#endif
    QVERIFY(item("Serif")->isChecked());
    QVERIFY(!item("FettBtn")->isChecked());
    QVERIFY(!item("KursivBtn")->isChecked());
    QVERIFY(item("ShowH")->isChecked());
    QVERIFY(!item("Vorne")->isChecked());
    QCOMPARE(m_pad->ClipboardFontSize(), 10);
    QVERIFY(item("N10pt1")->isChecked());
    QCOMPARE(m_pad->ButtonSettingPath(), programFilePath(QStringLiteral("deutsch.vkc")));
    QVERIFY(item("SupraBtn")->isChecked());
    const int shownWidth = m_pad->width();

    closeWindow();
    QCOMPARE(stored("Settings", "Language"), QByteArray("0"));
    QCOMPARE(stored("Settings", "Left"), QByteArray("200"));
    QCOMPARE(stored("Settings", "Width"), QByteArray::number(shownWidth + 16));
    QCOMPARE(stored("Options", "Target"), QByteArray::number(DefaultTarget));
    QCOMPARE(stored("Settings", "ShowHints"), QByteArray("1"));
    QCOMPARE(stored("Settings", "ButtonSetting"),
             QFile::encodeName(programFilePath(QStringLiteral("deutsch.vkc"))));
}

void TestSettings::firstStartChoice_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<int>("language");
    const QByteArray oldAssignment("[Settings]\r\nButtonSetting=/nowhere/old.vkc\r\n");
    QTest::newRow("English") << oldAssignment << QStringLiteral("rbEng") << EnglishOffset;
    QTest::newRow("German") << oldAssignment << QStringLiteral("rbGer") << GermanOffset;
    QTest::newRow("closed without a choice") << oldAssignment << QString() << GermanOffset;
    QTest::newRow("stored -1") << oldAssignment + "Language=-1\r\n"
                               << QStringLiteral("rbEng") << EnglishOffset;
    // An offset other than the two would shift every text to "Internal Error!".
    QTest::newRow("unknown stored value") << oldAssignment + "Language=5\r\n"
                                          << QStringLiteral("rbEng") << EnglishOffset;
}

void TestSettings::firstStartChoice()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, choice);
    QFETCH(int, language);
    writeIni(ini);
    bool asked = false;
    whenModal<TformLangSel>([&](TformLangSel *dialog) {
        asked = true;
        if (choice.isEmpty()) {
            dialog->close();
        } else {
            QTest::mouseClick(dialog->findChild<QRadioButton *>(choice), Qt::LeftButton);
        }
    });
    start();
    QVERIFY(asked);
    QCOMPARE(LangOffset, language);
    QVERIFY(item(language == EnglishOffset ? "Englisch1" : "Deutsch1")->isChecked());
    QCOMPARE(m_pad->windowTitle(),
             language == EnglishOffset ? QStringLiteral("Sprelio ...") : QStringLiteral("Sprelio"));
    // The remembered assignment gives way to the chosen language's own.
    QCOMPARE(m_pad->ButtonSettingPath(),
             programFilePath(language == EnglishOffset ? QStringLiteral("english.vkc")
                                                       : QStringLiteral("deutsch.vkc")));
    closeWindow();
    QCOMPARE(stored("Settings", "Language"), QByteArray::number(language));
}

void TestSettings::storedLanguageAsksNothing()
{
    writeIni("[Settings]\r\nLanguage=10000\r\n");
    bool asked = false;
    whenModal<TformLangSel>([&](TformLangSel *dialog) {
        asked = true;
        dialog->close();
    });
    start();
    QVERIFY(!asked);
    QCOMPARE(LangOffset, EnglishOffset);
    QVERIFY(item("Englisch1")->isChecked());
    QCOMPARE(m_pad->ButtonSettingPath(), programFilePath(QStringLiteral("english.vkc")));
}

void TestSettings::stayOnTopRestoredAndWrittenBack()
{
    writeIni("[Settings]\r\nLanguage=0\r\nStayOnTop=1\r\n");
    start();
    QVERIFY(item("Vorne")->isChecked());
    QVERIFY(m_pad->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    closeWindow();
    QCOMPARE(stored("Settings", "StayOnTop"), QByteArray("1"));
}

void TestSettings::hintsOffAtStart()
{
    writeIni("[Settings]\r\nLanguage=0\r\nShowHints=0\r\n");
    start();
    QVERIFY(!item("ShowH")->isChecked());
    for (const auto &buttons : {m_pad->PaletteButtons(), m_pad->ToolButtons(), m_pad->SpecialButtons()}) {
        for (const TKWSpeedButton *button : buttons) {
            QVERIFY2(!button->showHint(), qPrintable(button->objectName()));
        }
    }
    closeWindow();
    QCOMPARE(stored("Settings", "ShowHints"), QByteArray("0"));
}

void TestSettings::targetWithoutChoiceNotWritten_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::newRow("4") << QByteArray("4");
    QTest::newRow("0") << QByteArray("0");
    QTest::newRow("8") << QByteArray("8");
}

void TestSettings::targetWithoutChoiceNotWritten()
{
    QFETCH(QByteArray, target);
    writeIni("[Settings]\r\nLanguage=0\r\n[Options]\r\nTarget=" + target + "\r\n");
    start();
    QCOMPARE(checkedTargets(), QStringList());
    closeWindow();
    QCOMPARE(stored("Options", "Target"), target);
    QCOMPARE(stored("Options", "Font"), QByteArray("1"));
}

void TestSettings::clipboardSize_data()
{
    QTest::addColumn<QByteArray>("size");
    QTest::addColumn<QString>("checkedItem");
    QTest::addColumn<int>("used");
    QTest::newRow("10") << QByteArray("10") << QStringLiteral("N10pt1") << 10;
    QTest::newRow("11") << QByteArray("11") << QStringLiteral("N11pt1") << 11;
    QTest::newRow("12") << QByteArray("12") << QStringLiteral("N12pt1") << 12;
    QTest::newRow("14") << QByteArray("14") << QStringLiteral("User1") << 14;
    QTest::newRow("largest") << QByteArray("1638") << QStringLiteral("User1") << 1638;
    QTest::newRow("zero") << QByteArray("0") << QStringLiteral("N10pt1") << 10;
    QTest::newRow("too large for rich text") << QByteArray("100000") << QStringLiteral("N10pt1") << 10;
}

void TestSettings::clipboardSize()
{
    QFETCH(QByteArray, size);
    QFETCH(QString, checkedItem);
    QFETCH(int, used);
    writeIni("[Settings]\r\nLanguage=0\r\nClipboardFontSize=" + size + "\r\n");
    start();
    QCOMPARE(m_pad->ClipboardFontSize(), used);
    QVERIFY(item(qPrintable(checkedItem))->isChecked());
    closeWindow();
    QCOMPARE(stored("Settings", "ClipboardFontSize"), QByteArray::number(used));
}

void TestSettings::unknownFontKeepsSerif()
{
    writeIni("[Settings]\r\nLanguage=0\r\n[Options]\r\nFont=3\r\n");
    start();
    QVERIFY(item("Serif")->isChecked());
    // The targets are handed the serif face, not an empty name.
    QCOMPARE(m_pad->CurrentFontName(), phoneticFamily(false));
    closeWindow();
    QCOMPARE(stored("Options", "Font"), QByteArray("1"));
}

void TestSettings::width_data()
{
    QTest::addColumn<int>("storedWidth");
    QTest::addColumn<int>("unitSize");
    QTest::newRow("default") << 500 << 40;
    QTest::newRow("wider") << 716 << 58;
    QTest::newRow("below the minimum") << 100 << 38;
    QTest::newRow("wider than every screen") << 30000 << 40;
}

void TestSettings::width()
{
    QFETCH(int, storedWidth);
    QFETCH(int, unitSize);
    writeIni("[Settings]\r\nLanguage=0\r\nWidth=" + QByteArray::number(storedWidth) + "\r\n");
    start();
    QCOMPARE(m_pad->UnitSize(), unitSize);
    const int shownWidth = m_pad->width();
    closeWindow();
    QCOMPARE(stored("Settings", "Width"), QByteArray::number(shownWidth + 16));

    // The width written is one the layout keeps as it is.
    start();
    QCOMPARE(m_pad->width(), shownWidth);
}

void TestSettings::positionOffEveryScreen()
{
    writeIni("[Settings]\r\nLanguage=0\r\nLeft=20000\r\nTop=-9000\r\n");
    start();
    bool seen = false;
    for (const QScreen *screen : QGuiApplication::screens()) {
        seen = seen || screen->availableGeometry().intersects(m_pad->frameGeometry());
    }
    QVERIFY2(seen, "the window must show on a screen");
}

void TestSettings::unusableFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("folder");
    QTest::addColumn<bool>("reported");
    QRandomGenerator generator(4711);
    QByteArray binary(qsizetype{10} * 1024 * 1024, Qt::Uninitialized);
    for (char &byte : binary) {
        byte = static_cast<char>(generator.bounded(256));
    }
    QTest::newRow("10 MB of random bytes") << binary << false << false;
    QTest::newRow("garbage values") << QByteArray(
                                           "[Settings]\nLanguage=0\nLeft=x\nTop=\nWidth=-1\n"
                                           "ClipboardFontSize=-3\nButtonSetting=\x01\x02\xFF\n"
                                           "StayOnTop=\n[Options]\nTarget=2147483648\nFont=-1\nBold=\n")
                                    << false << false;
    QTest::newRow("a folder where the file should be") << QByteArray() << true << true;
    QTest::newRow("a file over the size limit")
        << "[Settings]\r\nLanguage=0\r\n" + QByteArray(ProfileFile::MaxProfileFileSize, ';') << false << true;
}

void TestSettings::unusableFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, folder);
    QFETCH(bool, reported);
    if (folder) {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("sprelio.ini")));
    } else {
        writeIni(content);
    }
    // A file that cannot be read is reported as the window is built, and again at closing, when
    // the session's settings cannot be kept in it.
    QStringList messages;
    const auto answerMessage = [&messages](QMessageBox *box) {
        messages << box->text();
        box->close();
    };
    whenModal<QMessageBox>(answerMessage);
    // Random bytes may or may not hold a usable "Language"; answer the dialog if it comes.
    whenModal<TformLangSel>([](TformLangSel *dialog) { dialog->close(); }, nullptr, reported ? 7000 : 2000);
    start();
    QCOMPARE(m_pad->UnitSize(), 40);
    QCOMPARE(m_pad->ClipboardFontSize(), 10);
    QVERIFY(item("ShowH")->isChecked());
    QVERIFY(!item("Vorne")->isChecked());
    whenModal<QMessageBox>(answerMessage);
    closeWindow();
    QCOMPARE(QFileInfo(iniPath()).isDir(), folder);
    if (!reported) {
        QVERIFY(messages.isEmpty());
        return;
    }
    QCOMPARE(messages.size(), 2);
    for (const QString &message : std::as_const(messages)) {
        QVERIFY2(message.contains(QDir::toNativeSeparators(iniPath())), qPrintable(message));
    }
    if (!folder) {
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
    }
}

void TestSettings::otherKeysSurvive()
{
    writeIni("; kept\r\n[Settings]\r\nLanguage=0\r\nExtra=1\r\n[Fremd]\r\nSchluessel=Wert\r\n");
    start();
    closeWindow();
    QCOMPARE(stored("Settings", "Extra"), QByteArray("1"));
    QCOMPARE(stored("Fremd", "Schluessel"), QByteArray("Wert"));
    QVERIFY(ProfileFile(iniPath()).load().content().startsWith("; kept\r\n"));
}

void TestSettings::fileFormsOfOtherEditors_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("lineEnd");
    const QByteArray bom("\xEF\xBB\xBF");
    QTest::newRow("byte order mark, CR LF") << bom + "[Settings]\r\nLanguage=10000\r\n" << QByteArray("\r\n");
    QTest::newRow("byte order mark, LF") << bom + "[Settings]\nLanguage=10000\n" << QByteArray("\n");
    QTest::newRow("LF only") << QByteArray("[Settings]\nLanguage=10000\n[Options]\nFont=2\n")
                             << QByteArray("\n");
    QTest::newRow("CR only") << QByteArray("[Settings]\rLanguage=10000\r[Options]\rFont=2\r")
                             << QByteArray("\r");
    QTest::newRow("CR only, no end on the last line")
        << QByteArray("[Settings]\rLanguage=10000") << QByteArray("\r");
}

void TestSettings::fileFormsOfOtherEditors()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, lineEnd);
    writeIni(content);
    bool asked = false;
    whenModal<TformLangSel>([&](TformLangSel *dialog) {
        asked = true;
        dialog->close();
    });
    start();
    QVERIFY(!asked);
    QCOMPARE(LangOffset, EnglishOffset);
    QCOMPARE(item("Sans")->isChecked(), content.contains("Font=2"));
    closeWindow();

    const QByteArray written = ProfileFile(iniPath()).load().content();
    QCOMPARE(written.startsWith("\xEF\xBB\xBF"), content.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(written.count("[Settings]"), 1);
    QCOMPARE(written.count("Language="), 1);
    QCOMPARE(stored("Settings", "Language"), QByteArray("10000"));
    // One kind of line end throughout, the file's own.
    QByteArray rest = written;
    rest.replace(lineEnd, "");
    QVERIFY2(!rest.contains('\r') && !rest.contains('\n'), written.constData());
}

void TestSettings::assignmentPathBytesKept()
{
    // A folder and file named in Latin-1, which is no UTF-8: "Übung/Ü.vkc".
    const QByteArray folder = QFile::encodeName(m_dir->path()) + "/\xDC"
                                                                 "bung";
    const QByteArray name = folder + "/\xDC.vkc";
    QCOMPARE(::mkdir(folder.constData(), 0700), 0);
    const QByteArray assignment("[Sprelio-Buttons]\r\n1=\xE4:\r\n");
    const int file = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    QVERIFY(file >= 0);
    QCOMPARE(::write(file, assignment.constData(), size_t(assignment.size())), ssize_t(assignment.size()));
    ::close(file);

    writeIni("[Settings]\r\nLanguage=0\r\nButtonSetting=" + name + "\r\n");
    bool reported = false;
    whenModal<QMessageBox>(
        [&](QMessageBox *box) {
            reported = true;
            box->close();
        },
        nullptr, 1000);
    start();
    QTest::qWait(1200);
    QVERIFY(!reported);
    QCOMPARE(m_pad->PaletteButtons().at(0)->Symbol(), QByteArray("\xE4:"));
    closeWindow();
    QCOMPARE(stored("Settings", "ButtonSetting"), name);
}

void TestSettings::writeFailureIsReported()
{
    // A regular file stands where the settings folder would have to be created.
    writeIni("not a folder");
    const QString blocked = QDir(iniPath()).filePath(QStringLiteral("sprelio.ini"));
    QString message;
    whenModal<TformLangSel>([](TformLangSel *dialog) { dialog->close(); });
    m_pad = std::make_unique<TSprelioPad>(blocked);
    m_pad->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pad.get()));
    whenModal<QMessageBox>([&](QMessageBox *box) {
        message = box->text();
        box->close();
    });
    closeWindow();
    // The close is not held up, and the user learns where the settings could not go.
    QVERIFY2(message.contains(QDir::toNativeSeparators(blocked)), qPrintable(message));
    QVERIFY(!QFileInfo::exists(blocked));
}

void TestSettings::everythingComesBack()
{
    writeIni("[Settings]\r\nLanguage=0\r\n");
    start();
    item("Englisch1")->trigger();
    item("Sans")->trigger();
    item("FettBtn")->trigger();
    item("Excel")->trigger();
    whenModal<TformInput>([](TformInput *form) {
        form->findChild<QLineEdit *>(QStringLiteral("ed"))->setText(QStringLiteral("14"));
        form->findChild<QPushButton *>(QStringLiteral("BtnOk"))->click();
    });
    item("User1")->trigger();
    item("Vorne")->trigger();
    item("ShowH")->trigger();
    m_pad->resize(700, m_pad->height());
    m_pad->move(150, 100);
    const int clientWidth = m_pad->width();
    QVERIFY(clientWidth > 484);
    closeWindow();

    LangOffset = GermanOffset;
    start();
    QCOMPARE(LangOffset, EnglishOffset);
    QVERIFY(item("Englisch1")->isChecked());
    QCOMPARE(m_pad->windowTitle(), QStringLiteral("Sprelio ..."));
    QVERIFY(item("Sans")->isChecked());
    QCOMPARE(m_pad->CurrentFontName(), phoneticFamily(true));
    QVERIFY(item("FettBtn")->isChecked());
    QVERIFY(!item("KursivBtn")->isChecked());
    QVERIFY(m_pad->PaletteButtons().constFirst()->font().bold());
    QCOMPARE(checkedTargets(), QStringList{QStringLiteral("Excel")});
    QCOMPARE(m_pad->ClipboardFontSize(), 14);
    QVERIFY(item("User1")->isChecked());
    QVERIFY(item("Vorne")->isChecked());
    QVERIFY(m_pad->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!item("ShowH")->isChecked());
    QVERIFY(!m_pad->PaletteButtons().constFirst()->showHint());
    QCOMPARE(m_pad->width(), clientWidth);
    QCOMPARE(m_pad->pos(), QPoint(150, 100));
}

void TestSettings::saveQuestionAtClose_data()
{
    QTest::addColumn<bool>("save");
    QTest::newRow("yes saves") << true;
    QTest::newRow("no drops the change") << false;
}

void TestSettings::saveQuestionAtClose()
{
    QFETCH(bool, save);
    writeIni("[Settings]\r\nLanguage=0\r\nButtonSetting=/nowhere/mine.vkc\r\n");
    start();
    m_pad->Bearbeiten1Click();
    m_pad->CharGridDragDrop(m_pad->PaletteButtons().at(0), QByteArray("m"), false);
    m_pad->CloseBtnClick();
    QVERIFY(m_pad->AssignmentChanged());

    const QString savedAs = m_dir->filePath(QStringLiteral("neu.vkc"));
    QString question;
    bool fileDialogShown = false;
    whenModal<QMessageBox>([&](QMessageBox *box) {
        question = box->text();
        if (save) {
            whenModal<QFileDialog>([&](QFileDialog *dialog) {
                fileDialogShown = true;
                // Typed into the name field, as a user does: selectFile leaves the field alone once
                // it has the focus, which it may or may not have by now.
                auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                QVERIFY(name != nullptr);
                name->setText(savedAs);
                static_cast<QDialog *>(dialog)->accept();
            });
        }
        box->button(save ? QMessageBox::Yes : QMessageBox::No)->click();
    });
    closeWindow();

    QCOMPARE(question, QStringLiteral("Wollen Sie diese Tastenbelegung speichern?"));
    QCOMPARE(fileDialogShown, save);
    QCOMPARE(QFileInfo::exists(savedAs), save);
    // The settings are written either way, with the assignment that is current after the answer.
    QCOMPARE(stored("Settings", "Language"), QByteArray("0"));
    QCOMPARE(stored("Settings", "ButtonSetting"),
             save ? QFile::encodeName(savedAs) : QByteArray("/nowhere/mine.vkc"));
}

QTEST_MAIN(TestSettings)
void TestSettings::backingOutOfTheSaveQuestion_data()
{
    QTest::addColumn<bool>("closing");
    QTest::addColumn<bool>("escape");
    QTest::newRow("Escape at closing") << true << true;
    QTest::newRow("question closed at closing") << true << false;
    QTest::newRow("Escape before loading") << false << true;
    QTest::newRow("question closed before loading") << false << false;
}

// Backing out of the question keeps the edited assignment: the quit or the load does not go on.
void TestSettings::backingOutOfTheSaveQuestion()
{
    QFETCH(bool, closing);
    QFETCH(bool, escape);
    writeIni("[Settings]\r\nLanguage=0\r\n");
    start();
    m_pad->Bearbeiten1Click();
    m_pad->CharGridDragDrop(m_pad->PaletteButtons().at(0), QByteArray("m"), false);
    m_pad->CloseBtnClick();
    QVERIFY(m_pad->AssignmentChanged());
    const QByteArray before = ProfileFile(iniPath()).load().content();

    bool asked = false;
    bool fileDialogShown = false;
    whenModal<QMessageBox>([&](QMessageBox *box) {
        asked = true;
        whenModal<QFileDialog>(
            [&](QFileDialog *dialog) {
                fileDialogShown = true;
                dialog->reject();
            },
            nullptr, 1000);
        if (escape) {
            // As typed: the key goes to the box's focused button first.
            QWidget *focused = box->focusWidget();
            QTest::keyClick(focused != nullptr ? focused : box, Qt::Key_Escape);
        } else {
            box->close();
        }
    });
    if (closing) {
        QVERIFY(!m_pad->close());
        QVERIFY(m_pad->isVisible());
        QCOMPARE(ProfileFile(iniPath()).load().content(), before);
    } else {
        m_pad->Laden1Click();
    }
    QTest::qWait(1200);
    QVERIFY(asked);
    QVERIFY(!fileDialogShown);
    QVERIFY(m_pad->AssignmentChanged());
    QCOMPARE(m_pad->PaletteButtons().at(0)->Symbol(), QByteArray("m"));
}

#include "tst_settings.moc"
