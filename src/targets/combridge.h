#pragma once

#include "targets/automation.h"

namespace Sprelio {

// The bridge over Windows COM: ProgIDs through the registry and the running object table,
// members through IDispatch. The calling thread must have COM initialised.
class ComBridge final : public AutomationBridge
{
public:
    AutomationValue attach(std::string_view progId) override;
    AutomationValue create(std::string_view progId) override;
};

} // namespace Sprelio
