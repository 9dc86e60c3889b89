// Mouse and keyboard input of the grid: the key bindings, the per-cell mouse protocol that
// reaches the cell control (button down, moves, button up with the action word), the hit test
// and its cursors, focus changes and the smaller window messages. The window classes pass each
// message here; the handlers answer TRUE when they took it.
#include "framework/window/Cursor.h"
#include "framework/window/SystemMetrics.h"
#include "framework/window/VirtualKeys.h"
#include "framework/window/Window.h"
#include "grid/core/CGXAutoScrollPlugin.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXPluginComponent.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXSysColorCache.h"
#include "grid/core/CGXToolTipCtrlProxy.h"
#include "grid/core/GXLibraryState.h"

#include <QCursor>

#include <algorithm>
#include <exception>

namespace {

// The pressed flag of each button: kept above the bits of the action word.
unsigned PressedFlagOf(unsigned button) {
    return button << 12;
}

}  // namespace

bool GXCollectDbcsChar(unsigned ch, std::string& out, bool& pending, unsigned& lead) {
    // Characters arrive as whole code points here: there is no lead byte to hold, and a byte
    // held by an earlier caller is joined to the next character.
    auto append = [&out](unsigned c) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    };
    out.clear();
    if (pending) {
        pending = false;
        out += static_cast<char>(lead & 0xFF);
        append(ch);
        return true;
    }
    append(ch);
    return false;
}

// --- keyboard ----------------------------------------------------------------------------------

bool CGXGridCore::ProcessKeys(fw::Window* sender, unsigned message, unsigned key, unsigned repeat,
                              unsigned flags) {
    if (m_pGridWnd && fw::Window::GetCapture() == m_pGridWnd) {
        if (key == fw::VK_ESCAPE && (message == fw::WM_KEYDOWN || message == fw::WM_SYSKEYDOWN))
            m_pGridWnd->SendMessage(fw::WM_CANCELMODE);
        return true;
    }
    ROWCOL row, col;
    if (sender && sender == m_pGridWnd && GetCurrentCell(row, col)) {
        if (CGXControl* control = GetControl(row, col)) {
            if (!control->m_bInit)
                control->Init(row, col);
            if (control->ProcessKeys(message, key, repeat, flags)) {
                if (GetCurrentCell(row, col))
                    ScrollCellInView(row, col);
                if (m_pGridWnd)
                    m_pGridWnd->UpdateWindow();
                return true;
            }
        }
    }
    switch (message) {
        case fw::WM_KEYDOWN:
            return OnGridKeyDown(key, repeat, flags);
        case fw::WM_KEYUP:
            return OnGridKeyUp(key, repeat, flags);
        case fw::WM_CHAR: {
            std::string chars;
            if (GXCollectDbcsChar(key, chars, m_bDbcsPending, m_nDbcsLead)) {
                if (m_bDbcsPending)
                    return true;
                OnGridDBCSChar(chars, repeat, flags);
                return true;
            }
            return OnGridChar(key, repeat, flags);
        }
        case fw::WM_DEADCHAR:
            return OnGridDeadChar(key, repeat, flags);
        case fw::WM_SYSKEYDOWN:
            return OnGridSysKeyDown(key, repeat, flags);
        case fw::WM_SYSKEYUP:
            return OnGridSysKeyUp(key, repeat, flags);
        case fw::WM_SYSCHAR:
            return OnGridSysChar(key, repeat, flags);
        case fw::WM_SYSDEADCHAR:
            return OnGridSysDeadChar(key, repeat, flags);
        default:
            return false;
    }
}

bool CGXGridCore::OnGridKeyDown(unsigned key, unsigned repeat, unsigned) {
    const bool ctrl = fw::IsKeyDown(fw::VK_CONTROL);
    const bool shift = fw::IsKeyDown(fw::VK_SHIFT);
    const bool alt = fw::IsKeyDown(fw::VK_MENU);
    const unsigned count = repeat == 0 ? 1 : repeat;
    ROWCOL row, col;
    const bool hasCell = GetCurrentCell(row, col);
    CGXControl* control = hasCell ? GetControl(row, col) : nullptr;

    bool handled = true;
    int move = 0;
    switch (key) {
        case fw::VK_BACK:
            if (!ctrl)
                return false;
            Redo();
            break;
        case fw::VK_TAB:
            // Tab moves the cell without the selection feature: Shift+Tab goes back, it does
            // not extend the selection.
            if (TransferCurrentCell(true, GX_CCUPDATENOW, true))
                MoveCurrentCell(shift ? GX_LEFT : GX_RIGHT, 1, true);
            break;
        case fw::VK_ESCAPE:
            if (m_pParam && m_pParam->m_bRedrawOnCancel) {
                m_pParam->m_bRedrawOnCancel = false;
                Redraw(GX_INVALIDATE);
            }
            if (hasCell && control) {
                if (control->OnCancelEditing()) {
                    control->Init(row, col);
                    control->Refresh();
                    control->OnCanceledEditing();
                } else {
                    control->Refresh();
                }
                ScrollCellInView(row, col);
            }
            if (!m_pParam || !m_pParam->m_bSyncCurrentCell)
                SetSelection(nullptr);
            break;
        case fw::VK_PRIOR:
            move = GX_PGUP;
            break;
        case fw::VK_NEXT:
            move = GX_PGDOWN;
            break;
        case fw::VK_END:
            if (!ctrl)
                return false;
            move = GX_BOTTOMRIGHT;
            break;
        case fw::VK_HOME:
            if (!ctrl)
                return false;
            move = GX_TOPLEFT;
            break;
        case fw::VK_LEFT:
            move = ctrl ? GX_MOSTLEFT : GX_LEFT;
            break;
        case fw::VK_UP:
            move = ctrl ? GX_TOP : GX_UP;
            break;
        case fw::VK_RIGHT:
            move = ctrl ? GX_MOSTRIGHT : GX_RIGHT;
            break;
        case fw::VK_DOWN:
            move = ctrl ? GX_BOTTOM : GX_DOWN;
            break;
        case fw::VK_INSERT:
            if (ctrl && CanCopy())
                Copy();
            else if (shift && CanPaste())
                Paste();
            else
                return false;
            break;
        case fw::VK_DELETE:
            if (shift) {
                if (!CanCut())
                    return false;
                Cut();
            } else {
                if (!hasCell || !control || control->IsActive() || !CanClear() ||
                    !control->OnDeleteCell())
                    return false;
                Clear(ctrl);
            }
            break;
        case fw::VK_F1 + 1:  // F2
            if (hasCell && control && !control->IsActive()) {
                TransferCurrentCell(false, GX_CCUPDATENOW, true);
                control = GetControl(row, col);
                if (control && !control->IsReadOnly() && control->OnStartEditing()) {
                    control->SetActive(true);
                    control->Refresh();
                }
                break;
            }
            if (hasCell) {
                TransferCurrentCell(true, GX_CCUPDATENOW, true);
                break;
            }
            [[fallthrough]];
        case fw::VK_RETURN:
            if (alt || ctrl || shift)
                return false;
            if (TransferCurrentCell(true, GX_CCSCROLLINVIEW | GX_CCUPDATENOW, true) && m_pParam &&
                m_pParam->m_nEnterKeyAction != 0)
                move = m_pParam->m_nEnterKeyAction;
            break;
        default:
            handled = false;
            break;
    }
    if (!handled)
        return false;
    if (move != 0) {
        m_bWarningShown = false;
        const bool moved = MoveCurrentCellWithSelection(move, count, shift);
        if (moved && !m_bWarningShown && m_bAutoScrollKeys && !m_bKeyRepeatStarted) {
            m_nKeyRepeatKey = key;
            m_bKeyRepeatStarted = true;
            StartAutoScroll(false, 0);
        }
    }
    if (m_pGridWnd)
        m_pGridWnd->UpdateWindow();
    return true;
}

