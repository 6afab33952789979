#include "assignments/assignmentfile.h"
#include "filesizelimit.h"
#include "glyphbytes.h"
#include "palette/chartable.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Sprelio;

namespace {

Assignment emptyAssignment()
{
    return Assignment(AssignmentButtonCount);
}

Assignment withButton(int index, const QByteArray &glyphs, Assignment assignment = emptyAssignment())
{
    assignment[index] = glyphs;
    return assignment;
}

// A record of the old form: marker, filler, and the given entries as (length byte, up to 3 glyph bytes).
QByteArray record(const QList<QByteArray> &entries = {}, qsizetype size = AssignmentRecordSize)
{
    QByteArray data(std::max(size, AssignmentRecordSize), '\0');
    data[0] = 11;
    data.replace(1, 11, "Sprelio-2.0");
    data.replace(12, 10, "FILLER....");
    for (int i = 0; i < entries.size(); ++i) {
        data.replace(94 + 4 * i, entries.at(i).size(), entries.at(i));
    }
    data.truncate(size);
    return data;
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

QByteArray fileContent(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestAssignmentFile final : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void writtenBytes();
    void savingOverRecordLeavesProfileForm();
    void recordForm_data();
    void recordForm();
    void profileForm_data();
    void profileForm();
    void badInput_data();
    void badInput();
    void hugeSectionIsReadQuickly();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void appendStopsAtLimit_data();
    void appendStopsAtLimit();
    void defaultFilesAreProfileForm_data();
    void defaultFilesAreProfileForm();

private:
    QTemporaryDir m_dir;
};

void TestAssignmentFile::roundTrip_data()
{
    QTest::addColumn<Assignment>("assignment");

    QTest::newRow("built-in assignment") << Assignment(ButtonAssignment());
    QTest::newRow("all buttons empty") << emptyAssignment();
    QTest::newRow("space-only button") << withButton(7, " ");
    QTest::newRow("blanks at both ends") << withButton(0, " a ");
    QTest::newRow("double-quoted glyphs") << withButton(49, "\"ab\"");
    QTest::newRow("single-quoted glyphs") << withButton(12, "'x'");
    QTest::newRow("two quotes only") << withButton(3, "\"\"");
    QTest::newRow("a lone quote") << withButton(4, "'");
    QTest::newRow("quote and blank") << withButton(5, "\" ");
    QTest::newRow("ini syntax as glyphs") << withButton(6, "[x]=;");
    QTest::newRow("longest append") << withButton(9, QByteArray(MaxButtonGlyphs, 'a'));

    Assignment high = emptyAssignment();
    for (int code = 128; code <= 255; ++code) {
        high[(code - 128) % AssignmentButtonCount].append(static_cast<char>(code));
    }
    QTest::newRow("bytes 128 to 255") << high;
}

void TestAssignmentFile::roundTrip()
{
    QFETCH(Assignment, assignment);
    const QString path = m_dir.filePath(QStringLiteral("roundtrip.vkc"));

    QVERIFY(writeAssignmentFile(path, assignment));
    const std::optional<Assignment> read = readAssignmentFile(path);
    QVERIFY(read.has_value());
    QCOMPARE(*read, assignment);
}

void TestAssignmentFile::writtenBytes()
{
    Assignment assignment = emptyAssignment();
    assignment[0] = "p";
    assignment[1] = " ";
    assignment[2] = "\"a\"";
    assignment[3] = bytes({228, 58});
    assignment[49] = bytes({255});

    QByteArray expected = "[Sprelio-Buttons]\r\n1=p\r\n2=\" \"\r\n3=\"\"a\"\"\r\n4=\xe4:\r\n";
    for (int key = 5; key <= 49; ++key) {
        expected += QByteArray::number(key) + "=\r\n";
    }
    expected += "50=\xff\r\n";

    const QString path = m_dir.filePath(QStringLiteral("bytes.vkc"));
    QVERIFY(writeAssignmentFile(path, assignment));
    QCOMPARE(fileContent(path), expected);
}

void TestAssignmentFile::savingOverRecordLeavesProfileForm()
{
    const QString path =
        writeFile(m_dir, QStringLiteral("old-record.vkc"), record({bytes({3, 'a', 'b', 'c'})}));
    const Assignment assignment = withButton(0, "x");

    QVERIFY(writeAssignmentFile(path, assignment));
    QCOMPARE(fileContent(path), assignmentProfileContent(assignment).value());
}

void TestAssignmentFile::recordForm_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("isAssignment");
    QTest::addColumn<int>("button");
    QTest::addColumn<QByteArray>("glyphs");

    QTest::newRow("length 0") << record({bytes({0, 'a', 'b', 'c'})}) << true << 0 << QByteArray();
    QTest::newRow("length 1") << record({bytes({1, 'a', 'b', 'c'})}) << true << 0 << QByteArray("a");
    QTest::newRow("length 2") << record({bytes({2, 'a', 'b', 'c'})}) << true << 0 << QByteArray("ab");
    QTest::newRow("length 3") << record({bytes({3, 228, 58, 'c'})}) << true << 0 << bytes({228, 58, 'c'});
    QTest::newRow("length 7 takes 3")
        << record({bytes({7, 'a', 'b', 'c'})}) << true << 0 << QByteArray("abc");
    QTest::newRow("length 255 takes 3")
        << record({{}, bytes({255, 'x', 'y', 'z'})}) << true << 1 << QByteArray("xyz");
    QTest::newRow("line breaks dropped")
        << record({bytes({3, 'a', '\r', '\n'})}) << true << 0 << QByteArray("a");
    QTest::newRow("other bytes below 32 kept, as the profile form keeps them")
        << record({bytes({3, 'a', 1, '\t'})}) << true << 0 << QByteArray("a\x01\t");

    QList<QByteArray> full(AssignmentButtonCount, bytes({1, 'q', 0, 0}));
    full[49] = bytes({2, 250, 251, 0});
    QTest::newRow("last entry at the end of 294 bytes") << record(full) << true << 49 << bytes({250, 251});
    QTest::newRow("295 bytes, the extra one ignored") << record(full, 295) << true << 49 << bytes({250, 251});
    QTest::newRow("1000 bytes") << record(full, 1000) << true << 0 << QByteArray("q");
    QTest::newRow("293 bytes rejected") << record(full, 293) << false << 0 << QByteArray();

    QByteArray wrongMarker = record(full);
    wrongMarker.replace(1, 11, "Sprelio-1.0");
    QTest::newRow("wrong marker rejected") << wrongMarker << false << 0 << QByteArray();
    QByteArray wrongLength = record(full);
    wrongLength[0] = 10;
    QTest::newRow("wrong marker length rejected") << wrongLength << false << 0 << QByteArray();

    // The filler is not interpreted, so an empty section hidden in it leaves the record valid.
    QByteArray emptySection = record(full);
    emptySection.replace(12, 21, "\r\n[Sprelio-Buttons]\r\n");
    QTest::newRow("empty section inside a record") << emptySection << true << 0 << QByteArray("q");
}

void TestAssignmentFile::recordForm()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, isAssignment);
    QFETCH(int, button);
    QFETCH(QByteArray, glyphs);

    const std::optional<Assignment> read =
        readAssignmentFile(writeFile(m_dir, QStringLiteral("record.vkc"), content));
    QCOMPARE(read.has_value(), isAssignment);
    if (isAssignment) {
        QCOMPARE(read->size(), AssignmentButtonCount);
        QCOMPARE(read->at(button), glyphs);
    }
}

