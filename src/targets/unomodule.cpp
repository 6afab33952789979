#include "targets/unobridge.h"

// The module's one entry point; the caller owns the bridge.
extern "C" __attribute__((visibility("default"))) Sprelio::AutomationBridge *sprelio_create_uno_bridge()
{
    return Sprelio::createUnoBridge().release();
}
