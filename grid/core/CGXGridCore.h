// The grid engine: one object per grid that holds the grid's state, owns its feature objects,
// plug-ins and cell controls, and through which the window classes, the cell controls and the
// features drive the grid. Its operations live in several files by concern:
//   CGXGridCore.cpp          construction, feature slots, initialisation, controls, read-only
//   CGXGridCoreRowCol.cpp    row and column counts, inserting and removing, frozen rows, top row
//   CGXGridCoreStyles.cpp    composing and storing cell styles, base styles
//   CGXGridCoreGeometry.cpp  row heights, column widths, cells to rectangles and points
//   CGXGridCoreScroll.cpp    selection lists, scrolling and scroll bars
//   CGXGridCoreDraw.cpp      style and GDI caches, painting, lines, borders and inversion
//   CGXGridCoreCurrentCell.cpp  the current cell and the editing cycle of its control
//   CGXGridCoreInput.cpp     keys, mouse, hit test, cursors, focus and other window messages
//
// The core reaches its window only through the window pointer it is given (SetGridWnd), so a
// test can hand it any framework window (shown or not). It draws through framework device
// contexts: painting into the context of a paint, immediate drawing (AcquireGridDC) into a
// client context over the window's backing image. Everything runs on the user-interface thread.
//
// Sizes: GetRowHeight and GetColWidth answer pixels; the parameter object stores sizes in
// thousandths of the standard font's line height and character width (GXSizeUnits.h).
#pragma once

#include "framework/base/Geometry.h"
#include "framework/drawing/DeviceContext.h"
#include "framework/drawing/GdiObjects.h"
#include "framework/window/Message.h"
#include "framework/window/WindowHandle.h"
#include "grid/controls/CGXControl.h"
#include "grid/core/CGXAbstractFeatures.h"
#include "grid/core/CGXBrush.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/GXTypes.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <typeinfo>
#include <unordered_map>
#include <vector>

namespace fw {
class Document;
class Window;
struct PrintInfo;
}  // namespace fw

class CGXAutoScrollPlugin;
class CGXData;
class CGXGridParam;
class CGXLongOperation;
class CGXPluginComponent;
class CGXProperties;
class CGXSplitterPanes;
class CGXNoToolTipCtrlProxy;
class CGXToolTipHost;
class CGXStylesMap;
struct GX_LIBRARY_STATE;

// Update flags of the Set and Update operations.
inline constexpr unsigned GX_INVALIDATE = 0x01;  // invalidate what changed
inline constexpr unsigned GX_UPDATENOW = 0x02;   // and repaint at once
inline constexpr unsigned GX_SMART = 0x04;       // scroll the contents where possible

// Scroll-bar modes (bits of SetScrollBarMode).
inline constexpr int gxnDisabled = 0;
inline constexpr int gxnEnabled = 0x01;    // always shown
inline constexpr int gxnAutomatic = 0x02;  // shown only when the grid does not fit
inline constexpr int gxnShared = 0x04;     // range and position kept, shown by the owner
inline constexpr int gxnEnhanced = 0x08;   // thumb sized to the page, top row held in range

// DrawLine kinds and flags.
inline constexpr int GX_VERTLINE = 1;
inline constexpr int GX_HORZLINE = 2;
inline constexpr unsigned GX_LINE_FROZEN = 0x01;  // frozen-area colour
inline constexpr unsigned GX_LINE_PEN = 0x02;     // grid-line colour with a pen line on it
inline constexpr unsigned GX_LINE_INVERT = 0x04;
inline constexpr unsigned GX_LINE_DRAG = 0x08;  // the resize line while dragging

// The user attribute that names the text colour of negative numbers. Its value is the colour as
// the library writes colours in text: the decimal number of the 32-bit colour word (so "255" is
// red, and a system colour word such as "4177526784" keeps its meaning).
inline constexpr std::uint16_t GX_IDS_UA_NEGATIVECOLOR = 52797;

// Per-cell flags of the draw context.
inline constexpr std::uint16_t gxnFlagLeftBorder = 0x0001;
inline constexpr std::uint16_t gxnFlagRightBorder = 0x0002;
inline constexpr std::uint16_t gxnFlagTopBorder = 0x0004;
inline constexpr std::uint16_t gxnFlagBottomBorder = 0x0008;
inline constexpr std::uint16_t gxnFlagSel = 0x0010;
inline constexpr std::uint16_t gxnFlagBackground = 0x0020;
inline constexpr std::uint16_t gxnFlagSpanned = 0x0040;      // part of a span
inline constexpr std::uint16_t gxnFlagCoveredSpan = 0x0080;  // the span is a covering
inline constexpr std::uint16_t gxnFlagSpanPart = 0x0100;     // drawn by the span's origin
inline constexpr std::uint16_t gxnFlagSpanOrigin = 0x2000;   // draws the span in this paint
inline constexpr std::uint16_t gxnFlagHorzLine = 0x0200;
inline constexpr std::uint16_t gxnFlagVertLine = 0x0400;
inline constexpr std::uint16_t gxnFlagVertFrozen = 0x0800;
inline constexpr std::uint16_t gxnFlagHorzFrozen = 0x1000;

// The state of one paint of a range (OnGridDrawRange); nested paints stack.
struct GX_DRAW_CONTEXT {
    fw::DeviceContext* dc = nullptr;
    ROWCOL top = 0, left = 0, bottom = 0, right = 0;
    int rowCount = 0, colCount = 0;       // indices 0 .. count - 1
    std::vector<int> heights, tops;       // per row index
    std::vector<int> widths, lefts;       // per column index
    std::vector<ROWCOL> rows, cols;       // absolute numbers; one more entry (0 past the count)
    std::vector<const CGXStyle*> styles;  // per cell, row-major
    std::vector<std::uint16_t> flags;     // per cell, row-major
    CGXControl* currentControl = nullptr;
    fw::Rect currentInner;
    bool invertSelection = false;
    bool colorBackground = true;
    COLORREF background = 0xFFFFFF;
    std::size_t Cell(int r, int c) const { return static_cast<std::size_t>(r) * colCount + c; }
};

// SetCurrentCell flags.
inline constexpr unsigned GX_CCUPDATENOW = 0x02;      // update the window at once (or 0x04)
inline constexpr unsigned GX_CCSMART = 0x04;          // update the window at once
inline constexpr unsigned GX_CCSCROLLINVIEW = 0x08;   // scroll the new cell into view
inline constexpr unsigned GX_CCDISPLAYEDIT = 0x10;    // activate the new cell's control
inline constexpr unsigned GX_CCNOSETFOCUS = 0x20;     // leave the focus where it is
inline constexpr unsigned GX_CCNOHINT = 0x40;         // do not pass the move to other views
inline constexpr unsigned GX_CCKEEPSELECTION = 0x80;  // leave the selection alone

// MoveCurrentCell directions.
inline constexpr int GX_UP = 1;
inline constexpr int GX_LEFT = 2;
inline constexpr int GX_DOWN = 3;
inline constexpr int GX_RIGHT = 4;
inline constexpr int GX_PGDOWN = 5;
inline constexpr int GX_PGUP = 6;
inline constexpr int GX_TOP = 7;
inline constexpr int GX_BOTTOM = 8;
inline constexpr int GX_MOSTLEFT = 9;
inline constexpr int GX_MOSTRIGHT = 10;
inline constexpr int GX_TOPLEFT = 11;
inline constexpr int GX_BOTTOMRIGHT = 12;

// Hit codes of HitTest.
inline constexpr int GX_NOHIT = 0;
inline constexpr int GX_HORZLINE_HIT = 1;  // column boundary
inline constexpr int GX_VERTLINE_HIT = 2;  // row boundary
inline constexpr int GX_CELLHIT = 3;
inline constexpr int GX_HEADERHIT = 4;
inline constexpr int GX_SELEDGEHIT = 5;
inline constexpr int GX_FILLHANDLEHIT = 6;
inline constexpr int GX_HIDDENCOL_HIT = 7;
inline constexpr int GX_HIDDENROW_HIT = 8;

// The action word of the per-cell mouse operations.
inline constexpr unsigned GX_MABUTTONDOWN = 0x04;
inline constexpr unsigned GX_MAMOVE = 0x08;
inline constexpr unsigned GX_MABUTTONUP = 0x10;
inline constexpr unsigned GX_MALEFTPRESSED = 0x20;  // the pointer just left the pressed cell
inline constexpr unsigned GX_MAOVERPRESSED = 0x40;  // the pointer is over the pressed cell

// Cursor resource ids of the grid.
inline constexpr int GX_IDC_HEIGHT = 20191;
inline constexpr int GX_IDC_WIDTH = 20190;
inline constexpr int GX_IDC_HIDEWIDTH = 20192;
inline constexpr int GX_IDC_HIDEHEIGHT = 20193;
inline constexpr int GX_IDC_SELEDGE = 20194;
inline constexpr int GX_IDC_SELCOL = 20195;
inline constexpr int GX_IDC_SELROW = 20196;
inline constexpr int GX_IDC_FILLHANDLE = 20209;

// Library messages of the grid window.
inline constexpr unsigned WM_GX_NEEDCHANGETAB = 0x790;
inline constexpr unsigned WM_GX_CHANGEDTAB = 0x791;
inline constexpr unsigned WM_GX_VALIDATE = 0x792;
inline constexpr unsigned WM_GX_MOVETORECORD = 0x7A3;
inline constexpr unsigned WM_GX_LOCKRESIZE = 0x7CB;

// Collects a typed character into `out` (UTF-8): TRUE when a held lead byte was joined to it,
// FALSE for a character that stands alone. Characters arrive as whole code points, so nothing
// is ever held back by this function itself.
bool GXCollectDbcsChar(unsigned ch, std::string& out, bool& pending, unsigned& lead);

// Number of feature slots (see the Feature slots section).
inline constexpr int GX_FEATURE_SLOTS = 35;

class CGXGridCore {
public:
    // The grid window, the document (null for a window grid) and whether the window is a view.
    // Installs the per-grid features when the library has a control factory.
    explicit CGXGridCore(fw::Window* gridWnd = nullptr, fw::Document* doc = nullptr,
                         bool isViewContext = false);
    virtual ~CGXGridCore();
    CGXGridCore(const CGXGridCore&) = delete;
    CGXGridCore& operator=(const CGXGridCore&) = delete;

