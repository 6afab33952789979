#include "i18n/langstr.h"
#include "targets/sendtargets.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Sprelio;

Q_DECLARE_METATYPE(std::optional<TargetCode>)

namespace {

// Records which routine was called with what, and fails as asked.
class RecordingTargets final : public AutomationTargets
{
public:
    QString called;
    SendInputs inputs;
    int copiedAt = -1;

    void SendToWord(const SendInputs &in, SendHost &host) override { record(u"Word", in, host); }
    void SendToExcel(const SendInputs &in, SendHost &host) override { record(u"Excel", in, host); }
    void SendToPowerPoint(const SendInputs &in, SendHost &host) override { record(u"PowerPoint", in, host); }
    void SendToOpenOffice(const SendInputs &in, SendHost &host) override { record(u"OpenOffice", in, host); }

private:
    void record(QStringView routine, const SendInputs &in, SendHost &host)
    {
        called = routine.toString();
        inputs = in;
        // An Automation target copies at the size it finds at the insertion point.
        host.CopyEditToClipboard(11);
    }
};

// A host that only copies, through the given function.
class CopyingHost final : public SendHost
{
public:
    explicit CopyingHost(std::function<void(int)> copy)
        : m_copy(std::move(copy))
    {}
    void CopyEditToClipboard(int pointSize) override { m_copy(pointSize); }
    void bringToFront() override {}
    void MessageInfo(std::uint16_t) override {}

private:
    std::function<void(int)> m_copy;
};

void sendCopying(std::optional<TargetCode> target, const SendInputs &inputs, int clipboardFontSize,
                 AutomationTargets &automation, std::function<void(int)> copy)
{
    CopyingHost host(std::move(copy));
    sendToTarget(target, inputs, clipboardFontSize, automation, host);
}

const SendInputs Sample{QByteArray("p\x83{"), QStringLiteral("Lautbild Sans Serif"), true, false};

} // namespace

