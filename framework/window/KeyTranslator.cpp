#include "framework/window/KeyTranslator.h"

#include "framework/window/VirtualKeys.h"

#include <unordered_map>

namespace fw {
namespace {

unsigned KeypadKey(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return VK_NUMPAD0 + static_cast<unsigned>(key - Qt::Key_0);
    switch (key) {
        case Qt::Key_Asterisk:
            return VK_MULTIPLY;
        case Qt::Key_Plus:
            return VK_ADD;
        case Qt::Key_Minus:
            return VK_SUBTRACT;
        case Qt::Key_Period:
        case Qt::Key_Comma:
            return VK_DECIMAL;
        case Qt::Key_Slash:
            return VK_DIVIDE;
        case Qt::Key_Enter:
            return VK_RETURN;
        default:
            return 0;
    }
}

const std::unordered_map<int, unsigned>& KeyTable() {
    static const std::unordered_map<int, unsigned> table = {
        {Qt::Key_Backspace, VK_BACK},
        {Qt::Key_Tab, VK_TAB},
        {Qt::Key_Backtab, VK_TAB},
        {Qt::Key_Clear, VK_CLEAR},
        {Qt::Key_Return, VK_RETURN},
        {Qt::Key_Enter, VK_RETURN},
        {Qt::Key_Shift, VK_SHIFT},
        {Qt::Key_Control, VK_CONTROL},
        {Qt::Key_Alt, VK_MENU},
        {Qt::Key_AltGr, VK_MENU},
        {Qt::Key_Pause, VK_PAUSE},
        {Qt::Key_CapsLock, VK_CAPITAL},
        {Qt::Key_Escape, VK_ESCAPE},
        {Qt::Key_Space, VK_SPACE},
        {Qt::Key_PageUp, VK_PRIOR},
        {Qt::Key_PageDown, VK_NEXT},
        {Qt::Key_End, VK_END},
        {Qt::Key_Home, VK_HOME},
        {Qt::Key_Left, VK_LEFT},
        {Qt::Key_Up, VK_UP},
        {Qt::Key_Right, VK_RIGHT},
        {Qt::Key_Down, VK_DOWN},
        {Qt::Key_Select, VK_SELECT},
        {Qt::Key_Print, VK_SNAPSHOT},
        {Qt::Key_Insert, VK_INSERT},
        {Qt::Key_Delete, VK_DELETE},
        {Qt::Key_Help, VK_HELP},
        {Qt::Key_Meta, VK_LWIN},
        {Qt::Key_Menu, VK_APPS},
        {Qt::Key_NumLock, VK_NUMLOCK},
        {Qt::Key_ScrollLock, VK_SCROLL},
        {Qt::Key_Cancel, VK_CANCEL},
        {Qt::Key_Semicolon, VK_OEM_1},
        {Qt::Key_Colon, VK_OEM_1},
        {Qt::Key_Equal, VK_OEM_PLUS},
        {Qt::Key_Plus, VK_OEM_PLUS},
        {Qt::Key_Comma, VK_OEM_COMMA},
        {Qt::Key_Less, VK_OEM_COMMA},
        {Qt::Key_Minus, VK_OEM_MINUS},
        {Qt::Key_Underscore, VK_OEM_MINUS},
        {Qt::Key_Period, VK_OEM_PERIOD},
        {Qt::Key_Greater, VK_OEM_PERIOD},
        {Qt::Key_Slash, VK_OEM_2},
        {Qt::Key_Question, VK_OEM_2},
        {Qt::Key_QuoteLeft, VK_OEM_3},
        {Qt::Key_AsciiTilde, VK_OEM_3},
        {Qt::Key_BracketLeft, VK_OEM_4},
        {Qt::Key_BraceLeft, VK_OEM_4},
        {Qt::Key_Backslash, VK_OEM_5},
        {Qt::Key_Bar, VK_OEM_5},
        {Qt::Key_BracketRight, VK_OEM_6},
        {Qt::Key_BraceRight, VK_OEM_6},
        {Qt::Key_Apostrophe, VK_OEM_7},
        {Qt::Key_QuoteDbl, VK_OEM_7},
        // Shifted digits of the common layout name the digit key.
        {Qt::Key_Exclam, '1'},
        {Qt::Key_At, '2'},
        {Qt::Key_NumberSign, '3'},
        {Qt::Key_Dollar, '4'},
        {Qt::Key_Percent, '5'},
        {Qt::Key_AsciiCircum, '6'},
        {Qt::Key_Ampersand, '7'},
        {Qt::Key_Asterisk, '8'},
        {Qt::Key_ParenLeft, '9'},
        {Qt::Key_ParenRight, '0'},
    };
    return table;
}

bool IsExtended(int key, bool keypad) {
    switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Insert:
        case Qt::Key_Delete:
        case Qt::Key_NumLock:
        case Qt::Key_Print:
            return !keypad;
        case Qt::Key_Enter:
            return true;
        case Qt::Key_Slash:
            return keypad;
        default:
            return false;
    }
}

// The character phase: control keys give their control characters whatever text the platform
// attached; Ctrl with a letter gives 1..26; otherwise the printable characters of the text.
std::u32string CharactersOf(int key, unsigned vk, Qt::KeyboardModifiers mods, const QString& text) {
    const bool ctrl = mods & Qt::ControlModifier;
    const bool alt = mods & Qt::AltModifier;
    switch (vk) {
        case VK_TAB:
            return ctrl ? U"" : U"\t";
        case VK_RETURN:
            return ctrl ? U"\n" : U"\r";
        case VK_BACK:
            return ctrl ? U"\x7f" : U"\b";
        case VK_ESCAPE:
            return U"\x1b";
        case VK_DELETE:
            return U"";
        default:
            break;
    }
    if (ctrl && !alt) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return std::u32string(1, char32_t(key - Qt::Key_A + 1));
        if (key == Qt::Key_BracketLeft)
            return U"\x1b";
        if (key == Qt::Key_Backslash)
            return U"\x1c";
        if (key == Qt::Key_BracketRight)
            return U"\x1d";
        if (key == Qt::Key_Space)
            return U" ";
        return U"";
    }
    std::u32string out;
    for (char32_t c : text.toUcs4()) {
        if (c < 0x20 || c == 0x7F)
            return U"";
        out.push_back(c);
    }
    return out;
}

}  // namespace

