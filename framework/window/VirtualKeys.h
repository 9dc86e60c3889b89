// Virtual-key codes: the layout-independent numbers by which key messages name keys. Letters
// and digits are their upper-case ASCII codes ('A' is 0x41, '0' is 0x30).
#pragma once

#include <cstdint>

namespace fw {

inline constexpr unsigned VK_LBUTTON = 0x01;
inline constexpr unsigned VK_RBUTTON = 0x02;
inline constexpr unsigned VK_CANCEL = 0x03;
inline constexpr unsigned VK_MBUTTON = 0x04;
inline constexpr unsigned VK_BACK = 0x08;
inline constexpr unsigned VK_TAB = 0x09;
inline constexpr unsigned VK_CLEAR = 0x0C;
inline constexpr unsigned VK_RETURN = 0x0D;
inline constexpr unsigned VK_SHIFT = 0x10;
inline constexpr unsigned VK_CONTROL = 0x11;
inline constexpr unsigned VK_MENU = 0x12;
inline constexpr unsigned VK_PAUSE = 0x13;
inline constexpr unsigned VK_CAPITAL = 0x14;
inline constexpr unsigned VK_ESCAPE = 0x1B;
inline constexpr unsigned VK_SPACE = 0x20;
inline constexpr unsigned VK_PRIOR = 0x21;
inline constexpr unsigned VK_NEXT = 0x22;
inline constexpr unsigned VK_END = 0x23;
inline constexpr unsigned VK_HOME = 0x24;
inline constexpr unsigned VK_LEFT = 0x25;
inline constexpr unsigned VK_UP = 0x26;
inline constexpr unsigned VK_RIGHT = 0x27;
inline constexpr unsigned VK_DOWN = 0x28;
inline constexpr unsigned VK_SELECT = 0x29;
inline constexpr unsigned VK_PRINT = 0x2A;
inline constexpr unsigned VK_SNAPSHOT = 0x2C;
inline constexpr unsigned VK_INSERT = 0x2D;
inline constexpr unsigned VK_DELETE = 0x2E;
inline constexpr unsigned VK_HELP = 0x2F;
inline constexpr unsigned VK_LWIN = 0x5B;
inline constexpr unsigned VK_RWIN = 0x5C;
inline constexpr unsigned VK_APPS = 0x5D;
inline constexpr unsigned VK_NUMPAD0 = 0x60;
inline constexpr unsigned VK_MULTIPLY = 0x6A;
inline constexpr unsigned VK_ADD = 0x6B;
inline constexpr unsigned VK_SEPARATOR = 0x6C;
inline constexpr unsigned VK_SUBTRACT = 0x6D;
inline constexpr unsigned VK_DECIMAL = 0x6E;
inline constexpr unsigned VK_DIVIDE = 0x6F;
inline constexpr unsigned VK_F1 = 0x70;
inline constexpr unsigned VK_F24 = 0x87;
inline constexpr unsigned VK_NUMLOCK = 0x90;
inline constexpr unsigned VK_SCROLL = 0x91;
inline constexpr unsigned VK_OEM_1 = 0xBA;       // ;:
inline constexpr unsigned VK_OEM_PLUS = 0xBB;    // =+
inline constexpr unsigned VK_OEM_COMMA = 0xBC;   // ,<
inline constexpr unsigned VK_OEM_MINUS = 0xBD;   // -_
inline constexpr unsigned VK_OEM_PERIOD = 0xBE;  // .>
inline constexpr unsigned VK_OEM_2 = 0xBF;       // /?
inline constexpr unsigned VK_OEM_3 = 0xC0;       // `~
inline constexpr unsigned VK_OEM_4 = 0xDB;       // [{
inline constexpr unsigned VK_OEM_5 = 0xDC;       // \|
inline constexpr unsigned VK_OEM_6 = 0xDD;       // ]}
inline constexpr unsigned VK_OEM_7 = 0xDE;       // '"

constexpr unsigned VkFunction(int n) {
    return VK_F1 + static_cast<unsigned>(n - 1);
}

// Bits of the high word of a key message's long parameter (the "flags" that handlers get).
inline constexpr unsigned KF_EXTENDED = 0x0100;
inline constexpr unsigned KF_ALTDOWN = 0x2000;
inline constexpr unsigned KF_REPEAT = 0x4000;
inline constexpr unsigned KF_UP = 0x8000;

// The state of a key as the last input event left it: bit 15 set while the key is down.
// Shift, Ctrl and Alt (VK_SHIFT, VK_CONTROL, VK_MENU) and the mouse buttons are always known;
// other keys are known once the framework has seen them go down or up.
std::int16_t GetKeyState(unsigned vk);
inline bool IsKeyDown(unsigned vk) {
    return (GetKeyState(vk) & 0x8000) != 0;
}

}  // namespace fw