void TestAssignmentFile::profileForm_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("isAssignment");
    QTest::addColumn<int>("button");
    QTest::addColumn<QByteArray>("glyphs");

    const QByteArray someKeys = "[Sprelio-Buttons]\r\n2=b\r\n50=z\r\n";
    QTest::newRow("missing key gives an empty button") << someKeys << true << 0 << QByteArray();
    QTest::newRow("present key is read") << someKeys << true << 1 << QByteArray("b");
    QTest::newRow("last key is read") << someKeys << true << 49 << QByteArray("z");
    QTest::newRow("key 51 is ignored")
        << QByteArray("[Sprelio-Buttons]\n51=x\n1=a\n") << true << 0 << QByteArray("a");
    QTest::newRow("names without regard to case, LF lines")
        << QByteArray("[sprelio-BUTTONS]\n1 = a \n") << true << 0 << QByteArray("a");
    QTest::newRow("other sections ignored")
        << QByteArray("[Other]\n1=x\n[Sprelio-Buttons]\n1=y\n[Later]\n2=z\n") << true << 1 << QByteArray();
    QTest::newRow("lone CR ends the line")
        << QByteArray("[Sprelio-Buttons]\n1=a\rb\n") << true << 0 << QByteArray("a");
    QTest::newRow("byte order mark before the section")
        << QByteArray("\xEF\xBB\xBF[Sprelio-Buttons]\r\n1=a\r\n") << true << 0 << QByteArray("a");
    QTest::newRow("CR-only lines") << QByteArray("[Sprelio-Buttons]\r1=a\r2=b\r") << true << 1
                                   << QByteArray("b");
    QTest::newRow("bytes below 32 kept")
        << QByteArray("[Sprelio-Buttons]\r\n1=a\x01\x1f\r\n") << true << 0 << QByteArray("a\x01\x1f");

    // Far beyond what a real file holds, yet read whole.
    const QByteArray filler = QByteArray("; filler line\r\n").repeated(qsizetype(1) << 17);
    QByteArray allKeys = "[Sprelio-Buttons]\r\n";
    for (int key = 1; key <= AssignmentButtonCount; ++key) {
        allKeys += QByteArray::number(key) + "=k" + QByteArray::number(key) + "\r\n";
    }
    QTest::newRow("section beyond the first MiB") << filler + allKeys << true << 49 << QByteArray("k50");
    const qsizetype key18End = allKeys.indexOf("19=");
    QTest::newRow("section across the first MiB")
        << filler.first(1024 * 1024 - key18End - 2) + "\r\n" + allKeys << true << 49 << QByteArray("k50");
    const QByteArray upToBound = allKeys + QByteArray(MaxAssignmentFileSize - allKeys.size(), ';');
    QTest::newRow("16 MiB read") << upToBound << true << 0 << QByteArray("k1");
    QTest::newRow("one byte over 16 MiB refused") << upToBound + ';' << false << 0 << QByteArray();
    QTest::newRow("empty section is not the profile form")
        << QByteArray("[Sprelio-Buttons]\r\n") << false << 0 << QByteArray();
    QTest::newRow("section without keys, keys elsewhere")
        << QByteArray("[Sprelio-Buttons]\r\n; 1=a\r\n[Other]\r\n1=a\r\n") << false << 0 << QByteArray();
}

