#include "storage/profilefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using Sprelio::ProfileDocument;
using Sprelio::ProfileFile;

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes) {
        byte = static_cast<char>(generator.bounded(256));
    }
    return bytes;
}

} // namespace

class TestProfileFile final : public QObject
{
    Q_OBJECT

private slots:
    void lookup_data();
    void lookup();
    void valueCap_data();
    void valueCap();
    void integers_data();
    void integers();
    void bools_data();
    void bools();
    void sectionHasKeys_data();
    void sectionHasKeys();
    void write_data();
    void write();
    void writeTypedValues();
    void highBytesBothWays();
    void unstorableRefused_data();
    void unstorableRefused();
    void failedWritesReported();
    void saveReplacesWholeFile();
    void badInput_data();
    void badInput();
};

void TestProfileFile::lookup_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("value");

    QTest::newRow("plain") << QByteArray("[Settings]\r\nWidth=500\r\n") << QByteArray("Settings")
                           << QByteArray("Width") << true << QByteArray("500");
    QTest::newRow("byte order mark before the header")
        << QByteArray("\xEF\xBB\xBF[Settings]\r\nWidth=500\r\n") << QByteArray("Settings")
        << QByteArray("Width") << true << QByteArray("500");
    QTest::newRow("CR-only lines") << QByteArray("[Settings]\rLeft=1\rWidth=500\r") << QByteArray("Settings")
                                   << QByteArray("Width") << true << QByteArray("500");
    QTest::newRow("CR-only lines after a byte order mark, no end on the last")
        << QByteArray("\xEF\xBB\xBF[Settings]\rWidth=500") << QByteArray("Settings") << QByteArray("Width")
        << true << QByteArray("500");
    QTest::newRow("byte order mark only at the very start")
        << QByteArray("[T]\r\n\xEF\xBB\xBF[Settings]\r\nWidth=500\r\n") << QByteArray("Settings")
        << QByteArray("Width") << false << QByteArray();
    QTest::newRow("names in other case")
        << QByteArray("[SETTINGS]\r\nwidth=500\r\n") << QByteArray("settings") << QByteArray("WIDTH") << true
        << QByteArray("500");
    QTest::newRow("non-ASCII letters not folded")
        << QByteArray("[S]\r\n\xC4=1\r\n") << QByteArray("S") << QByteArray("\xE4") << false << QByteArray();
    QTest::newRow("blanks around names and value")
        << QByteArray(" [ S ]\r\n \t a \t= \t x y \t\r\n") << QByteArray("S") << QByteArray("a") << true
        << QByteArray("x y");
    QTest::newRow("double quotes dropped") << QByteArray("[S]\r\na= \"x\" \r\n") << QByteArray("S")
                                           << QByteArray("a") << true << QByteArray("x");
    QTest::newRow("single quotes dropped, blanks inside kept")
        << QByteArray("[S]\r\na=' x '\r\n") << QByteArray("S") << QByteArray("a") << true
        << QByteArray(" x ");
    QTest::newRow("unmatched quotes kept") << QByteArray("[S]\r\na=\"x'\r\n") << QByteArray("S")
                                           << QByteArray("a") << true << QByteArray("\"x'");
    QTest::newRow("lone quote kept") << QByteArray("[S]\r\na=\"\r\n") << QByteArray("S") << QByteArray("a")
                                     << true << QByteArray("\"");
    QTest::newRow("value from first equals sign")
        << QByteArray("[S]\r\na=b=c\r\n") << QByteArray("S") << QByteArray("a") << true << QByteArray("b=c");
    QTest::newRow("empty value is found")
        << QByteArray("[S]\r\na=\r\n") << QByteArray("S") << QByteArray("a") << true << QByteArray("");
    QTest::newRow("LF line ends") << QByteArray("[S]\na=1\nb=2\n") << QByteArray("S") << QByteArray("b")
                                  << true << QByteArray("2");
    QTest::newRow("last line without line end")
        << QByteArray("[S]\r\na=1") << QByteArray("S") << QByteArray("a") << true << QByteArray("1");
    QTest::newRow("key of another section")
        << QByteArray("[S]\r\n[T]\r\na=1\r\n") << QByteArray("S") << QByteArray("a") << false << QByteArray();
    QTest::newRow("key before any section ignored")
        << QByteArray("a=1\r\n[S]\r\n") << QByteArray("S") << QByteArray("a") << false << QByteArray();
    QTest::newRow("first of repeated keys") << QByteArray("[S]\r\na=1\r\na=2\r\n") << QByteArray("S")
                                            << QByteArray("a") << true << QByteArray("1");
    QTest::newRow("only first of repeated sections")
        << QByteArray("[S]\r\na=1\r\n[S]\r\nb=2\r\n") << QByteArray("S") << QByteArray("b") << false
        << QByteArray();
    QTest::newRow("unclosed header runs to line end") << QByteArray("[Sect \r\na=1\r\n") << QByteArray("Sect")
                                                      << QByteArray("a") << true << QByteArray("1");
    QTest::newRow("text after header ignored")
        << QByteArray("[S] old\r\na=1\r\n") << QByteArray("S") << QByteArray("a") << true << QByteArray("1");
    QTest::newRow("comment is no key")
        << QByteArray("[S]\r\n;a=1\r\n") << QByteArray("S") << QByteArray(";a") << false << QByteArray();
    QTest::newRow("NUL inside value kept") << QByteArray("[S]\r\na=x\0y\r\n", 12) << QByteArray("S")
                                           << QByteArray("a") << true << QByteArray("x\0y", 3);
}

