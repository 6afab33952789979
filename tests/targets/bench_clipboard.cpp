// Measures the clipboard path of a send. Run with -platform offscreen, or on a display to include the
// real clipboard; it asserts nothing.
#include "app/spreliopad.h"
#include "compose/glyphedit.h"
#include "targets/clipboard.h"
#include "targets/clipboardpayload.h"

#include <QTest>

using namespace Sprelio;

namespace {

// A long transcription: letters, bytes that need escaping and codes above 127, 200 glyphs in all.
QByteArray longTranscription()
{
    const QByteArray pattern("pa{t\\}");
    QByteArray glyphs;
    for (int i = 0; glyphs.size() < 200; ++i) {
        glyphs.append(i % 3 == 0 ? static_cast<char>(128 + i % 128) : pattern.at(i % pattern.size()));
    }
    return glyphs;
}

} // namespace

class BenchClipboard final : public QObject
{
    Q_OBJECT

private slots:
    void buildPayload()
    {
        const QByteArray glyphs = longTranscription();
        QBENCHMARK
        {
            const ClipboardPayload payload =
                clipboardPayload(glyphs, QStringLiteral("Lautbild Serif"), true, true, 12);
            Q_UNUSED(payload);
        }
    }

    void buildAndPutOnClipboard()
    {
        const QByteArray glyphs = longTranscription();
        QBENCHMARK
        {
            putOnClipboard(clipboardPayload(glyphs, QStringLiteral("Lautbild Serif"), true, true, 12));
        }
    }

    // The whole clipboard target as the send button runs it, on a field of 200 glyphs.
    void copyEditToClipboard()
    {
        TSprelioPad pad;
        pad.findChild<GlyphEdit *>(QStringLiteral("EditField"))->setGlyphs(longTranscription());
        QBENCHMARK
        {
            pad.CopyEditToClipboard(12);
        }
    }
};

QTEST_MAIN(BenchClipboard)
#include "bench_clipboard.moc"
