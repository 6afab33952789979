// The main window's send commands: target choice, the send button and the clipboard size.

#include "dialogs/messageboxes.h"
#include "app/spreliopad.h"
#include "compose/glyphedit.h"
#include "i18n/langstr.h"
#include "palette/speedbutton.h"
#include "targets/clipboard.h"
#include "targets/clipboardpayload.h"
#include "targets/sendtargets.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>

namespace Sprelio {

namespace {

// What the send routines may do to the main window.
class WindowSendHost final : public SendHost
{
public:
    explicit WindowSendHost(TSprelioPad &pad)
        : m_pad(pad)
    {}

    void CopyEditToClipboard(int pointSize) override { m_pad.CopyEditToClipboard(pointSize); }

    void bringToFront() override
    {
        m_pad.raise();
        m_pad.activateWindow();
    }

    void MessageInfo(std::uint16_t stringId) override { Sprelio::MessageInfo(nullptr, LangStr(stringId)); }

private:
    TSprelioPad &m_pad;
};

} // namespace

void TSprelioPad::connectSendCommands()
{
    m_automation = createAutomationTargets();
    connect(m_targetGroup, &QActionGroup::triggered, this, &TSprelioPad::ZielClick);
    // Opening the size menu already makes the clipboard the target.
    auto *clipboardMenu = findChild<QMenu *>(QStringLiteral("Zwischenablage"));
    connect(clipboardMenu, &QMenu::aboutToShow, this,
            [this, clipboardMenu] { ZielClick(clipboardMenu->menuAction()); });
    connect(m_clipboardSizeGroup, &QActionGroup::triggered, this, &TSprelioPad::ClipboardFontSizeClick);
    connect(findChild<SpeedButton *>(QStringLiteral("EnterBtn")), &SpeedButton::clicked, this,
            &TSprelioPad::EnterBtnClick);
}

QAction *TSprelioPad::targetItem(TargetCode target) const
{
    const auto name = [target] {
        switch (target) {
        case TargetCode::WinWord:
            return "WinWord";
        case TargetCode::Excel:
            return "Excel";
        case TargetCode::PowerPoint:
            return "PowerPoint";
        case TargetCode::Zwischenablage:
            return "Zwischenablage";
        case TargetCode::OpenOffice:
            break;
        }
        return "OpenOffice";
    };
    return findChild<QAction *>(QLatin1String(name()));
}

std::optional<TargetCode> TSprelioPad::checkedTarget() const
{
    return firstCheckedTarget([this](TargetCode code) { return targetItem(code)->isChecked(); });
}

void TSprelioPad::setAutomationTargets(std::unique_ptr<AutomationTargets> automation)
{
    m_automation = std::move(automation);
}

void TSprelioPad::ZielClick(QAction *item)
{
    item->setChecked(true);
}

void TSprelioPad::EnterBtnClick()
{
    const std::optional<TargetCode> target = checkedTarget();
    const SendInputs inputs{m_editField->glyphs(), m_currentFontName,
                            findChild<QAction *>(QStringLiteral("FettBtn"))->isChecked(),
                            findChild<QAction *>(QStringLiteral("KursivBtn"))->isChecked()};
    // A click with Shift held keeps the text as well as Shift at the last key event.
    const bool keepText = m_shiftHeld || QApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
    WindowSendHost host(*this);
    try {
        sendToTarget(target, inputs, m_clipboardFontSize, *m_automation, host);
    } catch (const SendError &error) {
        showError(error.message());
        return;
    }
    if (!keepText) {
        m_editField->clear();
    }
}

void TSprelioPad::CopyEditToClipboard(int size)
{
    // The field keeps its own size: the payload carries the clipboard size, so nothing is
    // resized or repainted in between.
    // A copy of an empty selection leaves the clipboard alone: a second click on the send button
    // must not wipe what the first one sent, nor what another program put there.
    const QByteArray glyphs = m_editField->glyphs();
    if (!glyphs.isEmpty()) {
        const QFont font = m_editField->font();
        putOnClipboard(clipboardPayload(glyphs, font.family(), font.bold(), font.italic(), size));
    }
    m_editField->selectAll();
}

void TSprelioPad::ClipboardFontSizeClick(QAction *item)
{
    item->setChecked(true);
    const QString name = item->objectName();
    if (name == QLatin1String("N10pt1")) {
        m_clipboardFontSize = 10;
    } else if (name == QLatin1String("N11pt1")) {
        m_clipboardFontSize = 11;
    } else if (name == QLatin1String("N12pt1")) {
        m_clipboardFontSize = 12;
    } else {
        QString value = QString::number(m_clipboardFontSize);
        if (InputDialog(LangStr(76), LangStr(77), true, value)) {
            m_clipboardFontSize = value.toInt();
        }
    }
}

} // namespace Sprelio
