#include "editor/ui/VPorts.h"

#include <algorithm>

#include <QCoreApplication>
#include <QPrinter>

#include "editor/document/EditorStrings.h"
#include "editor/document/TessalyDoc.h"
#include "editor/ui/GridWnd.h"
#include "editor/ui/NumEditControl.h"
#include "editor/ui/TessalyDocument.h"
#include "editor/ui/TessalyResources.h"
#include "framework/app/Application.h"
#include "framework/base/CommandIds.h"
#include "framework/controls/Button.h"
#include "framework/dialogs/MessageBox.h"
#include "framework/drawing/DeviceContext.h"
#include "framework/printing/Printing.h"
#include "grid/controls/CGXCheckBox.h"
#include "grid/controls/CGXControl.h"
#include "grid/controls/CGXPushbutton.h"
#include "grid/controls/CGXSpinEdit.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXStyle.h"

namespace tessaly {
namespace {

enum : unsigned {
    IDS_VALUE_OUT_OF_RANGE = 20001,
    IDS_FACTORY_NOT_DELETED = 20011,
    IDS_SELECT_TO_DELETE = 20012,
    IDS_DELETE_USER_VPORT = 30006,
    IDS_CHANGES_LOST = 30007,
    IDS_RESET_FACTORY = 30010,
};

constexpr std::uint16_t kUaNodeIndex = 10001;

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 25;

std::string Blanks(std::string text) {
    std::replace(text.begin(), text.end(), '_', ' ');
    return text;
}

void CollectLeaves(xmldom::Node parent, std::vector<xmldom::Node>& leaves) {
    for (xmldom::Node child = parent.FirstChildElement(); child;
         child = child.NextSiblingElement()) {
        if (child.FirstChild() && !child.FirstChild().IsText())
            CollectLeaves(child, leaves);
        else
            leaves.push_back(child);
    }
}

// Every element of that name below `root`, in document order.
void CollectNamed(xmldom::Node root, std::string_view name, std::vector<xmldom::Node>& found) {
    for (xmldom::Node child = root.FirstChildElement(); child; child = child.NextSiblingElement()) {
        if (child.Name() == name)
            found.push_back(child);
        CollectNamed(child, name, found);
    }
}

}  // namespace

std::vector<xmldom::Node> VPortLeaves(xmldom::Node vPort) {
    std::vector<xmldom::Node> leaves;
    CollectLeaves(vPort, leaves);
    return leaves;
}

CVPorts::CVPorts(fw::Window* parent) : fw::Dialog(parent) {
    SetTemplate("Edit vPort Table", 400, 260);
    MapCommand(IDC_VPORT_ADD, [this] { OnAddVPort(); });
    MapCommand(IDC_VPORT_DELETE, [this] { OnDeleteVPort(); });
    MapCommand(IDC_VPORT_SAVE, [this] { OnSaveTable(); });
    MapCommand(IDC_VPORT_RESET, [this] { OnResetFactory(); });
    MapCommand(IDC_VPORT_PRINT, [this] { OnPrintTable(); });
}

CVPorts::~CVPorts() = default;

void CVPorts::CreateControls() {
    auto grid = std::make_unique<CGridWnd>();
    grid->Create(this, MapDialogRect({0, 0, 400, 230}), IDC_VPORT_GRID,
                 fw::WS_CHILD | fw::WS_VISIBLE | fw::WS_TABSTOP | fw::WS_VSCROLL | fw::WS_HSCROLL);
    grid->SetWindowText("vPorts");
    grid_ = AddWindow(std::move(grid));
    const std::pair<unsigned, const char*> buttons[] = {
        {IDC_VPORT_RESET, "&Reset 1-64"}, {IDC_VPORT_PRINT, "&Print..."},
        {IDC_VPORT_ADD, "&Add vPort"},    {IDC_VPORT_DELETE, "&Delete vPort"},
        {IDC_VPORT_SAVE, "&OK"},          {fw::IDCANCEL, "&Cancel"},
    };
    for (const auto& [id, text] : buttons) Add<fw::Button>(id, text, {0, 235, 60, 250});
}

bool CVPorts::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    PlaceControls();
    CTessalyDocument* document = ActiveTessalyDocument();
    doc_ = document ? &document->Doc() : nullptr;
    vPorts_ = doc_ ? doc_->GetVPortsElement() : xmldom::Node{};
    if (!doc_ || !vPorts_) {
        // Nothing to edit: only Cancel is offered.
        for (unsigned id :
             {IDC_VPORT_ADD, IDC_VPORT_DELETE, IDC_VPORT_SAVE, IDC_VPORT_RESET, IDC_VPORT_PRINT})
            GetDlgItem(id)->EnableWindow(false);
        grid_->EnableWindow(false);
        return false;
    }
    grid_->m_pDoc = doc_;
    SetupGrid();
    return true;
}

