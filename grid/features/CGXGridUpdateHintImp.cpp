#include "grid/features/CGXGridUpdateHintImp.h"

#include "framework/docview/Document.h"
#include "framework/docview/View.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridHint.h"

#include <vector>

namespace {

const std::vector<int>& Sizes(const CGXGridHint& h) {
    static const std::vector<int> none;
    return h.object ? *static_cast<const std::vector<int>*>(h.object) : none;
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
        case 36:
            grid->Redraw(h.flags ? h.flags : GX_INVALIDATE);
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
        case 21:
            if (grid->IsActiveCurrentCell())
                grid->RefreshCurrentCell(false);
            break;
        case 27:
            grid->SetCurrentCell(h.row1, h.col1, h.flags | GX_CCNOHINT);
            break;
        case 33:
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

namespace {
bool Send(CGXGridUpdateHintImp& imp, CGXGridCore* grid, CGXGridHint& hint) {
    hint.target = grid->m_nHintChannel;
    return imp.SendHint(grid, hint);
}
}  // namespace

bool CGXGridUpdateHintImp::HintRedraw(CGXGridCore* grid, unsigned flags) {
    CGXGridHint h(1);
    h.flags = flags;
    return Send(*this, grid, h);
}

bool CGXGridUpdateHintImp::HintRedrawRowCol(CGXGridCore* grid, ROWCOL top, ROWCOL left,
                                            ROWCOL bottom, ROWCOL right, unsigned flags) {
    CGXGridHint h(2);
    h.row1 = top;
    h.col1 = left;
    h.row2 = bottom;
    h.col2 = right;
    h.flags = flags;
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

bool CGXGridUpdateHintImp::HintRefreshViews(CGXGridCore* grid, const void* object) {
    CGXGridHint h(36);
    h.object = object;
    return Send(*this, grid, h);
}

bool CGXGridUpdateHintImp::HintCoveredCells(CGXGridCore* grid, ROWCOL top, ROWCOL left,
                                            ROWCOL bottom, ROWCOL right, unsigned flags) {
    CGXGridHint h(18);
    h.row1 = top;
    h.col1 = left;
    h.row2 = bottom;
    h.col2 = right;
    h.flags = flags;
    return Send(*this, grid, h);
}
