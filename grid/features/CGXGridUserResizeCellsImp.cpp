#include "grid/features/CGXGridUserResizeCellsImp.h"

#include "framework/persist/StringTable.h"
#include "framework/window/Window.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Rows and columns through one set of calls: `rows` picks the direction.
struct Axis {
    CGXGridCore* g;
    bool rows;
    std::uint16_t Mask() const {
        return rows ? g->GetParam()->m_wAllowTrackRowHeight : g->GetParam()->m_wAllowTrackColWidth;
    }
    bool CanResize(ROWCOL i) const { return rows ? g->CanResizeRow(i) : g->CanResizeCol(i); }
    bool IsHidden(ROWCOL i) const { return rows ? g->IsRowHidden(i) : g->IsColHidden(i); }
    int Size(ROWCOL i) const { return rows ? g->GetRowHeight(i) : g->GetColWidth(i); }
    int Own(ROWCOL i) const { return rows ? g->GetOwnRowHeight(i) : g->GetOwnColWidth(i); }
    ROWCOL Headers() const { return rows ? g->GetHeaderRows() : g->GetHeaderCols(); }
    ROWCOL Count() const { return rows ? g->GetRowCount() : g->GetColCount(); }
    bool SetSize(ROWCOL first, ROWCOL last, int size) const {
        return rows ? g->SetRowHeight(first, last, size, nullptr, GX_UPDATENOW)
                    : g->SetColWidth(first, last, size, nullptr, GX_UPDATENOW);
    }
    bool Hide(ROWCOL first, ROWCOL last, bool hide) const {
        return rows ? g->HideRows(first, last, hide, nullptr, GX_UPDATENOW)
                    : g->HideCols(first, last, hide, nullptr, GX_UPDATENOW);
    }
    bool SetDefault(int size) const {
        return rows ? g->SetDefaultRowHeight(size, GX_UPDATENOW)
                    : g->SetDefaultColWidth(size, GX_UPDATENOW);
    }
    void Store(ROWCOL i, int size) const {
        if (rows)
            g->StoreRowHeight(i, size);
        else
            g->StoreColWidth(i, size);
    }
    // The selected spans of whole rows (columns).
    void Spans(std::vector<ROWCOL>& first, std::vector<ROWCOL>& last) const {
        if (rows)
            g->GetParam()->m_SelRects.GetRowSpans(Count(), first, last, true);
        else
            g->GetParam()->m_SelRects.GetColSpans(Count(), first, last, true);
    }
    bool TableSelected() const {
        for (const CGXRange& r : g->GetParam()->m_SelRects)
            if (r.IsTable())
                return true;
        return false;
    }
    bool Selected(ROWCOL i) const {
        std::vector<ROWCOL> first, last;
        Spans(first, last);
        for (std::size_t k = 0; k < first.size(); ++k)
            if (i >= first[k] && i <= last[k])
                return true;
        return false;
    }
    const char* TransText() const { return rows ? "Resizing Rows" : "Resizing Columns"; }
    std::string Trans() const {
        std::string s = fw::LoadString(rows ? 20172 : 20173);
        return s.empty() ? TransText() : s;
    }
};

bool IsColumnHit(int hit) {
    return hit == GX_HORZLINE_HIT || hit == GX_HIDDENCOL_HIT;
}
bool IsRowHit(int hit) {
    return hit == GX_VERTLINE_HIT || hit == GX_HIDDENROW_HIT;
}

// Shows a hidden run again. Columns may first be given an explicit width of the default size
// (the parameter object's m_bShowHiddenColWithWidth); otherwise, and always for rows, the hidden
// state and the own size are both cleared.
void ShowRun(const Axis& a, ROWCOL first, ROWCOL last) {
    if (!a.rows && a.g->GetParam()->m_bShowHiddenColWithWidth)
        a.SetSize(first, last, a.rows ? a.g->GetDefaultRowHeight() : a.g->GetDefaultColWidth());
    else
        a.SetSize(first, last, -1);
    a.Hide(first, last, false);
}

}  // namespace

bool CGXGridUserResizeCellsImp::OnTrackButtonDown(CGXGridCore* grid, int hit, fw::Point pt) {
    if (!grid->GetParam() || (!IsColumnHit(hit) && !IsRowHit(hit)))
        return false;
    const bool rows = IsRowHit(hit);
    ROWCOL row = 0, col = 0;
    grid->HitTest(pt, &row, &col);
    const Axis a{grid, rows};
    if ((a.Mask() & 0x03) == 0)
        return false;
    if (!StartTracking(grid, rows ? row : col, rows ? 1 : 2, pt))
        return false;
    grid->SetGridCapture();
    return true;
}

bool CGXGridUserResizeCellsImp::StartTracking(CGXGridCore* grid, ROWCOL index, int mode,
                                              fw::Point pt) {
    const Axis a{grid, mode == 1};
    const std::uint16_t mask = a.Mask();
    if (((mask & GX_TRACK_NOHEADERS) && index <= a.Headers()) || !a.CanResize(index))
        return false;
    m_track = Track{};
    m_track.mode = mode;
    m_track.index = index;
    m_track.sizeBefore = a.Size(index);
    m_track.ownBefore = a.Own(index);
    m_track.hiddenBefore = a.IsHidden(index);
    m_track.start = mode == 1 ? pt.y : pt.x;
    m_track.live = (mask & GX_TRACK_LIVE) != 0;
    m_track.follow = (mask & GX_TRACK_FOLLOW) && !m_track.live;
    grid->SetTracking(mode, index);
    if (!(mask & GX_TRACK_NOSTARTREDRAW) && !m_track.live && grid->GridWnd())
        grid->GridWnd()->Invalidate();
    return true;
}

