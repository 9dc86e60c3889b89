// Tessaly's resources in code: command ids, string ids and texts, the menu, the accelerators
// and the toolbar of the main frame, and the program's icon.
#pragma once

#include <QIcon>
#include <string>
#include <vector>

#include "framework/base/MenuDef.h"
#include "framework/controls/ToolBar.h"

namespace tessaly {

// The Network and Edit menus' commands.
enum : unsigned {
    ID_NET_CONNECT = 32791,
    ID_NET_DISCONNECT = 32792,
    ID_NET_SEND_CONFIG = 32793,
    ID_NET_GET_CONFIG = 32794,
    ID_NET_ALWAYS_DISABLED = 32798,
    ID_NET_INFO = 32801,
    ID_EDIT_DELETE_NODE = 32804,
    ID_EDIT_VPORTS = 32805,
    ID_NET_BIND = 32808,
    ID_NET_GET_UNBOUND = 32809,
    ID_NET_ADDRESS_SERVER = 32810,
    ID_NET_UPDATE_SOFTWARE = 32811,
    ID_EDIT_NETWORK_ADDRESSES = 32812,
    ID_NET_SARN_KOLT = 32813,
    ID_NET_REBOOT = 32814,
    ID_NET_CLEAR_CONFIG = 32815,
    ID_EDIT_AIP = 32816,
    ID_NET_QUILLON = 32817,
    ID_NET_OPTIMIZE_EDMX = 32818,
    // The View menu's template views and the Insert menu's node types, made at run time.
    ID_VIEW_FIRST = 59394,
    ID_VIEW_LAST = 59394 + 99,
    ID_INSERT_FIRST = 59504,
    ID_INSERT_LAST = 59504 + 99,
    // Status-bar panes.
    ID_INDICATOR_SPACER = 59164,
    ID_INDICATOR_NODES = 59142,
    ID_INDICATOR_ONLINE = 59143,
    ID_INDICATOR_NETWORK = 59144,
};

// String ids of the user interface (the document's own are in EditorStrings.h).
enum : unsigned {
    IDR_MAINFRAME = 128,
    IDS_APP_TITLE = 57344,
    IDS_VALUE_INVALID = 20016,
    IDS_PASTE_MULTIPLE = 20024,
    IDS_CONFIRM_DELETE = 30000,
    IDS_CONFIRM_DELETE_TITLE = 30001,
    IDS_SEND_SELECTED = 30002,
    IDS_SEND_ALL = 30003,
    IDS_GET_SELECTED = 30004,
    IDS_REBOOT_SELECTED = 30005,
    IDS_GET_ALL = 30008,
    IDS_REBOOT_ALL = 30009,
    IDS_GET_UNBOUND = 30011,
    IDS_UPDATE_ALL = 30012,
    IDS_UPDATE_SELECTED = 30013,
    IDS_PRINT_TITLE = 31000,
    IDS_OPEN_TITLE = 61440,
    IDS_DISCOVER_PARAMETER = 61447,
    IDS_DISCOVER_NETWORK = 61448,
    IDS_DISCOVER_UNEXPECTED = 61449,
    IDS_CLEAR_SELECTED = 61450,
    IDS_CLEAR_ALL = 61451,
    IDS_NUM_EDIT_CONTROL = 61452,
    IDS_NODE_INDEX = 10001,
};

// Registers the texts above (and the indicator and command prompts) in the string table.
void RegisterTessalyStrings();

// The main frame's menu; `viewNames` and `typeNames` are the template's views and node
// types as the menus show them (blanks for "_"), inserted at the top of View and Insert.
std::vector<fw::MenuDef> MainMenu(const std::vector<std::string>& viewNames = {},
                                  const std::vector<std::string>& typeNames = {});
std::vector<fw::Accelerator> MainAccelerators();
std::vector<fw::ToolButton> MainToolBar();
QIcon TessalyIcon();

}  // namespace tessaly