bool CGXGridCore::OnGridKeyUp(unsigned key, unsigned, unsigned) {
    if (m_bKeyRepeatStarted && key == m_nKeyRepeatKey)
        m_bKeyRepeatStarted = false;
    return false;
}

bool CGXGridCore::OnGridChar(unsigned ch, unsigned, unsigned) {
    switch (ch) {
        case 3:
            if (CanCopy())
                Copy();
            return true;
        case 22:
            if (CanPaste())
                Paste();
            return true;
        case 24:
            if (CanCut())
                Cut();
            return true;
        case 26:
            Undo();
            return true;
        case 18:
            Redo();
            return true;
        case 9:
        case 13:
        case 127:
            return true;
        default:
            return false;
    }
}

bool CGXGridCore::OnGridDBCSChar(const std::string&, unsigned, unsigned) {
    return true;
}
bool CGXGridCore::OnGridDeadChar(unsigned, unsigned, unsigned) {
    return false;
}
bool CGXGridCore::OnGridSysKeyDown(unsigned key, unsigned, unsigned) {
    if (key == fw::VK_BACK && fw::IsKeyDown(fw::VK_MENU)) {
        Undo();
        return true;
    }
    return false;
}
bool CGXGridCore::OnGridSysKeyUp(unsigned, unsigned, unsigned) {
    return false;
}
bool CGXGridCore::OnGridSysChar(unsigned, unsigned, unsigned) {
    return false;
}
bool CGXGridCore::OnGridSysDeadChar(unsigned, unsigned, unsigned) {
    return false;
}

// --- mouse buttons -----------------------------------------------------------------------------

fw::Point CGXGridCore::ClampMousePoint(fw::Point pt) {
    const fw::Rect r = GetGridRect();
    const int margin = fw::GetSystemMetrics(fw::SM_CYFRAME);
    pt.x = std::clamp(pt.x, r.left, std::max(r.left, r.right - margin));
    pt.y = std::clamp(pt.y, r.top, std::max(r.top, r.bottom - margin));
    return pt;
}

bool CGXGridCore::HandleMouseException() {
    if (m_pGridWnd)
        m_pGridWnd->SendMessage(fw::WM_CANCELMODE);
    else
        OnGridCancelMode();
    return true;
}

fw::Window* CGXGridCore::SetGridCapture() {
    fw::Window* previous = fw::Window::GetCapture();
    if (m_pGridWnd)
        m_pGridWnd->SetCapture();
    return previous;
}

bool CGXGridCore::ButtonDownStart(unsigned button, unsigned flags, fw::Point pt, int& hit,
                                  ROWCOL& row, ROWCOL& col) {
    if (!m_bInitDone || !m_pGridWnd)
        return false;
    m_bGridHasFocus = true;
    m_nLastKeyState = flags;
    const unsigned others = (fw::MK_LBUTTON | fw::MK_MBUTTON | fw::MK_RBUTTON) & ~button;
    if (fw::Window::GetCapture() == m_pGridWnd || (flags & others) || m_nPressed != 0) {
        // A second button ends the action of the first.
        m_pGridWnd->SendMessage(fw::WM_CANCELMODE);
        OnGridCancelMode();
        return false;
    }
    m_pGridWnd->UpdateWindow();
    row = col = 0;
    hit = HitTest(pt, &row, &col, nullptr);
    return true;
}