void TestAssignmentFile::profileForm()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, isAssignment);
    QFETCH(int, button);
    QFETCH(QByteArray, glyphs);

    const std::optional<Assignment> read =
        readAssignmentFile(writeFile(m_dir, QStringLiteral("profile.vkc"), content));
    QCOMPARE(read.has_value(), isAssignment);
    if (isAssignment) {
        QCOMPARE(read->size(), AssignmentButtonCount);
        QCOMPARE(read->at(button), glyphs);
    }
}

void TestAssignmentFile::badInput_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("isAssignment");

    QVERIFY(m_dir.isValid());
    QTest::newRow("empty file") << writeFile(m_dir, QStringLiteral("empty.vkc"), {}) << false;
    QTest::newRow("missing file") << m_dir.filePath(QStringLiteral("missing.vkc")) << false;

    QByteArray noise(4096, '\0');
    QRandomGenerator random(7);
    for (char &byte : noise) {
        byte = static_cast<char>(random.bounded(256));
    }
    noise[0] = 'x';
    QTest::newRow("binary") << writeFile(m_dir, QStringLiteral("binary.vkc"), noise) << false;
    QTest::newRow("10 MB without the section")
        << writeFile(m_dir, QStringLiteral("big.vkc"), QByteArray(qsizetype(10) * 1024 * 1024, 'k')) << false;

    const QByteArray marker = QByteArray(1, 11) + "Sprelio-2.0";
    QTest::newRow("marker and too little after it")
        << writeFile(m_dir, QStringLiteral("short.vkc"), marker + noise.left(100)) << false;
    QTest::newRow("marker and garbage to the full size")
        << writeFile(m_dir, QStringLiteral("garbage.vkc"), marker + noise.left(282)) << true;

    const QString folder = m_dir.filePath(QStringLiteral("folder.vkc"));
    QDir().mkpath(folder);
    QTest::newRow("a folder") << folder << false;

    const QString fifo = m_dir.filePath(QStringLiteral("fifo.vkc"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QTest::newRow("a pipe nobody writes to") << fifo << false;

    // Opening succeeds, reading fails: the file's first page is not mapped in any process.
    QTest::newRow("a file that fails while read") << QStringLiteral("/proc/self/mem") << false;

    const QString locked = writeFile(m_dir, QStringLiteral("locked.vkc"), "[Sprelio-Buttons]\n1=a\n");
    QFile::setPermissions(locked, QFileDevice::Permissions());
    QTest::newRow("unreadable") << locked << false;
}

void TestAssignmentFile::badInput()
{
    QFETCH(QString, path);
    QFETCH(bool, isAssignment);
    if (path.endsWith(QLatin1String("locked.vkc")) && ::geteuid() == 0) {
        QSKIP("root reads files without read permission");
    }

    const std::optional<Assignment> read = readAssignmentFile(path);
    QCOMPARE(read.has_value(), isAssignment);
    if (read) {
        QCOMPARE(read->size(), AssignmentButtonCount);
        for (const QByteArray &glyphs : *read) {
            QVERIFY(glyphs.size() <= 3);
            QVERIFY(!glyphs.contains('\r') && !glyphs.contains('\n'));
        }
    }
}

void TestAssignmentFile::hugeSectionIsReadQuickly()
{
    // Keys 2 to 50 are missing and each is looked for through the whole section.
    QByteArray content = "[Sprelio-Buttons]\r\n1=p\r\n";
    while (content.size() < qsizetype(10) * 1024 * 1024) {
        content += "no key on this line\r\n";
    }
    const QString path = writeFile(m_dir, QStringLiteral("huge.vkc"), content);

    QElapsedTimer timer;
    timer.start();
    const std::optional<Assignment> read = readAssignmentFile(path);
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QStringLiteral("took %1 ms").arg(timer.elapsed())));
    QVERIFY(read.has_value());
    QCOMPARE(read->at(0), QByteArray("p"));
}

