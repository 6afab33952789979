#include "targets/automation.h"

#if defined(SPRELIO_WITH_UNO)
#include "targets/unobridge.h"
#endif

namespace Sprelio {

std::unique_ptr<AutomationBridge> createOfficeBridge()
{
#if defined(SPRELIO_WITH_UNO)
    return createUnoBridge();
#else
    // On Windows the office's service manager is a COM server like the other applications;
    // elsewhere, without the office's SDK at build time, no office can be reached.
    return createPlatformBridge();
#endif
}

} // namespace Sprelio