bool CGXGridCore::OnGridLButtonDown(unsigned flags, fw::Point pt) {
    int hit = 0;
    ROWCOL row = 0, col = 0;
    if (!ButtonDownStart(fw::MK_LBUTTON, flags, pt, hit, row, col))
        return false;
    try {
        if (hit == GX_FILLHANDLEHIT && m_pParam && m_pParam->m_bExcelLikeFill) {
            auto* fill = GetExcelLikeFillImp();
            if (fill && fill->OnFillButtonDown(this, row, col)) {
                SetGridCapture();
                return true;
            }
        }
        if (hit == GX_SELEDGEHIT || hit == GX_FILLHANDLEHIT)
            hit = GX_CELLHIT;  // moving the selection by its edge is a feature not installed
        auto* drag = GetUserDragSelectRangeImp();
        if ((hit == GX_CELLHIT || hit == GX_HEADERHIT) && (row || col) && drag &&
            drag->OnDragButtonDown(this, pt, flags, hit, row, col))
            return true;
        if (hit == GX_CELLHIT || hit == GX_HEADERHIT) {
            ROWCOL pressedRow = row, pressedCol = col;
            CGXRange covering;
            if ((row || col) && GetCoveredCellsRowCol(row, col, covering)) {
                pressedRow = covering.top;
                pressedCol = covering.left;
            }
            m_nPressedRow = pressedRow;
            m_nPressedCol = pressedCol;
            m_bCtrlAtPress = (flags & fw::MK_CONTROL) != 0;
            CGXControl* current = GetCurrentCellControl();
            m_bControlWasInit = current && current->m_bInit;
            m_nLastRow = pressedRow;
            m_nLastCol = pressedCol;
            m_bMouseMoved = false;
            m_nPressedButton = fw::MK_LBUTTON;
            m_nPressed = PressedFlagOf(fw::MK_LBUTTON);
            if (!OnCellMouseAction(pressedRow, pressedCol, row, col, pt, flags,
                                   GX_MABUTTONDOWN | GX_MAOVERPRESSED | m_nPressed)) {
                m_pGridWnd->SendMessage(fw::WM_CANCELMODE);
                return true;
            }
            SetGridCapture();
        } else if (hit != GX_NOHIT) {
            OnResizeRowColStart(hit, pt);
        }
    } catch (const std::exception&) {
        return HandleMouseException();
    }
    return true;
}

bool CGXGridCore::OtherButtonDown(unsigned button, unsigned flags, fw::Point pt) {
    int hit = 0;
    ROWCOL row = 0, col = 0;
    if (!ButtonDownStart(button, flags, pt, hit, row, col))
        return false;
    try {
        if (hit != GX_CELLHIT && hit != GX_HEADERHIT)
            return true;
        CGXRange covering;
        ROWCOL pressedRow = row, pressedCol = col;
        if ((row || col) && GetCoveredCellsRowCol(row, col, covering)) {
            pressedRow = covering.top;
            pressedCol = covering.left;
        }
        m_nPressedRow = m_nLastRow = pressedRow;
        m_nPressedCol = m_nLastCol = pressedCol;
        m_bMouseMoved = false;
        m_nPressedButton = button;
        m_nPressed = PressedFlagOf(button);
        if (!CellButtonAction(button, pressedRow, pressedCol, row, col, pt, flags,
                              GX_MABUTTONDOWN | GX_MAOVERPRESSED | m_nPressed)) {
            m_pGridWnd->SendMessage(fw::WM_CANCELMODE);
            return true;
        }
        SetGridCapture();
    } catch (const std::exception&) {
        return HandleMouseException();
    }
    return true;
}

bool CGXGridCore::OnGridMButtonDown(unsigned flags, fw::Point pt) {
    return OtherButtonDown(fw::MK_MBUTTON, flags, pt);
}
bool CGXGridCore::OnGridRButtonDown(unsigned flags, fw::Point pt) {
    return OtherButtonDown(fw::MK_RBUTTON, flags, pt);
}

bool CGXGridCore::CellButtonAction(unsigned button, ROWCOL pressedRow, ROWCOL pressedCol,
                                   ROWCOL row, ROWCOL col, fw::Point pt, unsigned flags,
                                   unsigned action) {
    if (button == fw::MK_LBUTTON)
        return OnCellMouseAction(pressedRow, pressedCol, row, col, pt, flags, action);
    if (button == fw::MK_MBUTTON)
        return OnCellMButtonAction(pressedRow, pressedCol, row, col, pt, flags, action);
    return OnCellRButtonAction(pressedRow, pressedCol, row, col, pt, flags, action);
}

bool CGXGridCore::OnGridMouseMove(unsigned flags, fw::Point pt) {
    if (!m_bInitDone || !m_pGridWnd)
        return false;
    if (m_pAutoScrollPlugin && m_pAutoScrollPlugin->IsRunning() &&
        fw::Window::GetCapture() != m_pGridWnd)
        return false;
    const fw::Point raw = pt;
    pt = ClampMousePoint(pt);
    if (auto* drag = GetUserDragSelectRangeImp(); drag && drag->OnDragMouseMove(this, pt, flags))
        return true;
    if (m_bFilling) {
        if (fw::Window::GetCapture() != m_pGridWnd)
            return false;
        ROWCOL row = 0, col = 0;
        HitTest(pt, &row, &col, nullptr);
        if (auto* fill = GetExcelLikeFillImp())
            fill->OnFillMouseMove(this, pt, row, col);
        return true;
    }
    if (m_nPressed != 0) {
        if (fw::Window::GetCapture() != m_pGridWnd)
            return false;
        ROWCOL row = 0, col = 0;
        HitTest(pt, &row, &col, nullptr);
        if (GetTopRow() > GetFrozenRows() + 1 && row > 0 && row <= GetFrozenRows())
            row = GetFrozenRows() + 1;
        if (GetLeftCol() > GetFrozenCols() + 1 && col > 0 && col <= GetFrozenCols())
            col = GetFrozenCols() + 1;
        row = std::min(row, GetRowCount());
        col = std::min(col, GetColCount());
        const bool over = row == m_nPressedRow && col == m_nPressedCol;
        unsigned action = GX_MAMOVE | m_nPressed;
        if (over)
            action |= GX_MAOVERPRESSED;
        else if (m_bOverPressedCell)
            action |= GX_MALEFTPRESSED;
        CellButtonAction(m_nPressedButton, m_nPressedRow, m_nPressedCol, row, col, pt, flags,
                         action);
        m_nLastRow = row;
        m_nLastCol = col;
        return true;
    }
    if (OnResizeRowColMove(pt))
        return true;
    const fw::Rect grid = GetGridRect();
    if (!grid.Contains(raw) || m_bCursorLock) {
        SetCursorAt(raw);
        return true;
    }
    ROWCOL row = 0, col = 0;
    if (CalcCellFromPoint(pt, row, col)) {
        CGXRange covering;
        if (GetCoveredCellsRowCol(row, col, covering)) {
            row = covering.top;
            col = covering.left;
        }
        row = std::min(row, GetRowCount());
        col = std::min(col, GetColCount());
        CGXControl* control = GetControl(row, col);
        if (control && control->MouseMove(flags, pt))
            return true;
    }
    SetCursorAt(raw);
    return true;
}

