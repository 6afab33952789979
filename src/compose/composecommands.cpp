// The composition field's commands of the main window: insertion, brackets, deletion, face and style.

#include "app/spreliopad.h"

#include "assignments/chargridview.h"

#include "compose/glyphedit.h"
#include "palette/glyphtext.h"
#include "palette/kwspeedbutton.h"
#include "palette/windowlayout.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QKeyEvent>

namespace Sprelio {

namespace {

constexpr int LinkingButton = 3;
constexpr int TieButton = 4;

} // namespace

void TSprelioPad::KnoppClick(SpeedButton *sender)
{
    if (sender == nullptr || assignmentEditing()) {
        return;
    }
    PendingMarks pending;
    pending.tie = m_toolButtons.at(TieButton)->isChecked();
    pending.linking = m_toolButtons.at(LinkingButton)->isChecked();
    for (TKWSpeedButton *special : std::as_const(m_specialButtons)) {
        if (special->isChecked() && !special->Symbol().isEmpty()) {
            pending.diacritics.append(static_cast<Glyph>(special->Symbol().front()));
        }
    }

    const auto *character = qobject_cast<TKWSpeedButton *>(sender);
    const QByteArray text = character != nullptr ? character->Symbol() : displayToGlyphs(sender->text());
    const QWidget *panel = sender->parentWidget();
    const bool onPalette =
        panel == m_vokalPanel || panel == m_konsPanel || sender->property("PaletteBase").toBool();

    const Composition composed = m_composer.compose(text, onPalette, pending);
    m_editField->setFocus();
    if (composed.tieConsumed) {
        m_toolButtons.at(TieButton)->setChecked(false);
    }
    if (composed.diacriticsConsumed) {
        for (TKWSpeedButton *special : std::as_const(m_specialButtons)) {
            special->setChecked(false);
        }
    }
    if (composed.linkingConsumed) {
        m_toolButtons.at(LinkingButton)->setChecked(false);
    }
    StringToMemo(composed.typed);
}

void TSprelioPad::StringToMemo(const QByteArray &text)
{
    if (!text.isEmpty()) {
        m_editField->insertGlyphs(text);
    }
    m_editField->update();
}

void TSprelioPad::KlBtnClick()
{
    const bool single = m_sysButtons.at(int(SysButton::Kl))->isChecked();
    for (const SysButton b : {SysButton::K1, SysButton::K2, SysButton::K3, SysButton::K4}) {
        m_sysButtons.at(int(b))->setVisible(single);
    }
    m_sysButtons.at(int(SysButton::EKl))->setVisible(!single);
    m_sysButtons.at(int(SysButton::Schraeg))->setVisible(!single);
    // The caption names the mode that the next click switches to.
    m_sysButtons.at(int(SysButton::Kl))->setText(glyphsToDisplay(single ? "[..]" : "[ | ]"));
}

void TSprelioPad::KlammerBtnClick(SpeedButton *sender)
{
    const QByteArray caption = displayToGlyphs(sender->text());
    const int selectionStart = m_editField->selectionStart();
    const int selectionLength = int(m_editField->selectedText().size());
    const int caret = m_editField->cursorPosition();

    m_editField->setGlyphs(caption.left(1) + m_editField->glyphs() + caption.mid(3, 1));

    // The old offsets moved one glyph to the right with the opening bracket.
    if (selectionStart >= 0 && selectionLength > 0) {
        m_editField->setSelection(selectionStart + 1, selectionLength);
    } else {
        m_editField->setCursorPosition(caret + 1);
    }
}

void TSprelioPad::BackBtnClick()
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(m_editField, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(m_editField, &release);
    m_editField->setFocus();
}

void TSprelioPad::CheckFont(QAction *item)
{
    item->setChecked(true);
    const bool sans = item->objectName() == QLatin1String("Sans");
    m_currentFontName = phoneticFamily(sans);
    // Pressing the tool button here must not run its handler again.
    {
        const QSignalBlocker blocker(m_faceButtonGroup);
        m_faceButtonGroup->actions().at(sans ? 1 : 0)->setChecked(true);
    }
    setPaletteFontFace(m_currentFontName);
}

void TSprelioPad::setPaletteFontFace(const QString &family)
{
    for (TKWSpeedButton *button : std::as_const(m_paletteButtons)) {
        QFont font = button->font();
        font.setFamily(family);
        button->setFont(font);
    }
    QFont editFont = m_editField->font();
    editFont.setFamily(family);
    m_editField->setFont(editFont);
    m_charGridFont.setFamily(family);
    if (m_charGridView) {
        m_charGridView->setFont(m_charGridFont);
    }
}

void TSprelioPad::SerifBtnClick()
{
    const bool serifPressed = m_faceButtonGroup->actions().at(0)->isChecked();
    CheckFont(m_faceGroup->actions().at(serifPressed ? 0 : 1));
}

void TSprelioPad::StyleClick()
{
    const bool bold = findChild<QAction *>(QStringLiteral("FettBtn"))->isChecked();
    const bool italic = findChild<QAction *>(QStringLiteral("KursivBtn"))->isChecked();
    for (QWidget *widget : m_paletteButtons) {
        QFont font = widget->font();
        font.setBold(bold);
        font.setItalic(italic);
        widget->setFont(font);
    }
    QFont editFont = m_editField->font();
    editFont.setBold(bold);
    editFont.setItalic(italic);
    m_editField->setFont(editFont);
    findChild<QAction *>(QStringLiteral("Fett1"))->setChecked(bold);
    findChild<QAction *>(QStringLiteral("Kursiv1"))->setChecked(italic);
}

void TSprelioPad::StyleMenuClick(QAction *)
{
    // The menu item has toggled itself; the tool buttons follow it.
    findChild<QAction *>(QStringLiteral("FettBtn"))
        ->setChecked(findChild<QAction *>(QStringLiteral("Fett1"))->isChecked());
    findChild<QAction *>(QStringLiteral("KursivBtn"))
        ->setChecked(findChild<QAction *>(QStringLiteral("Kursiv1"))->isChecked());
    StyleClick();
}

} // namespace Sprelio
