#pragma once

#include "targets/automationroutines.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

namespace Sprelio {

/// The send targets, each valued by the code stored under "Target" in the settings.
enum class TargetCode : int {
    WinWord = 1,
    Excel = 2,
    PowerPoint = 3,
    Zwischenablage = 5,
    OpenOffice = 6,
    LastWindow = 7,
};

/// The order in which the send command tests the target items; the first checked one decides.
inline constexpr std::array<TargetCode, 6> TargetDispatchOrder{
    TargetCode::WinWord,    TargetCode::Excel,      TargetCode::PowerPoint,
    TargetCode::OpenOffice, TargetCode::LastWindow, TargetCode::Zwischenablage};

/// The target that a stored "Target" code checks; none for codes without a target (0, 4, 8 and up).
std::optional<TargetCode> targetFromCode(int code);

/// The first target in dispatch order for which isChecked holds; none when no item is checked.
std::optional<TargetCode> firstCheckedTarget(const std::function<bool(TargetCode)> &isChecked);

/// What the Automation targets are handed: the field's glyph string, the face name, bold and italic.
struct SendInputs
{
    QByteArray text;
    QString faceName;
    bool bold = false;
    bool italic = false;
};

/// A send that failed; the message is complete text for the user, already in the current language.
class SendError final : public std::runtime_error
{
public:
    explicit SendError(const QString &message);

    /// The text for the error box.
    const QString &message() const noexcept { return m_message; }

private:
    QString m_message;
};

// The routines that deliver to other applications through their Automation interfaces. Each either
// returns normally or throws SendError. A routine that has the glyph string pasted has the host
// copy the field at the font size it found at the insertion point.
class AutomationTargets
{
public:
    virtual ~AutomationTargets() = default;

    /// Inserts the string at the caret of the active Word document.
    virtual void SendToWord(const SendInputs &inputs, SendHost &host) = 0;
    /// Puts the string into the active Excel cell, in the given face and style.
    virtual void SendToExcel(const SendInputs &inputs, SendHost &host) = 0;
    /// Replaces the selected text in PowerPoint's active window with the string.
    virtual void SendToPowerPoint(const SendInputs &inputs, SendHost &host) = 0;
    /// Pastes the string into the current OpenOffice/LibreOffice document.
    virtual void SendToOpenOffice(const SendInputs &inputs, SendHost &host) = 0;
    /// Connects ahead to a running office, in the background.
    virtual void prepareOpenOffice() {}
};

/// The window of another program that the user typed in last: the line is copied and pasted there.
class LastWindowTarget
{
public:
    virtual ~LastWindowTarget() = default;

    /// Copies the line through the host at clipboardFontSize, brings the remembered window to the
    /// front and pastes into it; an empty line pastes nothing. Throws SendError, before anything is
    /// pasted, when it cannot.
    virtual void send(const SendInputs &inputs, int clipboardFontSize, SendHost &host) = 0;
};

/// The Automation targets over this platform's bridges.
std::unique_ptr<AutomationTargets> createAutomationTargets();

/// Sends to one target: an Automation routine, the last active window, or the host's copy at
/// clipboardFontSize for the clipboard; no target sends nothing. Throws SendError when the target
/// fails; without a lastWindow that target fails as on a system without X11.
void sendToTarget(std::optional<TargetCode> target, const SendInputs &inputs, int clipboardFontSize,
                  AutomationTargets &automation, SendHost &host, LastWindowTarget *lastWindow = nullptr);

} // namespace Sprelio
