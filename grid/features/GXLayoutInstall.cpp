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
#include "grid/features/GXInstallSlot.h"

void CGXGridCore::InstallHideCellsImp() {
    GXInstallSlot<CGXGridHideCellsImp>(*this, 13);
    GXAddSizeCommandStrings();
}

void CGXGridCore::InstallUserResizeCellsImp() {
    GXInstallSlot<CGXGridUserResizeCellsImp>(*this, 20);
    GXAddSizeCommandStrings();
}

void CGXGridCore::InstallMarkEditHeaderImp() {
    GXInstallSlot<CGXGridMarkEditHeaderImp>(*this, 22);
}

void CGXGridCore::InstallUpdateHintImp() {
    GXInstallSlot<CGXGridUpdateHintImp>(*this, 11);
}

void CGXGridCore::InstallResizeToFitImp() {
    GXInstallSlot<CGXGridResizeToFitImp>(*this, 12);
    InstallCalcSizeImp();
    GXAddSizeCommandStrings();
}

void CGXGridCore::InstallFreezeMenuHelperImp() {
    GXInstallSlot<CGXGridFreezeMenuHelperImp>(*this, 23);
}

void CGXGridCore::InstallOptimizedUpdateImp() {
    GXInstallSlot<CGXGridOptimizedUpdateImp>(*this, 21);
}

void CGXGridCore::InstallCalcSizeImp() {
    GXInstallSlot<CGXCalcSizeImp>(*this, 10);
}
