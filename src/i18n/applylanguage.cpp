// The main window's texts in the current language.

#include "app/spreliopad.h"

#include "i18n/langstr.h"
#include "i18n/qttranslations.h"
#include "palette/chartable.h"
#include "palette/kwspeedbutton.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QToolBar>

namespace Sprelio {

void TSprelioPad::ApplyLanguage()
{
    // Without Qt's catalogue its own buttons and dialogs stay English, and the program runs on.
    installQtTranslations(LangOffset);
    QGuiApplication::setApplicationDisplayName(LangStr(1));
    setWindowTitle(LangStr(1));

    const auto action = [this](const char *name) { return findChild<QAction *>(QLatin1String(name)); };
    const auto button = [this](const char *name) { return findChild<SpeedButton *>(QLatin1String(name)); };
    action("FettBtn")->setText(LangStr(52));
    action("FettBtn")->setToolTip(LangStr(53));
    action("KursivBtn")->setText(LangStr(54));
    action("KursivBtn")->setToolTip(LangStr(55));
    button("BackBtn")->setHint(LangStr(56));
    m_closeBtn->setHint(LangStr(57));
    action("OpenBtn")->setToolTip(LangStr(58));
    action("EditBtn")->setToolTip(LangStr(73));
    action("SaveBtn")->setToolTip(LangStr(59));
    action("SerifBtn")->setToolTip(LangStr(60));
    action("SansSerifBtn")->setToolTip(LangStr(61));
    action("Diac1Btn")->setToolTip(LangStr(62) + QLatin1String(" 1"));
    action("Diac2Btn")->setToolTip(LangStr(62) + QLatin1String(" 2"));
    action("Diac3Btn")->setToolTip(LangStr(62) + QLatin1String(" 3"));
    action("SupraBtn")->setToolTip(LangStr(63));
    action("ToneBtn")->setToolTip(LangStr(64));
    button("EnterBtn")->setHint(LangStr(65));
    button("KlBtn")->setHint(LangStr(66));
    m_closeBtn->setText(LangStr(74));
    if (QAction *miDelete = action("miDelete")) {
        miDelete->setText(LangStr(187));
    }

    for (QAction *item : std::as_const(m_taggedItems)) {
        if (!item->isSeparator()) {
            item->setText(LangStr(static_cast<std::uint16_t>(item->property("Tag").toInt() + 100)));
        }
    }

    for (TKWSpeedButton *tool : std::as_const(m_toolButtons)) {
        tool->setHint(CharDescription(tool->Symbol()));
    }
    applyIpaTexts();

    // Screen readers name the controls in the current language, also where the hints keep theirs
    // or the buttons show only an icon or a glyph.
    for (const QList<TKWSpeedButton *> *buttons : {&m_paletteButtons, &m_toolButtons, &m_specialButtons}) {
        for (TKWSpeedButton *glyphButton : *buttons) {
            glyphButton->setAccessibleName(glyphStringName(glyphButton->Symbol()));
        }
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
    LangOffset = m_languageGroup->actions().constFirst()->isChecked() ? GermanOffset : EnglishOffset;
    ApplyLanguage();
}

} // namespace Sprelio
