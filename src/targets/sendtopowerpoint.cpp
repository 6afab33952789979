#include "targets/automationroutines.h"

#include <limits>

namespace Sprelio {

namespace {

constexpr std::uint16_t ErrorStartingPowerPoint = 72;
constexpr std::uint16_t OpenPresentationFirst = 71;
constexpr std::uint16_t ErrorCommunicatingWithPowerPoint = 70;
constexpr std::string_view PowerPointProgId = "PowerPoint.Application";

AutomationValue selectedTextRange(const AutomationValue &pp)
{
    return pp.get("ActiveWindow").get("Selection").get("TextRange");
}

// The character position after the pasted string and the space.
std::int32_t positionAfter(std::int32_t start, std::size_t length)
{
    const long long position = static_cast<long long>(start) + static_cast<long long>(length) + 1;
    if (length > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) ||
        position > std::numeric_limits<std::int32_t>::max()) {
        throw AutomationError(AutomationErrorKind::System, "Overflow", AutomationResult::Overflow);
    }
    return static_cast<std::int32_t>(position);
}

} // namespace

void SendToPowerPoint(AutomationBridge &bridge, SendHost &host, const RoutineInputs &inputs)
{
    const AutomationValue pp = attachOrCreate(bridge, PowerPointProgId, ErrorStartingPowerPoint).application;
    // Not trapped: a refusal here reaches the user with the bridge's own text.
    pp.put("Visible", AutomationArgument::boolean(true));
    AutomationValue textRange;
    try {
        textRange = selectedTextRange(pp);
    } catch (const std::exception &) {
        host.bringToFront();
        throw RoutineError(OpenPresentationFirst);
    }
    try {
        const std::int32_t start = textRange.get("Start").toInteger();
        textRange.put("Text", AutomationArgument::string(" "));
        textRange
            .get("Characters",
                 {AutomationArgument::int32(0).named("Start"), AutomationArgument::int32(0).named("Length")})
            .call("Select");
        textRange = selectedTextRange(pp);
        host.CopyEditToClipboard(textRange.get("Font").get("Size").toInteger());
        textRange.call("Paste");
        pp.get("ActiveWindow")
            .get("Selection")
            .get("ShapeRange")
            .get("TextFrame")
            .get("TextRange")
            .get("Characters", {AutomationArgument::int32(positionAfter(start, inputs.text.size())),
                                AutomationArgument::int32(0).named("Length")})
            .call("Select");
    } catch (const std::exception &error) {
        host.bringToFront();
        throw RoutineError(ErrorCommunicatingWithPowerPoint, std::string(": ") + error.what());
    }
    host.bringToFront();
}

} // namespace Sprelio
