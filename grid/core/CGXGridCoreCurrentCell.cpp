// The current cell and the editing cycle of its control: setting and leaving the cell (store,
// validate, end editing), moving it by keys and records, cancelling an edit, the warning box and
// what happens to an edit when the grid gains or loses the focus.
//
// Focus changes and modal boxes re-enter these operations (a box takes the focus, the grid sees
// a kill-focus while a cell is being left), so the lock and busy flags are held by scope guards:
// every way out of an operation, refused or not, gives them back as they were.
#include "framework/dialogs/MessageBox.h"
#include "framework/window/InputPump.h"
#include "framework/window/Window.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXRange.h"
#include "grid/core/GXFlagScope.h"

#include <algorithm>
#include <climits>

// --- accessors -----------------------------------------------------------------------------------

bool CGXGridCore::GetCurrentCell(ROWCOL& row, ROWCOL& col, bool ignorePrinting) const {
    row = m_nCurrentRow;
    col = m_nCurrentCol;
    if (m_nCurrentRow == GX_INVALID || m_nCurrentCol == GX_INVALID)
        return false;
    return ignorePrinting || !m_bPrintInProgress;
}

bool CGXGridCore::GetCurrentCell(ROWCOL& row, ROWCOL& col, bool ignorePrinting) {
    const CGXGridCore& self = *this;
    if (!self.GetCurrentCell(row, col, true))
        return false;
    if (row > GetRowCount() || col > GetColCount()) {
        // The cell went with removed rows or columns: forget it, and unbind its control so that
        // no editing window stays behind.
        m_nCurrentRow = m_nCurrentCol = GX_INVALID;
        if (m_pCurrentCellControl && m_pCurrentCellControl->m_bInit)
            m_pCurrentCellControl->Reset();
        m_pCurrentCellControl = nullptr;
        if (!m_bLockCurrentCell)
            m_pCurrentCellStyle.reset();
        return false;
    }
    return ignorePrinting || !m_bPrintInProgress;
}

bool CGXGridCore::IsCurrentCell(ROWCOL row, ROWCOL col, bool ignorePrinting) const {
    if (m_bPrintInProgress && !ignorePrinting)
        return false;
    if (m_nCurrentRow == GX_INVALID || m_nCurrentCol == GX_INVALID)
        return false;
    return (row == GX_INVALID || row == m_nCurrentRow) &&
           (col == GX_INVALID || col == m_nCurrentCol);
}

void CGXGridCore::StoreCurrentCell(bool set, ROWCOL row, ROWCOL col) {
    m_nCurrentRow = m_nCurrentCol = GX_INVALID;
    if (!set)
        return;
    m_pCurrentCellControl = GetControl(row, col);
    if (!m_bLockCurrentCell)
        m_pCurrentCellStyle.reset();
    m_nCurrentRow = row;
    m_nCurrentCol = col;
    if (m_pParam) {
        m_pParam->m_nCurrentRow = row;
        m_pParam->m_nCurrentCol = col;
    }
    LookupStyleRowCol(row, col);
}

bool CGXGridCore::IsActiveCurrentCell() {
    if (m_bPrintInProgress)
        return false;
    CGXControl* control = GetCurrentCellControl();
    return control && control->IsActive();
}

CGXControl* CGXGridCore::GetCurrentCellControl() {
    ROWCOL row, col;
    if (!GetCurrentCell(row, col, true))
        return nullptr;
    return GetControl(row, col);
}

CGXControl* CGXGridCore::GetControl(ROWCOL row, ROWCOL col) {
    if (m_pCurrentCellControl && IsCurrentCell(row, col, true))
        return m_pCurrentCellControl;
    return GetRegisteredControl(LookupStyleRowCol(row, col).GetControl());
}

// --- focus helpers -------------------------------------------------------------------------------

bool CGXGridCore::IsGridOrChild(const fw::Window* wnd) const {
    return wnd && m_pGridWnd && (wnd == m_pGridWnd || wnd->IsChildOf(m_pGridWnd));
}

void CGXGridCore::FlushGridKeyInput() {
    if (fw::Window* focus = fw::Window::GetFocus())
        fw::FlushKeyInput(*focus);
    if (m_pGridWnd)
        fw::FlushKeyInput(*m_pGridWnd);
}

