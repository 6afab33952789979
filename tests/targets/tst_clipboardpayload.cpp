#include "glyphbytes.h"
#include "palette/unicodeipa.h"
#include "targets/clipboard.h"
#include "targets/clipboardpayload.h"

#include <QTest>

#include <climits>

using namespace Sprelio;

namespace {

QByteArray byteRange(int first, int last)
{
    QByteArray result;
    for (int code = first; code <= last; ++code) {
        result.append(static_cast<char>(code));
    }
    return result;
}

QByteArray hexEscapes(const QByteArray &glyphs)
{
    QByteArray out;
    for (const char byte : glyphs) {
        out.append("\\'").append(QByteArray(1, byte).toHex());
    }
    return out;
}

// What a rich-text reader makes of the payload. The reader is strict where the payload must be:
// braces balance, the body holds no literal text (every glyph comes as a hex escape), and hex escapes
// are two lowercase digits.
struct ParsedRtf
{
    QString error; // empty when the text is well formed
    int fontNumber = -1;
    int fontCharset = -1;
    QString fontName;
    int bodyFont = -1;
    int halfPoints = -1;
    bool bold = false;
    bool italic = false;
    QByteArray glyphs;
};

bool isLowerHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

ParsedRtf parseRtf(const QByteArray &rtf)
{
    ParsedRtf result;
    enum class Place { Header, FontTable, FontEntry, Body };
    QList<Place> groups; // the place of each open group
    int skipAfterUnicode = 0;
    bool sawRtf1 = false;
    bool closed = false;
    qsizetype pos = 0;
    auto fail = [&](const QString &why) {
        result.error = QStringLiteral("%1 at offset %2").arg(why).arg(pos);
        return result;
    };
    while (pos < rtf.size()) {
        const char c = rtf.at(pos);
        if (closed) {
            return fail(QStringLiteral("text after the outer group"));
        }
        if (c == '{') {
            if (groups.isEmpty()) {
                groups.append(Place::Header);
            } else if (groups.last() == Place::FontTable) {
                groups.append(Place::FontEntry);
            } else {
                groups.append(groups.last());
            }
            ++pos;
            continue;
        }
        if (c == '}') {
            if (groups.isEmpty()) {
                return fail(QStringLiteral("unbalanced closing brace"));
            }
            groups.removeLast();
            closed = groups.isEmpty();
            ++pos;
            continue;
        }
        if (groups.isEmpty()) {
            return fail(QStringLiteral("text outside the outer group"));
        }
        Place &place = groups.last();
        if (c == '\\') {
            ++pos;
            if (pos >= rtf.size()) {
                return fail(QStringLiteral("backslash at the end"));
            }
            if (rtf.at(pos) == '\'') {
                if (pos + 2 >= rtf.size() || !isLowerHex(rtf.at(pos + 1)) || !isLowerHex(rtf.at(pos + 2))) {
                    return fail(QStringLiteral("malformed hex escape"));
                }
                const char byte = static_cast<char>(rtf.mid(pos + 1, 2).toInt(nullptr, 16));
                pos += 3;
                if (skipAfterUnicode > 0) {
                    --skipAfterUnicode;
                } else if (place == Place::Body) {
                    result.glyphs.append(byte);
                } else {
                    return fail(QStringLiteral("hex escape outside the body"));
                }
                continue;
            }
            qsizetype end = pos;
            while (end < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf.at(end)))) {
                ++end;
            }
            if (end == pos) {
                return fail(QStringLiteral("control symbol \\%1").arg(QLatin1Char(rtf.at(pos))));
            }
            const QByteArray word = rtf.mid(pos, end - pos);
            qsizetype numberEnd = end;
            if (numberEnd < rtf.size() && rtf.at(numberEnd) == '-') {
                ++numberEnd;
            }
            while (numberEnd < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf.at(numberEnd)))) {
                ++numberEnd;
            }
            const bool hasNumber = numberEnd > end;
            const int number = rtf.mid(end, numberEnd - end).toInt();
            pos = numberEnd;
            if (pos < rtf.size() && rtf.at(pos) == ' ') {
                ++pos;
            }
            if (word == "rtf") {
                sawRtf1 = number == 1 && place == Place::Header;
            } else if (word == "fonttbl") {
                place = Place::FontTable;
            } else if (word == "pard" && place == Place::Header) {
                place = Place::Body;
            } else if (word == "f" && place == Place::FontEntry) {
                result.fontNumber = number;
            } else if (word == "fcharset" && place == Place::FontEntry) {
                result.fontCharset = number;
            } else if (word == "u" && place == Place::FontEntry) {
                result.fontName.append(QChar(static_cast<char16_t>(number)));
                skipAfterUnicode = 1;
            } else if (place == Place::Body) {
                if (word == "f") {
                    result.bodyFont = number;
                } else if (word == "fs") {
                    result.halfPoints = number;
                } else if (word == "b") {
                    result.bold = !hasNumber || number != 0;
                } else if (word == "i") {
                    result.italic = !hasNumber || number != 0;
                } else if (word == "plain") {
                    result.bold = result.italic = false;
                } else {
                    return fail(
                        QStringLiteral("unexpected control word \\%1").arg(QString::fromLatin1(word)));
                }
            }
            continue;
        }
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x20 || code >= 0x80) {
            return fail(QStringLiteral("raw byte %1").arg(code));
        }
        if (skipAfterUnicode > 0) {
            --skipAfterUnicode;
        } else if (place == Place::FontEntry) {
            result.fontName.append(QLatin1Char(c));
        } else {
            return fail(QStringLiteral("literal text '%1' outside the font table").arg(QLatin1Char(c)));
        }
        ++pos;
    }
    if (!closed) {
        return fail(QStringLiteral("unclosed group"));
    }
    if (!sawRtf1) {
        return fail(QStringLiteral("no \\rtf1 header"));
    }
    return result;
}