    // ===== Core object (construction, slots, initialisation) =================================
    void SetGridWnd(fw::Window* wnd, fw::Document* doc = nullptr, bool isViewContext = false);
    fw::Window* GridWnd() const { return m_pGridWnd; }
    fw::Document* GetDocument() const { return m_pDocument; }
    bool IsInitialized() const { return m_bInitDone; }
    // Attaches the parameter object, made, styles map, properties and cell store made when
    // missing; ends by updating the scroll bars. Raises CGXNotSupportedException when the
    // library was not started (no "GXWND" window class).
    virtual void OnGridInitialUpdate();
    // A null parameter object makes a new one (owned); an owned one held before is deleted.
    virtual void SetParam(CGXGridParam* param, bool mustDelete = true);
    CGXGridParam* GetParam() const { return m_pParam; }
    CGXStylesMap* GetStylesMap() const;
    CGXProperties* GetProperties() const;
    CGXData* GetData() const;
    // The grid keeps these until it is destroyed (features before the parameter object).
    CGXOwnedObject* AddOwnedObject(std::unique_ptr<CGXOwnedObject> object);
    void AddPlugin(std::unique_ptr<CGXPluginComponent> plugin);
    const std::vector<std::unique_ptr<CGXPluginComponent>>& GetPlugins() const { return m_plugins; }
    // Marks the document modified when hints are enabled.
    virtual void SetModifiedFlag(bool modified = true);
    // Sends the change to the other views when createHint is set, hints are enabled and the
    // update-hint feature is installed (the hint's target becomes the grid's hint channel).
    void SendGridHint(CGXGridHint& hint, bool createHint);
    std::int32_t m_nHintChannel = 0;
    void EnableHints(bool enable = true) { m_bHintsEnabled = enable; }
    bool IsHintsEnabled() const { return m_bHintsEnabled; }
    // The splitter window whose pane this grid is (null when none) and the pane's row and
    // column; the panes keep their scrolling and zoom in step through update hints.
    void SetSplitterPane(CGXSplitterPanes* splitter, int paneRow = 0, int paneCol = 0) {
        m_pSplitter = splitter;
        m_nPaneRow = paneRow;
        m_nPaneCol = paneCol;
    }
    CGXSplitterPanes* GetSplitter() const { return m_pSplitter; }
    int GetPaneRow() const { return m_nPaneRow; }
    int GetPaneCol() const { return m_nPaneCol; }

    // Feature slots 1..35, null until an installer fills them. Features that the forwarders
    // reach answer 0 (FALSE, null) while their slot is empty.
    CGXOwnedObject* GetFeatureSlot(int slot) const;
    void SetFeatureSlot(int slot, CGXOwnedObject* feature);  // not owned: add it to the list
    CGXAbstractGridPrintImp* GetPrintImp() const;
    CGXAbstractCommandFactory* GetCommandFactory() const;
    CGXAbstractGridCoveredCellsImp* GetCoveredCellsImp() const;
    CGXAbstractDrawSpannedCellsImp* GetDrawSpannedCellsImp() const;
    CGXAbstractGridFloatCellsImp* GetFloatCellsImp() const;
    CGXAbstractGridMergeCellsImp* GetMergeCellsImp() const;
    CGXAbstractGridResizeToFitImp* GetResizeToFitImp() const;
    CGXAbstractGridHideCellsImp* GetHideCellsImp() const;
    CGXAbstractGridUpdateHintImp* GetUpdateHintImp() const;
    CGXAbstractGridFindReplaceImp* GetFindReplaceImp() const;
    CGXAbstractGridCutPasteImp* GetCutPasteImp() const;
    CGXAbstractGridSortImp* GetSortImp() const;
    CGXAbstractGridExcelLikeFillImp* GetExcelLikeFillImp() const;
    CGXAbstractCalcSizeImp* GetCalcSizeImp() const;                    // slot 10
    CGXAbstractGridOptimizedUpdateImp* GetOptimizedUpdateImp() const;  // slot 21
    void SetExcelLikeFillImp(CGXAbstractGridExcelLikeFillImp* imp, bool addToOwned);
    CGXAutoScrollPlugin* GetAutoScrollPlugin() const { return m_pAutoScrollPlugin; }
    void SetAutoScrollPlugin(CGXAutoScrollPlugin* plugin) { m_pAutoScrollPlugin = plugin; }

    // Forwarders: each calls its feature with the grid first and answers the feature's result;
    // with the slot empty it does nothing and answers FALSE (null).
    // Undo and redo (slot 9).
    virtual bool Undo();
    virtual bool Redo();
    virtual bool BeginTrans(const char* label);
    virtual void CommitTrans();
    virtual void Rollback();
    virtual void AddCommand(std::unique_ptr<CGXCommand> command, int ctCmd);
    // Deletes the command recorded last.
    virtual void DropLastCommand();
    // Closes a transaction that an operation opened for itself (only when BeginTrans answered
    // TRUE, so that an outer transaction stays open).
    virtual void CloseTrans();
    // Ends an undo step that produced no command: what the cell store recorded for it goes.
    virtual void EndUndoStep();
    // The cell that the undo or redo running now shows when it ends.
    virtual void SetUndoPosition(ROWCOL row, ROWCOL col);
    // Switches the cell store's own undo recording; answers the previous state.
    virtual bool SetUndoRecording(bool on);
    // Find and replace (slot 14).
    virtual void OnShowFindReplaceDialog(bool findOnly);
    virtual bool OnFindNext(const std::string& text, bool down, bool matchCase);
    virtual void OnReplaceSel(const std::string& find, bool down, bool matchCase,
                              const std::string& replacement);
    virtual void OnReplaceAll(const std::string& find, const std::string& replacement,
                              bool matchCase);
    // The find/replace dialog's buttons (its registered message); `dialog` is the
    // fw::FindReplaceDialog that sent it.
    virtual void OnFindReplace(void* dialog);
    // Nothing was found for a search or a replacement (the grid does nothing by default).
    virtual void OnTextNotFound(const std::string& text) { (void)text; }
    virtual bool FindText(bool setCurrentCell);
    virtual bool FindTextFrom(ROWCOL row, ROWCOL col, bool setCurrentCell);
    // Clipboard (slot 27); the single-range forms copy the range into a list of its own.
    virtual bool CanCopy();
    virtual bool Copy();
    virtual bool CopyRange(const CGXRangeList& list);
    bool CopyRange(const CGXRange& range);
    virtual bool CopyTextToClipboard(const CGXRangeList& list);
    virtual bool CopyStylesToClipboard(const CGXRangeList& list);
    virtual bool CanCut();
    virtual bool Cut();
    virtual bool CutRange(const CGXRangeList& list, bool clearStyles);
    bool CutRange(const CGXRange& range, bool clearStyles);
    virtual bool CanPaste();
    virtual bool Paste();
    virtual bool PasteFromClipboard(const CGXRange& range);
    // Hidden rows and columns (slot 13); nothing is hidden without the feature.
    virtual bool HideRows(ROWCOL first, ROWCOL last, bool hide = true, const bool* values = nullptr,
                          unsigned flags = GX_UPDATENOW, int ctCmd = 0);
    virtual bool HideCols(ROWCOL first, ROWCOL last, bool hide = true, const bool* values = nullptr,
                          unsigned flags = GX_UPDATENOW, int ctCmd = 0);
    virtual bool StoreHideRow(ROWCOL row, bool hide);
    virtual bool StoreHideCol(ROWCOL col, bool hide);
    // Resize to fit (slot 12).
    virtual bool ResizeRowHeightsToFit(const CGXRange& range, unsigned flags = GX_UPDATENOW);
    virtual bool ResizeColWidthsToFit(const CGXRange& range, unsigned flags = GX_UPDATENOW);
    // Covered cells (slot 5).
    virtual bool SetCoveredCellsRowCol(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                       unsigned flags = GX_UPDATENOW, int ctCmd = 0);
    virtual CGXRange* GetCoveredCellsRowCol(ROWCOL row, ROWCOL col, CGXRange& range);
    virtual bool StoreCoveredCellsRowCol(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                         bool set);
    virtual void UpdateCoveredCellsRowCol(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                          unsigned flags, bool createHint);
    virtual void ExpandRangeByCoverings(CGXRange& range);
    // Sorting (slot 3): rows of the range by key columns, columns by key rows; the Move forms
    // reorder the cell store (order[i]: the offset of the row or column that goes to offset i).
    virtual bool SortRows(const CGXRange& range, CGXSortInfoArray& keys,
                          unsigned flags = GX_UPDATENOW);
    virtual bool SortCols(const CGXRange& range, CGXSortInfoArray& keys,
                          unsigned flags = GX_UPDATENOW);
    virtual bool MoveDataRows(const CGXRange& range, const std::vector<ROWCOL>& order,
                              unsigned flags = GX_UPDATENOW, int ctCmd = 0);
    virtual bool MoveDataCols(const CGXRange& range, const std::vector<ROWCOL>& order,
                              unsigned flags = GX_UPDATENOW, int ctCmd = 0);
    void InstallSortImp();
    void InstallCoveredCellsImp();
    void InstallDrawSpannedCellsImp();
    void InstallFloatCellsImp();
    // Floating cells (slot 7): the mode (0 off, 1 or 2 on) and the span of floated text that
    // holds a cell (null when none or without the feature).
    virtual void SetFloatCellsMode(std::uint16_t mode, bool redraw = true);
    virtual CGXRange* GetFloatedCellRange(ROWCOL row, ROWCOL col, CGXRange& range);
    // Merged cells (slot 8): the mode and the merged span that holds a cell in a direction (0 by
    // rows, 1 by columns, -1 either).
    void InstallMergeCellsImp();
    virtual void SetMergeCellsMode(std::uint16_t mode, bool redraw = true);
    virtual CGXRange* GetMergedCellRange(ROWCOL row, ROWCOL col, CGXRange& range,
                                         int direction = -1);