void CGXGridCore::GiveFocusBack(fw::WindowHandle focus, bool controlActive) {
    // The window may have gone while a box was open: it is found by its handle or not at all.
    fw::Window* wnd = fw::Window::FromHandle(focus);
    if (!m_sWarningText.empty() || !wnd || !wnd->isVisible() || !controlActive)
        return;
    wnd->SetFocus();
    if (IsGridOrChild(wnd))
        m_bGridHasFocus = true;
}

// --- setting the current cell
// ---------------------------------------------------------------------

bool CGXGridCore::LeaveCurrentCell(CGXControl& control, ROWCOL oldRow, ROWCOL oldCol, ROWCOL row,
                                   ROWCOL col, unsigned flags, int changeClass) {
    std::string text;
    const bool wasModified = control.GetModify();
    if (control.m_bInit)
        control.GetCurrentText(text);

    GXFlagScope busy(m_bCCBusy, true);
    m_bFocusLost = false;
    fw::Window* focusWnd = fw::Window::GetFocus();
    const fw::WindowHandle focus = focusWnd ? focusWnd->Handle() : fw::WindowHandle{};
    if (control.IsActive() && IsGridOrChild(focusWnd))
        FlushGridKeyInput();

    if (!CanSelectCurrentCell(false, row, col, oldRow, oldCol)) {
        GiveFocusBack(focus, control.IsActive());
        ShowWarningText();
        control.Refresh();
        return false;
    }

    ResetRecalcError();
    bool proceed = true;
    bool stored = false;
    if (wasModified) {
        stored = control.Store();
        proceed = stored;
    }
    if (proceed && control.m_bInit) {
        proceed = control.OnEndEditing() && proceed;
        if (wasModified) {
            SetRecalcMode(false);
            Recalc(false, nullptr, true);
        }
    }
    if (m_sWarningText.empty()) {
        GetRecalcError(m_sWarningText);
        ResetRecalcError();
    }
    if (m_bFocusLost)
        m_bWarningShown = true;

    if (!proceed) {
        // The value stays in the cell as typed, with the cell current and editing.
        const bool active = control.IsActive();
        GiveFocusBack(focus, active);
        ShowWarningText();
        StoreCurrentCell(true, oldRow, oldCol);
        control.Hide();
        if (!control.m_bInit)
            control.Init(oldRow, oldCol);
        control.SetActive(true);
        control.SetModify(true);
        control.SetCurrentText(text);
        if (stored)
            RedrawRowCol(oldRow, oldCol, oldRow, oldCol, flags, true);
        else
            control.Refresh();
        return false;
    }

    StoreCurrentCell(false);
    if (control.m_bInit)
        control.Hide();
    control.SetActive(false);
    const bool left = control.OnLeftCell(row, col);
    GXFlagScope lock(m_bLockCurrentCell, m_bLockCurrentCell);
    if (!m_sWarningText.empty())
        ShowWarningText();
    if (left) {
        m_bLockCurrentCell = true;
        MarkEditHeader(oldRow, oldCol, changeClass, flags);
        if (stored)
            RedrawRowCol(oldRow, oldCol, oldRow, oldCol, flags ? flags : GX_INVALIDATE, true);
        else
            control.Refresh();
    }
    control.Reset();
    if ((flags & (GX_CCUPDATENOW | GX_CCSMART)) && m_pGridWnd)
        m_pGridWnd->UpdateWindow();
    return true;
}

void CGXGridCore::DrawNewCurrentCell(CGXControl& control, ROWCOL row, ROWCOL col, bool changed) {
    if (m_pParam && m_pParam->m_nCurrentCellDrawing == 1)
        return;
    if (m_bRefreshOnSetCurrentCell || control.IsActive() || !changed ||
        (m_pParam && m_pParam->m_nActivateCell == 4)) {
        control.Refresh();
        return;
    }
    // The new cell is drawn with its frame on the next paint of its rectangle alone.
    RedrawRowCol(row, col, row, col, GX_INVALIDATE);
}

