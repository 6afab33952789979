#include "targets/clipboardpayload.h"

#include "palette/unicodeipa.h"

#include <QList>

namespace Sprelio {

namespace {

// The face name is only ever one of the phonetic faces, but it lands inside RTF control text and
// inside a CSS string in an HTML attribute. Dropping every character that is syntax in one of them
// keeps both well formed for any input and names the same family in both.
QString safeFaceName(const QString &faceName)
{
    QString name;
    name.reserve(faceName.size());
    for (const QChar ch : faceName) {
        if (ch.category() == QChar::Other_Control || QStringView(u"{}\\;'\"<>&").contains(ch)) {
            continue;
        }
        name.append(ch);
    }
    return name;
}

QByteArray rtfFaceName(const QString &name)
{
    QByteArray out;
    for (const QChar ch : name) {
        const char16_t unit = ch.unicode();
        if (unit < 0x80) {
            out.append(static_cast<char>(unit));
        } else {
            // \uN takes a signed 16-bit number; the '?' is what readers without Unicode show.
            out.append("\\u").append(QByteArray::number(static_cast<qint16>(unit))).append('?');
        }
    }
    return out;
}

QByteArray rtfPayload(const QByteArray &glyphs, const QString &faceName, bool bold, bool italic,
                      int pointSize)
{
    static constexpr char HexDigits[] = "0123456789abcdef";
    QByteArray rtf;
    rtf.reserve(120 + 4 * glyphs.size());
    rtf.append("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset2 ");
    rtf.append(rtfFaceName(faceName));
    rtf.append(";}}\\pard\\plain\\f0\\fs").append(QByteArray::number(2 * pointSize));
    rtf.append(bold ? "\\b" : "\\b0").append(italic ? "\\i" : "\\i0").append(' ');
    // Every byte as a hex escape: none can be read as a brace, a control word or a character set
    // conversion. No closing \par, which would add an empty paragraph at the paste.
    for (const char byte : glyphs) {
        const auto code = static_cast<unsigned char>(byte);
        rtf.append("\\'").append(HexDigits[code >> 4]).append(HexDigits[code & 0xF]);
    }
    rtf.append('}');
    return rtf;
}

char32_t htmlGlyphCharacter(unsigned char byte)
{
    // HTML readers drop control characters and the soft hyphen, and read the references 128 to 159
    // as Windows-1252 (128 would arrive as the euro sign). Those bytes go as the private-use code
    // that symbol fonts map to the same glyph.
    const bool rewrittenByReaders = byte < 0x20 || (byte >= 0x7F && byte < 0xA0) || byte == 0xAD;
    return rewrittenByReaders ? 0xF000 + byte : byte;
}

void appendHtmlCharacter(QString &html, char32_t ch)
{
    switch (ch) {
    case U'&':
        html.append(u"&amp;");
        return;
    case U'<':
        html.append(u"&lt;");
        return;
    case U'>':
        html.append(u"&gt;");
        return;
    default:
        break;
    }
    // Numeric references keep the markup pure ASCII, so the reader's guess at the encoding
    // cannot change a glyph.
    if (ch < 0x20 || ch >= 0x7F) {
        html.append(u"&#").append(QString::number(static_cast<uint>(ch))).append(u';');
    } else {
        html.append(QChar(static_cast<char16_t>(ch)));
    }
}

QString htmlPayload(const QByteArray &glyphs, const QString &faceName, bool bold, bool italic, int pointSize)
{
    QString html;
    html.reserve(160 + 6 * glyphs.size());
    html.append(u"<span style=\"font-family:'");
    for (const char32_t ch : faceName.toUcs4()) {
        appendHtmlCharacter(html, ch);
    }
    html.append(u"'; font-size:").append(QString::number(pointSize)).append(u"pt");
    html.append(bold ? u"; font-weight:bold" : u"; font-weight:normal");
    html.append(italic ? u"; font-style:italic" : u"; font-style:normal");
    // Without it, runs of the space glyph would collapse and leading or trailing ones vanish.
    html.append(u"; white-space:pre\">");
    for (const char byte : glyphs) {
        appendHtmlCharacter(html, htmlGlyphCharacter(static_cast<unsigned char>(byte)));
    }
    html.append(u"</span>");
    return html;
}

} // namespace

ClipboardPayload clipboardPayload(const QByteArray &glyphs, const QString &faceName, bool bold, bool italic,
                                  int pointSize)
{
    const QString name = safeFaceName(faceName);
    const int size = clampedClipboardFontSize(pointSize);
    return ClipboardPayload{rtfPayload(glyphs, name, bold, italic, size),
                            htmlPayload(glyphs, name, bold, italic, size), glyphsToUnicodeIpa(glyphs)};
}

} // namespace Sprelio
