#pragma once

// The routines that deliver the composed string to other applications over an AutomationBridge.
// Plain C++ without Qt: they reach the main window only through the SendHost they are handed.

#include "targets/automation.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace Sprelio {

/// The four inputs of a send: the field's glyph string (bytes), the face name, bold and italic.
struct RoutineInputs
{
    std::string text;
    std::string faceName;
    bool bold = false;
    bool italic = false;
};

/// What a routine may do to the program that calls it.
class SendHost
{
public:
    virtual ~SendHost() = default;

    /// Copies the whole composition field to the clipboard at this point size.
    virtual void CopyEditToClipboard(int pointSize) = 0;
    /// Brings the program's main window back to the foreground.
    virtual void bringToFront() = 0;
    /// Shows an information box without an owner with the text of this German string ID.
    virtual void MessageInfo(std::uint16_t stringId) = 0;
};

/// A failed send: the message is the text of the German string ID in the current language,
/// followed by the suffix (": " and the underlying error's text, or nothing). The cause is what
/// failed underneath where the message does not say it, for the log.
class RoutineError final : public std::runtime_error
{
public:
    explicit RoutineError(std::uint16_t stringId, std::string suffix = {}, std::string cause = {});

    std::uint16_t stringId() const noexcept { return m_stringId; }
    const std::string &suffix() const noexcept { return m_suffix; }
    const std::string &cause() const noexcept { return m_cause; }

private:
    std::uint16_t m_stringId;
    std::string m_suffix;
    std::string m_cause;
};

/// An application reached by its ProgID, and whether it had to be started for the send.
struct AttachedApplication
{
    AutomationValue application;
    bool started = false;
};

/// The running instance of the application registered as progId, or else a newly created one.
/// Throws RoutineError(startErrorId) when neither can be had; other failures pass through unchanged.
AttachedApplication attachOrCreate(AutomationBridge &bridge, std::string_view progId,
                                   std::uint16_t startErrorId);

/// Pastes the string at the caret of the active Word document, before a typed space.
void SendToWord(AutomationBridge &bridge, SendHost &host, const RoutineInputs &inputs);
/// Formats the active Excel cell with the face and style, then pastes the string into the sheet.
void SendToExcel(AutomationBridge &bridge, SendHost &host, const RoutineInputs &inputs);
/// Replaces the selected text in PowerPoint's active window with the string and a space. When
/// PowerPoint refuses to be made visible, the bridge's AutomationError leaves unchanged.
void SendToPowerPoint(AutomationBridge &bridge, SendHost &host, const RoutineInputs &inputs);
/// Pastes the string into the current OpenOffice/LibreOffice document.
void SendToOpenOffice(AutomationBridge &bridge, SendHost &host, const RoutineInputs &inputs);

} // namespace Sprelio
