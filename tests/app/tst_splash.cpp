#include "app/splash.h"
#include "app/splashpicture.h"
#include "app/spreliopad.h"
#include "i18n/langstr.h"
#include "modalwatch.h"
#include "palette/glyphtext.h"
#include "palette/kwspeedbutton.h"
#include "palette/phoneticfonts.h"
#include "storage/inilocation.h"

#include <QAction>
#include <QBuffer>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWindow>

using namespace Sprelio;
using ModalWatch::whenModal;

// Receives what the program hands to the desktop to open.
class OpenedUrls final : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};

class TestSplash final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void startupShowsMainWindowAfterItsTime();
    void mainWindowGivenLater_data();
    void mainWindowGivenLater();
    void textsInTheCurrentLanguage_data();
    void textsInTheCurrentLanguage();
    void informationWindowKeepsItsHeight();
    void topmostBracket_data();
    void topmostBracket();
    void stayOnTopTwiceIsNormalAgain();
    void explanationsOff();
    void documents_data();
    void documents();
    void homepage();
    void linkOpensTheHomepage_data();
    void linkOpensTheHomepage();
    void exitCloses();
    void startupPictureGivesWayToTheTexts_data();
    void startupPictureGivesWayToTheTexts();
    void pictureFile_data();
    void pictureFile();

private:
    std::unique_ptr<TSprelioPad> showPad();
    OpenedUrls m_opened;
};

void TestSplash::initTestCase()
{
    registerPhoneticFonts();
    QApplication::setQuitOnLastWindowClosed(false);
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_opened, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_opened, "open");
}

void TestSplash::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

void TestSplash::cleanup()
{
    ModalWatch::cancelAll();
    LangOffset = GermanOffset;
    m_opened.urls.clear();
}

std::unique_ptr<TSprelioPad> TestSplash::showPad()
{
    auto pad = std::make_unique<TSprelioPad>();
    pad->show();
    if (!QTest::qWaitForWindowExposed(pad.get())) {
        qWarning("main window not exposed");
    }
    return pad;
}

void TestSplash::startupShowsMainWindowAfterItsTime()
{
    QWidget mainWindow;
    TSplash splash;
    QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(splash.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    QElapsedTimer clock;
    clock.start();
    splash.showAtStart(&mainWindow);
    QVERIFY(splash.isVisible());
    QVERIFY(!mainWindow.isVisible());
    QCOMPARE(splash.height(), TSplash::StartupHeight);
    QVERIFY(!splash.findChild<QPushButton *>(QStringLiteral("OkBtn"))->isVisible());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(qAbs(splash.frameGeometry().center().x() - screen.center().x()) <= 1);

    QTRY_VERIFY_WITH_TIMEOUT(mainWindow.isVisible(), 5000);
    QVERIFY(clock.elapsed() >= TSplash::StartupDuration - 100);
    QVERIFY(!splash.isVisible());
    QVERIFY(!splash.StartupPhase());

    // Shown again later, the window no longer ends itself.
    mainWindow.hide();
    splash.show();
    QTest::qWait(TSplash::StartupDuration + 300);
    QVERIFY(splash.isVisible());
    QVERIFY(!mainWindow.isVisible());
}

void TestSplash::textsInTheCurrentLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("description");
    QTest::newRow("German") << GermanOffset << QStringLiteral("Eingabehilfe für phonetische Schriftzeichen");
    QTest::newRow("English") << EnglishOffset << QStringLiteral("Typing Tool for Phonetic Transcription");
}

void TestSplash::textsInTheCurrentLanguage()
{
    QFETCH(int, language);
    QFETCH(QString, description);
    TSplash splash;
    // The language may change between showings; every showing takes the current one.
    LangOffset = language;
    splash.show();
    const auto *title = splash.findChild<QLabel *>(QStringLiteral("WieLabel"));
    QCOMPARE(title->text(), glyphsToDisplay(LangStr(15).toLatin1()));
    QCOMPARE(title->font().family(), phoneticFamily(false));
    QVERIFY(title->text().size() > 3);
    QCOMPARE(splash.findChild<QLabel *>(QStringLiteral("ErklLabel"))->text(), description);
    QCOMPARE(splash.findChild<QLabel *>(QStringLiteral("VerLabel"))->text(), QStringLiteral("Version 1.0.0"));
    QVERIFY(splash.findChild<QLabel *>(QStringLiteral("lbLink"))->text().contains(TSplash::homepage()));
}

