#include "grid/features/CGXGridUpdateHintImp.h"

#include "framework/docview/Document.h"
#include "framework/docview/View.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/CGXSplitterPanes.h"
#include "grid/core/GXLibraryState.h"

#include <vector>

namespace {

const std::vector<int>& Sizes(const CGXGridHint& h) {
    static const std::vector<int> none;
    return h.object ? *static_cast<const std::vector<int>*>(h.object) : none;
}

// A receiving grid repeats a selection change without telling the others again: its own
// redraw of the selection would otherwise send the hint back.
class HintsOff {
public:
    explicit HintsOff(CGXGridCore* grid) : grid_(grid), was_(grid->IsHintsEnabled()) {
        grid_->EnableHints(false);
    }
    ~HintsOff() { grid_->EnableHints(was_); }
    HintsOff(const HintsOff&) = delete;
    HintsOff& operator=(const HintsOff&) = delete;

private:
    CGXGridCore* grid_;
    bool was_;
};

// Zoom hints reach the panes of the sender's splitter, or every view when the zoom is shared.
bool TakesZoom(const CGXGridCore* grid, const CGXGridHint& h) {
    if (grid->GetParam()->m_bSharedZoom)
        return true;
    return grid->GetSplitter() && static_cast<const void*>(grid->GetSplitter()) == h.object;
}

}  // namespace

bool CGXGridUpdateHintImp::SendHint(CGXGridCore* grid, CGXGridHint& hint) {
    fw::Document* doc = grid->GetDocument();
    if (!doc || !grid->IsHintsEnabled())
        return false;
    doc->UpdateAllViews(dynamic_cast<fw::View*>(grid->GridWnd()), GX_HINT_GRID, &hint);
    return true;
}

long CGXGridUpdateHintImp::OnHint(CGXGridCore* grid, const CGXGridHint* hint) {
    if (!grid->GetParam() || !hint)
        return 0;
    if (hint->target != -1 && hint->target != grid->m_nHintChannel)
        return hint->target;
    const CGXGridHint& h = *hint;
    switch (h.id) {
        case 1:
            grid->Redraw(h.flags ? h.flags : GX_INVALIDATE);
            break;
        case 36:
            grid->RefreshViews(false, nullptr, false);
            break;
        case 2:
            grid->RedrawRowCol(h.row1, h.col1, h.row2, h.col2, h.flags);
            break;
        case 3:
            grid->UpdateRowCount(h.row1, h.flags, false);
            break;
        case 4:
            grid->UpdateColCount(h.col1, h.flags, false);
            break;
        case 5:
            grid->OnRowHeightChanged(h.row1, h.row2, Sizes(h), h.flags, false);
            break;
        case 6:
            grid->OnColWidthChanged(h.col1, h.col2, Sizes(h), h.flags, false);
            break;
        case 7:
            grid->UpdateInsertCols(h.col1, static_cast<ROWCOL>(h.countOrResult), h.flags, false);
            break;
        case 8:
            grid->UpdateInsertRows(h.row1, static_cast<ROWCOL>(h.countOrResult), h.flags, false);
            break;
        case 9:
            grid->UpdateRemoveCols(h.col1, h.col2, h.flags, false);
            break;
        case 10:
            grid->UpdateRemoveRows(h.row1, h.row2, h.flags, false);
            break;
        case 11:
            grid->UpdateMoveCols(h.col1, h.col2, h.col3, h.flags, false);
            break;
        case 12:
            grid->UpdateMoveRows(h.row1, h.row2, h.row3, h.flags, false);
            break;
        case 13:
        case 14:
        case 23:
            return OnSelectionHint(grid, h);
        case 15:
            grid->UpdateFrozenRows(h.row1, h.row2, h.flags, false);
            break;
        case 16:
            grid->UpdateFrozenCols(h.col1, h.col2, h.flags, false);
            break;
        case 17:
            grid->UpdateStyleRange(h.range, h.style, static_cast<GXModifyType>(h.modifyType),
                                   static_cast<int>(h.value), h.flags, false);
            break;
        case 18:
            grid->UpdateCoveredCellsRowCol(h.row1, h.col1, h.row2, h.col2, h.flags, false);
            break;
        case 19:
            if (TakesZoom(grid, h)) {
                grid->StoreZoom(static_cast<int>(h.value), false);
                grid->OnZoomChanged(0, h.flags ? h.flags : GX_INVALIDATE);
            }
            break;
        case 20:
            if (TakesZoom(grid, h))
                grid->StoreZoom(static_cast<int>(h.value), false);
            break;
        case 21:
            if (grid->IsActiveCurrentCell())
                grid->RefreshCurrentCell(false);
            break;
        case 22:
            if (CGXTabWndInterface* tabs = GXGetLibraryState().GetTabWndInterface())
                tabs->OnGridInitialized(grid->GridWnd(), grid->GetParam()->m_sSheetName.c_str(),
                                        true);
            break;
        case 24: {
            // Each receiver's result is combined into the hint; the sender answers it.
            const bool stored =
                grid->TransferCurrentCell(h.value != 0, h.flags | GX_CCNOHINT, false);
            h.countOrResult = (h.countOrResult != 0 && stored) ? 1 : 0;
            break;
        }
        case 25:
        case 26:
            return OnSplitterHint(grid, h);
        case 27:
            grid->SetCurrentCell(h.row1, h.col1, h.flags | GX_CCNOHINT);
            break;
        case 30:
            grid->LockSelectionFrame(h.flags != 0, false);
            break;
        case 33:
        case 34:
            grid->UpdateStylesMap(h.flags, false);
            break;
        case 35:
            grid->UpdateBaseStyle(static_cast<std::uint16_t>(h.countOrResult), h.flags, false);
            break;
        default:
            return h.id - 1;
    }
    return h.id;
}