const QString Serif = QStringLiteral("Lautbild Serif");
const QString SansSerif = QStringLiteral("Lautbild Sans Serif");

} // namespace

class TestClipboardPayload final : public QObject
{
    Q_OBJECT

private slots:
    void exactPayload_data()
    {
        QTest::addColumn<QByteArray>("glyphs");
        QTest::addColumn<QString>("face");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<int>("size");
        QTest::addColumn<QByteArray>("rtf");

        QTest::newRow("empty string, plain 10pt")
            << QByteArray() << Serif << false << false << 10
            << QByteArray(R"({\rtf1\ansi\deff0{\fonttbl{\f0\fnil\fcharset2 Lautbild Serif;}})"
                          R"(\pard\plain\f0\fs20\b0\i0 })");
        QTest::newRow("letters, bold 11pt sans serif")
            << QByteArray("pa") << SansSerif << true << false << 11
            << QByteArray(R"({\rtf1\ansi\deff0{\fonttbl{\f0\fnil\fcharset2 Lautbild Sans Serif;}})"
                          R"(\pard\plain\f0\fs22\b\i0 \'70\'61})");
        QTest::newRow("braces and backslash, italic 10pt")
            << bytes({123, 125, 92}) << Serif << false << true << 10
            << QByteArray(R"({\rtf1\ansi\deff0{\fonttbl{\f0\fnil\fcharset2 Lautbild Serif;}})"
                          R"(\pard\plain\f0\fs20\b0\i \'7b\'7d\'5c})");
        QTest::newRow("markup characters and spaces, bold italic 11pt")
            << QByteArray(" a&<> ") << Serif << true << true << 11
            << QByteArray(R"({\rtf1\ansi\deff0{\fonttbl{\f0\fnil\fcharset2 Lautbild Serif;}})"
                          R"(\pard\plain\f0\fs22\b\i \'20\'61\'26\'3c\'3e\'20})");
        QTest::newRow("high bytes")
            << bytes({128, 159, 160, 173, 233, 255}) << Serif << false << false << 10
            << QByteArray(R"({\rtf1\ansi\deff0{\fonttbl{\f0\fnil\fcharset2 Lautbild Serif;}})"
                          R"(\pard\plain\f0\fs20\b0\i0 \'80\'9f\'a0\'ad\'e9\'ff})");
        QTest::newRow("face name with RTF and markup syntax is cleaned")
            << QByteArray("a") << QStringLiteral("Laut}{\\;bild'\"<>& Serif\n") << false << false << 10
            << QByteArray(R"({\rtf1\ansi\deff0{\fonttbl{\f0\fnil\fcharset2 Lautbild Serif;}})"
                          R"(\pard\plain\f0\fs20\b0\i0 \'61})");
    }

    void exactPayload()
    {
        QFETCH(QByteArray, glyphs);
        QFETCH(QString, face);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        QFETCH(int, size);
        QFETCH(QByteArray, rtf);

        const ClipboardPayload payload = clipboardPayload(glyphs, face, bold, italic, size);
        QCOMPARE(payload.rtf, rtf);
        QCOMPARE(payload.text, glyphsToUnicodeIpa(glyphs));
    }

