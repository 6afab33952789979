#include "targets/lastwindow.h"

#include <QGuiApplication>

#include <array>

namespace Sprelio {

bool lastWindowPlatformSupported()
{
    return QGuiApplication::platformName() == u"xcb";
}

namespace {

// WM_CLASS names, in lower case, of the terminals that paste with Ctrl+Shift+V.
constexpr std::array<QStringView, 20> CtrlShiftVTerminals{u"gnome-terminal",  u"gnome-terminal-server",
                                                          u"konsole",         u"xfce4-terminal",
                                                          u"alacritty",       u"kitty",
                                                          u"terminator",      u"tilix",
                                                          u"qterminal",       u"lxterminal",
                                                          u"mate-terminal",   u"terminology",
                                                          u"sakura",          u"guake",
                                                          u"tilda",           u"st-256color",
                                                          u"wezterm",         u"deepin-terminal",
                                                          u"cool-retro-term", u"roxterm"};

// Those that bind no Ctrl+Shift+V by default and paste the primary selection with Shift+Insert.
constexpr std::array<QStringView, 5> ShiftInsertTerminals{u"xterm", u"uxterm", u"urxvt", u"rxvt",
                                                          u"rxvt-unicode"};

bool listed(QStringView name, auto const &list)
{
    const QString lower = name.toString().toLower();
    for (QStringView entry : list) {
        if (lower == entry) {
            return true;
        }
    }
    return false;
}

} // namespace

PasteChord pasteChordFor(QStringView instance, QStringView className)
{
    for (QStringView name : {className, instance}) {
        if (listed(name, ShiftInsertTerminals)) {
            return PasteChord::ShiftInsert;
        }
        if (listed(name, CtrlShiftVTerminals)) {
            return PasteChord::CtrlShiftV;
        }
    }
    return PasteChord::CtrlV;
}

int KeyboardMapping::maxKeycode() const
{
    if (keysymsPerKeycode <= 0) {
        return minKeycode - 1;
    }
    return minKeycode + int(keysyms.size()) / keysymsPerKeycode - 1;
}

std::uint32_t KeyboardMapping::keysym(int keycode, int column) const
{
    if (keycode < minKeycode || keycode > maxKeycode() || column < 0 || column >= keysymsPerKeycode) {
        return 0;
    }
    return keysyms.at(std::size_t(keycode - minKeycode) * std::size_t(keysymsPerKeycode) +
                      std::size_t(column));
}

std::optional<KeyChoice> chooseKeycode(const KeyboardMapping &mapping, std::uint32_t keysym, bool mayBind)
{
    for (int keycode = mapping.minKeycode; keycode <= mapping.maxKeycode(); ++keycode) {
        if (mapping.keysym(keycode, 0) == keysym) {
            return KeyChoice{keycode, false};
        }
    }
    if (!mayBind) {
        return std::nullopt;
    }
    // The highest free keycode: the low ones belong to keys that a keyboard really has.
    for (int keycode = mapping.maxKeycode(); keycode >= mapping.minKeycode; --keycode) {
        bool free = true;
        for (int column = 0; column < mapping.keysymsPerKeycode && free; ++column) {
            free = mapping.keysym(keycode, column) == 0;
        }
        if (free) {
            return KeyChoice{keycode, true};
        }
    }
    return std::nullopt;
}

} // namespace Sprelio
