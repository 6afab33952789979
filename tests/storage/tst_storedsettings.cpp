#include "i18n/langstr.h"
#include "storage/inilocation.h"
#include "storage/storedsettings.h"
#include "targets/clipboardpayload.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Sprelio;

namespace {

ProfileDocument settingsWith(const QByteArray &lines)
{
    return ProfileDocument("[Settings]\r\n" + lines);
}

bool sameSettings(const StoredSettings &a, const StoredSettings &b)
{
    return a.language == b.language && a.left == b.left && a.top == b.top && a.width == b.width &&
           a.clipboardFontSize == b.clipboardFontSize && a.buttonSetting == b.buttonSetting &&
           a.stayOnTop == b.stayOnTop && a.showHints == b.showHints && a.target == b.target &&
           a.font == b.font && a.bold == b.bold && a.italic == b.italic;
}

} // namespace

class TestStoredSettings final : public QObject
{
    Q_OBJECT

private slots:
    void unusableFilesGiveDefaults_data();
    void unusableFilesGiveDefaults();
    void valuesOutOfRangeGiveDefaults_data();
    void valuesOutOfRangeGiveDefaults();
    void language_data();
    void language();
    void writtenInOrderAndReadBack();
    void targetWithoutChoiceKeepsStoredValue();
    void unknownPlaceKeepsStoredPlace_data();
    void unknownPlaceKeepsStoredPlace();
    void storedTarget_data();
    void storedTarget();
    void unknownFontWrittenAsSerif();
    void pathThatCannotBeStoredKeepsOldValue();
    void widthWiderThanEveryScreen();
    void placement_data();
    void placement();

    void settingsFileLocation_data();
    void settingsFileLocation();
    void foldersThatCannotBeWritten();
    void programFolderComesFirst();
    void installedProgramFolder_data();
    void installedProgramFolder();
};

void TestStoredSettings::unusableFilesGiveDefaults_data()
{
    QTest::addColumn<QByteArray>("content");
    QRandomGenerator generator(20261207);
    QByteArray binary(qsizetype{10} * 1024 * 1024, Qt::Uninitialized);
    for (char &byte : binary) {
        byte = static_cast<char>(generator.bounded(256));
    }
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("10 MB of random bytes") << binary;
    QTest::newRow("garbage values") << QByteArray(
        "[Settings]\nLanguage=de\nLeft=x\nTop=1e3\nWidth=500px\n"
        "ClipboardFontSize=\nStayOnTop=yes\nShowHints=off\n"
        "[Options]\nTarget=Word\nFont=serif\nBold=true\nItalic=0x1\n");
    QTest::newRow("keys in the wrong section")
        << QByteArray("[Options]\nLanguage=0\nWidth=700\n[Settings]\nFont=2\n");
}

void TestStoredSettings::unusableFilesGiveDefaults()
{
    QFETCH(QByteArray, content);
    QVERIFY(sameSettings(readStoredSettings(ProfileDocument(content)), StoredSettings()));
}

void TestStoredSettings::valuesOutOfRangeGiveDefaults_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("left beyond any desktop") << QByteArray("Left=2147483647");
    QTest::newRow("top beyond any desktop") << QByteArray("Top=-40000");
    QTest::newRow("width zero") << QByteArray("Width=0");
    QTest::newRow("width negative") << QByteArray("Width=-500");
    QTest::newRow("width beyond any desktop") << QByteArray("Width=1000000");
    QTest::newRow("clipboard size zero") << QByteArray("ClipboardFontSize=0");
    QTest::newRow("clipboard size negative") << QByteArray("ClipboardFontSize=-5");
    QTest::newRow("clipboard size too large for rich text")
        << "ClipboardFontSize=" + QByteArray::number(MaxClipboardFontSize + 1);
    QTest::newRow("integer overflow") << QByteArray("Left=99999999999999999999");
    QTest::newRow("unknown face") << QByteArray("[Options]\r\nFont=3");
    QTest::newRow("face zero") << QByteArray("[Options]\r\nFont=0");
}

void TestStoredSettings::valuesOutOfRangeGiveDefaults()
{
    QFETCH(QByteArray, line);
    QVERIFY(sameSettings(readStoredSettings(settingsWith(line)), StoredSettings()));
}

