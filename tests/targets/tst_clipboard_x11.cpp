#include "app/spreliopad.h"
#include "compose/glyphedit.h"
#include "glyphbytes.h"
#include "palette/speedbutton.h"
#include "targets/clipboard.h"
#include "targets/clipboardpayload.h"
#include "targets/sendtargets.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <memory>
#include <vector>

using namespace Sprelio;

namespace {

// A transcription with a tie, bytes that RTF would read as syntax, and codes above 127.
QByteArray sampleGlyphs()
{
    QByteArray glyphs("t");
    for (const int code : {131, 115, 32, 123, 92, 125, 32, 128, 159, 233, 255}) {
        glyphs.append(static_cast<char>(code));
    }
    return glyphs;
}

// Word "sends" as the Automation targets do: it copies the field at the size found there.
class CopyingAutomation final : public AutomationTargets
{
public:
    void SendToWord(const SendInputs &, SendHost &host) override { host.CopyEditToClipboard(12); }
    void SendToExcel(const SendInputs &, SendHost &) override {}
    void SendToPowerPoint(const SendInputs &, SendHost &) override {}
    void SendToOpenOffice(const SendInputs &, SendHost &) override {}
};

// What another process reads from the selection ("clipboard" or "primary") in one target type.
QByteArray readWithXclip(const QString &selection, const QString &target = QStringLiteral("UTF8_STRING"))
{
    // The clipboard answers the other process from this event loop, so wait without blocking it.
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"), selection,
                                          QStringLiteral("-t"), target});
    if (!QTest::qWaitFor([&xclip] { return xclip.state() == QProcess::NotRunning; }, 10000)) {
        xclip.kill();
        xclip.waitForFinished();
        return "(xclip hangs)";
    }
    return xclip.readAllStandardOutput();
}

} // namespace

