#pragma once

#include "palette/glyphclasses.h"

#include <QByteArray>
#include <QList>

namespace Sprelio {

/// What is pending on the tool bars when a character button is clicked.
struct PendingMarks
{
    QList<Glyph> diacritics; ///< first byte of each down special button, in bar order
    bool linking = false;    ///< the linking tool button is down
    bool tie = false;        ///< the affricate tie tool button is down
};

/// The outcome of one click: the bytes to type at the caret and the pending states used up.
struct Composition
{
    QByteArray typed;
    bool tieConsumed = false;
    bool linkingConsumed = false;
    bool diacriticsConsumed = false;

    friend bool operator==(const Composition &, const Composition &) = default;
};

/// The composition rules of a click on a character button: pending tie and linking mark,
/// base variants under marks above, and the variant of a mark that fits its base.
class Composer final
{
public:
    /// Composes the clicked symbol; onPalette is true for the consonant and vowel buttons.
    Composition compose(const QByteArray &symbol, bool onPalette, const PendingMarks &pending);

    /// Last byte of the last text inserted from a palette button.
    [[nodiscard]] Glyph LastBaseChar() const { return m_lastBaseChar; }

    /// Whether a pending linking mark is typed as its descender form.
    [[nodiscard]] bool UseAltLink() const { return m_useAltLink; }

    /// The text that a click on a button with this symbol types for itself while the marks are
    /// pending: the half space it stands for, the base variant under a mark above, each mark's variant.
    static QByteArray withDiacritics(const QByteArray &symbol, const QList<Glyph> &diacritics);

    /// The bytes that a pending mark appends to a text that begins with base.
    static QByteArray markFor(Glyph mark, Glyph base);

private:
    Glyph m_lastBaseChar = 0;
    bool m_useAltLink = false;
};

} // namespace Sprelio