void CVPorts::PlaceControls() {
    const fw::Rect frame = GetWindowRect();
    const fw::Rect client = GetClientRect();
    const int extraW = frame.Width() - client.Width();
    const int extraH = frame.Height() - client.Height();
    MoveWindow({frame.left, frame.top, frame.left + kWidth + extraW, frame.top + kHeight + extraH});
    const fw::Rect c = GetClientRect();
    const int top = c.bottom - 30;
    const std::pair<unsigned, int> lefts[] = {
        {fw::IDCANCEL, c.right - 105},     {IDC_VPORT_SAVE, c.right - 210},
        {IDC_VPORT_DELETE, c.right - 315}, {IDC_VPORT_ADD, c.right - 420},
        {IDC_VPORT_RESET, c.left + 5},     {IDC_VPORT_PRINT, c.left + 110},
    };
    for (const auto& [id, left] : lefts)
        GetDlgItem(id)->MoveWindow({left, top, left + kButtonWidth, top + kButtonHeight});
    grid_->MoveWindow({c.left, c.top, c.right, c.bottom - 35});
}

void CVPorts::SetupGrid() {
    grid_->SetParam(nullptr);
    grid_->Initialize();
    CGXGridParam* param = grid_->GetParam();
    param->EnableUndo(false);
    grid_->SetColCount(8);
    param->EnableSelection(0x1B);
    param->EnableMoveCols(false);
    param->EnableMoveRows(false);
    param->EnableTrackRowHeight(0);
    param->EnableTrackColWidth(0);
    param->m_bNumberedColHeaders = false;
    param->m_bNumberedRowHeaders = false;
    CGXStyle standard;
    standard.SetWrapText(false).SetVerticalAlignment(fw::DT_VCENTER);
    grid_->ChangeStandardStyle(standard, gxOverride);
    grid_->SetMergeCellsMode(10);

    CGXStyle table;
    table.SetEnabled(false).SetInterior(CGridWnd::kGrey);
    grid_->SetStyleRange(CGXRange().SetTable(), &table);
    grid_->SetFrozenRows(1, 1);
    grid_->m_nHeaderLevels = 1;
    CGXStyle centred;
    centred.SetHorizontalAlignment(fw::DT_CENTER);
    CGXStyle right;
    right.SetHorizontalAlignment(fw::DT_RIGHT);
    for (ROWCOL col = 0; col <= kVPortReset; ++col) {
        grid_->SetStyleRange(CGXRange().SetCols(col, col),
                             col == kVPortDd || col == kVPortReset ? &centred : &right);
    }

    validMessage_ = LoadEditorString(IDS_VALUE_OUT_OF_RANGE);
    grid_->RegisterControl(kNumEditControlId,
                           std::make_unique<CNumEditControl>(grid_, kNumEditControlId));
    columns_ = {
        {"vPort_ID", kVPortId, 0, true, PROPERTY_UI4, 1, 32767, 0},
        {"EDMX_Start", kVPortStart, 0, false, PROPERTY_UI4, 1, 32767, 0},
        {"EDMX_Channels", kVPortChannels, 0, false, PROPERTY_UI2, 1, 512, 0},
        {"EDMX_End", kVPortEnd, 0, true, PROPERTY_UI4, 1, 32767, 0},
        {"Dimmer_Doubling", kVPortDd, 0, true, PROPERTY_NONE, 0, 0, 0},
        {"Enabled", kVPortDd, 1, false, PROPERTY_BOOLEAN, 0, 1, 0},
        // The doubled range is 256 addresses: its start leaves room for them.
        {"EDMX_Start", kVPortDdStart, 1, false, PROPERTY_UI4, 257,
         static_cast<int32_t>(CGridWnd::kTopDdStart), 0},
        {"EDMX_End", kVPortDdEnd, 1, false, PROPERTY_UI4, 512, 32767, 0},
        {"Affected_DMX_Ports", kVPortAffected, 0, true, PROPERTY_UI4, 0, 32767, 0},
        {"Reset", kVPortReset, 0, false, PROPERTY_NONE, 0, 0, 0},
    };
    for (const VPortColumnInfo& column : columns_) {
        if (column.name != "Dimmer_Doubling" && column.name != "Reset")
            SetupColumn(column);
    }
    SetupHeaders();
    FillRows();
    grid_->HideCols(kVPortAffected, kVPortAffected);
    // Widths are fitted before the header blocks are made, each header text measured in its
    // own column, so every column is wide enough for its header.
    grid_->ResizeColWidthsToFit(CGXRange().SetTable());
    CoverHeaders();
    // The Dimmer Doubling header spans three columns now: its first one needs only the room
    // of its own cells.
    grid_->ResizeColWidthsToFit(CGXRange(1, kVPortDd, grid_->GetRowCount(), kVPortDd));
    param->EnableUndo(true);
}

