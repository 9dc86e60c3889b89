#include "editor/ui/TessalyView.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <thread>

#include "editor/document/EditorStrings.h"
#include "editor/document/ErrorHandler.h"
#include "editor/document/IPAddress.h"
#include "editor/document/KoltInterface.h"
#include "editor/document/TessalyDoc.h"
#include "editor/ui/MainFrm.h"
#include "editor/ui/NumEditControl.h"
#include "editor/ui/TessalyDocument.h"
#include "editor/ui/TessalyResources.h"
#include "framework/app/Application.h"
#include "framework/drawing/PaintContext.h"
#include "framework/persist/StringTable.h"
#include "grid/controls/CGXCheckBox.h"
#include "grid/controls/CGXControl.h"
#include "grid/controls/CGXSpinEdit.h"
#include "grid/controls/CGXTabbedComboBoxWnd.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/GXFlagScope.h"
#include "grid/core/GXGridMessageRouting.h"
#include "platform/Logger.h"
#include "xmldom/Path.h"

namespace tessaly {
namespace {

// The editor's own number cell control.
constexpr std::uint16_t kNumEditControl = kNumEditControlId;

std::string Blanks(std::string text) {
    std::replace(text.begin(), text.end(), '_', ' ');
    return text;
}

std::string LastSegment(const std::string& path) {
    const size_t dot = path.rfind('.');
    return dot == std::string::npos ? path : path.substr(dot + 1);
}

bool HasElementChildren(xmldom::Node element) {
    return static_cast<bool>(element.FirstChildElement());
}

CGXStyle GreyStyle() {
    CGXStyle style;
    style.SetEnabled(false).SetInterior(CTessalyView::kGrey);
    return style;
}

}  // namespace

CTessalyView::CTessalyView() : CGXGridCore(this, nullptr, true) {
    greyLook_ = GreyStyle();
    whiteLook_.SetEnabled(true).SetInterior(kWhite);
    MapCommands();
}

CTessalyView::~CTessalyView() {
    if (CGXData* data = GetData(); data && data->GetRowSupplier() == this)
        data->SetRowSupplier(nullptr);
}

CTessalyDocument* CTessalyView::GetTessalyDocument() const {
    return dynamic_cast<CTessalyDocument*>(fw::View::GetDocument());
}

CTessalyDoc* CTessalyView::Doc() const {
    CTessalyDocument* doc = GetTessalyDocument();
    return doc ? &doc->Doc() : nullptr;
}

xmldom::Node* CTessalyView::Keep(xmldom::Node node) {
    elements_.push_back(node);
    return &elements_.back();
}

// ---- Window messages into the grid -----------------------------------------------------------

// Keys, mouse, focus and timers go to the grid core, as for the library's own grid view, so
// cells are edited in place by the controls.
fw::LRESULT CTessalyView::WindowProc(fw::Message& msg) {
    if (!IsInitialized())
        return fw::View::WindowProc(msg);
    switch (msg.id) {
        case fw::WM_GETDLGCODE:
            return static_cast<fw::LRESULT>(
                OnGridGetDlgCode(static_cast<unsigned>(fw::View::WindowProc(msg))));
        case fw::WM_SETFOCUS:
        case fw::WM_KILLFOCUS:
        case fw::WM_PAINT:
        case fw::WM_SIZE:
        case fw::WM_VSCROLL:
        case fw::WM_HSCROLL:
            return fw::View::WindowProc(msg);  // handled below or by the view
        default:
            break;
    }
    fw::LRESULT result = 0;
    if (GXRouteGridMessage(*this, *this, msg, result))
        return result;
    return fw::View::WindowProc(msg);
}

void CTessalyView::OnSetFocus(fw::Window* old) {
    fw::View::OnSetFocus(old);
    if (IsInitialized())
        OnGridSetFocus(old);
}

void CTessalyView::OnKillFocus(fw::Window* next) {
    fw::View::OnKillFocus(next);
    if (IsInitialized())
        OnGridKillFocus(next);
}

void CTessalyView::OnPaint() {
    fw::PaintContext dc(*this);
    if (IsInitialized())
        OnGridDraw(&dc);
}

void CTessalyView::OnSize(fw::UINT type, int cx, int cy) {
    fw::View::OnSize(type, cx, cy);
    if (IsInitialized())
        OnGridSize(type, cx, cy);
}

void CTessalyView::OnVScroll(fw::UINT code, fw::UINT pos) {
    OnGridVScroll(code, pos);
}
void CTessalyView::OnHScroll(fw::UINT code, fw::UINT pos) {
    OnGridHScroll(code, pos);
}

// ---- Set-up ----------------------------------------------------------------------------------

void CTessalyView::OnInitialUpdate() {
    if (!IsInitialized()) {
        SetParam(nullptr);
        OnGridInitialUpdate();
        CGXGridParam* param = GetParam();
        param->EnableSelection(0x7A);
        param->EnableMoveCols(false);
        param->EnableMoveRows(false);
        // Header cells without a title stay blank: no column letters, no row numbers.
        param->m_bNumberedColHeaders = false;
        param->m_bNumberedRowHeaders = false;
        RegisterControl(kNumEditControl, std::make_unique<CNumEditControl>(this, kNumEditControl),
                        false, true);
        EnableHints(false);
    }
    CGXGridParam* param = GetParam();
    param->EnableUndo(false);
    if (!menusBuilt_)
        BuildMenus();
    param->EnableUndo(true);
    if (!viewNames_.empty())
        SelectView(ID_VIEW_FIRST, false);
    RebuildGrid();
}

void CTessalyView::BuildMenus() {
    CTessalyDoc* doc = Doc();
    if (!doc)
        return;
    viewNames_.clear();
    typeNames_.clear();
    std::string name;
    for (bool more = doc->GetNextViewName(true, name); more;
         more = doc->GetNextViewName(false, name))
        viewNames_.push_back(Blanks(name));
    for (bool more = doc->GetNextNodeTypeName(true, name); more;
         more = doc->GetNextNodeTypeName(false, name))
        typeNames_.push_back(Blanks(name));
    if (fw::FrameWnd* frame = GetParentFrame())
        frame->SetMenu(MainMenu(viewNames_, typeNames_));
    menusBuilt_ = true;
}

void CTessalyView::SelectView(unsigned commandId, bool fromMenu) {
    CTessalyDoc* doc = Doc();
    const size_t i = commandId - ID_VIEW_FIRST;
    if (!doc || i >= viewNames_.size())
        return;
    std::string name = viewNames_[i];
    std::replace(name.begin(), name.end(), ' ', '_');
    currentViewId_ = commandId;
    doc->SelectView(name);
    if (fromMenu) {
        GetParam()->EnableUndo(false);
        ApplyColumnVisibility();
        GetParam()->EnableUndo(true);
    }
}

bool CTessalyView::OnCmdMsg(unsigned id, unsigned code, fw::CmdAction action, fw::CmdUI* ui) {
    // The template's views and node types come before the message map.
    const bool isView = id >= ID_VIEW_FIRST && id < ID_VIEW_FIRST + viewNames_.size();
    const bool isType = id >= ID_INSERT_FIRST && id < ID_INSERT_FIRST + typeNames_.size();
    if (code == 0 && (isView || isType)) {
        if (action == fw::CmdAction::Update && ui) {
            ui->Enable(true);
            if (isView)
                ui->SetCheck(id == currentViewId_ ? 1 : 0);
        } else if (action == fw::CmdAction::Execute) {
            if (isView)
                SelectView(id);
            else
                InsertNode(id);
        }
        return true;
    }
    return fw::View::OnCmdMsg(id, code, action, ui);
}

// ---- Rebuilding -------------------------------------------------------------------------------

void CTessalyView::RebuildGrid() {
    if (!IsInitialized() || !Doc())
        return;
    fw::WaitCursor wait;
    CGXGridParam* param = GetParam();
    const bool oldLock = param->m_bLockUpdate;
    param->m_bLockUpdate = true;
    param->EnableUndo(false);
    storingEnabled_ = false;
    rebuilding_ = true;
    refreshDeferred_ = false;

    UnmergeNodeCells();
    ResetCurrentCell();
    if (CGXData* data = GetData())
        data->SetRowSupplier(nullptr);
    nodeRows_.clear();
    elements_.clear();
    SetRowCount(0);
    SetRowCount(20);
    SetColCount(100);
    lastRow_ = 0;
    lastCol_ = 100;
    BuildColumns();
    SetFrozenRows(2, 2);
    GreyRows(headerRows_ + 1, 20);
    FillRows();
    ApplyColumnVisibility();
    rebuilding_ = false;
    RefreshAllNodes();

    FitWrittenRows();
    param->m_bLockUpdate = oldLock;
    Redraw(GX_INVALIDATE);
    param->EnableUndo(true);
    storingEnabled_ = true;
}

void CTessalyView::GreyEmptyCells(ROWCOL from, ROWCOL to) {
    // The cells are empty: the store keeps each copy as it is, rather than copying it again.
    const CGXData* data = GetData();
    const ROWCOL lastCol = std::max<ROWCOL>(lastCol_, 1);
    for (ROWCOL row = from; row <= to; ++row)
        for (ROWCOL col = 1; col <= lastCol; ++col)
            if (!data || !data->StoredCellStyle(row, col))
                StoreOwnedStyleRowCol(row, col, std::make_unique<CGXStyle>(greyLook_), gxOverride,
                                      0);
}

void CTessalyView::GreyRows(ROWCOL from, ROWCOL to) {
    if (from > to)
        return;
    SetStyleRange(CGXRange(from, 1, to, std::max<ROWCOL>(lastCol_, 1)), &greyLook_, gxOverride, 0,
                  0);
}

// ---- Columns ----------------------------------------------------------------------------------

void CTessalyView::BuildColumns() {
    CTessalyDoc* doc = Doc();
    columns_.clear();
    byPath_.clear();
    pathSteps_.assign(1, PathStep{});  // the node itself: its children's paths are ".name"
    entryOfColumn_.assign(kMaxColumns + 1, -1);
    portColumns_[0].clear();
    portColumns_[1].clear();
    firstPortCol_[0] = firstPortCol_[1] = lastPortCol_[0] = lastPortCol_[1] = -1;
    directionCol_ = -1;
    colCount_ = 0;
    headerRows_ = 0;
    rangeMessage_ = LoadEditorString(IDS_OUT_OF_RANGE);
    xmldom::Node group;
    while (doc->GetNextPropertyGroup(group)) {
        if (AddColumns(group, "", 0) && !HasElementChildren(group))
            ++colCount_;
    }
    WriteHeader();
    // The column that shows each grid column, and the input ports' AIP column (the last
    // one named so).
    gridEntries_.clear();
    aipCol_ = -1;
    for (const ColumnEntry& entry : columns_) {
        if (entry.column != 0 && entryOfColumn_[entry.column] >= 0 &&
            &columns_[entryOfColumn_[entry.column]] == &entry)
            gridEntries_.push_back(&entry);
        if (entry.inputPort && entry.path.ends_with(".AIP"))
            aipCol_ = static_cast<int>(entry.column);
    }
}

bool CTessalyView::AddColumns(xmldom::Node element, const std::string& prefix, int depth) {
    CTessalyDoc* doc = Doc();
    const std::string path = prefix + "." + std::string(element.Name());
    bool made = false;
    if (!doc->IsHidden(element)) {
        MakeEntry(path, depth, element);
        made = true;
    }
    for (xmldom::Node child = element.FirstChildElement(); child;
         child = child.NextSiblingElement()) {
        if (AddColumns(child, path, depth + 1) && !HasElementChildren(child))
            ++colCount_;
    }
    return made;
}

void CTessalyView::MakeEntry(const std::string& path, int depth, xmldom::Node element) {
    CTessalyDoc* doc = Doc();
    size_t slot = columns_.size();
    if (auto it = byPath_.find(path); it != byPath_.end()) {
        slot = it->second;
    } else if (columns_.size() >= kMaxColumns || colCount_ > kMaxColumns) {
        if (!overflowLogged_) {
            overflowLogged_ = true;
            VAV_LOG(LOG_WARN,
                    "the template has more properties than the grid's %zu columns; "
                    "%s and those after it are not shown",
                    kMaxColumns, path.c_str());
        }
        return;
    } else {
        columns_.emplace_back();
        byPath_[path] = slot;
    }
    ColumnEntry& entry = columns_[slot];
    entry.path = path;
    entry.column = colCount_;
    entry.depth = depth;
    entry.merged = doc->IsMergeable(element);
    entry.readOnly = doc->IsReadOnly(element);
    PropertyType type = PROPERTY_NONE;
    doc->GetPropertyType(element, type);
    entry.rule.type = type;
    doc->GetPropertyMin(element, entry.rule.minimum);
    doc->GetPropertyMax(element, entry.rule.maximum);
    int32_t maxLen = 40;
    doc->GetPropertyMaxLen(element, maxLen);
    entry.rule.maxLength = static_cast<uint16_t>(std::clamp(maxLen, 0, 65535));
    entry.rule.enumItems.clear();
    std::string enumName;
    if (doc->GetEnumName(element, enumName) && !enumName.empty()) {
        std::string item;
        int32_t value = 0;
        for (bool more = doc->GetNextEnumItem(true, enumName, item, value); more;
             more = doc->GetNextEnumItem(false, enumName, item, value))
            entry.rule.enumItems.emplace_back(item, static_cast<uint32_t>(value));
    }
    entryOfColumn_[std::min<size_t>(entry.column, kMaxColumns)] = static_cast<int>(slot);
    headerRows_ = std::max<ROWCOL>(headerRows_, depth);

    CGXStyle columnStyle;
    if (entry.merged)
        columnStyle.SetMergeCell(3);
    if (entry.readOnly)
        columnStyle.SetEnabled(false).SetInterior(kGrey);
    if (!columnStyle.IsEmpty())
        SetStyleRange(CGXRange().SetCols(entry.column, entry.column), &columnStyle, gxOverride, 0,
                      0);
    SetColumnControl(entry, element);

    // Port roles.
    entry.inputPort = path.find("DMX_Input_Port_Properties") != std::string::npos;
    entry.outputPort = path.find("DMX_Output_Port_Properties") != std::string::npos;
    for (int kind = 0; kind < 2; ++kind) {
        if ((kind == 0 && !entry.inputPort) || (kind == 1 && !entry.outputPort))
            continue;
        const int col = static_cast<int>(entry.column);
        if (firstPortCol_[kind] < 0)
            firstPortCol_[kind] = col;
        lastPortCol_[kind] = std::max(lastPortCol_[kind], col);
        entry.role = PortRoleOf(LastSegment(path), kind == 0);
        if (entry.role != PortRole::None)
            portColumns_[kind][static_cast<int>(entry.role)] = col;
    }
    if (path == ".DMX_Port_Properties.Input_Output")
        directionCol_ = static_cast<int>(entry.column);
}

void CTessalyView::SetColumnControl(const ColumnEntry& entry, xmldom::Node) {
    CGXStyle style;
    const uint32_t type = entry.rule.type;
    if (!entry.rule.enumItems.empty()) {
        std::string choices;
        for (const auto& [name, value] : entry.rule.enumItems)
            choices += name + "\t" + std::to_string(value) + "\n";
        style.SetControl(GX_IDS_CTRL_TABBED_DROPDOWNLIST)
            .SetChoiceList(choices)
            .SetUserAttribute(GX_IDS_UA_TABLIST_TEXTCOL, "0")
            .SetUserAttribute(GX_IDS_UA_TABLIST_KEYCOL, "1")
            .SetUserAttribute(GX_IDS_UA_TABLIST_SHOWALLCOLS, "0");
    } else if (((type >= PROPERTY_UI1 && type <= PROPERTY_I4) || type == PROPERTY_TIME_MS) &&
               !entry.readOnly) {
        int32_t low = entry.rule.minimum;
        int32_t high = entry.rule.maximum;
        if (type == PROPERTY_TIME_MS) {
            low /= 1000;
            high = high < 0 ? high : high / 1000;
        }
        style.SetControl(kNumEditControl)
            .SetUserAttribute(GX_IDS_UA_SPINBOUND_MIN, low)
            .SetUserAttribute(GX_IDS_UA_SPINBOUND_MAX, high)
            .SetUserAttribute(GX_IDS_UA_SPINSTART, 1)
            .SetUserAttribute(GX_IDS_UA_VALID_MIN, low)
            .SetUserAttribute(GX_IDS_UA_VALID_MAX, high)
            .SetUserAttribute(GX_IDS_UA_VALID_MSG, rangeMessage_);
    } else if (type == PROPERTY_BOOLEAN) {
        style.SetControl(GX_IDS_CTRL_CHECKBOX3D);
    } else if (type == PROPERTY_STRING) {
        CGXFont font;
        font.SetSize(7);
        style.SetMaxLength(entry.rule.maxLength).SetFont(font);
    } else if (type >= PROPERTY_IPV4 && type <= PROPERTY_VERNUMSTR) {
        style.SetMaxLength(entry.rule.maxLength);
    } else {
        return;
    }
    SetStyleRange(CGXRange().SetCols(entry.column, entry.column), &style, gxOverride, 0, 0);
}

void CTessalyView::WriteHeader() {
    ROWCOL highest = 0;
    for (const ColumnEntry& entry : columns_) highest = std::max(highest, entry.column);
    SetColCount(highest);
    lastCol_ = highest;
    for (const ColumnEntry& entry : columns_) {
        if (entry.column == 0)
            continue;
        SetValueRange(CGXRange(entry.depth, entry.column), Blanks(LastSegment(entry.path)));
    }
    // Each title is stretched over the empty titles to its right in its row.
    for (ROWCOL row = 0; row <= headerRows_; ++row) {
        for (ROWCOL col = 1; col <= highest;) {
            if (GetValueRowCol(row, col).empty()) {
                ++col;
                continue;
            }
            ROWCOL end = col;
            while (end + 1 <= highest && GetValueRowCol(row, end + 1).empty()) ++end;
            if (end > col && row < headerRows_)
                SetCoveredCellsRowCol(row, col, row, end);
            col = end + 1;
        }
    }
    // Wide enough for a value of the column's kind (an address, a name) or its title.
    for (const ColumnEntry& entry : columns_) {
        if (entry.column == 0 || &columns_[entryOfColumn_[entry.column]] != &entry)
            continue;
        size_t chars = std::string(Blanks(LastSegment(entry.path))).size();
        const uint32_t type = entry.rule.type;
        if (type == PROPERTY_IPV4 || type == PROPERTY_MAC)
            chars = std::max<size_t>(chars, 17);
        else if (type == PROPERTY_STRING || type == PROPERTY_VERSTR || type == PROPERTY_VERNUMSTR)
            chars = std::max<size_t>(chars, std::min<size_t>(entry.rule.maxLength, 14));
        else if (!entry.rule.enumItems.empty())
            chars = std::max<size_t>(chars, 12);
        chars = std::clamp<size_t>(chars, 4, 24);
        const int width = std::max(static_cast<int>(chars + 1) * 7, MeasuredWidth(entry));
        SetColWidth(entry.column, entry.column, width, nullptr, 0);
    }
}

int CTessalyView::MeasuredWidth(const ColumnEntry& entry) {
    // The title and every enumeration name in their own fonts, so that no choice is clipped;
    // the control adds its button and borders.
    fw::ClientContext dc(*this);
    OnGridPrepareDC(&dc);
    auto widest = [&](ROWCOL row, auto&& texts) {
        const CGXStyle& style = LookupStyleRowCol(row, entry.column);
        const std::optional<fw::LogFont> old = LoadFont(&dc, style);
        int width = 0;
        for (const std::string& text : texts) width = std::max(width, dc.GetTextExtent(text).cx);
        if (old)
            dc.SelectFont(*old);
        const fw::Size inner{width + 4, 0};
        CGXControl* control = GetControl(row, entry.column);
        return (control ? control->AddBorders(inner, style) : AddBorders(inner, style)).cx;
    };
    std::vector<std::string> names;
    for (const auto& [name, value] : entry.rule.enumItems) names.push_back(name);
    const ROWCOL body = headerRows_ + 1;
    return std::max(widest(entry.depth, std::vector{Blanks(LastSegment(entry.path))}),
                    widest(body, names));
}

// ---- Rows -------------------------------------------------------------------------------------

void CTessalyView::FillRows() {
    // Only the nodes' rows are counted here; each node's cells are written when its rows are
    // first shown or read (SupplyRows), so that opening thousands of nodes costs what the
    // screen shows. The template's edits stay remembered until the next rebuild.
    CTessalyDoc* doc = Doc();
    if (CErrorHandler* errors = CErrorHandler::GetInstance())
        errors->Sink().SetMessageText(LoadEditorString(IDS_DOCUMENT_LOADING));
    ROWCOL next = headerRows_ + 1;
    ResetTemplateEdits();
    std::vector<xmldom::Node> nodes;
    xmldom::Node node;
    while (doc->GetNextNode(node)) nodes.push_back(node);
    const std::vector<ROWCOL> rows = CountRowsOfNodes(nodes);
    nodeRows_.reserve(nodes.size());
    for (size_t i = 0; i < nodes.size(); ++i) {
        nodeRows_.push_back(NodeRows{next, rows[i], nodes[i]});
        next += rows[i];
    }
    nodeCount_ = static_cast<int>(nodeRows_.size()) + 1;
    lastRow_ = next - 1;
    SetRowCount(std::max(lastRow_, headerRows_), 0);
    if (CGXData* data = GetData(); data && lastRow_ > headerRows_) {
        data->SetRowSupplier(this);
        data->MarkRowsPending(headerRows_ + 1, lastRow_);
    }
    if (CErrorHandler* errors = CErrorHandler::GetInstance())
        errors->ShowReady();
}

std::vector<ROWCOL> CTessalyView::CountRowsOfNodes(const std::vector<xmldom::Node>& nodes) {
    // Counting only reads the document and the column entries, so a large configuration is
    // counted by several threads side by side, each with its own tree of paths.
    std::vector<ROWCOL> rows(nodes.size(), 1);
    constexpr size_t kNodesPerWorker = 250;
    const size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const size_t workers = std::min({cores, size_t{8}, nodes.size() / kNodesPerWorker + 1});
    auto count = [&](size_t worker, PathSteps& steps) {
        const size_t end = (worker + 1) * nodes.size() / workers;
        for (size_t i = worker * nodes.size() / workers; i < end; ++i)
            rows[i] = CountNodeRows(nodes[i], steps);
    };
    std::vector<std::thread> threads;
    size_t started = 1;
    try {
        for (; started < workers; ++started)
            threads.emplace_back([&count, worker = started] {
                PathSteps steps(1);
                count(worker, steps);
            });
    } catch (const std::system_error&) {
        // No thread to be had: the shares of those that did not start are counted here.
    }
    count(0, pathSteps_);
    for (size_t worker = started; worker < workers; ++worker) count(worker, pathSteps_);
    for (std::thread& thread : threads) thread.join();
    return rows;
}

void CTessalyView::SupplyRows(ROWCOL row) {
    const int index = NodeIndexByRows(row);
    CGXData* data = GetData();
    if (index < 0 || !data)
        return;
    // A screen shows several nodes, and the nodes around one shown are likely shown next: the
    // pending nodes of its block are written together, and their rows fitted in one pass that
    // measures each text once.
    constexpr size_t kNodesPerBlock = 16;
    const size_t begin = static_cast<size_t>(index) / kNodesPerBlock * kNodesPerBlock;
    const size_t end = std::min(nodeRows_.size(), begin + kNodesPerBlock);
    std::vector<size_t> written;
    for (size_t i = begin; i < end; ++i) {
        const NodeRows& node = nodeRows_[i];
        if (i == static_cast<size_t>(index) || data->IsRowPending(node.first)) {
            data->MarkRowsSupplied(node.first, node.first + node.rows - 1);
            written.push_back(i);
        }
    }
    // Written as the rebuild writes: no undo, no write-through, no painting until the caller
    // (most often the painting itself) goes on.
    CGXGridParam* param = GetParam();
    const bool undo = param->IsEnableUndo();
    param->EnableUndo(false);
    GXFlagScope locked(param->m_bLockUpdate, true);
    GXFlagScope storing(storingEnabled_, false);
    for (const size_t i : written) WriteNodeRows(static_cast<int>(i));
    for (size_t k = 0; k < written.size();) {
        size_t run = k;
        while (run + 1 < written.size() && written[run + 1] == written[run] + 1) ++run;
        const NodeRows& last = nodeRows_[written[run]];
        ResizeRowHeightsToFit(
            CGXRange().SetRows(nodeRows_[written[k]].first, last.first + last.rows - 1), 0);
        k = run + 1;
    }
    param->EnableUndo(undo);
}

void CTessalyView::WriteNodeRows(int index) {
    const NodeRows node = nodeRows_[static_cast<size_t>(index)];
    {
        // A placed cell that is not editable takes the grey itself and the node's cells left
        // empty get it afterwards: the same cells, one store each.
        GXFlagScope grey(greyUnderCells_, true);
        // The node's rows were counted when the grid was rebuilt: a node that has since grown
        // more properties in a column than rows is cut to its rows rather than written over
        // the next node's.
        placeLimit_ = node.rows;
        const ROWCOL rows = FillNode(node.node, index, node.first);
        placeLimit_ = 0;
        const ROWCOL last = node.first + std::min(rows, node.rows) - 1;
        GreyEmptyCells(node.first, last);
        for (ROWCOL r = node.first; r <= last; ++r) ColourPortRow(r);
        // The node's further rows take its merged columns and the grey of the rest.
        for (ROWCOL r = node.first + 1; r <= last; ++r) CompleteNodeRow(r);
        placedEdits_.clear();
    }
    MergeNode(index);
    bool online = false;
    std::string text;
    StatusOfNode(node.node, online, text);
    for (ROWCOL r = node.first; r < node.first + node.rows; ++r) SetStatusCells(r, online, text);
}

bool CTessalyView::RowPending(ROWCOL row) const {
    const CGXData* data = GetData();
    return data && data->IsRowPending(row);
}

int CTessalyView::NodeIndexByRows(ROWCOL row) const {
    auto after = std::upper_bound(nodeRows_.begin(), nodeRows_.end(), row,
                                  [](ROWCOL r, const NodeRows& n) { return r < n.first; });
    if (after == nodeRows_.begin())
        return -1;
    const NodeRows& node = *(after - 1);
    return row < node.first + node.rows ? static_cast<int>(after - 1 - nodeRows_.begin()) : -1;
}

int CTessalyView::GetRowHeight(ROWCOL row) {
    if (const CGXData* data = GetData())
        data->SupplyRow(row);
    return CGXGridCore::GetRowHeight(row);
}

CGXRange* CTessalyView::GetCoveredCellsRowCol(ROWCOL row, ROWCOL col, CGXRange& range) {
    // A pending node's merges are made with its cells.
    if (const CGXData* data = GetData())
        data->SupplyRow(row);
    return CGXGridCore::GetCoveredCellsRowCol(row, col, range);
}

void CTessalyView::FitWrittenRows() {
    const ROWCOL count = GetRowCount();
    const CGXData* data = GetData();
    if (!data || !data->HasPendingRows()) {
        ResizeRowHeightsToFit(CGXRange().SetTable(), 0);
        return;
    }
    for (ROWCOL row = 0; row <= count;) {
        if (data->IsRowPending(row)) {
            ++row;
            continue;
        }
        ROWCOL end = row;
        while (end < count && !data->IsRowPending(end + 1)) ++end;
        ResizeRowHeightsToFit(CGXRange().SetRows(row, end), 0);
        row = end + 1;
    }
}

void CTessalyView::WriteRowHeader(ROWCOL row, int index, xmldom::Node node) {
    auto style = std::make_unique<CGXStyle>();
    style->SetValue(static_cast<std::int32_t>(index))
        .SetUserAttributes(&NodeAttributes(index))
        .SetItemDataPtr(Keep(node));
    StoreOwnedStyleRowCol(row, 0, std::move(style), gxOverride, 0);
}

const CGXUserAttributeMap& CTessalyView::NodeAttributes(int index) {
    // Every cell of a node carries the same index: one attribute, shared by their maps.
    if (nodeAttributesIndex_ != index || nodeAttributes_.IsEmpty()) {
        nodeAttributes_.RemoveAll();
        nodeAttributes_.SetAttributePtr(GX_IDS_UA_NODE_INDEX,
                                        std::make_unique<CGXUserAttribute>(index));
        nodeAttributesIndex_ = index;
    }
    return nodeAttributes_;
}

template <typename Place>
void CTessalyView::WalkProperties(xmldom::Node element, uint32_t step, PathSteps& steps,
                                  std::vector<ROWCOL>& used, Place& place) const {
    // One pass over the children: the elements are walked, and the first text is the
    // element's own property. A leaf element, or an element's text, is one property cell.
    // Every element of every node passes here: the document's own nodes are read directly.
    const pugi::xml_node first = element.Raw().first_child();
    pugi::xml_node text;
    for (pugi::xml_node child = first; child; child = child.next_sibling()) {
        const pugi::xml_node_type type = child.type();
        if (type == pugi::node_element)
            WalkProperties(xmldom::Node(child), ChildStep(steps, step, child.name()), steps, used,
                           place);
        else if (type == pugi::node_pcdata && !text)
            text = child;
    }
    const xmldom::Node property = first ? xmldom::Node(text) : element;
    if (!property)
        return;
    const ColumnEntry* entry = steps[step].entry;
    if (!entry || entry->column == 0 || entry->column >= used.size())
        return;
    // The first of the node's rows whose cell in the column is still empty.
    place(element, property, *entry, used[entry->column]++);
}

template <typename Place>
void CTessalyView::WalkNode(xmldom::Node node, PathSteps& steps, Place& place) const {
    std::vector<ROWCOL> used(entryOfColumn_.size(), 0);
    for (xmldom::Node child = node.FirstChildElement(); child; child = child.NextSiblingElement())
        WalkProperties(child, ChildStep(steps, 0, child.Raw().name()), steps, used, place);
}

uint32_t CTessalyView::ChildStep(PathSteps& steps, uint32_t step, const char* name) const {
    // Nodes of a kind list their properties in the same order, so the child met after the
    // last one is most often the next in the list: one name compared.
    {
        const PathStep& parent = steps[step];
        const size_t count = parent.children.size();
        for (size_t k = 0, i = parent.next; k < count; ++k, ++i) {
            if (i >= count)
                i = 0;
            const uint32_t child = parent.children[i];
            if (std::strcmp(steps[child].name.c_str(), name) == 0) {
                steps[step].next = static_cast<uint32_t>(i + 1);
                return child;
            }
        }
    }
    // A path met for the first time: its column is looked up once.
    PathStep added;
    added.name = name;
    added.path = steps[step].path + "." + added.name;
    added.entry = EntryForPath(added.path);
    const auto index = static_cast<uint32_t>(steps.size());
    steps.push_back(std::move(added));
    PathStep& parent = steps[step];
    parent.children.push_back(index);
    parent.next = static_cast<uint32_t>(parent.children.size());
    return index;
}

ROWCOL CTessalyView::CountNodeRows(xmldom::Node node, PathSteps& steps) const {
    ROWCOL rows = 1;
    auto count = [&rows](xmldom::Node, xmldom::Node, const ColumnEntry&, ROWCOL slot) {
        rows = std::max(rows, slot + 1);
    };
    WalkNode(node, steps, count);
    return rows;
}

ROWCOL CTessalyView::FillNode(xmldom::Node node, int index, ROWCOL firstRow) {
    placedEdits_.clear();
    placedFirstRow_ = firstRow;
    placingDoc_ = Doc();
    WriteRowHeader(firstRow, index, node);
    ROWCOL rows = 1;
    auto place = [&](xmldom::Node element, xmldom::Node property, const ColumnEntry& entry,
                     ROWCOL slot) {
        PlaceCell(element, property, entry, index, firstRow, slot, rows);
    };
    WalkNode(node, pathSteps_, place);
    return rows;
}

void CTessalyView::PlaceCell(xmldom::Node element, xmldom::Node property, const ColumnEntry& entry,
                             int index, ROWCOL firstRow, ROWCOL slot, ROWCOL& rows) {
    if (placeLimit_ != 0 && slot >= placeLimit_)
        return;
    CTessalyDoc* doc = placingDoc_;
    const ROWCOL row = firstRow + slot;
    if (slot >= rows) {
        rows = slot + 1;
        if (GetRowCount() < row)
            SetRowCount(row + 20, 0);
        WriteRowHeader(row, index, doc->SkipTextNode(element).Parent());
        // The row header names the node, not the port: the same element as the first row.
        CGXStyle first;
        GetStyleRowCol(firstRow, 0, first);
        CGXGridCore::StoreStyleRowCol(row, 0, &first, gxOverride, 0);
    }
    std::string value;
    doc->GetNodeValue(property, value);
    if (entry.rule.type == PROPERTY_TIME_MS)
        value = MillisecondsToSecondsText(value);
    auto owned = std::make_unique<CGXStyle>();
    CGXStyle& style = *owned;
    style.SetValue(value).SetUserAttributes(&NodeAttributes(index)).SetItemDataPtr(Keep(property));
    std::optional<std::string> uncached;
    const std::optional<std::string>* edit = CachedTemplateEdit(element);
    if (edit) {
        const size_t place = slot * entryOfColumn_.size() + entry.column;
        if (placedEdits_.size() <= place)
            placedEdits_.resize(place + 1, nullptr);
        placedEdits_[place] = edit;
    } else {
        uncached = TemplateEdit(element);
        edit = &uncached;
    }
    if (*edit ? **edit != "N" : !entry.readOnly)
        style.SetEnabled(true).SetInterior(kWhite);
    else if (greyUnderCells_)
        style.SetEnabled(false).SetInterior(kGrey);  // the grey of its row, under the cell
    StoreOwnedStyleRowCol(row, entry.column, std::move(owned), gxOverride, 0);
}

std::optional<std::string> CTessalyView::TemplateEdit(xmldom::Node node) {
    if (const std::optional<std::string>* known = CachedTemplateEdit(node))
        return *known;
    std::string edit;
    if (Doc()->GetTemplateAttribute(node, "edit", edit))
        return edit;
    return std::nullopt;
}

const std::optional<std::string>* CTessalyView::CachedTemplateEdit(xmldom::Node node) {
    if (!cacheTemplateEdits_)
        return nullptr;
    const xmldom::Node element = xmldom::ElementOf(node);
    const xmldom::Node parent = element ? element.Parent() : xmldom::Node();
    if (!parent || !parent.IsElement())
        return nullptr;
    return &TemplateEditAt(node, element, parent);
}

std::optional<std::string> CTessalyView::TemplateEditOfCell(ROWCOL row, ROWCOL col,
                                                            xmldom::Node node) {
    // The port colouring asks again for the cells just placed.
    if (cacheTemplateEdits_ && row >= placedFirstRow_ && col < entryOfColumn_.size()) {
        const size_t slot = (row - placedFirstRow_) * entryOfColumn_.size() + col;
        if (slot < placedEdits_.size() && placedEdits_[slot])
            return *placedEdits_[slot];
    }
    return TemplateEdit(node);
}

namespace {

// An element's step in its template path: its name, and its instance when it has one (no
// element name holds the separator).
std::string_view StepOf(xmldom::Node element, std::string& buffer) {
    std::string_view step = element.Name();
    // Most elements carry no attributes at all: no search by name for them.
    if (!element.Raw().first_attribute())
        return step;
    if (const pugi::xml_attribute instance = element.Raw().attribute("instance")) {
        buffer.assign(step).append(1, '\x1e').append(instance.value());
        return buffer;
    }
    return step;
}

}  // namespace

size_t CTessalyView::ParentNumber(xmldom::Node parent) {
    // A template place is the chain of steps from the root: an element's number follows from
    // its parent's number and its own step, each ancestor numbered once.
    auto known = parentPathNumber_.find(parent.Raw().internal_object());
    if (known != parentPathNumber_.end())
        return known->second;
    const xmldom::Node up = parent.Parent();
    const size_t upNumber = up && up.IsElement() ? ParentNumber(up) + 1 : 0;
    std::string buffer;
    const std::string_view step = StepOf(parent, buffer);
    auto [place, fresh] =
        placeNumbers_.try_emplace({upNumber, std::string(step)}, editsUnder_.size());
    if (fresh) {
        editsUnder_.emplace_back();
        stepsUnder_.emplace_back();
    }
    parentPathNumber_.emplace(parent.Raw().internal_object(), place->second);
    return place->second;
}

const std::optional<std::string>& CTessalyView::TemplateEditAt(xmldom::Node node,
                                                               xmldom::Node element,
                                                               xmldom::Node parent) {
    // The template place of an element follows from its parent's and its own step: the few
    // parents of a node's properties (the node, its port groups) are numbered by their place;
    // under each, a property is known by its step.
    const void* parentKey = parent.Raw().internal_object();
    if (parentKey != lastParent_) {
        lastParentNumber_ = ParentNumber(parent);
        lastParent_ = parentKey;
        stepCursor_ = 0;
    }
    std::string named;
    const std::string_view step = StepOf(element, named);
    std::vector<StepSeen>& seen = stepsUnder_[lastParentNumber_];
    if (stepCursor_ < seen.size() && seen[stepCursor_].step == step)
        return *seen[stepCursor_++].edit;
    auto& edits = editsUnder_[lastParentNumber_];
    auto it = edits.find(step);
    if (it == edits.end()) {
        std::optional<std::string> found;
        std::string edit;
        if (Doc()->GetTemplateAttribute(node, "edit", edit))
            found = std::move(edit);
        it = edits.emplace(std::string(step), std::move(found)).first;
    }
    // Learn the order of this parent's kind: the next parent of the same place likely follows it.
    if (stepCursor_ < seen.size())
        seen[stepCursor_] = StepSeen{std::string(step), &it->second};
    else
        seen.push_back(StepSeen{std::string(step), &it->second});
    ++stepCursor_;
    return it->second;
}

void CTessalyView::ResetTemplateEdits() {
    cacheTemplateEdits_ = true;
    placedEdits_.clear();
    lastParent_ = nullptr;
    parentPathNumber_.clear();
    placeNumbers_.clear();
    editsUnder_.clear();
    stepsUnder_.clear();
    stepCursor_ = 0;
}

bool CTessalyView::CellHasLook(ROWCOL row, ROWCOL col, const CGXStyle& look) const {
    // Storing the look over such a cell would change nothing in it.
    const CGXStyle* cell = StoredCell(row, col);
    return cell && cell->GetIncludeEnabled() && cell->GetEnabled() == look.GetEnabled() &&
           cell->GetIncludeInterior() && cell->GetInterior() == look.GetInterior();
}

void CTessalyView::CompleteNodeRow(ROWCOL row) {
    for (const ColumnEntry* entry : gridEntries_) {
        const ROWCOL col = entry->column;
        const CGXStyle* cell = StoredCell(row, col);
        if (cell && cell->GetIncludeItemDataPtr() && cell->GetItemDataPtr())
            continue;
        if (!entry->merged) {
            SetCellLook(row, col, greyLook_);
            continue;
        }
        // The cell above, with the node's own look for an editable column, over this one. The
        // style above is merged in place rather than copied first: over a cell already stored,
        // its attributes and then the look give the same cell as the copy with the look would.
        CGXStyle* changed = ChangeableCell(row, col);
        const CGXStyle* above = StoredCell(row - 1, col);
        if (changed && above) {
            changed->ChangeStyle(*above, gxOverride);
            if (!entry->readOnly)
                changed->SetEnabled(true).SetInterior(kWhite);
            AfterStore(row, col, 0, true);
            continue;
        }
        CGXStyle copied;
        GetStyleRowCol(row - 1, col, copied);
        if (!entry->readOnly)
            copied.SetEnabled(true).SetInterior(kWhite);
        CGXGridCore::StoreStyleRowCol(row, col, &copied, gxOverride, 0);
    }
}

CGXStyle* CTessalyView::ChangeableCell(ROWCOL row, ROWCOL col) {
    // A cell stored with attributes takes a merge in place as a store would merge into it (an
    // empty one would be replaced whole, and a grid locked read-only takes no store at all).
    CGXData* data = GetData();
    CGXStyle* cell = data ? data->StoredCellStyleToChange(row, col) : nullptr;
    if (!cell || cell->GetIncludeMask() == 0 || IsLockReadOnly())
        return nullptr;
    return cell;
}

void CTessalyView::SetCellLook(ROWCOL row, ROWCOL col, const CGXStyle& look) {
    if (CellHasLook(row, col, look))
        return;
    if (CGXStyle* cell = ChangeableCell(row, col)) {
        cell->SetEnabled(look.GetEnabled()).SetInterior(look.GetInterior());
        AfterStore(row, col, 0, true);
        return;
    }
    CGXGridCore::StoreStyleRowCol(row, col, &look, gxOverride, 0);
}

void CTessalyView::ApplyColumnVisibility() {
    CTessalyDoc* doc = Doc();
    for (ColumnEntry& entry : columns_) {
        if (entry.column == 0 || &columns_[entryOfColumn_[entry.column]] != &entry)
            continue;
        entry.visible = static_cast<bool>(doc->FindViewItem(entry.path));
        HideCols(entry.column, entry.column, !entry.visible, nullptr, 0);
    }
    UnmergeNodeCells();
    MergeNodeCells();
    Redraw(GX_INVALIDATE);
}

void CTessalyView::MergeNodeCells() {
    // A pending node gets its merges when it is written.
    for (size_t i = 0; i < nodeRows_.size(); ++i)
        if (!RowPending(nodeRows_[i].first))
            MergeNode(static_cast<int>(i));
}

void CTessalyView::MergeNode(int index) {
    const NodeRows& node = nodeRows_[static_cast<size_t>(index)];
    if (node.rows < 2)
        return;
    const ROWCOL last = node.first + node.rows - 1;
    for (const ColumnEntry& entry : columns_) {
        if (!entry.merged || entry.column == 0 || &columns_[entryOfColumn_[entry.column]] != &entry)
            continue;
        SetCoveredCellsRowCol(node.first, entry.column, last, entry.column, 0);
        merges_.emplace_back(node.first, entry.column, last, entry.column);
    }
}

void CTessalyView::UnmergeNodeCells() {
    for (const CGXRange& r : merges_)
        StoreCoveredCellsRowCol(r.top, r.left, r.bottom, r.right, false);
    merges_.clear();
}

// ---- Reading rows -----------------------------------------------------------------------------

int CTessalyView::NodeIndexOfRow(ROWCOL row) {
    if (row <= headerRows_ || row > lastRow_)
        return -1;
    // A pending row's header would carry its node's index: no need to write the row for it.
    if (RowPending(row))
        return NodeIndexByRows(row);
    const CGXStyle* header = StoredCell(row, 0);
    if (!header || !header->GetIncludeItemDataPtr())
        return -1;
    return static_cast<int>(header->GetUserAttribute(GX_IDS_UA_NODE_INDEX).GetLongValue());
}

xmldom::Node CTessalyView::NodeOfRow(ROWCOL row) {
    if (row <= headerRows_ || row > lastRow_)
        return {};
    if (RowPending(row)) {
        const int index = NodeIndexByRows(row);
        return index < 0 ? xmldom::Node() : nodeRows_[static_cast<size_t>(index)].node;
    }
    const CGXStyle* header = StoredCell(row, 0);
    if (!header || !header->GetItemDataPtr())
        return {};
    return *static_cast<xmldom::Node*>(header->GetItemDataPtr());
}

xmldom::Node CTessalyView::ElementOfCell(ROWCOL row, ROWCOL col) {
    const CGXStyle* cell = StoredCell(row, col);
    if (!cell || !cell->GetItemDataPtr())
        return {};
    return *static_cast<xmldom::Node*>(cell->GetItemDataPtr());
}

const CGXStyle* CTessalyView::StoredCell(ROWCOL row, ROWCOL col) const {
    // The view keeps the plain cell store, whose stored style is what a lookup would copy.
    const CGXData* data = GetData();
    return data ? data->StoredCellStyle(row, col) : nullptr;
}

const CTessalyView::ColumnEntry* CTessalyView::EntryForColumn(ROWCOL col) const {
    if (col >= entryOfColumn_.size() || entryOfColumn_[col] < 0)
        return nullptr;
    return &columns_[entryOfColumn_[col]];
}

const CTessalyView::ColumnEntry* CTessalyView::EntryForPath(std::string_view path) const {
    auto it = byPath_.find(path);
    return it == byPath_.end() ? nullptr : &columns_[it->second];
}

int CTessalyView::PortColumn(PortRole role, bool input) const {
    const auto& map = portColumns_[input ? 0 : 1];
    auto it = map.find(static_cast<int>(role));
    return it == map.end() ? -1 : it->second;
}

// ---- Node status -----------------------------------------------------------------------------

void CTessalyView::SetStatusCells(ROWCOL row, bool online, const std::string& address) {
    // Status is not configuration: these cells are not written through to the document, and
    // they make no undo step (command type 1), so that Ctrl+Z always takes back the user's edit.
    const bool storing = storingEnabled_;
    storingEnabled_ = false;
    SetValueRange(CGXRange(row, 1), online ? "1" : "0", gxOverride, 0, 1);
    SetValueRange(CGXRange(row, 2), address, gxOverride, 0, 1);
    storingEnabled_ = storing;
    RedrawRowCol(row, 1, row, 2, GX_INVALIDATE);
}

void CTessalyView::RefreshNodeStatus(std::unique_ptr<VavMacAddress> mac, bool online) {
    CTessalyDoc* doc = Doc();
    if (!doc || !IsInitialized())
        return;
    if (rebuilding_) {
        // The grid is being rebuilt: one full refresh follows the rebuild.
        refreshDeferred_ = true;
        return;
    }
    if (!mac) {
        RefreshAllNodes();
        return;
    }
    CIPAddress address;
    if (!CKoltInterface::GetInstance()->GetNodeIp(*mac, address))
        address.SetValue(0);
    for (const NodeRows& node : nodeRows_) {
        VavMacAddress nodeMac;
        if (!node.node || !doc->GetNodeMac(node.node, nodeMac) || !(nodeMac == *mac))
            continue;
        // The node's own rows first, so that the state set now stands over what they show.
        if (const CGXData* data = GetData())
            data->SupplyRow(node.first);
        for (ROWCOL row = node.first; row < node.first + node.rows; ++row)
            SetStatusCells(row, online, address.GetString());
        doc->SetNodeOnlineIp(node.node, address.GetValue());
    }
}

void CTessalyView::StatusOfNode(xmldom::Node node, bool& online, std::string& text,
                                CIPAddress* address) {
    VavMacAddress mac;
    CIPAddress known;
    online = Doc()->GetNodeMac(node, mac) && CKoltInterface::GetInstance()->GetNodeIp(mac, known);
    if (!online)
        known.SetValue(0);
    text = online ? known.GetString() : "0.0.0.0";
    if (address)
        *address = known;
}

void CTessalyView::RefreshAllNodes() {
    CTessalyDoc* doc = Doc();
    ++fullRefreshes_;
    refreshDeferred_ = false;
    bool online = false;
    std::string text;
    CIPAddress address;
    for (const NodeRows& node : nodeRows_) {
        if (!node.node)
            continue;
        StatusOfNode(node.node, online, text, &address);
        doc->SetNodeOnlineIp(node.node, address.GetValue());
        // A pending node shows the state it has when it is written.
        if (RowPending(node.first))
            continue;
        for (ROWCOL row = node.first; row < node.first + node.rows; ++row)
            SetStatusCells(row, online, text);
    }
}

// ---- Insert -----------------------------------------------------------------------------------

void CTessalyView::InsertNode(unsigned commandId) {
    CTessalyDoc* doc = Doc();
    const size_t i = commandId - ID_INSERT_FIRST;
    if (!doc || i >= typeNames_.size())
        return;
    std::string name = typeNames_[i];
    std::replace(name.begin(), name.end(), ' ', '_');
    xmldom::Node added;
    if (!doc->AddNode(name, &added))
        return;
    CGXGridParam* param = GetParam();
    param->EnableUndo(false);
    const bool oldLock = param->m_bLockUpdate;
    param->m_bLockUpdate = true;
    storingEnabled_ = false;
    UnmergeNodeCells();
    const ROWCOL first = lastRow_ + 1;
    if (GetRowCount() <= lastRow_ + 10)
        SetRowCount(lastRow_ + 20, 0);
    const int index = nodeCount_ > 0 ? nodeCount_ - 1 : 0;
    if (!cacheTemplateEdits_)
        ResetTemplateEdits();
    const ROWCOL rows = FillNode(added, index, first);
    for (ROWCOL r = first; r < first + rows; ++r) ColourPortRow(r);
    placedEdits_.clear();
    nodeRows_.push_back(NodeRows{first, rows, added});
    ++nodeCount_;
    lastRow_ = first + rows - 1;
    SetRowCount(lastRow_, 0);
    for (ROWCOL r = first + 1; r <= lastRow_; ++r) CompleteNodeRow(r);
    MergeNodeCells();
    RefreshAllNodes();
    storingEnabled_ = true;
    param->m_bLockUpdate = oldLock;
    FitWrittenRows();
    Redraw(GX_INVALIDATE);
    ScrollCellInView(lastRow_, 1);
    param->EnableUndo(true);
}

}  // namespace tessaly