void TestSplash::informationWindowKeepsItsHeight()
{
    const auto pad = showPad();
    QList<int> heights;
    QList<bool> okShown;
    for (int i = 0; i < 2; ++i) {
        whenModal<TSplash>([&](TSplash *info) {
            heights << info->height();
            auto *ok = info->findChild<QPushButton *>(QStringLiteral("OkBtn"));
            okShown << (ok->isVisible() && info->rect().contains(ok->mapTo(info, ok->rect().bottomRight())));
            ok->click();
        });
        pad->findChild<QAction *>(QStringLiteral("Info1"))->trigger();
    }
    QCOMPARE(heights, (QList<int>{TSplash::InformationHeight, TSplash::InformationHeight}));
    QCOMPARE(okShown, (QList<bool>{true, true}));
    QVERIFY(!pad->Splash()->isVisible());
}

void TestSplash::topmostBracket_data()
{
    QTest::addColumn<bool>("stayOnTop");
    QTest::newRow("stay on top") << true;
    QTest::newRow("normal window") << false;
}

void TestSplash::topmostBracket()
{
    QFETCH(bool, stayOnTop);
    const auto pad = showPad();
    if (stayOnTop) {
        pad->findChild<QAction *>(QStringLiteral("Vorne"))->trigger();
    }
    const auto onTop = [&pad] { return pad->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint); };
    QCOMPARE(onTop(), stayOnTop);
    const WId native = pad->winId();

    bool onTopDuringInfo = true;
    whenModal<TSplash>([&](TSplash *info) {
        onTopDuringInfo = onTop();
        info->findChild<QPushButton *>(QStringLiteral("OkBtn"))->click();
    });
    pad->Info1Click();
    QVERIFY(!onTopDuringInfo);
    QCOMPARE(onTop(), stayOnTop);

    // The same holds for the assignment dialogs, which use the same bracket.
    {
        const TSprelioPad::TopmostBracket bracket(pad.get());
        QVERIFY(!onTop());
    }
    QCOMPARE(onTop(), stayOnTop);
    QCOMPARE(pad->winId(), native);
    QVERIFY(pad->isVisible());
}

