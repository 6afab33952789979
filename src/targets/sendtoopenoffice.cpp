#include "targets/automationroutines.h"

namespace Sprelio {

namespace {

constexpr std::uint16_t ErrorPastingToOffice = 22;

} // namespace

void SendToOpenOffice(AutomationBridge &, SendHost &, const RoutineInputs &)
{
    throw RoutineError(ErrorPastingToOffice);
}

} // namespace Sprelio
