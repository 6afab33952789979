#pragma once

#include "targets/sendtargets.h"

#include <memory>

namespace Sprelio {

/// The last active window target of this system. Under X11 it starts following the active window
/// at once; elsewhere each send fails with the "X11 only" message.
std::unique_ptr<LastWindowTarget> createLastWindowTarget();

} // namespace Sprelio
