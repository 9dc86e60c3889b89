#include "grid/features/CGXCoveredCellPool.h"

#include "grid/core/CGXRangeList.h"
#include "grid/core/GXLibraryState.h"

#include <climits>

CGXRange* CGXCoveredCellPool::Lookup(ROWCOL row, ROWCOL col) const {
    if (row >= rows_.size() || !rows_[row])
        return nullptr;
    const std::vector<CGXRange*>& cols = *rows_[row];
    return col < cols.size() ? cols[col] : nullptr;
}

bool CGXCoveredCellPool::IsFree(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                const CGXRange* entry) const {
    for (ROWCOL row = top; row <= bottom && row < rows_.size(); ++row) {
        if (!rows_[row])
            continue;
        const std::vector<CGXRange*>& cols = *rows_[row];
        for (ROWCOL col = left; col <= right && col < cols.size(); ++col)
            if (cols[col] && cols[col] != entry)
                return false;
    }
    return true;
}

bool CGXCoveredCellPool::SetRange(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                  CGXRange* entry) {
    if (top > bottom || left > right || bottom >= INT_MAX || right >= INT_MAX)
        return false;
    if (entry && top == bottom && left == right)
        return false;
    // Checking first keeps the pool whole: a refused block leaves no cell pointing at a
    // covering that the caller then drops.
    if (entry && !IsFree(top, left, bottom, right, entry))
        return false;
    bool changed = false;
    for (ROWCOL row = top; row <= bottom; ++row) {
        if (row >= rows_.size()) {
            if (!entry)
                break;
            rows_.resize(static_cast<std::size_t>(row) + 1);
        }
        if (!rows_[row]) {
            if (!entry)
                continue;
            rows_[row] = std::make_unique<std::vector<CGXRange*>>();
        }
        std::vector<CGXRange*>& cols = *rows_[row];
        if (entry) {
            if (cols.size() <= right)
                cols.resize(static_cast<std::size_t>(right) + 1, nullptr);
            for (ROWCOL col = left; col <= right; ++col) cols[col] = entry;
            for (ROWCOL col = right + 1; col < cols.size() && cols[col] == entry; ++col)
                cols[col] = nullptr;
            changed = true;
        } else if (left < cols.size() && cols[left]) {
            CGXRange* old = cols[left];
            for (ROWCOL col = left; col < cols.size() && cols[col] == old; ++col)
                cols[col] = nullptr;
            changed = true;
        }
    }
    return changed;
}

std::unique_ptr<CGXOwnedObject> CGXCoveredCellPoolImp::CreateCoveredCellPool() {
    return std::make_unique<CGXCoveredCellPool>();
}

void CGXCoveredCellPoolImp::RebuildCoveredCellPool(CGXOwnedObject& pool,
                                                   const CGXRangeList& covered) {
    auto* p = dynamic_cast<CGXCoveredCellPool*>(&pool);
    if (!p)
        return;
    p->Empty();
    for (const CGXRange& r : covered)
        p->SetRange(r.top, r.left, r.bottom, r.right, const_cast<CGXRange*>(&r));
}

void InstallCoveredCellPoolImp() {
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    if (!state.m_pCoveredCellPoolImp)
        state.m_pCoveredCellPoolImp =
            state.AddOwnedObject(std::make_unique<CGXCoveredCellPoolImp>());
}