void CGXGridUserResizeCellsImp::OnTrackMouseMove(CGXGridCore* grid, fw::Point pt) {
    if (m_track.mode == 0)
        return;
    const int pos = m_track.mode == 1 ? pt.y : pt.x;
    if (pos != m_track.start)
        m_track.moved = true;
    MoveTracking(grid, pos - m_track.start);
}

void CGXGridUserResizeCellsImp::MoveTracking(CGXGridCore* grid, int offset) {
    const Axis a{grid, m_track.mode == 1};
    const int size = std::max(0, m_track.sizeBefore + offset);
    if (m_track.live) {
        if (size == 0)
            a.Hide(m_track.index, m_track.index, true);
        else
            a.SetSize(m_track.index, m_track.index, size);
    } else if (m_track.follow) {
        // Shown as it follows the mouse; the recorded change is made when the button goes up.
        a.Store(m_track.index, size);
        grid->Redraw(GX_UPDATENOW);
    }
}

void CGXGridUserResizeCellsImp::RestoreSizeBefore(CGXGridCore* grid) {
    if (!m_track.follow)
        return;
    const Axis a{grid, m_track.mode == 1};
    a.Store(m_track.index, m_track.ownBefore);
}

void CGXGridUserResizeCellsImp::CancelTracking(CGXGridCore* grid) {
    if (m_track.mode == 0)
        return;
    RestoreSizeBefore(grid);
    m_track.mode = 0;
    grid->SetTracking(0, 0);
    grid->Redraw(GX_UPDATENOW);
}

void CGXGridUserResizeCellsImp::OnTrackButtonUp(CGXGridCore* grid, fw::Point pt) {
    if (m_track.mode == 0)
        return;
    const int pos = m_track.mode == 1 ? pt.y : pt.x;
    if (pos != m_track.start)
        m_track.moved = true;
    EndTracking(grid, pos - m_track.start);
}

void CGXGridUserResizeCellsImp::EndTracking(CGXGridCore* grid, int offset) {
    const Track t = m_track;
    m_track.mode = 0;
    grid->SetTracking(0, 0);
    RestoreSizeBefore(grid);
    const Axis a{grid, t.mode == 1};
    if (t.live || !t.moved || std::abs(offset) <= 1) {
        grid->Redraw(GX_UPDATENOW);
        return;
    }
    const int size = t.sizeBefore + offset;
    const ROWCOL i = t.index;
    if ((a.Mask() & GX_TRACK_DEFAULT_SIZE) && i != 0) {
        a.SetDefault(std::max(1, size));
    } else if (!a.Selected(i)) {
        if (size < 1) {
            a.Hide(i, i, true);
        } else if (a.IsHidden(i)) {
            // Shown again and sized: one step to undo.
            grid->BeginTrans(a.Trans().c_str());
            a.Hide(i, i, false);
            a.SetSize(i, i, size);
            grid->CommitTrans();
        } else {
            a.SetSize(i, i, size);
        }
    } else if (a.TableSelected()) {
        a.SetDefault(std::max(1, size));
    } else {
        std::vector<ROWCOL> first, last;
        a.Spans(first, last);
        grid->BeginTrans(a.Trans().c_str());
        for (std::size_t k = first.size(); k-- > 0;) {
            if (size < 1)
                a.Hide(first[k], last[k], true);
            else
                a.SetSize(first[k], last[k], size);
        }
        grid->CommitTrans();
    }
    if (grid->GridWnd())
        grid->GridWnd()->UpdateWindow();
}

bool CGXGridUserResizeCellsImp::OnTrackDblClick(CGXGridCore* grid, int hit, fw::Point pt) {
    if (!grid->GetParam() || (!IsColumnHit(hit) && !IsRowHit(hit)))
        return false;
    const Axis a{grid, IsRowHit(hit)};
    ROWCOL row = 0, col = 0;
    grid->HitTest(pt, &row, &col);
    const ROWCOL i = a.rows ? row : col;
    if ((a.Mask() & 0x03) == 0 || !a.CanResize(i))
        return false;
    if ((a.Mask() & GX_TRACK_DEFAULT_SIZE) && i != 0)
        return false;
    ROWCOL at = GX_INVALID;
    if (a.IsHidden(i))
        at = i;
    else if (i < a.Count() && a.IsHidden(i + 1) && a.CanResize(i + 1))
        at = i + 1;
    if (at != GX_INVALID) {
        ROWCOL first = at, last = at;
        while (first > 1 && a.IsHidden(first - 1) && a.CanResize(first - 1)) --first;
        while (last < a.Count() && a.IsHidden(last + 1) && a.CanResize(last + 1)) ++last;
        grid->BeginTrans(a.Trans().c_str());
        ShowRun(a, first, last);
        grid->CommitTrans();
        return true;
    }
    if (i == 0 || !a.Selected(i)) {
        a.SetSize(i, i, -1);
        return true;
    }
    if (a.TableSelected())
        return true;
    std::vector<ROWCOL> first, last;
    a.Spans(first, last);
    grid->BeginTrans(a.Trans().c_str());
    for (std::size_t k = first.size(); k-- > 0;) {
        bool hidden = true;
        for (ROWCOL j = first[k]; j <= last[k] && hidden; ++j) hidden = a.IsHidden(j);
        if (hidden)
            ShowRun(a, first[k], last[k]);
        else
            a.SetSize(first[k], last[k], -1);
    }
    grid->CommitTrans();
    return true;
}
