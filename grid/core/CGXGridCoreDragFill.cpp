// The core's side of moving rows and columns, dragging them by their headers, filling by the
// frame's handle and the selection frame: slot accessors and forwarders. Each forwarder hands
// the call to its feature with the grid first; with the slot empty it does nothing and answers
// FALSE.
#include "grid/core/CGXGridCore.h"

CGXAbstractGridExcelLikeFrameImp* CGXGridCore::GetExcelLikeFrameImp() const {
    return SlotAs<CGXAbstractGridExcelLikeFrameImp>(16);
}
CGXAbstractGridUserDragSelectRangeImp* CGXGridCore::GetUserDragSelectRangeImp() const {
    return SlotAs<CGXAbstractGridUserDragSelectRangeImp>(18);
}
CGXAbstractGridMoveRowsColsImp* CGXGridCore::GetMoveRowsColsImp() const {
    return SlotAs<CGXAbstractGridMoveRowsColsImp>(19);
}

bool CGXGridCore::MoveRows(ROWCOL first, ROWCOL last, ROWCOL dest, unsigned flags, int ctCmd) {
    auto* f = GetMoveRowsColsImp();
    return f && f->MoveRows(this, first, last, dest, flags, ctCmd);
}
bool CGXGridCore::MoveCols(ROWCOL first, ROWCOL last, ROWCOL dest, unsigned flags, int ctCmd) {
    auto* f = GetMoveRowsColsImp();
    return f && f->MoveCols(this, first, last, dest, flags, ctCmd);
}
bool CGXGridCore::StoreMoveRows(ROWCOL first, ROWCOL last, ROWCOL dest) {
    auto* f = GetMoveRowsColsImp();
    return f && f->StoreMoveRows(this, first, last, dest, false);
}
bool CGXGridCore::StoreMoveCols(ROWCOL first, ROWCOL last, ROWCOL dest) {
    auto* f = GetMoveRowsColsImp();
    return f && f->StoreMoveCols(this, first, last, dest, false);
}
void CGXGridCore::UpdateMoveRows(ROWCOL first, ROWCOL last, ROWCOL dest, unsigned flags,
                                 bool createHint) {
    if (auto* f = GetMoveRowsColsImp())
        f->UpdateMoveRows(this, first, last, dest, flags, createHint);
}
void CGXGridCore::UpdateMoveCols(ROWCOL first, ROWCOL last, ROWCOL dest, unsigned flags,
                                 bool createHint) {
    if (auto* f = GetMoveRowsColsImp())
        f->UpdateMoveCols(this, first, last, dest, flags, createHint);
}

bool CGXGridCore::StartDrag(ROWCOL row, ROWCOL col) {
    auto* f = GetUserDragSelectRangeImp();
    return f && f->StartDrag(this, row, col);
}
void CGXGridCore::DragMove(ROWCOL row, ROWCOL col) {
    if (auto* f = GetUserDragSelectRangeImp())
        f->DragMove(this, row, col);
}
bool CGXGridCore::DropSelection(ROWCOL row, ROWCOL col) {
    auto* f = GetUserDragSelectRangeImp();
    return f && f->Drop(this, row, col);
}
void CGXGridCore::CancelDrag() {
    if (auto* f = GetUserDragSelectRangeImp())
        f->CancelDrag(this);
}

void CGXGridCore::DrawSelectionFrame(fw::DeviceContext* dc, const CGXRange& range, int type,
                                     bool erase) {
    if (auto* f = GetExcelLikeFrameImp())
        f->DrawSelectionFrame(this, dc, range, type, erase);
}
void CGXGridCore::UpdateSelectionFrame(const CGXRange* range) {
    if (auto* f = GetExcelLikeFrameImp())
        f->UpdateSelectionFrame(this, range);
}
bool CGXGridCore::LockSelectionFrame(bool lock, bool hint) {
    auto* f = GetExcelLikeFrameImp();
    return f && f->LockSelectionFrame(this, lock, hint);
}

bool CGXGridCore::DoFill(const CGXRange& target, const CGXRange& source) {
    auto* f = GetExcelLikeFillImp();
    return f && f->DoFill(this, target, source);
}
void CGXGridCore::CancelFill() {
    if (auto* f = GetExcelLikeFillImp())
        f->CancelFill(this);
}