class TestClipboardX11 final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != u"xcb") {
            QSKIP("needs an X server");
        }
        if (QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty()) {
            QSKIP("needs xclip");
        }
    }

    void anotherProcessReadsThePayload_data()
    {
        const ClipboardPayload payload =
            clipboardPayload(sampleGlyphs(), QStringLiteral("Lautbild Serif"), true, false, 14);
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("clipboard, rich text") << "clipboard"
                                              << "text/rtf" << payload.rtf;
        QTest::newRow("clipboard, rich text by its other name") << "clipboard"
                                                                << "text/richtext" << payload.rtf;
        QTest::newRow("clipboard, plain text") << "clipboard"
                                               << "text/plain" << payload.text.toUtf8();
        QTest::newRow("clipboard, UTF-8 string") << "clipboard"
                                                 << "UTF8_STRING" << payload.text.toUtf8();
        QTest::newRow("selection, rich text") << "primary"
                                              << "text/rtf" << payload.rtf;
        QTest::newRow("selection, UTF-8 string") << "primary"
                                                 << "UTF8_STRING" << payload.text.toUtf8();
    }

    void anotherProcessReadsThePayload()
    {
        QFETCH(QString, selection);
        QFETCH(QString, target);
        QFETCH(QByteArray, expected);

        putOnClipboard(clipboardPayload(sampleGlyphs(), QStringLiteral("Lautbild Serif"), true, false, 14));

        // The clipboard answers the other process from this event loop, so wait without blocking it.
        QProcess xclip;
        xclip.start(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"), selection,
                                              QStringLiteral("-t"), target});
        QTRY_COMPARE_WITH_TIMEOUT(xclip.state(), QProcess::NotRunning, 10000);
        QCOMPARE(xclip.exitStatus(), QProcess::NormalExit);
        QVERIFY2(xclip.exitCode() == 0, xclip.readAllStandardError().constData());
        QCOMPARE(xclip.readAllStandardOutput(), expected);
    }

    void plainTextIsUnicodeIpa_data()
    {
        QTest::addColumn<bool>("unicodeOnly");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QByteArray>("expected");

        const QByteArray unicode = QStringLiteral("n\u0325t\u0361\u0283").toUtf8();
        QTest::newRow("send, UTF-8 string") << false << "UTF8_STRING" << unicode;
        QTest::newRow("send, plain text") << false << "text/plain" << unicode;
        QTest::newRow("send, rich text keeps the glyph bytes")
            << false << "text/rtf"
            << QByteArray(R"({\rtf1\ansi\deff0{\fonttbl{\f0\fnil\fcharset2 Lautbild Serif;}})"
                          R"(\pard\plain\f0\fs28\b\i0 \'6e\'24\'74\'d4\'53})");
        QTest::newRow("copy as Unicode, UTF-8 string") << true << "UTF8_STRING" << unicode;
    }

    void plainTextIsUnicodeIpa()
    {
        QFETCH(bool, unicodeOnly);
        QFETCH(QString, target);
        QFETCH(QByteArray, expected);

        const QByteArray glyphs = bytes({110, 36, 116, 212, 83});
        if (unicodeOnly) {
            putTextOnClipboard(QStringLiteral("n\u0325t\u0361\u0283"));
        } else {
            putOnClipboard(clipboardPayload(glyphs, QStringLiteral("Lautbild Serif"), true, false, 14));
        }
        QCOMPARE(readWithXclip(QStringLiteral("clipboard"), target), expected);
        if (unicodeOnly) {
            QVERIFY(!readWithXclip(QStringLiteral("clipboard"), QStringLiteral("TARGETS")).contains("rtf"));
        }
    }

    void emptySendKeepsTheClipboard_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QByteArray>("firstSend");

        QTest::newRow("clipboard target, empty field over another program's text")
            << "Zwischenablage" << QByteArray();
        QTest::newRow("clipboard target, double click on send") << "Zwischenablage" << QByteArray("pa");
        QTest::newRow("automation target, empty field over another program's text")
            << "WinWord" << QByteArray();
        QTest::newRow("automation target, double click on send") << "WinWord" << QByteArray("pa");
    }

    void emptySendKeepsTheClipboard()
    {
        QFETCH(QString, target);
        QFETCH(QByteArray, firstSend);

        // Another program owns both selections until something takes them over.
        std::vector<std::unique_ptr<QProcess>> owners;
        for (const char *selection : {"clipboard", "primary"}) {
            auto owner = std::make_unique<QProcess>();
            owner->start(QStringLiteral("xclip"), {QStringLiteral("-i"), QStringLiteral("-quiet"),
                                                   QStringLiteral("-selection"), QLatin1String(selection)});
            QVERIFY(owner->waitForStarted(10000));
            owner->write("from another program");
            owner->closeWriteChannel();
            owners.push_back(std::move(owner));
        }
        QTRY_COMPARE_WITH_TIMEOUT(readWithXclip(QStringLiteral("clipboard")),
                                  QByteArray("from another program"), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(readWithXclip(QStringLiteral("primary")),
                                  QByteArray("from another program"), 10000);

        TSprelioPad pad;
        pad.setAutomationTargets(std::make_unique<CopyingAutomation>());
        pad.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pad));
        // After the first showing, which applies the default target.
        pad.ZielClick(pad.findChild<QAction *>(target));
        auto *edit = pad.findChild<GlyphEdit *>(QStringLiteral("EditField"));
        auto *enterBtn = pad.findChild<SpeedButton *>(QStringLiteral("EnterBtn"));
        edit->setGlyphs(firstSend);
        const QFont font = edit->font();
        const QByteArray expected =
            firstSend.isEmpty()
                ? QByteArray("from another program")
                : clipboardPayload(firstSend, font.family(), font.bold(), font.italic(), 10).text.toUtf8();

        QTest::mouseClick(enterBtn, Qt::LeftButton);
        QTest::mouseClick(enterBtn, Qt::LeftButton);
        QCOMPARE(edit->glyphs(), QByteArray());
        QCOMPARE(edit->selectedText(), QString());
        QCOMPARE(readWithXclip(QStringLiteral("clipboard")), expected);
        QCOMPARE(readWithXclip(QStringLiteral("primary")), expected);

        for (const auto &owner : owners) {
            owner->kill();
            owner->waitForFinished();
        }
    }

    // An office remembers the formats offered for a while and refuses a paste whose formats
    // changed in between, so an empty copy offers what a full one does, and never HTML.
    void everyCopyOffersTheSameTargets()
    {
        QStringList seen;
        for (const QByteArray &glyphs : {sampleGlyphs(), QByteArray(), QByteArray("a")}) {
            putOnClipboard(clipboardPayload(glyphs, QStringLiteral("Lautbild Serif"), false, false, 12));
            QProcess xclip;
            xclip.start(QStringLiteral("xclip"),
                        {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                         QStringLiteral("-t"), QStringLiteral("TARGETS")});
            QTRY_COMPARE_WITH_TIMEOUT(xclip.state(), QProcess::NotRunning, 10000);
            QStringList targets =
                QString::fromLatin1(xclip.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
            targets.sort();
            QVERIFY2(targets.contains(QStringLiteral("text/rtf")) &&
                         targets.contains(QStringLiteral("text/plain")),
                     qPrintable(targets.join(u' ')));
            QVERIFY2(!targets.contains(QStringLiteral("text/html")), qPrintable(targets.join(u' ')));
            if (!seen.isEmpty()) {
                QCOMPARE(targets, seen);
            }
            seen = targets;
        }
    }
};

QTEST_MAIN(TestClipboardX11)
#include "tst_clipboard_x11.moc"
