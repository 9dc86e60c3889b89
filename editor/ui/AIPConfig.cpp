#include "editor/ui/AIPConfig.h"

#include <algorithm>

#include "editor/document/EditorStrings.h"
#include "editor/document/ErrorHandler.h"
#include "editor/document/TessalyDoc.h"
#include "editor/ui/CopyFromPort.h"
#include "editor/ui/EdmxAddress.h"
#include "editor/ui/EdmxEdit.h"
#include "editor/ui/OneToOnePatchDlg.h"
#include "editor/ui/RangePatchDlg.h"
#include "editor/ui/TessalyDocument.h"
#include "framework/app/Application.h"
#include "framework/base/CommandIds.h"
#include "framework/controls/Button.h"
#include "framework/controls/ComboBox.h"
#include "framework/controls/Edit.h"
#include "framework/controls/ListView.h"
#include "framework/controls/Static.h"
#include "framework/controls/StatusBar.h"
#include "framework/dialogs/MessageBox.h"

namespace tessaly {
namespace {

enum : unsigned {
    IDS_CHANNELS_FREE = 59145,
    IDS_READY = 59146,
    IDS_RANGE_DONE = 59147,
    IDS_ONE_TO_ONE_DONE = 59148,
    IDS_COPY_DONE = 59149,
    IDS_CLEAR_DONE = 59150,
    IDS_ADDRESS_UNPATCHED = 59151,
    IDS_ADDRESS_MOVED = 59152,
    IDS_CHANNEL_FULL = 59153,
    IDS_PORT_LOADED = 59154,
    IDS_LOADING = 59155,
    IDS_AN_ERROR = 59156,
    IDS_EDMX_INVALID = 59157,
    IDS_DMX_INVALID = 59162,
    IDS_NO_PORT = 59163,
    IDS_CHANNEL_UNPATCHED = 59165,
};

constexpr const char* kSource = "AIPConfig";
constexpr const char* kBadStoredPatch =
    "The stored AIP patch of this port is not valid; it is shown empty and is kept unless "
    "the patch is changed.";
constexpr unsigned kEditingControls[] = {
    IDC_AIP_PATCH, IDC_AIP_UNPATCH, IDC_AIP_ONE_TO_ONE, IDC_AIP_RANGE, IDC_AIP_COPY_FROM_PORT,
    IDC_AIP_CLEAR, IDC_AIP_LIST,    IDC_AIP_DMX,        IDC_AIP_EDMX,  IDC_AIP_REVERT};
constexpr int kStatusFreeWidth = 150;

bool AskOkCancel(fw::Window* owner, const char* text, const char* caption) {
    return fw::MessageBox(owner, text, caption, fw::MB_OKCANCEL | fw::MB_ICONEXCLAMATION) ==
           fw::IDOK;
}

}  // namespace

CAIPConfig::CAIPConfig(fw::Window* parent) : fw::Dialog(parent) {
    SetTemplate("AIP Configuration", 320, 236);
    MapControl(fw::CBN_SELCHANGE, IDC_AIP_NODE, [this] { OnSelchangeNode(); });
    MapControl(fw::CBN_SELCHANGE, IDC_AIP_PORT, [this] { OnSelchangePort(); });
    MapControl(fw::EN_CHANGE, IDC_AIP_DMX, [this] { OnChangeDmx(); });
    MapCommand(IDC_AIP_PATCH, [this] { OnPatch(); });
    MapCommand(IDC_AIP_UNPATCH, [this] { OnUnpatch(); });
    MapCommand(IDC_AIP_ONE_TO_ONE, [this] { OnOneToOnePatch(); });
    MapCommand(IDC_AIP_RANGE, [this] { OnRangePatch(); });
    MapCommand(IDC_AIP_CLEAR, [this] { OnClearPatch(); });
    MapCommand(IDC_AIP_COPY_FROM_PORT, [this] { OnCopyFromPort(); });
    MapCommand(IDC_AIP_REVERT, [this] { OnRevert(); });
    auto listChanged = [this](fw::NotifyHeader&, fw::LRESULT& result) {
        const int row = List()->GetNextItem(-1, fw::LVNI_SELECTED);
        if (row >= 0 && GetDlgItemText(IDC_AIP_DMX) != std::to_string(row + 1))
            SetDlgItemText(IDC_AIP_DMX, std::to_string(row + 1));
        SetStatus(LoadEditorString(IDS_READY));
        result = 0;
    };
    MapNotify(fw::LVN_ITEMCHANGED, IDC_AIP_LIST, listChanged);
    MapNotify(fw::NM_CLICK, IDC_AIP_LIST, listChanged);
}

CAIPConfig::~CAIPConfig() = default;

void CAIPConfig::CreateControls() {
    Add<fw::Static>(0, "Node:", {7, 8, 30, 16});
    Add<fw::ComboBox>(IDC_AIP_NODE, {32, 5, 160, 17});
    Add<fw::Static>(0, "Port:", {168, 8, 188, 16});
    Add<fw::ComboBox>(IDC_AIP_PORT, {190, 5, 240, 17});
    Add<fw::ListView>(IDC_AIP_LIST, {7, 24, 200, 216},
                      fw::LVS_REPORT | fw::LVS_SHOWSELALWAYS | fw::LVS_SINGLESEL);
    Add<fw::Static>(0, "DMX:", {208, 26, 236, 34});
    Add<fw::Edit>(IDC_AIP_DMX, {240, 24, 313, 36})->LimitText(3);
    Add<fw::Static>(0, "EDMX:", {208, 42, 236, 50});
    Add<CEdmxEdit>(IDC_AIP_EDMX, {240, 40, 313, 52});
    const std::pair<unsigned, const char*> buttons[] = {
        {IDC_AIP_PATCH, "&Patch"},
        {IDC_AIP_UNPATCH, "&Unpatch"},
        {IDC_AIP_ONE_TO_ONE, "&1 to 1 Patch"},
        {IDC_AIP_RANGE, "&Range Patch"},
        {IDC_AIP_COPY_FROM_PORT, "C&opy From Port"},
        {IDC_AIP_CLEAR, "&Clear Patch"},
        {IDC_AIP_REVERT, "Re&vert"},
    };
    int top = 58;
    for (const auto& [id, text] : buttons) {
        Add<fw::Button>(id, text, {208, top, 313, top + 14});
        top += id == IDC_AIP_UNPATCH ? 22 : 18;
    }
    Add<fw::Button>(fw::IDOK, "E&xit", {208, 202, 313, 216}, fw::BS_DEFPUSHBUTTON);
}

bool CAIPConfig::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    loaded_ = edited_ = false;
    CTessalyDocument* document = ActiveTessalyDocument();
    doc_ = document ? &document->Doc() : nullptr;
    auto status = std::make_unique<fw::StatusBar>();
    status->Create(this, IDC_AIP_STATUS);
    status->SetIndicators({0, 0});
    status_ = AddWindow(std::move(status));
    const fw::Rect client = GetClientRect();
    OnSize(0, client.Width(), client.Height());
    fw::ListView* list = List();
    list->InsertColumn(0, "DMX Channels", fw::LVCFMT_LEFT, 100);
    // The addresses take the rest of the row, so long lists of them stay readable.
    const int rest = list->GetClientRect().Width() - 100 - 20;
    list->InsertColumn(1, "EDMX Addresses", fw::LVCFMT_LEFT, std::max(100, rest));
    for (int i = 0; i < AipPatch::kChannels; ++i) list->InsertItem(i, std::to_string(i + 1));
    list->SetExtendedStyle(fw::LVS_EX_FULLROWSELECT | fw::LVS_EX_GRIDLINES);
    EnableEditing(false);
    if (!doc_)
        return false;
    BuildNodeList();
    for (AipNodeEntry& entry : nodes_) entry.comboIndex = NodeCombo()->AddString(NodeLine(entry));
    ClearPatch();
    RefreshFree();
    SetStatus(LoadEditorString(IDS_READY));
    return true;
}

