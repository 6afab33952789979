#include "targets/automation.h"

#if defined(_WIN32)
#include "targets/combridge.h"

#include <objbase.h>
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

AutomationThread::AutomationThread()
{
#if defined(_WIN32)
    m_initialized = SUCCEEDED(CoInitialize(nullptr));
#endif
}

AutomationThread::~AutomationThread()
{
#if defined(_WIN32)
    if (m_initialized) {
        CoUninitialize();
    }
#endif
}

std::unique_ptr<AutomationBridge> createPlatformBridge()
{
    return std::make_unique<PlatformBridge>();
}

} // namespace Sprelio
