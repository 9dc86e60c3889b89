// CTessalyView: the editor's one view, a grid of the whole configuration. One column per
// template property (the template's Properties tree, titles in the header rows), one or more
// rows per configured node (a node gets a row per port), which template view's columns are
// shown, which nodes are on line (columns 1 and 2), the View and Insert menus made from the
// template, the node commands, and the write-through of every edit into the document with the
// rules that keep a port row's EDMX range consistent (NodeGridRules).
//
// The grid is the grid core hosted in the framework's view; drawing, scrolling and sizing are
// forwarded to it.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "editor/ui/NodeGridRules.h"
#include "framework/docview/View.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXUserAttributeMap.h"
#include "platform/VavMacAddress.h"
#include "xmldom/Node.h"

class CIPAddress;
class CTessalyDoc;

namespace tessaly {

class CTessalyDocument;

// User attribute of every property cell and row header: the node's index in the document.
inline constexpr std::uint16_t GX_IDS_UA_NODE_INDEX = 10001;

class CTessalyView : public fw::View, public CGXGridCore, private CGXRowSupplier {
    Q_OBJECT

public:
    static constexpr size_t kMaxColumns = 100;
    static constexpr COLORREF kWhite = 0xFFFFFF;
    static constexpr COLORREF kGrey = 0xC0C0C0;

    struct ColumnEntry {
        std::string path;  // ".Group.Property"
        ROWCOL column = 0;
        int depth = 0;
        bool visible = true;
        bool merged = false;
        bool readOnly = false;
        ColumnRule rule;  // type, bounds, length, enumeration
        PortRole role = PortRole::None;
        bool inputPort = false;
        bool outputPort = false;
    };

    CTessalyView();
    ~CTessalyView() override;

    CTessalyDocument* GetTessalyDocument() const;
    CTessalyDoc* Doc() const;

    void OnInitialUpdate() override;
    // Rebuilds columns and rows from the document.
    void RebuildGrid();
    // One node's state (its hardware address) or, with none, every node's.
    void RefreshNodeStatus(std::unique_ptr<VavMacAddress> mac, bool online);
    void SelectView(unsigned commandId, bool fromMenu = true);
    void InsertNode(unsigned commandId);

    // The node of the first or next selected node row (one per run of its rows); false at the
    // end, with index -1 and a null element.
    bool GetNextSelectedNode(bool first, int& index, xmldom::Node& element);
    // Every node GetNextSelectedNode gives, in order.
    std::vector<xmldom::Node> SelectedNodes();

    // ---- Grid operations the editor decides ------------------------------------------------
    bool StoreStyleRowCol(ROWCOL row, ROWCOL col, const CGXStyle* style,
                          GXModifyType type = gxOverride, int styleType = 0) override;
    bool OnValidateCell(ROWCOL row, ROWCOL col) override;
    bool OnCellClicked(ROWCOL row, ROWCOL col, unsigned flags, fw::Point pt) override;
    bool OnStartSelection(const CGXRange& range, bool, unsigned) override;
    bool OnDeleteCell(ROWCOL row, ROWCOL col) override;
    bool Paste() override;
    bool PasteFromClipboard(const CGXRange& range) override;
    // A node's rows are written and fitted when first shown or read (see SupplyRows).
    int GetRowHeight(ROWCOL row) override;
    CGXRange* GetCoveredCellsRowCol(ROWCOL row, ROWCOL col, CGXRange& range) override;

    // ---- Reading the grid (tests and the commands) ----------------------------------------
    const std::vector<ColumnEntry>& Columns() const { return columns_; }
    const ColumnEntry* EntryForColumn(ROWCOL col) const;
    const ColumnEntry* EntryForPath(std::string_view path) const;
    ROWCOL HeaderRows() const { return headerRows_; }
    ROWCOL LastRow() const { return lastRow_; }
    int NodeIndexOfRow(ROWCOL row);
    xmldom::Node NodeOfRow(ROWCOL row);
    xmldom::Node ElementOfCell(ROWCOL row, ROWCOL col);
    // The grid column of a port role (-1: none).
    int PortColumn(PortRole role, bool input) const;
    int DirectionColumn() const { return directionCol_; }
    const std::vector<std::string>& ViewNames() const { return viewNames_; }
    const std::vector<std::string>& NodeTypeNames() const { return typeNames_; }
    // Full node-status refreshes done so far, and those asked while rebuilding.
    int FullRefreshCount() const { return fullRefreshes_; }
    // Selects every row of the node at `row`, keeping the selection when `add`.
    void SelectNodeRows(ROWCOL row, bool add);

    bool OnCmdMsg(unsigned id, unsigned code, fw::CmdAction action, fw::CmdUI* ui) override;

protected:
    fw::LRESULT WindowProc(fw::Message& msg) override;
    void OnSetFocus(fw::Window* old) override;
    void OnKillFocus(fw::Window* next) override;
    void OnPaint() override;
    void OnSize(fw::UINT type, int cx, int cy) override;
    void OnVScroll(fw::UINT code, fw::UINT pos) override;
    void OnHScroll(fw::UINT code, fw::UINT pos) override;

private:
    struct PathStep;
    using PathSteps = std::vector<PathStep>;

