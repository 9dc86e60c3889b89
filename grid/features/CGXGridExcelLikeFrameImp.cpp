#include "grid/features/CGXGridExcelLikeFrameImp.h"

#include "framework/drawing/DeviceContext.h"
#include "framework/window/Window.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/features/CGXGridUpdateHintImp.h"

#include <algorithm>

namespace {

constexpr fw::ColorRef kFrameColor = 0x000000;

bool FrameWanted(CGXGridCore* grid) {
    const CGXGridParam* p = grid->GetParam();
    return p && p->m_bExcelLikeSelectionFrame;
}

// Which sides of the range show: a side scrolled away or past the visible area is left out.
unsigned VisibleSides(CGXGridCore* grid, const CGXRange& r) {
    using F = CGXGridExcelLikeFrameImp;
    const auto rowShows = [&](ROWCOL row) {
        return row <= grid->GetFrozenRows() ||
               (row >= grid->GetTopRow() && row <= grid->GetLastVisibleRow());
    };
    const auto colShows = [&](ROWCOL col) {
        return col <= grid->GetFrozenCols() ||
               (col >= grid->GetLeftCol() && col <= grid->GetLastVisibleCol());
    };
    unsigned sides = 0;
    if (colShows(r.left))
        sides |= F::kLeft;
    if (colShows(r.right))
        sides |= F::kRight;
    if (rowShows(r.top))
        sides |= F::kTop;
    if (rowShows(r.bottom))
        sides |= F::kBottom;
    return sides;
}

}  // namespace

std::vector<fw::Rect> CGXGridExcelLikeFrameImp::FramePieces(const fw::Rect& rc, unsigned sides,
                                                            int type) {
    std::vector<fw::Rect> out;
    const int l = rc.left, t = rc.top, r = rc.right, b = rc.bottom;
    if (sides & kLeft) {
        out.push_back({l - 1, t - 1, l + 1, b + 1});
        out.push_back({l + 1, t + 1, l + 2, b - 1});
    }
    if (sides & kRight) {
        out.push_back({r - 1, t - 1, r + 1, b + 1});
        out.push_back({r - 2, t + 1, r - 1, b - 1});
    }
    if (sides & kTop) {
        out.push_back({l - 1, t - 1, r + 1, t + 1});
        out.push_back({l + 1, t + 1, r - 1, t + 2});
    }
    if (sides & kBottom) {
        out.push_back({l - 1, b - 1, r + 1, b + 1});
        out.push_back({l + 1, b - 2, r - 1, b - 1});
    }
    // The handle: a plus of 5 by 5 on the corner, and one unit diagonally outside it.
    const bool right = type != GX_FRAME_ROWS, bottom = type != GX_FRAME_COLS;
    if ((sides & (right ? kRight : kLeft)) && (sides & (bottom ? kBottom : kTop))) {
        const int cx = right ? r : l, cy = bottom ? b : t;
        out.push_back({cx - 1, cy - 2, cx + 2, cy + 3});
        out.push_back({cx - 2, cy - 1, cx + 3, cy + 2});
        const int dx = right ? 2 : -3, dy = bottom ? 2 : -3;
        out.push_back({cx + dx, cy + dy, cx + dx + 1, cy + dy + 1});
    }
    return out;
}

void CGXGridExcelLikeFrameImp::DrawSelectionFrame(CGXGridCore* grid, fw::DeviceContext* dc,
                                                  const CGXRange& range, int type, bool erase) {
    if (erase) {
        InvalidateFrame(grid);
        return;
    }
    if (!dc || !FrameWanted(grid) || grid->IsPrinting())
        return;
    const fw::Rect rect =
        grid->CalcClientRectFromRange(range.top, range.left, range.bottom, range.right);
    if (rect.IsEmpty())
        return;
    const int saved = dc->SaveDC();
    dc->IntersectClipRect(grid->GetGridRect());
    for (const fw::Rect& piece : FramePieces(rect, VisibleSides(grid, range), type))
        dc->FillSolidRect(piece, kFrameColor);
    dc->RestoreDC(saved);
}

void CGXGridExcelLikeFrameImp::InvalidateFrame(CGXGridCore* grid) {
    fw::Window* wnd = grid->GridWnd();
    if (!grid->m_bFrameShown || !wnd || !grid->IsInitialized() || !FrameWanted(grid))
        return;
    const CGXRange& r = grid->m_frameRange;
    fw::Rect rect = grid->CalcClientRectFromRange(r.top, r.left, r.bottom, r.right);
    if (rect.IsEmpty())
        return;
    rect.Inflate(4, 4);
    wnd->InvalidateRect(rect, false);
}

void CGXGridExcelLikeFrameImp::UpdateSelectionFrame(CGXGridCore* grid, const CGXRange* range) {
    InvalidateFrame(grid);
    grid->m_bFrameShown = false;
    if (!range || grid->GetRowCount() == 0 || grid->GetColCount() == 0)
        return;
    CGXRange r(*range);
    grid->m_nFrameType = r.IsRows() ? GX_FRAME_ROWS : r.IsCols() ? GX_FRAME_COLS : GX_FRAME_CELLS;
    r.ResolveToCells(grid->GetHeaderRows() + 1, grid->GetHeaderCols() + 1, grid->GetRowCount(),
                     grid->GetColCount());
    r.top = std::max(r.top, grid->GetHeaderRows() + 1);
    r.left = std::max(r.left, grid->GetHeaderCols() + 1);
    if (r.top > r.bottom || r.left > r.right)
        return;
    grid->m_frameRange = r;
    grid->m_bFrameShown = true;
    InvalidateFrame(grid);
}

void CGXGridExcelLikeFrameImp::RedrawSelectionFrame(CGXGridCore* grid) {
    InvalidateFrame(grid);
}

bool CGXGridExcelLikeFrameImp::LockSelectionFrame(CGXGridCore* grid, bool lock, bool hint) {
    const bool old = grid->m_bFrameLocked;
    grid->m_bFrameLocked = lock;
    const CGXGridParam* p = grid->GetParam();
    if (old != lock && !(p && p->m_bLockUpdate) && grid->GridWndIsVisible())
        InvalidateFrame(grid);
    // The other views of the document show the same frame and follow the lock.
    if (hint && old != lock && grid->IsHintsEnabled())
        if (auto* hints = dynamic_cast<CGXGridUpdateHintImp*>(grid->GetUpdateHintImp()))
            hints->HintLockSelectionFrame(grid, lock);
    return old;
}