    // ===== Editing features: installers, forwarders and their state ============================
    // The installers are defined with the feature components (grid/features); each fills its
    // slot once, gives the object to the grid's owned list and installs what it needs.
    void InstallUpdateHintImp();
    void InstallCommandFactory();
    void InstallUserSelectRangeImp();
    void InstallDirectCopyMoveCellsImp();
    void InstallTextDataExchangeImp();
    void InstallStyleDataExchangeImp();
    void InstallCutPasteImp();
    void InstallClearCellsImp();
    // Layout features: hidden rows and columns (slot 13), resizing with the mouse (slot 20).
    void InstallHideCellsImp();
    void InstallUserResizeCellsImp();
    // Marking the current cell's headers (slot 22) and fitting sizes to contents (slot 12).
    void InstallMarkEditHeaderImp();
    void InstallResizeToFitImp();
    // Freezing the selection (slot 23).
    void InstallFreezeMenuHelperImp();
    // Repainting by scrolling after inserts, removals and size changes (slot 21), and the size
    // a cell's contents need (slot 10).
    void InstallOptimizedUpdateImp();
    void InstallCalcSizeImp();
    void InstallFindReplaceImp();
    CGXAbstractGridUserSelectRangeImp* GetUserSelectRangeImp() const;
    CGXAbstractGridDirectCopyMoveCellsImp* GetDirectCopyMoveCellsImp() const;
    CGXAbstractGridTextDataExchangeImp* GetTextDataExchangeImp() const;
    CGXAbstractGridStyleDataExchangeImp* GetStyleDataExchangeImp() const;
    CGXAbstractGridClearCellsImp* GetClearCellsImp() const;
    // Clearing (slot 28) and block copy and move (slot 24); FALSE without the feature.
    virtual bool CanClear();
    virtual bool Clear(bool styles = false);
    virtual bool ClearCells(const CGXRangeList& list, bool styles);
    virtual bool CopyCells(const CGXRange& source, ROWCOL destRow, ROWCOL destCol,
                           unsigned flags = GX_UPDATENOW);
    // `data` is a move-data object from an earlier move (taken over), or null.
    virtual bool MoveCells(const CGXRange& source, ROWCOL destRow, ROWCOL destCol,
                           std::unique_ptr<CGXOwnedObject> data = nullptr,
                           unsigned flags = GX_UPDATENOW, int ctCmd = 0);
    // Text and styles exchange (slots 25 and 26).
    virtual bool PasteTextFromBuffer(const char* text, std::size_t size, const CGXRange& target);
    // Keyboard and mouse hooks of the selection feature (slot 15): a key move of the current
    // cell that extends the selection with Shift, and the cell mouse actions (TRUE when the
    // press was on a header and only selected).
    bool MoveCurrentCellWithSelection(int direction, unsigned count, bool shift);
    bool SelectionMouseAction(ROWCOL row, ROWCOL col, unsigned flags, unsigned action);
    // The clipboard flag word (0x0001 row headers ... 0x1000 escapes), the copy separator and
    // the paste separators (empty: one tab), and the size of the last copy.
    unsigned m_nClipboardFlags = 0x0008 | 0x0010;
    std::string m_sCopySeparator;
    std::string m_sPasteSeparators;
    ROWCOL m_nLastCopyRows = 0;
    ROWCOL m_nLastCopyCols = 0;
    bool m_bClearStylesOnCut = false;
    // Undo: set while a block command runs, and the current-cell request it defers.
    bool m_bBlockCmdRunning = false;
    bool m_bDeferredCell = false;
    ROWCOL m_nDeferredRow = 0, m_nDeferredCol = 0;
    bool m_bDeferredMakeCurrent = false;
    std::string m_sTransactionText;
    // Selection in progress: the range being extended (index in the list, -1 none), the anchor,
    // the last cell reached and the mouse-selection flag; a plain click keeps its one cell.
    int m_nSelRangeIndex = -1;
    ROWCOL m_nAnchorRow = GX_INVALID, m_nAnchorCol = GX_INVALID;
    ROWCOL m_nLastSelRow = GX_INVALID, m_nLastSelCol = GX_INVALID;
    bool m_bMouseSelecting = false;
    bool m_bKeepSingleCell = false;
    bool m_bInsideClearUpdate = false;

    // ===== Cell controls ======================================================================
    // Stores the control for an id (deleting one held before), registers the id's name in the
    // styles map when asked, and makes it the default control when asked or when none is yet.
    virtual void RegisterControl(unsigned id, std::unique_ptr<CGXControl> control,
                                 bool makeDefault = false, bool registerName = false);
    // Id 0 (low 16 bits) answers the default control; an unknown id is created through the
    // library's factory and registered; a factory that answers none gives the default control.
    virtual CGXControl* GetRegisteredControl(unsigned id);
    // The control registered for the cell's composed control id.
    virtual CGXControl* GetControl(ROWCOL row, ROWCOL col);
    CGXControl* GetDefaultControl() const { return m_pDefaultControl; }
    virtual bool QueryCellControl(ROWCOL row, ROWCOL col, unsigned a, unsigned b,
                                  const CGXStyle* style);

    // ===== Read-only state =====================================================================
    virtual bool QueryReadOnly();
    virtual bool SaveReadOnly(bool readOnly);
    virtual bool ChangeReadOnly(bool readOnly);
    virtual void AfterReadOnlyChange(bool oldReadOnly);
    bool IsReadOnly() { return QueryReadOnly(); }
    // The stores refuse while the parameter object's lock switch is on and the grid read-only.
    bool IsLockReadOnly();

    // Ten permission queries share this body: TRUE.
    virtual bool DefaultTrue(ROWCOL, ROWCOL) { return true; }
    virtual bool OnStartEditing(ROWCOL row, ROWCOL col) { return DefaultTrue(row, col); }
    virtual bool OnEndEditing(ROWCOL row, ROWCOL col) { return DefaultTrue(row, col); }
    virtual bool OnCancelEditing(ROWCOL row, ROWCOL col) { return DefaultTrue(row, col); }
    virtual bool OnDeleteCell(ROWCOL row, ROWCOL col) { return DefaultTrue(row, col); }
    virtual bool OnValidateCell(ROWCOL row, ROWCOL col) { return DefaultTrue(row, col); }
    virtual bool OnLeftCell(ROWCOL, ROWCOL, ROWCOL, ROWCOL) { return true; }
    virtual void OnCanceledEditing(ROWCOL, ROWCOL) {}
    virtual bool OnModifyCell(ROWCOL, ROWCOL) {
        SetModifiedFlag(true);
        return true;
    }
    virtual void OnInitCurrentCell(ROWCOL, ROWCOL) {}
    virtual bool OnCellClicked(ROWCOL, ROWCOL, unsigned, fw::Point) { return false; }
    virtual void OnClickedButtonRowCol(ROWCOL, ROWCOL) {}
    virtual void SetWarningText(const std::string& text) { m_sWarningText = text; }
    const std::string& GetWarningText() const { return m_sWarningText; }
    virtual void Beep(unsigned type = 0);

    // The grid's rectangle: the print rectangle while printing, else one the caller set, else
    // the window's client rectangle (empty without a window).
    virtual fw::Rect GetGridRect();
    void SetGridRect(bool set, const fw::Rect& rect = {});
    bool IsPrinting() const { return m_bPrintInProgress; }
    void SetPrinting(bool printing, const fw::Rect& printRect = {});
    bool IsTracking(int* mode = nullptr, ROWCOL* index = nullptr) const;
    // Set by the resize feature while it tracks (mode 0 none, 1 rows, 2 columns).
    void SetTracking(int mode, ROWCOL index) {
        m_nTrackingMode = mode;
        m_nTrackingIndex = index;
    }
    bool GridWndIsVisible() const;

    // ===== Current cell and in-cell editing (CGXGridCoreCurrentCell.cpp) ======================
    // Flags of SetCurrentCell are the GX_CC* constants above the class.
    // TRUE while a current cell is set within the counts (a cell beyond them is forgotten) and,
    // unless ignorePrinting, the grid is not printing.
    virtual bool GetCurrentCell(ROWCOL& row, ROWCOL& col, bool ignorePrinting = false);
    bool GetCurrentCell(ROWCOL& row, ROWCOL& col, bool ignorePrinting = false) const;
    // GX_INVALID for row or column matches any.
    virtual bool IsCurrentCell(ROWCOL row = GX_INVALID, ROWCOL col = GX_INVALID,
                               bool ignorePrinting = false) const;
    // set TRUE: binds the cell's control, stores the cell (core and parameter object) and looks
    // its style up again; FALSE only forgets the cell.
    void StoreCurrentCell(bool set, ROWCOL row = 0, ROWCOL col = 0);
    bool IsActiveCurrentCell();
    CGXControl* GetCurrentCellControl();
    // Leaves the old cell (store, validate, end editing) and makes the new one current; FALSE
    // when the old control refuses to be left or the new cell cannot be selected.
    virtual bool SetCurrentCell(ROWCOL row, ROWCOL col,
                                unsigned flags = GX_CCSCROLLINVIEW | GX_CCUPDATENOW);
    // Forgets the current cell, unbinding its control (no store).
    virtual void ResetCurrentCell();
    // save TRUE stores and validates an active control (re-setting the same cell); FALSE
    // cancels the edit and reloads the stored value. TRUE on success.
    virtual bool TransferCurrentCell(bool save = true, unsigned flags = GX_CCUPDATENOW,
                                     bool notify = true);
    // Direction 1 up, 2 left, 3 down, 4 right: the next visible, uncovered, enabled cell.
    virtual bool FindNextCell(int direction, ROWCOL& row, ROWCOL& col);
    // Direction 1..12 (GX_UP ... GX_BOTTOMRIGHT); TRUE when the current cell moved.
    virtual bool MoveCurrentCell(int direction, unsigned count = 1, bool moveFlag = true);
    virtual bool DoMoveCurrentCell(int direction, unsigned count = 1);
    // Stores a modified control (store TRUE, when it may be left), then resets the control.
    virtual void RefreshCurrentCell(bool store = false);
    virtual void HideCurrentCell();
    // Shows the pending warning once in an OK box and empties it.
    virtual void ShowWarningText();
    virtual bool CanSelectCurrentCell(bool select, ROWCOL row, ROWCOL col, ROWCOL oldRow,
                                      ROWCOL oldCol);
    // Direction 1 up, 2 left, 3 down, 4 right.
    virtual bool ScrollBy(int direction, ROWCOL count);
    // The grid gains (TRUE) or loses the focus: a modified control is stored on the way out.
    virtual bool OnActivateGrid(bool activate);
    // Kind 0 first, 1 previous, 2 next, 3 last, 4 record `number`; FALSE for any other kind.
    virtual bool MoveToRecord(int kind, long number = 0);
    // FALSE when the active control refuses its value (the warning has been shown).
    virtual bool ValidateCurrentCell(bool skip = false);
    // Hook before a cell becomes current; GX_INVALID - 1 (-2) stands for the last row/column.
    virtual void PrepareRowCol(ROWCOL, ROWCOL) {}
    virtual void MarkEditHeader(ROWCOL row, ROWCOL col, int changeClass, unsigned flags);
    // Whether a header cell is drawn marked (FALSE without the header-marking feature).
    virtual bool IsMarkedHeaderCell(ROWCOL row, ROWCOL col);
    virtual bool NotifyDisplayFeatures();
    // Recalculation through the cell store (the plain store answers FALSE).
    virtual bool Recalc(bool force = false, std::string* errorText = nullptr, bool notify = true);
    virtual bool IsRecalcCell(ROWCOL row, ROWCOL col);
    virtual void ClearRecalcCell(ROWCOL row, ROWCOL col);
    virtual void OnCellChanged(const CGXRange& range);
    virtual void SetRecalcMode(bool on);
    virtual void ResetRecalcError();
    virtual bool GetRecalcError(std::string& text);
    bool IsWarningShown() const { return m_bWarningShown; }
    bool IsCurrentCellBusy() const { return m_bCCBusy; }
    // Settings: composed style of the current cell held (default on); key moves refresh the
    // new cell instead of drawing it at once (default off).
    bool m_bCacheCurrentCell = true;
    bool m_bRefreshOnSetCurrentCell = false;

