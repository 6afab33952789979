#include "compose/composecommands.h"

#include "compose/glyphedit.h"
#include "compose/lineexplanation.h"
#include "palette/glyphtext.h"
#include "palette/kwspeedbutton.h"
#include "palette/symbolsearchwindow.h"
#include "palette/widgetfonts.h"
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

ComposeCommands::ComposeCommands(const ComposeControls &controls, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
{
    connect(m_controls.field, &QLineEdit::textChanged, this, &ComposeCommands::explainEditField);
    connect(m_controls.showHints, &QAction::toggled, this, &ComposeCommands::explainEditField);
    for (TKWSpeedButton *special : std::as_const(m_controls.specialButtons)) {
        connect(special, &SpeedButton::toggled, this, &ComposeCommands::updateMarkPreview);
    }
}

PendingMarks ComposeCommands::pendingMarks() const
{
    PendingMarks pending;
    pending.tie = m_controls.toolButtons.at(TieButton)->isChecked();
    pending.linking = m_controls.toolButtons.at(LinkingButton)->isChecked();
    for (const TKWSpeedButton *special : std::as_const(m_controls.specialButtons)) {
        if (special->isChecked() && !special->Symbol().isEmpty()) {
            pending.diacritics.append(static_cast<Glyph>(special->Symbol().front()));
        }
    }
    return pending;
}

void ComposeCommands::setTypingBlocked(bool blocked)
{
    m_typingBlocked = blocked;
    updateMarkPreview();
}

void ComposeCommands::KnoppClick(SpeedButton *sender)
{
    if (sender == nullptr || m_typingBlocked) {
        return;
    }
    const PendingMarks pending = pendingMarks();
    const auto *character = qobject_cast<TKWSpeedButton *>(sender);
    const QByteArray text = character != nullptr ? character->Symbol() : displayToGlyphs(sender->text());
    const QWidget *panel = sender->parentWidget();
    const bool onPalette = panel == m_controls.vokalPanel || panel == m_controls.konsPanel ||
                           sender->property("PaletteBase").toBool();

    const Composition composed = m_composer.compose(text, onPalette, pending);
    m_controls.field->setFocus();
    if (composed.tieConsumed) {
        m_controls.toolButtons.at(TieButton)->setChecked(false);
    }
    if (composed.diacriticsConsumed) {
        for (TKWSpeedButton *special : std::as_const(m_controls.specialButtons)) {
            special->setChecked(false);
        }
    }
    if (composed.linkingConsumed) {
        m_controls.toolButtons.at(LinkingButton)->setChecked(false);
    }
    StringToMemo(composed.typed);
}

void ComposeCommands::StringToMemo(const QByteArray &text)
{
    if (!text.isEmpty()) {
        m_controls.field->insertGlyphs(text);
    }
    m_controls.field->update();
}

void ComposeCommands::KlBtnClick()
{
    const QList<SpeedButton *> &sys = m_controls.sysButtons;
    const bool single = sys.at(int(SysButton::Kl))->isChecked();
    for (const SysButton b : {SysButton::K1, SysButton::K2, SysButton::K3, SysButton::K4}) {
        sys.at(int(b))->setVisible(single);
    }
    sys.at(int(SysButton::EKl))->setVisible(!single);
    sys.at(int(SysButton::Schraeg))->setVisible(!single);
    // The caption names the mode that the next click switches to.
    sys.at(int(SysButton::Kl))->setText(glyphsToDisplay(single ? "[..]" : "[ | ]"));
}

void ComposeCommands::KlammerBtnClick(SpeedButton *sender)
{
    GlyphEdit *field = m_controls.field;
    const QByteArray caption = displayToGlyphs(sender->text());
    const int selectionStart = field->selectionStart();
    const int selectionLength = int(field->selectedText().size());
    const int caret = field->cursorPosition();

    field->setGlyphs(caption.left(1) + field->glyphs() + caption.mid(3, 1));

    // The old offsets moved one glyph to the right with the opening bracket.
    if (selectionStart >= 0 && selectionLength > 0) {
        field->setSelection(selectionStart + 1, selectionLength);
    } else {
        field->setCursorPosition(caret + 1);
    }
}

void ComposeCommands::BackBtnClick()
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(m_controls.field, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(m_controls.field, &release);
    m_controls.field->setFocus();
}

void ComposeCommands::CheckFont(QAction *item)
{
    item->setChecked(true);
    const bool sans = item == m_controls.faceItems->actions().at(1);
    m_currentFontName = phoneticFamily(sans);
    // Pressing the tool button here must not run its handler again.
    {
        const QSignalBlocker blocker(m_controls.faceButtons);
        m_controls.faceButtons->actions().at(sans ? 1 : 0)->setChecked(true);
    }
    setPaletteFontFace(m_currentFontName);
}

void ComposeCommands::setPaletteFontFace(const QString &family)
{
    for (TKWSpeedButton *button : std::as_const(m_controls.paletteButtons)) {
        setFontFamily(button, family);
    }
    setFontFamily(m_controls.field, family);
    emit faceChanged(family);
}

void ComposeCommands::SerifBtnClick()
{
    const bool serifPressed = m_controls.faceButtons->actions().at(0)->isChecked();
    CheckFont(m_controls.faceItems->actions().at(serifPressed ? 0 : 1));
}

void ComposeCommands::pressFaceButtonsAgain()
{
    QAction *serif = m_controls.faceButtons->actions().at(0);
    QAction *sansSerif = m_controls.faceButtons->actions().at(1);
    const bool serifPressed = serif->isChecked();
    (serifPressed ? sansSerif : serif)->setChecked(true);
    (serifPressed ? serif : sansSerif)->setChecked(true);
}

bool ComposeCommands::bold() const
{
    return m_controls.boldButton->isChecked();
}

bool ComposeCommands::italic() const
{
    return m_controls.italicButton->isChecked();
}

void ComposeCommands::StyleClick()
{
    const bool isBold = bold();
    const bool isItalic = italic();
    for (QWidget *widget : std::as_const(m_controls.paletteButtons)) {
        setFontStyle(widget, isBold, isItalic);
    }
    setFontStyle(m_controls.field, isBold, isItalic);
    m_controls.boldItem->setChecked(isBold);
    m_controls.italicItem->setChecked(isItalic);
}

void ComposeCommands::StyleMenuClick()
{
    setStyle(m_controls.boldItem->isChecked(), m_controls.italicItem->isChecked());
}

void ComposeCommands::setStyle(bool isBold, bool isItalic)
{
    m_controls.boldButton->setChecked(isBold);
    m_controls.italicButton->setChecked(isItalic);
    StyleClick();
}

void ComposeCommands::explainEditField()
{
    const QString explanation = explainGlyphs(m_controls.field->glyphs());
    m_controls.field->setAccessibleDescription(explanation);
    m_controls.field->setToolTip(m_controls.showHints->isChecked() ? explanation : QString());
}

void ComposeCommands::updateMarkPreview()
{
    const QList<Glyph> marks = m_typingBlocked ? QList<Glyph>() : pendingMarks().diacritics;
    for (TKWSpeedButton *button : std::as_const(m_controls.paletteButtons)) {
        button->setPreviewMarks(marks);
    }
}

void ComposeCommands::applyLanguage()
{
    if (m_symbolSearch) {
        m_symbolSearch->ApplyLanguage();
    }
    explainEditField();
}

void ComposeCommands::showSymbolSearch(QWidget *owner, const QPoint &place)
{
    // Made when first asked for: most sessions never search, and its window is not free.
    if (!m_symbolSearch) {
        m_symbolSearch = new TSymbolSearch(owner);
        connect(m_symbolSearch, &TSymbolSearch::symbolClicked, this,
                [this](TKWSpeedButton *button) { KnoppClick(button); });
    }
    if (!m_symbolSearch->isVisible()) {
        // Beside the window, where it covers none of the palettes.
        m_symbolSearch->move(place);
    }
    m_symbolSearch->setFaceName(m_currentFontName.isEmpty() ? owner->font().family() : m_currentFontName);
    m_symbolSearch->showForTyping();
}

} // namespace Sprelio
