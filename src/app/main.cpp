#include "app/inilocation.h"
#include "app/messageboxes.h"
#include "app/singleinstance.h"
#include "app/splash.h"
#include "app/spreliopad.h"
#include "palette/phoneticfonts.h"

#include <QApplication>
#include <QProxyStyle>

namespace {

// Hints (tooltips) come up after 200 ms, not after the desktop's usual pause.
class HintPauseStyle final : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay) {
            return 200;
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // A second start only brings the running instance forward, before any window exists.
    Sprelio::SingleInstance instance(Sprelio::defaultInstanceKey());
    if (!instance.claim()) {
        return 0;
    }

    QApplication::setApplicationName(QStringLiteral("Sprelio"));
    QApplication::setApplicationVersion(QStringLiteral(SPRELIO_VERSION));
    QApplication::setStyle(new HintPauseStyle);
    Sprelio::registerPhoneticFonts();

    // Answered from now on: at the first start the window asks for the language while it is built,
    // and a second start then brings that dialog forward.
    QObject::connect(&instance, &Sprelio::SingleInstance::activationRequested, &app,
                     [] { Sprelio::activateInstanceWindow(Sprelio::programMainWindow()); });
    Sprelio::TSprelioPad window(Sprelio::settingsFilePath());
    window.Splash()->showAtStart(&window);
    return QApplication::exec();
}