void CVPorts::SetupColumn(const VPortColumnInfo& column) {
    CGXStyle style;
    const PropertyType type = column.type;
    if (type >= PROPERTY_UI1 && type <= PROPERTY_I4) {
        if (column.readOnly)
            return;
        style.SetControl(kNumEditControlId)
            .SetUserAttribute(GX_IDS_UA_SPINBOUND_MIN, column.minimum)
            .SetUserAttribute(GX_IDS_UA_SPINBOUND_MAX, column.maximum)
            .SetUserAttribute(GX_IDS_UA_SPINSTART, 1)
            .SetUserAttribute(GX_IDS_UA_VALID_MIN, column.minimum)
            .SetUserAttribute(GX_IDS_UA_VALID_MAX, column.maximum)
            .SetUserAttribute(GX_IDS_UA_VALID_MSG, validMessage_);
    } else if (type == PROPERTY_BOOLEAN) {
        style.SetControl(GX_IDS_CTRL_CHECKBOX3D);
    } else if (type == PROPERTY_STRING || (type >= PROPERTY_IPV4 && type <= PROPERTY_VERNUMSTR)) {
        style.SetMaxLength(static_cast<std::uint16_t>(column.maxLength));
    } else {
        return;
    }
    grid_->SetStyleRange(CGXRange().SetCols(column.column, column.column), &style);
}

void CVPorts::SetupHeaders() {
    ROWCOL levels = 0;
    for (const VPortColumnInfo& column : columns_) {
        if (column.level > levels)
            levels = column.level;
        CGXStyle header;
        header.SetValue(Blanks(column.name)).SetHorizontalAlignment(fw::DT_CENTER);
        grid_->SetStyleRange(CGXRange(column.level, column.column), &header);
    }
    grid_->m_nHeaderLevels = levels;
    grid_->SetRowCount(levels);
}

void CVPorts::CoverHeaders() {
    grid_->SetCoveredCellsRowCol(0, kVPortDd, 0, kVPortDdEnd);
    for (ROWCOL col :
         {kVPortId, kVPortStart, kVPortChannels, kVPortEnd, kVPortAffected, kVPortReset})
        grid_->SetCoveredCellsRowCol(0, col, 1, col);
}

