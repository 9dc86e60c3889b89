// A block of a grid: a rectangle of cells, a band of whole rows, a band of whole columns or
// the whole table. After every setter top <= bottom and left <= right. A rows range keeps left
// and right at 0, a columns range top and bottom at 0; a table range leaves the numbers alone.
#pragma once

#include "grid/core/GXTypes.h"

#include <cstdint>

namespace fw {
class Archive;
}

enum GXRangeType : std::uint32_t {
    rtCells = 0,
    rtRows = 1,
    rtCols = 2,
    rtTable = 3,
};

class CGXRange {
public:
    CGXRange() = default;  // a cell range 0,0-0,0 that is not valid
    explicit CGXRange(const CGXRange* other) {
        if (other)
            *this = *other;
    }
    CGXRange(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) { SetCellRange(t, l, b, r); }
    CGXRange(ROWCOL row, ROWCOL col) { SetCellRange(row, col, row, col); }

    CGXRange& SetCellRange(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r);
    CGXRange& SetRowRange(ROWCOL from, ROWCOL to);
    CGXRange& SetColRange(ROWCOL from, ROWCOL to);
    CGXRange& SetWholeTable();
    CGXRange& SetCells(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) { return SetCellRange(t, l, b, r); }
    CGXRange& SetRows(ROWCOL from, ROWCOL to) { return SetRowRange(from, to); }
    CGXRange& SetCols(ROWCOL from, ROWCOL to) { return SetColRange(from, to); }
    CGXRange& SetTable() { return SetWholeTable(); }

    // Turns the range into the cell range it covers: a rows range takes the given left and right,
    // a columns range the given top and bottom, a table all four. The valid flag stays.
    CGXRange& ResolveToCells(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r);

    bool IsCells() const { return rangeType == rtCells; }
    bool IsRows() const { return rangeType == rtRows; }
    bool IsCols() const { return rangeType == rtCols; }
    bool IsTable() const { return rangeType == rtTable; }
    bool IsValid() const { return valid; }
    ROWCOL GetHeight() const { return bottom - top + 1; }
    ROWCOL GetWidth() const { return right - left + 1; }

    bool ContainsCell(ROWCOL row, ROWCOL col) const;
    // The intersection (union) of a and b stored here; returns the new valid flag.
    bool SetIntersection(const CGXRange& a, const CGXRange& b);
    bool SetUnion(const CGXRange& a, const CGXRange& b);

    // Archive form: top, left, bottom, right as 32-bit values, then the kind and the valid flag
    // as one byte each (14 bytes).
    void StoreToArchive(fw::Archive& ar) const;
    void LoadFromArchive(fw::Archive& ar);
    static constexpr std::size_t kArchiveSize = 14;

    friend bool operator==(const CGXRange&, const CGXRange&) = default;

    std::uint32_t rangeType = rtCells;
    ROWCOL top = 0;
    ROWCOL left = 0;
    ROWCOL bottom = 0;
    ROWCOL right = 0;
    bool valid = false;
};
