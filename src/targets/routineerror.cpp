#include "targets/automationroutines.h"

namespace Sprelio {

RoutineError::RoutineError(std::uint16_t stringId, std::string suffix)
    : std::runtime_error("string " + std::to_string(stringId) + suffix)
    , m_stringId(stringId)
    , m_suffix(std::move(suffix))
{}

} // namespace Sprelio