void TestProfileFile::lookup()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(bool, found);
    QFETCH(QByteArray, value);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("test.ini"));
    QVERIFY(writeFile(path, content));
    const ProfileDocument document = ProfileFile(path).load();
    QCOMPARE(document.readString(section, key, "default"), found ? value : QByteArray("default"));
}

void TestProfileFile::valueCap_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray cap(ProfileDocument::MaxValueLength, 'x');
    QTest::newRow("2047 bytes whole") << cap << cap;
    QTest::newRow("2048 bytes cut") << cap + 'y' << cap;
    QTest::newRow("10000 bytes cut") << cap + QByteArray(7953, 'y') << cap;
    QTest::newRow("quoted 2047 bytes whole") << '"' + cap + '"' << cap;
}

void TestProfileFile::valueCap()
{
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, expected);

    const ProfileDocument document("[S]\r\na=" + stored + "\r\n");
    QCOMPARE(document.readString("S", "a"), expected);
}

void TestProfileFile::integers_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("expected");

    constexpr int fallback = 77;
    QTest::newRow("blanks around") << QByteArray(" 12 ") << 12;
    QTest::newRow("negative") << QByteArray("-5") << -5;
    QTest::newRow("plus sign") << QByteArray("+7") << 7;
    QTest::newRow("quoted") << QByteArray("\"12\"") << 12;
    QTest::newRow("int max") << QByteArray("2147483647") << 2147483647;
    QTest::newRow("int min") << QByteArray("-2147483648") << (-2147483647 - 1);
    QTest::newRow("trailing letters") << QByteArray("12abc") << fallback;
    QTest::newRow("empty") << QByteArray("") << fallback;
    QTest::newRow("letters") << QByteArray("abc") << fallback;
    QTest::newRow("sign alone") << QByteArray("-") << fallback;
    QTest::newRow("hexadecimal") << QByteArray("0x10") << fallback;
    QTest::newRow("blank between digits") << QByteArray("1 2") << fallback;
    QTest::newRow("just above int max") << QByteArray("2147483648") << fallback;
    QTest::newRow("just below int min") << QByteArray("-2147483649") << fallback;
    QTest::newRow("huge") << QByteArray(400, '9') << fallback;
}

void TestProfileFile::integers()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, expected);

    const ProfileDocument document("[Settings]\r\nWidth=" + stored + "\r\n");
    QCOMPARE(document.readInteger("Settings", "Width", 77), expected);
    QCOMPARE(document.readInteger("Settings", "Height", 77), 77);
}

void TestProfileFile::bools_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("whenDefaultFalse");
    QTest::addColumn<bool>("whenDefaultTrue");

    QTest::newRow("0") << QByteArray("0") << false << false;
    QTest::newRow("1") << QByteArray("1") << true << true;
    QTest::newRow("2") << QByteArray("2") << true << true;
    QTest::newRow("-1") << QByteArray("-1") << true << true;
    QTest::newRow("no integer takes default") << QByteArray("true") << false << true;
}

void TestProfileFile::bools()
{
    QFETCH(QByteArray, stored);
    QFETCH(bool, whenDefaultFalse);
    QFETCH(bool, whenDefaultTrue);

    const ProfileDocument document("[Options]\r\nBold=" + stored + "\r\n");
    QCOMPARE(document.readBool("Options", "Bold", false), whenDefaultFalse);
    QCOMPARE(document.readBool("Options", "Bold", true), whenDefaultTrue);
    QCOMPARE(document.readBool("Options", "Italic", true), true);
}

