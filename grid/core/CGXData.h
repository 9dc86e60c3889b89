// The cell store: a style per cell, per row and per column, with the row and column counts.
// The formula sheet derives from it and overrides its storage operations and its hooks.
#pragma once

#include "framework/persist/RuntimeClass.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXStylePtrArray.h"

#include <memory>
#include <string>
#include <vector>

class CGXGridCore;
class CGXGridParam;

// Store types of StoreStyleAt and GetStyleAt: -1 a row style (row > 0) or a column style
// (row 0); 1 a cell value typed by the user (numbers are recognised); other values a cell style.
inline constexpr int gxRowColStyle = -1;
inline constexpr int gxValueStore = 1;

// Writes the styles of rows that a cell store holds as pending (see CGXData::SetRowSupplier).
class CGXRowSupplier {
public:
    virtual ~CGXRowSupplier() = default;
    // Writes the styles of `row` and of any pending rows that belong with it. Before it stores
    // into them it marks them supplied (CGXData::MarkRowsSupplied): a store into a pending row
    // would otherwise ask for that row again. `row` itself is marked supplied already.
    virtual void SupplyRows(ROWCOL row) = 0;
};

class CGXData : public fw::Serializable {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    CGXData();
    ~CGXData() override;
    CGXData(const CGXData&) = delete;
    CGXData& operator=(const CGXData&) = delete;

    // Through the document-serialisation component (nothing without it).
    void Serialize(fw::Archive& ar) override;
    // Deletes every cell, row and column style; the counts stay.
    virtual void DeleteContents();
    // A deep copy of every stored style and of both counts.
    virtual void CopyFrom(const CGXData& other);
    virtual void InitParam(CGXGridParam* param);
    virtual ROWCOL GetRowCount() const { return rowCount_; }
    virtual ROWCOL GetColCount() const { return colCount_; }
    virtual bool SetRowCount(ROWCOL n);
    virtual bool SetColCount(ROWCOL n);
    virtual bool InsertRows(ROWCOL row, ROWCOL count);
    virtual bool InsertCols(ROWCOL col, ROWCOL count);
    virtual bool RemoveRows(ROWCOL from, ROWCOL to);
    virtual bool RemoveCols(ROWCOL from, ROWCOL to);
    // Moves rows from..to so that the first of them becomes row `dest`; the block keeps its
    // order and the rows it passes close up.
    virtual bool MoveRows(ROWCOL from, ROWCOL to, ROWCOL dest);
    virtual bool MoveCols(ROWCOL from, ROWCOL to, ROWCOL dest);
    // Through the data copy-and-move component (FALSE without it).
    virtual bool CopyCells(const CGXRange& source, ROWCOL destRow, ROWCOL destCol);
    virtual bool MoveCells(const CGXRange& source, ROWCOL destRow, ROWCOL destCol);
    // Stores (merges) a style at a cell, or a row or column style (store type -1); a null style
    // removes what is stored there. FALSE for a row or column number that is a sentinel.
    virtual bool StoreStyleAt(ROWCOL row, ROWCOL col, const CGXStyle* style, GXModifyType type,
                              int storeType);
    // As StoreStyleAt, for a style the caller gives up: where nothing is stored yet, the style
    // itself is kept rather than a copy of it.
    virtual bool StoreOwnedStyleAt(ROWCOL row, ROWCOL col, std::unique_ptr<CGXStyle> style,
                                   GXModifyType type, int storeType);
    // Merges the stored style into `style`; FALSE when nothing is stored there.
    virtual bool GetStyleAt(ROWCOL row, ROWCOL col, CGXStyle& style, GXModifyType type,
                            int storeType) const;
    // The style stored at a cell, in place (null when none): for readers that need one
    // attribute of many cells and would otherwise copy each whole style.
    const CGXStyle* StoredCellStyle(ROWCOL row, ROWCOL col) const;
    // The same style to change in place; the caller tells the grid of the change, as a store
    // would.
    CGXStyle* StoredCellStyleToChange(ROWCOL row, ROWCOL col) {
        return const_cast<CGXStyle*>(StoredCellStyle(row, col));
    }
    // Through the sort-move component (FALSE without it).
    virtual bool SortMoveRows(const CGXRange& range, const std::vector<ROWCOL>& order);
    virtual bool SortMoveCols(const CGXRange& range, const std::vector<ROWCOL>& order);

