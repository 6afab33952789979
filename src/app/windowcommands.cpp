// The main window's named handlers: those of the window itself, and the forwards to the subsystems
// that own the composition line, the sending and the assignments.

#include "app/spreliopad.h"

#include "app/splash.h"
#include "assignments/assignmenteditor.h"
#include "compose/composecommands.h"
#include "compose/glyphedit.h"
#include "dialogs/messageboxes.h"
#include "dialogs/topmost.h"
#include "i18n/langstr.h"
#include "palette/glyphtext.h"
#include "palette/symbolsets.h"
#include "storage/inilocation.h"
#include "targets/clipboard.h"
#include "targets/sendcommands.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QMenu>
#include <QToolBar>
#include <QUrl>

namespace Sprelio {

// The palettes and the composition line.

void TSprelioPad::KnoppClick(SpeedButton *sender)
{
    m_compose->KnoppClick(sender);
}

void TSprelioPad::StringToMemo(const QByteArray &text)
{
    m_compose->StringToMemo(text);
}

void TSprelioPad::CheckFont(QAction *item)
{
    m_compose->CheckFont(item);
}

void TSprelioPad::StyleClick()
{
    m_compose->StyleClick();
}

QString TSprelioPad::CurrentFontName() const
{
    return m_compose->CurrentFontName();
}

void TSprelioPad::SucheClick()
{
    m_compose->showSymbolSearch(this, frameGeometry().topRight() + QPoint(8, 0));
}

TSymbolSearch *TSprelioPad::SymbolSearch() const
{
    return m_compose->symbolSearch();
}

// Sending.

SendInputs TSprelioPad::sendInputs() const
{
    return {m_editField->glyphs(), m_compose->CurrentFontName(), m_compose->bold(), m_compose->italic()};
}

void TSprelioPad::ZielClick(QAction *item)
{
    m_send->ZielClick(item);
}

void TSprelioPad::EnterBtnClick()
{
    // A click with Shift held keeps the text as well as Shift at the last key event.
    sendField(m_shiftHeld || QApplication::keyboardModifiers().testFlag(Qt::ShiftModifier));
}

void TSprelioPad::sendField(bool keepText)
{
    if (m_send->send(sendInputs()) && !keepText) {
        // Emptied for the next line, as a new line: the sent one is not kept for undo.
        m_editField->setGlyphs({});
    }
}

void TSprelioPad::CopySelectionToClipboard(const QByteArray &glyphs)
{
    // The same forms as a send to the clipboard, in the face and style of the field at the
    // clipboard's size: a copy from the field pastes into an office as a send does.
    const QString face =
        m_compose->CurrentFontName().isEmpty() ? phoneticFamily(false) : m_compose->CurrentFontName();
    putOnClipboard(
        clipboardPayload(glyphs, face, m_compose->bold(), m_compose->italic(), m_send->ClipboardFontSize()));
}

void TSprelioPad::CopyEditToClipboard(int size)
{
    m_send->copyToClipboard(sendInputs(), size);
}

int TSprelioPad::ClipboardFontSize() const
{
    return m_send->ClipboardFontSize();
}

void TSprelioPad::ClipboardFontSizeClick(QAction *item)
{
    m_send->ClipboardFontSizeClick(item);
}

void TSprelioPad::setAutomationTargets(std::unique_ptr<AutomationTargets> automation)
{
    m_send->setAutomationTargets(std::move(automation));
}

void TSprelioPad::CopyAsUnicodeClick()
{
    CopyAsNotationClick(Notation::UnicodeIpa);
}

void TSprelioPad::CopyAsNotationClick(Notation notation)
{
    m_send->copyAsNotation(notation, m_editField->glyphs());
}

// Button assignment files and the editing mode.

void TSprelioPad::ReadButtonSettingFile(const QString &path)
{
    m_assignments->ReadButtonSettingFile(path);
}

void TSprelioPad::Speichern1Click()
{
    m_assignments->Speichern1Click();
}

void TSprelioPad::Laden1Click()
{
    m_assignments->Laden1Click();
}

QString TSprelioPad::ButtonSettingPath() const
{
    return m_assignments->ButtonSettingPath();
}

bool TSprelioPad::AssignmentChanged() const
{
    return m_assignments->AssignmentChanged();
}

void TSprelioPad::Bearbeiten1Click()
{
    EnableButtonEdit(true);
    FormResize();
}

void TSprelioPad::CloseBtnClick()
{
    EnableButtonEdit(false);
    resize(width(), height() - (m_assignments->chartHeight() + 4));
    FormResize();
    m_editField->setFocus();
}

void TSprelioPad::EnableButtonEdit(bool value)
{
    m_assignments->EnableButtonEdit(value);
}

void TSprelioPad::followEditing(bool editing)
{
    for (QWidget *panel : {m_sysPanel, m_toolBar, m_toolBar2}) {
        const QWidgetList controls = panel->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (QWidget *control : controls) {
            control->setEnabled(!editing);
        }
    }
    const QList<QAction *> toolBarButtons = m_toolBarBtn->actions();
    for (QAction *button : toolBarButtons) {
        button->setEnabled(!editing);
    }
    for (QMenu *menu : {m_actions.optionen, m_actions.belegung, m_actions.schrift, m_actions.hilfe}) {
        menu->menuAction()->setEnabled(!editing);
    }
    m_compose->setStyle(false, false);
    m_compose->setTypingBlocked(editing);
    if (editing) {
        return;
    }
    // Leaving shows the suprasegmentals whatever set was chosen before; a diacritic left pending
    // while editing is dropped with it.
    QAction *supra = m_actions.setButtons->actions().at(int(SpecialSet::Supra) - 1);
    if (supra->isChecked()) {
        m_actions.setButtons->actions().at(int(SpecialSet::Diac1) - 1)->setChecked(true);
    }
    SpezialClick(int(SpecialSet::Supra));
    supra->setChecked(true);
    m_compose->pressFaceButtonsAgain();
}

void TSprelioPad::miDeleteClick()
{
    m_assignments->miDeleteClick();
}

bool TSprelioPad::CharGridDragOver(QWidget *target, const QByteArray &glyphs, bool append) const
{
    return m_assignments->CharGridDragOver(target, glyphs, append);
}

void TSprelioPad::CharGridDragDrop(QWidget *target, const QByteArray &glyphs, bool append)
{
    m_assignments->CharGridDragDrop(target, glyphs, append);
}

// Window and help commands.

TSplash *TSprelioPad::Splash()
{
    if (m_splash == nullptr) {
        m_splash = new TSplash(this);
    }
    return m_splash;
}

void TSprelioPad::VorneClick()
{
    setStaysOnTop(this, m_actions.vorne->isChecked());
}

void TSprelioPad::ShowHClick()
{
    setHintsShown(m_actions.showH->isChecked());
}

void TSprelioPad::HilfeClick()
{
    openProgramDocument(79);
}

void TSprelioPad::Tastaturbelegung1Click()
{
    openProgramDocument(80);
}

void TSprelioPad::openProgramDocument(std::uint16_t nameId)
{
    // Without a program for the document the command would otherwise do nothing visible.
    const QString path = programFilePath(LangStr(nameId));
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        MessageInfo(this, LangStr(236).arg(QDir::toNativeSeparators(path)));
    }
}

void TSprelioPad::KestrelWareHomepage1Click()
{
    Splash()->lbLinkClick();
}

void TSprelioPad::Beenden1Click()
{
    close();
}

void TSprelioPad::Info1Click()
{
    const TopmostBracket bracket(this, m_actions.vorne);
    Splash()->showInformation(this);
}

} // namespace Sprelio
