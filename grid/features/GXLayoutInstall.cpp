// Installers of the layout features: hidden rows and columns, resizing with the mouse and the
// marking of the current cell's headers, the update hints between views, the repaint by
// scrolling after inserts, removals and size changes, and the size of a cell's contents.
#include "grid/core/CGXGridCore.h"
#include "grid/features/CGXCalcSizeImp.h"
#include "grid/features/CGXGridFreezeMenuHelperImp.h"
#include "grid/features/CGXGridHideCellsImp.h"
#include "grid/features/CGXGridMarkEditHeaderImp.h"
#include "grid/features/CGXGridOptimizedUpdateImp.h"
#include "grid/features/CGXGridResizeToFitImp.h"
#include "grid/features/CGXGridUpdateHintImp.h"
#include "grid/features/CGXGridUserResizeCellsImp.h"
#include "grid/features/CGXSizeCommands.h"

namespace {
template <class Imp>
void InstallSlot(CGXGridCore& grid, int slot) {
    if (grid.GetFeatureSlot(slot))
        return;
    grid.SetFeatureSlot(slot, grid.AddOwnedObject(std::make_unique<Imp>()));
}
}  // namespace

void CGXGridCore::InstallHideCellsImp() {
    InstallSlot<CGXGridHideCellsImp>(*this, 13);
    GXAddSizeCommandStrings();
}

void CGXGridCore::InstallUserResizeCellsImp() {
    InstallSlot<CGXGridUserResizeCellsImp>(*this, 20);
    GXAddSizeCommandStrings();
}

void CGXGridCore::InstallMarkEditHeaderImp() {
    InstallSlot<CGXGridMarkEditHeaderImp>(*this, 22);
}

void CGXGridCore::InstallUpdateHintImp() {
    InstallSlot<CGXGridUpdateHintImp>(*this, 11);
}

void CGXGridCore::InstallResizeToFitImp() {
    InstallSlot<CGXGridResizeToFitImp>(*this, 12);
    InstallCalcSizeImp();
    GXAddSizeCommandStrings();
}

void CGXGridCore::InstallFreezeMenuHelperImp() {
    InstallSlot<CGXGridFreezeMenuHelperImp>(*this, 23);
}

void CGXGridCore::InstallOptimizedUpdateImp() {
    InstallSlot<CGXGridOptimizedUpdateImp>(*this, 21);
}

void CGXGridCore::InstallCalcSizeImp() {
    InstallSlot<CGXCalcSizeImp>(*this, 10);
}
