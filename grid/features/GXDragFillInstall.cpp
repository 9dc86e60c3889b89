// Installers of moving rows and columns, dragging them by their headers, the selection frame
// and filling by its handle.
#include "grid/core/CGXGridCore.h"
#include "grid/features/CGXGridExcelLikeFillImp.h"
#include "grid/features/CGXGridExcelLikeFrameImp.h"
#include "grid/features/CGXGridMoveRowsColsImp.h"
#include "grid/features/CGXGridUserDragSelectRangeImp.h"

#include <memory>

namespace {

template <class Imp>
void InstallSlot(CGXGridCore& grid, int slot) {
    if (grid.GetFeatureSlot(slot))
        return;
    grid.SetFeatureSlot(slot, grid.AddOwnedObject(std::make_unique<Imp>()));
}

}  // namespace

void CGXGridCore::InstallMoveRowsColsImp() {
    InstallSlot<CGXGridMoveRowsColsImp>(*this, 19);
}

void CGXGridCore::InstallUserDragSelectRangeImp() {
    InstallSlot<CGXGridUserDragSelectRangeImp>(*this, 18);
    InstallUserSelectRangeImp();
    InstallMoveRowsColsImp();
}

void CGXGridCore::InstallExcelLikeFrameImp() {
    InstallSlot<CGXGridExcelLikeFrameImp>(*this, 16);
    InstallUserSelectRangeImp();
}

void CGXGridCore::InstallExcelLikeFillImp() {
    if (!GetExcelLikeFillImp()) {
        auto fill = std::make_unique<CGXGridExcelLikeFillImp>();
        SetExcelLikeFillImp(fill.release(), true);  // the grid owns it from here
    }
    InstallExcelLikeFrameImp();
}
