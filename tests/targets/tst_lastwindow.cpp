#include "i18n/langstr.h"
#include "targets/lastwindow.h"
#include "targets/lastwindowtarget.h"
#include "targets/sendtargets.h"

#include <QGuiApplication>
#include <QTest>

using namespace Sprelio;

Q_DECLARE_METATYPE(PasteChord)
Q_DECLARE_METATYPE(std::optional<KeyChoice>)

namespace {

// A core keyboard mapping of two keysyms per keycode from keycode 8 on, with the given entries
// (keycode, unshifted, shifted); every other keycode carries nothing.
KeyboardMapping mappingWith(std::initializer_list<std::tuple<int, std::uint32_t, std::uint32_t>> keys)
{
    KeyboardMapping mapping;
    mapping.minKeycode = 8;
    mapping.keysymsPerKeycode = 2;
    mapping.keysyms.assign(2 * (255 - 8 + 1), 0);
    for (const auto &[keycode, plain, shifted] : keys) {
        mapping.keysyms.at(std::size_t(2 * (keycode - 8))) = plain;
        mapping.keysyms.at(std::size_t(2 * (keycode - 8) + 1)) = shifted;
    }
    return mapping;
}

// The keys of the paste on a US layout, and the same keys on a Greek one, where keycode 55
// gives omega (as setxkbmap gr leaves it); 93 and 255 carry nothing on either.
constexpr std::uint32_t GreekOmega = 0x7f9;
const KeyboardMapping Us = mappingWith({{37, KeysymControlL, 0},
                                        {50, KeysymShiftL, 0},
                                        {55, KeysymV, 'V'},
                                        {118, KeysymInsert, 0},
                                        {254, 'x', 'X'}});
const KeyboardMapping Greek = mappingWith({{37, KeysymControlL, 0},
                                           {50, KeysymShiftL, 0},
                                           {55, GreekOmega, 0x7d9},
                                           {118, KeysymInsert, 0},
                                           {254, 'x', 'X'},
                                           {255, 'y', 'Y'}});

class CountingLastWindow final : public LastWindowTarget
{
public:
    int sentAt = -1;
    void send(const SendInputs &, int clipboardFontSize, SendHost &) override { sentAt = clipboardFontSize; }
};

class QuietHost final : public SendHost
{
public:
    void CopyEditToClipboard(int) override {}
    void bringToFront() override {}
    void MessageInfo(std::uint16_t) override {}
};

class NoAutomation final : public AutomationTargets
{
public:
    void SendToWord(const SendInputs &, SendHost &) override {}
    void SendToExcel(const SendInputs &, SendHost &) override {}
    void SendToPowerPoint(const SendInputs &, SendHost &) override {}
    void SendToOpenOffice(const SendInputs &, SendHost &) override {}
};

} // namespace

