#pragma once

// The rules of the "last active window" target that hold on any system: the messages, the paste
// key each kind of program expects and the choice of keycodes for it.

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>
#include <vector>

namespace Sprelio {

/// The German string IDs of the target's own texts.
namespace LastWindowMessage {
inline constexpr std::uint16_t Caption = 204;
inline constexpr std::uint16_t NoWindowKnown = 205;
inline constexpr std::uint16_t WindowClosed = 206;
inline constexpr std::uint16_t NotActivated = 207;
inline constexpr std::uint16_t NotX11 = 208;
inline constexpr std::uint16_t NoActiveWindowHint = 209;
} // namespace LastWindowMessage

/// True where windows of other programs can be followed and pasted into: an X11 session. Needs a
/// QGuiApplication.
bool lastWindowPlatformSupported();

/// The key chord that pastes the clipboard in a program.
enum class PasteChord {
    CtrlV,      // most programs
    CtrlShiftV, // terminal emulators, where Ctrl+V goes to the shell
    ShiftInsert // xterm and rxvt: the primary selection, which the copy fills as well
};

/// The paste chord for a window by the two parts of its WM_CLASS (instance and class name).
PasteChord pasteChordFor(QStringView instance, QStringView className);

// X keysyms used by the paste.
inline constexpr std::uint32_t KeysymV = 0x0076;
inline constexpr std::uint32_t KeysymInsert = 0xff63;
inline constexpr std::uint32_t KeysymShiftL = 0xffe1;
inline constexpr std::uint32_t KeysymControlL = 0xffe3;

/// The core keyboard mapping: keysymsPerKeycode keysyms for each keycode from minKeycode on.
struct KeyboardMapping
{
    int minKeycode = 8;
    int keysymsPerKeycode = 0;
    std::vector<std::uint32_t> keysyms;

    int maxKeycode() const;
    std::uint32_t keysym(int keycode, int column) const;
};

/// The keycode to press for a keysym; bind says that the keycode carries no symbol and must be
/// given the keysym for the moment of the paste.
struct KeyChoice
{
    int keycode = 0;
    bool bind = false;

    bool operator==(const KeyChoice &) const = default;
};

/// The keycode that gives keysym unshifted in the first group; else, where mayBind, the highest
/// keycode without any symbol, to be bound; else none.
std::optional<KeyChoice> chooseKeycode(const KeyboardMapping &mapping, std::uint32_t keysym, bool mayBind);

} // namespace Sprelio
