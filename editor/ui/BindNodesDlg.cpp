#include "editor/ui/BindNodesDlg.h"

#include <algorithm>
#include <cstdio>

#include "editor/document/ErrorHandler.h"
#include "editor/document/KoltInterface.h"
#include "editor/document/TessalyDoc.h"
#include "framework/base/CommandIds.h"
#include "framework/controls/Button.h"
#include "framework/controls/ListBox.h"
#include "framework/controls/Static.h"

namespace tessaly {
namespace {

constexpr unsigned IDS_BIND_DIFFERENT_TYPES = 20010;

bool IsZeroMac(const VavMacAddress& mac) {
    return mac == VavMacAddress();
}

}  // namespace

CBindNodesDlg::CBindNodesDlg(fw::Window* parent) : fw::Dialog(parent) {
    SetTemplate("Bind Nodes", 302, 206);
    MapControl(fw::LBN_SELCHANGE, IDC_BIND_CONFIG_LIST, [this] { OnSelchangeConfigList(); });
    MapControl(fw::LBN_SELCHANGE, IDC_BIND_NETWORK_LIST, [this] { OnSelchangeNetworkList(); });
    MapCommand(IDC_BIND, [this] { OnBind(); });
    MapCommand(IDC_UNBIND, [this] { OnUnbind(); });
    const std::pair<unsigned, std::pair<bool*, bool>> radios[] = {
        {IDC_BIND_ALL_CONFIG, {&allConfig_, true}},
        {IDC_BIND_UNBOUND_CONFIG, {&allConfig_, false}},
        {IDC_BIND_ALL_NETWORK, {&allNetwork_, true}},
        {IDC_BIND_UNBOUND_NETWORK, {&allNetwork_, false}},
    };
    for (const auto& [id, flag] : radios) {
        MapCommand(id, [this, id = id, flag = flag] {
            *flag.first = flag.second;
            if (id <= IDC_BIND_UNBOUND_CONFIG)
                FillConfigList(allConfig_);
            else
                FillNetworkList(allNetwork_);
            SetButtonStates();
        });
    }
}

void CBindNodesDlg::CreateControls() {
    const fw::DWORD list =
        fw::LBS_NOTIFY | fw::LBS_USETABSTOPS | fw::WS_VSCROLL | fw::WS_HSCROLL | fw::WS_GROUP;
    const fw::DWORD radio = fw::BS_AUTORADIOBUTTON;
    Add<fw::Static>(0, "Configuration File Nodes", {7, 7, 230, 15});
    Add<fw::ListBox>(IDC_BIND_CONFIG_LIST, {7, 17, 232, 87}, list);
    Add<fw::Button>(IDC_BIND_ALL_CONFIG, "All Nodes in Config", {7, 90, 110, 100},
                    radio | fw::WS_GROUP);
    Add<fw::Button>(IDC_BIND_UNBOUND_CONFIG, "Unbound Nodes in Config", {115, 90, 232, 100}, radio);
    Add<fw::Static>(0, "Network Nodes (currently online)", {7, 106, 230, 114});
    Add<fw::ListBox>(IDC_BIND_NETWORK_LIST, {7, 116, 232, 186}, list);
    Add<fw::Button>(IDC_BIND_ALL_NETWORK, "All Nodes on Network", {7, 189, 110, 199},
                    radio | fw::WS_GROUP);
    Add<fw::Button>(IDC_BIND_UNBOUND_NETWORK, "Unbound Nodes on Network", {115, 189, 232, 199},
                    radio);
    Add<fw::Button>(IDC_BIND, "&Bind", {240, 17, 295, 31}, fw::BS_PUSHBUTTON | fw::WS_GROUP);
    Add<fw::Button>(IDC_UNBIND, "&Unbind", {240, 35, 295, 49});
    Add<fw::Button>(fw::IDOK, "&Close", {240, 185, 295, 199}, fw::BS_DEFPUSHBUTTON);
}

bool CBindNodesDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    CheckRadioButton(IDC_BIND_ALL_NETWORK, IDC_BIND_UNBOUND_NETWORK, IDC_BIND_UNBOUND_NETWORK);
    CheckRadioButton(IDC_BIND_ALL_CONFIG, IDC_BIND_UNBOUND_CONFIG, IDC_BIND_UNBOUND_CONFIG);
    allConfig_ = allNetwork_ = false;
    BuildBoundList();
    const std::vector<int> stops{80, 120, 155};
    ConfigList()->SetTabStops(stops);
    NetworkList()->SetTabStops(stops);
    RefillBoth();
    GetDlgItem(IDC_UNBIND)->EnableWindow(false);
    configState_ = networkState_ = kNone;
    SetButtonStates();
    return true;
}

fw::ListBox* CBindNodesDlg::ConfigList() const {
    return static_cast<fw::ListBox*>(GetDlgItem(IDC_BIND_CONFIG_LIST));
}

fw::ListBox* CBindNodesDlg::NetworkList() const {
    return static_cast<fw::ListBox*>(GetDlgItem(IDC_BIND_NETWORK_LIST));
}

std::string CBindNodesDlg::LineText(const BindListItem& item) const {
    std::string typeName;
    if (m_pDoc)
        m_pDoc->GetEnumItemName("NodeTypes", typeName, item.type);
    return item.name.substr(0, 18) + "\t" + typeName + "\t" + item.mac.ToText() + "\t" +
           item.ip.GetString();
}

bool CBindNodesDlg::IsBound(const VavMacAddress& mac) const {
    return std::find(bound_.begin(), bound_.end(), mac) != bound_.end();
}