    // Layout and filling (TessalyView.cpp).
    void BuildMenus();
    void BuildColumns();
    bool AddColumns(xmldom::Node element, const std::string& prefix, int depth);
    void MakeEntry(const std::string& path, int depth, xmldom::Node element);
    void SetColumnControl(const ColumnEntry& entry, xmldom::Node element);
    void WriteHeader();
    int MeasuredWidth(const ColumnEntry& entry);
    void FillRows();
    ROWCOL FillNode(xmldom::Node node, int index, ROWCOL firstRow);
    // The rows a node's cells take, found as FillNode places them, without placing them.
    ROWCOL CountNodeRows(xmldom::Node node, PathSteps& steps) const;
    std::vector<ROWCOL> CountRowsOfNodes(const std::vector<xmldom::Node>& nodes);
    // Writes the pending node that holds `row`: its cells, looks, merges and status, and fits
    // its rows' heights.
    void SupplyRows(ROWCOL row) override;
    void WriteNodeRows(int index);
    void MergeNode(int index);
    // Fits the heights of the rows written so far (the pending ones are fitted when written).
    void FitWrittenRows();
    bool RowPending(ROWCOL row) const;
    // The node whose rows hold `row` (-1: none).
    int NodeIndexByRows(ROWCOL row) const;
    void StatusOfNode(xmldom::Node node, bool& online, std::string& text,
                      CIPAddress* address = nullptr);
    // Walks a node's properties in document order, giving each shown one with its column
    // entry and its place among the node's rows (the first row whose cell in the column is
    // still free, counted from the node's first row).
    template <typename Place>
    void WalkNode(xmldom::Node node, PathSteps& steps, Place& place) const;
    template <typename Place>
    void WalkProperties(xmldom::Node element, uint32_t step, PathSteps& steps,
                        std::vector<ROWCOL>& used, Place& place) const;
    // The place in the tree of property paths of an element named `name` under `step`.
    uint32_t ChildStep(PathSteps& steps, uint32_t step, const char* name) const;
    void PlaceCell(xmldom::Node element, xmldom::Node property, const ColumnEntry& entry, int index,
                   ROWCOL firstRow, ROWCOL slot, ROWCOL& rows);
    void WriteRowHeader(ROWCOL row, int index, xmldom::Node node);
    const CGXUserAttributeMap& NodeAttributes(int index);
    const CGXStyle* StoredCell(ROWCOL row, ROWCOL col) const;
    // Whether the cell is stored with the look's enabled state and interior.
    bool CellHasLook(ROWCOL row, ROWCOL col, const CGXStyle& look) const;
    // A further row of a node: its merged columns from the row above, its empty cells grey.
    void CompleteNodeRow(ROWCOL row);
    // The stored cell to change in place as a store over it would, or null where a store
    // must do it.
    CGXStyle* ChangeableCell(ROWCOL row, ROWCOL col);
    // Gives the cell the look's enabled state and interior, unless it has them already.
    void SetCellLook(ROWCOL row, ROWCOL col, const CGXStyle& look);
    std::optional<std::string> TemplateEdit(xmldom::Node element);
    // The remembered edit of the element (null when not remembered).
    const std::optional<std::string>* CachedTemplateEdit(xmldom::Node element);
    // The edit of the element of a cell; for a cell of the node just placed, as it was found.
    std::optional<std::string> TemplateEditOfCell(ROWCOL row, ROWCOL col, xmldom::Node element);
    size_t ParentNumber(xmldom::Node parent);
    const std::optional<std::string>& TemplateEditAt(xmldom::Node node, xmldom::Node element,
                                                     xmldom::Node parent);
    // Forgets the remembered edits (the document's elements change on a rebuild) and
    // remembers them from now on.
    void ResetTemplateEdits();
    void GreyRows(ROWCOL from, ROWCOL to);
    void GreyEmptyCells(ROWCOL from, ROWCOL to);
    void ApplyColumnVisibility();
    void MergeNodeCells();
    void UnmergeNodeCells();
    void RefreshAllNodes();
    void SetStatusCells(ROWCOL row, bool online, const std::string& address);
    xmldom::Node* Keep(xmldom::Node node);

    // Editing rules (TessalyViewEdit.cpp).
    void ColourPortRow(ROWCOL row);
    void ColourPortCell(ROWCOL row, int col, PortColumnKind kind, bool output, bool aip);
    void ApplyPortRules(ROWCOL row, ROWCOL col, const ColumnEntry& entry, const std::string& text);
    void FillFromVPort(ROWCOL row, const ColumnEntry& entry, const std::string& text);
    void CopyToNodeRows(ROWCOL row, ROWCOL col, const std::string& text);
    void SetCellText(ROWCOL row, int col, const std::string& text);
    void ReportInvalid(const std::string& text);

