// Binds a node of the configuration to a node on line: binding copies the on-line node's MAC
// and IP address into the configured node; unbinding sets them back to 0:0:0:0:0:0 and 0.
// Each side lists all its nodes or only the unbound ones. Bind is offered only for an unbound
// configured node with an unbound on-line node, Unbind only for a bound configured node.
#pragma once

#include <string>
#include <vector>

#include "editor/document/IPAddress.h"
#include "framework/dialogs/Dialog.h"
#include "platform/VavMacAddress.h"
#include "xmldom/Node.h"

class CTessalyDoc;

namespace fw {
class ListBox;
}

namespace tessaly {

enum : unsigned {
    IDC_BIND_NETWORK_LIST = 1001,
    IDC_BIND_CONFIG_LIST = 1002,
    IDC_BIND = 1003,
    IDC_UNBIND = 1004,
    IDC_BIND_ALL_CONFIG = 1005,
    IDC_BIND_UNBOUND_CONFIG = 1006,
    IDC_BIND_ALL_NETWORK = 1007,
    IDC_BIND_UNBOUND_NETWORK = 1008,
};

// One list line: the node (configuration side only), its name, type, MAC and IP address.
struct BindListItem {
    xmldom::Node element;
    std::string name;
    uint16_t type = 0;
    VavMacAddress mac;
    CIPAddress ip;
};

class CBindNodesDlg : public fw::Dialog {
public:
    explicit CBindNodesDlg(fw::Window* parent = nullptr);

    bool OnInitDialog() override;
    void OnSelchangeConfigList();
    void OnSelchangeNetworkList();
    void OnBind();
    void OnUnbind();

    // Set by the caller before DoModal.
    CTessalyDoc* m_pDoc = nullptr;

    // What a line shows: name (18 characters at most), type name, MAC and IP, tab-separated.
    std::string LineText(const BindListItem& item) const;
    bool IsBound(const VavMacAddress& mac) const;

protected:
    void CreateControls() override;

private:
    enum Selection { kNone = 0, kUnbound = 1, kBound = 2 };

    // Every node of the document with its address; none without a document.
    std::vector<BindListItem> DocNodes() const;
    void BuildBoundList();
    void FillConfigList(bool all);
    void FillNetworkList(bool all);
    void RefillBoth();
    void SetButtonStates();
    // Clears the address of every configured node with this MAC; true when one was found.
    bool UnbindMac(const VavMacAddress& mac);
    // A line of `list` was chosen: a bound node's partner is chosen in the other list too, and
    // the states of both lists follow.
    void FollowSelection(fw::ListBox* list, const std::vector<BindListItem>& items,
                         Selection& state, fw::ListBox* other,
                         const std::vector<BindListItem>& otherItems);
    static int LineOfMac(fw::ListBox* list, const std::vector<BindListItem>& items,
                         const VavMacAddress& mac);
    const BindListItem* Selected(fw::ListBox* list, const std::vector<BindListItem>& items) const;
    fw::ListBox* ConfigList() const;
    fw::ListBox* NetworkList() const;

    std::vector<VavMacAddress> bound_;
    std::vector<BindListItem> configItems_;
    std::vector<BindListItem> networkItems_;
    bool allConfig_ = false;
    bool allNetwork_ = false;
    Selection configState_ = kNone;
    Selection networkState_ = kNone;
};

}  // namespace tessaly