    // ===== Mouse, keyboard, hit-testing and cursors (CGXGridCoreInput.cpp) =====================
    // Keyboard routing of every key message of the grid window and of the controls' windows.
    virtual bool ProcessKeys(fw::Window* sender, unsigned message, unsigned key, unsigned repeat,
                             unsigned flags);
    virtual bool OnGridKeyDown(unsigned key, unsigned repeat, unsigned flags);
    virtual bool OnGridKeyUp(unsigned key, unsigned repeat, unsigned flags);
    virtual bool OnGridChar(unsigned ch, unsigned repeat, unsigned flags);
    virtual bool OnGridDBCSChar(const std::string& chars, unsigned repeat, unsigned flags);
    virtual bool OnGridDeadChar(unsigned ch, unsigned repeat, unsigned flags);
    virtual bool OnGridSysKeyDown(unsigned key, unsigned repeat, unsigned flags);
    virtual bool OnGridSysKeyUp(unsigned key, unsigned repeat, unsigned flags);
    virtual bool OnGridSysChar(unsigned ch, unsigned repeat, unsigned flags);
    virtual bool OnGridSysDeadChar(unsigned ch, unsigned repeat, unsigned flags);
    // Mouse buttons and moves (key flags MK_*, point in client pixels).
    virtual bool OnGridMouseMove(unsigned flags, fw::Point pt);
    virtual bool OnGridLButtonDown(unsigned flags, fw::Point pt);
    virtual bool OnGridLButtonUp(unsigned flags, fw::Point pt);
    virtual bool OnGridLButtonDblClk(unsigned flags, fw::Point pt);
    virtual bool OnGridMButtonDown(unsigned flags, fw::Point pt);
    virtual bool OnGridMButtonUp(unsigned flags, fw::Point pt);
    virtual bool OnGridMButtonDblClk(unsigned flags, fw::Point pt);
    virtual bool OnGridRButtonDown(unsigned flags, fw::Point pt);
    virtual bool OnGridRButtonUp(unsigned flags, fw::Point pt);
    virtual bool OnGridRButtonDblClk(unsigned flags, fw::Point pt);
    // Per-cell mouse protocol; `action` is a GX_MA* word ORed with the pressed flag.
    virtual bool OnCellMouseAction(ROWCOL pressedRow, ROWCOL pressedCol, ROWCOL row, ROWCOL col,
                                   fw::Point pt, unsigned flags, unsigned action);
    virtual bool OnCellMButtonAction(ROWCOL pressedRow, ROWCOL pressedCol, ROWCOL row, ROWCOL col,
                                     fw::Point pt, unsigned flags, unsigned action);
    virtual bool OnCellRButtonAction(ROWCOL pressedRow, ROWCOL pressedCol, ROWCOL row, ROWCOL col,
                                     fw::Point pt, unsigned flags, unsigned action);
    virtual bool OnCellMClicked(ROWCOL, ROWCOL, unsigned, fw::Point) { return false; }
    virtual bool OnCellRClicked(ROWCOL, ROWCOL, unsigned, fw::Point) { return false; }
    virtual bool OnCellDblClicked(ROWCOL row, ROWCOL col, unsigned flags, fw::Point pt);
    virtual bool OnCellMDblClicked(ROWCOL, ROWCOL, unsigned, fw::Point) { return false; }
    virtual bool OnCellRDblClicked(ROWCOL, ROWCOL, unsigned, fw::Point) { return false; }
    // Hit codes GX_HIT*: 0 nothing, 1 column boundary, 2 row boundary, 3 body cell, 4 header
    // cell, 5 selection frame, 6 fill handle, 7 hidden column, 8 hidden row.
    virtual int HitTest(fw::Point pt, ROWCOL* row = nullptr, ROWCOL* col = nullptr,
                        fw::Rect* rect = nullptr);
    virtual int HitTestSelectionFrame(ROWCOL row, ROWCOL col, fw::Point pt, const fw::Rect& rect);
    // Cursors: resource ids 20190.. with system fallbacks.
    virtual void SetGridCursor(int id, int systemFallback = 0);
    virtual bool OnGridSetCursor(fw::Window* wnd, unsigned hitTest, unsigned message);
    virtual void SetForcedCursor(int id);
    virtual bool IsGridCursorArea(fw::Window* wnd, unsigned hitTest);
    // The id of the cursor last set by the grid (0: the default).
    int GetGridCursorId() const { return m_nCursorId; }
    virtual fw::Window* SetGridCapture();
    virtual bool OnGridCancelMode();
    virtual bool OnGridMouseActivate(fw::Window* topLevel, unsigned hitTest, unsigned message,
                                     fw::LRESULT& result);
    virtual bool PassToControl(fw::WPARAM wParam, fw::LPARAM lParam);
    virtual bool OnGridSysColorChange();
    virtual bool OnGridWinIniChange();
    virtual unsigned OnGridGetDlgCode(unsigned code);
    virtual fw::Window* GetScrollBarCtrl(bool vertical);
    virtual bool OnGridKillFocus(fw::Window* newWnd);
    virtual bool OnGridSetFocus(fw::Window* oldWnd);
    virtual bool OnGridTimer(unsigned id);
    // Offers a message to the plug-ins in list order; TRUE when one handled it.
    virtual bool OnGridWndMsg(unsigned message, fw::WPARAM wParam, fw::LPARAM lParam,
                              fw::LRESULT& result);
    virtual bool OnGridShowWindow(bool show);
    virtual bool OnGridDestroy();
    // The current control's colour answer, else the current cell's text and interior colour.
    virtual bool OnGridCtlColor(fw::DeviceContext* dc, fw::Window* wnd, unsigned kind);
    // While an object is set, size changes do no layout work.
    virtual void SetSizeLock(const void* object);
    // Forwarders to the user-resize feature; the queries are TRUE when it is installed.
    virtual bool OnResizeRowColStart(int hit, fw::Point pt);
    virtual bool OnResizeRowColMove(fw::Point pt);
    virtual bool OnResizeRowColEnd(fw::Point pt);
    virtual bool OnResizeRowColCancel();
    virtual bool OnResizeRowColDblClk(int hit, fw::Point pt);
    virtual bool CanResizeCol(ROWCOL col);
    virtual bool CanResizeRow(ROWCOL row);
    // WM_COMMAND of the grid's window classes: the current cell's control first (its window's
    // notifications); FALSE leaves the command to the window (the view's Edit commands).
    virtual bool OnGridCommand(fw::WPARAM wParam, fw::LPARAM lParam);
    // Cell tooltips (the "Tooltip-Text" user attribute): TRUE makes the grid's tooltip proxy
    // once and shows tips as the mouse rests over cells; FALSE stops them. Answers TRUE.
    virtual bool EnableGridToolTips(bool enable = true);
    CGXNoToolTipCtrlProxy* GetToolTipProxy() const { return m_pToolTipProxy.get(); }
    // Settings of the input model.
    bool m_bAutoScrollKeys = false;  // a held arrow key keeps moving by automatic scrolling
    bool m_bSelDragging = false;     // the selection frame can be dragged
    int m_nHitTolerance = 8;         // half of it is the resize zone on either side

