// Selection lists, scrolling and the scroll bars. Scroll positions given to the window are
// divided by a unit (range maximum / 32767 + 1) so that the toolkit's 16-bit thumb messages hold
// them; positions read back are multiplied by it again.
#include "framework/window/Window.h"
#include "grid/core/CGXAutoScrollPlugin.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridCoreAxis.h"
#include "grid/core/CGXGridParam.h"

#include <algorithm>
#include <optional>

// --- selection
// ------------------------------------------------------------------------------------

bool CGXGridCore::CopyRangeList(CGXRangeList& out, bool useCurrentCell) {
    out.DeleteAll();
    if (m_pParam)
        for (const CGXRange& r : m_pParam->m_SelRects) out.AddTail(r);
    ROWCOL row, col;
    if (out.IsEmpty() && useCurrentCell && GetCurrentCell(row, col))
        out.AddTail(CGXRange(row, col));
    return !out.IsEmpty();
}

bool CGXGridCore::GetSelectedRowRanges(std::vector<ROWCOL>& first, std::vector<ROWCOL>& last,
                                       bool entireRowsOnly, bool useCurrentCell) {
    first.clear();
    last.clear();
    if (m_pParam)
        m_pParam->m_SelRects.GetRowSpans(GetRowCount(), first, last, entireRowsOnly);
    ROWCOL row, col;
    if (first.empty() && useCurrentCell && GetCurrentCell(row, col)) {
        first.push_back(row);
        last.push_back(row);
    }
    return !first.empty();
}

bool CGXGridCore::GetSelectedColRanges(std::vector<ROWCOL>& first, std::vector<ROWCOL>& last,
                                       bool entireColsOnly, bool useCurrentCell) {
    first.clear();
    last.clear();
    if (m_pParam)
        m_pParam->m_SelRects.GetColSpans(GetColCount(), first, last, entireColsOnly);
    ROWCOL row, col;
    if (first.empty() && useCurrentCell && GetCurrentCell(row, col)) {
        first.push_back(col);
        last.push_back(col);
    }
    return !first.empty();
}

ROWCOL CGXGridCore::GetSelectedRows(std::vector<ROWCOL>& rows, bool entireRowsOnly,
                                    bool useCurrentCell) {
    rows.clear();
    std::vector<ROWCOL> first, last;
    GetSelectedRowRanges(first, last, entireRowsOnly, useCurrentCell);
    for (std::size_t i = 0; i < first.size(); ++i)
        for (ROWCOL r = first[i]; r <= last[i] && r != GX_INVALID; ++r) rows.push_back(r);
    return static_cast<ROWCOL>(rows.size());
}

ROWCOL CGXGridCore::GetSelectedCols(std::vector<ROWCOL>& cols, bool entireColsOnly,
                                    bool useCurrentCell) {
    cols.clear();
    std::vector<ROWCOL> first, last;
    GetSelectedColRanges(first, last, entireColsOnly, useCurrentCell);
    for (std::size_t i = 0; i < first.size(); ++i)
        for (ROWCOL c = first[i]; c <= last[i] && c != GX_INVALID; ++c) cols.push_back(c);
    return static_cast<ROWCOL>(cols.size());
}

void CGXGridCore::GetSelectedText(std::string& text) {
    text.clear();
    ROWCOL row, col;
    if (!GetCurrentCell(row, col))
        return;
    if (CGXControl* control = GetControl(row, col))
        control->GetSelectedText(text);
}

// The other views of the document redraw the same change of the shared selection.
void CGXGridCore::HintSelectionChange(const CGXRangeList& before, const CGXRange& changed) {
    if (auto* f = GetUpdateHintImp(); f && m_bHintsEnabled)
        f->HintSelection(this, &before, changed.top, changed.left, changed.bottom, changed.right);
}