    // Commands (TessalyViewCommands.cpp).
    void MapCommands();
    bool CommitCellEdit();
    bool AskYesNo(unsigned textId, unsigned captionId = 0);
    void RunOnSelection(unsigned selectedQuestion, unsigned allQuestion,
                        bool (CTessalyDoc::*operation)(xmldom::Node), bool rebuild);
    void OnDeleteNode();
    void OnClearConfiguration();
    void OnSarnKolt();
    void OnQuillon();

    // Finds string keys by any text, without making a string of it.
    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };

    std::vector<ColumnEntry> columns_;
    std::unordered_map<std::string, size_t, TextHash, std::equal_to<>> byPath_;
    std::vector<int> entryOfColumn_;  // by grid column, -1 for none
    ROWCOL colCount_ = 0;
    ROWCOL lastCol_ = 100;
    ROWCOL headerRows_ = 0;
    ROWCOL lastRow_ = 0;
    int nodeCount_ = 0;
    std::string rangeMessage_;
    bool storingEnabled_ = false;
    bool inDependentUpdate_ = false;
    bool pasteWholeRows_ = false;
    // Set while a paste runs: pasted text arrives as plain value stores, and is checked as a
    // paste all the same.
    bool pasting_ = false;
    bool selectingNode_ = false;  // a node's rows are selected as one range
    bool menusBuilt_ = false;
    bool rebuilding_ = false;
    bool greyUnderCells_ = false;  // placed cells take the grey of their new rows
    bool refreshDeferred_ = false;
    bool overflowLogged_ = false;
    int fullRefreshes_ = 0;
    std::vector<std::string> viewNames_;
    std::vector<std::string> typeNames_;
    unsigned currentViewId_ = 0;
    // Port columns by role, for inputs [0] and outputs [1]; the first and last of each kind.
    std::unordered_map<int, int> portColumns_[2];
    int firstPortCol_[2] = {-1, -1};
    int lastPortCol_[2] = {-1, -1};
    int directionCol_ = -1;
    int aipCol_ = -1;
    // Each grid column's entry once (the columns of the grid, not of the template).
    std::vector<const ColumnEntry*> gridEntries_;
    CGXStyle greyLook_;   // read-only and grey
    CGXStyle whiteLook_;  // editable and white
    // The elements that cells refer to (their item data), stable until the next rebuild.
    std::deque<xmldom::Node> elements_;
    std::vector<CGXRange> merges_;
    // Each node's rows by node index, known before the rows are written: a configuration of
    // thousands of nodes opens with only the rows on screen written, the rest as they are
    // shown or read.
    struct NodeRows {
        ROWCOL first = 0;
        ROWCOL rows = 0;
        xmldom::Node node;
    };
    std::vector<NodeRows> nodeRows_;
    ROWCOL placeLimit_ = 0;               // while a counted node is written: its rows (0: no limit)
    CGXUserAttributeMap nodeAttributes_;  // the node index of the cells being placed
    int nodeAttributesIndex_ = -1;
    // The template's "edit" attribute by template place, from a rebuild to the next: the same
    // few properties repeat on every node. The parents of properties are numbered by their
    // template place; under each number, the edits by the property's step.
    using EditsByStep =
        std::unordered_map<std::string, std::optional<std::string>, TextHash, std::equal_to<>>;
    bool cacheTemplateEdits_ = false;
    std::unordered_map<const void*, size_t> parentPathNumber_;
    // Template places by (the number of the parent's place + 1, or 0 at the root; step).
    std::map<std::pair<size_t, std::string>, size_t> placeNumbers_;
    std::deque<EditsByStep> editsUnder_;  // stays in place: cells keep pointers into it
    // The parent asked for last: a node's properties come mostly in runs under one parent.
    const void* lastParent_ = nullptr;
    size_t lastParentNumber_ = 0;
    // Nodes of a kind list their properties in the same order: under each parent's place, the
    // steps in the order last met, and how far into them the current parent has come. The
    // next property is most often the next step in the list, found by comparing one name.
    struct StepSeen {
        std::string step;
        const std::optional<std::string>* edit = nullptr;
    };
    std::deque<std::vector<StepSeen>> stepsUnder_;  // by place number, as editsUnder_
    size_t stepCursor_ = 0;
    // The property paths met in the nodes, as a tree of element names from the node down,
    // each with its column entry: an element's column follows from its parent's place and
    // its name, without a path made or looked up per element.
    struct PathStep {
        std::string name;
        std::string path;                    // ".Group.Property"
        const ColumnEntry* entry = nullptr;  // null: not shown
        std::vector<uint32_t> children;
        uint32_t next = 0;  // the child expected next: the one after the last met
    };
    PathSteps pathSteps_{1};
    // The edits of the cells of the node being filled, by row (from its first) and column.
    std::vector<const std::optional<std::string>*> placedEdits_;
    ROWCOL placedFirstRow_ = 0;
    CTessalyDoc* placingDoc_ = nullptr;  // the document of the node being placed
    std::vector<ROWCOL> selectedRows_;
    size_t selectedPos_ = 0;
};

}  // namespace tessaly