class TestLastWindow final : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { LangOffset = GermanOffset; }

    void pasteChordByWindowClass_data()
    {
        QTest::addColumn<QString>("instance");
        QTest::addColumn<QString>("className");
        QTest::addColumn<PasteChord>("chord");
        // WM_CLASS as xprop shows it for each program.
        QTest::newRow("xterm") << "xterm"
                               << "XTerm" << PasteChord::ShiftInsert;
        QTest::newRow("uxterm") << "uxterm"
                                << "UXTerm" << PasteChord::ShiftInsert;
        QTest::newRow("urxvt") << "urxvt"
                               << "URxvt" << PasteChord::ShiftInsert;
        QTest::newRow("gnome-terminal") << "gnome-terminal-server"
                                        << "Gnome-terminal" << PasteChord::CtrlShiftV;
        QTest::newRow("konsole") << "konsole"
                                 << "konsole" << PasteChord::CtrlShiftV;
        QTest::newRow("xfce4-terminal") << "xfce4-terminal"
                                        << "Xfce4-terminal" << PasteChord::CtrlShiftV;
        QTest::newRow("Alacritty") << "Alacritty"
                                   << "Alacritty" << PasteChord::CtrlShiftV;
        QTest::newRow("kitty") << "kitty"
                               << "kitty" << PasteChord::CtrlShiftV;
        QTest::newRow("Terminator") << "terminator"
                                    << "Terminator" << PasteChord::CtrlShiftV;
        QTest::newRow("Tilix") << "tilix"
                               << "Tilix" << PasteChord::CtrlShiftV;
        QTest::newRow("qterminal") << "qterminal"
                                   << "qterminal" << PasteChord::CtrlShiftV;
        QTest::newRow("lxterminal") << "lxterminal"
                                    << "Lxterminal" << PasteChord::CtrlShiftV;
        QTest::newRow("Chromium") << "chromium"
                                  << "Chromium" << PasteChord::CtrlV;
        QTest::newRow("Writer") << "libreoffice"
                                << "libreoffice-writer" << PasteChord::CtrlV;
        QTest::newRow("zenity") << "zenity"
                                << "Zenity" << PasteChord::CtrlV;
        // A name that merely contains a terminal's name is another program.
        QTest::newRow("xterm-like editor") << "xtermedit"
                                           << "Xtermedit" << PasteChord::CtrlV;
        QTest::newRow("no WM_CLASS") << ""
                                     << "" << PasteChord::CtrlV;
    }

    void pasteChordByWindowClass()
    {
        QFETCH(QString, instance);
        QFETCH(QString, className);
        QFETCH(PasteChord, chord);
        QCOMPARE(pasteChordFor(instance, className), chord);
    }

    void keycodeChoice_data()
    {
        QTest::addColumn<bool>("greek");
        QTest::addColumn<uint>("keysym");
        QTest::addColumn<bool>("mayBind");
        QTest::addColumn<std::optional<KeyChoice>>("choice");
        QTest::newRow("v on US") << false << uint(KeysymV) << true << std::optional(KeyChoice{55, false});
        QTest::newRow("Insert") << false << uint(KeysymInsert) << true
                                << std::optional(KeyChoice{118, false});
        QTest::newRow("Control") << true << uint(KeysymControlL) << false
                                 << std::optional(KeyChoice{37, false});
        // Omega's key must not be pressed for v: the highest free keycode is bound instead.
        QTest::newRow("v on Greek binds a free key")
            << true << uint(KeysymV) << true << std::optional(KeyChoice{253, true});
        QTest::newRow("highest free keycode on US")
            << false << uint('q') << true << std::optional(KeyChoice{255, true});
        QTest::newRow("a shifted V does not count")
            << true << uint('V') << false << std::optional<KeyChoice>();
        QTest::newRow("modifier missing") << true << uint(0xffe9) << false << std::optional<KeyChoice>();
    }

    void keycodeChoice()
    {
        QFETCH(bool, greek);
        QFETCH(uint, keysym);
        QFETCH(bool, mayBind);
        QFETCH(std::optional<KeyChoice>, choice);
        QCOMPARE(chooseKeycode(greek ? Greek : Us, keysym, mayBind), choice);
    }

    void noFreeKeycodeNoChoice()
    {
        KeyboardMapping full = mappingWith({});
        std::fill(full.keysyms.begin(), full.keysyms.end(), 'a');
        QCOMPARE(chooseKeycode(full, KeysymV, true), std::optional<KeyChoice>());
        QCOMPARE(chooseKeycode(KeyboardMapping{}, KeysymV, true), std::optional<KeyChoice>());
    }

    void lastWindowTargetGetsClipboardSize()
    {
        NoAutomation automation;
        QuietHost host;
        CountingLastWindow lastWindow;
        sendToTarget(TargetCode::LastWindow, {QByteArray("n$t\xd4S"), {}, false, false}, 12, automation, host,
                     &lastWindow);
        QCOMPARE(lastWindow.sentAt, 12);
    }

    void platformCheck_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("message");
        QTest::newRow("German") << int(GermanOffset)
                                << "Das Senden in das zuletzt aktive Fenster geht nur unter X11.";
        QTest::newRow("English") << int(EnglishOffset)
                                 << "Sending into the last active window works under X11 only.";
    }

    // This test runs on the offscreen platform, as a native Wayland session would: no X11.
    void platformCheck()
    {
        QFETCH(int, language);
        QFETCH(QString, message);
        QVERIFY(!lastWindowPlatformSupported());
        LangOffset = language;
        QuietHost host;
        try {
            createLastWindowTarget()->send({QByteArray("a"), {}, false, false}, 10, host);
            QFAIL("the send went through");
        } catch (const SendError &error) {
            QVERIFY2(error.message().startsWith(message), qPrintable(error.message()));
        }
    }
};

QTEST_MAIN(TestLastWindow)
#include "tst_lastwindow.moc"