class TestSendTargets final : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { LangOffset = GermanOffset; }

    void storedCodeChecksTarget_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<std::optional<TargetCode>>("target");

        QTest::newRow("0 checks nothing") << 0 << std::optional<TargetCode>();
        QTest::newRow("1 Word") << 1 << std::optional(TargetCode::WinWord);
        QTest::newRow("2 Excel") << 2 << std::optional(TargetCode::Excel);
        QTest::newRow("3 PowerPoint") << 3 << std::optional(TargetCode::PowerPoint);
        QTest::newRow("4 checks nothing") << 4 << std::optional<TargetCode>();
        QTest::newRow("5 clipboard") << 5 << std::optional(TargetCode::Zwischenablage);
        QTest::newRow("6 OpenOffice/LibreOffice") << 6 << std::optional(TargetCode::OpenOffice);
        QTest::newRow("7 last active window") << 7 << std::optional(TargetCode::LastWindow);
        QTest::newRow("8 checks nothing") << 8 << std::optional<TargetCode>();
        QTest::newRow("negative checks nothing") << -1 << std::optional<TargetCode>();
    }

    void storedCodeChecksTarget()
    {
        QFETCH(int, code);
        QFETCH(std::optional<TargetCode>, target);
        QCOMPARE(targetFromCode(code), target);
    }

    void firstCheckedItemDecides_data()
    {
        QTest::addColumn<QList<int>>("checked");
        QTest::addColumn<std::optional<TargetCode>>("target");

        QTest::newRow("none checked") << QList<int>{} << std::optional<TargetCode>();
        QTest::newRow("clipboard alone") << QList<int>{5} << std::optional(TargetCode::Zwischenablage);
        QTest::newRow("Excel before clipboard") << QList<int>{5, 2} << std::optional(TargetCode::Excel);
        QTest::newRow("OpenOffice before clipboard")
            << QList<int>{5, 6} << std::optional(TargetCode::OpenOffice);
        QTest::newRow("last window before clipboard")
            << QList<int>{5, 7} << std::optional(TargetCode::LastWindow);
        QTest::newRow("OpenOffice before last window")
            << QList<int>{7, 6} << std::optional(TargetCode::OpenOffice);
        QTest::newRow("PowerPoint before OpenOffice")
            << QList<int>{6, 3} << std::optional(TargetCode::PowerPoint);
        QTest::newRow("Word first of all") << QList<int>{6, 5, 3, 2, 1} << std::optional(TargetCode::WinWord);
    }

    void firstCheckedItemDecides()
    {
        QFETCH(QList<int>, checked);
        QFETCH(std::optional<TargetCode>, target);
        const auto isChecked = [&](TargetCode code) { return checked.contains(static_cast<int>(code)); };
        QCOMPARE(firstCheckedTarget(isChecked), target);
    }

    void routineGetsTheFourInputs_data()
    {
        QTest::addColumn<TargetCode>("target");
        QTest::addColumn<QString>("routine");

        QTest::newRow("Word") << TargetCode::WinWord << "Word";
        QTest::newRow("Excel") << TargetCode::Excel << "Excel";
        QTest::newRow("PowerPoint") << TargetCode::PowerPoint << "PowerPoint";
        QTest::newRow("OpenOffice/LibreOffice") << TargetCode::OpenOffice << "OpenOffice";
    }

    void routineGetsTheFourInputs()
    {
        QFETCH(TargetCode, target);
        QFETCH(QString, routine);

        RecordingTargets automation;
        QList<int> copies;
        sendCopying(target, Sample, 10, automation, [&](int size) { copies.append(size); });

        QCOMPARE(automation.called, routine);
        QCOMPARE(automation.inputs.text, Sample.text);
        QCOMPARE(automation.inputs.faceName, Sample.faceName);
        QCOMPARE(automation.inputs.bold, Sample.bold);
        QCOMPARE(automation.inputs.italic, Sample.italic);
        QCOMPARE(copies, QList<int>{11});
    }

    void clipboardCopiesAtItsOwnSize()
    {
        RecordingTargets automation;
        QList<int> copies;
        sendCopying(TargetCode::Zwischenablage, Sample, 14, automation,
                    [&](int size) { copies.append(size); });

        QCOMPARE(copies, QList<int>{14});
        QVERIFY(automation.called.isEmpty());
    }

    void noTargetSendsNothing()
    {
        RecordingTargets automation;
        bool copied = false;
        sendCopying(std::nullopt, Sample, 10, automation, [&](int) { copied = true; });

        QVERIFY(!copied);
        QVERIFY(automation.called.isEmpty());
    }

    void missingApplicationCannotStart_data()
    {
        QTest::addColumn<TargetCode>("target");
        QTest::addColumn<int>("languageOffset");
        QTest::addColumn<QString>("message");

        QTest::newRow("Word, German")
            << TargetCode::WinWord << GermanOffset << "Fehler beim Starten von Winword";
        QTest::newRow("Word, English") << TargetCode::WinWord << EnglishOffset << "Error starting Word";
        QTest::newRow("Excel, German")
            << TargetCode::Excel << GermanOffset << "Fehler beim Starten von Excel";
        QTest::newRow("Excel, English") << TargetCode::Excel << EnglishOffset << "Error starting Excel";
        QTest::newRow("PowerPoint, German")
            << TargetCode::PowerPoint << GermanOffset << "Fehler beim Starten von PowerPoint";
        QTest::newRow("PowerPoint, English")
            << TargetCode::PowerPoint << EnglishOffset << "Error starting PowerPoint";
        QTest::newRow("OpenOffice, English") << TargetCode::OpenOffice << EnglishOffset
                                             << "Error pasting to OpenOffice/LibreOffice document. Ensure "
                                                "that a document is loaded and active.";
    }

    void missingApplicationCannotStart()
    {
        // On a machine with LibreOffice, the office bridge would start it: point it at a folder
        // without one.
        const QTemporaryDir noOffice;
        qputenv("UNO_PATH", QFile::encodeName(noOffice.path()));
        QFETCH(TargetCode, target);
        QFETCH(int, languageOffset);
        QFETCH(QString, message);
        LangOffset = languageOffset;

        const std::unique_ptr<AutomationTargets> automation = createAutomationTargets();
        bool copied = false;
        try {
            sendCopying(target, Sample, 10, *automation, [&](int) { copied = true; });
            QFAIL("the send did not fail");
        } catch (const SendError &error) {
            QCOMPARE(error.message(), message);
            QCOMPARE(QString::fromStdString(error.what()), message);
        }
        QVERIFY(!copied);
    }
};

QTEST_GUILESS_MAIN(TestSendTargets)
#include "tst_sendtargets.moc"