bool CGXGridCore::SetCurrentCell(ROWCOL row, ROWCOL col, unsigned flags) {
    if (!m_bInitDone)
        return false;
    PrepareRowCol(row, col);
    CGXRange covering;
    if (GetCoveredCellsRowCol(row, col, covering)) {
        row = covering.top;
        col = covering.left;
    }

    ROWCOL oldRow = GX_INVALID, oldCol = GX_INVALID;
    const bool hadOld = GetCurrentCell(oldRow, oldCol, true);
    CGXControl* oldControl = hadOld ? GetControl(oldRow, oldCol) : nullptr;
    int changeClass = 0;
    if (hadOld && oldRow > GetHeaderRows() && oldCol > GetHeaderCols()) {
        if (oldRow == row && oldCol != col)
            changeClass = 1;
        else if (oldRow != row && oldCol == col)
            changeClass = 2;
        else if (oldRow == row && oldCol == col && row != 0 && col != 0)
            changeClass = -1;
    }

    bool failed = false;
    if (oldControl)
        failed = !LeaveCurrentCell(*oldControl, oldRow, oldCol, row, col, flags, changeClass);

    bool selected = false;
    if (!failed) {
        {
            const bool same = IsCurrentCell(row, col, true);
            CGXControl* sameControl = same ? GetControl(row, col) : nullptr;
            if (sameControl && sameControl->IsActive()) {
                if (!ScrollCellInView(row, col, flags))
                    sameControl->Refresh();
            } else if (row <= GetRowCount() && col <= GetColCount() &&
                       ((same && sameControl) ||
                        CanSelectCurrentCell(true, row, col, oldRow, oldCol))) {
                const bool changed = row != oldRow || col != oldCol;
                if (UpdatesLocked()) {
                    StoreCurrentCell(true, row, col);
                    if (m_pCurrentCellControl)
                        m_pCurrentCellControl->Init(row, col);
                } else {
                    selected = m_pParam && m_pParam->m_SelRects.ContainsCell(row, col);
                    if (!(flags & GX_CCNOSETFOCUS) && GridWndIsVisible() &&
                        fw::Window::GetFocus() != m_pGridWnd) {
                        GXFlagScope setting(m_bSettingFocus, true);
                        m_pGridWnd->SetFocus();
                    }
                    StoreCurrentCell(true, row, col);
                    if (CGXControl* control = m_pCurrentCellControl) {
                        control->Init(row, col);
                        if (flags & GX_CCDISPLAYEDIT)
                            control->SetActive(true);
                        DrawNewCurrentCell(*control, row, col, changed);
                    }
                    if (flags & GX_CCSCROLLINVIEW)
                        ScrollCellInView(row, col, flags & (GX_CCUPDATENOW | GX_CCSMART));
                }
            } else {
                // A cell beyond the counts or one that refuses selection: the old cell comes
                // back when it still accepts it.
                if (oldControl &&
                    CanSelectCurrentCell(true, oldRow, oldCol, GX_INVALID, GX_INVALID)) {
                    StoreCurrentCell(true, oldRow, oldCol);
                    MarkEditHeader(oldRow, oldCol, 0, GX_CCUPDATENOW);
                    if (m_pCurrentCellControl) {
                        m_pCurrentCellControl->Init(oldRow, oldCol);
                        m_pCurrentCellControl->Refresh();
                    }
                }
                failed = true;
            }
        }
    }

    if (!failed) {
        if ((flags & (GX_CCUPDATENOW | GX_CCSMART)) && m_pGridWnd)
            m_pGridWnd->UpdateWindow();
        if (changeClass != -1)
            MarkEditHeader(row, col, changeClass, flags);
        if (m_pParam && m_pParam->m_bSyncCurrentCell && !(flags & GX_CCKEEPSELECTION) &&
            !selected) {
            SetSelection(nullptr);
            if (row > GetHeaderRows() && col > GetHeaderCols())
                SelectRange(CGXRange(row, col), true, true);
        }
        // The other views move their current cell too, without scrolling, taking the focus,
        // touching the selection or passing the move on.
        if (auto* f = GetUpdateHintImp(); f && m_bHintsEnabled && m_pParam &&
                                          m_pParam->m_bCurrentCellHints && !(flags & GX_CCNOHINT)) {
            f->HintSetCurrentCell(
                this, row, col,
                (flags & ~GX_CCSCROLLINVIEW) | GX_CCNOSETFOCUS | GX_CCNOHINT | GX_CCKEEPSELECTION);
        }
    }
    return !failed;
}

void CGXGridCore::ResetCurrentCell() {
    if (m_nCurrentRow == GX_INVALID)
        return;
    const ROWCOL row = m_nCurrentRow, col = m_nCurrentCol;
    if (m_pCurrentCellControl)
        m_pCurrentCellControl->Reset();
    m_pCurrentCellControl = nullptr;
    m_pCurrentCellStyle.reset();
    m_nCurrentRow = m_nCurrentCol = GX_INVALID;
    FreeObjectCache();
    RedrawRowCol(row, col, row, col, GX_INVALIDATE);
}