    // ===== Rows and columns ===================================================================
    virtual ROWCOL GetRowCount();
    virtual ROWCOL GetColCount();
    virtual bool SetRowCount(ROWCOL count, unsigned flags = GX_UPDATENOW);
    virtual bool SetColCount(ROWCOL count, unsigned flags = GX_UPDATENOW);
    virtual bool StoreRowCount(ROWCOL count);
    virtual bool StoreColCount(ROWCOL count);
    virtual void UpdateRowCount(ROWCOL oldCount, unsigned flags, bool createHint);
    virtual void UpdateColCount(ROWCOL oldCount, unsigned flags, bool createHint);
    // `heights` (pixels, -1 for the default) and `saved` (what a removal kept) restore rows
    // that an undone removal took away.
    virtual bool InsertRows(ROWCOL row, ROWCOL count, const int* heights = nullptr,
                            unsigned flags = GX_UPDATENOW, int ctCmd = 0,
                            const CGXRowColUndoData* saved = nullptr);
    virtual bool InsertCols(ROWCOL col, ROWCOL count, const int* widths = nullptr,
                            unsigned flags = GX_UPDATENOW, int ctCmd = 0,
                            const CGXRowColUndoData* saved = nullptr);
    virtual bool RemoveRows(ROWCOL from, ROWCOL to, unsigned flags = GX_UPDATENOW, int ctCmd = 0);
    virtual bool RemoveCols(ROWCOL from, ROWCOL to, unsigned flags = GX_UPDATENOW, int ctCmd = 0);
    virtual bool StoreInsertRows(ROWCOL row, ROWCOL count, bool force = false);
    virtual bool StoreInsertCols(ROWCOL col, ROWCOL count, bool force = false);
    virtual bool StoreRemoveRows(ROWCOL from, ROWCOL to, bool force = false);
    virtual bool StoreRemoveCols(ROWCOL from, ROWCOL to, bool force = false);
    virtual void UpdateInsertRows(ROWCOL row, ROWCOL count, unsigned flags, bool createHint);
    virtual void UpdateInsertCols(ROWCOL col, ROWCOL count, unsigned flags, bool createHint);
    virtual void UpdateRemoveRows(ROWCOL from, ROWCOL to, unsigned flags, bool createHint);
    virtual void UpdateRemoveCols(ROWCOL from, ROWCOL to, unsigned flags, bool createHint);
    // Moves rows (columns) first..last so that the block starts at `dest` (as numbered after the
    // move); cells, sizes, hidden states, selection and coverings move with them. The six move
    // operations forward to the move feature (slot 19): FALSE and nothing done without it.
    virtual bool MoveRows(ROWCOL first, ROWCOL last, ROWCOL dest, unsigned flags = GX_UPDATENOW,
                          int ctCmd = 0);
    virtual bool MoveCols(ROWCOL first, ROWCOL last, ROWCOL dest, unsigned flags = GX_UPDATENOW,
                          int ctCmd = 0);
    virtual bool StoreMoveRows(ROWCOL first, ROWCOL last, ROWCOL dest);
    virtual bool StoreMoveCols(ROWCOL first, ROWCOL last, ROWCOL dest);
    virtual void UpdateMoveRows(ROWCOL first, ROWCOL last, ROWCOL dest, unsigned flags,
                                bool createHint);
    virtual void UpdateMoveCols(ROWCOL first, ROWCOL last, ROWCOL dest, unsigned flags,
                                bool createHint);

    // ===== Dragging rows and columns, filling and the selection frame (slots 16-19) ===========
    void InstallMoveRowsColsImp();
    void InstallUserDragSelectRangeImp();
    void InstallExcelLikeFrameImp();
    void InstallExcelLikeFillImp();
    CGXAbstractGridExcelLikeFrameImp* GetExcelLikeFrameImp() const;
    CGXAbstractGridUserDragSelectRangeImp* GetUserDragSelectRangeImp() const;
    CGXAbstractGridMoveRowsColsImp* GetMoveRowsColsImp() const;
    // Forwarders to the drag-select feature (slot 18): start dragging the selected rows or
    // columns that hold the cell, show the target, drop there, cancel.
    virtual bool StartDrag(ROWCOL row, ROWCOL col);
    virtual void DragMove(ROWCOL row, ROWCOL col);
    virtual bool DropSelection(ROWCOL row, ROWCOL col);
    virtual void CancelDrag();
    // Forwarders to the selection frame (slot 16); LockSelectionFrame answers the old state.
    virtual void DrawSelectionFrame(fw::DeviceContext* dc, const CGXRange& range, int type,
                                    bool erase);
    virtual void UpdateSelectionFrame(const CGXRange* range);
    virtual bool LockSelectionFrame(bool lock, bool hint = false);
    // Forwarders to the fill feature (slot 17).
    virtual bool DoFill(const CGXRange& target, const CGXRange& source);
    virtual void CancelFill();
    // Permission hooks the features ask (all TRUE by default): may rows (columns) first..last
    // be dragged at all, may they land before `target`, does the user confirm the drop; may a
    // fill start from the source, and reach the target.
    virtual bool CanMoveRows(ROWCOL, ROWCOL) { return true; }
    virtual bool CanMoveCols(ROWCOL, ROWCOL) { return true; }
    virtual bool CanDropRows(ROWCOL, ROWCOL, ROWCOL) { return true; }
    virtual bool CanDropCols(ROWCOL, ROWCOL, ROWCOL) { return true; }
    virtual bool ConfirmMoveRows(ROWCOL, ROWCOL, ROWCOL) { return true; }
    virtual bool ConfirmMoveCols(ROWCOL, ROWCOL, ROWCOL) { return true; }
    virtual bool CanStartFill(const CGXRange&) { return true; }
    virtual bool CanFillTo(const CGXRange&) { return true; }
    // Forgets the cached last visible row and column (after rows or columns moved).
    void ResetVisibleCache() { InvalidateCachedVisible(); }
    // Drag state: armed by a press on a selected header, mode 1 columns, 2 rows; the last
    // target shown, the selected range being dragged (index in the list) and the flag the mouse
    // handlers read while a drag runs.
    bool m_bDragArmed = false;
    int m_nDragMode = 0;
    ROWCOL m_nDragRow = GX_INVALID, m_nDragCol = GX_INVALID;
    int m_nDragRangeIndex = -1;
    bool m_bDragging = false;
    // Fill state: set while a fill drag runs. Frame state: lock, type and range shown.
    bool m_bFilling = false;
    bool m_bFrameLocked = false;
    int m_nFrameType = 0;
    bool m_bFrameShown = false;
    CGXRange m_frameRange;
    virtual bool SetFrozenRows(ROWCOL frozen, ROWCOL header = 0, unsigned flags = GX_UPDATENOW,
                               int ctCmd = 0);
    virtual bool SetFrozenCols(ROWCOL frozen, ROWCOL header = 0, unsigned flags = GX_UPDATENOW,
                               int ctCmd = 0);
    virtual bool StoreFrozenRows(ROWCOL frozen, ROWCOL header);
    virtual bool StoreFrozenCols(ROWCOL frozen, ROWCOL header);
    virtual void UpdateFrozenRows(ROWCOL oldFrozen, ROWCOL oldHeader, unsigned flags,
                                  bool createHint);
    virtual void UpdateFrozenCols(ROWCOL oldFrozen, ROWCOL oldHeader, unsigned flags,
                                  bool createHint);
    virtual ROWCOL GetFrozenRows();
    virtual ROWCOL GetFrozenCols();
    // The index of the last header row (n: rows 0..n are header rows).
    virtual ROWCOL GetHeaderRows();
    virtual ROWCOL GetHeaderCols();
    bool IsFrozenRow(ROWCOL row);
    bool IsFrozenCol(ROWCOL col);
    // Absolute row to client row (0 for a scrolled row above the top row) and back.
    ROWCOL GetClientRow(ROWCOL row);
    ROWCOL GetClientCol(ROWCOL col);
    ROWCOL GetRowFromClientRow(ROWCOL clientRow);
    ROWCOL GetColFromClientCol(ROWCOL clientCol);
    ROWCOL GetTopRow() const { return m_bPrintInProgress ? m_nPrintTopRow : m_nTopRow; }
    ROWCOL GetLeftCol() const { return m_bPrintInProgress ? m_nPrintLeftCol : m_nLeftCol; }
    virtual bool SetTopRow(ROWCOL row, unsigned flags = GX_INVALIDATE, bool createHint = true);
    virtual bool SetLeftCol(ROWCOL col, unsigned flags = GX_INVALIDATE, bool createHint = true);
    virtual bool CanChangeTopLeft(ROWCOL, ROWCOL) { return true; }
    virtual void AfterTopLeftChange(ROWCOL, ROWCOL) {}
    // Set while something outside makes the frozen counts answer 0 (second: not while printing).
    bool m_bIgnoreFrozenRows = false;
    bool m_bIgnoreFrozenWhilePrinting = false;