bool CGXGridCore::SelectRange(const CGXRange& range, bool select, bool update) {
    if (auto* f = GetUserSelectRangeImp())
        return f->SelectRange(this, range, select, update);
    if (!m_pParam)
        return false;
    std::optional<CGXRangeList> before;
    if (update && GetUpdateHintImp() && m_bHintsEnabled && m_pDocument)
        before = m_pParam->m_SelRects;
    if (select) {
        m_pParam->m_SelRects.AddTail(range);
    } else {
        // Deselecting removes the ranges that lie inside the given one.
        std::vector<const CGXRange*> gone;
        for (const CGXRange& r : m_pParam->m_SelRects) {
            CGXRange a = r, b = range;
            a.ResolveToCells(0, 0, GetRowCount(), GetColCount());
            b.ResolveToCells(0, 0, GetRowCount(), GetColCount());
            if (a.top >= b.top && a.bottom <= b.bottom && a.left >= b.left && a.right <= b.right)
                gone.push_back(&r);
        }
        for (const CGXRange* r : gone) m_pParam->m_SelRects.RemoveRangeAt(r);
    }
    if (update) {
        CGXRange r = range;
        r.ResolveToCells(0, 0, GetRowCount(), GetColCount());
        RedrawRowCol(r.top, r.left, r.bottom, r.right, GX_INVALIDATE);
        if (before)
            HintSelectionChange(*before, r);
    }
    OnSelectionChanged();
    return true;
}

void CGXGridCore::SetSelection(std::nullptr_t) {
    if (!m_pParam || m_pParam->m_SelRects.IsEmpty())
        return;
    if (auto* f = GetUserSelectRangeImp()) {
        f->SetSelection(this, -1, 0, 0, 0, 0);
        return;
    }
    const CGXRangeList before = m_pParam->m_SelRects;
    m_pParam->m_SelRects.DeleteAll();
    Redraw(GX_INVALIDATE);
    HintSelectionChange(before, CGXRange());
    OnSelectionChanged();
}

void CGXGridCore::SetSelection(int index, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right) {
    if (auto* f = GetUserSelectRangeImp())
        f->SetSelection(this, index, top, left, bottom, right);
}

void CGXGridCore::RedrawSelection() {
    if (auto* f = GetUserSelectRangeImp())
        f->RedrawSelection(this);
}

void CGXGridCore::OnSelectionChanged() {
    // The selection frame follows the range in progress: the one added last.
    if (GetExcelLikeFrameImp())
        UpdateSelectionFrame(m_pParam && !m_pParam->m_SelRects.IsEmpty()
                                 ? &m_pParam->m_SelRects.GetTail()
                                 : nullptr);
    if (m_pParam && m_pParam->m_bMarkSelectionHeaders) {
        RedrawRowCol(0, 0, GetHeaderRows(), GetColCount(), GX_INVALIDATE);
        RedrawRowCol(0, 0, GetRowCount(), GetHeaderCols(), GX_INVALIDATE);
    }
}

// --- visible part
// ---------------------------------------------------------------------------------

ROWCOL CGXGridCore::GetLastVisibleRow(bool* partly) {
    return Axis::kRows.LastVisible(*this, partly);
}

ROWCOL CGXGridCore::GetLastVisibleCol(bool* partly) {
    return Axis::kCols.LastVisible(*this, partly);
}

ROWCOL CGXGridCore::Axis::LastVisible(CGXGridCore& g, bool* partly) const {
    const ROWCOL first = Scrolled(g);
    if (g.*lastVisible == GX_INVALID || g.*lastVisibleFrom != first) {
        const fw::Rect grid = g.GetGridRect();
        const ROWCOL n = Count(g);
        int at = Near(grid) + (g.*sumOfSizes)(0, std::min(Frozen(g), n), 0);
        ROWCOL last = std::min(Frozen(g), n);
        bool part = false;
        for (ROWCOL i = first; i <= n && at < Far(grid); ++i) {
            at += (g.*size)(i);
            last = i;
            part = at > Far(grid);
        }
        g.*lastVisible = last;
        g.*lastVisibleFrom = first;
        g.*lastPartly = part;
    }
    if (partly)
        *partly = g.*lastPartly;
    return g.*lastVisible;
}

// The last top row that still fills the window: from the last row upwards while the rows fit
// below the header and frozen rows.
ROWCOL CGXGridCore::LastTopRow(int clientHeight) {
    return Axis::kRows.LastScrolled(*this, clientHeight);
}

ROWCOL CGXGridCore::LastLeftCol(int clientWidth) {
    return Axis::kCols.LastScrolled(*this, clientWidth);
}