bool CGXGridCore::CanSelectCurrentCell(bool select, ROWCOL row, ROWCOL col, ROWCOL oldRow,
                                       ROWCOL oldCol) {
    if (select) {
        if (row > GetRowCount() || col > GetColCount())
            return false;
        const CGXStyle& style = LookupStyleRowCol(row, col);
        return !style.GetIncludeEnabled() || style.GetEnabled();
    }
    if (oldRow == GX_INVALID || oldCol == GX_INVALID)
        return true;
    CGXControl* control = GetControl(oldRow, oldCol);
    m_sWarningText.clear();
    if (control && control->GetModify())
        return control->OnValidate();
    return true;
}

bool CGXGridCore::TransferCurrentCell(bool save, unsigned flags, bool notify) {
    bool result = TransferOwnCurrentCell(save, flags);
    if (auto* f = GetUpdateHintImp(); notify && m_bHintsEnabled && f)
        result = f->HintStoreCurrentCell(this, save, flags) && result;
    return result;
}

bool CGXGridCore::TransferOwnCurrentCell(bool save, unsigned flags) {
    bool result = true;
    ROWCOL row, col;
    if (!GetCurrentCell(row, col, true))
        return result;
    CGXControl* control = GetControl(row, col);
    if (save) {
        if (control && control->IsActive())
            result = SetCurrentCell(row, col, flags);
        if (!m_bLockCurrentCell) {
            m_pCurrentCellStyle.reset();
            m_pCurrentCellControl = nullptr;
        }
        return result;
    }
    if (!m_bLockCurrentCell) {
        m_pCurrentCellStyle.reset();
        m_pCurrentCellControl = nullptr;
    }
    control = GetControl(row, col);
    if (!control)
        return result;
    if (control->IsActive())
        result = control->OnCancelEditing();
    control->Init(row, col);
    control->Refresh();
    control->OnCanceledEditing();
    return result;
}

void CGXGridCore::RefreshCurrentCell(bool store) {
    ROWCOL row, col;
    if (!GetCurrentCell(row, col, true))
        return;
    CGXControl* control = GetControl(row, col);
    if (!control)
        return;
    if (store && CanSelectCurrentCell(false, row, col, row, col) && control->GetModify())
        control->Store();
    control->Reset();
}

void CGXGridCore::HideCurrentCell() {
    if (CGXControl* control = GetCurrentCellControl())
        control->Hide();
}

// --- warnings and validation ------------------------------------------------------------------

void CGXGridCore::ShowWarningText() {
    if (m_sWarningText.empty())
        return;
    const std::string text = std::move(m_sWarningText);
    m_sWarningText.clear();
    GXFlagScope busy(m_bCCBusy, true);
    fw::Window* focusWnd = fw::Window::GetFocus();
    const fw::WindowHandle focus = focusWnd ? focusWnd->Handle() : fw::WindowHandle{};
    // A held key must not run into the box or past it into the next cell.
    FlushGridKeyInput();
    ROWCOL row, col;
    if (GetCurrentCell(row, col, true))
        ScrollCellInView(row, col);
    fw::AppMessageBox(text, fw::MB_OK);
    m_bWarningShown = true;
    if (fw::Window* wnd = fw::Window::FromHandle(focus); wnd && wnd->isVisible()) {
        wnd->SetFocus();
        if (IsGridOrChild(wnd))
            m_bGridHasFocus = true;
    }
}

bool CGXGridCore::ValidateCurrentCell(bool skip) {
    if (skip)
        return true;
    GXFlagScope busy(m_bCCBusy, true);
    CGXControl* control = GetCurrentCellControl();
    if (!control)
        return true;
    fw::Window* focusWnd = fw::Window::GetFocus();
    const fw::WindowHandle focus = focusWnd ? focusWnd->Handle() : fw::WindowHandle{};
    if (control->IsActive())
        FlushGridKeyInput();
    if (control->OnValidate())
        return true;
    GiveFocusBack(focus, control->IsActive());
    ShowWarningText();
    m_bRefusedValidation = true;
    return false;
}

// --- moving
// ----------------------------------------------------------------------------------------

