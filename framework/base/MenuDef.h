// Menus built in code: a tree of popups, items (text and command id) and separators. The text
// marks the access key with '&' and may name the shortcut after a tab ("&Open...\tCtrl+O").
// An item with ID_FILE_MRU_FILE1 stands for the recent-file list, which replaces it when the
// menu opens.
#pragma once

#include <string>
#include <vector>

namespace fw {

struct MenuDef {
    std::string text;
    unsigned id = 0;
    bool separator = false;
    std::vector<MenuDef> items;  // a popup when not empty

    static MenuDef Item(std::string text, unsigned id) { return {std::move(text), id, false, {}}; }
    static MenuDef Separator() { return {{}, 0, true, {}}; }
    static MenuDef Popup(std::string text, std::vector<MenuDef> items) {
        return {std::move(text), 0, false, std::move(items)};
    }
};

// Accelerator flags: the key is a virtual-key code; Shift, Ctrl and Alt as needed.
inline constexpr unsigned FVIRTKEY = 0x01;
inline constexpr unsigned FSHIFT = 0x04;
inline constexpr unsigned FCONTROL = 0x08;
inline constexpr unsigned FALT = 0x10;

struct Accelerator {
    unsigned flags = FVIRTKEY;
    unsigned key = 0;  // virtual-key code
    unsigned command = 0;
};

}  // namespace fw