    // ===== Cell styles ==========================================================================
    virtual bool GetStyleRowCol(ROWCOL row, ROWCOL col, CGXStyle& style, GXModifyType type = gxCopy,
                                int styleType = 0);
    virtual void ComposeStyleRowCol(ROWCOL row, ROWCOL col, CGXStyle* style,
                                    bool applyStandard = true);
    virtual bool StoreStyleRowCol(ROWCOL row, ROWCOL col, const CGXStyle* style,
                                  GXModifyType type = gxOverride, int styleType = 0);
    // As the plain store (not its overrides), for a style the caller gives up: a cell with
    // nothing stored keeps the style itself rather than a copy.
    bool StoreOwnedStyleRowCol(ROWCOL row, ROWCOL col, std::unique_ptr<CGXStyle> style,
                               GXModifyType type = gxOverride, int styleType = 0);
    virtual bool SetStyleRange(const CGXRange& range, const CGXStyle* style,
                               GXModifyType type = gxOverride, int styleType = 0,
                               const std::vector<std::unique_ptr<CGXStyle>>* styles = nullptr,
                               unsigned flags = GX_UPDATENOW, int ctCmd = 0);
    virtual void UpdateStyleRange(const CGXRange& range, const CGXStyle* style, GXModifyType type,
                                  int styleType, unsigned flags, bool createHint);
    // The stored styles of every cell of a range, row by row (null where none); empty on abort.
    virtual std::vector<std::unique_ptr<CGXStyle>> CopyStyleRange(const CGXRange& range,
                                                                  int styleType,
                                                                  CGXLongOperation* op,
                                                                  bool* aborted = nullptr);
    virtual bool SetValueRange(const CGXRange& range, const std::string& value,
                               GXModifyType type = gxOverride, unsigned flags = GX_UPDATENOW,
                               int ctCmd = 0);
    virtual bool SetControlTextRowCol(ROWCOL row, ROWCOL col, const std::string& text,
                                      unsigned flags, const CGXStyle* style);
    virtual std::string GetValueRowCol(ROWCOL row, ROWCOL col);
    virtual std::string GetStoredValueRowCol(ROWCOL row, ROWCOL col);
    virtual bool SetStylesMap(const CGXStylesMap& map, unsigned flags = GX_UPDATENOW,
                              int ctCmd = 0);
    virtual void UpdateStylesMap(unsigned flags, bool createHint);
    // Replaces the parameter object's properties by a copy of `properties` (through the
    // library's parameter-copy component; FALSE without it or while read-only locked).
    virtual bool SetProperties(const CGXProperties& properties, unsigned flags = GX_UPDATENOW,
                               int ctCmd = 0);
    virtual void UpdateProperties(unsigned flags, bool createHint);
    // The value of one cell, stored as SetValueRange does.
    virtual bool SetValueRowCol(ROWCOL row, ROWCOL col, const std::string& value,
                                unsigned flags = GX_UPDATENOW);
    virtual bool ChangeBaseStyle(std::uint16_t baseStyleId, const CGXStyle& style,
                                 GXModifyType type = gxOverride, unsigned flags = GX_UPDATENOW,
                                 int ctCmd = 0);
    virtual void UpdateBaseStyle(std::uint16_t baseStyleId, unsigned flags, bool createHint);
    virtual bool ChangeStandardStyle(const CGXStyle& style, GXModifyType type = gxOverride,
                                     unsigned flags = GX_UPDATENOW, int ctCmd = 0);
    // The cached "Standard" base style; raises CGXNotSupportedException without parameter
    // object or styles map.
    const CGXStyle& GetStandardStyle();
    const CGXStyle* GetRowHeaderStyle() const { return m_pStyleRowHeader; }
    const CGXStyle* GetColHeaderStyle() const { return m_pStyleColHeader; }
    // The library's header text of a column: 1 A, 26 Z, 27 AA, ... at most nine letters.
    static std::string GetColumnLetters(ROWCOL col);
    // TRUE when the undo question must be asked before saving the old styles of the range:
    // more than 0x7FFFFFFE cells or more than 0x7FFF rows or columns (whole rows and columns
    // counted against the grid's counts first, the product in 64 bits).
    static bool IsTooLargeForUndo(const CGXRange& range, ROWCOL rowCount, ROWCOL colCount);
    // Undo of a style-range operation: saves the old styles of the places it stores into.
    bool SaveStylesForUndo(const CGXRange& range, int styleType, CGXLongOperation& op, bool& record,
                           std::vector<std::unique_ptr<CGXStyle>>& saved);

    // ===== Geometry =============================================================================
    virtual int GetRowHeight(ROWCOL row);
    virtual int GetColWidth(ROWCOL col);
    virtual int GetDefaultRowHeight();
    virtual int GetDefaultColWidth();
    virtual bool StoreDefaultRowHeight(int pixels);
    virtual bool StoreDefaultColWidth(int pixels);
    virtual bool StoreRowHeight(ROWCOL row, int pixels);
    virtual bool StoreColWidth(ROWCOL col, int pixels);
    virtual bool SetRowHeight(ROWCOL first, ROWCOL last, int pixels, const int* sizes = nullptr,
                              unsigned flags = GX_UPDATENOW, int ctCmd = 0);
    virtual bool SetColWidth(ROWCOL first, ROWCOL last, int pixels, const int* sizes = nullptr,
                             unsigned flags = GX_UPDATENOW, int ctCmd = 0);
    virtual bool SetDefaultRowHeight(int pixels, unsigned flags = GX_UPDATENOW, int ctCmd = 0);
    virtual bool SetDefaultColWidth(int pixels, unsigned flags = GX_UPDATENOW, int ctCmd = 0);
    virtual void OnRowHeightChanged(ROWCOL first, ROWCOL last, const std::vector<int>& old,
                                    unsigned flags, bool notify);
    virtual void OnColWidthChanged(ROWCOL first, ROWCOL last, const std::vector<int>& old,
                                   unsigned flags, bool notify);
    // A row's (column's) own size in pixels, hidden or not; -1 when it takes the default.
    int GetOwnRowHeight(ROWCOL row);
    int GetOwnColWidth(ROWCOL col);
    // TRUE when an operation of this command type records its reversing command.
    bool IsRecordingUndo(int ctCmd) const;
    std::vector<int> GetRowHeights(ROWCOL first, ROWCOL last);
    std::vector<int> GetColWidths(ROWCOL first, ROWCOL last);
    virtual bool IsRowHidden(ROWCOL row);
    virtual bool IsColHidden(ROWCOL col);
    // A row's height (a column's width) at most the window's less the frozen part.
    bool m_bLimitRowHeight = false;
    bool m_bLimitColWidth = false;

    fw::Rect CalcRectFromRowCol(ROWCOL row, ROWCOL col);
    fw::Rect CalcRectFromRowColEx(ROWCOL row, ROWCOL col);
    fw::Rect CalcRectFromRange(const CGXRange& range);
    fw::Rect CalcClientRectFromRange(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                     bool unclipped = false);
    // Client index under a point (-1 past the last row or column, 0 when nothing has a size).
    ROWCOL CalcClientRowFromPt(fw::Point pt, int* top = nullptr);
    ROWCOL CalcClientColFromPt(fw::Point pt, int* left = nullptr);
    ROWCOL CalcRightColFromRect(const fw::Rect& rect, bool* pastLast = nullptr);
    ROWCOL CalcBottomRowFromRect(const fw::Rect& rect, bool* pastLast = nullptr);
    bool CalcCellFromPoint(fw::Point pt, ROWCOL& row, ROWCOL& col, fw::Rect* rect = nullptr);
    bool CalcCellFromPointClamped(fw::Point pt, ROWCOL& row, ROWCOL& col);
    fw::Rect CalcRectRightOfCol(ROWCOL col);
    fw::Rect CalcRectBelowRow(ROWCOL row);
    int CalcLeftOfClientCol(ROWCOL index);
    int CalcTopOfClientRow(ROWCOL index);
    int CalcSumOfRowHeights(ROWCOL first, ROWCOL last, int limit = 0);
    int CalcSumOfColWidths(ROWCOL first, ROWCOL last, int limit = 0);
    int CalcSumOfClientRowHeights(ROWCOL first, ROWCOL last, int limit = 0);
    int CalcSumOfClientColWidths(ROWCOL first, ROWCOL last, int limit = 0);
    fw::Rect CalcCellRectFromClientIndex(ROWCOL clientRow, ROWCOL clientCol);

    // ===== Selection and scrolling ==============================================================
    bool CopyRangeList(CGXRangeList& out, bool useCurrentCell);
    ROWCOL GetSelectedRows(std::vector<ROWCOL>& rows, bool entireRowsOnly = false,
                           bool useCurrentCell = false);
    ROWCOL GetSelectedCols(std::vector<ROWCOL>& cols, bool entireColsOnly = false,
                           bool useCurrentCell = false);
    // The selected rows (columns) as spans first[i]..last[i]; TRUE when there is one. With
    // nothing selected and useCurrentCell, the current cell's row (column) is the one span.
    bool GetSelectedRowRanges(std::vector<ROWCOL>& first, std::vector<ROWCOL>& last,
                              bool entireRowsOnly = false, bool useCurrentCell = false);
    bool GetSelectedColRanges(std::vector<ROWCOL>& first, std::vector<ROWCOL>& last,
                              bool entireColsOnly = false, bool useCurrentCell = false);
    // The current cell's selected text as its control reports it (empty without one).
    virtual void GetSelectedText(std::string& text);
    bool IsCellInRangeList(ROWCOL row, ROWCOL col, const CGXRangeList& list) const {
        return list.ContainsCell(row, col);
    }
    // Selecting and deselecting go to the user-selection feature (slot 15) when it is
    // installed; without it SelectRange adds (or drops the ranges inside) the range and
    // SetSelection(nullptr) empties the list.
    virtual bool SelectRange(const CGXRange& range, bool select = true, bool update = true);
    virtual void SetSelection(std::nullptr_t);
    // Sets the selected range at a list index (-1 clears the selection); nothing without the
    // feature.
    virtual void SetSelection(int index, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right);
    // Redraws every selected cell; nothing without the feature.
    virtual void RedrawSelection();
    virtual bool OnStartSelection(const CGXRange&, bool, unsigned) {
        OnPrepareSelection();
        return true;
    }
    virtual void OnPrepareSelection() {}
    virtual void OnSelectionChanged();
    virtual bool CanSelectRange() { return true; }

    virtual bool ScrollCellInView(ROWCOL row, ROWCOL col, unsigned flags = GX_UPDATENOW,
                                  bool span = false);
    // Direction 1 up, 2 left, 3 down, 4 right; `hint` receives what DoScroll passes on.
    virtual bool OnScroll(int direction, ROWCOL count, ROWCOL* hint = nullptr);
    virtual bool DoScroll(int direction, ROWCOL count);
    virtual void UpdateScrollbars(bool redraw = true, bool onlyWhenChanged = false);
    virtual void SetScrollBarMode(int bar, int mode, bool redraw = true);
    virtual int GetScrollBarMode(int bar) const;
    virtual int SetGridScrollPos(int bar, int pos, bool redraw = true);
    virtual bool SetGridScrollRange(int bar, int min, int max, bool redraw = true);
    virtual int GetGridScrollPos(int bar);
    virtual int GetGridScrollRange(int bar, int* min, int* max);
    virtual void ShowGridScrollBar(int bar, bool show);
    int GetScrollUnit(int bar) const { return bar == 1 ? m_nVScrollUnit : m_nHScrollUnit; }
    int LockScrollbars(int lock);
    ROWCOL GetLastVisibleRow(bool* partly = nullptr);
    ROWCOL GetLastVisibleCol(bool* partly = nullptr);
    // Moves the window's pixels (hiding the fill handle first when the grid moves).
    virtual void ScrollWindowContents(int dx, int dy, const fw::Rect* scroll, const fw::Rect* clip);
    virtual void StartAutoScroll(bool capture, int directions);
    // WM_VSCROLL and WM_HSCROLL of the grid window: line, page, thumb, top and bottom.
    virtual void OnGridVScroll(unsigned code, unsigned pos);
    virtual void OnGridHScroll(unsigned code, unsigned pos);
    // WM_SIZE of the grid window.
    virtual void OnGridSize(unsigned type, int cx, int cy);

