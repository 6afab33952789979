#include "targets/automationroutines.h"

namespace Sprelio {

namespace {

constexpr std::uint16_t ErrorStartingExcel = 13;
constexpr std::uint16_t LanguageNotSupported = 14;
constexpr std::uint16_t ActivateSingleCell = 67;
constexpr std::uint16_t ErrorCommunicatingWithExcel = 69;
constexpr std::string_view ExcelProgId = "Excel.Application";

// The object names of one language of Excel, in the roles the routine uses them.
struct ExcelNames
{
    std::string_view activeCell;
    std::string_view openDocumentTest;
    std::string_view workbooks;
    std::string_view add;
    std::string_view font;
    std::string_view name;
    std::string_view bold;
    std::string_view italic;
    std::string_view visible;
    std::string_view size;
    std::string_view pastingObject;
    std::string_view paste;
};

constexpr ExcelNames EnglishNames{"ActiveCell", "ActiveSheet", "Workbooks", "Add",  "Font",        "Name",
                                  "Bold",       "Italic",      "visible",   "Size", "ActiveSheet", "Paste"};
constexpr ExcelNames GermanNames{"AktiveZelle",
                                 "AktiveArbeitsmappe",
                                 "ArbeitsmappeListe",
                                 "Hinzufügen",
                                 "Schriftart",
                                 "Name",
                                 "Fett",
                                 "Kursiv",
                                 "sichtbar",
                                 "Größe",
                                 "AktiveArbeitsmappe",
                                 "Einfügen"};

// Excel refuses every call while a cell is being edited or a range is selected; a member that
// does not exist tells the two apart, because only the refusal is a system error.
void probe(const AutomationValue &xl)
{
    try {
        xl.call("abd");
    } catch (const AutomationError &error) {
        if (error.kind() == AutomationErrorKind::System) {
            throw RoutineError(ActivateSingleCell);
        }
    } catch (const std::exception &) {
    }
}

// The name set that the running Excel accepts; none when it knows neither active-cell name.
const ExcelNames *acceptedNames(const AutomationValue &xl)
{
    try {
        xl.get(EnglishNames.activeCell);
        return &EnglishNames;
    } catch (const std::exception &) {
    }
    try {
        xl.get(GermanNames.activeCell);
        return &GermanNames;
    } catch (const std::exception &) {
    }
    return nullptr;
}

} // namespace

void SendToExcel(AutomationBridge &bridge, SendHost &host, const RoutineInputs &inputs)
{
    const AutomationValue xl = attachOrCreate(bridge, ExcelProgId, ErrorStartingExcel).application;
    probe(xl);
    const ExcelNames *const names = acceptedNames(xl);
    if (names == nullptr) {
        host.MessageInfo(LanguageNotSupported);
        return;
    }
    try {
        if (xl.get(names->openDocumentTest).isEmpty()) {
            xl.get(names->workbooks).call(names->add);
        }
        const AutomationValue cell = xl.get(names->activeCell);
        cell.get(names->font).put(names->name, AutomationArgument::stringByRef(inputs.faceName));
        cell.get(names->font).put(names->bold, AutomationArgument::boolean(inputs.bold));
        cell.get(names->font).put(names->italic, AutomationArgument::boolean(inputs.italic));
        xl.put(names->visible, AutomationArgument::boolean(true));
        const std::int32_t size = cell.get(names->font).get(names->size).toInteger();
        host.CopyEditToClipboard(size);
        xl.get(names->pastingObject).call(names->paste);
    } catch (const std::exception &error) {
        host.bringToFront();
        throw RoutineError(ErrorCommunicatingWithExcel, std::string(": ") + error.what());
    }
}

} // namespace Sprelio
