// Colours as 32-bit words 0x00BBGGRR (red in the low byte), as every stored style, brush and pen
// of the suite keeps them, and the table of system colours by index.
#pragma once

#include <QColor>

#include <array>
#include <cstdint>

namespace fw {

using ColorRef = std::uint32_t;

constexpr ColorRef Rgb(int r, int g, int b) {
    return static_cast<ColorRef>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(ColorRef c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(ColorRef c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(ColorRef c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

inline QColor ToQColor(ColorRef c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}
inline ColorRef FromQColor(const QColor& c) {
    return Rgb(c.red(), c.green(), c.blue());
}
// The pixel value of a colour in a 32-bit image (0xAARRGGBB, opaque).
constexpr std::uint32_t ToPixel(ColorRef c) {
    return 0xFF000000u | (static_cast<std::uint32_t>(RedOf(c)) << 16) |
           (static_cast<std::uint32_t>(GreenOf(c)) << 8) | static_cast<std::uint32_t>(BlueOf(c));
}
constexpr ColorRef FromPixel(std::uint32_t p) {
    return Rgb(static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
               static_cast<int>(p & 0xFF));
}

// System colour indices 0 to 30.
inline constexpr int COLOR_SCROLLBAR = 0;
inline constexpr int COLOR_BACKGROUND = 1;
inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_MENU = 4;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWFRAME = 6;
inline constexpr int COLOR_MENUTEXT = 7;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_ACTIVEBORDER = 10;
inline constexpr int COLOR_INACTIVEBORDER = 11;
inline constexpr int COLOR_APPWORKSPACE = 12;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
inline constexpr int COLOR_INFOTEXT = 23;
inline constexpr int COLOR_INFOBK = 24;
inline constexpr int COLOR_HOTLIGHT = 26;
inline constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
inline constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
inline constexpr int COLOR_MENUHILIGHT = 29;
inline constexpr int COLOR_MENUBAR = 30;
inline constexpr int COLOR_3DFACE = COLOR_BTNFACE;
inline constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
inline constexpr int COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT;
inline constexpr int kSysColorCount = 31;

// The fixed table every program starts with (a classic grey scheme); drawing must not depend
// on the desktop theme, so tests see the same colours everywhere.
inline constexpr std::array<ColorRef, kSysColorCount> kDefaultSysColors = {
    Rgb(200, 200, 200), Rgb(0, 0, 0),       Rgb(0, 0, 128),     Rgb(128, 128, 128),
    Rgb(192, 192, 192), Rgb(255, 255, 255), Rgb(0, 0, 0),       Rgb(0, 0, 0),
    Rgb(0, 0, 0),       Rgb(255, 255, 255), Rgb(192, 192, 192), Rgb(192, 192, 192),
    Rgb(128, 128, 128), Rgb(0, 0, 128),     Rgb(255, 255, 255), Rgb(192, 192, 192),
    Rgb(128, 128, 128), Rgb(128, 128, 128), Rgb(0, 0, 0),       Rgb(192, 192, 192),
    Rgb(255, 255, 255), Rgb(0, 0, 0),       Rgb(223, 223, 223), Rgb(0, 0, 0),
    Rgb(255, 255, 225), Rgb(181, 181, 181), Rgb(0, 0, 255),     Rgb(16, 132, 208),
    Rgb(181, 181, 181), Rgb(0, 0, 128),     Rgb(192, 192, 192),
};

namespace detail {
inline std::array<ColorRef, kSysColorCount>& SysColorTable() {
    static std::array<ColorRef, kSysColorCount> table = kDefaultSysColors;
    return table;
}
}  // namespace detail

// The system colour of an index; black for an index outside 0..30. UI thread only.
inline ColorRef GetSysColor(int index) {
    if (index < 0 || index >= kSysColorCount)
        return 0;
    return detail::SysColorTable()[static_cast<std::size_t>(index)];
}
// Changes one entry (a program that follows the desktop palette); ignored out of range.
inline void SetSysColor(int index, ColorRef color) {
    if (index < 0 || index >= kSysColorCount)
        return;
    detail::SysColorTable()[static_cast<std::size_t>(index)] = color & 0xFFFFFF;
}
inline void ResetSysColors() {
    detail::SysColorTable() = kDefaultSysColors;
}

}  // namespace fw
