#pragma once

#include <QByteArray>
#include <QClipboard>
#include <QLineEdit>

namespace Sprelio {

/// The one-line composition field. Its model is a glyph string; every byte is shown as the
/// phonetic font's glyph at that code. Typed and pasted characters become their Windows-1252
/// bytes, so the keyboard types glyph codes directly. A paste or drop takes the phonetic rich
/// text where there is one, so that a transcription copied from here comes back byte for byte.
class GlyphEdit final : public QLineEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GlyphEdit)

public:
    explicit GlyphEdit(QWidget *parent = nullptr);
    ~GlyphEdit() override = default;

    /// The whole glyph string of the field.
    QByteArray glyphs() const;
    /// Replaces the whole text; what was there cannot be undone.
    void setGlyphs(const QByteArray &glyphs);
    /// Types glyphs at the caret, replacing the selection.
    void insertGlyphs(const QByteArray &glyphs);
    /// Types what the clipboard or the selection holds at the caret, replacing the selection.
    void pasteGlyphs(QClipboard::Mode mode = QClipboard::Clipboard);
    /// How many glyphs a paste can add in place of the selection before the line is full.
    qsizetype room() const;
    /// Copies the selection: copyRequested carries its glyphs to whoever puts them on the
    /// clipboard in the forms of a send; without a receiver the field copies its own text.
    void copyGlyphs();
    /// Copies the selection as copyGlyphs does, then removes it.
    void cutGlyphs();

signals:
    /// The selected glyphs are to go on the clipboard.
    void copyRequested(const QByteArray &glyphs);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void countUndoSteps(const QString &text);
    void dropUndoHistory();

    // What the undo history holds since it was last dropped, in inserted and removed characters,
    // and the text that the next change is measured against.
    qsizetype m_undoCharacters = 0;
    QString m_measuredText;
    // Tells the user that a paste or a drop kept only its first kept glyphs.
    void sayCutShort(qsizetype kept);
    void normaliseEditedText();
};

} // namespace Sprelio