    // ===== Change notification to the cell store (CGXGridCoreNotify.cpp) ======================
    // The cells of the range are about to change: a computing cell store marks them so that
    // what depends on them is computed again.
    virtual void NotifyChangedRange(const CGXRange& range);
    // The cells of the range changed in the store: their cached compositions go and the cell
    // store is told.
    virtual void NotifyCellStoreRange(const CGXRange& range);
    // The store changed as a whole (rows or columns came or went, saved cells came back).
    virtual void NotifyCellStoreChanged();
    // Recomputes the merged and floating spans of the range's cells (with the spanned-cells
    // features) and redraws what changed; TRUE when a span changed.
    virtual bool UpdateSpannedCells(const CGXRange& range);
    // Fits the heights of the range's rows to the contents of all their cells (through the
    // resize-to-fit feature; FALSE without it).
    virtual bool FitRowHeights(const CGXRange& range, unsigned flags = GX_UPDATENOW);
    // A click inside the current cell's selected text, for the selected-text feature (slot
    // 29); FALSE and nothing done without it.
    virtual bool OnSelectedTextClick(ROWCOL row, ROWCOL col);

    // ===== Refreshing views and drag lines (CGXGridCoreRefresh.cpp) ===========================
    // Recalculates the data object when asked, redraws, lets the other views refresh (hint 36)
    // when createHint, and reports a pending formula error into errorText (or in a message box
    // without one): FALSE when an error was reported.
    virtual bool RefreshViews(bool recalc = false, std::string* errorText = nullptr,
                              bool createHint = true);
    // Redraws what a change made elsewhere touched: whole rows, whole columns, the whole table
    // or the cells of the range, as its kind says.
    virtual void UpdateChangedCells(const CGXRange& range, unsigned flags = GX_INVALIDATE,
                                    bool notify = false);
    // The one-unit line at the top of row `index` (GX_HORZLINE) or the left of column `index`,
    // as wide (high) as the visible cells reach.
    fw::Rect CalcDragLineRect(int kind, ROWCOL index);
    // What a drag-line window with a line kind paints: the grid's line drawing with the first
    // parameter as its flags.
    virtual void PaintDragLine(fw::DeviceContext* dc, int x, int y, int width, int height,
                               std::uint32_t param1, std::uint32_t param2, std::uint32_t kind);

    // ===== Printing (CGXGridCorePrint.cpp) ======================================================
    // Begin printing, print a page and end printing go to the print feature (slot 2): FALSE and
    // nothing without it (or without a device context and print information).
    virtual bool OnGridBeginPrinting(fw::DeviceContext* dc = nullptr,
                                     fw::PrintInfo* info = nullptr);
    virtual void OnGridPrint(fw::DeviceContext* dc, fw::PrintInfo* info);
    virtual void OnGridEndPrinting(fw::DeviceContext* dc, fw::PrintInfo* info);
    // Shrinks info->drawRect by the properties' margins.
    virtual void OnAdjustPrintRect(fw::DeviceContext* dc, fw::PrintInfo* info);
    // The page header and footer (with the grid view's document, when the grid is a view).
    virtual void OnPrintHeaderAndFooter(fw::DeviceContext* dc, fw::PrintInfo* info);
    void InstallPrintImp();
    // Page breaks of the last pagination: entry k is the first column (row) of page column
    // (row) k; the last entry is one past the printed range.
    std::vector<ROWCOL> m_awColBreaks;
    std::vector<ROWCOL> m_awRowBreaks;
    // What the last pagination printed: 0 the whole table, 1 the selection, 2 the screen.
    int m_nPrintRangeKind = 0;

    // ===== Drawing ==============================================================================
    virtual void OnGridPrepareDC(fw::DeviceContext* dc, bool printing = false);
    virtual void AfterPrepareDC(fw::DeviceContext*) {}
    // The composed style of a cell, cached until FreeObjectCache.
    virtual const CGXStyle& LookupStyleRowCol(ROWCOL row, ROWCOL col);
    virtual std::unique_ptr<CGXStyle> CreateStyle();
    virtual void RecycleStyle(std::unique_ptr<CGXStyle> style);
    virtual void FreeObjectCache();
    // Paints the part of the grid inside the DC's clip box.
    virtual void OnGridDraw(fw::DeviceContext* dc);
    virtual void OnGridDrawRange(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                 fw::DeviceContext* dc);
    virtual void DrawGridCell(GX_DRAW_CONTEXT& ctx, int rowIndex, int colIndex);
    virtual void DrawItem(fw::DeviceContext* dc, ROWCOL row, ROWCOL col, const fw::Rect& rect,
                          const CGXStyle& style);
    virtual void DrawRowLines(GX_DRAW_CONTEXT& ctx, int rowIndex);
    virtual void DrawColumnLines(GX_DRAW_CONTEXT& ctx, int colIndex);
    virtual void DrawCellBorders(fw::DeviceContext* dc, const fw::Rect& rect,
                                 const CGXStyle& style);
    // Draws one side (0 left, 1 right, 2 top, 3 bottom) of a rectangle with a border pen.
    virtual void DrawCellBorder(const CGXPen& pen, const fw::Rect& rect, int side,
                                fw::DeviceContext* dc, const CGXBrush* interior);
    virtual void DrawInvertedCells(GX_DRAW_CONTEXT& ctx);
    virtual void DrawInvertCell(fw::DeviceContext* dc, ROWCOL row, ROWCOL col,
                                const fw::Rect& rect);
    virtual void DrawLine(fw::DeviceContext* dc, int x, int y, int width, int height, int kind,
                          unsigned flags);
    virtual void DrawDragLine(fw::DeviceContext* dc, int kind, ROWCOL index, unsigned flags);
    virtual void DrawBrushRect(fw::DeviceContext* dc, const fw::Rect& rect, const CGXBrush& brush);
    // Selects the style's font (zoomed) unless it equals the other style's; answers the font
    // selected before, or none when nothing changed.
    virtual std::optional<fw::LogFont> LoadFont(fw::DeviceContext* dc, const CGXStyle& style,
                                                const CGXStyle* other = nullptr);
    fw::LogFont SelectZoomedFont(fw::DeviceContext* dc, const CGXFont& font);
    const fw::Pen& LookupPen(const CGXPen& pen);
    // The font of a font record at the grid's zoom, made once and kept.
    const fw::LogFont& LookupFont(const CGXFont& font);
    const fw::Brush& LookupBrush(const CGXBrush& brush);
    virtual void GetFontMetrics(fw::DeviceContext* dc, int& width, int& height);
    virtual void UpdateFontMetrics();
    virtual int GetLineHeight();
    virtual int GetCharWidth();
    virtual int GetZoom();
    virtual bool SetZoom(int percent, unsigned flags = GX_UPDATENOW);
    virtual bool StoreZoom(int percent, bool createHint = true);
    virtual void OnZoomChanged(int oldZoom, unsigned flags);
    int SetMemDCDrawing(int mode);
    int GetMemDCDrawing() const { return m_nMemDCDrawing; }
    // The document passes a hint to every other view (nothing with hints off or no document).
    virtual void UpdateAllViews(fw::Window* sender, long hint, void* object);
    // Hands a hint to the update-hint feature: FALSE without it.
    virtual bool SendUpdateHint(CGXGridHint& hint);
    // Invalidates the cells (widened to spans); nothing with flags 0, hidden or locked.
    virtual void RedrawRowCol(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                              unsigned flags = GX_UPDATENOW, bool notify = false);
    void RedrawRowCol(const CGXRange& range, unsigned flags = GX_UPDATENOW, bool notify = false);
    virtual void Redraw(unsigned flags = GX_UPDATENOW, bool notify = false);
    // The cell's rectangle less its borders and grid lines; AddBorders grows a content size.
    virtual void SubtractBorders(fw::Rect& rect, const CGXStyle& style, bool gridLines);
    virtual fw::Size AddBorders(fw::Size size, const CGXStyle& style);
    fw::Rect GetCellRectInset(const fw::Rect& rect, const CGXStyle& style, bool gridLines) {
        fw::Rect r = rect;
        SubtractBorders(r, style, gridLines);
        return r;
    }
    // Immediate drawing (current-cell frame, inversion, drag lines) goes through this one
    // context over the window's backing image.
    fw::DeviceContext* AcquireGridDC();
    void ReleaseGridDC();
    // Grid lines and 3-D look as the properties say (the printing pair while printing).
    bool GetDisplayHorzLines();
    bool GetDisplayVertLines();
    bool Is3dLook();
    // The rectangles that active control windows cover (held, not drawn over).
    std::vector<fw::Rect> m_coveredWindowRects;
    bool m_bDrawFrame = false;        // a one-pixel black frame along the grid rectangle
    bool m_bLockCurrentCell = false;  // the lock flag of the current-cell style
    bool m_bDropDownOpen = false;     // flags that the controls set
    bool m_bNoFocusChange = false;
    bool m_bCreatingPopup = false;
    bool m_bGridHasFocus = false;
    bool m_bSelectCurrentCell = false;       // the current cell counts as selected when inverting
    bool m_bInvertCurrentCellFrame = false;  // the selection follows the current cell

protected:
    // What follows storing a style at a cell: the caches it outdates and the cell store's notice.
    bool AfterStore(ROWCOL row, ROWCOL col, int styleType, bool stored);
    // Current-cell steps (the current-cell file).
    bool IsGridOrChild(const fw::Window* wnd) const;
    void FlushGridKeyInput();
    void GiveFocusBack(fw::WindowHandle focus, bool controlActive);
    bool TransferOwnCurrentCell(bool save, unsigned flags);
    void HintSelectionChange(const CGXRangeList& before, const CGXRange& changed);
    // The row and column twins of the structure and size operations share one body each.
    struct Axis;
    // SetTopRow and SetLeftCol without the hint.
    bool MoveTopRow(ROWCOL row, unsigned flags);
    bool MoveLeftCol(ROWCOL col, unsigned flags);
    bool LeaveCurrentCell(CGXControl& control, ROWCOL oldRow, ROWCOL oldCol, ROWCOL row, ROWCOL col,
                          unsigned flags, int changeClass);
    void DrawNewCurrentCell(CGXControl& control, ROWCOL row, ROWCOL col, bool changed);
    bool IsCellEnabledForMove(ROWCOL row, ROWCOL col);
    bool FindCellAtOrFrom(int direction, ROWCOL& row, ROWCOL& col);
    // Input steps (the input file).
    bool ButtonDownStart(unsigned button, unsigned flags, fw::Point pt, int& hit, ROWCOL& row,
                         ROWCOL& col);
    fw::Point ClampMousePoint(fw::Point pt);
    bool HandleMouseException();
    bool OtherButtonDown(unsigned button, unsigned flags, fw::Point pt);
    bool ButtonUp(unsigned button, unsigned flags, fw::Point pt);
    bool DoubleClick(unsigned button, unsigned flags, fw::Point pt);
    bool CellButtonAction(unsigned button, ROWCOL pressedRow, ROWCOL pressedCol, ROWCOL row,
                          ROWCOL col, fw::Point pt, unsigned flags, unsigned action);
    int CursorIdForHit(int hit, ROWCOL row, ROWCOL col, int* fallback);
    void SetCursorAt(fw::Point pt);

