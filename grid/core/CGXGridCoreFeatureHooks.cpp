// Forwarders of the editing features (clearing, block copy and move, text exchange) and the
// getters of their slots. The installers live with the features themselves.
#include "grid/core/CGXGridCore.h"

CGXAbstractGridUserSelectRangeImp* CGXGridCore::GetUserSelectRangeImp() const {
    return SlotAs<CGXAbstractGridUserSelectRangeImp>(15);
}
CGXAbstractGridDirectCopyMoveCellsImp* CGXGridCore::GetDirectCopyMoveCellsImp() const {
    return SlotAs<CGXAbstractGridDirectCopyMoveCellsImp>(24);
}
CGXAbstractGridTextDataExchangeImp* CGXGridCore::GetTextDataExchangeImp() const {
    return SlotAs<CGXAbstractGridTextDataExchangeImp>(25);
}
CGXAbstractGridStyleDataExchangeImp* CGXGridCore::GetStyleDataExchangeImp() const {
    return SlotAs<CGXAbstractGridStyleDataExchangeImp>(26);
}
CGXAbstractGridClearCellsImp* CGXGridCore::GetClearCellsImp() const {
    return SlotAs<CGXAbstractGridClearCellsImp>(28);
}

bool CGXGridCore::CanClear() {
    auto* f = GetClearCellsImp();
    return f && f->CanClear(this);
}
bool CGXGridCore::Clear(bool styles) {
    auto* f = GetClearCellsImp();
    return f && f->Clear(this, styles);
}
bool CGXGridCore::ClearCells(const CGXRangeList& list, bool styles) {
    auto* f = GetClearCellsImp();
    return f && f->ClearCells(this, list, styles);
}
bool CGXGridCore::CopyCells(const CGXRange& source, ROWCOL destRow, ROWCOL destCol,
                            unsigned flags) {
    auto* f = GetDirectCopyMoveCellsImp();
    return f && f->CopyCells(this, source, destRow, destCol, flags);
}
bool CGXGridCore::MoveCells(const CGXRange& source, ROWCOL destRow, ROWCOL destCol,
                            std::unique_ptr<CGXOwnedObject> data, unsigned flags, int ctCmd) {
    auto* f = GetDirectCopyMoveCellsImp();
    return f && f->MoveCells(this, source, destRow, destCol, std::move(data), flags, ctCmd);
}
bool CGXGridCore::PasteTextFromBuffer(const char* text, std::size_t size, const CGXRange& target) {
    auto* f = GetTextDataExchangeImp();
    return f && f->PasteTextFromBuffer(this, text, size, target);
}

bool CGXGridCore::MoveCurrentCellWithSelection(int direction, unsigned count, bool shift) {
    ROWCOL fromRow = 0, fromCol = 0;
    const bool had = GetCurrentCell(fromRow, fromCol);
    const bool moved = DoMoveCurrentCell(direction, count);
    if (moved && had)
        if (auto* f = GetUserSelectRangeImp())
            f->MoveCurrentCellEx(this, fromRow, fromCol, shift);
    return moved;
}

bool CGXGridCore::SelectionMouseAction(ROWCOL row, ROWCOL col, unsigned flags, unsigned action) {
    auto* f = GetUserSelectRangeImp();
    if (!f)
        return false;
    if (action & GX_MABUTTONDOWN) {
        const bool header = row <= GetHeaderRows() || col <= GetHeaderCols();
        if (header && f->OnCtrlClickHeader(this, row, col, flags))
            return true;
        f->OnSelectButtonDown(this, row, col, flags);
        return header;
    }
    if (action & GX_MAMOVE)
        f->OnSelectMouseMove(this, row, col);
    else if (action & GX_MABUTTONUP)
        f->OnSelectButtonUp(this, row, col);
    return row <= GetHeaderRows() || col <= GetHeaderCols();
}