long CGXGridUpdateHintImp::OnSelectionHint(CGXGridCore* grid, const CGXGridHint& h) {
    HintsOff off(grid);
    if (h.id == 23) {
        grid->RedrawRowCol(h.range, GX_INVALIDATE);
        if (h.object)
            grid->RedrawRowCol(*static_cast<const CGXRange*>(h.object), GX_INVALIDATE);
        return h.id;
    }
    CGXAbstractGridUserSelectRangeImp* select = grid->GetUserSelectRangeImp();
    if (!select) {
        // Without the selection feature the block named in the hint, or everything, is redrawn.
        if (h.id == 13 && (h.row2 || h.col2))
            grid->RedrawRowCol(h.row1, h.col1, h.row2, h.col2, GX_INVALIDATE);
        else
            grid->Redraw(GX_INVALIDATE);
        return h.id;
    }
    if (h.id == 13 && h.object)
        select->RedrawSelectionChange(grid, *static_cast<const CGXRangeList*>(h.object));
    else
        select->RedrawSelection(grid);
    return h.id;
}

long CGXGridUpdateHintImp::OnSplitterHint(CGXGridCore* grid, const CGXGridHint& h) {
    const CGXSplitterPanes* splitter = grid->GetSplitter();
    if (!splitter)
        return h.id;
    const bool rows = h.id == 25;  // panes side by side share their rows
    const int count = rows ? splitter->GetColumnCount() : splitter->GetRowCount();
    const int at = rows ? grid->GetPaneCol() : grid->GetPaneRow();
    if (count <= 1 || at < 0 || at >= count)
        return h.id;
    if (static_cast<const void*>(splitter->GetPane(grid->GetPaneRow(), grid->GetPaneCol())) !=
        h.object)
        return h.id;
    if (rows)
        grid->SetTopRow(h.row1, h.flags, false);
    else
        grid->SetLeftCol(h.col1, h.flags, false);
    return h.id;
}

// --- sending ---------------------------------------------------------------------------------

namespace {
bool Send(CGXGridUpdateHintImp& imp, CGXGridCore* grid, CGXGridHint& hint) {
    hint.target = grid->m_nHintChannel;
    return imp.SendHint(grid, hint);
}

// A hint that names a block of cells by its corners.
CGXGridHint BlockHint(int id, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                      unsigned flags = 0) {
    CGXGridHint h(id);
    h.row1 = top;
    h.col1 = left;
    h.row2 = bottom;
    h.col2 = right;
    h.flags = flags;
    return h;
}
}  // namespace

const void* CGXGridUpdateHintImp::OtherPaneInRow(const CGXGridCore* grid) {
    const CGXSplitterPanes* s = grid->GetSplitter();
    if (!s || s->GetColumnCount() < 2)
        return nullptr;
    return s->GetPane(grid->GetPaneRow(), grid->GetPaneCol() == 0 ? 1 : 0);
}

const void* CGXGridUpdateHintImp::OtherPaneInCol(const CGXGridCore* grid) {
    const CGXSplitterPanes* s = grid->GetSplitter();
    if (!s || s->GetRowCount() < 2)
        return nullptr;
    return s->GetPane(grid->GetPaneRow() == 0 ? 1 : 0, grid->GetPaneCol());
}

bool CGXGridUpdateHintImp::HintRedraw(CGXGridCore* grid, unsigned flags) {
    CGXGridHint h(1);
    h.flags = flags;
    return Send(*this, grid, h);
}

