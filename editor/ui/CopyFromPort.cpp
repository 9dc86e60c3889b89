#include "editor/ui/CopyFromPort.h"

#include "editor/ui/AIPConfig.h"
#include "framework/base/CommandIds.h"
#include "framework/controls/Button.h"
#include "framework/controls/ComboBox.h"
#include "framework/controls/Static.h"
#include "framework/dialogs/MessageBox.h"

namespace tessaly {

CCopyFromPort::CCopyFromPort(const CAIPConfig& owner, fw::Window* parent)
    : fw::Dialog(parent), owner_(owner) {
    SetTemplate("Copy From Port", 200, 80);
    MapControl(fw::CBN_SELCHANGE, IDC_COPY_NODE, [this] { OnSelchangeNode(); });
    MapControl(fw::CBN_SELCHANGE, IDC_COPY_PORT, [this] { OnSelchangePort(); });
}

void CCopyFromPort::CreateControls() {
    Add<fw::Static>(0, "Node:", {7, 9, 35, 17});
    Add<fw::ComboBox>(IDC_COPY_NODE, {38, 6, 193, 18});
    Add<fw::Static>(0, "Port:", {7, 27, 35, 35});
    Add<fw::ComboBox>(IDC_COPY_PORT, {38, 24, 100, 36});
    Add<fw::Button>(IDC_COPY_APPEND, "Append to current patch", {7, 43, 193, 53},
                    fw::BS_AUTOCHECKBOX);
    Add<fw::Button>(fw::IDOK, "OK", {89, 59, 139, 73}, fw::BS_DEFPUSHBUTTON);
    Add<fw::Button>(fw::IDCANCEL, "Cancel", {143, 59, 193, 73});
}

bool CCopyFromPort::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    auto* nodes = static_cast<fw::ComboBox*>(GetDlgItem(IDC_COPY_NODE));
    for (const AipNodeEntry& entry : owner_.NodeEntries())
        nodes->InsertString(entry.comboIndex, CAIPConfig::NodeLine(entry));
    CheckDlgButton(IDC_COPY_APPEND, m_bAppend ? fw::BST_CHECKED : fw::BST_UNCHECKED);
    GetDlgItem(fw::IDOK)->EnableWindow(false);
    return true;
}

void CCopyFromPort::OnSelchangeNode() {
    auto* ports = static_cast<fw::ComboBox*>(GetDlgItem(IDC_COPY_PORT));
    ports->ResetContent();
    m_nNode = static_cast<fw::ComboBox*>(GetDlgItem(IDC_COPY_NODE))->GetCurSel();
    m_nPort = -1;
    for (const AipNodeEntry& entry : owner_.NodeEntries()) {
        if (entry.comboIndex != m_nNode)
            continue;
        // The lines are in the order of the entry's ports, as the owner's port list has them.
        for (const AipPortEntry& port : entry.ports) ports->AddString(std::to_string(port.number));
    }
    GetDlgItem(fw::IDOK)->EnableWindow(false);
}

void CCopyFromPort::OnSelchangePort() {
    m_nNode = static_cast<fw::ComboBox*>(GetDlgItem(IDC_COPY_NODE))->GetCurSel();
    m_nPort = static_cast<fw::ComboBox*>(GetDlgItem(IDC_COPY_PORT))->GetCurSel();
    GetDlgItem(fw::IDOK)->EnableWindow(true);
}

void CCopyFromPort::OnOK() {
    m_bAppend = IsDlgButtonChecked(IDC_COPY_APPEND) == fw::BST_CHECKED;
    m_nNode = static_cast<fw::ComboBox*>(GetDlgItem(IDC_COPY_NODE))->GetCurSel();
    m_nPort = static_cast<fw::ComboBox*>(GetDlgItem(IDC_COPY_PORT))->GetCurSel();
    if (m_nNode < 0 || m_nPort < 0) {
        fw::MessageBox(this, "A valid port has not been selected.", "error", fw::MB_OK);
        return;
    }
    EndDialog(fw::IDOK);
}

}  // namespace tessaly
