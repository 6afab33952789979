#pragma once

#include "targets/automation.h"

namespace Sprelio {

// The bridge of a system where none of the applications is installed: no ProgID is known, so
// attaching and creating fail as they do for an application that was never installed.
class NoBridge final : public AutomationBridge
{
public:
    AutomationValue attach(std::string_view progId) override;
    AutomationValue create(std::string_view progId) override;
};

} // namespace Sprelio
