// Interfaces of the per-grid feature objects that fill the grid core's feature slots, and the
// undo command base. Each interface has one implementation, named without "Abstract", among the
// grid's feature components; the core forwards to the object in a slot when it is filled and
// does nothing (answering 0, FALSE or null) when it is empty. Interfaces without operations yet
// gain them with the feature that implements them; every operation takes the grid core first.
#pragma once

#include "framework/base/Geometry.h"
#include "grid/core/CGXRowColUndoData.h"
#include "grid/core/GXTypes.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fw {
class DeviceContext;
class Document;
struct PrintInfo;
}  // namespace fw
class CGXControl;
class CGXData;
class CGXGridCore;
class CGXGridParam;
struct CGXGridHint;
class CGXRange;
class CGXRangeList;
class CGXSortInfoArray;
class CGXStyle;
struct GX_DRAW_CONTEXT;

// An undo or redo command, held in the parameter object's undo and redo lists.
// It remembers the grid's current cell when it was recorded; Execute runs it with a command type
// and answers TRUE on success (the base command does nothing and fails).
class CGXCommand : public CGXOwnedObject {
public:
    virtual bool Execute(CGXGridCore* grid, int ctCmd) {
        (void)grid;
        (void)ctCmd;
        return false;
    }
    virtual std::string GetDescription() const { return " "; }
    ROWCOL m_nRow = 0;
    ROWCOL m_nCol = 0;
    bool m_bCurrentCell = false;
    // The computing cell store's saved cells that belong to this change (null when none).
    std::unique_ptr<CGXOwnedObject> m_pEngineInfo;
};

