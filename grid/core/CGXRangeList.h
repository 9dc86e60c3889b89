// A list of ranges owned by the list: the selection, the covered cells and the other range
// lists of the grid parameters. A range's address names its position in the list; it stays
// the same until the range is removed.
#pragma once

#include "framework/persist/RuntimeClass.h"
#include "grid/core/CGXRange.h"

#include <cstdint>
#include <list>
#include <vector>

class CGXRangeList : public fw::Serializable {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    CGXRangeList() = default;
    CGXRangeList(const CGXRangeList& other) : fw::Serializable() { CopyFrom(other); }
    CGXRangeList& operator=(const CGXRangeList& other) {
        CopyFrom(other);
        return *this;
    }

    // A 16-bit schema (1), a 32-bit count and each range's archive form. Storing first drops
    // the ranges that are not valid.
    void Serialize(fw::Archive& ar) override;
    // Replaces the list by copies of the valid ranges of `other`, each added at the head, so the
    // copy holds them in reverse order.
    virtual void CopyFrom(const CGXRangeList& other);

    using List = std::list<CGXRange>;
    List::iterator begin() { return ranges_.begin(); }
    List::iterator end() { return ranges_.end(); }
    List::const_iterator begin() const { return ranges_.begin(); }
    List::const_iterator end() const { return ranges_.end(); }
    std::size_t GetCount() const { return ranges_.size(); }
    bool IsEmpty() const { return ranges_.empty(); }
    CGXRange& GetHead() { return ranges_.front(); }
    CGXRange& GetTail() { return ranges_.back(); }

    CGXRange* AddTail(const CGXRange& r);
    CGXRange* AddHead(const CGXRange& r);
    void DeleteAll() { ranges_.clear(); }
    // Removes the range at that position (its address); FALSE when it is not in the list.
    bool RemoveRangeAt(const CGXRange* position);

    // The first range that covers the cell, or null.
    CGXRange* FindCell(ROWCOL row, ROWCOL col);
    // TRUE when a range other than the one at `skip` covers the cell.
    bool ContainsCell(ROWCOL row, ROWCOL col, const CGXRange* skip = nullptr) const;
    // TRUE when a valid range reaches the column (rows and table ranges reach every column).
    bool IntersectsCol(ROWCOL col) const;
    bool IntersectsRow(ROWCOL row) const;

    // The merged extents of the ranges (optionally only whole columns or rows): sorted first and
    // last numbers of spans that overlap no other; spans that only touch stay separate. A rows
    // or table range reaches up to `count`. TRUE when any range contributed.
    bool GetColSpans(ROWCOL colCount, std::vector<ROWCOL>& first, std::vector<ROWCOL>& last,
                     bool onlyWholeCols) const;
    bool GetRowSpans(ROWCOL rowCount, std::vector<ROWCOL>& first, std::vector<ROWCOL>& last,
                     bool onlyWholeRows) const;

    // Adjusting the ranges when rows or columns are inserted, removed or moved. The sentinels
    // -1 and -2 ("to the end") never move.
    void InsertRowsInRanges(ROWCOL row, ROWCOL count);
    void InsertColsInRanges(ROWCOL col, ROWCOL count);
    void RemoveRowsInRanges(ROWCOL from, ROWCOL to, ROWCOL rowCount);
    void RemoveColsInRanges(ROWCOL from, ROWCOL to, ROWCOL colCount);
    void MoveRowsInRanges(ROWCOL from, ROWCOL to, ROWCOL dest, ROWCOL rowCount);
    void MoveColsInRanges(ROWCOL from, ROWCOL to, ROWCOL dest, ROWCOL colCount);

private:
    List ranges_;
};

// The sort keys that a sort request passes to the sort feature: the key row or column, the sort
// type, the order (1 descending) and four words the sort feature uses.
struct CGXSortInfo {
    std::uint32_t nRC = 0;
    std::uint32_t sortType = 0;
    std::uint32_t sortOrder = 0;
    std::uint32_t extra[4] = {0, 0, 0, 0};
};
static_assert(sizeof(CGXSortInfo) == 28);

class CGXSortInfoArray {
public:
    virtual ~CGXSortInfoArray() = default;
    // New elements are zeroed; growBy -1 keeps the stored growth, 0 means size / 8 in 4..1024.
    void SetSize(std::size_t count, int growBy = -1);
    std::size_t GetSize() const { return items_.size(); }
    CGXSortInfo& operator[](std::size_t i) { return items_.at(i); }
    const CGXSortInfo& operator[](std::size_t i) const { return items_.at(i); }
    std::size_t GetCapacity() const { return items_.capacity(); }

private:
    std::vector<CGXSortInfo> items_;
    int growBy_ = 0;
};
