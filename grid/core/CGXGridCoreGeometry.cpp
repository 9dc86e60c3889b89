// Cell geometry: row heights and column widths (pixels here, font units in the parameter
// object), and the conversions between cells, client rectangles and points. Client indices
// count rows as the window shows them: header and frozen rows, then from the top row.
#include "framework/window/Window.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridCoreAxis.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/GXSizeUnits.h"

#include <algorithm>
#include <climits>

int CGXGridCore::SizeUnitRows() {
    return GetLineHeight();
}
int CGXGridCore::SizeUnitCols() {
    return GetCharWidth();
}

namespace {
// Pixels times the stored-size factor, held within the 32 bits the parameter object keeps.
std::int32_t StoredFromPixels(int pixels, int unit) {
    const long long v = static_cast<long long>(pixels) * GXSizeFactor(unit);
    return static_cast<std::int32_t>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}
}  // namespace

bool CGXGridCore::IsRowHidden(ROWCOL row) {
    auto* f = GetHideCellsImp();
    return f && f->IsRowHidden(this, row);
}
bool CGXGridCore::IsColHidden(ROWCOL col) {
    auto* f = GetHideCellsImp();
    return f && f->IsColHidden(this, col);
}

int CGXGridCore::GetRowHeight(ROWCOL row) {
    return Axis::kRows.LineSize(*this, row);
}

int CGXGridCore::GetColWidth(ROWCOL col) {
    return Axis::kCols.LineSize(*this, col);
}

int CGXGridCore::Axis::LineSize(CGXGridCore& g, ROWCOL line) const {
    if (!g.m_pParam || (g.*hidden)(line))
        return 0;
    std::int32_t stored;
    int pixels = (g.m_pParam->*sizes).Lookup(line, stored)
                     ? GXPixelsFromStoredSize(stored, (g.*sizeUnit)())
                     : (g.*defaultSize)();
    if (g.*limitSize && line > Frozen(g) && g.GridWndIsVisible()) {
        const int limit = Extent(g.GetGridRect()) - (g.*sumOfSizes)(0, Frozen(g), 0);
        pixels = std::min(pixels, std::max(0, limit));
    }
    return std::max(0, pixels);
}

int CGXGridCore::GetDefaultRowHeight() {
    return m_pParam ? GXPixelsFromStoredSize(m_pParam->m_nDefaultRowHeight, SizeUnitRows()) : 0;
}

int CGXGridCore::GetDefaultColWidth() {
    return m_pParam ? GXPixelsFromStoredSize(m_pParam->m_nDefaultColWidth, SizeUnitCols()) : 0;
}

bool CGXGridCore::StoreDefaultRowHeight(int pixels) {
    return Axis::kRows.StoreDefaultSize(*this, pixels);
}

bool CGXGridCore::StoreDefaultColWidth(int pixels) {
    return Axis::kCols.StoreDefaultSize(*this, pixels);
}

bool CGXGridCore::Axis::StoreDefaultSize(CGXGridCore& g, int pixels) const {
    if (!g.m_pParam || pixels <= 0)
        return false;
    g.m_pParam->*storedDefault = StoredFromPixels(pixels, (g.*sizeUnit)());
    g.SetModifiedFlag(true);
    return true;
}

bool CGXGridCore::StoreRowHeight(ROWCOL row, int pixels) {
    return Axis::kRows.StoreLineSize(*this, row, pixels);
}

bool CGXGridCore::StoreColWidth(ROWCOL col, int pixels) {
    return Axis::kCols.StoreLineSize(*this, col, pixels);
}

bool CGXGridCore::Axis::StoreLineSize(CGXGridCore& g, ROWCOL line, int pixels) const {
    if (!g.m_pParam)
        return false;
    if (pixels < 0)
        (g.m_pParam->*sizes).RemoveKey(line);
    else
        (g.m_pParam->*sizes).SetAt(line, StoredFromPixels(pixels, (g.*sizeUnit)()));
    g.SetModifiedFlag(true);
    return true;
}