void TestProfileFile::sectionHasKeys_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("expected");

    QTest::newRow("missing section") << QByteArray("[Other]\r\n1=a\r\n") << false;
    QTest::newRow("empty section") << QByteArray("[Sprelio-Buttons]\r\n[Other]\r\n1=a\r\n") << false;
    QTest::newRow("only lines without keys")
        << QByteArray("[Sprelio-Buttons]\r\n\r\n;1=a\r\njunk\r\n=a\r\n") << false;
    QTest::newRow("key before the section") << QByteArray("1=a\r\n[Sprelio-Buttons]\r\n") << false;
    QTest::newRow("one key") << QByteArray("[Sprelio-Buttons]\r\njunk\r\n7=\r\n") << true;
    QTest::newRow("other case") << QByteArray("[sprelio-buttons]\r\n1=a") << true;
}

void TestProfileFile::sectionHasKeys()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, expected);

    QCOMPARE(ProfileDocument(content).sectionHasKeys("Sprelio-Buttons"), expected);
}

void TestProfileFile::write_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("after");

    const QByteArray others("; comment\n[Other]\nx = 1\n\n");
    QTest::newRow("missing file created")
        << false << QByteArray() << QByteArray("a") << QByteArray("1") << QByteArray("[S]\r\na=1\r\n");
    QTest::newRow("replaced in place, other lines kept")
        << true << others + "[S]\nb=2\n A = old \nc=3\n" + others << QByteArray("a") << QByteArray("new")
        << others + "[S]\nb=2\na=new\nc=3\n" + others;
    QTest::newRow("appended after last key, before blank line")
        << true << QByteArray("[S]\r\nb=2\r\n\r\n[T]\r\n") << QByteArray("a") << QByteArray("1")
        << QByteArray("[S]\r\nb=2\r\na=1\r\n\r\n[T]\r\n");
    QTest::newRow("appended after header of keyless section")
        << true << QByteArray("[S]\r\njunk\r\n[T]\r\n") << QByteArray("a") << QByteArray("1")
        << QByteArray("[S]\r\na=1\r\njunk\r\n[T]\r\n");
    QTest::newRow("appended to section ending the file without line end")
        << true << QByteArray("[S]\r\nb=2") << QByteArray("a") << QByteArray("1")
        << QByteArray("[S]\r\nb=2\r\na=1\r\n");
    QTest::newRow("section added at end without line end")
        << true << QByteArray("[T]\r\nb=2") << QByteArray("a") << QByteArray("1")
        << QByteArray("[T]\r\nb=2\r\n[S]\r\na=1\r\n");
    QTest::newRow("final lone CR completed") << true << QByteArray("[T]\r\nb=2\r") << QByteArray("a")
                                             << QByteArray("1") << QByteArray("[T]\r\nb=2\r\n[S]\r\na=1\r\n");
    QTest::newRow("first of repeated sections")
        << true << QByteArray("[S]\r\nb=2\r\n[S]\r\nc=3\r\n") << QByteArray("c") << QByteArray("1")
        << QByteArray("[S]\r\nb=2\r\nc=1\r\n[S]\r\nc=3\r\n");
    QTest::newRow("empty value") << true << QByteArray("[S]\r\na=1\r\n") << QByteArray("a") << QByteArray()
                                 << QByteArray("[S]\r\na=\r\n");
    QTest::newRow("LF file keeps LF") << true << QByteArray("[T]\nb=2\n[S]\nc=3\n") << QByteArray("a")
                                      << QByteArray("1") << QByteArray("[T]\nb=2\n[S]\nc=3\na=1\n");
    QTest::newRow("LF file gets a section with LF") << true << QByteArray("[T]\nb=2") << QByteArray("a")
                                                    << QByteArray("1") << QByteArray("[T]\nb=2\n[S]\na=1\n");
    QTest::newRow("CR file keeps CR") << true << QByteArray("[S]\ra=0\rb=2\r") << QByteArray("a")
                                      << QByteArray("1") << QByteArray("[S]\ra=1\rb=2\r");
    QTest::newRow("CR file, section appended") << true << QByteArray("[T]\rb=2\r") << QByteArray("a")
                                               << QByteArray("1") << QByteArray("[T]\rb=2\r[S]\ra=1\r");
    QTest::newRow("CR file, replaced line before an LF blank line")
        << true << QByteArray("[S]\ra=0\n\nb=2\r") << QByteArray("a") << QByteArray("1")
        << QByteArray("[S]\ra=1\r\n\nb=2\r");
    QTest::newRow("CR file, appended line before an LF blank line")
        << true << QByteArray("[S]\rb=2\n\n[T]\r") << QByteArray("a") << QByteArray("1")
        << QByteArray("[S]\rb=2\na=1\r\n\n[T]\r");
    QTest::newRow("byte order mark kept, its section found")
        << true << QByteArray("\xEF\xBB\xBF[S]\r\na=0\r\n") << QByteArray("a") << QByteArray("1")
        << QByteArray("\xEF\xBB\xBF[S]\r\na=1\r\n");
    QTest::newRow("byte order mark alone") << true << QByteArray("\xEF\xBB\xBF") << QByteArray("a")
                                           << QByteArray("1") << QByteArray("\xEF\xBB\xBF[S]\r\na=1\r\n");
}