bool CGXGridCore::ButtonUp(unsigned button, unsigned flags, fw::Point pt) {
    m_bMouseUp = true;
    if (!m_pGridWnd || fw::Window::GetCapture() != m_pGridWnd)
        return false;
    pt = ClampMousePoint(pt);
    if (button == fw::MK_LBUTTON) {
        if (auto* drag = GetUserDragSelectRangeImp(); drag && drag->OnDragButtonUp(this, pt, flags))
            return true;
        if (m_bFilling) {
            fw::Window::ReleaseCapture();
            if (auto* fill = GetExcelLikeFillImp())
                fill->OnFillButtonUp(this);
            return true;
        }
    }
    if (m_nPressed == 0 || m_nPressedButton != button) {
        fw::Window::ReleaseCapture();
        if (button == fw::MK_LBUTTON)
            OnResizeRowColEnd(pt);
        return true;
    }
    try {
        fw::Window::ReleaseCapture();
        ROWCOL row = 0, col = 0;
        HitTest(pt, &row, &col, nullptr);
        const bool over = row == m_nPressedRow && col == m_nPressedCol;
        unsigned action = GX_MABUTTONUP | m_nPressed;
        if (over)
            action |= GX_MAOVERPRESSED;
        else if (m_bOverPressedCell || m_bMouseMoved)
            action |= GX_MALEFTPRESSED;
        row = std::min(row, GetRowCount());
        col = std::min(col, GetColCount());
        const ROWCOL pressedRow = m_nPressedRow, pressedCol = m_nPressedCol;
        m_nPressed = 0;
        m_nPressedButton = 0;
        CellButtonAction(button, pressedRow, pressedCol, row, col, pt, flags, action);
    } catch (const std::exception&) {
        m_nPressed = 0;
        return HandleMouseException();
    }
    return true;
}

bool CGXGridCore::OnGridLButtonUp(unsigned flags, fw::Point pt) {
    return ButtonUp(fw::MK_LBUTTON, flags, pt);
}
bool CGXGridCore::OnGridMButtonUp(unsigned flags, fw::Point pt) {
    return ButtonUp(fw::MK_MBUTTON, flags, pt);
}
bool CGXGridCore::OnGridRButtonUp(unsigned flags, fw::Point pt) {
    return ButtonUp(fw::MK_RBUTTON, flags, pt);
}

bool CGXGridCore::DoubleClick(unsigned button, unsigned flags, fw::Point pt) {
    if (!m_bInitDone || !m_pGridWnd)
        return false;
    ROWCOL row = 0, col = 0;
    const int hit = HitTest(pt, &row, &col, nullptr);
    if (hit != GX_CELLHIT && hit != GX_HEADERHIT) {
        if (button == fw::MK_LBUTTON && hit != GX_NOHIT)
            OnResizeRowColDblClk(hit, pt);
        return true;
    }
    try {
        CGXRange covering;
        if (GetCoveredCellsRowCol(row, col, covering)) {
            row = covering.top;
            col = covering.left;
        }
        CGXControl* control = IsCurrentCell(row, col) ? GetControl(row, col) : nullptr;
        if (!(control && control->m_bInit))
            SetCurrentCell(row, col, GX_CCSCROLLINVIEW | GX_CCUPDATENOW);
        control = IsCurrentCell(row, col) ? GetControl(row, col) : nullptr;
        bool handled = false;
        if (control && control->m_bInit) {
            handled = button == fw::MK_LBUTTON   ? control->LButtonDblClk(flags, pt)
                      : button == fw::MK_MBUTTON ? control->MButtonDblClk(flags, pt)
                                                 : control->RButtonDblClk(flags, pt);
        }
        if (!handled) {
            handled = button == fw::MK_LBUTTON   ? OnCellDblClicked(row, col, flags, pt)
                      : button == fw::MK_MBUTTON ? OnCellMDblClicked(row, col, flags, pt)
                                                 : OnCellRDblClicked(row, col, flags, pt);
        }
        if (!handled) {
            return button == fw::MK_LBUTTON ? OnGridLButtonDown(flags, pt)
                                            : OtherButtonDown(button, flags, pt);
        }
    } catch (const std::exception&) {
        return HandleMouseException();
    }
    return true;
}

bool CGXGridCore::OnGridLButtonDblClk(unsigned flags, fw::Point pt) {
    return DoubleClick(fw::MK_LBUTTON, flags, pt);
}
bool CGXGridCore::OnGridMButtonDblClk(unsigned flags, fw::Point pt) {
    return DoubleClick(fw::MK_MBUTTON, flags, pt);
}
bool CGXGridCore::OnGridRButtonDblClk(unsigned flags, fw::Point pt) {
    return DoubleClick(fw::MK_RBUTTON, flags, pt);
}

