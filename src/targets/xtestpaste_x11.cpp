#include "targets/xtestpaste_x11.h"

#include <QDeadlineTimer>

#include <algorithm>
#include <vector>

// Xlib last: its macros collide with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include "targets/x11errortrap.h"

namespace Sprelio {

bool windowIsManaged(Display *display, XWindowId window)
{
    // A window that its program withdrew or destroyed has no WM_STATE any more.
    X11ErrorTrap trap(display);
    const Atom wmState = XInternAtom(display, "WM_STATE", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    const int status = XGetWindowProperty(display, window, wmState, 0, 2, False, wmState, &type, &format,
                                          &count, &after, &data);
    if (data != nullptr) {
        XFree(data);
    }
    return !trap.failed() && status == Success && type == wmState && count > 0;
}

std::pair<QString, QString> windowClass(Display *display, XWindowId window)
{
    X11ErrorTrap trap(display);
    XClassHint hint{nullptr, nullptr};
    std::pair<QString, QString> names;
    if (XGetClassHint(display, window, &hint) != 0) {
        names = {QString::fromLocal8Bit(hint.res_name), QString::fromLocal8Bit(hint.res_class)};
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    return names;
}

namespace {

// Whether the input focus is on window or inside it.
bool focusWithin(Display *display, Window root, Window window)
{
    X11ErrorTrap trap(display);
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    while (focus != 0 && focus != PointerRoot && focus != root) {
        if (focus == window) {
            return true;
        }
        Window rootReturn = 0;
        Window parent = 0;
        Window *children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display, focus, &rootReturn, &parent, &children, &count) == 0) {
            return false;
        }
        if (children != nullptr) {
            XFree(children);
        }
        focus = parent;
    }
    return false;
}

} // namespace

bool activateWindow(ActiveWindowTracker &tracker, XWindowId window, int timeoutMs)
{
    Display *display = tracker.display();
    {
        // Focus changes on the window wake the wait below, as the root's property changes do.
        X11ErrorTrap trap(display);
        XSelectInput(display, window, FocusChangeMask);
        if (trap.failed()) {
            return false;
        }
    }
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = window;
    request.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    request.xclient.format = 32;
    request.xclient.data.l[0] = 2; // from a pager: the user asked for it
    request.xclient.data.l[1] = long(tracker.serverTime());
    request.xclient.data.l[2] = 0;
    XSendEvent(display, tracker.root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
    XFlush(display);

    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        tracker.readEvents();
        if (tracker.activeWindow() == window && focusWithin(display, tracker.root(), window)) {
            return true;
        }
        if (deadline.hasExpired()) {
            return false;
        }
        tracker.waitForEvents(int(deadline.remainingTime()));
    }
}

bool xtestAvailable(Display *display)
{
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    return XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor) != 0;
}

namespace {

KeyboardMapping currentMapping(Display *display)
{
    int minKeycode = 0;
    int maxKeycode = 0;
    XDisplayKeycodes(display, &minKeycode, &maxKeycode);
    int perKeycode = 0;
    KeySym *keysyms =
        XGetKeyboardMapping(display, KeyCode(minKeycode), maxKeycode - minKeycode + 1, &perKeycode);
    KeyboardMapping mapping;
    mapping.minKeycode = minKeycode;
    mapping.keysymsPerKeycode = perKeycode;
    if (keysyms != nullptr) {
        const auto count = std::size_t(maxKeycode - minKeycode + 1) * std::size_t(perKeycode);
        mapping.keysyms.reserve(count);
        std::transform(keysyms, keysyms + count, std::back_inserter(mapping.keysyms),
                       [](KeySym keysym) { return std::uint32_t(keysym); });
        XFree(keysyms);
    }
    return mapping;
}

// The modifier keys that are down now.
std::vector<KeyCode> heldModifiers(Display *display)
{
    std::vector<KeyCode> held;
    char keys[32] = {};
    XQueryKeymap(display, keys);
    XModifierKeymap *modifiers = XGetModifierMapping(display);
    if (modifiers == nullptr) {
        return held;
    }
    for (int index = 0; index < 8 * modifiers->max_keypermod; ++index) {
        const KeyCode keycode = modifiers->modifiermap[index];
        const bool down = keycode != 0 && (keys[keycode / 8] & (1 << (keycode % 8))) != 0;
        if (down && std::find(held.begin(), held.end(), keycode) == held.end()) {
            held.push_back(keycode);
        }
    }
    XFreeModifiermap(modifiers);
    return held;
}

void fakeKey(Display *display, unsigned int keycode, bool press)
{
    XTestFakeKeyEvent(display, keycode, press ? True : False, CurrentTime);
}

} // namespace

bool typePasteChord(Display *display, PasteChord chord, int *boundKeycode)
{
    *boundKeycode = 0;
    const KeyboardMapping mapping = currentMapping(display);
    std::vector<std::uint32_t> modifierKeysyms;
    std::uint32_t keysym = KeysymV;
    switch (chord) {
    case PasteChord::CtrlV:
        modifierKeysyms = {KeysymControlL};
        break;
    case PasteChord::CtrlShiftV:
        modifierKeysyms = {KeysymControlL, KeysymShiftL};
        break;
    case PasteChord::ShiftInsert:
        modifierKeysyms = {KeysymShiftL};
        keysym = KeysymInsert;
        break;
    }
    std::vector<int> modifierKeycodes;
    for (const std::uint32_t modifier : modifierKeysyms) {
        const std::optional<KeyChoice> choice = chooseKeycode(mapping, modifier, false);
        if (!choice) {
            return false;
        }
        modifierKeycodes.push_back(choice->keycode);
    }
    const std::optional<KeyChoice> key = chooseKeycode(mapping, keysym, true);
    if (!key) {
        return false;
    }
    if (key->bind) {
        KeySym bound = keysym;
        XChangeKeyboardMapping(display, key->keycode, 1, &bound, 1);
        *boundKeycode = key->keycode;
    }

    // A key the user still holds, such as the Shift of a send that keeps the line, must not
    // change the chord: it is let go for the chord and pressed again after it.
    const std::vector<KeyCode> held = heldModifiers(display);
    for (const KeyCode keycode : held) {
        fakeKey(display, keycode, false);
    }
    for (const int keycode : modifierKeycodes) {
        fakeKey(display, unsigned(keycode), true);
    }
    fakeKey(display, unsigned(key->keycode), true);
    fakeKey(display, unsigned(key->keycode), false);
    for (auto keycode = modifierKeycodes.rbegin(); keycode != modifierKeycodes.rend(); ++keycode) {
        fakeKey(display, unsigned(*keycode), false);
    }
    for (const KeyCode keycode : held) {
        fakeKey(display, keycode, true);
    }
    XSync(display, False);
    return true;
}

void unbindKeycode(Display *display, int keycode)
{
    KeySym none = NoSymbol;
    XChangeKeyboardMapping(display, keycode, 1, &none, 1);
    XSync(display, False);
}

} // namespace Sprelio
