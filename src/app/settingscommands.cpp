// The main window's settings: the language asked at the first start, the settings applied at the
// first showing, and the settings written and the changed assignment offered for saving at close.

#include "app/spreliopad.h"

#include "storage/inilocation.h"
#include "storage/localfile.h"
#include "dialogs/messageboxes.h"
#include "storage/storedsettings.h"
#include "i18n/langseldialog.h"
#include "i18n/langstr.h"
#include "palette/symbolsets.h"
#include "targets/sendtargets.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

namespace Sprelio {

namespace {

const char *clipboardSizeItemName(int size)
{
    switch (size) {
    case 10:
        return "N10pt1";
    case 11:
        return "N11pt1";
    case 12:
        return "N12pt1";
    default:
        return "User1";
    }
}

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
    if (!m_iniPath.isEmpty()) {
        m_iniDocument = ProfileFile(m_iniPath).load();
    }
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
    m_buttonSettingPath = defaultAssignmentFile();
    // An empty entry makes the settings reader take the assignment of the language just chosen.
    m_iniDocument.writeString("Settings", "ButtonSetting", "");
}

void TSprelioPad::LiesIni()
{
    const auto item = [this](const char *name) { return findChild<QAction *>(QLatin1String(name)); };
    const StoredSettings stored = readStoredSettings(m_iniDocument);

    ApplyLanguage();
    placeWindow(stored.left, stored.top, stored.width);

    m_clipboardFontSize = stored.clipboardFontSize;
    item(clipboardSizeItemName(m_clipboardFontSize))->setChecked(true);

    // A window without a settings file keeps the built-in assignment.
    if (!m_iniPath.isEmpty()) {
        m_storedButtonSetting = stored.buttonSetting;
        m_buttonSettingPath = QFile::decodeName(stored.buttonSetting);
        if (m_buttonSettingPath.isEmpty()) {
            m_buttonSettingPath = defaultAssignmentFile();
        }
        if (isLocalRegularFile(assignmentFileName(m_buttonSettingPath))) {
            ReadButtonSettingFile(m_buttonSettingPath);
        }
    }

    item("Vorne")->setChecked(stored.stayOnTop);
    VorneClick();
    item("ShowH")->setChecked(stored.showHints);
    ShowHClick();

    if (const std::optional<TargetCode> target = targetFromCode(stored.target)) {
        ZielClick(targetItem(*target));
    }
    CheckFont(item(stored.font == FontSansSerif ? "Sans" : "Serif"));
    item("FettBtn")->setChecked(stored.bold);
    item("KursivBtn")->setChecked(stored.italic);
    StyleClick();
    SpezialClick(int(SpecialSet::Supra));
}

void TSprelioPad::placeWindow(int left, int top, int width)
{
    const QList<QRect> screens = availableScreenAreas();
    // The layout fixes the height, and snaps the width, from the client width.
    resize(widthForScreens(width, screens) - StoredFrameWidth, height());
    const QPoint place = placeOnScreens(QRect(QPoint(left, top), frameGeometry().size()), screens);
    move(place);
    // Left and Top are the frame's corner. Before the window is mapped its frame is unknown, and Qt
    // then places the client area there; the window manager places the frame only when the window
    // asks for it as it is mapped (see eventFilter).
    const QWindow *native = windowHandle();
    if (native == nullptr || !native->isVisible()) {
        m_pendingFramePlace = place;
    }
    m_placingFrame.reset();
}

QByteArray TSprelioPad::assignmentFileName(const QString &path) const
{
    // The stored bytes name the file for as long as the path is the one read from them.
    if (!m_storedButtonSetting.isEmpty() && QFile::decodeName(m_storedButtonSetting) == path) {
        return m_storedButtonSetting;
    }
    return QFile::encodeName(path);
}

void TSprelioPad::SchreibIni()
{
    if (m_iniPath.isEmpty()) {
        return;
    }
    const auto checked = [this](const char *name) {
        return findChild<QAction *>(QLatin1String(name))->isChecked();
    };
    StoredSettings settings;
    settings.language = LangOffset;
    settings.left = x();
    settings.top = y();
    // A window that a window manager made wider than any screen must not store a width that the
    // next start refuses.
    settings.width = widthToStore(width() + StoredFrameWidth, availableScreenAreas());
    settings.buttonSetting = assignmentFileName(m_buttonSettingPath);
    settings.clipboardFontSize = m_clipboardFontSize;
    const std::optional<TargetCode> target = checkedTarget();
    settings.target = target.has_value() ? int(*target) : NoTarget;
    settings.font = checked("Sans") ? FontSansSerif : FontSerif;
    settings.stayOnTop = checked("Vorne");
    settings.showHints = checked("ShowH");
    settings.bold = checked("FettBtn");
    settings.italic = checked("KursivBtn");

    // The other keys and sections of the file stay; a file that is there but cannot be read would
    // lose them, so it is left alone.
    std::optional<ProfileDocument> ini = ProfileFile(m_iniPath).loadExisting();
    if (!ini) {
        return;
    }
    writeStoredSettings(*ini, settings);
    QDir().mkpath(QFileInfo(m_iniPath).absolutePath());
    // Nothing is shown when this fails: the close goes on, and the old file stays whole.
    ProfileFile(m_iniPath).save(*ini);
}

void TSprelioPad::closeEvent(QCloseEvent *event)
{
    if (m_assignmentChanged &&
        MessageQuestion(this, QString(), LangStr(2), StyleYesNo | StyleQuestion) == MessageYes) {
        Speichern1Click();
    }
    SchreibIni();
    QMainWindow::closeEvent(event);
}

} // namespace Sprelio
