#include "grid/features/CGXGridExcelLikeFillImp.h"

#include "framework/drawing/DeviceContext.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/CGXCommandFactory.h"

#include <algorithm>
#include <memory>

namespace {

constexpr unsigned kFillValues = 0x01, kFillStyles = 0x02;

// The selected cell range that holds the cell, the one added last first; null when the cell
// lies in no range or its range is not a cell range.
const CGXRange* CellRangeAt(const CGXGridParam& p, ROWCOL row, ROWCOL col) {
    const CGXRange* found = nullptr;
    for (const CGXRange& r : p.m_SelRects) {
        CGXRange cells(r);
        cells.ResolveToCells(1, 1, GX_MAXROWCOL, GX_MAXROWCOL);
        if (cells.ContainsCell(row, col))
            found = &r;
    }
    return found && found->IsCells() ? found : nullptr;
}

std::string CopyText(CGXGridCore* grid, ROWCOL row, ROWCOL col) {
    if (auto* text = grid->GetTextDataExchangeImp())
        return text->GetCopyTextRowCol(grid, row, col);
    return grid->GetValueRowCol(row, col);
}

}  // namespace

bool CGXGridExcelLikeFillImp::OnFillButtonDown(CGXGridCore* grid, ROWCOL row, ROWCOL col) {
    const CGXGridParam* p = grid->GetParam();
    if (!p || row == 0 || col == 0)
        return false;
    // A cell scrolled out above or left of the visible area cannot start a fill.
    if ((row > grid->GetFrozenRows() && row < grid->GetTopRow()) ||
        (col > grid->GetFrozenCols() && col < grid->GetLeftCol()))
        return false;
    const CGXRange* source = CellRangeAt(*p, row, col);
    if (!source || !grid->CanStartFill(*source))
        return false;
    grid->TransferCurrentCell(true, GX_CCUPDATENOW, true);
    m_bFilling = grid->m_bFilling = true;
    m_source = *source;
    m_target = CGXRange();
    m_frame = {};
    return true;
}

CGXRange CGXGridExcelLikeFillImp::TargetFor(CGXGridCore* grid, const CGXRange& s,
                                            const fw::Rect& rect, fw::Point pt, ROWCOL row,
                                            ROWCOL col) {
    // How far the point lies outside the block on each side (0 when it does not).
    const int left = std::max(0, rect.left - pt.x), right = std::max(0, pt.x - rect.right + 1);
    const int up = std::max(0, rect.top - pt.y), down = std::max(0, pt.y - rect.bottom + 1);
    const int horz = std::max(left, right), vert = std::max(up, down);
    row = std::clamp<ROWCOL>(row, 1, std::max<ROWCOL>(grid->GetRowCount(), 1));
    col = std::clamp<ROWCOL>(col, 1, std::max<ROWCOL>(grid->GetColCount(), 1));
    const fw::Rect cell = grid->CalcRectFromRowCol(row, col);
    const bool lowerHalf = pt.y >= (cell.top + cell.bottom) / 2;
    const bool rightHalf = pt.x >= (cell.left + cell.right) / 2;
    if (horz == 0 && vert == 0) {
        // Inside: the block shrinks along the dimension where more is cut off.
        const ROWCOL rowsCut = s.bottom - std::clamp(row, s.top, s.bottom);
        const ROWCOL colsCut = s.right - std::clamp(col, s.left, s.right);
        if (rowsCut == 0 && colsCut == 0)
            return s;
        return rowsCut >= colsCut ? CGXRange(s.top, s.left, s.bottom - rowsCut, s.right)
                                  : CGXRange(s.top, s.left, s.bottom, s.right - colsCut);
    }
    if (vert >= horz) {
        if (up > 0) {
            const ROWCOL top = std::min(lowerHalf ? row + 1 : row, s.top);
            return CGXRange(top, s.left, s.bottom, s.right);
        }
        const ROWCOL bottom = std::max(lowerHalf || row == 0 ? row : row - 1, s.bottom);
        return CGXRange(s.top, s.left, bottom, s.right);
    }
    if (left > 0) {
        const ROWCOL leftCol = std::min(rightHalf ? col + 1 : col, s.left);
        return CGXRange(s.top, leftCol, s.bottom, s.right);
    }
    const ROWCOL rightCol = std::max(rightHalf ? col : col - 1, s.right);
    return CGXRange(s.top, s.left, s.bottom, rightCol);
}

void CGXGridExcelLikeFillImp::OnFillMouseMove(CGXGridCore* grid, fw::Point pt, ROWCOL row,
                                              ROWCOL col) {
    if (!m_bFilling)
        return;
    const fw::Rect rect =
        grid->CalcClientRectFromRange(m_source.top, m_source.left, m_source.bottom, m_source.right);
    const CGXRange target = TargetFor(grid, m_source, rect, pt, row, col);
    DrawFillFrame(grid, &target);
}

void CGXGridExcelLikeFillImp::XorFrame(CGXGridCore* grid, const fw::Rect& rect) {
    fw::DeviceContext* dc = grid->AcquireGridDC();
    if (!dc)
        return;
    fw::Rect inner = rect;
    inner.Inflate(-1, -1);
    dc->DrawFocusRect(rect);
    dc->DrawFocusRect(inner);
    grid->ReleaseGridDC();
}