// Printing and print preview: pagination into the core's page breaks, one page at a time, and the
// page header and footer with their tokens.
class CGXAbstractGridPrintImp : public CGXOwnedObject {
public:
    // Paginates; FALSE when there is nothing to print on.
    virtual bool OnGridBeginPrinting(CGXGridCore* grid, fw::DeviceContext* dc,
                                     fw::PrintInfo* info) = 0;
    // Prints info->currentPage.
    virtual void OnGridPrint(CGXGridCore* grid, fw::DeviceContext* dc, fw::PrintInfo* info) = 0;
    virtual void OnGridEndPrinting(CGXGridCore* grid, fw::DeviceContext* dc,
                                   fw::PrintInfo* info) = 0;
    virtual void PrintHeaderAndFooter(CGXGridCore* grid, fw::DeviceContext* dc, fw::PrintInfo* info,
                                      fw::Document* doc, CGXGridParam* param) = 0;
    // Height of a header or footer block (rows of three columns: left, centre, right).
    virtual int CalcHeaderFooterHeight(CGXGridCore* grid, fw::DeviceContext* dc,
                                       const CGXData& data) = 0;
    virtual void DrawHeaderFooter(CGXGridCore* grid, fw::DeviceContext* dc, fw::PrintInfo* info,
                                  const fw::Rect& rect, const CGXData& data) = 0;
    // The text with every token (any case) replaced by its value.
    virtual std::string SubstTokenText(CGXGridCore* grid, std::string_view text) = 0;
    // The value of one token; may take an argument off the start of `rest`.
    virtual std::string GetTokenValue(CGXGridCore* grid, std::size_t index, std::string& rest) = 0;
    // Takes "{argument}" off the start of `rest`; empty, and `rest` unchanged, without one.
    virtual std::string GetTokenArg(CGXGridCore* grid, std::string& rest) = 0;
};
// Sorting rows by key columns and columns by key rows; the order is applied to the cell store as
// one undoable step. order[i] is the offset (from the range's first row or column) of the row
// or column that goes to offset i.
class CGXAbstractGridSortImp : public CGXOwnedObject {
public:
    virtual bool SortRows(CGXGridCore* grid, const CGXRange& range, CGXSortInfoArray& keys,
                          unsigned flags) = 0;
    virtual bool SortCols(CGXGridCore* grid, const CGXRange& range, CGXSortInfoArray& keys,
                          unsigned flags) = 0;
    virtual bool MoveDataRows(CGXGridCore* grid, const CGXRange& range,
                              const std::vector<ROWCOL>& order, unsigned flags, int ctCmd) = 0;
    virtual bool MoveDataCols(CGXGridCore* grid, const CGXRange& range,
                              const std::vector<ROWCOL>& order, unsigned flags, int ctCmd) = 0;
    // A double click on a header cell: TRUE when it sorted.
    virtual bool SortByHeader(CGXGridCore* grid, ROWCOL row, ROWCOL col) = 0;
};
class CGXAbstractGridOldDrawingImp : public CGXOwnedObject {};
// Coverings: blocks of cells drawn as their top-left cell.
class CGXAbstractGridCoveredCellsImp : public CGXOwnedObject {
public:
    virtual bool SetCoveredCellsRowCol(CGXGridCore* grid, ROWCOL top, ROWCOL left, ROWCOL bottom,
                                       ROWCOL right, unsigned flags, int ctCmd) = 0;
    // The covering that holds the cell, copied into `range`; null when none.
    virtual CGXRange* GetCoveredCellsRowCol(CGXGridCore* grid, ROWCOL row, ROWCOL col,
                                            CGXRange& range) = 0;
    virtual bool StoreCoveredCellsRowCol(CGXGridCore* grid, ROWCOL top, ROWCOL left, ROWCOL bottom,
                                         ROWCOL right, bool set) = 0;
    virtual void UpdateCoveredCellsRowCol(CGXGridCore* grid, ROWCOL top, ROWCOL left, ROWCOL bottom,
                                          ROWCOL right, unsigned flags, bool createHint) = 0;
    virtual void ExpandRangeByCoverings(CGXGridCore* grid, CGXRange& range) = 0;
    // Before rows (columns) first..last are removed: a covering that reaches into them from
    // above (the left) ends just before them, one that starts inside them goes. Nothing is
    // recorded for undo: the removal keeps the coverings as they were with its own undo data.
    // `changed` tells whether any covering changed. `skip` belongs to the operation's form, but
    // no caller gives it a meaning, so it changes nothing.
    virtual void RemoveRowsCoverings(CGXGridCore* grid, ROWCOL first, ROWCOL last, bool& changed,
                                     bool skip) {
        (void)grid, (void)first, (void)last, (void)skip;
        changed = false;
    }
    virtual void RemoveColsCoverings(CGXGridCore* grid, ROWCOL first, ROWCOL last, bool& changed,
                                     bool skip) {
        (void)grid, (void)first, (void)last, (void)skip;
        changed = false;
    }
};
// Draws cells that span several rows or columns (covered, merged and floating cells) as one cell
// in a paint of the grid core; indices are the draw context's row and column indices.
class CGXAbstractDrawSpannedCellsImp : public CGXOwnedObject {
public:
    // Marks the cells of the span that holds the cell; FALSE when the cell is not spanned.
    virtual bool PrepareSpannedCell(CGXGridCore* grid, GX_DRAW_CONTEXT& ctx, int r, int c) = 0;
    // TRUE when the cell was drawn (or is drawn by its span's origin) as part of a span.
    virtual bool DrawSpannedCell(CGXGridCore* grid, GX_DRAW_CONTEXT& ctx, int r, int c) = 0;
};
// Floating cells: a text wider than its cell runs on over the empty cells to its right. Mode 0
// off; 1 and 2 compute the spans of the cells on display.
class CGXAbstractGridFloatCellsImp : public CGXOwnedObject {
public:
    virtual void SetFloatCellsMode(CGXGridCore* grid, std::uint16_t mode, bool redraw) = 0;
    // The span of floated text that holds the cell, copied into `range`; null when none.
    virtual CGXRange* GetFloatedCellRange(CGXGridCore* grid, ROWCOL row, ROWCOL col,
                                          CGXRange& range) = 0;
    // Works out the spans of the rows top..bottom up to column `right` (and of the texts that
    // reach into them from the left); `changed` grows by every span that changed. TRUE when
    // any did. `dc` measures the texts.
    virtual bool EvalFloatCells(CGXGridCore* grid, fw::DeviceContext* dc, ROWCOL top, ROWCOL bottom,
                                ROWCOL left, ROWCOL right, CGXRange& changed) = 0;
};
// Merged cells: neighbouring cells with equal values (or styles) drawn as one, by rows
// (direction 0) and by columns (direction 1). The merge mode's bits 0-1: 0 off, 1 or 2 on; bit 2
// turns vertical merging off, bit 3 horizontal merging.
class CGXAbstractGridMergeCellsImp : public CGXOwnedObject {
public:
    virtual void SetMergeCellsMode(CGXGridCore* grid, std::uint16_t mode, bool redraw) = 0;
    // The merged span that holds the cell in the direction (-1 either), or null.
    virtual CGXRange* GetMergedCellRange(CGXGridCore* grid, ROWCOL row, ROWCOL col, CGXRange& range,
                                         int direction) = 0;
    // Works out the spans of the cells top..bottom x left..right (and of the runs that reach
    // into them); `changed` grows by every span that changed. TRUE when any did.
    virtual bool EvalMergeCells(CGXGridCore* grid, ROWCOL top, ROWCOL bottom, ROWCOL left,
                                ROWCOL right, CGXRange& changed) = 0;
};
// Records the commands that reverse the grid's changes and runs the undo and redo lists. The
// command type is 0 for a new action, 1 for a rollback, 2 for undo and 3 for redo.
class CGXAbstractCommandFactory : public CGXOwnedObject {
public:
    virtual void AddCommand(CGXGridCore* grid, std::unique_ptr<CGXCommand> command, int ctCmd) = 0;
    // Deletes the newest command of the list AddCommand would use for the type.
    virtual void RemoveCommand(CGXGridCore* grid, int ctCmd) = 0;
    virtual bool Undo(CGXGridCore* grid) = 0;
    virtual bool Redo(CGXGridCore* grid) = 0;
    virtual bool BeginTrans(CGXGridCore* grid, const char* description) = 0;
    virtual void CommitTrans(CGXGridCore* grid) = 0;
    virtual void Rollback(CGXGridCore* grid) = 0;
    // Creators of the commands that reverse size and hiding changes (null when the factory does
    // not make them). Old sizes are pixels, -1 where the row or column had no size of its own.
    virtual std::unique_ptr<CGXCommand> CreateSetRowHeightCmd(ROWCOL, ROWCOL, std::vector<int>) {
        return nullptr;
    }
    virtual std::unique_ptr<CGXCommand> CreateSetColWidthCmd(ROWCOL, ROWCOL, std::vector<int>) {
        return nullptr;
    }
    virtual std::unique_ptr<CGXCommand> CreateHideRowsCmd(ROWCOL, ROWCOL, std::vector<bool>) {
        return nullptr;
    }
    virtual std::unique_ptr<CGXCommand> CreateHideColsCmd(ROWCOL, ROWCOL, std::vector<bool>) {
        return nullptr;
    }
    // Puts saved styles back over a range (one per store place, null where nothing was stored).
    virtual std::unique_ptr<CGXCommand> CreateSetStyleRangeCmd(
        const CGXRange& range, int styleType, std::vector<std::unique_ptr<CGXStyle>> styles);
    virtual std::unique_ptr<CGXCommand> CreateSetDefaultRowHeightCmd(int) { return nullptr; }
    virtual std::unique_ptr<CGXCommand> CreateSetDefaultColWidthCmd(int) { return nullptr; }
    // Moves back: the block now at first..last returns to start at `dest`.
    virtual std::unique_ptr<CGXCommand> CreateMoveRowsCmd(ROWCOL, ROWCOL, ROWCOL) {
        return nullptr;
    }
    virtual std::unique_ptr<CGXCommand> CreateMoveColsCmd(ROWCOL, ROWCOL, ROWCOL) {
        return nullptr;
    }
    virtual std::unique_ptr<CGXCommand> CreateSetFrozenRowsCmd(ROWCOL, ROWCOL) { return nullptr; }
    virtual std::unique_ptr<CGXCommand> CreateSetFrozenColsCmd(ROWCOL, ROWCOL) { return nullptr; }
    // Saves what removing rows (columns) first..last destroys, so that the insert command can
    // restore them whole; `out` stays null when nothing is kept (also when the user lets a
    // removal too large for the undo buffer go on without). FALSE abandons the removal.
    virtual bool CreateRemoveRowsUndoData(CGXGridCore*, ROWCOL, ROWCOL,
                                          std::unique_ptr<CGXRowColUndoData>&) {
        return true;
    }
    virtual bool CreateRemoveColsUndoData(CGXGridCore*, ROWCOL, ROWCOL,
                                          std::unique_ptr<CGXRowColUndoData>&) {
        return true;
    }
    // Undo of a removal: inserts `count` rows (columns) at `first` again with their old sizes
    // (pixels, -1 for the default) and the saved data.
    virtual std::unique_ptr<CGXCommand> CreateInsertRowsCmd(ROWCOL, ROWCOL, std::vector<int>,
                                                            std::unique_ptr<CGXRowColUndoData>) {
        return nullptr;
    }
    virtual std::unique_ptr<CGXCommand> CreateInsertColsCmd(ROWCOL, ROWCOL, std::vector<int>,
                                                            std::unique_ptr<CGXRowColUndoData>) {
        return nullptr;
    }
    // Undo of an insertion: removes rows (columns) first..last.
    virtual std::unique_ptr<CGXCommand> CreateRemoveRowsCmd(ROWCOL, ROWCOL) { return nullptr; }
    virtual std::unique_ptr<CGXCommand> CreateRemoveColsCmd(ROWCOL, ROWCOL) { return nullptr; }
    // Switches the cell store's own undo recording; answers the previous state.
    virtual bool SetUndoRecording(CGXGridCore*, bool) { return false; }
    // Drops what the cell store recorded for a step that produced no command.
    virtual void EndUndoStep(CGXGridCore*) {}
    // The cell that an undo or redo running now shows when it ends.
    virtual void SetUndoPosition(CGXGridCore*, ROWCOL, ROWCOL) {}
    // Closes a transaction that an operation of the grid opened for itself.
    virtual void CloseTrans(CGXGridCore* grid) { CommitTrans(grid); }
};
// The size a cell needs to show its contents (width, height), borders included. The control
// draws the cell; heightOnly asks for the height at the cell's present width.
class CGXAbstractCalcSizeImp : public CGXOwnedObject {
public:
    virtual fw::Size CalcSize(CGXGridCore* grid, CGXControl* control, fw::DeviceContext& dc,
                              ROWCOL row, ROWCOL col, const CGXStyle& style, bool heightOnly) = 0;
};
// Carries the grid's changes to the other views of its document and repeats theirs here.
class CGXAbstractGridUpdateHintImp : public CGXOwnedObject {
public:
    // A received hint: answers 0 when it is not for this grid or not understood.
    virtual long OnHint(CGXGridCore* grid, const CGXGridHint* hint) = 0;
    // Sends a hint to the other views (nothing without a document or with hints disabled).
    virtual bool SendHint(CGXGridCore* grid, CGXGridHint& hint) = 0;
    // The senders that the core and the other features call (each FALSE when nothing was sent).
    virtual bool HintSetCurrentCell(CGXGridCore* grid, ROWCOL row, ROWCOL col, unsigned flags) = 0;
    // The other views store their current cell's edit; TRUE unless one of them failed.
    virtual bool HintStoreCurrentCell(CGXGridCore* grid, bool save, unsigned flags) = 0;
    virtual bool HintRedraw(CGXGridCore* grid, unsigned flags) = 0;
    virtual bool HintRedrawRowCol(CGXGridCore* grid, ROWCOL top, ROWCOL left, ROWCOL bottom,
                                  ROWCOL right, unsigned flags) = 0;
    virtual bool HintTopRow(CGXGridCore* grid, ROWCOL row, unsigned flags) = 0;
    virtual bool HintLeftCol(CGXGridCore* grid, ROWCOL col, unsigned flags) = 0;
    // After a scroll in a direction (1 up, 2 left, 3 down, 4 right) the splitter's other panes
    // follow; any other value sends nothing and answers it less 4.
    virtual long HintSyncPanes(CGXGridCore* grid, int scrollType) = 0;
    virtual bool HintSetZoom(CGXGridCore* grid, int zoom) = 0;
    virtual bool HintZoom(CGXGridCore* grid, int zoom, unsigned flags) = 0;
    // The selection changed: `oldList` is the selection before (a CGXRangeList, or null), the
    // block the range in progress now covers.
    virtual bool HintSelection(CGXGridCore* grid, const void* oldList, ROWCOL top, ROWCOL left,
                               ROWCOL bottom, ROWCOL right) = 0;
    virtual bool HintSelectionAll(CGXGridCore* grid) = 0;
};
// Fits row heights and column widths to what the cells' controls need; FALSE on a user abort.
class CGXAbstractGridResizeToFitImp : public CGXOwnedObject {
public:
    virtual bool ResizeRowHeightsToFit(CGXGridCore* grid, const CGXRange& range, bool unused,
                                       unsigned flags) = 0;
    virtual bool ResizeColWidthsToFit(CGXGridCore* grid, const CGXRange& range, bool unused,
                                      unsigned flags) = 0;
};

