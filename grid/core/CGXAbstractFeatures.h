// Interfaces of the per-grid feature objects that fill the grid core's feature slots, and the
// undo command base. Each interface has one implementation, named without "Abstract", among the
// grid's feature components; the core forwards to the object in a slot when it is filled and
// does nothing (answering 0, FALSE or null) when it is empty. Interfaces without operations yet
// gain them with the feature that implements them; every operation takes the grid core first.
#pragma once

#include "grid/core/GXTypes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CGXGridCore;
class CGXRange;
class CGXRangeList;

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
};

class CGXAbstractGridPrintImp : public CGXOwnedObject {};
class CGXAbstractGridSortImp : public CGXOwnedObject {};
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
};
class CGXAbstractDrawSpannedCellsImp : public CGXOwnedObject {};
class CGXAbstractGridFloatCellsImp : public CGXOwnedObject {};
class CGXAbstractGridMergeCellsImp : public CGXOwnedObject {};
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
};
class CGXAbstractCalcSizeImp : public CGXOwnedObject {};
class CGXAbstractGridUpdateHintImp : public CGXOwnedObject {};
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
};
class CGXAbstractGridExcelLikeFrameImp : public CGXOwnedObject {};
class CGXAbstractGridExcelLikeFillImp : public CGXOwnedObject {};
class CGXAbstractGridUserDragSelectRangeImp : public CGXOwnedObject {};
class CGXAbstractGridMoveRowsColsImp : public CGXOwnedObject {};
class CGXAbstractGridUserResizeCellsImp : public CGXOwnedObject {};
class CGXAbstractGridOptimizedUpdateImp : public CGXOwnedObject {};
class CGXAbstractGridMarkEditHeaderImp : public CGXOwnedObject {};
class CGXAbstractGridFreezeMenuHelperImp : public CGXOwnedObject {};
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

// The tab-window interface that a tab window installs in the library state; every grid tells it
// its sheet name when it is initialised.
class CGXTabWndInterface : public CGXOwnedObject {
public:
    virtual void OnGridInitialized(void* gridWindow, const char* sheetName, bool hasName) = 0;
};