void TestSplash::stayOnTopTwiceIsNormalAgain()
{
    const auto pad = showPad();
    const QPoint place = pad->pos();
    const WId native = pad->winId();
    QAction *vorne = pad->findChild<QAction *>(QStringLiteral("Vorne"));
    vorne->trigger();
    QVERIFY(vorne->isChecked());
    QVERIFY(pad->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    vorne->trigger();
    QVERIFY(!vorne->isChecked());
    QVERIFY(!pad->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    // Neither moved nor recreated, and never hidden on the way.
    QCOMPARE(pad->pos(), place);
    QCOMPARE(pad->winId(), native);
    QVERIFY(pad->isVisible());
}

void TestSplash::explanationsOff()
{
    const auto pad = showPad();
    QList<SpeedButton *> others;
    for (const char *name : {"EnterBtn", "BackBtn", "KlBtn", "CloseBtn"}) {
        others << pad->findChild<SpeedButton *>(QLatin1String(name));
    }
    QList<bool> othersBefore;
    for (const SpeedButton *button : others) {
        othersBefore << button->showHint();
    }

    pad->findChild<QAction *>(QStringLiteral("ShowH"))->trigger();
    for (const auto &buttons : {pad->PaletteButtons(), pad->ToolButtons(), pad->SpecialButtons()}) {
        for (const TKWSpeedButton *button : buttons) {
            QVERIFY2(!button->showHint(), qPrintable(button->objectName()));
            QVERIFY(button->toolTip().isEmpty());
        }
    }
    for (int i = 0; i < others.size(); ++i) {
        QCOMPARE(others.at(i)->showHint(), othersBefore.at(i));
    }

    pad->findChild<QAction *>(QStringLiteral("ShowH"))->trigger();
    QVERIFY(pad->PaletteButtons().constFirst()->showHint());
    QVERIFY(!pad->PaletteButtons().constFirst()->toolTip().isEmpty());
}

void TestSplash::documents_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("document");
    QTest::newRow("German documentation")
        << GermanOffset << QStringLiteral("Hilfe") << QStringLiteral("sprelio_g.pdf");
    QTest::newRow("English documentation")
        << EnglishOffset << QStringLiteral("Hilfe") << QStringLiteral("sprelio_e.pdf");
    QTest::newRow("German keyboard layout")
        << GermanOffset << QStringLiteral("Tastaturbelegung1") << QStringLiteral("spreliokeys_g.pdf");
    QTest::newRow("English keyboard layout")
        << EnglishOffset << QStringLiteral("Tastaturbelegung1") << QStringLiteral("spreliokeys_e.pdf");
}

void TestSplash::documents()
{
    QFETCH(int, language);
    QFETCH(QString, command);
    QFETCH(QString, document);
    const auto pad = showPad();
    pad->findChild<QAction *>(language == EnglishOffset ? QStringLiteral("Englisch1")
                                                        : QStringLiteral("Deutsch1"))
        ->trigger();
    QVERIFY(!pad->findChild<QAction *>(QStringLiteral("Tastaturbelegung1"))->isVisible());

    // From the program's folder, whatever the current folder is.
    const QString current = QDir::currentPath();
    QDir::setCurrent(QDir::tempPath());
    pad->findChild<QAction *>(command)->trigger();
    QDir::setCurrent(current);
    const QString path = programFilePath(document);
    QCOMPARE(m_opened.urls, QList<QUrl>{QUrl::fromLocalFile(path)});
    QVERIFY(QFileInfo(path).isAbsolute());
    // The user guides ship with the program; the keyboard layouts do not.
    QCOMPARE(QFile::exists(path), document.startsWith(QLatin1String("sprelio_")));
}

void TestSplash::homepage()
{
    const auto pad = showPad();
    pad->findChild<QAction *>(QStringLiteral("KestrelWareHomepage1"))->trigger();
    QCOMPARE(m_opened.urls, QList<QUrl>{QUrl(TSplash::homepage())});
}

void TestSplash::linkOpensTheHomepage_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("opens");
    QTest::newRow("click") << "click" << true;
    QTest::newRow("pressed, let go elsewhere") << "drag off" << false;
    QTest::newRow("right click") << "right" << false;
}

void TestSplash::linkOpensTheHomepage()
{
    QFETCH(QString, how);
    QFETCH(bool, opens);
    TSplash splash;
    splash.show();
    auto *link = splash.findChild<QLabel *>(QStringLiteral("lbLink"));
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    QCOMPARE(link->text(), TSplash::homepage());
    QVERIFY(link->font().underline());
    if (how == QLatin1String("click")) {
        QTest::mouseClick(link, Qt::LeftButton);
    } else if (how == QLatin1String("right")) {
        QTest::mouseClick(link, Qt::RightButton);
    } else {
        QTest::mousePress(link, Qt::LeftButton);
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(-5, -5));
    }
    QCOMPARE(m_opened.urls, opens ? QList<QUrl>{QUrl(TSplash::homepage())} : QList<QUrl>{});
    splash.close();
}

void TestSplash::exitCloses()
{
    const auto pad = showPad();
    pad->findChild<QAction *>(QStringLiteral("Beenden1"))->trigger();
    QVERIFY(!pad->isVisible());
}

void TestSplash::mainWindowGivenLater_data()
{
    QTest::addColumn<bool>("beforeTimeIsUp");
    QTest::newRow("window built while the splash shows") << true;
    QTest::newRow("window built after the splash's time") << false;
}

