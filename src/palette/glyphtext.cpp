#include "palette/glyphtext.h"

namespace Sprelio {

QString glyphsToDisplay(const QByteArray &glyphs)
{
    QString text;
    text.reserve(glyphs.size());
    for (const char byte : glyphs) {
        text.append(QChar(GlyphCodeBase + static_cast<unsigned char>(byte)));
    }
    return text;
}

QByteArray displayToGlyphs(const QString &text)
{
    QByteArray glyphs;
    glyphs.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t unit = ch.unicode();
        if (unit >= GlyphCodeBase && unit <= GlyphCodeBase + 0xFF) {
            glyphs.append(static_cast<char>(unit - GlyphCodeBase));
        }
    }
    return glyphs;
}

QString phoneticFamily(bool sansSerif)
{
    return sansSerif ? QStringLiteral("Lautbild Sans Serif") : QStringLiteral("Lautbild Serif");
}

} // namespace Sprelio