bool CGXGridCore::IsCellEnabledForMove(ROWCOL row, ROWCOL col) {
    CGXRange covering;
    if (GetCoveredCellsRowCol(row, col, covering)) {
        if (covering.top != row || covering.left != col)
            return false;
    }
    const CGXStyle& style = LookupStyleRowCol(row, col);
    return !style.GetIncludeEnabled() || style.GetEnabled();
}

bool CGXGridCore::FindNextCell(int direction, ROWCOL& row, ROWCOL& col) {
    const ROWCOL rows = GetRowCount(), cols = GetColCount();
    ROWCOL r = row, c = col;
    for (;;) {
        switch (direction) {
            case GX_UP:
                if (r <= 1)
                    return false;
                --r;
                break;
            case GX_LEFT:
                if (c <= 1)
                    return false;
                --c;
                break;
            case GX_DOWN:
                if (r >= rows)
                    return false;
                ++r;
                break;
            case GX_RIGHT:
                if (c >= cols)
                    return false;
                ++c;
                break;
            default:
                return false;
        }
        const bool vertical = direction == GX_UP || direction == GX_DOWN;
        if (vertical ? GetRowHeight(r) == 0 : GetColWidth(c) == 0)
            continue;
        if (IsCellEnabledForMove(r, c)) {
            row = r;
            col = c;
            return true;
        }
    }
}

// The first enabled cell at or after (row, col) in a direction; TRUE when found.
bool CGXGridCore::FindCellAtOrFrom(int direction, ROWCOL& row, ROWCOL& col) {
    const bool vertical = direction == GX_UP || direction == GX_DOWN;
    const bool visible = vertical ? GetRowHeight(row) != 0 : GetColWidth(col) != 0;
    if (row >= 1 && col >= 1 && row <= GetRowCount() && col <= GetColCount() && visible &&
        IsCellEnabledForMove(row, col))
        return true;
    return FindNextCell(direction, row, col);
}