void CAIPConfig::OnSize(fw::UINT type, int cx, int cy) {
    fw::Dialog::OnSize(type, cx, cy);
    if (!status_)
        return;
    const int height = status_->CalcHeight();
    status_->MoveWindow({0, cy - height, cx, cy});
    status_->SetPaneInfo(0, 0, fw::SBPS_NORMAL, std::max(0, cx - kStatusFreeWidth));
    status_->SetPaneInfo(1, 0, fw::SBPS_STRETCH, 0);
}

std::string CAIPConfig::NodeLine(const AipNodeEntry& entry) {
    return entry.name + " " + entry.ip.GetText();
}

void CAIPConfig::BuildNodeList() {
    nodes_.clear();
    for (xmldom::Node node; doc_->GetNextNode(node);) {
        AipNodeEntry entry;
        uint32_t ip = 0;
        if (!doc_->GetNodeAddress(node, entry.mac, ip) || !doc_->GetNodeType(node, entry.type))
            continue;
        entry.ip.SetValue(ip);
        doc_->GetNodeName(node, entry.name);
        xmldom::Node child;
        for (bool more = doc_->GetFirstChild(node, child); more;
             more = doc_->GetNextSibling(child, child)) {
            bool output = true;
            bool aip = false;
            AipPortEntry port;
            if (doc_->GetPortInputOutput(child, output) && !output &&
                doc_->GetPortAipFlag(child, aip) && aip &&
                doc_->GetPortNumber(child, port.number)) {
                port.element = child;
                entry.ports.push_back(port);
            }
        }
        if (!entry.ports.empty())
            nodes_.push_back(std::move(entry));
    }
}