    // Drawing of a range split into steps (the draw file).
    void FillDrawContext(GX_DRAW_CONTEXT& ctx, ROWCOL top, ROWCOL left, ROWCOL bottom,
                         ROWCOL right);
    void PrepareCells(GX_DRAW_CONTEXT& ctx);
    void DrawBackgroundRuns(GX_DRAW_CONTEXT& ctx, int rowIndex);
    void DrawOutsideArea(GX_DRAW_CONTEXT& ctx);
    void PaintClipBox(fw::DeviceContext* dc, const fw::Rect& clip);
    void PaintThroughMemoryDC(fw::DeviceContext* dc, const fw::Rect& clip);
    fw::Pen GridLinePen(bool frozen);
    // Scroll helpers (the scroll file).
    ROWCOL LastTopRow(int clientHeight);
    ROWCOL LastLeftCol(int clientWidth);
    void ScrollVisibleBy(int direction, ROWCOL from, ROWCOL to);
    void InvalidateCachedVisible() {
        m_nLastVisibleRow = GX_INVALID;
        m_nLastVisibleCol = GX_INVALID;
    }
    int SizeUnitRows();
    int SizeUnitCols();
    void ApplyNegativeColor(CGXStyle& style);
    void ReCacheBaseStyles();
    bool UpdatesLocked() const;

    GX_LIBRARY_STATE* m_pAppData;
    fw::Window* m_pGridWnd = nullptr;
    fw::Document* m_pDocument = nullptr;
    bool m_bIsViewContext = false;

    std::array<CGXOwnedObject*, GX_FEATURE_SLOTS + 1> m_featureSlots{};  // index 1..35
    // Each slot's typed getter keeps its last answer: the getters are asked per cell while
    // drawing and sizing, and finding a feature's interface walks its type hierarchy. Setting a
    // slot forgets its answer.
    struct SlotCast {
        const std::type_info* type = nullptr;
        void* feature = nullptr;
    };
    mutable std::array<SlotCast, GX_FEATURE_SLOTS + 1> m_slotCasts{};
    template <class T>
    T* SlotAs(int slot) const;
    CGXAutoScrollPlugin* m_pAutoScrollPlugin = nullptr;  // slot 35
    std::vector<std::unique_ptr<CGXOwnedObject>> m_ownedObjects;
    std::vector<std::unique_ptr<CGXPluginComponent>> m_plugins;

    CGXGridParam* m_pParam = nullptr;
    bool m_bOwnParam = false;

    std::unique_ptr<CGXStyle> m_pStyleEdit;   // receives the composed style of a cell
    std::unique_ptr<CGXStyle> m_pStyleValue;  // value-only lookups and value setting
    std::unique_ptr<CGXStyle> m_pStyleGetValue;
    const fw::RuntimeClass* m_pStyleClass = nullptr;
    const CGXStyle* m_pStyleStandard = nullptr;
    const CGXStyle* m_pStyleRowHeader = nullptr;
    const CGXStyle* m_pStyleColHeader = nullptr;

    std::map<unsigned, std::unique_ptr<CGXControl>> m_controls;
    CGXControl* m_pDefaultControl = nullptr;
    CGXControl* m_pActiveControl = nullptr;
    unsigned m_nLastControlId = 0;
    CGXControl* m_pLastControl = nullptr;
    CGXControl* m_pCurrentCellControl = nullptr;

    // Style cache: (row, col) -> composed style; the current cell's styles separately.
    std::unordered_map<std::uint64_t, std::unique_ptr<CGXStyle>> m_styleCache;
    std::vector<std::unique_ptr<CGXStyle>> m_currentCellStyles;
    std::unique_ptr<CGXStyle> m_pCurrentCellStyle;
    std::vector<std::unique_ptr<CGXStyle>> m_freeStyles;
    std::map<std::uint64_t, fw::Pen> m_penCache;
    std::map<std::uint64_t, fw::Brush> m_brushCache;
    std::map<std::pair<std::uint64_t, int>, fw::LogFont> m_fontCache;  // by record and zoom

    ROWCOL m_nTopRow = 1;
    ROWCOL m_nLeftCol = 1;
    ROWCOL m_nPrintTopRow = 1;
    ROWCOL m_nPrintLeftCol = 1;
    ROWCOL m_nLastVisibleRow = GX_INVALID;
    ROWCOL m_nLastVisibleRowTop = 0;
    bool m_bLastRowPartly = false;
    ROWCOL m_nLastVisibleCol = GX_INVALID;
    ROWCOL m_nLastVisibleColLeft = 0;
    bool m_bLastColPartly = false;
    int m_nVScrollMode = gxnAutomatic | gxnEnhanced;
    int m_nHScrollMode = gxnAutomatic | gxnEnhanced;
    int m_nVScrollUnit = 2;
    int m_nHScrollUnit = 2;
    int m_nScrollLock = 0;
    bool m_bInUpdateScrollbars = false;
    bool m_bScrollRangeSet = false;
    ROWCOL m_nLastUpdateRowCount = GX_INVALID;
    ROWCOL m_nLastUpdateColCount = GX_INVALID;
    int m_nAutoScrollDirections = 0;
    bool m_bAutoScroll = false;

    int m_nCyBorder = 1, m_nCxBorder = 1, m_nCyFrame = 4, m_nCxFrame = 4;

    bool m_bInitDone = false;
    bool m_bHintsEnabled = true;
    CGXSplitterPanes* m_pSplitter = nullptr;
    int m_nPaneRow = 0, m_nPaneCol = 0;
    bool m_bPrintInProgress = false;
    fw::Rect m_printRect;
    bool m_bGridRectSet = false;
    fw::Rect m_gridRect;
    int m_nTrackingMode = 0;
    ROWCOL m_nTrackingIndex = 0;

    ROWCOL m_nCurrentRow = GX_INVALID;
    ROWCOL m_nCurrentCol = GX_INVALID;

    bool m_bInStyleChange = false;
    bool m_bValueOnly = false;
    int m_nDrawNesting = 0;
    std::vector<GX_DRAW_CONTEXT*> m_drawContexts;
    bool m_bBackgroundPending = false;
    int m_nMemDCDrawing = 0;
    int m_nZoom = 100;
    int m_nCharWidth = 10;
    int m_nLineHeight = 15;
    bool m_bFontMeasured = false;
    std::unique_ptr<fw::DeviceContext> m_pGridDC;
    std::vector<fw::Rect> m_exclusions;
    std::string m_sWarningText;

    // Current-cell state (CGXGridCoreCurrentCell.cpp).
    bool m_bCCBusy = false;             // a change of the current cell or a warning box runs
    bool m_bWarningShown = false;       // a warning box was shown during the current operation
    bool m_bFocusLost = false;          // the grid lost the focus since the change began
    bool m_bMoving = false;             // MoveCurrentCell runs
    bool m_bRefusedValidation = false;  // the last ValidateCurrentCell was refused
    bool m_bSettingFocus = false;       // the grid sets the focus itself
    bool m_bInKillFocus = false;
    bool m_bSuppressActivation = false;
    std::array<long, 4> m_moveWords{};  // row, top row, column, left column kept during a move
    fw::Window* m_pLastFocusWnd = nullptr;

    // Input state (CGXGridCoreInput.cpp).
    unsigned m_nPressed = 0;        // nonzero while a button that started on a cell is down
    unsigned m_nPressedButton = 0;  // MK_LBUTTON, MK_MBUTTON or MK_RBUTTON
    ROWCOL m_nPressedRow = 0, m_nPressedCol = 0;
    ROWCOL m_nLastRow = 0, m_nLastCol = 0;
    bool m_bMouseMoved = false;
    bool m_bCtrlAtPress = false;
    bool m_bControlWasInit = false;
    bool m_bOverPressedCell = false;
    bool m_bMouseUp = false;
    unsigned m_nLastKeyState = 0;
    bool m_bDbcsPending = false;
    unsigned m_nDbcsLead = 0;
    int m_nForcedCursor = 0;
    int m_nCursorId = 0;
    bool m_bCursorLock = false;
    const void* m_pSizeLock = nullptr;
    std::unique_ptr<CGXToolTipHost> m_pToolTipHost;
    std::unique_ptr<CGXNoToolTipCtrlProxy> m_pToolTipProxy;
    bool m_bToolTips = false;
    bool m_bKeyRepeatStarted = false;
    unsigned m_nKeyRepeatKey = 0, m_nKeyRepeatFlags = 0;
};

template <class T>
T* CGXGridCore::SlotAs(int slot) const {
    SlotCast& cached = m_slotCasts[static_cast<std::size_t>(slot)];
    if (cached.type != &typeid(T)) {
        cached.type = &typeid(T);
        cached.feature = dynamic_cast<T*>(m_featureSlots[static_cast<std::size_t>(slot)]);
    }
    return static_cast<T*>(cached.feature);
}
