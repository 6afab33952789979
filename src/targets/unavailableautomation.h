#pragma once

#include "targets/sendtargets.h"

namespace Sprelio {

// The Automation targets where no application can be reached: every routine fails as it does when
// its application is not installed, with the message that it could not be started.
class UnavailableAutomation final : public AutomationTargets
{
public:
    void SendToWord(const SendInputs &inputs, const CopyEdit &copyEdit) override;
    void SendToExcel(const SendInputs &inputs, const CopyEdit &copyEdit) override;
    void SendToPowerPoint(const SendInputs &inputs, const CopyEdit &copyEdit) override;
    void SendToOpenOffice(const SendInputs &inputs, const CopyEdit &copyEdit) override;
};

} // namespace Sprelio