unsigned VirtualKeyOf(int qtKey, bool keypad) {
    if (keypad) {
        if (unsigned vk = KeypadKey(qtKey))
            return vk;
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return static_cast<unsigned>(qtKey);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return static_cast<unsigned>(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return VK_F1 + static_cast<unsigned>(qtKey - Qt::Key_F1);
    auto it = KeyTable().find(qtKey);
    return it == KeyTable().end() ? 0 : it->second;
}

int QtKeyOfVirtualKey(unsigned vk) {
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        return static_cast<int>(vk);
    if (vk >= VK_F1 && vk <= VK_F24)
        return Qt::Key_F1 + static_cast<int>(vk - VK_F1);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9)
        return Qt::Key_0 + static_cast<int>(vk - VK_NUMPAD0);
    switch (vk) {
        case VK_BACK:
            return Qt::Key_Backspace;
        case VK_TAB:
            return Qt::Key_Tab;
        case VK_RETURN:
            return Qt::Key_Return;
        case VK_ESCAPE:
            return Qt::Key_Escape;
        case VK_SPACE:
            return Qt::Key_Space;
        case VK_PRIOR:
            return Qt::Key_PageUp;
        case VK_NEXT:
            return Qt::Key_PageDown;
        case VK_END:
            return Qt::Key_End;
        case VK_HOME:
            return Qt::Key_Home;
        case VK_LEFT:
            return Qt::Key_Left;
        case VK_UP:
            return Qt::Key_Up;
        case VK_RIGHT:
            return Qt::Key_Right;
        case VK_DOWN:
            return Qt::Key_Down;
        case VK_INSERT:
            return Qt::Key_Insert;
        case VK_DELETE:
            return Qt::Key_Delete;
        case VK_CANCEL:
            return Qt::Key_Cancel;
        case VK_MULTIPLY:
            return Qt::Key_Asterisk;
        case VK_ADD:
            return Qt::Key_Plus;
        case VK_SUBTRACT:
            return Qt::Key_Minus;
        case VK_DECIMAL:
            return Qt::Key_Period;
        case VK_DIVIDE:
            return Qt::Key_Slash;
        default:
            break;
    }
    for (const auto& [qt, v] : KeyTable()) {
        if (v == vk)
            return qt;
    }
    return 0;
}

KeyStroke TranslateKey(const KeyInput& in) {
    KeyStroke out;
    const bool keypad = in.modifiers & Qt::KeypadModifier;
    const bool alt = in.modifiers & Qt::AltModifier;
    const bool ctrl = in.modifiers & Qt::ControlModifier;
    out.vk = VirtualKeyOf(in.key, keypad);
    const bool altKeyItself = out.vk == VK_MENU;
    out.system = (alt && !ctrl) || (altKeyItself && !ctrl) || (out.vk == VkFunction(10) && !ctrl);

    unsigned scan = in.nativeScanCode >= 8 ? (in.nativeScanCode - 8) & 0xFF : 0;
    std::uint32_t lp = 1u | (scan << 16);
    if (IsExtended(in.key, keypad))
        lp |= 1u << 24;
    if (alt)
        lp |= 1u << 29;
    if (in.release || in.autoRepeat)
        lp |= 1u << 30;
    if (in.release)
        lp |= 1u << 31;
    out.lParam = static_cast<LPARAM>(lp);

    if (!in.release)
        out.chars = CharactersOf(in.key, out.vk, in.modifiers, in.text);
    return out;
}

}  // namespace fw
