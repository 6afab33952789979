// The main window's assignment commands: loading, saving and the editing mode.

#include "app/spreliopad.h"

namespace Sprelio {

void TSprelioPad::ReadButtonSettingFile(const QString &path)
{
    m_buttonSettingPath = path;
}

void TSprelioPad::Speichern1Click() {}

void TSprelioPad::Laden1Click() {}

} // namespace Sprelio
