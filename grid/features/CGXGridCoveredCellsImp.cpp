#include "grid/features/CGXGridCoveredCellsImp.h"

#include "framework/persist/StringTable.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/features/CGXCommandFactory.h"
#include "grid/features/CGXCoveredCellPool.h"

#include <algorithm>
#include <climits>
#include <new>
#include <typeinfo>
#include <vector>

CGXCoveredCellPool* GXCoveredCellPoolOf(CGXGridCore* grid) {
    CGXGridParam* param = grid->GetParam();
    if (!param)
        return nullptr;
    if (!param->m_pCoveredCellPool)
        param->CreateCoveredCellPool();
    CGXOwnedObject* owned = param->m_pCoveredCellPool.get();
    // Every cell asks for its covering: when the pool is exactly the usual kind (as it always
    // is unless another pool was installed), comparing its type is far cheaper than a cast.
    if (owned && typeid(*owned) == typeid(CGXCoveredCellPool))
        return static_cast<CGXCoveredCellPool*>(owned);
    return dynamic_cast<CGXCoveredCellPool*>(owned);
}

bool CGXGridCoveredCellsImp::SetCoveredCellsRowCol(CGXGridCore* grid, ROWCOL top, ROWCOL left,
                                                   ROWCOL bottom, ROWCOL right, unsigned flags,
                                                   int ctCmd) {
    CGXRange old;
    const bool hadOld = GetCoveredCellsRowCol(grid, top, left, old) != nullptr;
    const ROWCOL oldBottom = hadOld ? old.bottom : top, oldRight = hadOld ? old.right : left;
    const bool set = !(top == bottom && left == right);
    if (!StoreCoveredCellsRowCol(grid, top, left, bottom, right, set))
        return false;
    UpdateCoveredCellsRowCol(grid, top, left, std::max(bottom, oldBottom),
                             std::max(right, oldRight), flags, true);
    if (GXIsRecordingUndo(grid, ctCmd)) {
        grid->AddCommand(std::make_unique<CGXSetCoveredCellsCmd>(top, left, oldBottom, oldRight),
                         ctCmd);
        if (ctCmd == 2 || ctCmd == 3)
            if (auto* factory = dynamic_cast<CGXCommandFactory*>(grid->GetCommandFactory()))
                factory->ShowCellAfterUndo(grid, top, left, true);
    }
    return true;
}

CGXRange* CGXGridCoveredCellsImp::GetCoveredCellsRowCol(CGXGridCore* grid, ROWCOL row, ROWCOL col,
                                                        CGXRange& range) {
    if (row >= INT_MAX || col >= INT_MAX || !grid->GetParam() ||
        grid->GetParam()->m_CoveredCells.IsEmpty())
        return nullptr;
    CGXCoveredCellPool* pool = GXCoveredCellPoolOf(grid);
    const CGXRange* entry = pool ? pool->Lookup(row, col) : nullptr;
    if (!entry)
        return nullptr;
    range = *entry;
    return &range;
}

bool CGXGridCoveredCellsImp::StoreCoveredCellsRowCol(CGXGridCore* grid, ROWCOL top, ROWCOL left,
                                                     ROWCOL bottom, ROWCOL right, bool set) {
    CGXGridParam* param = grid->GetParam();
    CGXCoveredCellPool* pool = GXCoveredCellPoolOf(grid);
    if (!param || !pool || bottom >= INT_MAX || right >= INT_MAX || top > bottom || left > right ||
        grid->IsLockReadOnly())
        return false;
    CGXRange* found = pool->Lookup(top, left);
    try {
        if (!set) {
            if (found && found->top == top && found->left == left) {
                pool->SetRange(found->top, found->left, found->bottom, found->right, nullptr);
                param->m_CoveredCells.RemoveRangeAt(found);
            }
            return true;
        }
        // A block that starts inside another covering, or reaches into one, is refused.
        if ((found && (found->top != top || found->left != left)) ||
            !pool->IsFree(top, left, bottom, right, found))
            return false;
        if (found) {
            pool->SetRange(found->top, found->left, found->bottom, found->right, nullptr);
            found->SetCells(top, left, bottom, right);
            pool->SetRange(top, left, bottom, right, found);
            return true;
        }
        CGXRange* record = param->m_CoveredCells.AddTail(CGXRange(top, left, bottom, right));
        if (!pool->SetRange(top, left, bottom, right, record)) {
            param->m_CoveredCells.RemoveRangeAt(record);
            return false;
        }
        return true;
    } catch (const std::bad_alloc&) {
        // The pool may hold part of the block: rebuild it from the list as it stands.
        param->RebuildCoveredCellPool();
        return false;
    }
}