    // Hooks of the formula sheet; the plain store answers FALSE (or 0) and does nothing.
    virtual bool GetUpdateFlag(ROWCOL row, ROWCOL col);  // also empties the scratch value
    virtual void SetUpdateFlag(ROWCOL row, ROWCOL col, bool set);
    virtual void AddRecalcRange(const CGXRange& range);
    virtual int SetRecalcMode(int mode);
    virtual bool Recalc(bool force);
    virtual bool GetUpdateErrorText(std::string& text);
    // Frees the message that GetUpdateErrorText reports (it stays until then).
    virtual void ResetUpdateError();
    // Engine undo of the formula sheet: the recording switch (returns the old one), the pending
    // saved cells (given up to the caller) and putting saved cells back.
    virtual bool SetUndoSwitch(bool on);
    virtual std::unique_ptr<CGXOwnedObject> GetUndoInfo();
    virtual bool UndoEngineCells(CGXOwnedObject* info, bool record, bool which);
    // A store that moves its own cells (the formula sheet) does so here, keeping what undo needs
    // in `data`; FALSE leaves the move to the copy-and-move component.
    virtual bool MoveCellsUndoable(const CGXRange& source, ROWCOL destRow, ROWCOL destCol,
                                   std::unique_ptr<CGXOwnedObject>& data, bool record);
    // The text a user edits in a cell when it differs from the shown value (a formula's text).
    virtual bool GetExpressionAt(ROWCOL row, ROWCOL col, std::string& text);

    // Rows written when first needed. A grid of many rows can leave rows pending; the supplier
    // writes a pending row the first time one of its cell styles or its row style is read or
    // stored. Operations that renumber rows or columns (inserting or removing rows before a
    // pending row, inserting columns before the last, removing or moving columns, moving,
    // sorting, copying cells, the archive) have the pending rows written first, so the
    // supplier's row and column numbers never go stale. A null supplier drops every pending
    // mark.
    void SetRowSupplier(CGXRowSupplier* supplier);
    CGXRowSupplier* GetRowSupplier() const { return supplier_; }
    void MarkRowsPending(ROWCOL from, ROWCOL to);
    void MarkRowsSupplied(ROWCOL from, ROWCOL to);
    bool IsRowPending(ROWCOL row) const { return row < pending_.size() && pending_[row] != 0; }
    bool HasPendingRows() const { return pendingCount_ != 0; }
    // Has the supplier write `row` when it is pending; nothing otherwise.
    void SupplyRow(ROWCOL row) const {
        if (IsRowPending(row))
            SupplyPendingRow(row);
    }
    // Has the supplier write every pending row from `from` on.
    void SupplyRowsFrom(ROWCOL from) const;
    void SupplyAllRows() const { SupplyRowsFrom(0); }

    // The first grid registered in the library state for this cell store.
    CGXGridCore* GetBoundGrid() const;

    // The arrays, for the archive and copy components and the formula sheet.
    CGXStylePtrArrayPtrArray m_apapCellStyle;  // by row, then by column
    CGXStylePtrArray m_apRowBaseStyle;         // by row
    CGXStylePtrArray m_apColBaseStyle;         // by column
    ROWCOL& RowCountRef() { return rowCount_; }
    ROWCOL& ColCountRef() { return colCount_; }

protected:
    std::unique_ptr<CGXStyle> m_pStyleValue;  // two scratch styles
    std::unique_ptr<CGXStyle> m_pStyle2;

private:
    // The place of a cell, row or column style, made when missing.
    std::unique_ptr<CGXStyle>* SlotAt(ROWCOL row, ROWCOL col, int storeType);
    // A value a user typed is stored as a number when it reads as one.
    static void RecogniseNumber(CGXStyle& stored, const CGXStyle& given, GXModifyType type,
                                int storeType);

    void SupplyPendingRow(ROWCOL row) const;

    ROWCOL rowCount_ = 0;
    ROWCOL colCount_ = 0;
    CGXRowSupplier* supplier_ = nullptr;
    // By row: 1 while the row waits for its supplier. Changed through const readers too, as
    // they have the supplier write the rows they read.
    mutable std::vector<unsigned char> pending_;
    mutable std::size_t pendingCount_ = 0;
};