ROWCOL CGXGridCore::Axis::LastScrolled(CGXGridCore& g, int clientExtent) const {
    const ROWCOL n = Count(g), frozenLines = Frozen(g);
    const int room = clientExtent - (g.*sumOfSizes)(0, std::min(frozenLines, n), 0);
    if (n <= frozenLines)
        return frozenLines + 1;
    int sum = 0;
    ROWCOL line = n;
    for (;;) {
        const int extent = (g.*size)(line);
        if (sum + extent > room)
            return line == n ? n : line + 1;
        sum += extent;
        if (line == frozenLines + 1)
            return line;
        --line;
    }
}

// --- scrolling
// ------------------------------------------------------------------------------------

bool CGXGridCore::OnScroll(int direction, ROWCOL count, ROWCOL* hint) {
    if (count == 0 || !m_pParam)
        return false;
    const bool vertical = direction == 1 || direction == 3;
    const bool forward = direction == 3 || direction == 4;
    const fw::Rect grid = GetGridRect();
    const ROWCOL frozen = vertical ? GetFrozenRows() : GetFrozenCols();
    const ROWCOL old = vertical ? m_nTopRow : m_nLeftCol;
    const int mode = vertical ? m_nVScrollMode : m_nHScrollMode;
    ROWCOL limit = vertical ? GetRowCount() : GetColCount();
    if (mode & gxnEnhanced)
        limit = vertical ? LastTopRow(grid.Height()) : LastLeftCol(grid.Width());
    limit = std::max(limit, frozen + 1);
    ROWCOL next;
    if (forward)
        next = old >= limit ? old : (limit - old < count ? limit : old + count);
    else
        next = old > frozen + 1 && old - (frozen + 1) > count ? old - count : frozen + 1;
    if (next == old)
        return false;
    if (!(vertical ? CanChangeTopLeft(next, m_nLeftCol) : CanChangeTopLeft(m_nTopRow, next)))
        return false;
    if (m_pCurrentCellControl && m_pCurrentCellControl->IsActive())
        m_pCurrentCellControl->OnGridScroll(vertical ? fw::WM_VSCROLL : fw::WM_HSCROLL, 0, 0);
    if (hint)
        *hint = next;
    ScrollVisibleBy(direction, std::min(old, next), std::max(old, next));
    if (vertical)
        m_nTopRow = next;
    else
        m_nLeftCol = next;
    InvalidateCachedVisible();
    UpdateScrollbars();
    AfterTopLeftChange(m_nTopRow, m_nLeftCol);
    return true;
}

// Moves the pixels of the scrolled part by the sizes of the rows (columns) from..to - 1 and
// leaves what came into view invalid; a distance larger than the part repaints it whole.
void CGXGridCore::ScrollVisibleBy(int direction, ROWCOL from, ROWCOL to) {
    if (!m_bInitDone || !m_pGridWnd || !GridWndIsVisible())
        return;
    const bool vertical = direction == 1 || direction == 3;
    const bool forward = direction == 3 || direction == 4;
    const fw::Rect grid = GetGridRect();
    fw::Rect area = grid;
    long long distance = 0;
    const int room = vertical ? grid.Height() : grid.Width();
    for (ROWCOL i = from; i < to && distance <= room; ++i)
        distance += vertical ? GetRowHeight(i) : GetColWidth(i);
    if (vertical)
        area.top += CalcSumOfRowHeights(0, GetFrozenRows());
    else
        area.left += CalcSumOfColWidths(0, GetFrozenCols());
    const int extent = vertical ? area.Height() : area.Width();
    if (extent <= 0)
        return;
    if (distance >= extent) {
        m_pGridWnd->InvalidateRect(area);
        return;
    }
    const int d = static_cast<int>(forward ? -distance : distance);
    ScrollWindowContents(vertical ? 0 : d, vertical ? d : 0, &area, &area);
    // The line at the frozen boundary is drawn by the first scrolled row (column) and moves
    // with it: the boundary and the place the old first row moved to are drawn again.
    const bool frozen = vertical ? GetFrozenRows() > 0 : GetFrozenCols() > 0;
    if (frozen && !Is3dLook()) {
        for (int at : {0, forward ? -1 : d}) {
            if (at < 0)
                continue;
            fw::Rect strip = area;
            if (vertical) {
                strip.top = area.top + at;
                strip.bottom = strip.top + 1;
            } else {
                strip.left = area.left + at;
                strip.right = strip.left + 1;
            }
            m_pGridWnd->InvalidateRect(strip);
        }
    }
}