void CVPorts::FillRows() {
    largestVPort_ = 0;
    for (xmldom::Node vPort; doc_->GetNextVPort(vPort);) {
        const ROWCOL row = grid_->GetRowCount() + 1;
        grid_->SetRowCount(row);
        const std::vector<xmldom::Node> leaves = VPortLeaves(vPort);
        unsigned number = 0;
        for (size_t col = 0; col < leaves.size() && col < kVPortReset; ++col) {
            const xmldom::Node leaf = leaves[col];
            const std::string value =
                leaf.FirstChild() && leaf.FirstChild().IsText() ? leaf.Text() : std::string();
            if (col == kVPortId) {
                number = static_cast<unsigned>(std::strtoul(value.c_str(), nullptr, 10));
                largestVPort_ = std::max(largestVPort_, number);
            }
            const bool enabled = col != kVPortId && !doc_->IsReadOnly(leaf);
            // Each row is coloured by its own vPort's kind.
            const COLORREF color = col == kVPortId ? CGridWnd::kGrey
                                   : enabled       ? CGridWnd::EditableColor(number)
                                                   : CGridWnd::DisabledColor(number);
            CGXStyle style;
            style.SetValue(value).SetEnabled(enabled).SetInterior(color).SetItemDataPtr(
                grid_->Keep(leaf));
            grid_->SetStyleRange(CGXRange(row, static_cast<ROWCOL>(col)), &style);
        }
        if (number >= 1 && number <= CGridWnd::kLastFactoryVPort) {
            CGXStyle button;
            button.SetControl(GX_IDS_CTRL_PUSHBTN)
                .SetChoiceList("Reset")
                .SetEnabled(true)
                .SetInterior(CGridWnd::kGrey);
            grid_->SetStyleRange(CGXRange(row, kVPortReset), &button);
        }
    }
    rows_ = grid_->GetRowCount();
}

void CVPorts::OnAddVPort() {
    CGXGridParam* param = grid_->GetParam();
    param->EnableUndo(false);
    const ROWCOL row = grid_->GetRowCount() + 1;
    grid_->SetRowCount(row);
    const unsigned number = ++largestVPort_;
    CGXStyle id;
    id.SetValue(std::to_string(number))
        .SetUserAttribute(kUaNodeIndex, std::to_string(number))
        .SetInterior(CGridWnd::kGrey);
    grid_->SetStyleRange(CGXRange(row, kVPortId), &id);
    const COLORREF editable = CGridWnd::EditableColor(number);
    const COLORREF disabled = CGridWnd::DisabledColor(number);
    grid_->SetCell(row, kVPortStart, "1", true, editable);
    grid_->SetCell(row, kVPortChannels, "512", true, editable);
    grid_->SetCell(row, kVPortDd, "0", true, editable);
    grid_->SetCell(row, kVPortEnd, "512", false, disabled);
    grid_->SetCell(row, kVPortDdStart, "257", false, disabled);
    grid_->SetCell(row, kVPortDdEnd, "512", false, disabled);
    grid_->SetCell(row, kVPortAffected, "0", false, disabled);
    grid_->SetCurrentCell(row, kVPortStart);
    param->EnableUndo(true);
    grid_->m_bModified = true;
}

void CVPorts::OnDeleteVPort() {
    std::vector<ROWCOL> rows;
    grid_->GetSelectedRows(rows, true, false);
    rows.erase(
        std::remove_if(rows.begin(), rows.end(), [this](ROWCOL r) { return !grid_->IsDataRow(r); }),
        rows.end());
    if (rows.empty()) {
        fw::AppMessageBox(LoadEditorString(IDS_SELECT_TO_DELETE), fw::MB_ICONEXCLAMATION);
        return;
    }
    for (ROWCOL row : rows) {
        const unsigned number = grid_->VPortNumber(row);
        if (number > CGridWnd::kLastFactoryVPort) {
            const int answer = fw::AppMessageBox(
                FormatText(LoadEditorString(IDS_DELETE_USER_VPORT).c_str(), number),
                fw::MB_YESNOCANCEL | fw::MB_ICONQUESTION | fw::MB_DEFBUTTON2);
            if (answer == fw::IDCANCEL)
                break;
            if (answer == fw::IDYES) {
                grid_->HideRows(row, row);
                grid_->m_bModified = true;
            }
        } else if (fw::AppMessageBox(
                       FormatText(LoadEditorString(IDS_FACTORY_NOT_DELETED).c_str(), number),
                       fw::MB_OKCANCEL | fw::MB_ICONSTOP) == fw::IDCANCEL) {
            break;
        }
    }
    grid_->SetSelection(nullptr);
}

