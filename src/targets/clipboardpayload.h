#pragma once

#include <QByteArray>
#include <QString>

namespace Sprelio {

// The clipboard sizes a send can carry. Rich text stores the size in half points, which many
// readers hold in a 16-bit signed number; 1638 pt is the largest size Word accepts, and it
// keeps twice the size far inside that range. The number dialog for the clipboard size checks
// against these bounds, and the payload clamps anything outside them.
inline constexpr int MinClipboardFontSize = 1;
inline constexpr int MaxClipboardFontSize = 1638;

/// The point size a payload is built with: size clamped to MinClipboardFontSize..MaxClipboardFontSize.
constexpr int clampedClipboardFontSize(int size)
{
    return size < MinClipboardFontSize ? MinClipboardFontSize
                                       : (size > MaxClipboardFontSize ? MaxClipboardFontSize : size);
}

// One glyph string in the forms offered on the clipboard. The rich forms carry every byte of the
// string in the phonetic face; the plain text carries the same symbols as standard Unicode IPA.
struct ClipboardPayload
{
    QByteArray rtf; // text/rtf and text/richtext
    QString text;   // text/plain: the standard Unicode IPA, for programs without the phonetic fonts

    bool operator==(const ClipboardPayload &) const = default;
};

/// The clipboard forms of a glyph string in the given face, style and point size (clamped).
ClipboardPayload clipboardPayload(const QByteArray &glyphs, const QString &faceName, bool bold, bool italic,
                                  int pointSize);

} // namespace Sprelio