void CGXGridCore::ScrollWindowContents(int dx, int dy, const fw::Rect* scroll,
                                       const fw::Rect* clip) {
    if (!m_pGridWnd)
        return;
    // What was painted immediately (the backing image) moves along with the rest.
    ReleaseGridDC();
    m_pGridWnd->ScrollWindow(dx, dy, scroll, clip);
}

bool CGXGridCore::DoScroll(int direction, ROWCOL count) {
    ROWCOL hint = 0;
    if (!OnScroll(direction, count, &hint))
        return false;
    // The other panes of a splitter follow in the direction scrolled.
    if (auto* f = GetUpdateHintImp(); f && m_bHintsEnabled)
        f->HintSyncPanes(this, direction);
    return true;
}

bool CGXGridCore::ScrollCellInView(ROWCOL row, ROWCOL col, unsigned flags, bool) {
    bool scrolled = false;
    const fw::Rect grid = GetGridRect();
    const ROWCOL frozenRows = GetFrozenRows(), frozenCols = GetFrozenCols();
    if (row > frozenRows && row <= GetRowCount()) {
        if (row < m_nTopRow) {
            scrolled = SetTopRow(row, flags) || scrolled;
        } else {
            bool partly = false;
            const ROWCOL last = GetLastVisibleRow(&partly);
            if (row > last || (row == last && partly && row != m_nTopRow)) {
                int sum = GetRowHeight(row) + CalcSumOfRowHeights(0, frozenRows);
                ROWCOL top = row;
                while (top > frozenRows + 1 && sum + GetRowHeight(top - 1) <= grid.Height()) {
                    --top;
                    sum += GetRowHeight(top);
                }
                scrolled = SetTopRow(top, flags) || scrolled;
            }
        }
    }
    if (col > frozenCols && col <= GetColCount()) {
        if (col < m_nLeftCol) {
            scrolled = SetLeftCol(col, flags) || scrolled;
        } else {
            bool partly = false;
            const ROWCOL last = GetLastVisibleCol(&partly);
            if (col > last || (col == last && partly && col != m_nLeftCol)) {
                int sum = GetColWidth(col) + CalcSumOfColWidths(0, frozenCols);
                ROWCOL left = col;
                while (left > frozenCols + 1 && sum + GetColWidth(left - 1) <= grid.Width()) {
                    --left;
                    sum += GetColWidth(left);
                }
                scrolled = SetLeftCol(left, flags) || scrolled;
            }
        }
    }
    return scrolled;
}

// --- scroll bars
// ----------------------------------------------------------------------------------

int CGXGridCore::LockScrollbars(int lock) {
    const int old = m_nScrollLock;
    m_nScrollLock = lock;
    if (lock == 0 && old != 0)
        UpdateScrollbars();
    return old;
}

void CGXGridCore::SetScrollBarMode(int bar, int mode, bool redraw) {
    for (int b : {0, 1}) {
        if (bar != b && bar != 3)
            continue;
        (b == 1 ? m_nVScrollMode : m_nHScrollMode) = mode;
        if (!redraw)
            continue;
        if (mode == 0)
            ShowGridScrollBar(b, false);
        else if (mode & gxnEnabled)
            ShowGridScrollBar(b, true);
        else if (mode & gxnAutomatic)
            UpdateScrollbars(true, false);
    }
}

int CGXGridCore::GetScrollBarMode(int bar) const {
    if (bar == 1)
        return m_nVScrollMode;
    if (bar == 0)
        return m_nHScrollMode;
    return 0;
}

int CGXGridCore::SetGridScrollPos(int bar, int pos, bool redraw) {
    if (GetScrollBarMode(bar) == 0 || !m_pGridWnd)
        return 0;
    const int unit = GetScrollUnit(bar);
    const int old = m_pGridWnd->SetScrollPos(bar, pos < unit ? 0 : pos / unit, redraw);
    return old * unit;
}

int CGXGridCore::GetGridScrollPos(int bar) {
    return m_pGridWnd ? m_pGridWnd->GetScrollPos(bar) * GetScrollUnit(bar) : 0;
}

int CGXGridCore::GetGridScrollRange(int bar, int* min, int* max) {
    int lo = 0, hi = 0;
    if (m_pGridWnd)
        m_pGridWnd->GetScrollRange(bar, &lo, &hi);
    const int unit = GetScrollUnit(bar);
    if (min)
        *min = lo * unit;
    if (max)
        *max = hi * unit;
    return hi * unit;
}

