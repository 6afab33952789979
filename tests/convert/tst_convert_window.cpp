// The window's "Convert document to Unicode" command with the real sprelio-convert and the real
// office: the file dialogs answered as a user does, the message read, the files looked at.

#include "app/modalwatch.h"
#include "app/spreliopad.h"
#include "convert/convertcommand.h"
#include "findnamed.h"
#include "i18n/langstr.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Sprelio;
using ModalWatch::whenModal;

namespace {

// A Writer document in RTF: n̥t͡ʃ in one stretch, then n̥ with a bold base and a plain ring.
const QByteArray Transcription =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 DejaVu Serif;}"
    "{\\f1\\fnil\\fcharset2 Lautbild Serif;}}\n"
    "\\pard\\plain\\f0\\fs24 Stra\\'dfe {\\f1\\fs28 n$t\\'d4S} plain\\par\n"
    "\\pard\\plain\\f0\\fs24 two {\\f1\\fs28\\b n}{\\f1\\fs28 $} end\\par\n}\n";
const QByteArray PlainText = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman DejaVu Serif;}}\n"
                             "\\pard\\plain\\f0\\fs24 Nothing phonetic here.\\par\n}\n";

// The living processes below a process, from /proc; a zombie has ended.
QList<int> descendantsOf(int root)
{
    QList<std::pair<int, int>> parents;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (entry.toInt() > 0 && stat.open(QIODevice::ReadOnly)) {
            const QByteArray line = stat.readAll();
            const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
            if (fields.size() > 1 && fields[0] != "Z") {
                parents.append({entry.toInt(), fields[1].toInt()});
            }
        }
    }
    QList<int> found{root};
    for (qsizetype i = 0; i < found.size(); ++i) {
        for (const auto &[pid, parent] : std::as_const(parents)) {
            if (parent == found[i]) {
                found.append(pid);
            }
        }
    }
    return found.mid(1);
}

bool alive(int pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    return stat.open(QIODevice::ReadOnly) && !stat.readAll().contains(") Z ");
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

} // namespace

class TestConvertWindow final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_dir.setAutoRemove(!qEnvironmentVariableIsSet("SPRELIO_KEEP_TEST_FILES"));
        m_office = !QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty();
    }
    void cleanup() { ModalWatch::cancelAll(); }
    void convertFromTheWindow_data();
    void convertFromTheWindow();
    void cancelStopsConverterAndOffice();

private:
    QTemporaryDir m_dir;
    bool m_office = false;
};

void TestConvertWindow::convertFromTheWindow_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<bool>("converter");
    QTest::addColumn<bool>("failure");
    QTest::addColumn<QStringList>("message");
    QTest::newRow("German: a transcription converted")
        << GermanOffset << Transcription << true << false
        << QStringList{"Umgewandelt: 3 Abschnitte mit 7 Zeichen", "in der Schrift Charis SIL",
                       "Gefundene phonetische Schriften: Lautbild Serif.", "transcription-unicode.rtf"};
    QTest::newRow("English: nothing to convert")
        << EnglishOffset << PlainText << true << false
        << QStringList{"holds no text in a phonetic face", "nothing to convert", "plain-unicode.rtf"};
    QTest::newRow("German: an empty document refused with the converter's message")
        << GermanOffset << QByteArray() << true << true
        << QStringList{"Das Dokument wurde nicht umgewandelt:", "empty.rtf: the file is empty"};
    QTest::newRow("English: no converter")
        << EnglishOffset << Transcription << false << true
        << QStringList{"The converter", "nowhere/sprelio-convert", "cannot be started"};
}