bool CGXGridCore::OnCellDblClicked(ROWCOL row, ROWCOL col, unsigned, fw::Point) {
    // A double click on a header sorts through the sort feature when it is installed.
    auto* f = GetSortImp();
    return f && f->SortByHeader(this, row, col);
}

// --- the per-cell mouse protocol -------------------------------------------------------------

bool CGXGridCore::OnCellMouseAction(ROWCOL pressedRow, ROWCOL pressedCol, ROWCOL row, ROWCOL col,
                                    fw::Point pt, unsigned flags, unsigned action) {
    CGXRange covering;
    if (GetCoveredCellsRowCol(row, col, covering)) {
        row = covering.top;
        col = covering.left;
    }
    m_bOverPressedCell = (action & GX_MAOVERPRESSED) != 0;
    // The selection feature sees every press, move and release first; a press on a header
    // only selects.
    if (SelectionMouseAction(row, col, flags, action))
        return true;
    auto boundControl = [&]() -> CGXControl* {
        if (!IsCurrentCell(row, col))
            return nullptr;
        CGXControl* control = GetControl(row, col);
        return control && control->m_bInit ? control : nullptr;
    };
    if (action & GX_MABUTTONDOWN) {
        if ((m_pParam && m_pParam->m_bSyncCurrentCell) || !(action & 0x100)) {
            m_bWarningShown = false;
            const bool ok = SetCurrentCell(row, col, m_bCtrlAtPress ? 0x84 : GX_CCSMART);
            if (!ok || m_bWarningShown || row > GetRowCount() || col > GetColCount())
                return false;
        }
        if (CGXControl* control = boundControl())
            control->LButtonDown(flags, pt, action);
        m_bMouseMoved = false;
        return true;
    }
    // The control of the cell where the press began while that cell is current: a button
    // pressed inside it follows the pointer out of the cell.
    auto pressedControl = [&]() -> CGXControl* {
        if (!IsCurrentCell(pressedRow, pressedCol))
            return nullptr;
        CGXControl* control = GetControl(pressedRow, pressedCol);
        return control && control->m_bInit ? control : nullptr;
    };
    if (action & GX_MABUTTONUP) {
        CGXControl* control = boundControl();
        if (control) {
            control->LButtonUp(flags, pt, action);
        } else {
            // Released away from the pressed cell: its control's press ends without a click.
            if (CGXControl* pressed = pressedControl())
                pressed->OnCancelMode();
            OnCellClicked(row, col, flags, pt);
        }
        if ((action & GX_MAOVERPRESSED) && IsCurrentCell(row, col)) {
            if (ScrollCellInView(row, col, GX_CCUPDATENOW) && control)
                control->Refresh();
            return true;
        }
        if (m_pParam && m_pParam->m_bSetCurrentCellOnRelease)
            return SetCurrentCell(pressedRow, pressedCol, GX_CCSMART);
        return true;
    }
    if (action & GX_MAMOVE) {
        if (CGXControl* control = pressedControl())
            control->MouseMove(flags, pt);
        else if (CGXControl* control = boundControl())
            control->MouseMove(flags, pt);
        if (row != pressedRow || col != pressedCol)
            m_bMouseMoved = true;
        return true;
    }
    return false;
}

bool CGXGridCore::OnCellMButtonAction(ROWCOL pressedRow, ROWCOL pressedCol, ROWCOL row, ROWCOL col,
                                      fw::Point pt, unsigned flags, unsigned action) {
    CGXControl* control = IsCurrentCell(row, col) ? GetControl(row, col) : nullptr;
    if (control && !control->m_bInit)
        control = nullptr;
    if (action & GX_MABUTTONDOWN)
        return !control || control->MButtonDown(flags, pt, action) || true;
    if (action & GX_MABUTTONUP) {
        if (!(control && control->MButtonUp(flags, pt, action)))
            OnCellMClicked(row, col, flags, pt);
        return true;
    }
    if (row != pressedRow || col != pressedCol)
        m_bMouseMoved = true;
    return true;
}

bool CGXGridCore::OnCellRButtonAction(ROWCOL pressedRow, ROWCOL pressedCol, ROWCOL row, ROWCOL col,
                                      fw::Point pt, unsigned flags, unsigned action) {
    CGXControl* control = IsCurrentCell(row, col) ? GetControl(row, col) : nullptr;
    if (control && !control->m_bInit)
        control = nullptr;
    if (action & GX_MABUTTONDOWN) {
        if (control)
            control->RButtonDown(flags, pt, action);
        return true;
    }
    if (action & GX_MABUTTONUP) {
        if (!(control && control->RButtonUp(flags, pt, action)))
            OnCellRClicked(row, col, flags, pt);
        return true;
    }
    if (row != pressedRow || col != pressedCol)
        m_bMouseMoved = true;
    return true;
}

// --- hit test ----------------------------------------------------------------------------------