void CGXGridCoveredCellsImp::UpdateCoveredCellsRowCol(CGXGridCore* grid, ROWCOL top, ROWCOL left,
                                                      ROWCOL bottom, ROWCOL right, unsigned flags,
                                                      bool) {
    CGXGridParam* param = grid->GetParam();
    if (param && param->m_bLockUpdate)
        return;
    CGXRange block(top, left, bottom, right);
    CGXRange covering;
    if (GetCoveredCellsRowCol(grid, top, left, covering)) {
        ROWCOL row = 0, col = 0;
        if (grid->GetCurrentCell(row, col) && row >= covering.top && row <= covering.bottom &&
            col >= covering.left && col <= covering.right &&
            (row != covering.top || col != covering.left))
            grid->SetCurrentCell(covering.top, covering.left, flags | GX_CCSCROLLINVIEW);
        block.bottom = std::max(block.bottom, covering.bottom);
        block.right = std::max(block.right, covering.right);
    }
    grid->FreeObjectCache();
    grid->RedrawRowCol(block, flags);
}

void CGXGridCoveredCellsImp::ExpandRangeByCoverings(CGXGridCore* grid, CGXRange& range) {
    CGXGridParam* param = grid->GetParam();
    if (!param || param->m_CoveredCells.IsEmpty())
        return;
    // A covering that reaches into the range grows it, which may bring in further coverings.
    for (bool grown = true; grown;) {
        grown = false;
        for (const CGXRange& c : param->m_CoveredCells) {
            const bool meets = c.top <= range.bottom && c.bottom >= range.top &&
                               c.left <= range.right && c.right >= range.left;
            if (!meets)
                continue;
            const CGXRange before = range;
            range.top = std::min(range.top, c.top);
            range.left = std::min(range.left, c.left);
            range.bottom = std::max(range.bottom, c.bottom);
            range.right = std::max(range.right, c.right);
            grown = grown || !(before.top == range.top && before.left == range.left &&
                               before.bottom == range.bottom && before.right == range.right);
        }
    }
}

namespace {

// Shortens the coverings that reach into lines first..last from before them and uncovers the
// ones that start inside them, with updates locked (the removal redraws afterwards). Nothing is
// recorded: the removal saves the coverings it changes with its own undo data.
void RemoveCoverings(CGXGridCore* grid, bool rows, ROWCOL first, ROWCOL last, bool& changed) {
    changed = false;
    CGXGridParam* param = grid->GetParam();
    if (!param || param->m_CoveredCells.IsEmpty() || first > last)
        return;
    std::vector<CGXRange> hit;
    for (const CGXRange& r : param->m_CoveredCells) {
        const ROWCOL start = rows ? r.top : r.left, end = rows ? r.bottom : r.right;
        if (r.IsValid() && end >= first && start <= last && (start >= first || end <= last))
            hit.push_back(r);
    }
    if (hit.empty())
        return;
    const bool oldLock = param->m_bLockUpdate;
    param->m_bLockUpdate = true;
    for (const CGXRange& r : hit) {
        const ROWCOL start = rows ? r.top : r.left;
        grid->SetCoveredCellsRowCol(r.top, r.left, r.top, r.left, 0, 1);
        if (start < first)
            grid->SetCoveredCellsRowCol(r.top, r.left, rows ? first - 1 : r.bottom,
                                        rows ? r.right : first - 1, 0, 1);
    }
    param->m_bLockUpdate = oldLock;
    changed = true;
}

}  // namespace

// `skip` changes nothing (see the interface).
void CGXGridCoveredCellsImp::RemoveRowsCoverings(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                                                 bool& changed, bool) {
    RemoveCoverings(grid, true, first, last, changed);
}

void CGXGridCoveredCellsImp::RemoveColsCoverings(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                                                 bool& changed, bool) {
    RemoveCoverings(grid, false, first, last, changed);
}

bool CGXSetCoveredCellsCmd::Execute(CGXGridCore* grid, int ctCmd) {
    return grid->SetCoveredCellsRowCol(m_nTop, m_nLeft, m_nBottom, m_nRight, GX_UPDATENOW, ctCmd);
}

std::string CGXSetCoveredCellsCmd::GetDescription() const {
    return fw::LoadString(20166);
}
