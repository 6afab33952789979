// The main window's commands beyond the designed window: copying as Unicode IPA, the explanation of
// the composed line, the symbol search and the preview of a pending mark on the palette buttons.

#include "app/spreliopad.h"

#include "compose/glyphedit.h"
#include "compose/lineexplanation.h"
#include "i18n/langstr.h"
#include "palette/kwspeedbutton.h"
#include "palette/symbolsearchwindow.h"
#include "palette/unicodeipa.h"
#include "targets/clipboard.h"

#include <QAction>
#include <QActionGroup>

namespace Sprelio {

void TSprelioPad::connectIpaCommands()
{
    connect(findChild<QAction *>(QStringLiteral("AlsUnicode1")), &QAction::triggered, this,
            &TSprelioPad::CopyAsUnicodeClick);

    QAction *search = findChild<QAction *>(QStringLiteral("SucheBtn"));
    search->setShortcut(QKeySequence::Find);
    search->setShortcutContext(Qt::WindowShortcut);
    connect(search, &QAction::triggered, this, &TSprelioPad::SucheClick);

    connect(m_editField, &QLineEdit::textChanged, this, &TSprelioPad::explainEditField);
    connect(findChild<QAction *>(QStringLiteral("ShowH")), &QAction::toggled, this,
            &TSprelioPad::explainEditField);

    for (TKWSpeedButton *special : std::as_const(m_specialButtons)) {
        connect(special, &SpeedButton::toggled, this, &TSprelioPad::updateMarkPreview);
    }
}

void TSprelioPad::applyIpaTexts()
{
    findChild<QAction *>(QStringLiteral("SucheBtn"))->setToolTip(LangStr(201));
    if (m_symbolSearch) {
        m_symbolSearch->ApplyLanguage();
    }
    explainEditField();
}

void TSprelioPad::CopyAsUnicodeClick()
{
    putTextOnClipboard(glyphsToUnicodeIpa(m_editField->glyphs()));
}

void TSprelioPad::SucheClick()
{
    // Made when first asked for: most sessions never search, and its window is not free.
    if (!m_symbolSearch) {
        m_symbolSearch = new TSymbolSearch(this);
        connect(m_symbolSearch, &TSymbolSearch::symbolClicked, this,
                [this](TKWSpeedButton *button) { KnoppClick(button); });
    }
    if (!m_symbolSearch->isVisible()) {
        // Beside the window, where it covers none of the palettes.
        m_symbolSearch->move(frameGeometry().topRight() + QPoint(8, 0));
    }
    m_symbolSearch->setFaceName(m_currentFontName.isEmpty() ? font().family() : m_currentFontName);
    m_symbolSearch->showForTyping();
}

void TSprelioPad::explainEditField()
{
    const QString explanation = explainGlyphs(m_editField->glyphs());
    m_editField->setAccessibleDescription(explanation);
    const bool shown = findChild<QAction *>(QStringLiteral("ShowH"))->isChecked();
    m_editField->setToolTip(shown ? explanation : QString());
}

void TSprelioPad::updateMarkPreview()
{
    QList<Glyph> marks;
    if (!assignmentEditing()) {
        for (const TKWSpeedButton *special : std::as_const(m_specialButtons)) {
            if (special->isChecked() && !special->Symbol().isEmpty()) {
                marks.append(static_cast<Glyph>(special->Symbol().front()));
            }
        }
    }
    for (TKWSpeedButton *button : std::as_const(m_paletteButtons)) {
        button->setPreviewMarks(marks);
    }
}

} // namespace Sprelio
