#include "targets/sendtargets.h"

#include "i18n/langstr.h"
#include "targets/bridgedtargets.h"
#include "targets/lastwindow.h"

namespace Sprelio {

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
    return std::make_unique<BridgedTargets>(createPlatformBridge(), createOfficeBridge());
}

void sendToTarget(std::optional<TargetCode> target, const SendInputs &inputs, int clipboardFontSize,
                  AutomationTargets &automation, SendHost &host, LastWindowTarget *lastWindow)
{
    if (!target) {
        return;
    }
    switch (*target) {
    case TargetCode::WinWord:
        automation.SendToWord(inputs, host);
        return;
    case TargetCode::Excel:
        automation.SendToExcel(inputs, host);
        return;
    case TargetCode::PowerPoint:
        automation.SendToPowerPoint(inputs, host);
        return;
    case TargetCode::OpenOffice:
        automation.SendToOpenOffice(inputs, host);
        return;
    case TargetCode::LastWindow:
        if (lastWindow == nullptr) {
            throw SendError(LangStr(LastWindowMessage::NotX11));
        }
        lastWindow->send(inputs, clipboardFontSize, host);
        return;
    case TargetCode::Zwischenablage:
        host.CopyEditToClipboard(clipboardFontSize);
        return;
    }
}

} // namespace Sprelio
