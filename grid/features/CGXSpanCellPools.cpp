#include "grid/features/CGXSpanCellPools.h"

#include "framework/persist/Archive.h"
#include "grid/core/GXLibraryState.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kNone = 0xFFFFFFFF;
constexpr std::uint32_t kEndMark = 0xFFFFFFFF;
constexpr std::uint32_t kMaxLoadCount = 1u << 24;

template <class V>
void MoveBlock(V& v, std::size_t first, std::size_t count, std::size_t dest) {
    // Moves [first, first + count) so that it starts at dest in the array without the block.
    if (count == 0 || first >= v.size())
        return;
    count = std::min(count, v.size() - first);
    V block(std::make_move_iterator(v.begin() + first),
            std::make_move_iterator(v.begin() + first + count));
    v.erase(v.begin() + first, v.begin() + first + count);
    if (dest > v.size())
        v.resize(dest);
    v.insert(v.begin() + dest, std::make_move_iterator(block.begin()),
             std::make_move_iterator(block.end()));
}

}  // namespace

// --- CGXDWordArrayPtrArray
// ------------------------------------------------------------------------

CGXDWordArrayPtrArray::Row& CGXDWordArrayPtrArray::Make(std::size_t i) {
    if (items_.size() <= i)
        items_.resize(i + 1);
    if (!items_[i])
        items_[i] = std::make_unique<Row>();
    return *items_[i];
}

void CGXDWordArrayPtrArray::InsertNull(std::size_t at, std::size_t count) {
    if (at < items_.size()) {
        std::vector<std::unique_ptr<Row>> nulls(count);
        items_.insert(items_.begin() + at, std::make_move_iterator(nulls.begin()),
                      std::make_move_iterator(nulls.end()));
    }
}

void CGXDWordArrayPtrArray::Remove(std::size_t first, std::size_t count) {
    if (first >= items_.size())
        return;
    items_.erase(items_.begin() + first,
                 items_.begin() + first + std::min(count, items_.size() - first));
}

void CGXDWordArrayPtrArray::Move(std::size_t first, std::size_t count, std::size_t dest) {
    MoveBlock(items_, first, count, dest);
}

void CGXDWordArrayPtrArray::CopyFrom(const CGXDWordArrayPtrArray& other) {
    items_.clear();
    items_.resize(other.items_.size());
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (other.items_[i])
            items_[i] = std::make_unique<Row>(*other.items_[i]);
}

void CGXDWordArrayPtrArray::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        ar << std::uint16_t(1) << std::uint32_t(items_.size());
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (items_[i]) {
                ar << std::uint32_t(i);
                ar.WriteDWordArray(*items_[i]);
            }
        ar << kEndMark;
        return;
    }
    std::uint16_t schema = 0;
    std::uint32_t count = 0;
    ar >> schema;
    if (schema != 1)
        throw fw::ArchiveException(fw::ArchiveCause::BadSchema, "CGXDWordArrayPtrArray");
    ar >> count;
    // A pool indexes rows or columns; more than 2^24 of them is no pool this library writes.
    if (count > kMaxLoadCount)
        throw fw::ArchiveException(fw::ArchiveCause::TooLarge, "CGXDWordArrayPtrArray count");
    // Entries past the last one loaded are empty anyway: the array grows only as far as the
    // elements that the data holds.
    std::vector<std::unique_ptr<Row>> loaded;
    for (;;) {
        std::uint32_t index = 0;
        ar >> index;
        if (index == kEndMark)
            break;
        // An index outside the announced count would write past the array.
        if (index >= count)
            throw fw::ArchiveException(fw::ArchiveCause::BadIndex, "CGXDWordArrayPtrArray index");
        if (loaded.size() <= index)
            loaded.resize(std::size_t(index) + 1);
        loaded[index] = std::make_unique<Row>(ar.ReadDWordArray());
    }
    items_ = std::move(loaded);
}

// --- CGXSpanCellPool
// ---------------------------------------------------------------------------------

