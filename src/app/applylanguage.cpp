// The main window's texts in the current language.

#include "app/spreliopad.h"

#include "assignments/assignmenteditor.h"
#include "compose/composecommands.h"
#include "dialogs/topmost.h"
#include "i18n/langstr.h"
#include "i18n/qttranslations.h"
#include "palette/chartable.h"
#include "palette/kwspeedbutton.h"
#include "palette/symbolsets.h"
#include "palette/windowlayout.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QToolBar>

namespace Sprelio {

void TSprelioPad::ApplyLanguage()
{
    // Without Qt's catalogue its own buttons and dialogs stay English, and the program runs on.
    installQtTranslations(LangOffset);
    QGuiApplication::setApplicationDisplayName(LangStr(1));
    setWindowTitle(LangStr(1));

    const WindowActions &a = m_actions;
    a.fettBtn->setText(LangStr(52));
    a.fettBtn->setToolTip(LangStr(53));
    a.kursivBtn->setText(LangStr(54));
    a.kursivBtn->setToolTip(LangStr(55));
    sysButton(int(SysButton::Back))->setHint(LangStr(56));
    m_closeBtn->setHint(LangStr(57));
    a.openBtn->setToolTip(LangStr(58));
    a.editBtn->setToolTip(LangStr(73));
    a.saveBtn->setToolTip(LangStr(59));
    a.serifBtn->setToolTip(LangStr(60));
    a.sansSerifBtn->setToolTip(LangStr(61));
    const QList<QAction *> sets = a.setButtons->actions();
    sets.at(int(SpecialSet::Diac1) - 1)->setToolTip(LangStr(62) + QLatin1String(" 1"));
    sets.at(int(SpecialSet::Diac2) - 1)->setToolTip(LangStr(62) + QLatin1String(" 2"));
    sets.at(int(SpecialSet::Diac3) - 1)->setToolTip(LangStr(62) + QLatin1String(" 3"));
    sets.at(int(SpecialSet::Supra) - 1)->setToolTip(LangStr(63));
    sets.at(int(SpecialSet::Tone) - 1)->setToolTip(LangStr(64));
    sysButton(int(SysButton::Enter))->setHint(LangStr(65));
    sysButton(int(SysButton::Kl))->setHint(LangStr(66));
    m_closeBtn->setText(LangStr(74));
    m_assignments->applyLanguage();

    for (QAction *item : std::as_const(m_taggedItems)) {
        if (!item->isSeparator()) {
            item->setText(LangStr(static_cast<std::uint16_t>(item->property("Tag").toInt() + 100)));
        }
    }

    for (TKWSpeedButton *tool : std::as_const(m_toolButtons)) {
        tool->setHint(CharDescription(tool->Symbol()));
    }
    a.sucheBtn->setToolTip(LangStr(201));
    if (!staysOnTopAvailable()) {
        // The disabled item says why.
        a.vorne->setToolTip(LangStr(220));
        a.optionen->setToolTipsVisible(true);
    }
    m_compose->applyLanguage();

    // Screen readers name the controls in the current language, also where the hints keep theirs
    // or the buttons show only an icon or a glyph.
    for (const QList<TKWSpeedButton *> *buttons : {&m_paletteButtons, &m_toolButtons, &m_specialButtons}) {
        for (TKWSpeedButton *glyphButton : *buttons) {
            glyphButton->setAccessibleName(glyphStringName(glyphButton->Symbol()));
        }
    }
    // The bracket buttons by what they insert, in words: their captions are glyph codes that no
    // screen reader knows.
    for (const auto &[button, nameId] :
         {std::pair{SysButton::EKl, 230}, std::pair{SysButton::Schraeg, 231}, std::pair{SysButton::K1, 232},
          std::pair{SysButton::K2, 233}, std::pair{SysButton::K3, 234}, std::pair{SysButton::K4, 235}}) {
        sysButton(int(button))->setAccessibleName(LangStr(static_cast<std::uint16_t>(nameId)));
    }
    const QList<QAction *> toolBarButtons = m_toolBarBtn->actions();
    for (QAction *toolBarButton : toolBarButtons) {
        if (!toolBarButton->isSeparator()) {
            m_toolBarBtn->widgetForAction(toolBarButton)->setAccessibleName(toolBarButton->toolTip());
        }
    }
}

void TSprelioPad::LanguageClick(QAction *item)
{
    item->setChecked(true);
    LangOffset = m_actions.languages->actions().constFirst()->isChecked() ? GermanOffset : EnglishOffset;
    ApplyLanguage();
}

} // namespace Sprelio
