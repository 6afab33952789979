// The main window's settings: the language asked at the first start, the settings applied at the
// first showing, and the settings written and the changed assignment offered for saving at close.

#include "app/spreliopad.h"

#include "assignments/assignmenteditor.h"
#include "compose/composecommands.h"
#include "dialogs/messageboxes.h"
#include "dialogs/topmost.h"
#include "i18n/langseldialog.h"
#include "i18n/langstr.h"
#include "palette/symbolsets.h"
#include "storage/inilocation.h"
#include "storage/storedsettings.h"
#include "targets/sendcommands.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

namespace Sprelio {

namespace {

QString defaultAssignmentFile()
{
    return programFilePath(LangOffset == EnglishOffset ? QStringLiteral("english.vkc")
                                                       : QStringLiteral("deutsch.vkc"));
}

QList<QRect> availableScreenAreas()
{
    QList<QRect> areas;
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (const QScreen *screen : screens) {
        areas.append(screen->availableGeometry());
    }
    return areas;
}

} // namespace

void TSprelioPad::openIniFile()
{
    if (m_iniPath.isEmpty()) {
        return;
    }
    QString why;
    const std::optional<ProfileDocument> document = ProfileFile(m_iniPath).loadExisting(&why);
    if (!document) {
        // The session starts from the defaults, and the file stays as it is.
        MessageInfo(nullptr, LangStr(212).arg(QDir::toNativeSeparators(m_iniPath), why));
    }
    m_iniDocument = document.value_or(ProfileDocument());
}

void TSprelioPad::chooseLanguageAtFirstStart()
{
    if (m_iniPath.isEmpty()) {
        return;
    }
    const int stored = readStoredLanguage(m_iniDocument);
    if (stored != FirstStartLanguage) {
        LangOffset = stored;
        return;
    }
    TformLangSel dialog;
    dialog.exec();
    LangOffset = dialog.englishChosen() ? EnglishOffset : GermanOffset;
    m_assignments->setButtonSettingPath(defaultAssignmentFile());
    // An empty entry makes the settings reader take the assignment of the language just chosen.
    m_iniDocument.writeString("Settings", "ButtonSetting", "");
}

void TSprelioPad::LiesIni()
{
    const StoredSettings stored = readStoredSettings(m_iniDocument);

    ApplyLanguage();
    placeWindow(stored.left, stored.top, stored.width);
    m_send->setClipboardFontSize(stored.clipboardFontSize);

    // A window without a settings file keeps the built-in assignment.
    if (!m_iniPath.isEmpty()) {
        m_assignments->restoreStoredFile(stored.buttonSetting, defaultAssignmentFile());
    }

    // The stored choice is kept, also where the desktop does not let the window stay on top.
    m_actions.vorne->setChecked(stored.stayOnTop);
    m_actions.vorne->setEnabled(staysOnTopAvailable());
    VorneClick();
    m_actions.showH->setChecked(stored.showHints);
    ShowHClick();

    if (const std::optional<TargetCode> target = targetFromCode(stored.target)) {
        ZielClick(m_send->targetItem(*target));
    }
    CheckFont(m_actions.faces->actions().at(stored.font == FontSansSerif ? 1 : 0));
    m_compose->setStyle(stored.bold, stored.italic);
    SpezialClick(int(SpecialSet::Supra));
}

void TSprelioPad::placeWindow(int left, int top, int width)
{
    const QList<QRect> screens = availableScreenAreas();
    // The layout fixes the height, and snaps the width, from the client width.
    resize(widthForScreens(width, screens) - StoredFrameWidth, height());
    if (desktopPlacesWindows()) {
        return;
    }
    const QPoint place = placeOnScreens(QRect(QPoint(left, top), frameGeometry().size()), screens);
    m_placer.placeFrame(place);
}

void TSprelioPad::SchreibIni()
{
    if (m_iniPath.isEmpty()) {
        return;
    }
    StoredSettings settings;
    settings.language = LangOffset;
    // Where the desktop places the window, its place is unknown; the stored one stays for the next
    // session that can use it.
    settings.placeKnown = !desktopPlacesWindows();
    settings.left = x();
    settings.top = y();
    // A window that a window manager made wider than any screen must not store a width that the
    // next start refuses.
    settings.width = widthToStore(width() + StoredFrameWidth, availableScreenAreas());
    settings.buttonSetting = m_assignments->storedButtonSetting();
    settings.clipboardFontSize = m_send->ClipboardFontSize();
    const std::optional<TargetCode> target = m_send->checkedTarget();
    settings.target = target.has_value() ? int(*target) : NoTarget;
    settings.font = m_actions.faces->actions().at(1)->isChecked() ? FontSansSerif : FontSerif;
    settings.stayOnTop = m_actions.vorne->isChecked();
    settings.showHints = m_actions.showH->isChecked();
    settings.bold = m_compose->bold();
    settings.italic = m_compose->italic();

    // The other keys and sections of the file stay; a file that is there but cannot be read would
    // lose them, so it is left alone.
    QString why;
    std::optional<ProfileDocument> ini = ProfileFile(m_iniPath).loadExisting(&why);
    if (ini) {
        writeStoredSettings(*ini, settings);
        QDir().mkpath(QFileInfo(m_iniPath).absolutePath());
        if (ProfileFile(m_iniPath).save(*ini, &why)) {
            return;
        }
    }
    // The close goes on, and the old file stays whole; the user learns that the session's settings
    // are not kept, and where they would have gone.
    MessageInfo(this, LangStr(213).arg(QDir::toNativeSeparators(m_iniPath), why));
}

void TSprelioPad::closeEvent(QCloseEvent *event)
{
    if (!m_assignments->offerSaving()) {
        event->ignore();
        return;
    }
    SchreibIni();
    QMainWindow::closeEvent(event);
}

} // namespace Sprelio
