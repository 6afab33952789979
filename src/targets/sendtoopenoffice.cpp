#include "targets/automationroutines.h"

#include <optional>

namespace Sprelio {

namespace {

constexpr std::uint16_t ErrorPastingToWriter = 20;
constexpr std::uint16_t ErrorPastingToCalc = 21;
constexpr std::uint16_t ErrorPastingToOffice = 22;
// What the office pastes into a document that has neither a text cursor nor a sheet.
constexpr int OtherDocumentPointSize = 12;

using Arg = AutomationArgument;

// The office's own Paste command on the frame of the controller, as a user would paste.
void pasteDispatch(const AutomationValue &dispatchHelper, const AutomationValue &controller)
{
    dispatchHelper.call("executeDispatch",
                        {Arg::variantByRef(controller), Arg::string(".uno:Paste"), Arg::string(""),
                         Arg::int32(0), Arg::variant(AutomationEmptyArray{})});
}

struct Office
{
    AutomationValue serviceManager;
    AutomationValue desktop;
    AutomationValue document;
    AutomationValue controller;
    AutomationValue dispatchHelper;
};

// Pastes at the view cursor at its own height, then gives the cursor back its face and style
// and types a space after the string.
std::uint16_t pasteIntoText(const Office &office, const AutomationValue &viewCursor, SendHost &host)
{
    try {
        const AutomationValue height = viewCursor.get("GetPropertyValue", {Arg::string("CharHeight")});
        const AutomationValue fontName = viewCursor.get("GetPropertyValue", {Arg::string("CharFontName")});
        const AutomationValue weight = viewCursor.get("GetPropertyValue", {Arg::string("CharWeight")});
        const AutomationValue posture = viewCursor.get("GetPropertyValue", {Arg::string("CharPosture")});
        host.CopyEditToClipboard(height.toInteger());
        pasteDispatch(office.dispatchHelper, office.controller);
        viewCursor.call("SetPropertyValue", {Arg::string("CharFontName"), Arg::variantByRef(fontName)});
        viewCursor.call("SetPropertyValue", {Arg::string("CharWeight"), Arg::variantByRef(weight)});
        viewCursor.call("SetPropertyValue", {Arg::string("CharPosture"), Arg::variantByRef(posture)});
        const AutomationValue text = viewCursor.get("getText");
        text.call("InsertString", {Arg::variantByRef(viewCursor), Arg::string(" "), Arg::boolean(false)});
        return 0;
    } catch (const std::exception &) {
        return ErrorPastingToWriter;
    }
}

std::int32_t firstSelectedCell(const AutomationValue &selection, const char *coordinate)
{
    return selection.get("getCellByPosition", {Arg::int32(0), Arg::int32(0)})
        .get("getCellAddress")
        .get(coordinate)
        .toInteger();
}

// Pastes into the first cell of the selection at that cell's height.
std::uint16_t pasteIntoSheet(const Office &office, const AutomationValue &sheet, SendHost &host)
{
    try {
        const AutomationValue selection = office.document.get("getCurrentSelection");
        const std::int32_t row = firstSelectedCell(selection, "Row");
        const std::int32_t column = firstSelectedCell(selection, "Column");
        const AutomationValue cell =
            sheet.get("getCellByPosition", {Arg::int32ByRef(column), Arg::int32ByRef(row)});
        const AutomationValue height = cell.get("GetPropertyValue", {Arg::string("CharHeight")});
        host.CopyEditToClipboard(height.toInteger());
        pasteDispatch(office.dispatchHelper, office.controller);
        return 0;
    } catch (const std::exception &) {
        return ErrorPastingToCalc;
    }
}

std::uint16_t pasteIntoOther(const Office &office, SendHost &host)
{
    try {
        host.CopyEditToClipboard(OtherDocumentPointSize);
        pasteDispatch(office.dispatchHelper, office.controller);
        return 0;
    } catch (const std::exception &) {
        return ErrorPastingToOffice;
    }
}

// The value that get gives, or none when it fails.
template <typename Get> std::optional<AutomationValue> attempt(Get &&get)
{
    try {
        return get();
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

std::uint16_t pasteIntoDocument(const Office &office, SendHost &host)
{
    if (const auto viewCursor = attempt([&] {
            return office.desktop.get("CurrentComponent").get("CurrentController").get("getViewCursor");
        })) {
        return pasteIntoText(office, *viewCursor, host);
    }
    if (const auto sheet =
            attempt([&] { return office.document.get("getCurrentController").get("getActiveSheet"); })) {
        return pasteIntoSheet(office, *sheet, host);
    }
    return pasteIntoOther(office, host);
}

} // namespace

void SendToOpenOffice(AutomationBridge &bridge, SendHost &host, const RoutineInputs &)
{
    std::uint16_t code = 0;
    Office office;
    try {
        // Always a new service manager: it reaches the running office, or starts one.
        office.serviceManager = bridge.create("com.sun.star.ServiceManager");
        office.desktop =
            office.serviceManager.get("createInstance", {Arg::string("com.sun.star.frame.Desktop")});
        office.document = office.desktop.get("getCurrentComponent");
        office.controller = office.document.get("getCurrentcontroller");
        office.dispatchHelper =
            office.serviceManager.get("CreateInstance", {Arg::string("com.sun.star.frame.DispatchHelper")});
    } catch (const std::exception &) {
        code = ErrorPastingToOffice;
    }
    if (code == 0) {
        code = pasteIntoDocument(office, host);
    }
    if (code != 0) {
        host.bringToFront();
        throw RoutineError(code);
    }
}

} // namespace Sprelio