bool CGXGridUpdateHintImp::HintRedrawRowCol(CGXGridCore* grid, ROWCOL top, ROWCOL left,
                                            ROWCOL bottom, ROWCOL right, unsigned flags) {
    CGXGridHint h = BlockHint(2, top, left, bottom, right, flags);
    return Send(*this, grid, h);
}

bool CGXGridUpdateHintImp::HintReinitCurrentCell(CGXGridCore* grid, long value) {
    CGXGridHint h(21);
    h.value = value;
    return Send(*this, grid, h);
}

bool CGXGridUpdateHintImp::HintSetCurrentCell(CGXGridCore* grid, ROWCOL row, ROWCOL col,
                                              unsigned flags) {
    CGXGridHint h(27);
    h.row1 = row;
    h.col1 = col;
    h.flags = flags;
    return Send(*this, grid, h);
}

bool CGXGridUpdateHintImp::HintStoreCurrentCell(CGXGridCore* grid, bool save, unsigned flags) {
    CGXGridHint h(24);
    h.value = save ? 1 : 0;
    h.flags = flags;
    h.countOrResult = 1;
    Send(*this, grid, h);
    return h.countOrResult != 0;
}

bool CGXGridUpdateHintImp::HintTopRow(CGXGridCore* grid, ROWCOL row, unsigned flags) {
    const void* pane = OtherPaneInRow(grid);
    if (!pane)
        return false;
    CGXGridHint h(25);
    h.row1 = row;
    h.flags = flags;
    h.object = pane;
    return Send(*this, grid, h);
}

bool CGXGridUpdateHintImp::HintLeftCol(CGXGridCore* grid, ROWCOL col, unsigned flags) {
    const void* pane = OtherPaneInCol(grid);
    if (!pane)
        return false;
    CGXGridHint h(26);
    h.col1 = col;
    h.flags = flags;
    h.object = pane;
    return Send(*this, grid, h);
}

long CGXGridUpdateHintImp::HintSyncPanes(CGXGridCore* grid, int scrollType) {
    if (scrollType == 1 || scrollType == 3)
        return HintTopRow(grid, grid->GetTopRow(), GX_UPDATENOW) ? 1 : 0;
    if (scrollType == 2 || scrollType == 4)
        return HintLeftCol(grid, grid->GetLeftCol(), GX_UPDATENOW) ? 1 : 0;
    return scrollType - 4;
}

bool CGXGridUpdateHintImp::HintSetZoom(CGXGridCore* grid, int zoom) {
    CGXGridHint h(20);
    h.value = zoom;
    h.object = grid->GetSplitter();
    return Send(*this, grid, h);
}

bool CGXGridUpdateHintImp::HintZoom(CGXGridCore* grid, int zoom, unsigned flags) {
    CGXGridHint h(19);
    h.value = zoom;
    h.flags = flags;
    h.object = grid->GetSplitter();
    return Send(*this, grid, h);
}

bool CGXGridUpdateHintImp::HintSelection(CGXGridCore* grid, const void* oldList, ROWCOL top,
                                         ROWCOL left, ROWCOL bottom, ROWCOL right) {
    CGXGridHint h = BlockHint(13, top, left, bottom, right);
    h.object = oldList;
    return Send(*this, grid, h);
}

bool CGXGridUpdateHintImp::HintSelectionAll(CGXGridCore* grid) {
    CGXGridHint h(14);
    return Send(*this, grid, h);
}

bool CGXGridUpdateHintImp::HintSelectRange(CGXGridCore* grid, const CGXRange& range,
                                           const CGXRange* before) {
    CGXGridHint h(23);
    h.range = range;
    h.object = before;
    return Send(*this, grid, h);
}

bool CGXGridUpdateHintImp::HintLockSelectionFrame(CGXGridCore* grid, bool lock) {
    CGXGridHint h(30);
    h.flags = lock ? 1u : 0u;
    return Send(*this, grid, h);
}

bool CGXGridUpdateHintImp::HintSheetName(CGXGridCore* grid) {
    CGXGridHint h(22);
    return Send(*this, grid, h);
}

bool CGXGridUpdateHintImp::HintBaseStyles(CGXGridCore* grid, unsigned flags) {
    CGXGridHint h(34);
    h.flags = flags;
    return Send(*this, grid, h);
}

bool CGXGridUpdateHintImp::HintRefreshViews(CGXGridCore* grid, const void* object) {
    CGXGridHint h(36);
    h.object = object;
    return Send(*this, grid, h);
}

bool CGXGridUpdateHintImp::HintCoveredCells(CGXGridCore* grid, ROWCOL top, ROWCOL left,
                                            ROWCOL bottom, ROWCOL right, unsigned flags) {
    CGXGridHint h = BlockHint(18, top, left, bottom, right, flags);
    return Send(*this, grid, h);
}
