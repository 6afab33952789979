// The main window's window and help commands: stay on top, explanations, documents, web site,
// information window and exit.

#include "app/spreliopad.h"

#include "storage/inilocation.h"
#include "app/splash.h"
#include "i18n/langstr.h"

#include <QAction>
#include <QDesktopServices>
#include <QUrl>
#include <QWindow>

namespace Sprelio {

TSplash *TSprelioPad::Splash()
{
    if (m_splash == nullptr) {
        m_splash = new TSplash(this);
    }
    return m_splash;
}

void TSprelioPad::connectWindowCommands()
{
    const auto handle = [this](const char *name, void (TSprelioPad::*handler)()) {
        connect(findChild<QAction *>(QLatin1String(name)), &QAction::triggered, this, handler);
    };
    handle("Vorne", &TSprelioPad::VorneClick);
    handle("ShowH", &TSprelioPad::ShowHClick);
    handle("Hilfe", &TSprelioPad::HilfeClick);
    handle("Tastaturbelegung1", &TSprelioPad::Tastaturbelegung1Click);
    handle("KestrelWareHomepage1", &TSprelioPad::KestrelWareHomepage1Click);
    handle("Info1", &TSprelioPad::Info1Click);
    handle("Beenden1", &TSprelioPad::Beenden1Click);
}

void TSprelioPad::VorneClick()
{
    setStaysOnTop(findChild<QAction *>(QStringLiteral("Vorne"))->isChecked());
}

void TSprelioPad::setStaysOnTop(bool onTop)
{
    // Changing the widget's flags would destroy and recreate its native window, which hides it and
    // may move it. The native window's own flag only moves it between the stacking bands (on X11 it
    // asks the window manager for the "above" state; without a window manager nothing changes).
    QWindow *native = windowHandle();
    if (native == nullptr) {
        setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
        return;
    }
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
    overrideWindowFlags(flags);
    native->setFlag(Qt::WindowStaysOnTopHint, onTop);
}

TSprelioPad::TopmostBracket::TopmostBracket(TSprelioPad *window)
    : m_window(window)
{
    if (m_window->findChild<QAction *>(QStringLiteral("Vorne"))->isChecked()) {
        m_window->setStaysOnTop(false);
    }
}

TSprelioPad::TopmostBracket::~TopmostBracket()
{
    if (m_window->findChild<QAction *>(QStringLiteral("Vorne"))->isChecked()) {
        m_window->setStaysOnTop(true);
    }
}

void TSprelioPad::ShowHClick()
{
    setHintsShown(findChild<QAction *>(QStringLiteral("ShowH"))->isChecked());
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
    // A missing document or viewer is not reported.
    QDesktopServices::openUrl(QUrl::fromLocalFile(programFilePath(LangStr(nameId))));
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
    const TopmostBracket bracket(this);
    Splash()->showInformation(this);
}

} // namespace Sprelio
