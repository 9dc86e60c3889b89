#include "grid/features/CGXGridFreezeMenuHelperImp.h"

#include "framework/persist/StringTable.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"

#include <algorithm>

namespace {

// Rows and columns through one body; `rows` picks the direction.
struct Axis {
    CGXGridCore* g;
    bool rows;
    CGXGridParam& P() const { return *g->GetParam(); }
    ROWCOL Frozen() const { return rows ? g->GetFrozenRows() : g->GetFrozenCols(); }
    ROWCOL Headers() const { return rows ? g->GetHeaderRows() : g->GetHeaderCols(); }
    ROWCOL& Dest() const { return rows ? P().m_nFreezeRowsDest : P().m_nFreezeColsDest; }
    ROWCOL& Count() const { return rows ? P().m_nFreezeRowsCount : P().m_nFreezeColsCount; }
    ROWCOL& From() const { return rows ? P().m_nFreezeRowsFrom : P().m_nFreezeColsFrom; }
    bool Spans(std::vector<ROWCOL>& first, std::vector<ROWCOL>& last) const {
        if (rows)
            P().m_SelRects.GetRowSpans(g->GetRowCount(), first, last, true);
        else
            P().m_SelRects.GetColSpans(g->GetColCount(), first, last, true);
        return first.size() == 1;
    }
    void Move(ROWCOL first, ROWCOL last, ROWCOL dest) const {
        if (rows)
            g->MoveRows(first, last, dest, 0);
        else
            g->MoveCols(first, last, dest, 0);
    }
    void SetFrozen(ROWCOL frozen) const {
        if (rows)
            g->SetFrozenRows(frozen, Headers(), 0);
        else
            g->SetFrozenCols(frozen, Headers(), 0);
    }
    std::string Label() const {
        std::string s = fw::LoadString(rows ? 20169 : 20168);
        return s.empty() ? (rows ? "Freeze Rows" : "Freeze Columns") : s;
    }
};

// Runs a change in one transaction with updates locked, then redraws once.
template <class F>
void Locked(const Axis& a, F change) {
    CGXGridParam& p = a.P();
    const bool oldLock = p.m_bLockUpdate;
    a.g->BeginTrans(a.Label().c_str());
    p.m_bLockUpdate = true;
    change();
    p.m_bLockUpdate = oldLock;
    a.g->Redraw(GX_UPDATENOW);
    a.g->UpdateScrollbars();
    a.g->CommitTrans();
}

bool CanFreeze(const Axis& a) {
    if (!a.g->GetParam() || a.Frozen() != 0)
        return false;
    std::vector<ROWCOL> first, last;
    return a.Spans(first, last);
}

bool Freeze(const Axis& a) {
    std::vector<ROWCOL> first, last;
    if (!CanFreeze(a) || !a.Spans(first, last))
        return false;
    const ROWCOL front = a.Headers() + 1;
    const ROWCOL from = std::max(first[0], front);
    if (from > last[0])
        return false;
    const ROWCOL count = last[0] - from + 1;
    Locked(a, [&] {
        a.g->SetSelection(nullptr);
        if (from != front)
            a.Move(from, last[0], front);
        a.Dest() = front;
        a.Count() = count;
        a.From() = from;
        a.SetFrozen(count);
    });
    return true;
}

bool Unfreeze(const Axis& a) {
    if (!a.g->GetParam() || a.Frozen() == 0)
        return false;
    Locked(a, [&] {
        if (a.Count() != 0 && a.Dest() != a.From())
            a.Move(a.Dest(), a.Dest() + a.Count() - 1, a.From());
        a.SetFrozen(0);
        a.Count() = 0;
    });
    return true;
}

}  // namespace

bool CGXGridFreezeMenuHelperImp::CanFreezeCols(CGXGridCore* grid) {
    return CanFreeze({grid, false});
}
bool CGXGridFreezeMenuHelperImp::IsColsFrozen(CGXGridCore* grid) {
    return grid->GetParam() && grid->GetFrozenCols() > 0;
}
bool CGXGridFreezeMenuHelperImp::FreezeCols(CGXGridCore* grid) {
    return Freeze({grid, false});
}
bool CGXGridFreezeMenuHelperImp::UnfreezeCols(CGXGridCore* grid) {
    return Unfreeze({grid, false});
}
bool CGXGridFreezeMenuHelperImp::CanFreezeRows(CGXGridCore* grid) {
    return CanFreeze({grid, true});
}
bool CGXGridFreezeMenuHelperImp::IsRowsFrozen(CGXGridCore* grid) {
    return grid->GetParam() && grid->GetFrozenRows() > 0;
}
bool CGXGridFreezeMenuHelperImp::FreezeRows(CGXGridCore* grid) {
    return Freeze({grid, true});
}
// Unfreezing rows runs in the same transaction, lock and redraw as unfreezing columns.
bool CGXGridFreezeMenuHelperImp::UnfreezeRows(CGXGridCore* grid) {
    return Unfreeze({grid, true});
}
