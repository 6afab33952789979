#pragma once

#include "targets/sendtargets.h"

namespace Sprelio {

// The Automation targets as the send routines over two bridges: one to Word, Excel and
// PowerPoint, one to the office suite. Errors come out in the current language.
class BridgedTargets final : public AutomationTargets
{
public:
    BridgedTargets(std::unique_ptr<AutomationBridge> applications, std::unique_ptr<AutomationBridge> office);

    void SendToWord(const SendInputs &inputs, SendHost &host) override;
    void SendToExcel(const SendInputs &inputs, SendHost &host) override;
    void SendToPowerPoint(const SendInputs &inputs, SendHost &host) override;
    void SendToOpenOffice(const SendInputs &inputs, SendHost &host) override;
    void prepareOpenOffice() override { m_office->prepare(); }

private:
    std::unique_ptr<AutomationBridge> m_applications;
    std::unique_ptr<AutomationBridge> m_office;
};

/// The message of a routine's error in the current language: its string, then its suffix.
QString routineErrorText(const RoutineError &error);

} // namespace Sprelio
