#include "editor/ui/MainFrm.h"

#include <algorithm>
#include <thread>

#include "editor/document/Bootp.h"
#include "editor/document/EdmxMulticastGroups.h"
#include "editor/document/KoltInterface.h"
#include "editor/ui/PasswordEntry.h"
#include "editor/ui/Splash.h"
#include "editor/ui/TessalyDocument.h"
#include "editor/ui/TessalyResources.h"
#include "editor/ui/TessalyView.h"
#include "framework/app/Application.h"
#include "framework/base/CommandIds.h"
#include "framework/controls/StatusBar.h"
#include "framework/controls/ToolBar.h"
#include "framework/dialogs/MessageBox.h"
#include "framework/persist/StringTable.h"
#include "framework/window/InputPump.h"
#include "os/Paths.h"
#include "os/Process.h"
#include "platform/VavVersionRegistry.h"

namespace tessaly {
namespace {

// The label of an indicator: its resource text without the trailing blanks.
std::string Label(unsigned id) {
    std::string text = fw::LoadString(id);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

constexpr int kProgressPane = 1;

}  // namespace

CMainFrame::CMainFrame()
    : pause_([](std::chrono::milliseconds ms) { std::this_thread::sleep_for(ms); }) {
    MapHandlers();
}

CMainFrame::~CMainFrame() {
    if (EditorHost::MainFrame() == this)
        EditorHost::SetMainFrame(nullptr);
}

void CMainFrame::MapHandlers() {
    auto connected = [](fw::CmdUI& ui) { ui.Enable(CKoltInterface::GetInstance()->IsConnected()); };
    MapCommand(ID_NET_CONNECT, [this] { OnConnect(); });
    MapUpdate(ID_NET_CONNECT,
              [](fw::CmdUI& ui) { ui.Enable(!CKoltInterface::GetInstance()->IsConnected()); });
    MapCommand(ID_NET_DISCONNECT, [this] { OnDisconnect(); });
    for (unsigned id :
         {ID_NET_DISCONNECT, ID_NET_SEND_CONFIG, ID_NET_GET_CONFIG, ID_NET_BIND, ID_NET_GET_UNBOUND,
          ID_NET_UPDATE_SOFTWARE, ID_NET_SARN_KOLT, ID_NET_REBOOT, ID_NET_OPTIMIZE_EDMX})
        MapUpdate(id, connected);
    MapUpdate(ID_NET_ALWAYS_DISABLED, [](fw::CmdUI& ui) { ui.Enable(false); });
    MapCommand(ID_NET_ADDRESS_SERVER, [this] { OnAddressServer(); });
    MapUpdate(ID_NET_ADDRESS_SERVER, [](fw::CmdUI& ui) {
        ui.Enable(true);
        ui.SetCheck(CBootp::GetInstance()->IsRunning() ? 1 : 0);
    });
    MapCommand(ID_EDIT_NETWORK_ADDRESSES, [this] { OnNetworkAddresses(); });
    MapUpdate(ID_EDIT_NETWORK_ADDRESSES, [this](fw::CmdUI& ui) {
        CTessalyDocument* doc = ActiveTessalyDocument();
        ui.Enable(true);
        ui.SetCheck(doc && doc->Doc().IsNetworkAddressMode() ? 1 : 0);
    });
    MapUpdate(ID_NET_CLEAR_CONFIG, [this](fw::CmdUI& ui) {
        CTessalyDocument* doc = ActiveTessalyDocument();
        ui.Enable(doc && doc->Doc().IsNetworkAddressMode());
    });
    MapCommand(ID_NET_OPTIMIZE_EDMX, [this] { OnOptimizeEdmx(); });
    MapCommand(fw::ID_HELP_FINDER, [this] { OnHelp(); });
    MapCommand(fw::ID_HELP, [this] { OnHelp(); });
    MapCommand(fw::ID_CONTEXT_HELP, [] {});
    MapCommand(fw::ID_DEFAULT_HELP, [this] { OnHelp(); });
    MapUpdate(ID_INDICATOR_NODES, [this](fw::CmdUI& ui) {
        ui.Enable(true);
        ui.SetText(NodesIndicatorText());
    });
    MapUpdate(ID_INDICATOR_ONLINE, [this](fw::CmdUI& ui) {
        ui.Enable(true);
        ui.SetText(OnlineIndicatorText());
    });
    MapUpdate(ID_INDICATOR_NETWORK, [this](fw::CmdUI& ui) {
        ui.Enable(true);
        ui.SetText(NetworkIndicatorText());
    });
}

int CMainFrame::OnCreate() {
    if (fw::FrameWnd::OnCreate() == -1)
        return -1;
    SetMenu(MainMenu());
    SetAccelerators(MainAccelerators());
    if (!CreateToolBar(MainToolBar()))
        return -1;
    if (!CreateStatusBar({fw::ID_SEPARATOR, ID_INDICATOR_SPACER, ID_INDICATOR_NODES,
                          ID_INDICATOR_ONLINE, ID_INDICATOR_NETWORK}))
        return -1;
    EditorHost::SetMainFrame(this);
    CSplashWnd::ShowSplashScreen(this);
    return 0;
}

void CMainFrame::OnDestroy() {
    // The splash is a child of this window: it goes first, so nothing refers to it after.
    CSplashWnd::HideSplashScreen();
    if (EditorHost::MainFrame() == this)
        EditorHost::SetMainFrame(nullptr);
    fw::FrameWnd::OnDestroy();
}

CTessalyView* CMainFrame::ActiveTessalyView() const {
    return dynamic_cast<CTessalyView*>(GetActiveView());
}

CTessalyDocument* CMainFrame::ActiveTessalyDocument() const {
    return dynamic_cast<CTessalyDocument*>(GetActiveDocument());
}

fw::LRESULT CMainFrame::WindowProc(fw::Message& msg) {
    switch (msg.id) {
        case WM_NODE_STATUS_CHANGED:
            OnNodeStatusChanged(msg);
            return 0;
        case WM_NODE_STATUS_REFRESH:
            OnNodeStatusRefresh(msg);
            return 0;
        case WM_SET_MESSAGE_TEXT:
            if (auto* text = msg.payload.Get<std::string>())
                SetMessageText(*text);
            return 0;
        default:
            return fw::FrameWnd::WindowProc(msg);
    }
}

int CMainFrame::DrainNodeStatus() {
    const auto start = std::chrono::steady_clock::now();
    int count = 0;
    fw::Message queued;
    while (count < kMaxDrainPerTurn && std::chrono::steady_clock::now() - start < kMaxDrainTime &&
           PeekMessage(queued, WM_NODE_STATUS_CHANGED, WM_NODE_STATUS_CHANGED, true)) {
        queued.payload.Reset();  // the drained message's address is not needed
        ++count;
        pause_(kDrainPause);
    }
    drained_ += count;
    return count;
}

void CMainFrame::OnNodeStatusChanged(fw::Message& msg) {
    const int drained = DrainNodeStatus();
    CTessalyView* view = ActiveTessalyView();
    if (drained == 0) {
        if (view)
            view->RefreshNodeStatus(msg.payload.Take<VavMacAddress>(), msg.wParam != 0);
    } else {
        msg.payload.Reset();
        if (view)
            view->RefreshNodeStatus(nullptr, false);
    }
    UpdatePanes();
}

void CMainFrame::OnNodeStatusRefresh(fw::Message& msg) {
    DrainNodeStatus();
    if (CTessalyView* view = ActiveTessalyView())
        view->RefreshNodeStatus(msg.payload.Take<VavMacAddress>(), msg.wParam != 0);
    UpdatePanes();
}

void CMainFrame::UpdatePanes() {
    if (fw::StatusBar* bar = GetStatusBar()) {
        bar->SetPaneText(2, NodesIndicatorText());
        bar->SetPaneText(3, OnlineIndicatorText());
        bar->SetPaneText(4, NetworkIndicatorText());
    }
}

std::string CMainFrame::NodesIndicatorText() const {
    CTessalyDocument* doc = ActiveTessalyDocument();
    return Label(ID_INDICATOR_NODES) + " " + std::to_string(doc ? doc->Doc().GetNodeCount() : 0);
}

std::string CMainFrame::OnlineIndicatorText() const {
    std::string text = Label(ID_INDICATOR_ONLINE);
    CKoltInterface* kolt = CKoltInterface::GetInstance();
    if (kolt->IsConnected())
        text += " " + std::to_string(kolt->GetOnlineNodeCount());
    return text;
}

std::string CMainFrame::NetworkIndicatorText() const {
    return Label(ID_INDICATOR_NETWORK) +
           (CKoltInterface::GetInstance()->IsConnected() ? " Online" : " Offline");
}

void CMainFrame::RecordComponentVersions() {
    VavVersionInfo own;
    own.LoadFromModule(nullptr);
    GetVersionRegistry()->SetComponentVersion(VAV_COMPONENT_PROGRAM, own);
    GetVersionRegistry()->SetComponentVersion(VAV_COMPONENT_PROTOCOL_SUITE, ProtocolSuiteVersion());
}

void CMainFrame::OnConnect() {
    RecordComponentVersions();
    CKoltInterface::GetInstance()->Connect();
    if (GetToolBar())
        GetToolBar()->UpdateButtons(*this);
    UpdatePanes();
}

void CMainFrame::OnDisconnect() {
    CKoltInterface::GetInstance()->Disconnect();
    if (GetToolBar())
        GetToolBar()->UpdateButtons(*this);
    if (CTessalyView* view = ActiveTessalyView())
        view->RefreshNodeStatus(nullptr, false);
    UpdatePanes();
}

void CMainFrame::OnAddressServer() {
    CBootp* bootp = CBootp::GetInstance();
    if (bootp->IsRunning())
        bootp->Stop();
    else
        bootp->Start();
}

void CMainFrame::OnNetworkAddresses() {
    CTessalyDocument* doc = ActiveTessalyDocument();
    if (!doc)
        return;
    const bool on = doc->Doc().IsNetworkAddressMode();
    if (!on && !PasswordGate())
        return;  // entering the mode needs the password; leaving it does not
    doc->Doc().SetNetworkAddressMode(!on);
    if (CTessalyView* view = ActiveTessalyView())
        view->RebuildGrid();
}

bool CMainFrame::PasswordGate() {
    if (passwordGate_)
        return passwordGate_();
    CPasswordEntry entry;
    return entry.DoModal() == fw::IDOK;
}

void CMainFrame::OnOptimizeEdmx() {
    CTessalyDocument* document = ActiveTessalyDocument();
    if (!document)
        return;
    CTessalyDoc& doc = document->Doc();
    fw::WaitCursor wait;
    size_t next = 0;
    bool asked = false;
    xmldom::Node node;
    while (doc.GetNextNode(node)) {
        bool qualifies = false;
        xmldom::Node port;
        for (bool more = doc.GetFirstChild(node, port); more && !qualifies;
             more = doc.GetNextSibling(port, port)) {
            bool output = true;
            bool enabled = false;
            qualifies = doc.GetPortInputOutput(port, output) && !output &&
                        doc.GetPortEnabled(port, enabled) && enabled;
        }
        if (!qualifies)
            continue;
        if (!asked) {
            asked = true;
            const std::string text =
                "All nodes with inputs have been assigned a new EDMX Multicast IP address." +
                std::string(40, ' ') +
                "\n\nClick OK to use these new addresses or Cancel to disregard all changes.";
            if (fw::MessageBox(this, text, "Warning",
                               fw::MB_OKCANCEL | fw::MB_ICONEXCLAMATION | fw::MB_DEFBUTTON2) !=
                fw::IDOK)
                return;
        }
        doc.SetNodeEdmxMulticastIp(node, kEdmxMulticastGroups[next % kEdmxMulticastGroups.size()]);
        ++next;
        doc.SendEdmxMulticastIp(node);
    }
    if (next > 0) {
        if (CTessalyView* view = ActiveTessalyView())
            view->RebuildGrid();
    } else {
        fw::MessageBox(this, "No nodes were changed.", "Information", fw::MB_OK);
    }
}

std::string CMainFrame::HelpPagePath() {
    return (os::ProgramDir() / "help" / "Wov_Online_Help.htm").string();
}

void CMainFrame::OnHelp() {
    if (shellOpen_)
        shellOpen_(HelpPagePath());
    else
        os::OpenDocument(HelpPagePath());
}

// ---- Progress and the long operations' view of the frame ------------------------------------

bool CMainFrame::TakePendingKeyDown() {
    return fw::TakePendingKeyDown(*this);
}

bool CMainFrame::ProgressRect(fw::Rect& pane) const {
    fw::StatusBar* bar = GetStatusBar();
    return bar && bar->GetItemRect(kProgressPane, pane);
}

void CMainFrame::BeginProgress(int range) {
    fw::Rect pane;
    if (!ProgressRect(pane))
        return;
    progress_ = std::make_unique<CProgressBar>(1, pane.Width() - 1, pane.Height() - 1, true);
    progress_->SetRange(range);
    progressPos_ = 0;
    DrawProgress();
}

void CMainFrame::SetProgress(int position) {
    progressPos_ = position;
    ++progressUpdates_;
    highestProgress_ = std::max(highestProgress_, position);
    DrawProgress();
}

void CMainFrame::DrawProgress() {
    fw::Rect pane;
    if (!progress_ || !ProgressRect(pane))
        return;
    progress_->Update(*GetStatusBar(), progressPos_, pane.left + 3, pane.top + 3);
}

void CMainFrame::EndProgress() {
    progress_.reset();
    if (fw::StatusBar* bar = GetStatusBar())
        bar->Invalidate();
}

void CMainFrame::Invalidate() {
    fw::Window::Invalidate(false);
}

bool CMainFrame::PostNodeStatus(uint32_t message, bool online, std::unique_ptr<VavMacAddress> mac) {
    // The posted message owns the address: it is freed with the message if this window is
    // gone or closes with it still queued.
    return fw::PostMessage(Handle(), message, online ? 1 : 0, 0, fw::Payload(std::move(mac)));
}

}  // namespace tessaly