bool CGXSpanCellPool::GetSpan(ROWCOL row, ROWCOL col, CGXRange& range) const {
    if (!GXIsRealRowCol(row) || !GXIsRealRowCol(col))
        return false;
    bool found = false;
    if (const auto* r = m_byRow.GetAt(row); r && col < r->size() && (*r)[col] != kNone) {
        const std::uint32_t first = (*r)[col];
        std::size_t last = col;
        while (last + 1 < r->size() && (*r)[last + 1] == first) ++last;
        range.left = first;
        range.right = ROWCOL(last);
        if (!found) {
            range.top = range.bottom = row;
        }
        found = true;
    }
    if (const auto* c = m_byCol.GetAt(col); c && row < c->size() && (*c)[row] != kNone) {
        const std::uint32_t first = (*c)[row];
        std::size_t last = row;
        while (last + 1 < c->size() && (*c)[last + 1] == first) ++last;
        if (!found)
            range.left = range.right = col;
        range.top = first;
        range.bottom = ROWCOL(last);
        found = true;
    }
    return found;
}

bool CGXSpanCellPool::SetSpan(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, bool set) {
    if (!GXIsRealRowCol(top) || !GXIsRealRowCol(left) || !GXIsRealRowCol(bottom) ||
        !GXIsRealRowCol(right) || top > bottom || left > right)
        return false;
    bool changed = false;
    // One side: for each outer index, entries from..to take `from`; what followed with the old
    // value is cleared.
    auto side = [&](CGXDWordArrayPtrArray& a, ROWCOL o1, ROWCOL o2, ROWCOL from, ROWCOL to) {
        for (ROWCOL o = o1; o <= o2; ++o) {
            if (!set) {
                auto* v = a.GetAt(o);
                if (!v || from >= v->size() || (*v)[from] == kNone)
                    continue;
                const std::uint32_t old = (*v)[from];
                for (std::size_t i = from; i < v->size() && (*v)[i] == old; ++i) (*v)[i] = kNone;
                changed = true;
                continue;
            }
            if (from == to)
                continue;  // a span of one along this side is not stored
            auto& v = a.Make(o);
            const std::uint32_t old = from < v.size() ? v[from] : kNone;
            if (v.size() <= to)
                v.resize(std::size_t(to) + 1, kNone);
            for (ROWCOL i = from; i <= to; ++i) v[i] = from;
            for (std::size_t i = std::size_t(to) + 1; old != kNone && i < v.size() && v[i] == old;
                 ++i)
                v[i] = kNone;
            changed = true;
        }
    };
    side(m_byRow, top, bottom, left, right);
    side(m_byCol, left, right, top, bottom);
    return changed;
}

namespace {
void InsertInEach(CGXDWordArrayPtrArray& a, ROWCOL at, ROWCOL count) {
    for (std::size_t i = 0; i < a.GetSize(); ++i)
        if (auto* v = a.GetAt(i); v && at < v->size()) {
            // Spans that started after the insertion point shift with it.
            for (auto& e : *v)
                if (e != kNone && e >= at)
                    e += count;
            v->insert(v->begin() + at, count, kNone);
        }
}
void RemoveInEach(CGXDWordArrayPtrArray& a, ROWCOL first, ROWCOL last) {
    const ROWCOL n = last - first + 1;
    for (std::size_t i = 0; i < a.GetSize(); ++i)
        if (auto* v = a.GetAt(i); v && first < v->size()) {
            v->erase(v->begin() + first, v->begin() + std::min<std::size_t>(v->size(), last + 1));
            for (auto& e : *v)
                if (e != kNone && e > last)
                    e -= n;
                else if (e != kNone && e >= first)
                    e = first;
        }
}
void MoveInEach(CGXDWordArrayPtrArray& a, ROWCOL first, ROWCOL last, ROWCOL dest) {
    for (std::size_t i = 0; i < a.GetSize(); ++i)
        if (auto* v = a.GetAt(i); v && first < v->size())
            MoveBlock(*v, first, last - first + 1, dest);
}
}  // namespace

