#pragma once

#include "targets/clipboardpayload.h"

#include <QMimeData>

#include <memory>

namespace Sprelio {

/// A new mime data object with every form of the payload: text/rtf, text/richtext and text/plain.
std::unique_ptr<QMimeData> clipboardMimeData(const ClipboardPayload &payload);

/// Puts the payload on the system clipboard and, where the system has one, on the selection.
/// Needs a QGuiApplication.
void putOnClipboard(const ClipboardPayload &payload);

/// Puts only the plain text on the system clipboard and the selection, for programs that would
/// otherwise prefer the rich text in the phonetic face. Needs a QGuiApplication.
void putTextOnClipboard(const QString &text);

} // namespace Sprelio