void TestProfileFile::write()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, after);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("test.ini"));
    if (exists) {
        QVERIFY(writeFile(path, before));
    }
    const ProfileFile ini(path);
    std::optional<ProfileDocument> document = ini.loadExisting();
    QVERIFY(document);
    QVERIFY(document->writeString("S", key, value));
    QVERIFY(ini.save(*document));
    QCOMPARE(readFile(path), after);
    QCOMPARE(ini.load().readString("s", key, "default"), value);

    // Writing the same again, from the file as saved, changes nothing.
    document = ini.loadExisting();
    QVERIFY(document);
    QVERIFY(document->writeString("S", key, value));
    QVERIFY(ini.save(*document));
    QCOMPARE(readFile(path), after);
}

void TestProfileFile::writeTypedValues()
{
    QTemporaryDir dir;
    const ProfileFile ini(dir.filePath(QStringLiteral("sprelio.ini")));
    std::optional<ProfileDocument> document = ini.loadExisting();
    QVERIFY(document);
    QVERIFY(document->writeInteger("Settings", "Left", -5));
    QVERIFY(document->writeBool("Settings", "StayOnTop", true));
    QVERIFY(document->writeBool("Options", "Bold", false));
    QVERIFY(document->writeInteger("settings", "LEFT", 200));
    QVERIFY(ini.save(*document));
    QCOMPARE(readFile(ini.path()),
             QByteArray("[Settings]\r\nLEFT=200\r\nStayOnTop=1\r\n[Options]\r\nBold=0\r\n"));
    const ProfileDocument saved = ini.load();
    QCOMPARE(saved.readInteger("Settings", "Left", 0), 200);
    QCOMPARE(saved.readBool("Settings", "StayOnTop", false), true);
    QCOMPARE(saved.readBool("Options", "Bold", true), false);
}

void TestProfileFile::highBytesBothWays()
{
    QByteArray glyphs;
    for (int code = 128; code <= 255; ++code) {
        glyphs.append(static_cast<char>(code));
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("high.vkc"));
    const ProfileFile ini(path);
    std::optional<ProfileDocument> document = ini.loadExisting();
    QVERIFY(document);
    QVERIFY(document->writeString("Sprelio-Buttons", "1", glyphs));
    QVERIFY(ini.save(*document));
    QCOMPARE(readFile(path), "[Sprelio-Buttons]\r\n1=" + glyphs + "\r\n");
    QCOMPARE(ini.load().readString("Sprelio-Buttons", "1"), glyphs);
}

void TestProfileFile::unstorableRefused_data()
{
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");

    QTest::newRow("LF in value") << QByteArray("S") << QByteArray("a") << QByteArray("x\n[T]");
    QTest::newRow("CR in value") << QByteArray("S") << QByteArray("a") << QByteArray("x\ry");
    QTest::newRow("equals sign in key") << QByteArray("S") << QByteArray("a=b") << QByteArray("x");
    QTest::newRow("empty key") << QByteArray("S") << QByteArray() << QByteArray("x");
    QTest::newRow("key read as comment") << QByteArray("S") << QByteArray(";a") << QByteArray("x");
    QTest::newRow("key read as header") << QByteArray("S") << QByteArray("[a") << QByteArray("x");
    QTest::newRow("blank ending key") << QByteArray("S") << QByteArray("a ") << QByteArray("x");
    QTest::newRow("bracket in section") << QByteArray("S]T") << QByteArray("a") << QByteArray("x");
    QTest::newRow("empty section") << QByteArray() << QByteArray("a") << QByteArray("x");
}

