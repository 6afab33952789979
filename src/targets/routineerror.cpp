#include "targets/automationroutines.h"

namespace Sprelio {

RoutineError::RoutineError(std::uint16_t stringId, std::string suffix, std::string cause)
    : std::runtime_error("string " + std::to_string(stringId) + suffix)
    , m_stringId(stringId)
    , m_suffix(std::move(suffix))
    , m_cause(std::move(cause))
{}

AttachedApplication attachOrCreate(AutomationBridge &bridge, std::string_view progId,
                                   std::uint16_t startErrorId)
{
    try {
        return {bridge.attach(progId), false};
    } catch (const AutomationError &) {
    }
    try {
        return {bridge.create(progId), true};
    } catch (const AutomationError &) {
        throw RoutineError(startErrorId);
    }
}

} // namespace Sprelio