std::vector<int> CGXGridCore::GetRowHeights(ROWCOL first, ROWCOL last) {
    return Axis::kRows.Sizes(*this, first, last);
}

std::vector<int> CGXGridCore::GetColWidths(ROWCOL first, ROWCOL last) {
    return Axis::kCols.Sizes(*this, first, last);
}

std::vector<int> CGXGridCore::Axis::Sizes(CGXGridCore& g, ROWCOL first, ROWCOL last) const {
    std::vector<int> out;
    for (ROWCOL i = first; i <= last && i != GX_INVALID; ++i) out.push_back((g.*size)(i));
    return out;
}

bool CGXGridCore::IsRecordingUndo(int ctCmd) const {
    return GetCommandFactory() && ctCmd != 1 && m_pParam && m_pParam->IsEnableUndo();
}

// The size a row keeps of its own, in pixels (a hidden row's too), or -1 when it takes the
// default; what undo gives back.
int CGXGridCore::GetOwnRowHeight(ROWCOL row) {
    return Axis::kRows.OwnLineSize(*this, row);
}

int CGXGridCore::GetOwnColWidth(ROWCOL col) {
    return Axis::kCols.OwnLineSize(*this, col);
}

int CGXGridCore::Axis::OwnLineSize(CGXGridCore& g, ROWCOL line) const {
    std::int32_t stored;
    if (!g.m_pParam || !(g.m_pParam->*sizes).Lookup(line, stored))
        return -1;
    return GXPixelsFromStoredSize(stored, (g.*sizeUnit)());
}

bool CGXGridCore::SetRowHeight(ROWCOL first, ROWCOL last, int pixels, const int* sizes,
                               unsigned flags, int ctCmd) {
    return Axis::kRows.SetSize(*this, first, last, pixels, sizes, flags, ctCmd);
}

bool CGXGridCore::SetColWidth(ROWCOL first, ROWCOL last, int pixels, const int* sizes,
                              unsigned flags, int ctCmd) {
    return Axis::kCols.SetSize(*this, first, last, pixels, sizes, flags, ctCmd);
}

bool CGXGridCore::Axis::SetSize(CGXGridCore& g, ROWCOL first, ROWCOL last, int pixels,
                                const int* perLine, unsigned flags, int ctCmd) const {
    if (last == 0)
        last = first;
    // "To the end" means the last line the grid has: counting up to the largest line number
    // would never end.
    if (last == GX_INVALID)
        last = std::max(first, Count(g));
    std::vector<int> old = (g.*sizesOf)(first, last);
    std::vector<int> own;
    for (ROWCOL i = first; i <= last && i != GX_INVALID; ++i) own.push_back((g.*ownSize)(i));
    bool changed = false;
    for (ROWCOL i = first; i <= last; ++i) {
        const int pixelsNow = perLine ? perLine[i - first] : pixels;
        if ((g.*size)(i) != pixelsNow || pixelsNow < 0) {
            if ((g.*storeSize)(i, pixelsNow))
                changed = true;
        }
    }
    if (!changed)
        return false;
    (g.*sizeChanged)(first, last, old, flags, true);
    if (g.IsRecordingUndo(ctCmd)) {
        CGXAbstractCommandFactory* factory = g.GetCommandFactory();
        if (auto cmd = rows ? factory->CreateSetRowHeightCmd(first, last, std::move(own))
                            : factory->CreateSetColWidthCmd(first, last, std::move(own)))
            g.AddCommand(std::move(cmd), ctCmd);
    }
    return true;
}

bool CGXGridCore::SetDefaultRowHeight(int pixels, unsigned flags, int ctCmd) {
    return Axis::kRows.SetDefaultSize(*this, pixels, flags, ctCmd);
}

bool CGXGridCore::SetDefaultColWidth(int pixels, unsigned flags, int ctCmd) {
    return Axis::kCols.SetDefaultSize(*this, pixels, flags, ctCmd);
}