    void everyByteSurvivesEveryForm_data()
    {
        QTest::addColumn<QByteArray>("glyphs");
        QTest::addColumn<QString>("face");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<int>("size");

        QTest::newRow("empty") << QByteArray() << Serif << false << false << 10;
        QTest::newRow("plain letters") << QByteArray("pAtS") << Serif << true << false << 11;
        QTest::newRow("RTF syntax bytes")
            << bytes({123, 92, 125, 92, 39, 123}) << SansSerif << false << true << 10;
        QTest::newRow("bytes 0 to 127") << byteRange(0, 127) << Serif << false << false << 10;
        QTest::newRow("bytes 128 to 255") << byteRange(128, 255) << SansSerif << true << true << 11;
        QTest::newRow("space runs") << QByteArray("  a   b  ") << Serif << false << false << 12;
        QTest::newRow("200 glyphs") << QByteArray(200, 'p') << Serif << true << true << 14;
    }

    void everyByteSurvivesEveryForm()
    {
        QFETCH(QByteArray, glyphs);
        QFETCH(QString, face);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        QFETCH(int, size);

        const ClipboardPayload payload = clipboardPayload(glyphs, face, bold, italic, size);

        const ParsedRtf rtf = parseRtf(payload.rtf);
        QVERIFY2(rtf.error.isEmpty(), qPrintable(rtf.error));
        QCOMPARE(rtf.glyphs, glyphs);
        QCOMPARE(rtf.fontName, face + u';');
        QCOMPARE(rtf.fontCharset, 2);
        QCOMPARE(rtf.bodyFont, rtf.fontNumber);
        QCOMPARE(rtf.halfPoints, 2 * size);
        QCOMPARE(rtf.bold, bold);
        QCOMPARE(rtf.italic, italic);
        QVERIFY(payload.rtf.contains(hexEscapes(glyphs)));

        // The plain text is for programs without the phonetic fonts: Unicode IPA, not glyph codes.
        QCOMPARE(payload.text, glyphsToUnicodeIpa(glyphs));
    }

    void nonAsciiFaceNameStaysReadable()
    {
        const QString face = QStringLiteral("Lautbild S\u00e9rif \u0416");
        const ClipboardPayload payload = clipboardPayload("a", face, false, false, 10);

        const ParsedRtf rtf = parseRtf(payload.rtf);
        QVERIFY2(rtf.error.isEmpty(), qPrintable(rtf.error));
        QCOMPARE(rtf.fontName, face + u';');
    }

    void sizeIsClamped_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("used");

        QTest::newRow("smallest") << 1 << 1;
        QTest::newRow("zero") << 0 << MinClipboardFontSize;
        QTest::newRow("negative") << -12 << MinClipboardFontSize;
        QTest::newRow("most negative") << INT_MIN << MinClipboardFontSize;
        QTest::newRow("largest") << MaxClipboardFontSize << MaxClipboardFontSize;
        QTest::newRow("one over the largest") << MaxClipboardFontSize + 1 << MaxClipboardFontSize;
        QTest::newRow("half points would overflow 16 bits") << 16384 << MaxClipboardFontSize;
        QTest::newRow("doubling would overflow int") << INT_MAX << MaxClipboardFontSize;
    }

    void sizeIsClamped()
    {
        QFETCH(int, size);
        QFETCH(int, used);

        const ClipboardPayload payload = clipboardPayload("a", Serif, false, false, size);
        const ParsedRtf rtf = parseRtf(payload.rtf);
        QVERIFY2(rtf.error.isEmpty(), qPrintable(rtf.error));
        QCOMPARE(rtf.halfPoints, 2 * used);
    }

    void mimeDataOffersTheSameFormsEveryTime_data()
    {
        QTest::addColumn<QByteArray>("glyphs");

        QTest::newRow("empty field") << QByteArray();
        QTest::newRow("syntax and high bytes") << bytes({112, 123, 233});
        QTest::newRow("every byte") << byteRange(0, 255);
    }

    void mimeDataOffersTheSameFormsEveryTime()
    {
        QFETCH(QByteArray, glyphs);

        const ClipboardPayload payload = clipboardPayload(glyphs, Serif, true, false, 10);
        const std::unique_ptr<QMimeData> data = clipboardMimeData(payload);

        QCOMPARE(data->data(QStringLiteral("text/rtf")), payload.rtf);
        QCOMPARE(data->data(QStringLiteral("text/richtext")), payload.rtf);
        QCOMPARE(data->text(), payload.text);
        QStringList formats = data->formats();
        formats.sort();
        QCOMPARE(formats, (QStringList{QStringLiteral("text/plain"), QStringLiteral("text/richtext"),
                                       QStringLiteral("text/rtf")}));
        QVERIFY(!data->hasHtml());
    }
};

QTEST_MAIN(TestClipboardPayload)
#include "tst_clipboardpayload.moc"