int CGXGridCore::HitTest(fw::Point pt, ROWCOL* rowOut, ROWCOL* colOut, fw::Rect* rectOut) {
    pt.x = std::max(pt.x, 0);
    pt.y = std::max(pt.y, 0);
    const fw::Rect grid = GetGridRect();
    int cellTop = 0, cellLeft = 0;
    const ROWCOL clientRow = CalcClientRowFromPt(pt, &cellTop);
    const ROWCOL clientCol = CalcClientColFromPt(pt, &cellLeft);
    if (!grid.Contains(pt))
        return GX_NOHIT;
    const bool haveRow = clientRow != GX_INVALID;
    const bool haveCol = clientCol != GX_INVALID;
    ROWCOL row = haveRow ? GetRowFromClientRow(clientRow) : GetRowCount() + 1;
    ROWCOL col = haveCol ? GetColFromClientCol(clientCol) : GetColCount() + 1;
    fw::Rect rect;
    if (haveRow && haveCol)
        rect =
            fw::Rect{cellLeft, cellTop, cellLeft + GetColWidth(col), cellTop + GetRowHeight(row)};
    const int half = m_nHitTolerance / 2;
    const int quarter = m_nHitTolerance / 4;
    const ROWCOL headerRows = GetHeaderRows(), headerCols = GetHeaderCols();
    int hit = GX_NOHIT;

    if (haveRow && haveCol && m_pParam) {
        // Column boundaries.
        const bool colResize = m_pParam->m_wAllowTrackColWidth != 0 &&
                               (row <= headerRows || m_pParam->m_bTrackBodyCells);
        const bool rowResize = m_pParam->m_wAllowTrackRowHeight != 0 &&
                               (col <= headerCols || m_pParam->m_bTrackBodyCells);
        const bool lockHeader = m_pParam->m_bLockHeaderSize;
        if (colResize) {
            if (pt.x >= rect.right - half && pt.x < rect.right &&
                !(lockHeader && col <= headerCols)) {
                hit = GX_HORZLINE_HIT;
            } else if (col > 0 && pt.x < rect.left + half) {
                // Right beside a boundary that hides a column (one of width 0) the press
                // reaches the hidden column; a little further it resizes the visible one.
                ROWCOL left = col - 1;
                if (pt.x < rect.left + quarter && GetColWidth(left) == 0) {
                    hit = GX_HIDDENCOL_HIT;
                    col = left;
                } else {
                    while (left > 0 && GetColWidth(left) == 0) --left;
                    if (!(lockHeader && left <= headerCols)) {
                        hit = GX_HORZLINE_HIT;
                        col = left;
                    }
                }
            }
        }
        if (hit == GX_NOHIT && rowResize) {
            if (pt.y >= rect.bottom - half && pt.y < rect.bottom &&
                !(lockHeader && row <= headerRows)) {
                hit = GX_VERTLINE_HIT;
            } else if (row > 0 && pt.y < rect.top + half) {
                ROWCOL above = row - 1;
                if (pt.y < rect.top + quarter && GetRowHeight(above) == 0) {
                    hit = GX_HIDDENROW_HIT;
                    row = above;
                } else {
                    while (above > 0 && GetRowHeight(above) == 0) --above;
                    if (!(lockHeader && above <= headerRows)) {
                        hit = GX_VERTLINE_HIT;
                        row = above;
                    }
                }
            }
        }
        if (hit == GX_NOHIT) {
            hit = HitTestSelectionFrame(row, col, pt, rect);
            if (hit == GX_NOHIT)
                hit = (row <= headerRows || col <= headerCols) ? GX_HEADERHIT : GX_CELLHIT;
        }
    }
    if (!haveRow && pt.y <= half + 1)
        row = 0;
    if (!haveCol && pt.x <= half + 1)
        col = 0;
    if (rowOut)
        *rowOut = row;
    if (colOut)
        *colOut = col;
    if (rectOut)
        *rectOut = rect;
    return hit;
}

int CGXGridCore::HitTestSelectionFrame(ROWCOL row, ROWCOL col, fw::Point pt, const fw::Rect& rect) {
    const bool fill = m_pParam && m_pParam->m_bExcelLikeFill;
    if ((!m_bSelDragging && !fill) || !m_pParam)
        return GX_NOHIT;
    const int edge = 4;
    for (const CGXRange& selected : m_pParam->m_SelRects) {
        CGXRange range(selected);
        range.ResolveToCells(1, 1, GetRowCount(), GetColCount());
        if (!range.ContainsCell(row, col))
            continue;
        if (selected.IsTable()) {
            if (row == range.top && col == range.left)
                return GX_SELEDGEHIT;
            continue;
        }
        if (fill && row == range.bottom && col == range.right && pt.x >= rect.right - edge &&
            pt.y >= rect.bottom - edge)
            return GX_FILLHANDLEHIT;
        const bool rowsOnly = selected.IsRows(), colsOnly = selected.IsCols();
        if (!rowsOnly && ((col == range.left && pt.x < rect.left + edge) ||
                          (col == range.right && pt.x >= rect.right - edge)))
            return GX_SELEDGEHIT;
        if (!colsOnly && ((row == range.top && pt.y < rect.top + edge) ||
                          (row == range.bottom && pt.y >= rect.bottom - edge)))
            return GX_SELEDGEHIT;
    }
    return GX_NOHIT;
}

// --- cursors -----------------------------------------------------------------------------------

void CGXGridCore::SetGridCursor(int id, int systemFallback) {
    m_nCursorId = id;
    if (id == 0) {
        fw::SetCursor(fw::LoadSystemCursor(fw::IDC_ARROW));
        return;
    }
    fw::Cursor cursor = fw::LoadCursor(id, systemFallback ? systemFallback : fw::IDC_ARROW);
    fw::SetCursor(cursor);
}

int CGXGridCore::CursorIdForHit(int hit, ROWCOL row, ROWCOL col, int* fallback) {
    *fallback = fw::IDC_ARROW;
    if (!m_pParam)
        return 0;
    switch (hit) {
        case GX_HORZLINE_HIT:
            if (m_pParam->m_wAllowTrackColWidth != 0 && CanResizeCol(col)) {
                *fallback = fw::IDC_SIZEWE;
                return GX_IDC_WIDTH;
            }
            return 0;
        case GX_VERTLINE_HIT:
            if (m_pParam->m_wAllowTrackRowHeight != 0 && CanResizeRow(row)) {
                *fallback = fw::IDC_SIZENS;
                return GX_IDC_HEIGHT;
            }
            return 0;
        case GX_SELEDGEHIT:
            return GX_IDC_SELEDGE;
        case GX_FILLHANDLEHIT:
            return GX_IDC_FILLHANDLE;
        case GX_HIDDENCOL_HIT:
            return GX_IDC_HIDEWIDTH;
        case GX_HIDDENROW_HIT:
            return GX_IDC_HIDEHEIGHT;
        case GX_HEADERHIT:
            if (col <= GetHeaderCols() && row > GetHeaderRows()) {
                const bool selected = m_pParam->m_SelRects.ContainsCell(row, 1);
                if (selected && m_bSelDragging)
                    return 0;
                return m_pParam->IsEnableSelection(GX_SELROW) ? GX_IDC_SELROW : 0;
            }
            if (row <= GetHeaderRows() && col > GetHeaderCols()) {
                const bool selected = m_pParam->m_SelRects.ContainsCell(1, col);
                if (selected && m_bSelDragging)
                    return 0;
                return m_pParam->IsEnableSelection(GX_SELCOL) ? GX_IDC_SELCOL : 0;
            }
            return 0;
        default:
            return 0;
    }
}