bool CGXGridCore::SetGridScrollRange(int bar, int min, int max, bool redraw) {
    const int mode = GetScrollBarMode(bar);
    if (mode == 0)
        return false;
    int& unit = bar == 1 ? m_nVScrollUnit : m_nHScrollUnit;
    unit = std::max(max, 0) / 32767 + 1;
    m_bScrollRangeSet = true;
    if (!m_pGridWnd)
        return true;
    fw::ScrollInfo si;
    si.mask = fw::SIF_RANGE | fw::SIF_PAGE;
    if (mode & gxnEnhanced) {
        const long long count = bar == 1 ? GetRowCount() : GetColCount();
        si.page = static_cast<unsigned>(std::max<long long>(1, (count - max + 1) / unit));
        max = static_cast<int>(count);
    } else {
        si.page = 0;
    }
    si.min = min / unit;
    si.max = max / unit;
    if (si.max < si.min) {
        si.min = si.max;
        si.page = 1;
    }
    m_pGridWnd->SetScrollInfo(bar, si, redraw);
    return true;
}

void CGXGridCore::ShowGridScrollBar(int bar, bool show) {
    if (m_pGridWnd)
        m_pGridWnd->ShowScrollBar(bar, show);
}

void CGXGridCore::UpdateScrollbars(bool redraw, bool onlyWhenChanged) {
    if (!m_bInitDone || m_bInUpdateScrollbars || m_nScrollLock || UpdatesLocked() || !m_pGridWnd)
        return;
    if (m_bPrintInProgress) {
        ShowGridScrollBar(3, false);
        return;
    }
    if ((m_nVScrollMode == 0 && m_nHScrollMode == 0) || GetGridRect().IsEmpty())
        return;
    const ROWCOL rows = GetRowCount(), cols = GetColCount();
    if (onlyWhenChanged && rows == m_nLastUpdateRowCount && cols == m_nLastUpdateColCount)
        return;
    m_nLastUpdateRowCount = rows;
    m_nLastUpdateColCount = cols;
    m_bInUpdateScrollbars = true;
    // Showing or hiding one bar changes the room of the other: settle in at most three passes.
    for (int pass = 0; pass < 3; ++pass) {
        InvalidateCachedVisible();
        const fw::Rect grid = GetGridRect();
        const bool vBefore = m_pGridWnd->IsScrollBarVisible(1);
        const bool hBefore = m_pGridWnd->IsScrollBarVisible(0);
        for (int bar : {1, 0}) {
            const int mode = GetScrollBarMode(bar);
            const bool vertical = bar == 1;
            const ROWCOL first = (vertical ? GetFrozenRows() : GetFrozenCols()) + 1;
            const ROWCOL lastTop = vertical ? LastTopRow(grid.Height()) : LastLeftCol(grid.Width());
            ROWCOL& pos = vertical ? m_nTopRow : m_nLeftCol;
            if ((mode & gxnEnhanced) && pos > lastTop) {
                if (vertical)
                    m_nTopRow = std::max(lastTop, first);
                else
                    m_nLeftCol = std::max(lastTop, first);
                if (m_pGridWnd)
                    m_pGridWnd->Invalidate();
            }
            switch (mode & 7) {
                case gxnEnabled:
                case gxnShared:
                    SetGridScrollRange(bar, static_cast<int>(first), static_cast<int>(lastTop),
                                       redraw);
                    SetGridScrollPos(bar, static_cast<int>(pos), redraw);
                    if (mode & gxnEnabled)
                        ShowGridScrollBar(bar, true);
                    break;
                case gxnAutomatic:
                    if (first == pos && pos >= lastTop) {
                        ShowGridScrollBar(bar, false);
                    } else {
                        ShowGridScrollBar(bar, true);
                        SetGridScrollRange(bar, static_cast<int>(first), static_cast<int>(lastTop),
                                           redraw);
                        SetGridScrollPos(bar, static_cast<int>(pos), redraw);
                    }
                    break;
                default:
                    if (mode == 0 && m_pGridWnd->IsScrollBarVisible(bar))
                        ShowGridScrollBar(bar, false);
                    break;
            }
        }
        if (vBefore == m_pGridWnd->IsScrollBarVisible(1) &&
            hBefore == m_pGridWnd->IsScrollBarVisible(0))
            break;
    }
    m_bInUpdateScrollbars = false;
}