void CAIPConfig::EnableEditing(bool enable) {
    loaded_ = enable;
    for (unsigned id : kEditingControls) GetDlgItem(id)->EnableWindow(enable);
}

void CAIPConfig::SavePort() {
    if (!loaded_ || !edited_)
        return;
    const AipNodeEntry* node = nullptr;
    if (const AipPortEntry* port = FindPort(nodeIndex_, portIndex_, &node)) {
        if (doc_->SetAipPatch(port->element, patch_.Format()))
            doc_->SetModifiedFlag(true);
    }
    edited_ = false;
}

void CAIPConfig::ClearPatch() {
    patch_.Clear();
    RefreshAllRows();
    RefreshFree();
}

bool CAIPConfig::PatchChannel(int dmx, int edmx) {
    const AipPatch::Outcome outcome = patch_.Patch(dmx, edmx);
    switch (outcome.result) {
        case AipPatch::Result::Full:
            SetStatus(FormatText(LoadEditorString(IDS_CHANNEL_FULL).c_str(), dmx));
            return false;
        case AipPatch::Result::UnpatchedAddress:
            SetStatus(FormatText(LoadEditorString(IDS_ADDRESS_UNPATCHED).c_str(), edmx));
            break;
        case AipPatch::Result::UnpatchedChannel:
            SetStatus(FormatText(LoadEditorString(IDS_CHANNEL_UNPATCHED).c_str(), dmx));
            break;
        case AipPatch::Result::Moved:
            SetStatus(FormatText(LoadEditorString(IDS_ADDRESS_MOVED).c_str(), edmx,
                                 outcome.previousOwner, dmx));
            break;
        case AipPatch::Result::Patched:
            SetStatus(LoadEditorString(IDS_READY));
            break;
    }
    edited_ = true;
    if (outcome.previousOwner != 0)
        RefreshRow(outcome.previousOwner);
    if (dmx != 0)
        RefreshRow(dmx);
    return true;
}

void CAIPConfig::RefreshRow(int dmx) {
    List()->SetItemText(dmx - 1, 1, patch_.RowText(dmx));
}

void CAIPConfig::RefreshAllRows() {
    for (int dmx = 1; dmx <= AipPatch::kChannels; ++dmx) RefreshRow(dmx);
}

void CAIPConfig::RefreshFree() {
    status_->SetPaneText(
        1, loaded_ ? FormatText(LoadEditorString(IDS_CHANNELS_FREE).c_str(), patch_.FreeChannels())
                   : std::string());
}

void CAIPConfig::SetStatus(const std::string& text) {
    if (status_)
        status_->SetPaneText(0, text);
}

std::string CAIPConfig::StatusText() const {
    return status_ ? status_->GetPaneText(0) : std::string();
}

std::string CAIPConfig::FreeText() const {
    return status_ ? status_->GetPaneText(1) : std::string();
}

void CAIPConfig::ReportInput(unsigned messageId, unsigned focus, int line) {
    CErrorHandler::GetInstance()->ReportText(CErrorHandler::TYPE_ERROR, kSource, line,
                                             LoadEditorString(messageId));
    if (focus)
        FocusEdit(focus);
}

void CAIPConfig::FocusEdit(unsigned id) {
    GotoDlgCtrl(GetDlgItem(id));  // selects all of its text
}

const AipPortEntry* CAIPConfig::FindPort(int nodeIndex, int portIndex,
                                         const AipNodeEntry** node) const {
    for (const AipNodeEntry& entry : nodes_) {
        if (entry.comboIndex != nodeIndex)
            continue;
        for (const AipPortEntry& port : entry.ports) {
            if (port.comboIndex == portIndex) {
                *node = &entry;
                return &port;
            }
        }
    }
    return nullptr;
}