void CGXGridCore::SetCursorAt(fw::Point pt) {
    if (m_nForcedCursor) {
        SetGridCursor(m_nForcedCursor, fw::IDC_ARROW);
        return;
    }
    if (m_pParam && m_pParam->m_bFocusOnClickInActiveView && m_bIsViewContext &&
        GXGetActiveView() != m_pGridWnd) {
        SetGridCursor(0);
        return;
    }
    ROWCOL row = 0, col = 0;
    const int hit = HitTest(pt, &row, &col, nullptr);
    int fallback = fw::IDC_ARROW;
    const int id = CursorIdForHit(hit, row, col, &fallback);
    SetGridCursor(id, fallback);
}

bool CGXGridCore::OnGridSetCursor(fw::Window* wnd, unsigned hitTest, unsigned) {
    if (!IsGridCursorArea(wnd, hitTest))
        return false;
    SetCursorAt(m_pGridWnd->ScreenToClient(fw::Point{QCursor::pos().x(), QCursor::pos().y()}));
    return true;
}

void CGXGridCore::SetForcedCursor(int id) {
    m_nForcedCursor = id;
    if (id)
        SetGridCursor(id, fw::IDC_ARROW);
}

bool CGXGridCore::IsGridCursorArea(fw::Window* wnd, unsigned hitTest) {
    return m_bInitDone && m_pGridWnd && wnd == m_pGridWnd &&
           hitTest == static_cast<unsigned>(fw::HTCLIENT);
}

// --- other window messages ---------------------------------------------------------------------

bool CGXGridCore::OnGridCancelMode() {
    if (OnResizeRowColCancel()) {
        // the resize feature ended its drag
    } else if (m_nPressed != 0) {
        if (m_pParam && m_pParam->m_bSetCurrentCellOnRelease)
            SetSelection(nullptr);
        m_nPressed = 0;
        m_nPressedButton = 0;
    } else if (m_bDragging || m_bDragArmed) {
        CancelDrag();
    } else if (m_bFilling) {
        CancelFill();
    }
    if (m_pParam && m_pParam->m_bRedrawOnCancel) {
        m_pParam->m_bRedrawOnCancel = false;
        Redraw(GX_INVALIDATE);
    }
    m_nForcedCursor = 0;
    if (m_pGridWnd && fw::Window::GetCapture() == m_pGridWnd)
        fw::Window::ReleaseCapture();
    if (CGXControl* control = GetCurrentCellControl())
        control->OnCancelMode();
    return true;
}

bool CGXGridCore::OnGridMouseActivate(fw::Window*, unsigned hitTest, unsigned,
                                      fw::LRESULT& result) {
    if (m_pParam && m_pParam->m_bFocusOnClickInActiveView && m_bIsViewContext &&
        hitTest == static_cast<unsigned>(fw::HTCLIENT) && m_pLastFocusWnd != m_pGridWnd) {
        m_pGridWnd->SetFocus();
        m_pLastFocusWnd = m_pGridWnd;
        result = fw::MA_ACTIVATEANDEAT;
        return true;
    }
    if (CGXControl* control = GetCurrentCellControl())
        return control->OnMouseActivate(result);
    return false;
}

bool CGXGridCore::PassToControl(fw::WPARAM wParam, fw::LPARAM lParam) {
    CGXControl* control = GetCurrentCellControl();
    if (!control)
        return false;
    control->OnGridScroll(0, wParam, lParam);
    return true;
}

bool CGXGridCore::OnGridSysColorChange() {
    CGXSysColorCache::Instance().Update();
    for (auto& [id, control] : m_controls) control->OnSysColorChange();
    if (m_pGridWnd)
        m_pGridWnd->Invalidate();
    return true;
}

bool CGXGridCore::OnGridWinIniChange() {
    CGXSysColorCache::Instance().Update();
    for (auto& [id, control] : m_controls) control->OnSettingsChange();
    return true;
}

unsigned CGXGridCore::OnGridGetDlgCode(unsigned code) {
    return code | 0x83u;
}

fw::Window* CGXGridCore::GetScrollBarCtrl(bool vertical) {
    if (!m_pGridWnd)
        return nullptr;
    if (m_pGridWnd->GetStyle() & (vertical ? fw::WS_VSCROLL : fw::WS_HSCROLL))
        return nullptr;
    fw::Window* parent = m_pGridWnd->GetParentWindow();
    return parent ? parent->GetDlgItem(vertical ? 59920 : 59904) : nullptr;
}

bool CGXGridCore::OnGridKillFocus(fw::Window* newWnd) {
    m_bFocusLost = true;
    if (m_bSettingFocus || m_bNoFocusChange || IsGridOrChild(newWnd))
        return true;
    OnActivateGrid(false);
    return true;
}

bool CGXGridCore::OnGridSetFocus(fw::Window* oldWnd) {
    if (m_bSettingFocus)
        return true;
    if (!IsGridOrChild(oldWnd))
        OnActivateGrid(true);
    m_pLastFocusWnd = oldWnd;
    if (m_bRefusedValidation) {
        if (CGXControl* control = GetCurrentCellControl())
            control->Refresh();
        m_bRefusedValidation = false;
    }
    return true;
}