void TestProfileFile::unstorableRefused()
{
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("test.ini"));
    const QByteArray before("[S]\r\nb=2\r\n");
    QVERIFY(writeFile(path, before));
    const ProfileFile ini(path);
    std::optional<ProfileDocument> document = ini.loadExisting();
    QVERIFY(document);
    QVERIFY(!document->writeString(section, key, value));
    QCOMPARE(document->content(), before);
    // What is saved after a refused write is the file as it was.
    QVERIFY(ini.save(*document));
    QCOMPARE(readFile(path), before);
}

void TestProfileFile::failedWritesReported()
{
    QTemporaryDir dir;
    const ProfileFile inMissingFolder(dir.filePath(QStringLiteral("missing/test.ini")));
    std::optional<ProfileDocument> document = inMissingFolder.loadExisting();
    QVERIFY(document);
    QVERIFY(document->writeString("S", "a", "1"));
    QVERIFY(!inMissingFolder.save(*document));
    QVERIFY(!QFileInfo::exists(inMissingFolder.path()));

    // The path cannot be read as a file: it must not be loaded for a change, nor replaced.
    const QString occupied = dir.filePath(QStringLiteral("occupied"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("occupied")));
    QVERIFY(!ProfileFile(occupied).loadExisting());
    QVERIFY(!ProfileFile(occupied).save(*document));
    QVERIFY(QFileInfo(occupied).isDir());
    QCOMPARE(ProfileFile(occupied).load().readInteger("S", "a", 9), 9);
}

void TestProfileFile::saveReplacesWholeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.vkc"));
    QVERIFY(writeFile(path, "\x0BSprelio-2.0" + randomBytes(300, 1)));

    ProfileDocument document;
    for (int key = 1; key <= 3; ++key) {
        QVERIFY(document.writeString("Sprelio-Buttons", QByteArray::number(key), QByteArray(key, 'p')));
    }
    QVERIFY(ProfileFile(path).save(document));
    QCOMPARE(readFile(path), QByteArray("[Sprelio-Buttons]\r\n1=p\r\n2=pp\r\n3=ppp\r\n"));
}

void TestProfileFile::badInput_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray tail("\n[S]\na=found\n");
    constexpr qsizetype tenMegabytes = qsizetype(10) * 1024 * 1024;
    QTest::newRow("missing file") << false << QByteArray() << QByteArray("default");
    QTest::newRow("empty file") << true << QByteArray() << QByteArray("default");
    QTest::newRow("NUL bytes") << true << QByteArray(4096, '\0') << QByteArray("default");
    QTest::newRow("random bytes") << true << randomBytes(65536, 7) << QByteArray("default");
    QTest::newRow("random bytes, then the key")
        << true << randomBytes(65536, 7) + tail << QByteArray("found");
    QTest::newRow("lines without equals sign")
        << true << QByteArray("[S]\r\na\r\nb c\r\n[\r\n]\r\n") << QByteArray("default");
    QTest::newRow("10 MB of short lines, then the key")
        << true << QByteArray("[T]\r\nline without equals sign\r\n").repeated(300000) + tail
        << QByteArray("found");
    QTest::newRow("one 10 MB line") << true << QByteArray(tenMegabytes, '[') << QByteArray("default");
    QTest::newRow("10 MB value") << true << "[S]\na=" + QByteArray(tenMegabytes, 'v')
                                 << QByteArray(ProfileDocument::MaxValueLength, 'v');
}

void TestProfileFile::badInput()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, expected);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.ini"));
    if (exists) {
        QVERIFY(writeFile(path, content));
    }
    const ProfileFile ini(path);
    const ProfileDocument loaded = ini.load();
    QCOMPARE(loaded.readString("S", "a", "default"), expected);
    QCOMPARE(loaded.readInteger("S", "a", -1), -1);
    QCOMPARE(loaded.sectionHasKeys("Sprelio-Buttons"), false);

    // A write keeps the odd content and is read back.
    std::optional<ProfileDocument> document = ini.loadExisting();
    QVERIFY(document);
    QVERIFY(document->writeString("Sprelio-Buttons", "1", "g"));
    QVERIFY(ini.save(*document));
    QVERIFY(readFile(path).startsWith(content));
    QCOMPARE(ini.load().readString("Sprelio-Buttons", "1"), QByteArray("g"));
}

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