bool CGXGridCore::Axis::SetDefaultSize(CGXGridCore& g, int pixels, unsigned flags,
                                       int ctCmd) const {
    const int old = (g.*defaultSize)();
    if (!(g.*storeDefault)(pixels))
        return false;
    (g.*sizeChanged)(0, Count(g), {}, flags, true);
    if (g.IsRecordingUndo(ctCmd)) {
        CGXAbstractCommandFactory* factory = g.GetCommandFactory();
        if (auto cmd = rows ? factory->CreateSetDefaultRowHeightCmd(old)
                            : factory->CreateSetDefaultColWidthCmd(old))
            g.AddCommand(std::move(cmd), ctCmd);
    }
    return true;
}

void CGXGridCore::OnRowHeightChanged(ROWCOL first, ROWCOL last, const std::vector<int>& old,
                                     unsigned flags, bool notify) {
    Axis::kRows.SizesChanged(*this, first, last, old, flags, notify);
}

void CGXGridCore::OnColWidthChanged(ROWCOL first, ROWCOL last, const std::vector<int>& old,
                                    unsigned flags, bool notify) {
    Axis::kCols.SizesChanged(*this, first, last, old, flags, notify);
}

void CGXGridCore::Axis::SizesChanged(CGXGridCore& g, ROWCOL first, ROWCOL last,
                                     const std::vector<int>& old, unsigned flags,
                                     bool notify) const {
    CGXGridHint hint(sizeHint);
    hint.*hintFirst = first;
    hint.*hintSecond = last;
    hint.object = &old;
    hint.flags = flags;
    g.SendGridHint(hint, notify);
    g.InvalidateCachedVisible();
    ROWCOL row = 0, col = 0;
    const ROWCOL& current = rows ? row : col;
    if (g.GetCurrentCell(row, col) && current >= first && current <= last &&
        (g.*size)(first) == 0) {
        g.TransferCurrentCell(true);
        if (g.m_pCurrentCellControl)
            g.m_pCurrentCellControl->Reset();
    }
    if (g.UpdatesLocked())
        return;
    if (CGXAbstractGridOptimizedUpdateImp* update = g.GetOptimizedUpdateImp())
        rows ? update->OnChangedRowHeights(&g, first, last, old, flags)
             : update->OnChangedColWidths(&g, first, last, old, flags);
    else
        g.Redraw(flags, false);
}

// --- sums and edges ----------------------------------------------------------------------------

int CGXGridCore::CalcSumOfRowHeights(ROWCOL first, ROWCOL last, int limit) {
    return Axis::kRows.SumOfSizes(*this, first, last, limit, false);
}

int CGXGridCore::CalcSumOfColWidths(ROWCOL first, ROWCOL last, int limit) {
    return Axis::kCols.SumOfSizes(*this, first, last, limit, false);
}

int CGXGridCore::CalcSumOfClientRowHeights(ROWCOL first, ROWCOL last, int limit) {
    return Axis::kRows.SumOfSizes(*this, first, last, limit, true);
}

int CGXGridCore::CalcSumOfClientColWidths(ROWCOL first, ROWCOL last, int limit) {
    return Axis::kCols.SumOfSizes(*this, first, last, limit, true);
}

// The sum of the sizes of lines first..last (client lines with `client`, up to the last line),
// stopping once it passes a positive limit.
int CGXGridCore::Axis::SumOfSizes(CGXGridCore& g, ROWCOL first, ROWCOL last, int limit,
                                  bool client) const {
    long long sum = 0;
    const ROWCOL n = client ? Count(g) : GX_INVALID;
    for (ROWCOL i = first; i <= last && i != GX_INVALID; ++i) {
        const ROWCOL line = client ? FromClient(g, i) : i;
        if (client && line > n)
            break;
        sum += (g.*size)(line);
        if (limit > 0 && sum > limit)
            break;
    }
    return static_cast<int>(std::min<long long>(sum, INT_MAX));
}

