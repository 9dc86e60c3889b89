// Forwarders of the editing features (clearing, block copy and move, text exchange) and the
// getters of their slots. The installers live with the features themselves.
#include "grid/core/CGXGridCore.h"

namespace {
template <class T>
T* SlotOf(const CGXGridCore& grid, int slot) {
    return dynamic_cast<T*>(grid.GetFeatureSlot(slot));
}
}  // namespace

CGXAbstractGridUserSelectRangeImp* CGXGridCore::GetUserSelectRangeImp() const {
    return SlotOf<CGXAbstractGridUserSelectRangeImp>(*this, 15);
}
CGXAbstractGridDirectCopyMoveCellsImp* CGXGridCore::GetDirectCopyMoveCellsImp() const {
    return SlotOf<CGXAbstractGridDirectCopyMoveCellsImp>(*this, 24);
}
CGXAbstractGridTextDataExchangeImp* CGXGridCore::GetTextDataExchangeImp() const {
    return SlotOf<CGXAbstractGridTextDataExchangeImp>(*this, 25);
}
CGXAbstractGridStyleDataExchangeImp* CGXGridCore::GetStyleDataExchangeImp() const {
    return SlotOf<CGXAbstractGridStyleDataExchangeImp>(*this, 26);
}
CGXAbstractGridClearCellsImp* CGXGridCore::GetClearCellsImp() const {
    return SlotOf<CGXAbstractGridClearCellsImp>(*this, 28);
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
