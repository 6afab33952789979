#pragma once

#include "palette/notations.h"
#include "targets/automation.h"
#include "targets/sendtargets.h"

#include <QObject>

#include <memory>
#include <optional>

class QAction;
class QActionGroup;
class QMenu;
class QWidget;

namespace Sprelio {

/// The controls that the send commands drive; the window creates them.
struct SendControls
{
    /// The target items; the clipboard's is the menu action of its size menu.
    QAction *word = nullptr;
    QAction *excel = nullptr;
    QAction *powerPoint = nullptr;
    QAction *openOffice = nullptr;
    QAction *lastWindow = nullptr;
    QMenu *clipboardMenu = nullptr;
    QActionGroup *targetGroup = nullptr;
    /// The clipboard sizes: 10, 11 and 12 points, then the user's own size.
    QActionGroup *clipboardSizes = nullptr;
};

/// Delivery of the composed line: the target items, the send to the checked target and the
/// clipboard copies at the chosen size.
class SendCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SendCommands)

public:
    /// window is brought to the front when a target asks for it.
    SendCommands(const SendControls &controls, QWidget *window, QObject *parent);
    ~SendCommands() override;

    /// Checks the given target menu item.
    void ZielClick(QAction *item);
    /// The menu item of a target.
    QAction *targetItem(TargetCode target) const;
    /// The first checked target in dispatch order; none when no item is checked.
    std::optional<TargetCode> checkedTarget() const;

    /// Sends inputs to the checked target; false after a failure, which has been shown, and when no
    /// target is checked, which has been said.
    bool send(const SendInputs &inputs);
    /// Puts inputs on the clipboard at the given point size as the phonetic rich text and
    /// Unicode IPA; an empty text leaves the clipboard alone.
    void copyToClipboard(const SendInputs &inputs, int size);
    /// Puts only glyphs in the given plain-text notation on the clipboard.
    void copyAsNotation(Notation notation, const QByteArray &glyphs);

    /// The point size of the clipboard target.
    int ClipboardFontSize() const { return m_clipboardFontSize; }
    /// Sets the clipboard size and checks its item.
    void setClipboardFontSize(int size);
    /// Checks the clicked size item and sets the clipboard size, asking for it for the user's item.
    void ClipboardFontSizeClick(QAction *item);

    /// Replaces the programs that receive sent text.
    void setAutomationTargets(std::unique_ptr<AutomationTargets> automation);
    /// Replaces the last active window target.
    void setLastWindowTarget(std::unique_ptr<LastWindowTarget> lastWindow);

signals:
    /// The field was copied: the window selects its text, which is what went.
    void fieldCopied();

private:
    SendControls m_controls;
    QWidget *m_window;
    int m_clipboardFontSize = 10;
    // COM is ready on this thread from the commands' creation until after the targets are gone.
    AutomationThread m_automationThread;
    std::unique_ptr<AutomationTargets> m_automation;
    // Follows the active window from the start, so that it knows the window before the first send.
    std::unique_ptr<LastWindowTarget> m_lastWindow;
};

} // namespace Sprelio