void CVPorts::OnResetFactory() {
    if (fw::AppMessageBox(LoadEditorString(IDS_RESET_FACTORY),
                          fw::MB_YESNO | fw::MB_ICONQUESTION | fw::MB_DEFBUTTON2) != fw::IDYES)
        return;
    grid_->BeginTrans("Reset");
    const ROWCOL last = std::min<ROWCOL>(grid_->GetRowCount(),
                                         grid_->FirstDataRow() + CGridWnd::kLastFactoryVPort - 1);
    for (ROWCOL row = grid_->FirstDataRow(); row <= last; ++row) grid_->ResetRow(row);
    grid_->CommitTrans();
    grid_->m_bModified = true;
}

void CVPorts::OnCancel() {
    if (grid_->m_bModified &&
        fw::AppMessageBox(LoadEditorString(IDS_CHANGES_LOST),
                          fw::MB_OKCANCEL | fw::MB_ICONEXCLAMATION | fw::MB_DEFBUTTON2) != fw::IDOK)
        return;
    EndDialog(fw::IDCANCEL);
}

// ---- Writing the table back ----------------------------------------------------------------

void CVPorts::WriteRow(ROWCOL row, const std::vector<xmldom::Node>& leaves, unsigned first) {
    for (unsigned col = first; col <= kVPortAffected && col < leaves.size(); ++col) {
        const xmldom::Node leaf = leaves[col];
        const std::string value = grid_->GetValueRowCol(row, col);
        // Only what differs is written, so an unchanged vPort stays byte for byte.
        if (leaf.Text() != value)
            doc_->SetNodeText(leaf, value);
        CGXStyle style;
        grid_->ComposeStyleRowCol(row, col, &style);
        const char* edit = style.GetEnabled() ? "Y" : "N";
        if (leaf.Attribute("edit") != std::optional<std::string_view>(edit))
            doc_->SetAttribute(leaf, "edit", edit);
    }
}

std::vector<xmldom::Node> CVPorts::PortVPortElements() const {
    std::vector<xmldom::Node> found;
    CollectNamed(doc_->GetNodesElement(), "vPort", found);
    return found;
}

void CVPorts::ClearPortsOf(const std::string& number) {
    for (xmldom::Node element : PortVPortElements()) {
        if (element.Text() == number)
            doc_->SetNodeText(element, "0");
    }
}

bool CVPorts::WritePorts() {
    struct Field {
        const char* name;
        ROWCOL col;
    };
    // The port's own copies of its vPort's range, computed ends included.
    constexpr Field kFields[] = {
        {"EDMX_Start", kVPortStart},      {"EDMX_Channels", kVPortChannels},
        {"EDMX_End", kVPortEnd},          {"DD", kVPortDd},
        {"DD_EDMX_Start", kVPortDdStart}, {"DD_EDMX_End", kVPortDdEnd},
    };
    bool written = false;
    for (xmldom::Node element : PortVPortElements()) {
        const std::string number = element.Text();
        if (number == "0")
            continue;
        ROWCOL row = grid_->FirstDataRow();
        while (row <= grid_->GetRowCount() && grid_->GetValueRowCol(row, kVPortId) != number) ++row;
        if (row > grid_->GetRowCount())
            continue;
        const xmldom::Node port = element.Parent();
        for (const Field& field : kFields) {
            const xmldom::Node child = port.ChildElement(field.name);
            const std::string value = grid_->GetValueRowCol(row, field.col);
            if (child && child.Text() != value) {
                doc_->SetNodeText(child, value);
                written = true;
            }
        }
    }
    return written;
}

void CVPorts::OnSaveTable() {
    // A value still being typed is stored first; one that does not validate keeps the
    // dialog open.
    ROWCOL currentRow = 0;
    ROWCOL currentCol = 0;
    if (grid_->GetCurrentCell(currentRow, currentCol) && !grid_->TransferCurrentCell(true))
        return;
    if (!grid_->m_bModified) {
        EndDialog(fw::IDOK);
        return;
    }
    fw::WaitCursor wait;
    const xmldom::Node model = vPorts_.FirstChildElement();
    for (ROWCOL row = grid_->FirstDataRow(); row <= grid_->GetRowCount(); ++row) {
        const xmldom::Node idLeaf = grid_->Leaf(row, kVPortId);
        const bool hidden = grid_->IsRowHidden(row);
        if (idLeaf && hidden) {
            const std::string number = idLeaf.Text();
            xmldom::Node vPort = idLeaf.Parent();
            vPort.Remove();
            ClearPortsOf(number);
            doc_->SetModifiedFlag(true);
        } else if (idLeaf) {
            WriteRow(row, VPortLeaves(idLeaf.Parent()), kVPortStart);
        } else if (!hidden && model) {
            const xmldom::Node added = vPorts_.AppendCopy(model);
            WriteRow(row, VPortLeaves(added), kVPortId);
            doc_->SetModifiedFlag(true);
        }
    }
    if (WritePorts())
        doc_->SetModifiedFlag(true);
    EndDialog(fw::IDOK);
}

}  // namespace tessaly

