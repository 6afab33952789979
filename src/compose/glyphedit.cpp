#include "compose/glyphedit.h"

#include "compose/keyboardbytes.h"
#include "compose/pastedglyphs.h"
#include "dialogs/messageboxes.h"
#include "i18n/langstr.h"
#include "palette/glyphtext.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMetaMethod>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>

namespace Sprelio {

namespace {

// The line edit keeps one undo step per character inserted or removed, without limit: a long day
// of pastes and sends would hold hundreds of megabytes. Past this many, the older steps go.
constexpr qsizetype UndoCharacterBudget = qsizetype(4) * 32767;

// How many characters a change from before to after inserted and removed, at the least.
qsizetype changedCharacters(const QString &before, const QString &after)
{
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before.at(prefix) == after.at(prefix)) {
        ++prefix;
    }
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           before.at(before.size() - 1 - suffix) == after.at(after.size() - 1 - suffix)) {
        ++suffix;
    }
    return (before.size() - prefix - suffix) + (after.size() - prefix - suffix);
}

} // namespace

GlyphEdit::GlyphEdit(QWidget *parent)
    : QLineEdit(parent)
{
    // Paste, drop and input methods all end here: whatever arrived that is not a glyph yet
    // becomes one, so the text never holds anything but glyph codes.
    connect(this, &QLineEdit::textEdited, this, &GlyphEdit::normaliseEditedText);
    connect(this, &QLineEdit::textChanged, this, &GlyphEdit::countUndoSteps);
}

QByteArray GlyphEdit::glyphs() const
{
    return displayToGlyphs(text());
}

void GlyphEdit::setGlyphs(const QByteArray &glyphs)
{
    setText(glyphsToDisplay(glyphs));
    // setText has dropped the undo history, even where the text stayed the same.
    m_undoCharacters = 0;
}

void GlyphEdit::countUndoSteps(const QString &text)
{
    const bool overBudget = m_undoCharacters > UndoCharacterBudget;
    m_undoCharacters += changedCharacters(m_measuredText, text);
    m_measuredText = text;
    if (!overBudget && m_undoCharacters > UndoCharacterBudget) {
        // Not inside the line edit's own change: once it has ended.
        QMetaObject::invokeMethod(this, &GlyphEdit::dropUndoHistory, Qt::QueuedConnection);
    }
}

void GlyphEdit::dropUndoHistory()
{
    const int caret = cursorPosition();
    const int start = selectionStart();
    const int length = int(selectedText().size());
    const bool modified = isModified();
    // The same text again: the line edit forgets its history and reports no change.
    setText(text());
    m_undoCharacters = 0;
    if (start < 0) {
        setCursorPosition(caret);
    } else if (caret == start) {
        setSelection(start + length, -length);
    } else {
        setSelection(start, length);
    }
    setModified(modified);
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

void GlyphEdit::pasteGlyphs(QClipboard::Mode mode)
{
    if (isReadOnly()) {
        return;
    }
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(mode);
    bool truncated = false;
    const QByteArray glyphs = data != nullptr ? glyphsFromMimeData(*data, room(), &truncated) : QByteArray();
    // As in any line edit, pasting nothing over a selection still removes it.
    if (!glyphs.isEmpty() || hasSelectedText()) {
        insertGlyphs(glyphs);
    }
    if (truncated) {
        sayCutShort(glyphs.size());
    }
}

qsizetype GlyphEdit::room() const
{
    return std::max<qsizetype>(0, maxLength() - text().size() + selectedText().size());
}

void GlyphEdit::sayCutShort(qsizetype kept)
{
    // After the paste or the drop has ended, so that the message does not stand in its way.
    QTimer::singleShot(0, this, [this, kept] { MessageInfo(this, LangStr(215).arg(kept)); });
}

void GlyphEdit::copyGlyphs()
{
    // A password field never copies, and neither does an empty selection.
    if (!hasSelectedText() || echoMode() != Normal) {
        return;
    }
    if (isSignalConnected(QMetaMethod::fromSignal(&GlyphEdit::copyRequested))) {
        emit copyRequested(displayToGlyphs(selectedText()));
    } else {
        copy();
    }
}

void GlyphEdit::cutGlyphs()
{
    if (isReadOnly() || !hasSelectedText() || echoMode() != Normal) {
        return;
    }
    copyGlyphs();
    del();
}

void GlyphEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        event->accept();
        pasteGlyphs(QClipboard::Clipboard);
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        event->accept();
        copyGlyphs();
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        event->accept();
        cutGlyphs();
        return;
    }
    const QString typed = typedText(event);
    // Alt with a letter belongs to the menus' accelerators, not to the text.
    const bool printable = !typed.isEmpty() && typed.front() >= QChar(0x20) && typed.front() != QChar(0x7F) &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier));
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        event->accept(); // sending is the send button's job, or Ctrl+Return's
        return;
    }
    if (!typed.isEmpty() && (event->modifiers() & Qt::AltModifier) &&
        !(event->modifiers() & Qt::ControlModifier)) {
        // The line edit would type the letter; left to the window, it opens nothing and types nothing.
        event->ignore();
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

void GlyphEdit::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::MiddleButton && !isReadOnly() &&
        QGuiApplication::clipboard()->supportsSelection()) {
        event->accept();
        deselect();
        pasteGlyphs(QClipboard::Selection);
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void GlyphEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    // The standard entries would copy and paste only the plain text. Their connections are the one
    // way to tell them apart that holds in every language.
    const auto takeOver = [this](QAction *action, const char *slot, auto standard, auto own) {
        if (disconnect(action, SIGNAL(triggered()), this, slot) ||
            disconnect(action, &QAction::triggered, this, standard)) {
            connect(action, &QAction::triggered, this, own);
        }
    };
    for (QAction *action : menu->actions()) {
        takeOver(action, SLOT(paste()), &QLineEdit::paste, [this] { pasteGlyphs(QClipboard::Clipboard); });
        takeOver(action, SLOT(copy()), &QLineEdit::copy, &GlyphEdit::copyGlyphs);
        takeOver(action, SLOT(cut()), &QLineEdit::cut, &GlyphEdit::cutGlyphs);
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void GlyphEdit::dropEvent(QDropEvent *event)
{
    const QMimeData *data = event->mimeData();
    if (data == nullptr || isReadOnly()) {
        QLineEdit::dropEvent(event);
        return;
    }
    // The line edit places the caret and moves a selection dragged within the field; it only
    // needs to be given the glyphs as its text.
    QMimeData glyphText;
    bool truncated = false;
    const QByteArray glyphs = glyphsFromMimeData(*data, room(), &truncated);
    glyphText.setText(glyphsToDisplay(glyphs));
    if (truncated) {
        sayCutShort(glyphs.size());
    }
    QDropEvent forwarded(event->position(), event->possibleActions(), &glyphText, event->buttons(),
                         event->modifiers(), event->type());
    forwarded.setDropAction(event->dropAction());
    QLineEdit::dropEvent(&forwarded);
    event->setDropAction(forwarded.dropAction());
    event->setAccepted(forwarded.isAccepted());
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