void TestAssignmentFile::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("oldFile");
    QTest::addColumn<int>("sizeLimit");

    const QByteArray oldContent = record({bytes({1, 'o', 0, 0})});
    const QString old = writeFile(m_dir, QStringLiteral("old.vkc"), oldContent);
    QTest::newRow("disk full over an old file") << old << old << 100;

    const QString folder = m_dir.filePath(QStringLiteral("target-folder.vkc"));
    QDir().mkpath(folder);
    QTest::newRow("target is a folder") << folder << QString() << 0;

    const QString plain = writeFile(m_dir, QStringLiteral("plain.vkc"), oldContent);
    QTest::newRow("path inside a file") << plain + QStringLiteral("/inner.vkc") << plain << 0;
}

void TestAssignmentFile::failedWriteKeepsOldFile()
{
    QFETCH(QString, path);
    QFETCH(QString, oldFile);
    QFETCH(int, sizeLimit);
    const QByteArray before = oldFile.isEmpty() ? QByteArray() : fileContent(oldFile);

    bool written = true;
    {
        std::optional<FileSizeLimit> limit;
        if (sizeLimit > 0) {
            limit.emplace(rlim_t(sizeLimit));
        }
        written = writeAssignmentFile(path, Assignment(ButtonAssignment()));
    }
    QVERIFY(!written);
    if (!oldFile.isEmpty()) {
        QCOMPARE(fileContent(oldFile), before);
    }
    // No temporary file is left behind.
    const QStringList leftovers = QDir(m_dir.path()).entryList({QStringLiteral("*.vkc.*")}, QDir::Files);
    QVERIFY2(leftovers.isEmpty(), qPrintable(leftovers.join(QLatin1Char(' '))));
}

void TestAssignmentFile::appendStopsAtLimit_data()
{
    QTest::addColumn<int>("currentSize");
    QTest::addColumn<bool>("appended");

    QTest::newRow("empty button") << 0 << true;
    QTest::newRow("one below the limit") << int(MaxButtonGlyphs - 1) << true;
    QTest::newRow("at the limit") << int(MaxButtonGlyphs) << false;
    QTest::newRow("loaded beyond the limit") << 300 << false;
}

void TestAssignmentFile::appendStopsAtLimit()
{
    QFETCH(int, currentSize);
    QFETCH(bool, appended);
    const QByteArray current(currentSize, 'a');

    const std::optional<QByteArray> result = appendedGlyphs(current, "b");
    QCOMPARE(result.has_value(), appended);
    if (appended) {
        QCOMPARE(*result, current + "b");
    }
}

void TestAssignmentFile::defaultFilesAreProfileForm_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("German") << QStringLiteral("deutsch.vkc");
    QTest::newRow("English") << QStringLiteral("english.vkc");
}

void TestAssignmentFile::defaultFilesAreProfileForm()
{
    QFETCH(QString, name);
    const QString path = QStringLiteral(SPRELIO_SOURCE_DATA_DIR "/") + name;

    const std::optional<Assignment> read = readAssignmentFile(path);
    QVERIFY(read.has_value());
    // Shipped exactly as the program writes them, so saving them unchanged changes no byte.
    QCOMPARE(fileContent(path), assignmentProfileContent(*read).value());
    int described = 0;
    for (const QByteArray &glyphs : *read) {
        QVERIFY(!glyphs.isEmpty());
        described += CharDescription(glyphs).isEmpty() ? 0 : 1;
    }
    QVERIFY2(described >= 30, "most buttons hold one charted glyph");
}

QTEST_GUILESS_MAIN(TestAssignmentFile)
#include "tst_assignmentfile.moc"