bool CGXGridCore::MoveCurrentCell(int direction, unsigned count, bool moveFlag) {
    if (count < 2)
        count = 1;
    const ROWCOL rowCount = GetRowCount(), colCount = GetColCount();
    if (rowCount == 0 || colCount == 0)
        return false;
    ROWCOL row, col;
    if (!GetCurrentCell(row, col)) {
        row = m_pParam ? std::clamp<ROWCOL>(m_pParam->m_nCurrentRow, 1, rowCount) : 1;
        col = m_pParam ? std::clamp<ROWCOL>(m_pParam->m_nCurrentCol, 1, colCount) : 1;
    }
    const ROWCOL startRow = row, startCol = col;
    CGXControl* control = GetCurrentCellControl();
    const bool keepStyles =
        !(control && control->GetModify()) && m_bCacheCurrentCell && !m_bRefreshOnSetCurrentCell;
    GXFlagScope moving(m_bMoving, true);
    GXFlagScope lock(m_bLockCurrentCell, keepStyles);
    if (keepStyles)
        m_moveWords.fill(-2);

    const ROWCOL frozenRows = GetFrozenRows(), frozenCols = GetFrozenCols();
    const ROWCOL firstRow = GetHeaderRows() + 1, firstCol = GetHeaderCols() + 1;
    ROWCOL frozenStepsRows = 0, frozenStepsCols = 0;
    bool found = false;

    auto stepLines = [&](int dir) {
        for (unsigned i = 0; i < count; ++i) {
            ROWCOL r = row, c = col;
            if (!FindNextCell(dir, r, c))
                break;
            // Steps from the scrolled part into the frozen part scroll back afterwards.
            if (dir == GX_UP && r <= frozenRows && GetTopRow() > frozenRows + 1)
                ++frozenStepsRows;
            if (dir == GX_LEFT && c <= frozenCols && GetLeftCol() > frozenCols + 1)
                ++frozenStepsCols;
            row = r;
            col = c;
            found = true;
            if (dir == GX_UP || dir == GX_DOWN) {
                m_moveWords[0] = static_cast<long>(row);
                m_moveWords[1] = static_cast<long>(GetTopRow());
            } else {
                m_moveWords[2] = static_cast<long>(col);
                m_moveWords[3] = static_cast<long>(GetLeftCol());
            }
        }
    };

    switch (direction) {
        case GX_UP:
        case GX_LEFT:
        case GX_DOWN:
        case GX_RIGHT:
            stepLines(direction);
            break;
        case GX_PGDOWN: {
            const ROWCOL top = GetTopRow();
            if (top >= rowCount)
                break;
            const ROWCOL last = GetLastVisibleRow();
            const ROWCOL page = std::max<ROWCOL>(last > top ? last - top : 1, 1);
            ScrollBy(GX_DOWN, page);
            row = std::min<ROWCOL>(row > rowCount - page ? rowCount : row + page, rowCount);
            found = FindCellAtOrFrom(GX_DOWN, row, col) ||
                    (row = rowCount, FindCellAtOrFrom(GX_UP, row, col));
            break;
        }
        case GX_PGUP: {
            const ROWCOL top = GetTopRow();
            if (top > frozenRows + 1) {
                const int avail = GetGridRect().Height() - CalcSumOfRowHeights(0, frozenRows);
                ROWCOL page = 0;
                int sum = 0;
                for (ROWCOL r = top - 1; r > frozenRows; --r) {
                    sum += GetRowHeight(r);
                    if (sum > avail)
                        break;
                    ++page;
                }
                page = std::max<ROWCOL>(page, 1);
                ScrollBy(GX_UP, page);
                row = row > page ? row - page : firstRow;
                row = std::max(row, firstRow);
                found = FindCellAtOrFrom(GX_UP, row, col) || FindCellAtOrFrom(GX_DOWN, row, col);
                break;
            }
            [[fallthrough]];
        }
        case GX_TOP:
            row = firstRow <= rowCount ? firstRow : rowCount;
            found = FindCellAtOrFrom(GX_DOWN, row, col);
            break;
        case GX_BOTTOM:
            PrepareRowCol(GX_INVALID - 1, col);
            row = GetRowCount();
            found = FindCellAtOrFrom(GX_UP, row, col);
            break;
        case GX_MOSTLEFT:
            if (col > frozenCols)
                SetLeftCol(frozenCols + 1, GX_INVALIDATE);
            col = firstCol <= colCount ? firstCol : colCount;
            found = FindCellAtOrFrom(GX_RIGHT, row, col);
            break;
        case GX_MOSTRIGHT:
            PrepareRowCol(row, GX_INVALID - 1);
            col = GetColCount();
            found = FindCellAtOrFrom(GX_LEFT, row, col);
            break;
        case GX_TOPLEFT:
            row = firstRow <= rowCount ? firstRow : rowCount;
            col = firstCol <= colCount ? firstCol : colCount;
            found = FindCellAtOrFrom(GX_DOWN, row, col) || FindCellAtOrFrom(GX_RIGHT, row, col);
            break;
        case GX_BOTTOMRIGHT:
            PrepareRowCol(GX_INVALID - 1, GX_INVALID - 1);
            row = GetRowCount();
            col = GetColCount();
            found = FindCellAtOrFrom(GX_UP, row, col) || FindCellAtOrFrom(GX_LEFT, row, col);
            break;
        default:
            break;
    }

    bool moved = false;
    if (found && (row != startRow || col != startCol)) {
        unsigned flags = 0x8A;
        if (m_pParam && m_pParam->m_bSyncCurrentCell && moveFlag) {
            flags = 0x0A;
            if (!m_pParam->m_SelRects.ContainsCell(row, col))
                SetSelection(nullptr);
        }
        moved = SetCurrentCell(row, col, flags);
        if (moved && frozenStepsRows && row <= frozenRows)
            ScrollBy(GX_UP, frozenStepsRows);
        if (moved && frozenStepsCols && col <= frozenCols)
            ScrollBy(GX_LEFT, frozenStepsCols);
    }
    m_moveWords.fill(0);
    return moved;
}

bool CGXGridCore::DoMoveCurrentCell(int direction, unsigned count) {
    return MoveCurrentCell(direction, count, true);
}

bool CGXGridCore::ScrollBy(int direction, ROWCOL count) {
    return DoScroll(direction, count);
}

