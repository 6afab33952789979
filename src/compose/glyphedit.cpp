#include "compose/glyphedit.h"

#include "compose/keyboardbytes.h"
#include "palette/glyphtext.h"

#include <QKeyEvent>

namespace Sprelio {

GlyphEdit::GlyphEdit(QWidget *parent)
    : QLineEdit(parent)
{
    // Paste, drop and input methods all end here: whatever arrived that is not a glyph yet
    // becomes one, so the text never holds anything but glyph codes.
    connect(this, &QLineEdit::textEdited, this, &GlyphEdit::normaliseEditedText);
}

QByteArray GlyphEdit::glyphs() const
{
    return displayToGlyphs(text());
}

void GlyphEdit::setGlyphs(const QByteArray &glyphs)
{
    setText(glyphsToDisplay(glyphs));
}

void GlyphEdit::insertGlyphs(const QByteArray &glyphs)
{
    insert(glyphsToDisplay(glyphs));
}

namespace {

// X11 types characters without a keysym of their own as directly encoded Unicode keysyms, and
// hands the C1 controls among them on without text; Windows types them as their code page bytes.
QString typedText(const QKeyEvent *event)
{
    constexpr quint32 UnicodeKeysym = 0x01000000;
    const quint32 keysym = event->nativeVirtualKey();
    if (event->text().isEmpty() && keysym >= UnicodeKeysym + 0x80 && keysym < UnicodeKeysym + 0xA0) {
        return QString(QChar(char16_t(keysym - UnicodeKeysym)));
    }
    return event->text();
}

} // namespace

void GlyphEdit::keyPressEvent(QKeyEvent *event)
{
    const QString typed = typedText(event);
    const bool printable = !typed.isEmpty() && typed.front() >= QChar(0x20) && typed.front() != QChar(0x7F) &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept(); // sending is the send button's job
        return;
    }
    if (!printable) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    const QByteArray glyphs = typedTextToGlyphs(typed);
    if (!glyphs.isEmpty()) {
        insertGlyphs(glyphs);
    }
}

void GlyphEdit::normaliseEditedText()
{
    const QString current = text();
    const QString normalised = glyphsToDisplay(typedTextToGlyphs(current));
    if (normalised == current) {
        return;
    }
    const int caret = cursorPosition();
    const int lost = int(current.size() - normalised.size());
    setText(normalised);
    setCursorPosition(std::max(0, caret - lost));
}

} // namespace Sprelio
