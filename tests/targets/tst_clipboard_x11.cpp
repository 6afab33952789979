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
