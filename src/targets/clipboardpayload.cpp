#include "targets/clipboardpayload.h"

#include "palette/unicodeipa.h"

#include <QList>

namespace Sprelio {

namespace {

// The face name is only ever one of the phonetic faces, but it lands inside RTF control text.
// Dropping every character that is syntax there, or in the markup of other rich forms, keeps the
// text well formed for any input.
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

} // namespace

ClipboardPayload clipboardPayload(const QByteArray &glyphs, const QString &faceName, bool bold, bool italic,
                                  int pointSize)
{
    const QString name = safeFaceName(faceName);
    const int size = clampedClipboardFontSize(pointSize);
    return ClipboardPayload{rtfPayload(glyphs, name, bold, italic, size), glyphsToUnicodeIpa(glyphs)};
}

} // namespace Sprelio