void TestStoredSettings::language_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("language");
    QTest::newRow("German") << QByteArray("Language=0") << GermanOffset;
    QTest::newRow("English") << QByteArray("Language=10000") << EnglishOffset;
    QTest::newRow("first start") << QByteArray("Language=-1") << FirstStartLanguage;
    QTest::newRow("missing") << QByteArray() << FirstStartLanguage;
    // Used as an offset, these would turn every text into "Internal Error!".
    QTest::newRow("unknown offset") << QByteArray("Language=5") << FirstStartLanguage;
    QTest::newRow("offset one above English") << QByteArray("Language=10001") << FirstStartLanguage;
    QTest::newRow("no number") << QByteArray("Language=English") << FirstStartLanguage;
}

void TestStoredSettings::language()
{
    QFETCH(QByteArray, line);
    QFETCH(int, language);
    QCOMPARE(readStoredLanguage(settingsWith(line)), language);
    QCOMPARE(readStoredSettings(settingsWith(line)).language, language);
}

void TestStoredSettings::writtenInOrderAndReadBack()
{
    StoredSettings settings;
    settings.language = EnglishOffset;
    settings.left = -20;
    settings.top = 35;
    settings.width = 716;
    settings.clipboardFontSize = 14;
    settings.buttonSetting = "/home/u/Belegung \xE4.vkc";
    settings.stayOnTop = true;
    settings.showHints = false;
    settings.target = 5;
    settings.font = FontSansSerif;
    settings.bold = true;
    settings.italic = true;

    ProfileDocument ini;
    writeStoredSettings(ini, settings);
    QCOMPARE(ini.content(), QByteArray("[Settings]\r\nLanguage=10000\r\nLeft=-20\r\nTop=35\r\nWidth=716\r\n"
                                       "ButtonSetting=/home/u/Belegung \xE4.vkc\r\nClipboardFontSize=14\r\n"
                                       "StayOnTop=1\r\nShowHints=0\r\n"
                                       "[Options]\r\nTarget=5\r\nFont=2\r\nBold=1\r\nItalic=1\r\n"));
    QVERIFY(sameSettings(readStoredSettings(ini), settings));
}

void TestStoredSettings::targetWithoutChoiceKeepsStoredValue()
{
    ProfileDocument ini("[Options]\r\nTarget=4\r\n[Other]\r\nKept=yes\r\n");
    StoredSettings settings = readStoredSettings(ini);
    QCOMPARE(settings.target, 4);
    settings.target = NoTarget;
    writeStoredSettings(ini, settings);
    QCOMPARE(ini.readString("Options", "Target"), QByteArray("4"));
    QCOMPARE(ini.readString("Other", "Kept"), QByteArray("yes"));
}

void TestStoredSettings::unknownPlaceKeepsStoredPlace_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("left");
    QTest::addColumn<QByteArray>("top");

    // A window whose place the desktop decides leaves the place of the last session that knew it,
    // as written: out of range, not a number, or not there at all.
    QTest::newRow("a stored place") << QByteArray("[Settings]\r\nLeft=321\r\nTop=-40\r\n")
                                    << QByteArray("321") << QByteArray("-40");
    QTest::newRow("beyond any screen")
        << QByteArray("[Settings]\r\nLeft=99999\r\nTop=x\r\n") << QByteArray("99999") << QByteArray("x");
    QTest::newRow("none stored") << QByteArray("[Settings]\r\nWidth=600\r\n") << QByteArray() << QByteArray();
}

void TestStoredSettings::unknownPlaceKeepsStoredPlace()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, left);
    QFETCH(QByteArray, top);
    ProfileDocument ini(file);
    StoredSettings settings = readStoredSettings(ini);
    settings.placeKnown = false;
    settings.left = 0;
    settings.top = 0;
    settings.width = 700;
    writeStoredSettings(ini, settings);
    QCOMPARE(ini.value("Settings", "Left").value_or(QByteArray()), left);
    QCOMPARE(ini.value("Settings", "Top").value_or(QByteArray()), top);
    QCOMPARE(ini.readInteger("Settings", "Width", 0), 700);
}