bool CGXGridCore::MoveToRecord(int kind, long number) {
    static constexpr int kDirections[] = {GX_TOP, GX_UP, GX_DOWN, GX_BOTTOM};
    if (kind >= 0 && kind <= 3)
        return DoMoveCurrentCell(kDirections[kind], 1);
    if (kind != 4)
        return false;
    // The record number is counted from the first body row; a number beyond the last row (or
    // one that would overflow the row numbers) lands on the last row, one before the first on
    // the first.
    const ROWCOL header = GetHeaderRows();
    ROWCOL rowCount = GetRowCount();
    const ROWCOL wanted = number <= 0
                              ? header + 1
                              : (static_cast<unsigned long>(number) >= GX_INVALID - 2 - header
                                     ? GX_INVALID - 2
                                     : header + static_cast<ROWCOL>(number));
    PrepareRowCol(wanted, rowCount);
    rowCount = GetRowCount();
    if (rowCount <= header || GetColCount() <= GetHeaderCols())
        return false;
    const ROWCOL row = std::min(wanted, rowCount);
    const bool ok = SetCurrentCell(row, GetHeaderCols() + 1, GX_CCSCROLLINVIEW | GX_CCUPDATENOW);
    if (GridWndIsVisible())
        m_pGridWnd->SetFocus();
    return ok;
}

// --- focus
// -----------------------------------------------------------------------------------------

bool CGXGridCore::OnActivateGrid(bool activate) {
    if (m_pGridWnd)
        m_pGridWnd->SendMessage(fw::WM_CANCELMODE);
    if (!activate && m_bCCBusy)
        return false;
    m_bGridHasFocus = activate;
    if (m_bCCBusy || m_bSuppressActivation || !m_bInitDone || !m_pParam)
        return false;
    bool result = true;
    ROWCOL row, col;
    if (GetCurrentCell(row, col)) {
        CGXControl* control = GetControl(row, col);
        if (control && activate) {
            if ((m_pParam->m_nActivateCell & 0x04) && control->m_bInit)
                control->SetActive(true);
            control->Refresh();
        } else if (control && control->m_bInit) {
            if (CanSelectCurrentCell(false, row, col, row, col)) {
                const bool wasModified = control->GetModify();
                if (wasModified)
                    result = control->Store();
                if (!wasModified || result)
                    result = control->OnEndEditing();
                if (result) {
                    control->SetActive(false);
                    control->SetModify(false);
                    control->Refresh();
                }
                if (wasModified) {
                    SetRecalcMode(false);
                    Recalc(false, nullptr, true);
                }
            } else {
                result = false;
            }
        } else {
            RedrawRowCol(row, col, row, col, GX_INVALIDATE);
        }
    }
    if (activate) {
        UpdateFontMetrics();
        UpdateScrollbars();
    }
    if (result && activate)
        NotifyDisplayFeatures();
    return result;
}

// --- hooks and forwarders -----------------------------------------------------------------------

// The header-marking feature (slot 22) redraws the headers of a cell the current cell leaves
// or enters.
void CGXGridCore::MarkEditHeader(ROWCOL row, ROWCOL col, int, unsigned flags) {
    if (auto* f = dynamic_cast<CGXAbstractGridMarkEditHeaderImp*>(GetFeatureSlot(22)))
        f->MarkEditHeader(this, row, col, 0, flags);
}

bool CGXGridCore::IsMarkedHeaderCell(ROWCOL row, ROWCOL col) {
    auto* f = dynamic_cast<CGXAbstractGridMarkEditHeaderImp*>(GetFeatureSlot(22));
    return f && f->IsMarkedHeaderCell(this, row, col);
}

bool CGXGridCore::NotifyDisplayFeatures() {
    return false;
}

bool CGXGridCore::Recalc(bool force, std::string* errorText, bool) {
    CGXData* data = GetData();
    if (!data || GetRowCount() == 0 || GetColCount() == 0)
        return false;
    if (!data->Recalc(force))
        return false;
    std::string text;
    if (force && data->GetUpdateErrorText(text)) {
        if (errorText)
            *errorText = text;
        return false;
    }
    Redraw(GX_INVALIDATE);
    return true;
}

bool CGXGridCore::IsRecalcCell(ROWCOL, ROWCOL) {
    return false;
}
void CGXGridCore::ClearRecalcCell(ROWCOL, ROWCOL) {}
void CGXGridCore::OnCellChanged(const CGXRange&) {}
void CGXGridCore::SetRecalcMode(bool on) {
    if (CGXData* data = GetData())
        data->SetRecalcMode(on ? 1 : 0);
}
void CGXGridCore::ResetRecalcError() {
    if (CGXData* data = GetData())
        data->ResetUpdateError();
}
bool CGXGridCore::GetRecalcError(std::string& text) {
    CGXData* data = GetData();
    return data && data->GetUpdateErrorText(text);
}