namespace tessaly {
namespace {

void PrintError(std::uint32_t id, unsigned icon = fw::MB_ICONSTOP) {
    fw::AppMessageBox(LoadEditorString(id), icon);
}

// Hides the Reset column for the printout and shows it again however the job ends; neither
// step is something the user can undo.
class TablePrintScope {
public:
    explicit TablePrintScope(CGridWnd& grid) : grid_(grid) { Hide(true); }
    ~TablePrintScope() { Hide(false); }
    TablePrintScope(const TablePrintScope&) = delete;
    TablePrintScope& operator=(const TablePrintScope&) = delete;

private:
    void Hide(bool hide) {
        CGXGridParam* param = grid_.GetParam();
        const bool undo = param->IsEnableUndo();
        param->EnableUndo(false);
        grid_.HideCols(kVPortReset, kVPortReset, hide, nullptr, GX_UPDATENOW);
        param->EnableUndo(undo);
    }
    CGridWnd& grid_;
};

// Prints the grid's pages into a started document; false when cancelled or a page failed
// (the message is shown and the document aborted).
bool PrintGridPages(CGridWnd& grid, fw::DeviceContext& dc, fw::PrintInfo& info,
                    fw::PrintAbortDialog& progress) {
    for (unsigned page = 1; page <= info.maxPage; ++page) {
        QCoreApplication::processEvents();
        if (progress.Cancelled()) {
            dc.AbortDoc();
            PrintError(IDS_PRINTING_ABORTED, fw::MB_ICONEXCLAMATION);
            return false;
        }
        info.currentPage = page;
        grid.OnGridPrepareDC(&dc, true);
        info.drawRect =
            dc.DPtoLP(fw::Rect{0, 0, dc.GetDeviceCaps(fw::HORZRES), dc.GetDeviceCaps(fw::VERTRES)});
        info.drawRect.Normalize();
        if (dc.StartPage() <= 0) {
            PrintError(IDS_START_PAGE_FAILED);
            dc.AbortDoc();
            return false;
        }
        grid.OnGridPrint(&dc, &info);
        dc.EndPage();
        if (!info.continuePrinting)
            break;
    }
    return true;
}

}  // namespace

void CVPorts::OnPrintTable() {
    QPrinter printer(QPrinter::HighResolution);
    fw::PrintInfo info;
    if (!fw::RunPrintDialog(printer, info, this))
        return;
    // The whole table is printed, whatever range the dialog offered.
    info.printSelection = false;
    info.fromPage = info.minPage = 1;
    info.toPage = info.maxPage = fw::PrintInfo::kUnknownPages;
    TablePrintScope hideReset(*grid_);
    if (!printer.isValid()) {
        PrintError(IDS_NO_PRINTER);
        return;
    }
    fw::DeviceContext dc(&printer);
    if (dc.StartDoc("Ixo Wov : vPort Table") <= 0) {
        PrintError(IDS_PRINTER_NOT_INITIALIZED);
        return;
    }
    if (!grid_->OnGridBeginPrinting(&dc, &info)) {
        dc.AbortDoc();
        PrintError(IDS_PRINTER_NOT_INITIALIZED);
        return;
    }
    bool printed = false;
    {
        fw::PrintAbortDialog progress("vPort Table", this);
        progress.SetPage(1, "Printing, please wait...");
        progress.show();
        printed = PrintGridPages(*grid_, dc, info, progress);
    }
    if (printed && dc.EndDoc() <= 0)
        PrintError(IDS_END_DOC_FAILED);
    grid_->OnGridEndPrinting(&dc, &info);
}

}  // namespace tessaly