// The program builds its main window only once the splash is on screen; however long that takes,
// the window must show, and not before the splash's time is up.
void TestSplash::mainWindowGivenLater()
{
    QFETCH(bool, beforeTimeIsUp);
    TSplash splash;
    QSignalSpy painted(&splash, &TSplash::startupPainted);
    splash.showAtStart(nullptr);
    QTRY_COMPARE_WITH_TIMEOUT(painted.count(), 1, 10000);
    QWidget window;
    if (beforeTimeIsUp) {
        splash.setMainWindow(&window);
        QVERIFY(!window.isVisible());
        QVERIFY(splash.StartupPhase());
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(!splash.StartupPhase(), 20000);
        splash.setMainWindow(&window);
    }
    QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 20000);
    QVERIFY(!splash.isVisible());
    splash.repaint();
    QCOMPARE(painted.count(), 1);
}

void TestSplash::startupPictureGivesWayToTheTexts_data()
{
    QTest::addColumn<int>("language");
    QTest::newRow("German") << GermanOffset;
    QTest::newRow("English") << EnglishOffset;
}

// A start paints the picture an earlier start kept, builds no text until asked, and then the texts
// take its place without a visible change.
void TestSplash::startupPictureGivesWayToTheTexts()
{
    QFETCH(int, language);
    LangOffset = language;
    QImage picture;
    {
        TSplash drawn;
        drawn.showAtStart(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(&drawn));
        picture = drawn.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    TSplash splash(nullptr, picture);
    QSignalSpy painted(&splash, &TSplash::startupPainted);
    splash.showAtStart(nullptr);
    QTRY_COMPARE_WITH_TIMEOUT(painted.count(), 1, 10000);
    QVERIFY(splash.findChild<QLabel *>() == nullptr);
    QCOMPARE(splash.grab().toImage().convertToFormat(QImage::Format_RGB32), picture);

    splash.completeContent();
    QVERIFY(splash.findChild<QLabel *>(QStringLiteral("lbLink"))->isVisible());
    QCOMPARE(splash.grab().toImage().convertToFormat(QImage::Format_RGB32), picture);
    QCOMPARE(painted.count(), 1);
}

void TestSplash::pictureFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("loads");
    const auto kept = [](QSize size) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkBlue);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("picture"));
        keepSplashPicture(image, QImage(), file);
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    };
    const QSize size(TSplash::DesignWidth, TSplash::StartupHeight);
    const QByteArray whole = kept(size);
    QByteArray lengthDamaged = whole;
    lengthDamaged[whole.indexOf(QByteArray::fromHex("00048fb0"))] = '\x7f';
    QTest::newRow("the window's size") << whole << true;
    QTest::newRow("another size") << kept(size * 2) << false;
    QTest::newRow("cut short") << whole.left(whole.size() - 100) << false;
    QTest::newRow("unpacked length damaged") << lengthDamaged << false;
    QTest::newRow("not a picture") << QByteArray(4000, 'x') << false;
    QTest::newRow("empty") << QByteArray() << false;
}

// The kept picture is untrusted: only a whole picture of the window's size is painted, and anything
// else is replaced by what the window really shows.
void TestSplash::pictureFile()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, loads);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("cache/splash.png"));
    QDir().mkpath(dir.filePath(QStringLiteral("cache")));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(content);
    out.close();

    const QSize size(TSplash::DesignWidth, TSplash::StartupHeight);
    const QImage painted = loadSplashPicture(file, size);
    QCOMPARE(!painted.isNull(), loads);
    QImage shown(size, QImage::Format_RGB32);
    shown.fill(Qt::darkBlue);
    QVERIFY(keepSplashPicture(shown, painted, file));
    QCOMPARE(loadSplashPicture(file, size), shown);
    // What matches is left alone: bytes after the picture survive.
    QVERIFY(out.open(QIODevice::Append));
    out.write("mark");
    out.close();
    QVERIFY(keepSplashPicture(shown, loadSplashPicture(file, size), file));
    QVERIFY(out.open(QIODevice::ReadOnly));
    QVERIFY(out.readAll().endsWith("mark"));
}

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
