// The main window's send commands: target choice, the send button and the clipboard size.

#include "app/spreliopad.h"

#include <QAction>

namespace Sprelio {

void TSprelioPad::ZielClick(QAction *item)
{
    item->setChecked(true);
}

void TSprelioPad::EnterBtnClick() {}

void TSprelioPad::CopyEditToClipboard(int) {}

} // namespace Sprelio