bool CGXGridCore::OnGridTimer(unsigned id) {
    if (!m_bInitDone || !GridWndIsVisible())
        return false;
    // The automatic-scroll plug-in sees its timer among the plug-in messages.
    if (CGXControl* control = GetCurrentCellControl())
        control->OnTimer(id);
    return true;
}

namespace {

// What the tooltip proxy asks of the grid: the cell under a point (the top-left cell of a
// covering) and the cell's tip text.
class GridToolTipHost : public CGXToolTipHost {
public:
    explicit GridToolTipHost(CGXGridCore& grid) : grid_(grid) {}
    bool ToolTipCellFromPoint(fw::Point client, ROWCOL& row, ROWCOL& col) override {
        if (!grid_.CalcCellFromPoint(client, row, col))
            return false;
        CGXRange covering;
        if (grid_.GetCoveredCellsRowCol(row, col, covering)) {
            row = covering.top;
            col = covering.left;
        }
        return true;
    }
    std::string ToolTipText(ROWCOL row, ROWCOL col) override {
        const CGXStyle& style = grid_.LookupStyleRowCol(row, col);
        return style.GetUserAttribute(GX_IDS_UA_TOOLTIPTEXT).GetValue();
    }

private:
    CGXGridCore& grid_;
};

}  // namespace

bool CGXGridCore::EnableGridToolTips(bool enable) {
    if (enable && !m_pToolTipProxy && m_pGridWnd) {
        m_pToolTipHost = std::make_unique<GridToolTipHost>(*this);
        auto proxy = std::make_unique<CGXToolTipCtrlProxy>(m_pToolTipHost.get(), m_pGridWnd);
        if (proxy->Create())
            m_pToolTipProxy = std::move(proxy);
    }
    m_bToolTips = enable;
    if (!enable && m_pToolTipProxy)
        m_pToolTipProxy->ResetLastCell();
    return true;
}

bool CGXGridCore::OnGridWndMsg(unsigned message, fw::WPARAM wParam, fw::LPARAM lParam,
                               fw::LRESULT& result) {
    // The tooltip sees the mouse messages first (a button hides the tip).
    if (m_bToolTips && m_pToolTipProxy && message >= fw::WM_MOUSEMOVE &&
        message <= fw::WM_MBUTTONDBLCLK)
        m_pToolTipProxy->RelayEvent({message, wParam, lParam, {}});
    for (auto& plugin : m_plugins) {
        plugin->HandleMessage(message, wParam, lParam, &result);
        if (plugin->m_bExitMessage)
            return true;
        if (plugin->m_bSkipOtherPlugins)
            return false;
    }
    return false;
}

bool CGXGridCore::OnGridShowWindow(bool show) {
    if (!show)
        InvalidateCachedVisible();
    return true;
}

bool CGXGridCore::OnGridDestroy() {
    m_bDropDownOpen = false;
    return false;
}

bool CGXGridCore::OnGridCtlColor(fw::DeviceContext* dc, fw::Window*, unsigned) {
    ROWCOL row, col;
    if (!dc || !GetCurrentCell(row, col))
        return false;
    const CGXStyle& style = LookupStyleRowCol(row, col);
    dc->SetTextColor(GXResolveColor(style.GetTextColor()) & 0xFFFFFFu);
    dc->SetBkColor(style.GetInterior().GetColorResolved() & 0xFFFFFFu);
    return true;
}

void CGXGridCore::SetSizeLock(const void* object) {
    const bool had = m_pSizeLock != nullptr;
    m_pSizeLock = object;
    if (had && !object && m_pGridWnd)
        m_pGridWnd->Invalidate();
}

// The resize feature (slot 20) tracks boundary drags; without it nothing is tracked.
namespace {
CGXAbstractGridUserResizeCellsImp* ResizeImp(const CGXGridCore& grid) {
    return dynamic_cast<CGXAbstractGridUserResizeCellsImp*>(grid.GetFeatureSlot(20));
}
}  // namespace

bool CGXGridCore::OnResizeRowColStart(int hit, fw::Point pt) {
    auto* f = ResizeImp(*this);
    return f && f->OnTrackButtonDown(this, hit, pt);
}
bool CGXGridCore::OnResizeRowColMove(fw::Point pt) {
    auto* f = ResizeImp(*this);
    if (!f || !IsTracking())
        return false;
    f->OnTrackMouseMove(this, pt);
    return true;
}
bool CGXGridCore::OnResizeRowColEnd(fw::Point pt) {
    auto* f = ResizeImp(*this);
    if (!f || !IsTracking())
        return false;
    f->OnTrackButtonUp(this, pt);
    return true;
}
bool CGXGridCore::OnResizeRowColCancel() {
    auto* f = ResizeImp(*this);
    if (!f || !IsTracking())
        return false;
    f->CancelTracking(this);
    return true;
}
bool CGXGridCore::OnResizeRowColDblClk(int hit, fw::Point pt) {
    auto* f = ResizeImp(*this);
    return f && f->OnTrackDblClick(this, hit, pt);
}
bool CGXGridCore::CanResizeCol(ROWCOL) {
    return dynamic_cast<CGXAbstractGridUserResizeCellsImp*>(GetFeatureSlot(20)) != nullptr;
}
bool CGXGridCore::CanResizeRow(ROWCOL) {
    return dynamic_cast<CGXAbstractGridUserResizeCellsImp*>(GetFeatureSlot(20)) != nullptr;
}

bool CGXGridCore::OnGridCommand(fw::WPARAM wParam, fw::LPARAM lParam) {
    // A control window's notification (an edit's EN_CHANGE) belongs to the current cell's
    // control; commands it does not take go on to the window's command routing.
    CGXControl* control = GetCurrentCellControl();
    return control && control->OnCommand(wParam, lParam);
}