int CAIPConfig::ReadDmx() const {
    const std::string text = GetDlgItemText(IDC_AIP_DMX);
    if (text == "0" || text == "00" || text == "000")
        return 0;
    const auto value = ParseEdmxAddress(text);
    if (!value || *value == 0 || text.find('/') != std::string::npos)
        return -1;
    return *value;
}

int CAIPConfig::ReadEdmx() const {
    const std::string text = GetDlgItemText(IDC_AIP_EDMX);
    if (text == "0")
        return 0;
    const auto value = ParseEdmxAddress(text);
    return value && *value != 0 ? *value : -1;
}

bool CAIPConfig::FocusInPatchFields() const {
    const fw::Window* focus = GetFocus();
    return focus && (focus == GetDlgItem(IDC_AIP_DMX) || focus == GetDlgItem(IDC_AIP_EDMX) ||
                     focus == GetDlgItem(IDC_AIP_LIST));
}

fw::ComboBox* CAIPConfig::NodeCombo() const {
    return static_cast<fw::ComboBox*>(GetDlgItem(IDC_AIP_NODE));
}

fw::ComboBox* CAIPConfig::PortCombo() const {
    return static_cast<fw::ComboBox*>(GetDlgItem(IDC_AIP_PORT));
}

fw::ListView* CAIPConfig::List() const {
    return static_cast<fw::ListView*>(GetDlgItem(IDC_AIP_LIST));
}

// ---- Handlers -----------------------------------------------------------------------------

void CAIPConfig::OnSelchangeNode() {
    SavePort();
    EnableEditing(false);
    ClearPatch();
    nodeIndex_ = NodeCombo()->GetCurSel();
    portIndex_ = -1;
    PortCombo()->ResetContent();
    for (AipNodeEntry& entry : nodes_) {
        if (entry.comboIndex != nodeIndex_)
            continue;
        for (AipPortEntry& port : entry.ports)
            port.comboIndex = PortCombo()->AddString(std::to_string(port.number));
    }
    RefreshFree();
    SetStatus(LoadEditorString(IDS_READY));
}

void CAIPConfig::OnSelchangePort() {
    SetStatus(LoadEditorString(IDS_LOADING));
    SavePort();
    EnableEditing(false);
    ClearPatch();
    nodeIndex_ = NodeCombo()->GetCurSel();
    portIndex_ = PortCombo()->GetCurSel();
    const AipNodeEntry* node = nullptr;
    const AipPortEntry* port = FindPort(nodeIndex_, portIndex_, &node);
    if (!port) {
        SetStatus(LoadEditorString(IDS_AN_ERROR));
        return;
    }
    fw::WaitCursor wait;
    std::string stored;
    doc_->GetAipPatch(port->element, stored);
    const bool valid = patch_.Load(stored);
    RefreshAllRows();
    EnableEditing(true);
    edited_ = false;
    SetStatus(FormatText(LoadEditorString(IDS_PORT_LOADED).c_str(),
                         PortCombo()->GetLBText(portIndex_).c_str(),
                         NodeCombo()->GetLBText(nodeIndex_).c_str()));
    RefreshFree();
    if (!valid)
        CErrorHandler::GetInstance()->ReportText(CErrorHandler::TYPE_ERROR, kSource, __LINE__,
                                                 kBadStoredPatch);
}

void CAIPConfig::OnChangeDmx() {
    const std::string text = GetDlgItemText(IDC_AIP_DMX);
    fw::ListView* list = List();
    const int row = list->FindItemText(-1, text);
    const int selected = list->GetNextItem(-1, fw::LVNI_SELECTED);
    if (row != selected) {
        if (selected >= 0)
            list->SetItemState(selected, 0, fw::LVIS_SELECTED | fw::LVIS_FOCUSED);
        // A text that names no channel selects nothing.
        if (row >= 0) {
            list->SetItemState(row, fw::LVIS_SELECTED | fw::LVIS_FOCUSED,
                               fw::LVIS_SELECTED | fw::LVIS_FOCUSED);
            list->EnsureVisible(row);
        }
    }
    SetStatus(LoadEditorString(IDS_READY));
}