void CGXGridCore::StartAutoScroll(bool capture, int directions) {
    m_nAutoScrollDirections = directions;
    m_bAutoScroll = true;
    if (!m_pGridWnd) {
        m_bAutoScroll = false;
        return;
    }
    if (capture)
        m_pGridWnd->SetCapture();
    if (!m_pGridWnd->SetTimer(GX_AUTOSCROLL_TIMER, 10)) {
        m_bAutoScroll = false;
        return;
    }
    m_pGridWnd->PostMessage(fw::WM_TIMER, GX_AUTOSCROLL_TIMER, 0);
}

// --- window messages
// ------------------------------------------------------------------------------

namespace {
// Rows that fit in `room` pixels walking from `from` in one direction, at least one.
template <class F>
ROWCOL FitCount(F size, ROWCOL from, int step, ROWCOL stop, int room) {
    ROWCOL n = 0;
    int sum = 0;
    for (ROWCOL i = from; step > 0 ? i <= stop : i >= stop; i += step) {
        sum += size(i);
        if (sum > room)
            break;
        ++n;
        if (step < 0 && i == stop)
            break;
    }
    return std::max<ROWCOL>(1, n);
}
}  // namespace

void CGXGridCore::OnGridVScroll(unsigned code, unsigned pos) {
    Axis::kRows.OnGridScroll(*this, code, pos);
}

void CGXGridCore::OnGridHScroll(unsigned code, unsigned pos) {
    Axis::kCols.OnGridScroll(*this, code, pos);
}

// The scroll codes of the two bars are the same numbers.
static_assert(fw::SB_LINEDOWN == fw::SB_LINERIGHT && fw::SB_LINEUP == fw::SB_LINELEFT &&
              fw::SB_PAGEDOWN == fw::SB_PAGERIGHT && fw::SB_PAGEUP == fw::SB_PAGELEFT &&
              fw::SB_TOP == fw::SB_LEFT && fw::SB_BOTTOM == fw::SB_RIGHT);

void CGXGridCore::Axis::OnGridScroll(CGXGridCore& g, unsigned code, unsigned pos) const {
    if (!g.m_bInitDone)
        return;
    // An editing window over the cell follows the scroll (or hides).
    if (CGXControl* control = g.GetCurrentCellControl())
        control->OnGridScroll(scrollMessage, code, pos);
    const fw::Rect grid = g.GetGridRect();
    const ROWCOL frozenLines = Frozen(g);
    const int room = Extent(grid) - (g.*sumOfSizes)(0, frozenLines, 0);
    auto extent = [&g, this](ROWCOL i) { return (g.*size)(i); };
    switch (code) {
        case fw::SB_LINEDOWN:
            g.DoScroll(scrollForward, 1);
            break;
        case fw::SB_LINEUP:
            g.DoScroll(scrollBack, 1);
            break;
        case fw::SB_PAGEDOWN:
            g.DoScroll(scrollForward, FitCount(extent, g.*scrolled, 1, Count(g), room));
            break;
        case fw::SB_PAGEUP:
            if (g.*scrolled > frozenLines + 1)
                g.DoScroll(scrollBack,
                           FitCount(extent, g.*scrolled - 1, -1, frozenLines + 1, room));
            break;
        case fw::SB_THUMBTRACK:
        case fw::SB_THUMBPOSITION: {
            fw::ScrollInfo si;
            si.mask = fw::SIF_TRACKPOS;
            g.m_pGridWnd->GetScrollInfo(scrollBar, si);
            const ROWCOL line = static_cast<ROWCOL>(si.trackPos) * g.GetScrollUnit(scrollBar);
            (g.*setScrolled)(std::max(line, frozenLines + 1), GX_UPDATENOW, true);
            break;
        }
        case fw::SB_TOP:
            (g.*setScrolled)(frozenLines + 1, GX_UPDATENOW, true);
            break;
        case fw::SB_BOTTOM:
            (g.*setScrolled)(LastScrolled(g, Extent(grid)), GX_UPDATENOW, true);
            break;
        default:
            break;
    }
}

void CGXGridCore::OnGridSize(unsigned, int, int) {
    InvalidateCachedVisible();
    ReleaseGridDC();
    UpdateScrollbars();
}
