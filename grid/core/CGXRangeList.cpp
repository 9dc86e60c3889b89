#include "grid/core/CGXRangeList.h"

#include "framework/persist/Archive.h"

#include <algorithm>
#include <limits>

const fw::RuntimeClass CGXRangeList::kClass{"CGXRangeList", 1, &fw::Serializable::kClass,
                                            fw::CreateInstance<CGXRangeList>};

namespace {

constexpr std::uint16_t kSchema = 1;

// Row (column) numbers of a range kind that has them.
bool HasRows(const CGXRange& r) {
    return r.IsCells() || r.IsRows();
}
bool HasCols(const CGXRange& r) {
    return r.IsCells() || r.IsCols();
}

ROWCOL AddSaturated(ROWCOL v, std::int64_t delta) {
    if (!GXIsRealRowCol(v))
        return v;  // a sentinel stays what it is
    const std::int64_t n = std::clamp<std::int64_t>(static_cast<std::int64_t>(v) + delta, 0,
                                                    static_cast<std::int64_t>(GX_MAXROWCOL) - 1);
    return static_cast<ROWCOL>(n);
}

ROWCOL CutTo(ROWCOL v, ROWCOL count) {
    return GXIsRealRowCol(v) ? std::min(v, count) : v;
}

// One axis of a range: its first and last numbers.
struct Axis {
    ROWCOL& first;
    ROWCOL& last;
};

void InsertOnAxis(Axis a, ROWCOL at, ROWCOL count) {
    if (GXIsRealRowCol(a.first) && a.first >= at)
        a.first = AddSaturated(a.first, count);
    if (GXIsRealRowCol(a.last) && a.last >= at)
        a.last = AddSaturated(a.last, count);
}

// Returns false when the range no longer covers anything.
bool RemoveOnAxis(Axis a, ROWCOL from, ROWCOL to, ROWCOL total) {
    const ROWCOL count = to - from + 1;
    if (a.first >= from && a.last <= to)
        return false;
    if (GXIsRealRowCol(a.first) && a.first >= from)
        a.first = std::max<ROWCOL>(std::max(a.first, to) - count, from);
    if (GXIsRealRowCol(a.last) && a.last >= from)
        a.last = std::max(a.last, to) - count;
    a.last = CutTo(a.last, total);
    return a.last >= a.first;
}

void MoveOnAxis(Axis a, ROWCOL from, ROWCOL to, ROWCOL dest, ROWCOL total) {
    const std::int64_t n = static_cast<std::int64_t>(to) - from + 1;
    std::int64_t shift = 0;
    if (from < dest) {
        const std::int64_t d = static_cast<std::int64_t>(dest) + n;
        if (a.first >= from && a.first <= to)
            shift = d - to - 1;
        else if (a.first > to && a.first < d)
            shift = -n;
    } else if (dest < from) {
        if (a.first >= from && a.first <= to)
            shift = -static_cast<std::int64_t>(from - dest);
        else if (a.first >= dest && a.first < from)
            shift = n;
    }
    if (shift != 0 && GXIsRealRowCol(a.first)) {
        a.first = AddSaturated(a.first, shift);
        a.last = AddSaturated(a.last, shift);
    }
    a.last = CutTo(a.last, total);
}

// Adds one span to the sorted spans, merging it into the first span it overlaps.
void AddSpan(std::vector<ROWCOL>& first, std::vector<ROWCOL>& last, ROWCOL f, ROWCOL l) {
    for (std::size_t i = 0; i < first.size(); ++i) {
        const bool overlaps = (f >= first[i] && f <= last[i]) || (l >= first[i] && l <= last[i]) ||
                              (first[i] >= f && first[i] <= l) || (last[i] >= f && last[i] <= l);
        if (overlaps) {
            first[i] = std::min(first[i], f);
            last[i] = std::max(last[i], l);
            return;
        }
    }
    std::size_t at = 0;
    while (at < first.size() && first[at] <= f) ++at;
    first.insert(first.begin() + static_cast<std::ptrdiff_t>(at), f);
    last.insert(last.begin() + static_cast<std::ptrdiff_t>(at), l);
}

void JoinSpans(std::vector<ROWCOL>& first, std::vector<ROWCOL>& last) {
    for (std::size_t i = 1; i < first.size();) {
        if (last[i - 1] >= first[i]) {
            last[i - 1] = std::max(last[i - 1], last[i]);
            first.erase(first.begin() + static_cast<std::ptrdiff_t>(i));
            last.erase(last.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
}

}  // namespace

void CGXRangeList::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        ranges_.remove_if([](const CGXRange& r) { return !r.valid; });
        ar << kSchema << static_cast<std::uint32_t>(ranges_.size());
        for (const CGXRange& r : ranges_) r.StoreToArchive(ar);
        return;
    }
    std::uint16_t schema = 0;
    ar >> schema;
    if (schema != kSchema)
        throw fw::ArchiveException(fw::ArchiveCause::BadSchema, "range list");
    std::uint32_t count = 0;
    ar >> count;
    if (static_cast<std::uint64_t>(count) * CGXRange::kArchiveSize > ar.Remaining())
        throw fw::ArchiveException(fw::ArchiveCause::EndOfFile, "range list count");
    for (std::uint32_t i = 0; i < count; ++i) {
        CGXRange r;
        r.LoadFromArchive(ar);
        ranges_.push_back(r);
    }
}

void CGXRangeList::CopyFrom(const CGXRangeList& other) {
    if (&other == this)
        return;
    ranges_.clear();
    for (const CGXRange& r : other.ranges_)
        if (r.valid)
            ranges_.push_front(r);
}

CGXRange* CGXRangeList::AddTail(const CGXRange& r) {
    ranges_.push_back(r);
    return &ranges_.back();
}

CGXRange* CGXRangeList::AddHead(const CGXRange& r) {
    ranges_.push_front(r);
    return &ranges_.front();
}

bool CGXRangeList::RemoveRangeAt(const CGXRange* position) {
    for (auto it = ranges_.begin(); it != ranges_.end(); ++it) {
        if (&*it == position) {
            ranges_.erase(it);
            return true;
        }
    }
    return false;
}

CGXRange* CGXRangeList::FindCell(ROWCOL row, ROWCOL col) {
    for (CGXRange& r : ranges_)
        if (r.ContainsCell(row, col))
            return &r;
    return nullptr;
}

bool CGXRangeList::ContainsCell(ROWCOL row, ROWCOL col, const CGXRange* skip) const {
    for (const CGXRange& r : ranges_)
        if (&r != skip && r.ContainsCell(row, col))
            return true;
    return false;
}

bool CGXRangeList::IntersectsCol(ROWCOL col) const {
    for (const CGXRange& r : ranges_) {
        if (!r.valid)
            continue;
        if (r.IsRows() || r.IsTable() || (col >= r.left && col <= r.right))
            return true;
    }
    return false;
}

bool CGXRangeList::IntersectsRow(ROWCOL row) const {
    for (const CGXRange& r : ranges_) {
        if (!r.valid)
            continue;
        if (r.IsCols() || r.IsTable() || (row >= r.top && row <= r.bottom))
            return true;
    }
    return false;
}

bool CGXRangeList::GetColSpans(ROWCOL colCount, std::vector<ROWCOL>& first,
                               std::vector<ROWCOL>& last, bool onlyWholeCols) const {
    first.clear();
    last.clear();
    bool any = false;
    for (const CGXRange& r : ranges_) {
        if (!r.valid || (onlyWholeCols && !r.IsCols() && !r.IsTable()))
            continue;
        const bool wholeRows = r.IsRows() || r.IsTable();
        AddSpan(first, last, r.left, wholeRows ? colCount : r.right);
        any = true;
    }
    JoinSpans(first, last);
    return any;
}

bool CGXRangeList::GetRowSpans(ROWCOL rowCount, std::vector<ROWCOL>& first,
                               std::vector<ROWCOL>& last, bool onlyWholeRows) const {
    first.clear();
    last.clear();
    bool any = false;
    for (const CGXRange& r : ranges_) {
        if (!r.valid || (onlyWholeRows && !r.IsRows() && !r.IsTable()))
            continue;
        const bool wholeCols = r.IsCols() || r.IsTable();
        AddSpan(first, last, r.top, wholeCols ? rowCount : r.bottom);
        any = true;
    }
    JoinSpans(first, last);
    return any;
}

void CGXRangeList::InsertRowsInRanges(ROWCOL row, ROWCOL count) {
    for (CGXRange& r : ranges_)
        if (HasRows(r))
            InsertOnAxis({r.top, r.bottom}, row, count);
}

void CGXRangeList::InsertColsInRanges(ROWCOL col, ROWCOL count) {
    for (CGXRange& r : ranges_)
        if (HasCols(r))
            InsertOnAxis({r.left, r.right}, col, count);
}

void CGXRangeList::RemoveRowsInRanges(ROWCOL from, ROWCOL to, ROWCOL rowCount) {
    if (from > to)
        return;
    for (CGXRange& r : ranges_)
        if (r.valid && HasRows(r))
            r.valid = RemoveOnAxis({r.top, r.bottom}, from, to, rowCount);
}

void CGXRangeList::RemoveColsInRanges(ROWCOL from, ROWCOL to, ROWCOL colCount) {
    if (from > to)
        return;
    for (CGXRange& r : ranges_)
        if (r.valid && HasCols(r))
            r.valid = RemoveOnAxis({r.left, r.right}, from, to, colCount);
}

void CGXRangeList::MoveRowsInRanges(ROWCOL from, ROWCOL to, ROWCOL dest, ROWCOL rowCount) {
    if (from > to)
        return;
    for (CGXRange& r : ranges_)
        if (HasRows(r))
            MoveOnAxis({r.top, r.bottom}, from, to, dest, rowCount);
}

void CGXRangeList::MoveColsInRanges(ROWCOL from, ROWCOL to, ROWCOL dest, ROWCOL colCount) {
    if (from > to)
        return;
    for (CGXRange& r : ranges_)
        if (HasCols(r))
            MoveOnAxis({r.left, r.right}, from, to, dest, colCount);
}

void CGXSortInfoArray::SetSize(std::size_t count, int growBy) {
    if (growBy >= 0)
        growBy_ = growBy;
    if (count == 0) {
        items_.clear();
        items_.shrink_to_fit();
        return;
    }
    if (count > items_.capacity()) {
        std::size_t grow = static_cast<std::size_t>(growBy_);
        if (grow == 0)
            grow = std::clamp<std::size_t>(items_.size() / 8, 4, 1024);
        items_.reserve(std::max(count, items_.capacity() + grow));
    }
    items_.resize(count);
}
