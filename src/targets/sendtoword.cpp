#include "targets/automationroutines.h"

namespace Sprelio {

namespace {

constexpr std::uint16_t ErrorStartingWord = 10;
constexpr std::uint16_t ErrorCommunicatingWithWord = 68;
constexpr std::string_view WordProgId = "Word.Application";

// The document's selection, reached anew for every step through the active document's window.
AutomationValue documentSelection(const AutomationValue &app)
{
    return app.get("ActiveDocument").get("ActiveWindow").get("Selection");
}

} // namespace

void SendToWord(AutomationBridge &bridge, SendHost &host, const RoutineInputs &)
{
    const auto [app, started] = attachOrCreate(bridge, WordProgId, ErrorStartingWord);
    try {
        if (started) {
            app.put("Visible", AutomationArgument::boolean(true));
            app.get("Documents").call("Add");
        }
        // A space goes first and the caret back before it, so the string lands in front of it.
        documentSelection(app).call("TypeText", {AutomationArgument::string(" ")});
        documentSelection(app).call("MoveLeft", {AutomationArgument::int32(1)});
        const std::int32_t size = app.get("Selection").get("Font").get("Size").toInteger();
        host.CopyEditToClipboard(size);
        documentSelection(app).call("Paste");
        documentSelection(app).call("MoveRight", {AutomationArgument::int32(1)});
        host.bringToFront();
    } catch (const std::exception &error) {
        host.bringToFront();
        throw RoutineError(ErrorCommunicatingWithWord, std::string(": ") + error.what());
    }
}

} // namespace Sprelio
