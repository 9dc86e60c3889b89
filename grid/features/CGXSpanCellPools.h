// Which cells the spans of floating and merged cells cover: a delayed-range pool keeps the parts
// of the table whose spans still have to be worked out, and a span-cell pool the spans already
// found, by row and by column.
#pragma once

#include "grid/core/CGXAbstractComponents.h"
#include "grid/core/CGXRange.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace fw {
class Archive;
}

// An array of owned DWORD arrays (null entries allowed). Archive record: WORD schema 1, DWORD
// count, per non-null element its DWORD index and its DWORD array, DWORD 0xFFFFFFFF at the end.
class CGXDWordArrayPtrArray {
public:
    using Row = std::vector<std::uint32_t>;
    std::size_t GetSize() const { return items_.size(); }
    Row* GetAt(std::size_t i) const { return i < items_.size() ? items_[i].get() : nullptr; }
    // The array at i, made (and the outer array grown) when missing.
    Row& Make(std::size_t i);
    void InsertNull(std::size_t at, std::size_t count);
    void Remove(std::size_t first, std::size_t count);
    void Move(std::size_t first, std::size_t count, std::size_t dest);
    void RemoveAll() { items_.clear(); }
    void CopyFrom(const CGXDWordArrayPtrArray& other);
    // Loading checks the schema (else the archive exception with cause 7), the count (at most
    // 2^24) and every index against the count.
    void Serialize(fw::Archive& ar);

private:
    std::vector<std::unique_ptr<Row>> items_;
};

class CGXSpanCellPool : public CGXOwnedObject {
public:
    // The span that covers the cell, in `range` (left and right from the row side, top and
    // bottom from the column side); FALSE when neither side knows one.
    bool GetSpan(ROWCOL row, ROWCOL col, CGXRange& range) const;
    // Records (set) or clears the span top..bottom x left..right; TRUE when anything changed.
    bool SetSpan(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, bool set);
    void RowsInserted(ROWCOL at, ROWCOL count);
    void RowsRemoved(ROWCOL first, ROWCOL last);
    void RowsMoved(ROWCOL first, ROWCOL last, ROWCOL dest);
    void ColsInserted(ROWCOL at, ROWCOL count);
    void ColsRemoved(ROWCOL first, ROWCOL last);
    void ColsMoved(ROWCOL first, ROWCOL last, ROWCOL dest);
    void Reset();
    void CopyFrom(const CGXSpanCellPool& other);
    void Serialize(fw::Archive& ar);

    CGXDWordArrayPtrArray m_byRow;  // per row, per column: the span's first column
    CGXDWordArrayPtrArray m_byCol;  // per column, per row: the span's first row
};

struct CGXDelayedRange {
    CGXRange range;
    std::vector<std::uint32_t> starts, ends;  // evaluated rows, sorted and disjoint
    bool free = false;
};

class CGXDelayedRangePool : public CGXOwnedObject {
public:
    void Empty() { m_entries.clear(); }
    void RemoveFree();
    void AddDelayedRange(const CGXRange& range);
    // Marks the rows of `range` evaluated; per row of the range the leftmost and rightmost
    // column of the delayed entries met (-1 and 0 where none). TRUE when any row was new.
    bool Evaluate(const CGXRange& range, std::vector<std::int64_t>& firstCols,
                  std::vector<std::int64_t>& lastCols);
    void LimitRows(ROWCOL n);
    void LimitCols(ROWCOL n);
    void CopyFrom(CGXDelayedRangePool& other);
    std::vector<CGXDelayedRange> m_entries;
};

class CGXDelayedRangePoolImp : public CGXAbstractDelayedRangePoolImp {
public:
    std::unique_ptr<CGXDelayedRangePool> Clone(CGXDelayedRangePool& pool);
    std::unique_ptr<CGXDelayedRangePool> Create();
};

class CGXSpanCellPoolImp : public CGXAbstractSpanCellPoolImp {
public:
    void LinesInserted(CGXOwnedObject& pool, bool rows, ROWCOL first, ROWCOL count) override;
    void LinesRemoved(CGXOwnedObject& pool, bool rows, ROWCOL first, ROWCOL last) override;
    std::unique_ptr<CGXSpanCellPool> Clone(const CGXSpanCellPool& pool);
    std::unique_ptr<CGXSpanCellPool> Create();
};

void InstallSpanCellPoolImp();
void InstallDelayedRangePoolImp();