int CGXGridCore::CalcTopOfClientRow(ROWCOL index) {
    return GetGridRect().top + (index == 0 ? 0 : CalcSumOfClientRowHeights(0, index - 1));
}

int CGXGridCore::CalcLeftOfClientCol(ROWCOL index) {
    return GetGridRect().left + (index == 0 ? 0 : CalcSumOfClientColWidths(0, index - 1));
}

fw::Rect CGXGridCore::CalcRectBelowRow(ROWCOL row) {
    fw::Rect r = GetGridRect();
    if (row == 0) {
        r.top += GetRowHeight(0);
    } else {
        const ROWCOL client = GetClientRow(row);
        r.top = CalcTopOfClientRow(client) + GetRowHeight(row);
    }
    r.top = std::min(r.top, r.bottom);
    return r;
}

fw::Rect CGXGridCore::CalcRectRightOfCol(ROWCOL col) {
    fw::Rect r = GetGridRect();
    if (col == 0) {
        r.left += GetColWidth(0);
    } else {
        const ROWCOL client = GetClientCol(col);
        r.left = CalcLeftOfClientCol(client) + GetColWidth(col);
    }
    r.left = std::min(r.left, r.right);
    return r;
}

// --- points to cells ---------------------------------------------------------------------------

ROWCOL CGXGridCore::CalcClientRowFromPt(fw::Point pt, int* topOut) {
    const fw::Rect grid = GetGridRect();
    const ROWCOL count = GetRowCount();
    int top = grid.top;
    bool anySize = false;
    for (ROWCOL i = 0;; ++i) {
        const ROWCOL row = GetRowFromClientRow(i);
        if (row > count || top > pt.y || top >= grid.bottom + 1)
            break;
        const int h = GetRowHeight(row);
        anySize = anySize || h > 0;
        if (pt.y < top + h) {
            if (topOut)
                *topOut = top;
            return i;
        }
        top += h;
    }
    if (topOut)
        *topOut = top;
    return anySize ? GX_INVALID : 0;
}

ROWCOL CGXGridCore::CalcClientColFromPt(fw::Point pt, int* leftOut) {
    const fw::Rect grid = GetGridRect();
    const ROWCOL count = GetColCount();
    int left = grid.left;
    bool anySize = false;
    for (ROWCOL i = 0;; ++i) {
        const ROWCOL col = GetColFromClientCol(i);
        if (col > count || left > pt.x || left >= grid.right + 1)
            break;
        const int w = GetColWidth(col);
        anySize = anySize || w > 0;
        if (pt.x < left + w) {
            if (leftOut)
                *leftOut = left;
            return i;
        }
        left += w;
    }
    if (leftOut)
        *leftOut = left;
    return anySize ? GX_INVALID : 0;
}

bool CGXGridCore::CalcCellFromPoint(fw::Point pt, ROWCOL& row, ROWCOL& col, fw::Rect* rect) {
    if (pt.x < 0 || pt.y < 0) {
        row = col = 0;
        return false;
    }
    int top = 0, left = 0;
    const ROWCOL cr = CalcClientRowFromPt(pt, &top);
    const ROWCOL cc = CalcClientColFromPt(pt, &left);
    if (cr == GX_INVALID || cc == GX_INVALID) {
        row = cr == GX_INVALID ? GX_INVALID : GetRowFromClientRow(cr);
        col = cc == GX_INVALID ? GX_INVALID : GetColFromClientCol(cc);
        return false;
    }
    row = GetRowFromClientRow(cr);
    col = GetColFromClientCol(cc);
    if (rect)
        *rect = fw::Rect{left, top, left + GetColWidth(col), top + GetRowHeight(row)};
    return true;
}

bool CGXGridCore::CalcCellFromPointClamped(fw::Point pt, ROWCOL& row, ROWCOL& col) {
    CalcCellFromPoint(pt, row, col);
    if (row == GX_INVALID)
        row = GetLastVisibleRow();
    if (col == GX_INVALID)
        col = GetLastVisibleCol();
    return true;
}

