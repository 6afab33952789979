#include "targets/automation.h"

#if defined(_WIN32)
#include "targets/combridge.h"
#else
#include "targets/nobridge.h"
#endif

namespace Sprelio {

namespace {

#if defined(_WIN32)
using PlatformBridge = ComBridge;
#else
using PlatformBridge = NoBridge;
#endif

} // namespace

std::unique_ptr<AutomationBridge> createPlatformBridge()
{
    return std::make_unique<PlatformBridge>();
}

} // namespace Sprelio
