#pragma once

#include <QString>

namespace Sprelio {

/// Puts Qt's own texts (standard buttons, file dialogs, edit menus) into the language of the offset,
/// replacing those installed before: German takes Qt's German catalogue from folder, any other offset
/// Qt's built-in English. False when the German catalogue is not there; Qt's texts then stay English.
bool installQtTranslations(int langOffset, const QString &folder);

/// The same with the folder where this Qt keeps its translations.
bool installQtTranslations(int langOffset);

} // namespace Sprelio