// Hidden rows and columns (kept in the parameter object); rows first, columns their twins.
class CGXAbstractGridHideCellsImp : public CGXOwnedObject {
public:
    virtual void RowsRemoved(CGXGridCore* grid, ROWCOL first, ROWCOL last) = 0;
    virtual void ColsRemoved(CGXGridCore* grid, ROWCOL first, ROWCOL last) = 0;
    virtual void RowsInserted(CGXGridCore* grid, ROWCOL at, ROWCOL count) = 0;
    virtual void ColsInserted(CGXGridCore* grid, ROWCOL at, ROWCOL count) = 0;
    virtual void RowsMoved(CGXGridCore* grid, ROWCOL first, ROWCOL last, ROWCOL dest) = 0;
    virtual void ColsMoved(CGXGridCore* grid, ROWCOL first, ROWCOL last, ROWCOL dest) = 0;
    // `values` (or null) gives each row's own hide flag; TRUE when any row changed.
    virtual bool HideRows(CGXGridCore* grid, ROWCOL first, ROWCOL last, bool hide,
                          const bool* values, unsigned flags, int ctCmd) = 0;
    virtual bool IsRowHidden(CGXGridCore* grid, ROWCOL row) = 0;
    virtual bool StoreHideRow(CGXGridCore* grid, ROWCOL row, bool hide) = 0;
    virtual bool HideCols(CGXGridCore* grid, ROWCOL first, ROWCOL last, bool hide,
                          const bool* values, unsigned flags, int ctCmd) = 0;
    virtual bool IsColHidden(CGXGridCore* grid, ROWCOL col) = 0;
    virtual bool StoreHideCol(CGXGridCore* grid, ROWCOL col, bool hide) = 0;
};

