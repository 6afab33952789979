#include "app/platformchoice.h"
#include "app/programicons.h"
#include "app/singleinstance.h"
#include "app/splash.h"
#include "app/splashpicture.h"
#include "app/spreliopad.h"
#include "dialogs/messageboxes.h"
#include "i18n/langstr.h"
#include "palette/phoneticfonts.h"
#include "storage/inilocation.h"
#include "storage/profilefile.h"
#include "storage/storedsettings.h"

#include <QApplication>
#include <QProxyStyle>
#include <QScreen>

#include <memory>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

class SprelioStyle final : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    // Hints (tooltips) come up after 200 ms, not after the desktop's usual pause.
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay) {
            return 200;
        }
        // Alt pressed and released alone takes the keyboard to the menu bar, in every style.
        if (hint == SH_MenuBar_AltKeyNavigation) {
            return 1;
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    // The menu bar makes its overflow button at once, and the style's own picture for it is a PNG:
    // reading a single PNG brings in every image format plugin.
    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const override
    {
        switch (icon) {
        case SP_ToolBarHorizontalExtensionButton:
            return Sprelio::programIcon("extension-h");
        case SP_ToolBarVerticalExtensionButton:
            return Sprelio::programIcon("extension-v");
        default:
            return QProxyStyle::standardIcon(icon, option, widget);
        }
    }
};

} // namespace

int main(int argc, char *argv[])
{
    Sprelio::PlatformChoice platform;
    QApplication app(argc, argv);
    platform.release();
    // A second start only brings the running instance forward, before any window exists.
    Sprelio::SingleInstance instance(Sprelio::defaultInstanceKey());
    if (!instance.claim()) {
        return 0;
    }

    QApplication::setApplicationName(QStringLiteral("Sprelio"));
    QApplication::setApplicationVersion(QStringLiteral(SPRELIO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.example.sprelio.Sprelio"));
    QApplication::setStyle(new SprelioStyle);

    // Answered from now on: at the first start the window asks for the language while it is built,
    // and a second start then brings that dialog forward.
    QObject::connect(&instance, &Sprelio::SingleInstance::activationRequested, &app,
                     [] { Sprelio::activateInstanceWindow(Sprelio::programMainWindow()); });
    const QString iniPath = Sprelio::settingsFilePath();
    const int language = Sprelio::readStoredLanguage(Sprelio::ProfileFile(iniPath).load());
    if (const QString problem = instance.problem(); !problem.isEmpty()) {
        if (language != Sprelio::FirstStartLanguage) {
            Sprelio::LangOffset = language;
        }
        Sprelio::MessageInfo(nullptr, problem);
    }
    std::unique_ptr<Sprelio::TSprelioPad> window;
    std::unique_ptr<Sprelio::TSplash> splash;
    const auto createWindow = [&] {
        window = std::make_unique<Sprelio::TSprelioPad>(iniPath);
        window->setSplash(splash.get());
    };
    if (language == Sprelio::FirstStartLanguage) {
        // The window asks for the language while it is built, and the splash then greets in it.
        Sprelio::registerPhoneticFonts();
        splash = std::make_unique<Sprelio::TSplash>();
        createWindow();
        splash->showAtStart(window.get());
    } else {
        // The splash needs only the language; the main window is built while the splash is on screen.
        // The picture of an earlier start's splash is painted before the font system is loaded.
        Sprelio::LangOffset = language;
        const QScreen *screen = QGuiApplication::primaryScreen();
        const qreal pixelRatio = screen != nullptr ? screen->devicePixelRatio() : 1.0;
        const QString pictureFile = Sprelio::splashPictureFile(language, pixelRatio);
        QImage picture = Sprelio::loadSplashPicture(
            pictureFile, QSize(Sprelio::TSplash::DesignWidth, Sprelio::TSplash::StartupHeight) * pixelRatio);
        if (picture.isNull()) {
            Sprelio::registerPhoneticFonts();
        }
        splash = std::make_unique<Sprelio::TSplash>(nullptr, picture);
        QObject::connect(
            splash.get(), &Sprelio::TSplash::startupPainted, splash.get(),
            [&, pictureFile, picture]() mutable {
                Sprelio::registerPhoneticFonts();
                splash->completeContent();
                Sprelio::keepSplashPicture(splash->grab().toImage(), picture, pictureFile);
                picture = QImage();
                createWindow();
                splash->setMainWindow(window.get());
#if defined(__GLIBC__)
                // Building the window frees much of what it allocated; the allocator keeps such
                // memory for the process unless asked to give it back.
                malloc_trim(0);
#endif
            },
            Qt::QueuedConnection);
        splash->showAtStart(nullptr);
    }
    const int result = QApplication::exec();
    window.reset();
    splash.reset();
    return result;
}
