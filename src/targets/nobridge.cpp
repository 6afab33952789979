#include "targets/nobridge.h"

namespace Sprelio {

namespace {

constexpr const char *InvalidClassString = "Invalid class string";

} // namespace

AutomationValue NoBridge::attach(std::string_view)
{
    throw AutomationError(AutomationErrorKind::System, InvalidClassString,
                          AutomationResult::InvalidClassString);
}

AutomationValue NoBridge::create(std::string_view progId)
{
    throw AutomationError(AutomationErrorKind::System, createFailureText(InvalidClassString, progId),
                          AutomationResult::InvalidClassString);
}

} // namespace Sprelio
