// Installers of moving rows and columns, dragging them by their headers, the selection frame
// and filling by its handle.
#include "grid/core/CGXGridCore.h"
#include "grid/features/CGXGridExcelLikeFillImp.h"
#include "grid/features/CGXGridExcelLikeFrameImp.h"
#include "grid/features/CGXGridMoveRowsColsImp.h"
#include "grid/features/CGXGridUserDragSelectRangeImp.h"
#include "grid/features/GXInstallSlot.h"

#include <memory>

void CGXGridCore::InstallMoveRowsColsImp() {
    GXInstallSlot<CGXGridMoveRowsColsImp>(*this, 19);
}

void CGXGridCore::InstallUserDragSelectRangeImp() {
    GXInstallSlot<CGXGridUserDragSelectRangeImp>(*this, 18);
    InstallUserSelectRangeImp();
    InstallMoveRowsColsImp();
}

void CGXGridCore::InstallExcelLikeFrameImp() {
    GXInstallSlot<CGXGridExcelLikeFrameImp>(*this, 16);
    InstallUserSelectRangeImp();
}

void CGXGridCore::InstallExcelLikeFillImp() {
    if (!GetExcelLikeFillImp()) {
        auto fill = std::make_unique<CGXGridExcelLikeFillImp>();
        SetExcelLikeFillImp(fill.release(), true);  // the grid owns it from here
    }
    InstallExcelLikeFrameImp();
}
