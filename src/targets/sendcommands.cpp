#include "targets/sendcommands.h"

#include "dialogs/messageboxes.h"
#include "i18n/langstr.h"
#include "palette/glyphtext.h"
#include "palette/unicodeipa.h"
#include "targets/clipboard.h"
#include "targets/clipboardpayload.h"
#include "targets/lastwindowtarget.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QWidget>

namespace Sprelio {

namespace {

constexpr std::array<int, 3> FixedClipboardSizes{10, 11, 12};

// What the send routines may do: copy what is being sent, bring the window forward, inform.
class CommandSendHost final : public SendHost
{
public:
    CommandSendHost(SendCommands &commands, const SendInputs &inputs, QWidget *window)
        : m_commands(commands)
        , m_inputs(inputs)
        , m_window(window)
    {}

    void CopyEditToClipboard(int pointSize) override { m_commands.copyToClipboard(m_inputs, pointSize); }

    void bringToFront() override
    {
        m_window->raise();
        m_window->activateWindow();
    }

    void MessageInfo(std::uint16_t stringId) override { Sprelio::MessageInfo(nullptr, LangStr(stringId)); }

private:
    SendCommands &m_commands;
    const SendInputs &m_inputs;
    QWidget *m_window;
};

} // namespace

SendCommands::SendCommands(const SendControls &controls, QWidget *window, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
    , m_window(window)
    , m_automation(createAutomationTargets())
    , m_lastWindow(createLastWindowTarget())
{
    connect(m_controls.targetGroup, &QActionGroup::triggered, this, &SendCommands::ZielClick);
    // Opening the size menu already makes the clipboard the target.
    connect(m_controls.clipboardMenu, &QMenu::aboutToShow, this,
            [this] { ZielClick(m_controls.clipboardMenu->menuAction()); });
    connect(m_controls.clipboardSizes, &QActionGroup::triggered, this, &SendCommands::ClipboardFontSizeClick);
}

SendCommands::~SendCommands() = default;

QAction *SendCommands::targetItem(TargetCode target) const
{
    switch (target) {
    case TargetCode::WinWord:
        return m_controls.word;
    case TargetCode::Excel:
        return m_controls.excel;
    case TargetCode::PowerPoint:
        return m_controls.powerPoint;
    case TargetCode::Zwischenablage:
        return m_controls.clipboardMenu->menuAction();
    case TargetCode::LastWindow:
        return m_controls.lastWindow;
    case TargetCode::OpenOffice:
        break;
    }
    return m_controls.openOffice;
}

std::optional<TargetCode> SendCommands::checkedTarget() const
{
    return firstCheckedTarget([this](TargetCode code) { return targetItem(code)->isChecked(); });
}

void SendCommands::setAutomationTargets(std::unique_ptr<AutomationTargets> automation)
{
    m_automation = std::move(automation);
}

void SendCommands::setLastWindowTarget(std::unique_ptr<LastWindowTarget> lastWindow)
{
    m_lastWindow = std::move(lastWindow);
}

void SendCommands::ZielClick(QAction *item)
{
    item->setChecked(true);
    if (item == m_controls.openOffice) {
        m_automation->prepareOpenOffice();
    }
}

bool SendCommands::send(const SendInputs &inputs)
{
    // Nothing can be sent without a target, and the line must not be lost as though it had been.
    if (!checkedTarget()) {
        MessageInfo(m_window, LangStr(214));
        return false;
    }
    CommandSendHost host(*this, inputs, m_window);
    try {
        sendToTarget(checkedTarget(), inputs, m_clipboardFontSize, *m_automation, host, m_lastWindow.get());
    } catch (const SendError &error) {
        showError(error.message());
        return false;
    }
    return true;
}

void SendCommands::copyToClipboard(const SendInputs &inputs, int size)
{
    // A copy of an empty field leaves the clipboard alone: a second click on the send button
    // must not wipe what the first one sent, nor what another program put there.
    if (!inputs.text.isEmpty()) {
        const QString face = inputs.faceName.isEmpty() ? phoneticFamily(false) : inputs.faceName;
        putOnClipboard(clipboardPayload(inputs.text, face, inputs.bold, inputs.italic, size));
    }
    emit fieldCopied();
}

void SendCommands::copyAsNotation(Notation notation, const QByteArray &glyphs)
{
    putTextOnClipboard(glyphsToNotation(notation, glyphs));
}

void SendCommands::setClipboardFontSize(int size)
{
    m_clipboardFontSize = size;
    const QList<QAction *> items = m_controls.clipboardSizes->actions();
    const auto fixed = std::find(FixedClipboardSizes.begin(), FixedClipboardSizes.end(), size);
    items.at(int(fixed - FixedClipboardSizes.begin()))->setChecked(true);
}

void SendCommands::ClipboardFontSizeClick(QAction *item)
{
    item->setChecked(true);
    const int index = int(m_controls.clipboardSizes->actions().indexOf(item));
    if (index >= 0 && index < int(FixedClipboardSizes.size())) {
        m_clipboardFontSize = FixedClipboardSizes.at(index);
        return;
    }
    QString value = QString::number(m_clipboardFontSize);
    if (InputDialog(LangStr(76), LangStr(77), true, value)) {
        m_clipboardFontSize = value.toInt();
    }
}

} // namespace Sprelio
