#include "targets/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace Sprelio {

std::unique_ptr<QMimeData> clipboardMimeData(const ClipboardPayload &payload)
{
    // The same formats on every copy, whatever the text: an office that has just seen another
    // set of formats offered keeps asking for the old ones and refuses the paste. No HTML:
    // drawings would take it and drop the face and size, and spreadsheets open an import dialog.
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("text/rtf"), payload.rtf);
    // The name that some X11 programs ask for instead.
    data->setData(QStringLiteral("text/richtext"), payload.rtf);
#if defined(Q_OS_WIN)
    // Windows programs take rich text only under the registered format name.
    data->setData(QStringLiteral("application/x-qt-windows-mime;value=\"Rich Text Format\""), payload.rtf);
#endif
    data->setText(payload.text);
    return data;
}

void putOnClipboard(const ClipboardPayload &payload)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    // The clipboard owns what it is given, so each mode needs its own copy.
    clipboard->setMimeData(clipboardMimeData(payload).release(), QClipboard::Clipboard);
    if (clipboard->supportsSelection()) {
        clipboard->setMimeData(clipboardMimeData(payload).release(), QClipboard::Selection);
    }
}

void putTextOnClipboard(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(text, QClipboard::Clipboard);
    if (clipboard->supportsSelection()) {
        clipboard->setText(text, QClipboard::Selection);
    }
}

} // namespace Sprelio