void CGXSpanCellPool::RowsInserted(ROWCOL at, ROWCOL count) {
    m_byRow.InsertNull(at, count);
    InsertInEach(m_byCol, at, count);
}
void CGXSpanCellPool::RowsRemoved(ROWCOL first, ROWCOL last) {
    if (first > last)
        return;
    m_byRow.Remove(first, last - first + 1);
    RemoveInEach(m_byCol, first, last);
}
void CGXSpanCellPool::RowsMoved(ROWCOL first, ROWCOL last, ROWCOL dest) {
    if (first > last)
        return;
    m_byRow.Move(first, last - first + 1, dest);
    MoveInEach(m_byCol, first, last, dest);
}
void CGXSpanCellPool::ColsInserted(ROWCOL at, ROWCOL count) {
    m_byCol.InsertNull(at, count);
    InsertInEach(m_byRow, at, count);
}
void CGXSpanCellPool::ColsRemoved(ROWCOL first, ROWCOL last) {
    if (first > last)
        return;
    m_byCol.Remove(first, last - first + 1);
    RemoveInEach(m_byRow, first, last);
}
void CGXSpanCellPool::ColsMoved(ROWCOL first, ROWCOL last, ROWCOL dest) {
    if (first > last)
        return;
    m_byCol.Move(first, last - first + 1, dest);
    MoveInEach(m_byRow, first, last, dest);
}
void CGXSpanCellPool::Reset() {
    m_byRow.RemoveAll();
    m_byCol.RemoveAll();
}
void CGXSpanCellPool::CopyFrom(const CGXSpanCellPool& other) {
    m_byRow.CopyFrom(other.m_byRow);
    m_byCol.CopyFrom(other.m_byCol);
}
void CGXSpanCellPool::Serialize(fw::Archive& ar) {
    m_byRow.Serialize(ar);
    m_byCol.Serialize(ar);
}

// --- CGXDelayedRangePool
// ------------------------------------------------------------------------------

void CGXDelayedRangePool::RemoveFree() {
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [](const CGXDelayedRange& e) { return e.free; }),
                    m_entries.end());
}

void CGXDelayedRangePool::AddDelayedRange(const CGXRange& range) {
    CGXDelayedRange* reuse = nullptr;
    auto inside = [](const CGXRange& a, const CGXRange& b) {
        return a.top >= b.top && a.bottom <= b.bottom && a.left >= b.left && a.right <= b.right;
    };
    for (CGXDelayedRange& e : m_entries) {
        if (e.free) {
            if (!reuse)
                reuse = &e;
            continue;
        }
        if (inside(e.range, range)) {
            e.starts.clear();
            e.ends.clear();
            e.free = true;
            if (!reuse)
                reuse = &e;
            continue;
        }
        if (e.starts.empty()) {
            if (range.left == e.range.right + 1)
                e.range.right = std::max(e.range.right, range.right);
            if (range.top == e.range.bottom + 1)
                e.range.bottom = std::max(e.range.bottom, range.bottom);
            if (inside(range, e.range))
                return;
        }
    }
    if (reuse) {
        reuse->range = range;
        reuse->free = false;
        return;
    }
    m_entries.insert(m_entries.begin(), CGXDelayedRange{range, {}, {}, false});
}

bool CGXDelayedRangePool::Evaluate(const CGXRange& range, std::vector<std::int64_t>& firstCols,
                                   std::vector<std::int64_t>& lastCols) {
    if (range.top > range.bottom || range.left > range.right)
        return false;
    const std::size_t rows = std::size_t(range.bottom) - range.top + 1;
    firstCols.assign(rows, -1);
    lastCols.assign(rows, 0);
    // Split the entries that reach past the range's columns, so that evaluating marks only the
    // part inside.
    std::vector<CGXDelayedRange> added;
    for (CGXDelayedRange& e : m_entries) {
        if (e.free || e.range.bottom < range.top || e.range.top > range.bottom ||
            e.range.right < range.left || e.range.left > range.right)
            continue;
        if (e.range.left < range.left) {
            CGXDelayedRange part = e;
            part.range.right = range.left - 1;
            added.push_back(part);
            e.range.left = range.left;
        }
        if (e.range.right > range.right) {
            CGXDelayedRange part = e;
            part.range.left = range.right + 1;
            added.push_back(part);
            e.range.right = range.right;
        }
    }
    m_entries.insert(m_entries.end(), added.begin(), added.end());
    bool any = false;
    for (CGXDelayedRange& e : m_entries) {
        if (e.free || e.range.bottom < range.top || e.range.top > range.bottom ||
            e.range.right < range.left || e.range.left > range.right)
            continue;
        const ROWCOL t = std::max(e.range.top, range.top);
        const ROWCOL b = std::min(e.range.bottom, range.bottom);
        bool covered = false;
        for (std::size_t i = 0; i < e.starts.size(); ++i)
            covered = covered || (e.starts[i] <= t && e.ends[i] >= b);
        if (covered)
            continue;
        any = true;
        // Merge [t, b] into the sorted, disjoint intervals.
        std::vector<std::pair<std::uint32_t, std::uint32_t>> iv;
        for (std::size_t i = 0; i < e.starts.size(); ++i) iv.emplace_back(e.starts[i], e.ends[i]);
        iv.emplace_back(t, b);
        std::sort(iv.begin(), iv.end());
        e.starts.clear();
        e.ends.clear();
        for (const auto& [s, en] : iv) {
            if (!e.ends.empty() && std::uint64_t(s) <= std::uint64_t(e.ends.back()) + 1)
                e.ends.back() = std::max(e.ends.back(), en);
            else {
                e.starts.push_back(s);
                e.ends.push_back(en);
            }
        }
        if (e.starts.size() == 1 && e.starts[0] <= e.range.top && e.ends[0] >= e.range.bottom) {
            e.starts.clear();
            e.ends.clear();
            e.free = true;
        }
        for (ROWCOL r = t; r <= b; ++r) {
            auto& f = firstCols[r - range.top];
            f = f < 0 ? std::int64_t(e.range.left) : std::min<std::int64_t>(f, e.range.left);
            lastCols[r - range.top] =
                std::max<std::int64_t>(lastCols[r - range.top], e.range.right);
        }
    }
    if (any)
        RemoveFree();
    return any;
}