void TestConvertWindow::convertFromTheWindow()
{
    QFETCH(int, language);
    QFETCH(QByteArray, document);
    QFETCH(bool, converter);
    QFETCH(bool, failure);
    QFETCH(QStringList, message);
    const bool needsOffice = converter && !document.isEmpty();
    if (needsOffice && !m_office) {
        QSKIP("LibreOffice is not installed");
    }
    const QString base =
        QString::fromLatin1(QTest::currentDataTag()).contains(QLatin1String("nothing"))
            ? QStringLiteral("plain")
            : (document.isEmpty() ? QStringLiteral("empty") : QStringLiteral("transcription"));
    const QString in = m_dir.filePath(base + QStringLiteral(".rtf"));
    const QString out = m_dir.filePath(base + QStringLiteral("-unicode.rtf"));
    QFile::remove(out);
    {
        QFile file(in);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(document);
    }

    TSprelioPad pad;
    findNamed<QAction>(&pad, language == GermanOffset ? "Deutsch1" : "Englisch1")->trigger();
    pad.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pad));
    auto *command = findNamed<ConvertCommand>(&pad, "ConvertCommand");
    command->setProgram(converter ? QStringLiteral(SPRELIO_CONVERT)
                                  : m_dir.filePath("nowhere/sprelio-convert"));
    auto *item = findNamed<QAction>(&pad, "UnicodeUmwandeln1");
    QVERIFY(item->isVisible());
    QCOMPARE(item->text(), language == GermanOffset ? QStringLiteral("Dokument nach &Unicode umwandeln…")
                                                    : QStringLiteral("Convert document to &Unicode…"));

    QString proposed;
    QString shown;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool dialogMissing = false;
    whenModal<QFileDialog>(
        [&](QFileDialog *open) {
            whenModal<QFileDialog>(
                [&](QFileDialog *save) {
                    proposed = save->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text();
                    whenModal<QMessageBox>(
                        [&](QMessageBox *box) {
                            shown = box->text();
                            icon = box->icon();
                            if (const QString shot = qEnvironmentVariable("SPRELIO_CONVERT_SHOT");
                                !shot.isEmpty()) {
                                box->grab().save(shot +
                                                 QString::fromLatin1(QTest::currentDataTag()).left(12) +
                                                 QStringLiteral(".png"));
                            }
                            box->accept();
                        },
                        &dialogMissing, 240000);
                    static_cast<QDialog *>(save)->accept();
                },
                &dialogMissing, 30000);
            // Typed into the name field, as a user does.
            open->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(in);
            static_cast<QDialog *>(open)->accept();
        },
        &dialogMissing, 30000);
    QSignalSpy finished(command, &ConvertCommand::finished);
    item->trigger();
    // Generous: the office starts for the conversion on a busy machine.
    QVERIFY(finished.wait(300000) || finished.count() == 1);
    QVERIFY(!dialogMissing);

    QCOMPARE(proposed, QFileInfo(out).fileName());
    for (const QString &part : std::as_const(message)) {
        QVERIFY2(shown.contains(part), qPrintable(shown));
    }
    QCOMPARE(icon, failure ? QMessageBox::Critical : QMessageBox::Information);
    QVERIFY(item->isEnabled());
    QCOMPARE(contentOf(in), document);
    QCOMPARE(QFileInfo::exists(out), !failure);
    if (!failure && document == Transcription) {
        // The copy holds ʃ and the ring below as Unicode, set in Charis SIL.
        const QByteArray copy = contentOf(out);
        QVERIFY(copy.contains("Charis SIL"));
        QVERIFY(copy.contains("\\u643") && copy.contains("\\u805"));
    }
}

// Cancel in the progress window ends the converter and the office it started, and leaves no copy,
// nothing half written and no message; the window stays usable meanwhile.
void TestConvertWindow::cancelStopsConverterAndOffice()
{
    if (!m_office) {
        QSKIP("LibreOffice is not installed");
    }
    const QString in = m_dir.filePath(QStringLiteral("cancelled.rtf"));
    const QString out = m_dir.filePath(QStringLiteral("cancelled-unicode.rtf"));
    {
        QFile file(in);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(Transcription);
    }
    TSprelioPad pad;
    pad.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pad));
    auto *command = findNamed<ConvertCommand>(&pad, "ConvertCommand");
    command->setProgram(QStringLiteral(SPRELIO_CONVERT));
    bool messageShown = false;
    whenModal<QMessageBox>(
        [&](QMessageBox *box) {
            messageShown = true;
            box->accept();
        },
        nullptr, 600000);
    QSignalSpy finished(command, &ConvertCommand::finished);
    command->convert(in, out, false);

    auto *converter = command->findChild<QProcess *>();
    QVERIFY(converter != nullptr);
    const int pid = static_cast<int>(converter->processId());
    QList<int> office;
    QTRY_VERIFY_WITH_TIMEOUT(finished.count() > 0 || (office = descendantsOf(pid)).size() > 0, 120000);
    auto *progress = pad.findChild<QProgressDialog *>(QStringLiteral("ConvertProgress"));
    QTRY_VERIFY_WITH_TIMEOUT(finished.count() > 0 || progress->isVisible(), 60000);
    if (finished.count() > 0) {
        QSKIP("the conversion ended before it could be cancelled");
    }
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    office = descendantsOf(pid);
    if (const QString shot = qEnvironmentVariable("SPRELIO_CONVERT_SHOT"); !shot.isEmpty()) {
        progress->grab().save(shot + QStringLiteral("progress.png"));
    }
    progress->findChild<QPushButton *>()->click();
    QVERIFY(finished.wait(90000) || finished.count() == 1);

    QVERIFY(!messageShown);
    QVERIFY(!QFileInfo::exists(out));
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden), {});
    QCOMPARE(contentOf(in), Transcription);
    QVERIFY(findNamed<QAction>(&pad, "UnicodeUmwandeln1")->isEnabled());
    for (const int process : std::as_const(office)) {
        QTRY_VERIFY2_WITH_TIMEOUT(!alive(process),
                                  qPrintable(QStringLiteral("office process %1").arg(process)), 30000);
    }
}

QTEST_MAIN(TestConvertWindow)
#include "tst_convert_window.moc"
