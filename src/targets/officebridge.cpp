#include "targets/automation.h"

namespace Sprelio {

// The office suite is reached through the same bridge as the other applications until it has
// a bridge of its own.
std::unique_ptr<AutomationBridge> createOfficeBridge()
{
    return createPlatformBridge();
}

} // namespace Sprelio