void CGXDelayedRangePool::LimitRows(ROWCOL n) {
    for (CGXDelayedRange& e : m_entries) {
        e.range.top = std::min(e.range.top, n);
        e.range.bottom = std::min(e.range.bottom, n);
    }
}

void CGXDelayedRangePool::LimitCols(ROWCOL n) {
    for (CGXDelayedRange& e : m_entries) {
        e.range.left = std::min(e.range.left, n);
        e.range.right = std::min(e.range.right, n);
    }
}

void CGXDelayedRangePool::CopyFrom(CGXDelayedRangePool& other) {
    RemoveFree();
    m_entries.insert(m_entries.end(), other.m_entries.begin(), other.m_entries.end());
}

// --- components
// ---------------------------------------------------------------------------------------

std::unique_ptr<CGXDelayedRangePool> CGXDelayedRangePoolImp::Clone(CGXDelayedRangePool& pool) {
    auto p = std::make_unique<CGXDelayedRangePool>();
    p->CopyFrom(pool);
    return p;
}
std::unique_ptr<CGXDelayedRangePool> CGXDelayedRangePoolImp::Create() {
    return std::make_unique<CGXDelayedRangePool>();
}
void CGXSpanCellPoolImp::LinesInserted(CGXOwnedObject& pool, bool rows, ROWCOL first,
                                       ROWCOL count) {
    if (auto* p = dynamic_cast<CGXSpanCellPool*>(&pool))
        rows ? p->RowsInserted(first, count) : p->ColsInserted(first, count);
}

void CGXSpanCellPoolImp::LinesRemoved(CGXOwnedObject& pool, bool rows, ROWCOL first, ROWCOL last) {
    if (auto* p = dynamic_cast<CGXSpanCellPool*>(&pool))
        rows ? p->RowsRemoved(first, last) : p->ColsRemoved(first, last);
}

std::unique_ptr<CGXSpanCellPool> CGXSpanCellPoolImp::Clone(const CGXSpanCellPool& pool) {
    auto p = std::make_unique<CGXSpanCellPool>();
    p->CopyFrom(pool);
    return p;
}
std::unique_ptr<CGXSpanCellPool> CGXSpanCellPoolImp::Create() {
    return std::make_unique<CGXSpanCellPool>();
}

void InstallSpanCellPoolImp() {
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    if (!state.m_pSpanCellPoolImp)
        state.m_pSpanCellPoolImp = state.AddOwnedObject(std::make_unique<CGXSpanCellPoolImp>());
}

void InstallDelayedRangePoolImp() {
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    if (!state.m_pDelayedRangePoolImp)
        state.m_pDelayedRangePoolImp =
            state.AddOwnedObject(std::make_unique<CGXDelayedRangePoolImp>());
}
