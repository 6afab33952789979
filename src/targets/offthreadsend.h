#pragma once

#include "targets/automationroutines.h"

#include <functional>

namespace Sprelio {

/// Runs work on a worker thread while this thread runs a local event loop that refuses the
/// user's input and serves everything else, such as another program's request for the clipboard.
/// The host handed to work carries each call over to this thread and back. What work throws is
/// thrown here. Without an application object, or on a thread other than the application's,
/// work simply runs here.
void runOffThread(const std::function<void(SendHost &)> &work, SendHost &host);

} // namespace Sprelio