std::vector<BindListItem> CBindNodesDlg::DocNodes() const {
    std::vector<BindListItem> nodes;
    if (!m_pDoc)
        return nodes;
    BindListItem item;
    uint32_t ip = 0;
    for (bool more =
             m_pDoc->GetNextNodeInfo(true, item.name, item.type, item.mac, ip, item.element);
         more;
         more = m_pDoc->GetNextNodeInfo(false, item.name, item.type, item.mac, ip, item.element)) {
        item.ip = CIPAddress(ip);
        nodes.push_back(item);
    }
    return nodes;
}

void CBindNodesDlg::BuildBoundList() {
    bound_.clear();
    for (const BindListItem& item : DocNodes())
        if (!IsZeroMac(item.mac))
            bound_.push_back(item.mac);
}

void CBindNodesDlg::FillConfigList(bool all) {
    fw::ListBox* list = ConfigList();
    list->ResetContent();
    configItems_.clear();
    configState_ = kNone;
    for (const BindListItem& item : DocNodes()) {
        if (!all && !IsZeroMac(item.mac))
            continue;
        const int line = list->AddString(LineText(item));
        list->SetItemData(line, configItems_.size());
        configItems_.push_back(item);
    }
}

void CBindNodesDlg::FillNetworkList(bool all) {
    fw::ListBox* list = NetworkList();
    list->ResetContent();
    networkItems_.clear();
    networkState_ = kNone;
    CKoltInterface* kolt = CKoltInterface::GetInstance();
    BindListItem item;
    uint32_t ip = 0;
    for (bool more = kolt->GetNextOnlineNode(true, item.name, item.type, item.mac, ip); more;
         more = kolt->GetNextOnlineNode(false, item.name, item.type, item.mac, ip)) {
        if (!all && IsBound(item.mac))
            continue;
        item.ip = CIPAddress(ip);
        const int line = list->AddString(LineText(item));
        list->SetItemData(line, networkItems_.size());
        networkItems_.push_back(item);
    }
}

void CBindNodesDlg::RefillBoth() {
    FillConfigList(allConfig_);
    FillNetworkList(allNetwork_);
}

void CBindNodesDlg::SetButtonStates() {
    GetDlgItem(IDC_BIND)->EnableWindow(configState_ == kUnbound && networkState_ == kUnbound);
    GetDlgItem(IDC_UNBIND)->EnableWindow(configState_ == kBound);
}

const BindListItem* CBindNodesDlg::Selected(fw::ListBox* list,
                                            const std::vector<BindListItem>& items) const {
    const int line = list->GetCurSel();
    if (line < 0)
        return nullptr;
    const std::uintptr_t index = list->GetItemData(line);
    return index < items.size() ? &items[index] : nullptr;
}

int CBindNodesDlg::LineOfMac(fw::ListBox* list, const std::vector<BindListItem>& items,
                             const VavMacAddress& mac) {
    for (int line = 0; line < list->GetCount(); ++line) {
        const std::uintptr_t index = list->GetItemData(line);
        if (index < items.size() && items[index].mac == mac)
            return line;
    }
    return -1;
}

void CBindNodesDlg::OnSelchangeConfigList() {
    FollowSelection(ConfigList(), configItems_, configState_, NetworkList(), networkItems_);
}

void CBindNodesDlg::OnSelchangeNetworkList() {
    FollowSelection(NetworkList(), networkItems_, networkState_, ConfigList(), configItems_);
}

void CBindNodesDlg::FollowSelection(fw::ListBox* list, const std::vector<BindListItem>& items,
                                    Selection& state, fw::ListBox* other,
                                    const std::vector<BindListItem>& otherItems) {
    if (const BindListItem* item = Selected(list, items)) {
        if (IsBound(item->mac)) {
            const int partner = LineOfMac(other, otherItems, item->mac);
            if (partner >= 0)
                other->SetCurSel(partner);
            configState_ = networkState_ = kBound;
        } else {
            state = kUnbound;
        }
    }
    SetButtonStates();
}

bool CBindNodesDlg::UnbindMac(const VavMacAddress& mac) {
    if (!m_pDoc)
        return false;
    // Every configured node with this MAC: a file may carry the same address twice.
    std::vector<xmldom::Node> nodes;
    for (const BindListItem& item : DocNodes())
        if (item.mac == mac)
            nodes.push_back(item.element);
    for (xmldom::Node& node : nodes) m_pDoc->SetNodeAddress(node, VavMacAddress(), 0);
    BuildBoundList();
    return !nodes.empty();
}

void CBindNodesDlg::OnBind() {
    const BindListItem* network = Selected(NetworkList(), networkItems_);
    const BindListItem* config = Selected(ConfigList(), configItems_);
    if (!network || !config || !m_pDoc)
        return;
    if (network->type != config->type) {
        CErrorHandler::GetInstance()->Report(CErrorHandler::TYPE_ERROR, "BindNodesDlg", __LINE__,
                                             IDS_BIND_DIFFERENT_TYPES);
        return;
    }
    const BindListItem from = *network;
    const BindListItem to = *config;
    if (IsBound(from.mac))
        UnbindMac(from.mac);
    if (IsBound(to.mac))
        UnbindMac(to.mac);
    m_pDoc->SetNodeAddress(to.element, from.mac, from.ip.GetValue());
    BuildBoundList();
    RefillBoth();
    SetButtonStates();
}

void CBindNodesDlg::OnUnbind() {
    if (const BindListItem* config = Selected(ConfigList(), configItems_)) {
        if (IsBound(config->mac))
            UnbindMac(config->mac);
    }
    RefillBoth();
    SetButtonStates();
}

}  // namespace tessaly