void CGXGridExcelLikeFillImp::DrawFillFrame(CGXGridCore* grid, const CGXRange* range) {
    if (range && m_target.IsValid() && *range == m_target)
        return;
    if (!m_frame.IsEmpty())
        XorFrame(grid, m_frame);
    m_frame = {};
    m_target = CGXRange();
    if (!range || !grid->CanFillTo(*range))
        return;
    m_target = *range;
    fw::Rect rect =
        grid->CalcClientRectFromRange(range->top, range->left, range->bottom, range->right);
    // The frame sits on the grid lines around the cells.
    rect.left -= 1;
    rect.top -= 1;
    rect = fw::Intersect(rect, grid->GetGridRect());
    if (rect.IsEmpty())
        return;
    m_frame = rect;
    XorFrame(grid, m_frame);
}

void CGXGridExcelLikeFillImp::OnFillButtonUp(CGXGridCore* grid) {
    if (!m_bFilling)
        return;
    const CGXRange target = m_target, source = m_source;
    DrawFillFrame(grid, nullptr);
    m_bFilling = grid->m_bFilling = false;
    if (!target.IsValid() || target == source)
        return;
    grid->SetSelection(nullptr);
    grid->DoFill(target, source);
    SelectFilledRange(grid, target);
}

void CGXGridExcelLikeFillImp::CancelFill(CGXGridCore* grid) {
    DrawFillFrame(grid, nullptr);
    m_bFilling = grid->m_bFilling = false;
}

void CGXGridExcelLikeFillImp::SelectFilledRange(CGXGridCore* grid, const CGXRange& range) {
    grid->SelectRange(range, true, true);
}

bool CGXGridExcelLikeFillImp::DoFill(CGXGridCore* grid, const CGXRange& target,
                                     const CGXRange& source) {
    const CGXGridParam* p = grid->GetParam();
    const unsigned options = p ? p->m_wExcelLikeFillFlags & (kFillValues | kFillStyles) : 0;
    if (target == source || options == 0 || !target.IsValid() || !source.IsValid())
        return false;
    // The whole fill, clearing or repeating, is undone as one step.
    const bool transaction = grid->BeginTrans(GXLibraryText(20178).c_str());
    const bool styles = (options & kFillStyles) != 0;
    if (target.bottom < source.bottom) {
        CGXRangeList cut;
        cut.AddTail(CGXRange(target.bottom + 1, target.left, source.bottom, target.right));
        grid->ClearCells(cut, styles);
    } else if (target.right < source.right) {
        CGXRangeList cut;
        cut.AddTail(CGXRange(target.top, target.right + 1, target.bottom, source.right));
        grid->ClearCells(cut, styles);
    } else {
        RepeatSource(grid, target, source, options);
    }
    if (transaction)
        grid->CommitTrans();
    return true;
}

void CGXGridExcelLikeFillImp::RepeatSource(CGXGridCore* grid, const CGXRange& target,
                                           const CGXRange& s, unsigned options) {
    const bool vertical = target.left == s.left && target.right == s.right;
    // The new rows (columns) and, for each, the source row (column) it takes: the source's
    // rows in turn from its top, starting again after its bottom.
    ROWCOL from, to;
    if (vertical) {
        from = target.bottom > s.bottom ? s.bottom + 1 : target.top;
        to = target.bottom > s.bottom ? target.bottom : s.top - 1;
    } else {
        from = target.right > s.right ? s.right + 1 : target.left;
        to = target.right > s.right ? target.right : s.left - 1;
    }
    if (from > to)
        return;
    const ROWCOL span = vertical ? s.GetHeight() : s.GetWidth();
    const ROWCOL cross0 = vertical ? s.left : s.top, cross1 = vertical ? s.right : s.bottom;
    const CGXRange done =
        vertical ? CGXRange(from, cross0, to, cross1) : CGXRange(cross0, from, cross1, to);
    // The cells' old styles go into the fill's transaction before they are overwritten.
    if (grid->IsRecordingUndo(0))
        grid->AddCommand(
            std::make_unique<CGXSetStyleRangeCmd>(done, 0, GXSaveCellStyles(grid, done)), 0);
    for (ROWCOL i = from; i <= to; ++i) {
        const ROWCOL src = (vertical ? s.top : s.left) + (i - from) % span;
        for (ROWCOL k = cross0; k <= cross1; ++k) {
            const ROWCOL srcRow = vertical ? src : k, srcCol = vertical ? k : src;
            const ROWCOL row = vertical ? i : k, col = vertical ? k : i;
            if (options & kFillStyles) {
                CGXStyle style;
                grid->GetStyleRowCol(srcRow, srcCol, style, gxCopy, 0);
                grid->SetStyleRange(CGXRange(row, col), &style, gxCopy, 0, nullptr, 0, 1);
            } else {
                CGXStyle value;
                value.SetValue(CopyText(grid, srcRow, srcCol));
                grid->SetStyleRange(CGXRange(row, col), &value, gxOverride, 0, nullptr, 0, 1);
            }
        }
    }
    grid->RedrawRowCol(done.top, done.left, done.bottom, done.right, GX_INVALIDATE);
}
