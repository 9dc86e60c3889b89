// Turns one key event of the toolkit into what a window's key handlers expect: the virtual-key
// code, the long parameter (repeat count, scan code, extended, Alt, previous-state and transition
// bits), whether the system variants apply (Alt held, or F10), and the characters of the
// character phase that follows a key-down (control characters for Tab 9, Enter 13, Ctrl+Enter
// 10, Backspace 8, Escape 27 and Ctrl+letter 1..26, as programs written for key messages expect).
// A pure function, so every rule is tested without a window.
#pragma once

#include "framework/window/Messages.h"

#include <QList>
#include <QString>
#include <Qt>

#include <string>

namespace fw {

struct KeyStroke {
    unsigned vk = 0;       // 0: the key has no virtual-key code; only characters are delivered
    bool system = false;   // deliver WM_SYSKEYDOWN/UP and WM_SYSCHAR instead
    LPARAM lParam = 0;     // the key message's long parameter
    std::u32string chars;  // character phase of a key-down; empty for none
};

struct KeyInput {
    int key = 0;  // Qt::Key
    Qt::KeyboardModifiers modifiers;
    QString text;
    bool autoRepeat = false;
    bool release = false;
    unsigned nativeScanCode = 0;
};

KeyStroke TranslateKey(const KeyInput& in);

// The virtual-key code of a toolkit key (0 when there is none). Keypad keys need the keypad flag.
unsigned VirtualKeyOf(int qtKey, bool keypad);
// The toolkit key of a virtual-key code (for shortcuts); 0 when there is none.
int QtKeyOfVirtualKey(unsigned vk);

}  // namespace fw
