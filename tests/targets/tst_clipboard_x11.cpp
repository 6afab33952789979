#include "glyphbytes.h"
#include "targets/clipboard.h"
#include "targets/clipboardpayload.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

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
        QTest::newRow("clipboard, HTML") << "clipboard"
                                         << "text/html" << payload.html.toUtf8();
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
        QCOMPARE(readFromOtherProcess(target), expected);
        if (unicodeOnly) {
            QVERIFY(!readFromOtherProcess(QStringLiteral("TARGETS")).contains("rtf"));
        }
    }

private:
    static QByteArray readFromOtherProcess(const QString &target)
    {
        QProcess xclip;
        xclip.start(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"),
                                              QStringLiteral("clipboard"), QStringLiteral("-t"), target});
        // The clipboard answers from this event loop, so the wait must not block it.
        if (!QTest::qWaitFor([&xclip] { return xclip.state() == QProcess::NotRunning; }, 10000)) {
            return "xclip did not end";
        }
        return xclip.exitCode() == 0 ? xclip.readAllStandardOutput() : xclip.readAllStandardError();
    }
};

QTEST_MAIN(TestClipboardX11)
#include "tst_clipboard_x11.moc"
