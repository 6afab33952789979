#include "targets/sendtargets.h"

#include "targets/unavailableautomation.h"

namespace Sprelio {

namespace {

// A platform with an Automation bridge adds its branch here.
using AutomationTargetsImpl = UnavailableAutomation;

} // namespace

SendError::SendError(const QString &message)
    : std::runtime_error(message.toStdString())
    , m_message(message)
{}

std::optional<TargetCode> targetFromCode(int code)
{
    for (const TargetCode target : TargetDispatchOrder) {
        if (static_cast<int>(target) == code) {
            return target;
        }
    }
    return std::nullopt;
}

std::optional<TargetCode> firstCheckedTarget(const std::function<bool(TargetCode)> &isChecked)
{
    for (const TargetCode target : TargetDispatchOrder) {
        if (isChecked(target)) {
            return target;
        }
    }
    return std::nullopt;
}

std::unique_ptr<AutomationTargets> createAutomationTargets()
{
    return std::make_unique<AutomationTargetsImpl>();
}

void sendToTarget(std::optional<TargetCode> target, const SendInputs &inputs, int clipboardFontSize,
                  AutomationTargets &automation, const CopyEdit &copyEdit)
{
    if (!target) {
        return;
    }
    switch (*target) {
    case TargetCode::WinWord:
        automation.SendToWord(inputs, copyEdit);
        return;
    case TargetCode::Excel:
        automation.SendToExcel(inputs, copyEdit);
        return;
    case TargetCode::PowerPoint:
        automation.SendToPowerPoint(inputs, copyEdit);
        return;
    case TargetCode::OpenOffice:
        automation.SendToOpenOffice(inputs, copyEdit);
        return;
    case TargetCode::Zwischenablage:
        copyEdit(clipboardFontSize);
        return;
    }
}

} // namespace Sprelio
