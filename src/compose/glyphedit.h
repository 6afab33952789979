#pragma once

#include <QByteArray>
#include <QLineEdit>

namespace Sprelio {

/// The one-line composition field. Its model is a glyph string; every byte is shown as the
/// phonetic font's glyph at that code. Typed and pasted characters become their Windows-1252
/// bytes, so the keyboard types glyph codes directly.
class GlyphEdit final : public QLineEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GlyphEdit)

public:
    explicit GlyphEdit(QWidget *parent = nullptr);
    ~GlyphEdit() override = default;

    /// The whole glyph string of the field.
    QByteArray glyphs() const;
    /// Replaces the whole text.
    void setGlyphs(const QByteArray &glyphs);
    /// Types glyphs at the caret, replacing the selection.
    void insertGlyphs(const QByteArray &glyphs);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void normaliseEditedText();
};

} // namespace Sprelio