void TestStoredSettings::storedTarget_data()
{
    QTest::addColumn<QByteArray>("options");
    QTest::addColumn<int>("target");
    // Word needs Automation; without it a first send would only fail to start it.
#if defined(Q_OS_WIN)
    QTest::newRow("no key: Word") << QByteArray() << 1;
#else
    QTest::newRow("no key: the clipboard") << QByteArray() << 5;
    QTest::newRow("not a number: the clipboard") << QByteArray("Target=Word") << 5;
#endif
    QTest::newRow("stored Word stays Word") << QByteArray("Target=1") << 1;
    QTest::newRow("stored office") << QByteArray("Target=6") << 6;
    QTest::newRow("stored none stays none") << QByteArray("Target=0") << 0;
}

void TestStoredSettings::storedTarget()
{
    QFETCH(QByteArray, options);
    QFETCH(int, target);
    QCOMPARE(readStoredSettings(ProfileDocument("[Options]\r\n" + options)).target, target);
}

void TestStoredSettings::unknownFontWrittenAsSerif()
{
    ProfileDocument ini("[Options]\r\nFont=3\r\n");
    StoredSettings settings = readStoredSettings(ini);
    QCOMPARE(settings.font, int(FontSerif));
    settings.font = 7;
    writeStoredSettings(ini, settings);
    QCOMPARE(ini.readInteger("Options", "Font", 0), 1);
}

void TestStoredSettings::pathThatCannotBeStoredKeepsOldValue()
{
    ProfileDocument ini("[Settings]\r\nButtonSetting=/old.vkc\r\n");
    StoredSettings settings;
    settings.buttonSetting = "/new\nname.vkc";
    settings.width = 640;
    writeStoredSettings(ini, settings);
    QCOMPARE(ini.readString("Settings", "ButtonSetting"), QByteArray("/old.vkc"));
    QCOMPARE(ini.readInteger("Settings", "Width", 0), 640);
}

void TestStoredSettings::widthWiderThanEveryScreen()
{
    const QList<QRect> screens{QRect(0, 0, 1280, 1024), QRect(1280, 0, 800, 600)};
    QCOMPARE(widthForScreens(1280, screens), 1280);
    QCOMPARE(widthForScreens(1281, screens), StoredSettings().width);
    QCOMPARE(widthForScreens(3000, {}), 3000);

    // Whatever width a window manager forced, what is stored comes back at the next start.
    QCOMPARE(widthToStore(500, screens), 500);
    QCOMPARE(widthToStore(1297, screens), 1280);
    for (const int forced : {500, 1280, 1281, 1297, 5000}) {
        const int stored = widthToStore(forced, screens);
        QCOMPARE(widthForScreens(stored, screens), stored);
    }
}

void TestStoredSettings::placement_data()
{
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QPoint>("placed");
    const QSize size(500, 400);
    QTest::newRow("on a screen") << QRect(QPoint(200, 200), size) << QPoint(200, 200);
    QTest::newRow("partly off the left edge") << QRect(QPoint(-450, 10), size) << QPoint(-450, 10);
    QTest::newRow("right of every screen") << QRect(QPoint(5000, 100), size) << QPoint(1580, 100);
    QTest::newRow("above every screen") << QRect(QPoint(100, -2000), size) << QPoint(100, 0);
    QTest::newRow("in the corner below the smaller screen")
        << QRect(QPoint(1400, 900), size) << QPoint(780, 624);
    QTest::newRow("far below the smaller screen") << QRect(QPoint(1900, 1100), size) << QPoint(1580, 200);
    QTest::newRow("far corner") << QRect(QPoint(-32767, -32767), size) << QPoint(0, 0);
    QTest::newRow("larger than the nearest screen")
        << QRect(QPoint(3000, 0), QSize(900, 700)) << QPoint(1280, 0);
}

void TestStoredSettings::placement()
{
    QFETCH(QRect, window);
    QFETCH(QPoint, placed);
    const QList<QRect> screens{QRect(0, 0, 1280, 1024), QRect(1280, 0, 800, 600)};
    QCOMPARE(placeOnScreens(window, screens), placed);
}

