#include "storage/storedsettings.h"

#include "i18n/langstr.h"
#include "targets/clipboardpayload.h"
#include "targets/sendtargets.h"

#include <algorithm>
#include <limits>

namespace Sprelio {

namespace {

constexpr QByteArrayView Settings = "Settings";
constexpr QByteArrayView Options = "Options";

// Window coordinates beyond this are no place on any desktop, and would overflow rectangle sums.
constexpr int MaxCoordinate = 32767;

int readInRange(const ProfileDocument &ini, QByteArrayView section, QByteArrayView key, int defaultValue,
                int lowest, int highest)
{
    const int value = ini.readInteger(section, key, defaultValue);
    return value >= lowest && value <= highest ? value : defaultValue;
}

// Squared distance between two rectangles; 0 when they meet.
qint64 distanceSquared(const QRect &a, const QRect &b)
{
    const auto gap = [](qint64 lowA, qint64 highA, qint64 lowB, qint64 highB) {
        return std::max<qint64>({0, lowB - highA, lowA - highB});
    };
    const qint64 dx = gap(a.left(), a.right(), b.left(), b.right());
    const qint64 dy = gap(a.top(), a.bottom(), b.top(), b.bottom());
    return dx * dx + dy * dy;
}

} // namespace

int readStoredLanguage(const ProfileDocument &ini)
{
    const int language = ini.readInteger(Settings, "Language", FirstStartLanguage);
    return language == GermanOffset || language == EnglishOffset ? language : FirstStartLanguage;
}

StoredSettings readStoredSettings(const ProfileDocument &ini)
{
    const StoredSettings defaults;
    StoredSettings s;
    s.language = readStoredLanguage(ini);
    s.left = readInRange(ini, Settings, "Left", defaults.left, -MaxCoordinate, MaxCoordinate);
    s.top = readInRange(ini, Settings, "Top", defaults.top, -MaxCoordinate, MaxCoordinate);
    s.width = readInRange(ini, Settings, "Width", defaults.width, 1, MaxCoordinate);
    s.clipboardFontSize = readInRange(ini, Settings, "ClipboardFontSize", defaults.clipboardFontSize,
                                      MinClipboardFontSize, MaxClipboardFontSize);
    s.buttonSetting = ini.readString(Settings, "ButtonSetting");
    s.stayOnTop = ini.readBool(Settings, "StayOnTop", defaults.stayOnTop);
    s.showHints = ini.readBool(Settings, "ShowHints", defaults.showHints);
    s.target = ini.readInteger(Options, "Target", defaults.target);
    // Without a known face the targets would be sent an empty face name.
    s.font = readInRange(ini, Options, "Font", defaults.font, FontSerif, FontSansSerif);
    s.bold = ini.readBool(Options, "Bold", defaults.bold);
    s.italic = ini.readBool(Options, "Italic", defaults.italic);
    return s;
}

void writeStoredSettings(ProfileDocument &ini, const StoredSettings &s)
{
    ini.writeInteger(Settings, "Language", s.language);
    if (s.placeKnown) {
        ini.writeInteger(Settings, "Left", s.left);
        ini.writeInteger(Settings, "Top", s.top);
    }
    ini.writeInteger(Settings, "Width", s.width);
    ini.writeString(Settings, "ButtonSetting", s.buttonSetting);
    ini.writeInteger(Settings, "ClipboardFontSize", s.clipboardFontSize);
    if (targetFromCode(s.target).has_value()) {
        ini.writeInteger(Options, "Target", s.target);
    }
    ini.writeInteger(Options, "Font", s.font == FontSansSerif ? FontSansSerif : FontSerif);
    ini.writeBool(Settings, "StayOnTop", s.stayOnTop);
    ini.writeBool(Settings, "ShowHints", s.showHints);
    ini.writeBool(Options, "Bold", s.bold);
    ini.writeBool(Options, "Italic", s.italic);
}

int widthForScreens(int storedWidth, const QList<QRect> &screens)
{
    int widest = 0;
    for (const QRect &screen : screens) {
        widest = std::max(widest, screen.width());
    }
    // Without a screen to measure against, the stored width is all there is.
    if (widest == 0 || storedWidth <= widest) {
        return storedWidth;
    }
    return StoredSettings().width;
}

int widthToStore(int storedWidth, const QList<QRect> &screens)
{
    int widest = 0;
    for (const QRect &screen : screens) {
        widest = std::max(widest, screen.width());
    }
    return widest > 0 ? std::min(storedWidth, widest) : storedWidth;
}

QPoint placeOnScreens(const QRect &window, const QList<QRect> &screens)
{
    const QRect *nearest = nullptr;
    qint64 nearestDistance = std::numeric_limits<qint64>::max();
    for (const QRect &screen : screens) {
        const qint64 distance = distanceSquared(window, screen);
        if (distance == 0) {
            return window.topLeft();
        }
        if (distance < nearestDistance) {
            nearestDistance = distance;
            nearest = &screen;
        }
    }
    if (nearest == nullptr) {
        return window.topLeft();
    }
    // A window larger than the screen keeps its top left corner, and with it the title bar, in view.
    const int x = std::max(nearest->left(), std::min(window.left(), nearest->right() + 1 - window.width()));
    const int y = std::max(nearest->top(), std::min(window.top(), nearest->bottom() + 1 - window.height()));
    return {x, y};
}

} // namespace Sprelio