ROWCOL CGXGridCore::CalcBottomRowFromRect(const fw::Rect& rect, bool* pastLast) {
    const ROWCOL cr = CalcClientRowFromPt({rect.left, rect.bottom - 1});
    if (pastLast)
        *pastLast = cr == GX_INVALID;
    return cr == GX_INVALID ? GetRowCount() : GetRowFromClientRow(cr);
}

ROWCOL CGXGridCore::CalcRightColFromRect(const fw::Rect& rect, bool* pastLast) {
    const ROWCOL cc = CalcClientColFromPt({rect.right - 1, rect.top});
    if (pastLast)
        *pastLast = cc == GX_INVALID;
    return cc == GX_INVALID ? GetColCount() : GetColFromClientCol(cc);
}

// --- cells to rectangles -----------------------------------------------------------------------

fw::Rect CGXGridCore::CalcClientRectFromRange(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                              bool unclipped) {
    if (top > bottom)
        std::swap(top, bottom);
    if (left > right)
        std::swap(left, right);
    const ROWCOL frozenRows = GetFrozenRows(), frozenCols = GetFrozenCols();
    const ROWCOL topRow = GetTopRow(), leftCol = GetLeftCol();
    const fw::Rect grid = GetGridRect();
    // Entirely in the scrolled-away part: nothing of it shows.
    if ((bottom > frozenRows && bottom < topRow) || (right > frozenCols && right < leftCol))
        return {};
    ROWCOL ct = top > frozenRows && top < topRow ? GetClientRow(topRow) : GetClientRow(top);
    ROWCOL cl = left > frozenCols && left < leftCol ? GetClientCol(leftCol) : GetClientCol(left);
    const ROWCOL cb = GetClientRow(bottom);
    const ROWCOL cr = GetClientCol(right);
    const int limitH = unclipped ? 0 : 2 * grid.Height();
    const int limitW = unclipped ? 0 : 2 * grid.Width();
    fw::Rect r;
    r.top = grid.top + (ct == 0 ? 0 : CalcSumOfClientRowHeights(0, ct - 1, limitH));
    r.left = grid.left + (cl == 0 ? 0 : CalcSumOfClientColWidths(0, cl - 1, limitW));
    r.bottom =
        r.top +
        (unclipped || r.top - grid.top <= limitH ? CalcSumOfClientRowHeights(ct, cb, limitH) : 0);
    r.right =
        r.left +
        (unclipped || r.left - grid.left <= limitW ? CalcSumOfClientColWidths(cl, cr, limitW) : 0);
    return r;
}

fw::Rect CGXGridCore::CalcRectFromRowCol(ROWCOL row, ROWCOL col) {
    return CalcClientRectFromRange(row, col, row, col);
}

fw::Rect CGXGridCore::CalcRectFromRowColEx(ROWCOL row, ROWCOL col) {
    // A covered cell takes the rectangle of its whole covering.
    CGXRange cover;
    if (GetCoveredCellsRowCol(row, col, cover))
        return CalcClientRectFromRange(cover.top, cover.left, cover.bottom, cover.right);
    return CalcRectFromRowCol(row, col);
}

fw::Rect CGXGridCore::CalcRectFromRange(const CGXRange& range) {
    CGXRange r = range;
    r.ResolveToCells(0, 0, GetRowCount(), GetColCount());
    return CalcClientRectFromRange(r.top, r.left, r.bottom, r.right);
}

fw::Rect CGXGridCore::CalcCellRectFromClientIndex(ROWCOL clientRow, ROWCOL clientCol) {
    const fw::Rect grid = GetGridRect();
    const int top = grid.top + (clientRow == 0 ? 0 : CalcSumOfClientRowHeights(0, clientRow - 1));
    const int left = grid.left + (clientCol == 0 ? 0 : CalcSumOfClientColWidths(0, clientCol - 1));
    return {left, top, left + GetColWidth(GetColFromClientCol(clientCol)),
            top + GetRowHeight(GetRowFromClientRow(clientRow))};
}