void TestStoredSettings::settingsFileLocation_data()
{
    QTest::addColumn<bool>("fileBesideProgram");
    QTest::addColumn<bool>("programFolderWritable");
    QTest::addColumn<bool>("besideProgram");
    QTest::newRow("writable folder") << false << true << true;
    QTest::newRow("read-only folder") << false << false << false;
    QTest::newRow("read-only folder that holds the file") << true << false << true;
}

void TestStoredSettings::settingsFileLocation()
{
    QFETCH(bool, fileBesideProgram);
    QFETCH(bool, programFolderWritable);
    QFETCH(bool, besideProgram);
    QTemporaryDir program;
    QTemporaryDir user;
    if (fileBesideProgram) {
        QFile file(program.filePath(QStringLiteral("sprelio.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString path =
        settingsFilePath(program.path(), user.path(), [&](const QString &) { return programFolderWritable; });
    QCOMPARE(path, (besideProgram ? program : user).filePath(QStringLiteral("sprelio.ini")));
}

void TestStoredSettings::foldersThatCannotBeWritten()
{
    QTemporaryDir root;
    QVERIFY(isFolderWritable(root.path()));
    // A regular file where a folder should be: no one, not even the administrator, can create the folder.
    QFile blocker(root.filePath(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString blocked = root.filePath(QStringLiteral("blocker/bin"));
    QVERIFY(!isFolderWritable(blocked));
    QVERIFY(!isFolderWritable(QString()));

    QTemporaryDir user;
    QCOMPARE(settingsFilePath(blocked, user.path(), isFolderWritable),
             user.filePath(QStringLiteral("sprelio.ini")));
    QCOMPARE(settingsFilePath(root.path(), user.path(), isFolderWritable),
             root.filePath(QStringLiteral("sprelio.ini")));
    QVERIFY2(QDir(root.path()).entryList(QDir::Files | QDir::Hidden) ==
                 QStringList{QStringLiteral("blocker")},
             "the write probe must not leave files behind");
}

void TestStoredSettings::programFolderComesFirst()
{
    const QString name = QStringLiteral("english.vkc");
    const QString inSourceData = QDir(QStringLiteral(SPRELIO_SOURCE_DATA_DIR)).filePath(name);
    QVERIFY2(QFile::exists(inSourceData), "the data folder of the source tree ships english.vkc");
    QCOMPARE(programFilePath(name), inSourceData);

    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(name);
    QFile copy(beside);
    QVERIFY(copy.open(QIODevice::WriteOnly));
    copy.close();
    QCOMPARE(programFilePath(name), beside);
    QVERIFY(QFile::remove(beside));

    // A file found nowhere is looked for beside the program.
    QCOMPARE(programFilePath(QStringLiteral("spreliokeys_e.pdf")),
             QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("spreliokeys_e.pdf")));
}

void TestStoredSettings::installedProgramFolder_data()
{
    QTest::addColumn<QString>("dataEntry");
    QTest::addColumn<bool>("installed");
    QTest::newRow("installed tree") << QStringLiteral("folder") << true;
    QTest::newRow("build folder, no data beside it") << QString() << false;
    QTest::newRow("a file where the data folder would be") << QStringLiteral("file") << false;
}

// An installed program keeps its settings per user even where its own folder could be written.
void TestStoredSettings::installedProgramFolder()
{
    QFETCH(QString, dataEntry);
    QFETCH(bool, installed);
    QTemporaryDir prefix;
    QVERIFY(QDir(prefix.path()).mkpath(QStringLiteral("bin")));
    const QString bin = prefix.filePath(QStringLiteral("bin"));
    const QString data = QDir::cleanPath(bin + QStringLiteral("/" SPRELIO_RELATIVE_DATA_DIR));
    if (dataEntry == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(data));
    } else if (dataEntry == QLatin1String("file")) {
        QVERIFY(QDir().mkpath(QFileInfo(data).path()));
        QFile file(data);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(isInstalledProgramFolder(bin), installed);
    QVERIFY(!isInstalledProgramFolder(QString()));
    QVERIFY(isFolderWritable(bin));
}

QTEST_GUILESS_MAIN(TestStoredSettings)
#include "tst_storedsettings.moc"
