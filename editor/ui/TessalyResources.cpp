#include "editor/ui/TessalyResources.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPixmap>

#include "editor/ui/ToolBarPictures.h"
#include "framework/base/CommandIds.h"
#include "framework/persist/StringTable.h"
#include "framework/window/VirtualKeys.h"

namespace tessaly {

void RegisterTessalyStrings() {
    fw::SetStrings({
        {IDR_MAINFRAME,
         "Tessaly\nDefault\nIxoKolt Config\nIxoKolt Config (*.wov)\n.wov\nTessaly.Document\n"
         "IxoKolt Configuration"},
        {IDS_APP_TITLE, "Tessaly"},
        {20000, "Tessaly"},
        {IDS_VALUE_INVALID,
         "The value you entered (%s) is invalid, please correct and re-enter the value.  Press "
         "\"Esc\" to restore the previous value."},
        {IDS_PASTE_MULTIPLE,
         "Cannot paste into multiple selections. The paste selection must be a single node or a "
         "single range of cells in the grid."},
        {IDS_CONFIRM_DELETE,
         "Are you sure you want to delete the selected node(s) from the configuration? This "
         "operation cannot be undone."},
        {IDS_CONFIRM_DELETE_TITLE, "Confirm Delete"},
        {IDS_SEND_SELECTED, "Do you want to send configuration data to the selected node(s)?"},
        {IDS_SEND_ALL, "Do you want to send configuration data to all the nodes on the network?"},
        {IDS_GET_SELECTED, "Do you want to get configuration data from the selected node(s)?"},
        {IDS_REBOOT_SELECTED, "Do you want to reboot the selected node(s)?"},
        {IDS_GET_ALL,
         "Do you want to get configuration data from all the bound nodes on the network?"},
        {IDS_REBOOT_ALL, "Do you want to reboot all the nodes online on the network?"},
        {IDS_GET_UNBOUND,
         "Do you want to add all the unbound nodes on the network to the configuration file?"},
        {IDS_UPDATE_ALL,
         "Do you want to update the software on all the nodes online on the network?"},
        {IDS_UPDATE_SELECTED, "Do you want to update the software on the selected node(s)?"},
        {IDS_PRINT_TITLE, "IxoKolt Configuration: %s"},
        {IDS_OPEN_TITLE, "Open"},
        {IDS_DISCOVER_PARAMETER, "A parameter error occurred discovering nodes."},
        {IDS_DISCOVER_NETWORK, "A network communications error occurred discovering nodes."},
        {IDS_DISCOVER_UNEXPECTED, "An unexpected error occurred discovering nodes."},
        {IDS_CLEAR_SELECTED, "Do you want to clear the configuration(s) of the selected node(s)?"},
        {IDS_CLEAR_ALL,
         "Do you want to clear the configurations of all nodes online on the network?"},
        {IDS_NUM_EDIT_CONTROL, "Use numeric edit control."},
        {IDS_NODE_INDEX, "_NODE_INDEX"},
        {ID_INDICATOR_SPACER, "                                                  "},
        {ID_INDICATOR_NODES, "Nodes:      "},
        {ID_INDICATOR_ONLINE, "Nodes Online:           "},
        {ID_INDICATOR_NETWORK, "Network:                "},
        {ID_NET_CONNECT, "Connect to the lighting network\nConnect"},
        {ID_NET_DISCONNECT, "Disconnect from the lighting network\nDisconnect"},
        {ID_NET_SEND_CONFIG, "Send the configuration to the nodes\nSend Config"},
        {ID_NET_GET_CONFIG, "Get the configuration from the nodes\nGet Config"},
        {ID_NET_REBOOT, "Reboot the nodes\nReboot"},
        {fw::ID_APP_ABOUT, "Show the program's version\nAbout"},
    });
}

std::vector<fw::MenuDef> MainMenu(const std::vector<std::string>& viewNames,
                                  const std::vector<std::string>& typeNames) {
    using fw::MenuDef;
    std::vector<MenuDef> view;
    for (size_t i = 0; i < viewNames.size(); ++i)
        view.push_back(MenuDef::Item(viewNames[i], ID_VIEW_FIRST + static_cast<unsigned>(i)));
    if (!viewNames.empty())
        view.push_back(MenuDef::Separator());
    view.push_back(MenuDef::Item("&Toolbar", fw::ID_VIEW_TOOLBAR));
    view.push_back(MenuDef::Item("&Status Bar", fw::ID_VIEW_STATUS_BAR));
    std::vector<MenuDef> insert;
    for (size_t i = 0; i < typeNames.size(); ++i)
        insert.push_back(MenuDef::Item(typeNames[i], ID_INSERT_FIRST + static_cast<unsigned>(i)));
    if (insert.empty())
        insert.push_back(MenuDef::Item("(no node types)", ID_INSERT_LAST));
    return {
        MenuDef::Popup("&File",
                       {MenuDef::Item("&New\tCtrl+N", fw::ID_FILE_NEW),
                        MenuDef::Item("&Open...\tCtrl+O", fw::ID_FILE_OPEN),
                        MenuDef::Item("&Save\tCtrl+S", fw::ID_FILE_SAVE),
                        MenuDef::Item("Save &As...", fw::ID_FILE_SAVE_AS), MenuDef::Separator(),
                        MenuDef::Item("&Print...\tCtrl+P", fw::ID_FILE_PRINT),
                        MenuDef::Item("Print Pre&view", fw::ID_FILE_PRINT_PREVIEW),
                        MenuDef::Item("P&rint Setup...", fw::ID_FILE_PRINT_SETUP),
                        MenuDef::Separator(), MenuDef::Item("Recent File", fw::ID_FILE_MRU_FILE1),
                        MenuDef::Separator(), MenuDef::Item("E&xit", fw::ID_APP_EXIT)}),
        MenuDef::Popup("&Edit",
                       {MenuDef::Item("&Undo\tCtrl+Z", fw::ID_EDIT_UNDO), MenuDef::Separator(),
                        MenuDef::Item("&Copy\tCtrl+C", fw::ID_EDIT_COPY),
                        MenuDef::Item("&Paste\tCtrl+V", fw::ID_EDIT_PASTE), MenuDef::Separator(),
                        MenuDef::Item("&Delete Node", ID_EDIT_DELETE_NODE),
                        MenuDef::Item("&vPorts...", ID_EDIT_VPORTS),
                        MenuDef::Item("&Network Addresses", ID_EDIT_NETWORK_ADDRESSES),
                        MenuDef::Item("&AIP\tCtrl+I", ID_EDIT_AIP)}),
        MenuDef::Popup("&View", std::move(view)),
        MenuDef::Popup("&Insert", std::move(insert)),
        MenuDef::Popup(
            "&Network",
            {MenuDef::Item("&Connect", ID_NET_CONNECT),
             MenuDef::Item("&Disconnect", ID_NET_DISCONNECT), MenuDef::Separator(),
             MenuDef::Item("&Send Config to Nodes", ID_NET_SEND_CONFIG),
             MenuDef::Item("&Get Config from Nodes", ID_NET_GET_CONFIG),
             MenuDef::Item("&Bind...", ID_NET_BIND),
             MenuDef::Item("Get &Unbound Nodes", ID_NET_GET_UNBOUND),
             MenuDef::Item("Network &Info...", ID_NET_INFO), MenuDef::Separator(),
             MenuDef::Item("Network &Address Server", ID_NET_ADDRESS_SERVER),
             MenuDef::Item("U&pdate Node Software", ID_NET_UPDATE_SOFTWARE),
             MenuDef::Item("&Sarn -> Kolt", ID_NET_SARN_KOLT),
             MenuDef::Item("&Reboot Nodes", ID_NET_REBOOT),
             MenuDef::Item("C&lear Configuration", ID_NET_CLEAR_CONFIG), MenuDef::Separator(),
             MenuDef::Item("&Quillon and Upgrade Utility", ID_NET_QUILLON),
             MenuDef::Item("&Optimize EDMX", ID_NET_OPTIMIZE_EDMX)}),
        MenuDef::Popup("&Help",
                       {MenuDef::Item("&Contents", fw::ID_HELP_FINDER), MenuDef::Separator(),
                        MenuDef::Item("&About Tessaly...", fw::ID_APP_ABOUT)}),
    };
}

std::vector<fw::Accelerator> MainAccelerators() {
    using fw::FALT;
    using fw::FCONTROL;
    using fw::FSHIFT;
    using fw::FVIRTKEY;
    return {
        {FVIRTKEY | FCONTROL, 'C', fw::ID_EDIT_COPY},
        {FVIRTKEY | FCONTROL, fw::VK_INSERT, fw::ID_EDIT_COPY},
        {FVIRTKEY | FCONTROL, 'V', fw::ID_EDIT_PASTE},
        {FVIRTKEY | FSHIFT, fw::VK_INSERT, fw::ID_EDIT_PASTE},
        {FVIRTKEY | FCONTROL, 'Z', fw::ID_EDIT_UNDO},
        {FVIRTKEY | FALT, fw::VK_BACK, fw::ID_EDIT_UNDO},
        {FVIRTKEY | FCONTROL, 'N', fw::ID_FILE_NEW},
        {FVIRTKEY | FCONTROL, 'O', fw::ID_FILE_OPEN},
        {FVIRTKEY | FCONTROL, 'S', fw::ID_FILE_SAVE},
        {FVIRTKEY | FCONTROL, 'P', fw::ID_FILE_PRINT},
        {FVIRTKEY | FCONTROL, 'I', ID_EDIT_AIP},
        {FVIRTKEY, fw::VK_F1, fw::ID_HELP},
        {FVIRTKEY | FSHIFT, fw::VK_F1, fw::ID_CONTEXT_HELP},
        {FVIRTKEY, fw::VK_F1 + 5, fw::ID_NEXT_PANE},
        {FVIRTKEY | FSHIFT, fw::VK_F1 + 5, fw::ID_PREV_PANE},
    };
}

std::vector<fw::ToolButton> MainToolBar() {
    const std::pair<unsigned, const char*> order[] = {
        {fw::ID_FILE_NEW, "New"},
        {fw::ID_FILE_OPEN, "Open"},
        {fw::ID_FILE_SAVE, "Save"},
        {0, ""},
        {fw::ID_EDIT_COPY, "Copy"},
        {fw::ID_EDIT_PASTE, "Paste"},
        {0, ""},
        {fw::ID_FILE_PRINT, "Print"},
        {fw::ID_APP_ABOUT, "About"},
    };
    std::vector<fw::ToolButton> buttons;
    for (const auto& [id, tip] : order) buttons.emplace_back(id, tip, ToolBarPicture(id));
    return buttons;
}

QIcon TessalyIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(40, 70, 120));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(1, 1, 30, 30, 5, 5);
    // A small grid of nodes: the editor's table.
    p.setBrush(QColor(240, 200, 80));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) p.drawRect(6 + c * 8, 6 + r * 8, 5, 5);
    return QIcon(pixmap);
}

}  // namespace tessaly
