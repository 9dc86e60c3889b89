#include "grid/core/CGXRange.h"

#include "framework/persist/Archive.h"

#include <algorithm>
#include <utility>

CGXRange& CGXRange::SetCellRange(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) {
    rangeType = rtCells;
    top = std::min(t, b);
    bottom = std::max(t, b);
    left = std::min(l, r);
    right = std::max(l, r);
    valid = true;
    return *this;
}

CGXRange& CGXRange::SetRowRange(ROWCOL from, ROWCOL to) {
    rangeType = rtRows;
    top = std::min(from, to);
    bottom = std::max(from, to);
    left = right = 0;
    valid = true;
    return *this;
}

CGXRange& CGXRange::SetColRange(ROWCOL from, ROWCOL to) {
    rangeType = rtCols;
    left = std::min(from, to);
    right = std::max(from, to);
    top = bottom = 0;
    valid = true;
    return *this;
}

CGXRange& CGXRange::SetWholeTable() {
    rangeType = rtTable;
    valid = true;
    return *this;
}

CGXRange& CGXRange::ResolveToCells(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) {
    switch (rangeType) {
        case rtRows:
            left = l;
            right = r;
            break;
        case rtCols:
            top = t;
            bottom = b;
            break;
        case rtTable:
            top = t;
            left = l;
            bottom = b;
            right = r;
            break;
        default:
            break;
    }
    rangeType = rtCells;
    return *this;
}

bool CGXRange::ContainsCell(ROWCOL row, ROWCOL col) const {
    if (!valid)
        return false;
    switch (rangeType) {
        case rtTable:
            return true;
        case rtRows:
            return row >= top && row <= bottom;
        case rtCols:
            return col >= left && col <= right;
        default:
            return row >= top && row <= bottom && col >= left && col <= right;
    }
}

bool CGXRange::SetIntersection(const CGXRange& a0, const CGXRange& b0) {
    const CGXRange a = a0;  // either may be this range
    const CGXRange b = b0;
    if (a.IsTable() || b.IsTable()) {
        *this = b.IsTable() ? a : b;
        valid = true;
        return valid;
    }
    if ((a.IsRows() && b.IsCols()) || (a.IsCols() && b.IsRows())) {
        const CGXRange& rows = a.IsRows() ? a : b;
        const CGXRange& cols = a.IsCols() ? a : b;
        rangeType = rtCells;
        top = rows.top;
        bottom = rows.bottom;
        left = cols.left;
        right = cols.right;
        valid = true;
        return valid;
    }
    if (!a.IsCols() && !b.IsCols()) {
        top = std::max(a.top, b.top);
        bottom = std::min(a.bottom, b.bottom);
        if (a.IsRows() || b.IsRows()) {
            const CGXRange& cells = a.IsRows() ? b : a;
            left = cells.left;
            right = cells.right;
        } else {
            left = std::max(a.left, b.left);
            right = std::min(a.right, b.right);
        }
        rangeType = a.IsRows() ? b.rangeType : a.rangeType;
        valid = bottom >= top && (!(a.IsCells() && b.IsCells()) || right >= left);
        return valid;
    }
    // A columns range with a cell or columns range.
    left = std::max(a.left, b.left);
    right = std::min(a.right, b.right);
    const CGXRange& rowsFrom = !a.IsCols() ? a : !b.IsCols() ? b : a;
    top = rowsFrom.top;
    bottom = rowsFrom.bottom;
    rangeType = a.IsCols() ? b.rangeType : a.rangeType;
    valid = right >= left;
    return valid;
}

bool CGXRange::SetUnion(const CGXRange& a0, const CGXRange& b0) {
    const CGXRange a = a0;
    const CGXRange b = b0;
    valid = true;
    if (a.IsTable() || b.IsTable() || (a.IsRows() && b.IsCols()) || (a.IsCols() && b.IsRows())) {
        rangeType = rtTable;
        top = std::min(a.top, b.top);
        left = std::min(a.left, b.left);
        bottom = std::max(a.bottom, b.bottom);
        right = std::max(a.right, b.right);
        return valid;
    }
    if (a.IsCols() || b.IsCols())
        return SetColRange(std::min(a.left, b.left), std::max(a.right, b.right)).valid;
    if (a.IsRows() || b.IsRows())
        return SetRowRange(std::min(a.top, b.top), std::max(a.bottom, b.bottom)).valid;
    return SetCellRange(std::min(a.top, b.top), std::min(a.left, b.left),
                        std::max(a.bottom, b.bottom), std::max(a.right, b.right))
        .valid;
}

void CGXRange::StoreToArchive(fw::Archive& ar) const {
    ar << top << left << bottom << right << static_cast<std::uint8_t>(rangeType)
       << static_cast<std::uint8_t>(valid ? 1 : 0);
}

void CGXRange::LoadFromArchive(fw::Archive& ar) {
    if (ar.Remaining() < kArchiveSize)
        throw fw::ArchiveException(fw::ArchiveCause::EndOfFile, "range");
    std::uint8_t kind = 0;
    std::uint8_t isValid = 0;
    ROWCOL t = 0, l = 0, b = 0, r = 0;
    ar >> t >> l >> b >> r >> kind >> isValid;
    if (kind > rtTable)
        throw fw::ArchiveException(fw::ArchiveCause::Generic, "range kind");
    top = t;
    left = l;
    bottom = b;
    right = r;
    rangeType = kind;
    valid = isValid != 0;
}