void CAIPConfig::OnPatch() {
    const int dmx = ReadDmx();
    const int edmx = ReadEdmx();
    if (dmx < 0 || dmx > AipPatch::kChannels) {
        ReportInput(IDS_DMX_INVALID, IDC_AIP_DMX, __LINE__);
    } else if (edmx < 0 || edmx > AipPatch::kMaxAddress) {
        ReportInput(IDS_EDMX_INVALID, IDC_AIP_EDMX, __LINE__);
    } else {
        PatchChannel(dmx, edmx);
        FocusEdit(IDC_AIP_EDMX);
    }
    RefreshFree();
}

void CAIPConfig::OnUnpatch() {
    const int dmx = ReadDmx();
    const int edmx = ReadEdmx();
    if (edmx >= 1 && edmx <= AipPatch::kMaxAddress) {
        PatchChannel(0, edmx);
    } else if (dmx == 0) {
        ReportInput(IDS_EDMX_INVALID, 0, __LINE__);
    } else if (dmx >= 1 && dmx <= AipPatch::kChannels) {
        PatchChannel(dmx, 0);
    } else {
        ReportInput(IDS_DMX_INVALID, 0, __LINE__);
    }
    FocusEdit(IDC_AIP_EDMX);
    RefreshFree();
}

void CAIPConfig::OnOneToOnePatch() {
    COneToOnePatchDlg dlg(this);
    if (dlg.DoModal() != fw::IDOK)
        return;
    if (!dlg.m_bAppend)
        patch_.Clear();
    for (int i = 1; i <= AipPatch::kChannels; ++i) patch_.Patch(i, dlg.m_nEdmxStart + i - 1);
    edited_ = true;
    RefreshAllRows();
    SetStatus(LoadEditorString(IDS_ONE_TO_ONE_DONE));
    RefreshFree();
}

void CAIPConfig::OnRangePatch() {
    CRangePatchDlg dlg(this);
    if (dlg.DoModal() != fw::IDOK)
        return;
    if (!dlg.m_bAppend)
        patch_.Clear();
    for (int dmx = dlg.m_nDmxStart; dmx <= dlg.m_nDmxEnd; ++dmx)
        patch_.Patch(dmx, dlg.m_nEdmxStart == 0 ? 0 : dlg.m_nEdmxStart + dmx - dlg.m_nDmxStart);
    edited_ = true;
    RefreshAllRows();
    SetStatus(LoadEditorString(IDS_RANGE_DONE));
    RefreshFree();
}

void CAIPConfig::OnClearPatch() {
    if (!AskOkCancel(this, "Are you sure you want to clear the patch?", "warning"))
        return;
    edited_ = true;
    ClearPatch();
    SetStatus(LoadEditorString(IDS_CLEAR_DONE));
}

void CAIPConfig::OnCopyFromPort() {
    if (!loaded_) {
        ReportInput(IDS_NO_PORT, 0, __LINE__);
        SetStatus(LoadEditorString(IDS_AN_ERROR));
        return;
    }
    CCopyFromPort dlg(*this, this);
    const AipNodeEntry* node = nullptr;
    const AipPortEntry* port = nullptr;
    if (dlg.DoModal() == fw::IDOK)
        port = FindPort(dlg.m_nNode, dlg.m_nPort, &node);
    if (!port) {
        SetStatus(LoadEditorString(IDS_AN_ERROR));
        return;
    }
    SetStatus(LoadEditorString(IDS_LOADING));
    std::string stored;
    doc_->GetAipPatch(port->element, stored);
    AipPatch copied;
    if (!copied.Load(stored)) {
        CErrorHandler::GetInstance()->ReportText(CErrorHandler::TYPE_ERROR, kSource, __LINE__,
                                                 kBadStoredPatch);
        SetStatus(LoadEditorString(IDS_AN_ERROR));
        return;
    }
    if (!dlg.m_bAppend)
        patch_.Clear();
    // Appending an empty patch keeps the current one as it is.
    patch_.Load(stored);
    edited_ = true;
    RefreshAllRows();
    SetStatus(LoadEditorString(IDS_COPY_DONE));
    RefreshFree();
}

void CAIPConfig::OnRevert() {
    if (!AskOkCancel(this, "Are you sure you want to revert to the previously saved configuration?",
                     "Warning"))
        return;
    edited_ = false;  // nothing of this port is written
    OnSelchangePort();
}

void CAIPConfig::OnOK() {
    if (FocusInPatchFields()) {
        OnPatch();
        return;
    }
    SavePort();
    EndDialog(fw::IDOK);
}

}  // namespace tessaly
