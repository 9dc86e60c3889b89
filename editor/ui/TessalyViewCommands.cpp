// The node commands of the grid view: each asks, picks the selected nodes (or all), and calls
// one operation of the document, which does the network work and reports per node.
#include "editor/document/ErrorHandler.h"
#include "editor/document/NodeCommand.h"
#include "editor/document/TessalyDoc.h"
#include "editor/ui/AIPConfig.h"
#include "editor/ui/BindNodesDlg.h"
#include "editor/ui/TessalyResources.h"
#include "editor/ui/TessalyView.h"
#include "editor/ui/VPorts.h"
#include "framework/app/Application.h"
#include "framework/base/CommandIds.h"
#include "framework/dialogs/MessageBox.h"
#include "framework/persist/StringTable.h"
#include "grid/core/CGXGridParam.h"
#include "os/Paths.h"
#include "os/Process.h"
#include "platform/VavSocket.h"

namespace tessaly {

void CTessalyView::MapCommands() {
    // The Edit menu's grid commands (the grid's features do the work; without them they stay
    // disabled).
    MapCommand(fw::ID_EDIT_COPY, [this] { Copy(); });
    MapUpdate(fw::ID_EDIT_COPY, [this](fw::CmdUI& ui) { ui.Enable(CanCopy()); });
    MapCommand(fw::ID_EDIT_PASTE, [this] { Paste(); });
    MapUpdate(fw::ID_EDIT_PASTE, [this](fw::CmdUI& ui) { ui.Enable(CanPaste()); });
    MapCommand(fw::ID_EDIT_UNDO, [this] { Undo(); });
    MapUpdate(fw::ID_EDIT_UNDO, [this](fw::CmdUI& ui) {
        ui.Enable(GetCommandFactory() && GetParam() && !GetParam()->GetUndoList().empty());
    });
    MapCommand(ID_EDIT_DELETE_NODE, [this] { OnDeleteNode(); });
    MapUpdate(ID_EDIT_DELETE_NODE, [this](fw::CmdUI& ui) {
        std::vector<ROWCOL> rows;
        ui.Enable(IsInitialized() && GetSelectedRows(rows, true, false) > 0);
    });
    MapCommand(ID_NET_SEND_CONFIG, [this] {
        CommitCellEdit();
        RunOnSelection(IDS_SEND_SELECTED, IDS_SEND_ALL, &CTessalyDoc::SendConfig, false);
    });
    MapCommand(ID_NET_GET_CONFIG, [this] {
        CommitCellEdit();
        RunOnSelection(IDS_GET_SELECTED, IDS_GET_ALL, &CTessalyDoc::GetConfig, true);
    });
    MapCommand(ID_NET_BIND, [this] {
        CommitCellEdit();
        CBindNodesDlg bind;
        bind.m_pDoc = Doc();
        bind.DoModal();
        RebuildGrid();  // whatever the dialog did
    });
    MapCommand(ID_EDIT_AIP, [this] {
        CommitCellEdit();
        CAIPConfig aip;
        aip.DoModal();
    });
    MapCommand(ID_EDIT_VPORTS, [this] {
        CommitCellEdit();
        CVPorts vPorts;
        if (vPorts.DoModal() == fw::IDOK)
            RebuildGrid();  // the ports now hold their vPorts' new ranges
    });
    MapCommand(ID_NET_GET_UNBOUND, [this] {
        if (!AskYesNo(IDS_GET_UNBOUND))
            return;
        fw::WaitCursor wait;
        Doc()->GetUnboundNodes();
        RebuildGrid();
    });
    MapCommand(ID_NET_UPDATE_SOFTWARE, [this] {
        RunOnSelection(IDS_UPDATE_SELECTED, IDS_UPDATE_ALL, &CTessalyDoc::UpdateNodeSoftware,
                       false);
    });
    MapCommand(ID_NET_REBOOT, [this] {
        RunOnSelection(IDS_REBOOT_SELECTED, IDS_REBOOT_ALL, &CTessalyDoc::RebootNodes, false);
    });
    MapCommand(ID_NET_CLEAR_CONFIG, [this] { OnClearConfiguration(); });
    MapCommand(ID_NET_SARN_KOLT, [this] { OnSarnKolt(); });
    MapCommand(ID_NET_QUILLON, [this] { OnQuillon(); });
}

bool CTessalyView::GetNextSelectedNode(bool first, int& index, xmldom::Node& element) {
    if (first) {
        selectedRows_.clear();
        GetSelectedRows(selectedRows_, true, false);
        selectedPos_ = 0;
    }
    while (selectedPos_ < selectedRows_.size()) {
        const ROWCOL row = selectedRows_[selectedPos_++];
        const int rowIndex = NodeIndexOfRow(row);
        if (rowIndex < 0)
            continue;
        index = rowIndex;
        element = NodeOfRow(row);
        // The following rows of the same node belong to this one.
        while (selectedPos_ < selectedRows_.size() &&
               selectedRows_[selectedPos_] == selectedRows_[selectedPos_ - 1] + 1 &&
               NodeIndexOfRow(selectedRows_[selectedPos_]) == rowIndex)
            ++selectedPos_;
        return true;
    }
    index = -1;
    element = {};
    return false;
}

bool CTessalyView::CommitCellEdit() {
    ROWCOL row = 0;
    ROWCOL col = 0;
    if (GetCurrentCell(row, col) && !TransferCurrentCell(true)) {
        // The value being edited does not validate: it is discarded, so what is sent is what
        // the configuration holds.
        ResetCurrentCell();
    }
    constexpr unsigned kScrollIntoView = 0x08;
    return SetCurrentCell(0, 0, kScrollIntoView | GX_UPDATENOW);
}

std::vector<xmldom::Node> CTessalyView::SelectedNodes() {
    std::vector<xmldom::Node> nodes;
    int index = 0;
    xmldom::Node node;
    for (bool more = GetNextSelectedNode(true, index, node); more;
         more = GetNextSelectedNode(false, index, node))
        if (node)
            nodes.push_back(node);
    return nodes;
}

bool CTessalyView::AskYesNo(unsigned textId, unsigned captionId) {
    const std::string text = fw::LoadString(textId);
    const int answer = captionId
                           ? fw::MessageBox(this, text, fw::LoadString(captionId), fw::MB_YESNO)
                           : fw::AppMessageBox(text, fw::MB_YESNO);
    return answer == fw::IDYES;
}

void CTessalyView::RunOnSelection(unsigned selectedQuestion, unsigned allQuestion,
                                  bool (CTessalyDoc::*operation)(xmldom::Node), bool rebuild) {
    CTessalyDoc* doc = Doc();
    if (!doc)
        return;
    const std::vector<xmldom::Node> nodes = SelectedNodes();
    if (!AskYesNo(nodes.empty() ? allQuestion : selectedQuestion))
        return;
    fw::WaitCursor wait;
    if (nodes.empty()) {
        (doc->*operation)(xmldom::Node{});
    } else {
        for (xmldom::Node n : nodes) (doc->*operation)(n);
    }
    if (rebuild)
        RebuildGrid();
}

void CTessalyView::OnDeleteNode() {
    CTessalyDoc* doc = Doc();
    const std::vector<xmldom::Node> nodes = SelectedNodes();
    if (!doc || nodes.empty() || !AskYesNo(IDS_CONFIRM_DELETE, IDS_CONFIRM_DELETE_TITLE))
        return;
    fw::WaitCursor wait;
    SetSelection(nullptr);
    for (xmldom::Node n : nodes) doc->DeleteNode(n);
    RebuildGrid();
}

void CTessalyView::OnClearConfiguration() {
    CTessalyDoc* doc = Doc();
    const std::vector<xmldom::Node> nodes = SelectedNodes();
    if (!doc || !AskYesNo(nodes.empty() ? IDS_CLEAR_ALL : IDS_CLEAR_SELECTED))
        return;
    fw::WaitCursor wait;
    if (nodes.empty()) {
        doc->ClearConfiguration({});
        doc->RebootNodes({});
    }
    for (xmldom::Node n : nodes) {
        doc->ClearConfiguration(n);
        doc->RebootNodes(n);
    }
}

void CTessalyView::OnSarnKolt() {
    uint32_t reason = 30;
    if (SocketStartup()) {
        const uint32_t result = SendNodeCommand(kNodeCommandGroup, 2);
        SocketCleanup();
        if ((result & 0x80000000U) == 0)
            return;
        reason = result & 0xFFFF;
    }
    const unsigned text = reason == 3    ? IDS_DISCOVER_PARAMETER
                          : reason == 30 ? IDS_DISCOVER_NETWORK
                                         : IDS_DISCOVER_UNEXPECTED;
    CErrorHandler::GetInstance()->ReportText(CErrorHandler::TYPE_ERROR, "TessalyView", __LINE__,
                                             fw::LoadString(text));
}

void CTessalyView::OnQuillon() {
    // The version tool is installed beside the editor.
    os::StartProgram(os::ProgramDir() / "quillon", {});
}

}  // namespace tessaly
