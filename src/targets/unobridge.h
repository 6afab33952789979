#pragma once

#include "targets/automation.h"

#include <memory>

namespace Sprelio {

/// The bridge to a LibreOffice or OpenOffice on this machine through UNO. It knows one ProgID,
/// "com.sun.star.ServiceManager": creating it reaches the running office over a local pipe, or
/// starts one when none runs. The connection is kept for later calls and made again when the
/// office has gone away. Calls on it and on its objects must not overlap.
std::unique_ptr<AutomationBridge> createUnoBridge();

} // namespace Sprelio