// Find and replace over the grid's cell texts; the find state is shared by all grids.
class CGXAbstractGridFindReplaceImp : public CGXOwnedObject {
public:
    virtual void ShowDialog(CGXGridCore* grid, bool findOnly) = 0;
    virtual bool Find(CGXGridCore* grid, const std::string& text, bool down, bool matchCase) = 0;
    virtual bool FindFrom(CGXGridCore* grid, ROWCOL row, ROWCOL col, bool setCurrentCell) = 0;
    virtual bool FindNext(CGXGridCore* grid, bool setCurrentCell) = 0;
    virtual void Replace(CGXGridCore* grid, const std::string& find, bool down, bool matchCase,
                         const std::string& replacement) = 0;
    virtual void ReplaceAll(CGXGridCore* grid, const std::string& find,
                            const std::string& replacement, bool matchCase) = 0;
    // A button of the find/replace dialog (the dialog passed as an opaque pointer).
    virtual void OnDialogNotify(CGXGridCore* grid, void* dialog) = 0;
};
// Selection by keyboard and mouse; key flags are 0x04 Shift and 0x08 Ctrl.
class CGXAbstractGridUserSelectRangeImp : public CGXOwnedObject {
public:
    virtual bool MoveCurrentCellEx(CGXGridCore* grid, ROWCOL row, ROWCOL col, bool shift) = 0;
    virtual bool OnSelectButtonDown(CGXGridCore* grid, ROWCOL row, ROWCOL col,
                                    unsigned keyFlags) = 0;
    virtual void OnSelectMouseMove(CGXGridCore* grid, ROWCOL row, ROWCOL col) = 0;
    virtual void OnSelectButtonUp(CGXGridCore* grid, ROWCOL row, ROWCOL col) = 0;
    virtual bool SelectRange(CGXGridCore* grid, const CGXRange& range, bool select,
                             bool update) = 0;
    virtual void AddOrExcludeRange(CGXGridCore* grid, const CGXRange& range, bool add) = 0;
    virtual void RedrawSelectionChange(CGXGridCore* grid, const CGXRangeList& oldList) = 0;
    // Sets the range at a list index (-1 clears the whole selection).
    virtual void SetSelection(CGXGridCore* grid, int index, ROWCOL top, ROWCOL left, ROWCOL bottom,
                              ROWCOL right) = 0;
    virtual void RedrawSelection(CGXGridCore* grid) = 0;
    virtual bool OnCtrlClickHeader(CGXGridCore* grid, ROWCOL row, ROWCOL col,
                                   unsigned keyFlags) = 0;
    // After rows (columns) first..last were removed and the selected ranges cut: drops the
    // ranges that went with them and moves the range in progress, the anchor and the last cell
    // along.
    virtual void RowsRemoved(CGXGridCore* grid, ROWCOL first, ROWCOL last) {
        (void)grid, (void)first, (void)last;
    }
    virtual void ColsRemoved(CGXGridCore* grid, ROWCOL first, ROWCOL last) {
        (void)grid, (void)first, (void)last;
    }
};
// The thick frame around the selection in progress, with its fill handle. Frame types: 0 a cell
// range (handle bottom-right), 2 whole rows (bottom-left), 7 whole columns (top-right).
class CGXAbstractGridExcelLikeFrameImp : public CGXOwnedObject {
public:
    // Draws (or, with erase, removes) the frame of a range split at the frozen rows and columns.
    virtual void DrawSelectionFrame(CGXGridCore* grid, fw::DeviceContext* dc, const CGXRange& range,
                                    int type, bool erase) = 0;
    // Erases the frame, takes the new range (null: none) and draws it.
    virtual void UpdateSelectionFrame(CGXGridCore* grid, const CGXRange* range) = 0;
    virtual void RedrawSelectionFrame(CGXGridCore* grid) = 0;
    // Answers the previous lock state; a change redraws the frame and, with hint, tells the
    // other views.
    virtual bool LockSelectionFrame(CGXGridCore* grid, bool lock, bool hint) = 0;
};
// Filling by dragging the frame's handle: repeats the source block into the cells dragged over,
// or clears the cells cut off when the block shrinks.
class CGXAbstractGridExcelLikeFillImp : public CGXOwnedObject {
public:
    virtual bool OnFillButtonDown(CGXGridCore* grid, ROWCOL row, ROWCOL col) = 0;
    virtual void OnFillMouseMove(CGXGridCore* grid, fw::Point pt, ROWCOL row, ROWCOL col) = 0;
    virtual void OnFillButtonUp(CGXGridCore* grid) = 0;
    virtual void CancelFill(CGXGridCore* grid) = 0;
    virtual bool DoFill(CGXGridCore* grid, const CGXRange& target, const CGXRange& source) = 0;
    // TRUE while a fill drag runs.
    virtual bool IsFilling() const = 0;
};
// Moving fully selected rows (columns) by dragging their headers. The mouse hooks see every
// button-down, move and button-up first and answer TRUE when they took the message.
class CGXAbstractGridUserDragSelectRangeImp : public CGXOwnedObject {
public:
    virtual bool OnDragButtonDown(CGXGridCore* grid, fw::Point pt, unsigned flags, int hit,
                                  ROWCOL row, ROWCOL col) = 0;
    virtual bool OnDragMouseMove(CGXGridCore* grid, fw::Point pt, unsigned flags) = 0;
    virtual bool OnDragButtonUp(CGXGridCore* grid, fw::Point pt, unsigned flags) = 0;
    virtual bool StartDrag(CGXGridCore* grid, ROWCOL row, ROWCOL col) = 0;
    virtual void DragMove(CGXGridCore* grid, ROWCOL row, ROWCOL col) = 0;
    virtual bool Drop(CGXGridCore* grid, ROWCOL row, ROWCOL col) = 0;
    virtual void CancelDrag(CGXGridCore* grid) = 0;
};
// Moving a block of rows (columns) so that its first one ends up at `dest`, numbered after the
// move; the block keeps its order. Store changes the data, Update brings the screen and the
// other views up to date, Move does both and records the reverse move.
class CGXAbstractGridMoveRowsColsImp : public CGXOwnedObject {
public:
    virtual bool StoreMoveRows(CGXGridCore* grid, ROWCOL first, ROWCOL last, ROWCOL dest,
                               bool processed) = 0;
    virtual void UpdateMoveRows(CGXGridCore* grid, ROWCOL first, ROWCOL last, ROWCOL dest,
                                unsigned flags, bool createHint) = 0;
    virtual bool StoreMoveCols(CGXGridCore* grid, ROWCOL first, ROWCOL last, ROWCOL dest,
                               bool processed) = 0;
    virtual void UpdateMoveCols(CGXGridCore* grid, ROWCOL first, ROWCOL last, ROWCOL dest,
                                unsigned flags, bool createHint) = 0;
    virtual bool MoveRows(CGXGridCore* grid, ROWCOL first, ROWCOL last, ROWCOL dest, unsigned flags,
                          int ctCmd) = 0;
    virtual bool MoveCols(CGXGridCore* grid, ROWCOL first, ROWCOL last, ROWCOL dest, unsigned flags,
                          int ctCmd) = 0;
};
// Resizing rows and columns by dragging their boundaries; hit is the core's hit code, offsets are
// the mouse's distance from where the drag started.
class CGXAbstractGridUserResizeCellsImp : public CGXOwnedObject {
public:
    virtual void OnTrackMouseMove(CGXGridCore* grid, fw::Point pt) = 0;
    virtual bool OnTrackButtonDown(CGXGridCore* grid, int hit, fw::Point pt) = 0;
    virtual void OnTrackButtonUp(CGXGridCore* grid, fw::Point pt) = 0;
    virtual bool OnTrackDblClick(CGXGridCore* grid, int hit, fw::Point pt) = 0;
    virtual bool StartTracking(CGXGridCore* grid, ROWCOL index, int mode, fw::Point pt) = 0;
    virtual void MoveTracking(CGXGridCore* grid, int offset) = 0;
    virtual void CancelTracking(CGXGridCore* grid) = 0;
    virtual void EndTracking(CGXGridCore* grid, int offset) = 0;
};
// Repaints after rows or columns were inserted, removed or resized by scrolling the part of the
// window that did not change; without it the core repaints everything. Old sizes are the
// sizes before the change, one per row (column); empty when not known.
class CGXAbstractGridOptimizedUpdateImp : public CGXOwnedObject {
public:
    virtual void OnInsertedRows(CGXGridCore* grid, ROWCOL first, ROWCOL count, unsigned flags) = 0;
    virtual void OnInsertedCols(CGXGridCore* grid, ROWCOL first, ROWCOL count, unsigned flags) = 0;
    virtual void OnRemovedRows(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                               std::span<const int> oldHeights, unsigned flags) = 0;
    virtual void OnRemovedCols(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                               std::span<const int> oldWidths, unsigned flags) = 0;
    virtual void OnChangedRowHeights(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                                     std::span<const int> oldHeights, unsigned flags) = 0;
    virtual void OnChangedColWidths(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                                    std::span<const int> oldWidths, unsigned flags) = 0;
};
// Draws the row and column headers of the current cell marked. Direction 0 both, 1 columns
// only, 2 rows only.
class CGXAbstractGridMarkEditHeaderImp : public CGXOwnedObject {
public:
    virtual void MarkEditHeader(CGXGridCore* grid, ROWCOL row, ROWCOL col, int direction,
                                unsigned flags) = 0;
    virtual bool IsMarkedHeaderCell(CGXGridCore* grid, ROWCOL row, ROWCOL col) = 0;
};
// Freezing the selected columns (rows): moved to the front and made the frozen pane; undone by
// moving them back.
class CGXAbstractGridFreezeMenuHelperImp : public CGXOwnedObject {
public:
    virtual bool CanFreezeCols(CGXGridCore* grid) = 0;
    virtual bool IsColsFrozen(CGXGridCore* grid) = 0;
    virtual bool FreezeCols(CGXGridCore* grid) = 0;
    virtual bool UnfreezeCols(CGXGridCore* grid) = 0;
    virtual bool CanFreezeRows(CGXGridCore* grid) = 0;
    virtual bool IsRowsFrozen(CGXGridCore* grid) = 0;
    virtual bool FreezeRows(CGXGridCore* grid) = 0;
    virtual bool UnfreezeRows(CGXGridCore* grid) = 0;
};
// Copying and moving a block of cells inside the grid's cell store, undoably.
class CGXAbstractGridDirectCopyMoveCellsImp : public CGXOwnedObject {
public:
    virtual bool CopyCells(CGXGridCore* grid, const CGXRange& source, ROWCOL destRow,
                           ROWCOL destCol, unsigned flags) = 0;
    virtual bool StoreCopyCells(CGXGridCore* grid, const CGXRange& source, ROWCOL destRow,
                                ROWCOL destCol) = 0;
    virtual bool MoveCells(CGXGridCore* grid, const CGXRange& source, ROWCOL destRow,
                           ROWCOL destCol, std::unique_ptr<CGXOwnedObject> data, unsigned flags,
                           int ctCmd) = 0;
    virtual bool StoreMoveCells(CGXGridCore* grid, const CGXRange& source, ROWCOL destRow,
                                ROWCOL destCol, std::unique_ptr<CGXOwnedObject>& data,
                                bool keepForUndo) = 0;
};
// Cells as tab-separated text.
class CGXAbstractGridTextDataExchangeImp : public CGXOwnedObject {
public:
    virtual bool WriteTextToFile(CGXGridCore* grid, std::string& out, const CGXRangeList& list) = 0;
    virtual std::string GetCopyTextRowCol(CGXGridCore* grid, ROWCOL row, ROWCOL col) = 0;
    virtual bool PasteTextFromBuffer(CGXGridCore* grid, const char* text, std::size_t size,
                                     const CGXRange& target) = 0;
    virtual bool StorePastedText(CGXGridCore* grid, ROWCOL row, ROWCOL col,
                                 const std::string& text) = 0;
    virtual void CalcTextBufferSize(const char* text, std::size_t size, ROWCOL& rows, ROWCOL& cols,
                                    const std::string& separators) = 0;
};
// Cells as an archive of whole styles.
class CGXAbstractGridStyleDataExchangeImp : public CGXOwnedObject {
public:
    virtual bool WriteStylesToArchive(CGXGridCore* grid, std::vector<std::uint8_t>& out,
                                      const CGXRangeList& list) = 0;
    virtual bool PasteStylesFromArchive(CGXGridCore* grid, const std::uint8_t* data,
                                        std::size_t size, const CGXRange& target) = 0;
};
// The clipboard commands: copy, cut and paste of cell ranges as text and as styles.
class CGXAbstractGridCutPasteImp : public CGXOwnedObject {
public:
    virtual bool CanCopy(CGXGridCore* grid) = 0;
    virtual bool Copy(CGXGridCore* grid) = 0;
    virtual bool CopyRangeList(CGXGridCore* grid, const CGXRangeList& list) = 0;
    virtual bool CopyTextToClipboard(CGXGridCore* grid, const CGXRangeList& list) = 0;
    virtual bool CopyStylesToClipboard(CGXGridCore* grid, const CGXRangeList& list) = 0;
    virtual bool CanCut(CGXGridCore* grid) = 0;
    virtual bool Cut(CGXGridCore* grid) = 0;
    virtual bool CutRangeList(CGXGridCore* grid, const CGXRangeList& list, bool clearStyles) = 0;
    virtual bool CanPaste(CGXGridCore* grid) = 0;
    virtual bool HasClipboardData(CGXGridCore* grid) = 0;
    virtual bool Paste(CGXGridCore* grid) = 0;
    virtual bool PasteDirect(CGXGridCore* grid, const CGXRange& range) = 0;
    virtual bool PasteFromClipboard(CGXGridCore* grid, const CGXRange& range) = 0;
    virtual bool ConfirmPasteSize(CGXGridCore* grid) = 0;
};
// Clearing the values (or the whole styles) of cells, undoably.
class CGXAbstractGridClearCellsImp : public CGXOwnedObject {
public:
    virtual bool CanClear(CGXGridCore* grid) = 0;
    virtual bool Clear(CGXGridCore* grid, bool styles) = 0;
    virtual bool ClearCells(CGXGridCore* grid, const CGXRangeList& list, bool styles) = 0;
};

// Slot 29: takes a click inside the current cell's selected text (to drag the text away).
class CGXAbstractGridSelectedTextImp : public CGXOwnedObject {
public:
    virtual bool OnSelectedTextClick(CGXGridCore* grid, ROWCOL row, ROWCOL col) = 0;
};

// The tab-window interface that a tab window installs in the library state; every grid tells it
// its sheet name when it is initialised.
class CGXTabWndInterface : public CGXOwnedObject {
public:
    virtual void OnGridInitialized(void* gridWindow, const char* sheetName, bool hasName) = 0;
};
