#include "grid/features/GXFeatureInstall.h"

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/CGXCommandFactory.h"
#include "grid/features/CGXCoveredCellPool.h"
#include "grid/features/CGXDataCopyMoveCellsImp.h"
#include "grid/features/CGXDrawRotatedTextImp.h"
#include "grid/features/CGXDrawSpannedCellsImp.h"
#include "grid/features/CGXGridCellBlocks.h"
#include "grid/features/CGXGridClipboard.h"
#include "grid/features/CGXGridCoveredCellsImp.h"
#include "grid/features/CGXGridDocSerializeImp.h"
#include "grid/features/CGXGridFloatCellsImp.h"
#include "grid/features/CGXGridMergeCellsImp.h"
#include "grid/features/CGXGridParamCopyOperatorImp.h"
#include "grid/features/CGXGridProfileImp.h"
#include "grid/features/CGXGridSortImp.h"
#include "grid/features/CGXGridUserSelectRangeImp.h"
#include "grid/features/CGXLongOperationImp.h"
#include "grid/features/CGXNoOleDateTimeImp.h"
#include "grid/features/CGXPrintDeviceImp.h"
#include "grid/features/CGXSpanCellPools.h"
#include "grid/features/CGXStyleCompareSubsetImp.h"
#include "grid/features/CGXStyleSerializeImp.h"
#include "grid/features/GXInstallSlot.h"

void CGXGridCore::InstallCommandFactory() {
    GXInstallSlot<CGXCommandFactory>(*this, 9);
    GXAddFeatureStrings();
}

void CGXGridCore::InstallDirectCopyMoveCellsImp() {
    GXInstallSlot<CGXGridDirectCopyMoveCellsImp>(*this, 24);
    InstallDataCopyMoveCellsImp();
    GXAddFeatureStrings();
}

void CGXGridCore::InstallClearCellsImp() {
    GXInstallSlot<CGXGridClearCellsImp>(*this, 28);
    GXAddFeatureStrings();
}

void CGXGridCore::InstallUserSelectRangeImp() {
    GXInstallSlot<CGXGridUserSelectRangeImp>(*this, 15);
}

void CGXGridCore::InstallTextDataExchangeImp() {
    GXInstallSlot<CGXGridTextDataExchangeImp>(*this, 25);
}

void CGXGridCore::InstallStyleDataExchangeImp() {
    GXInstallSlot<CGXGridStyleDataExchangeImp>(*this, 26);
}

void CGXGridCore::InstallCutPasteImp() {
    GXInstallSlot<CGXGridCutPasteImp>(*this, 27);
    GXAddFeatureStrings();
}

void CGXGridCore::InstallSortImp() {
    GXInstallSlot<CGXGridSortImp>(*this, 3);
    InstallSortMoveDataImp();
    GXAddLayoutStrings();
}

void CGXGridCore::InstallDrawSpannedCellsImp() {
    GXInstallSlot<CGXDrawSpannedCellsImp>(*this, 6);
}

void CGXGridCore::InstallCoveredCellsImp() {
    GXInstallSlot<CGXGridCoveredCellsImp>(*this, 5);
    InstallCoveredCellPoolImp();
    if (GetParam())
        GetParam()->CreateCoveredCellPool();
    InstallDrawSpannedCellsImp();
    GXAddLayoutStrings();
}

void CGXGridCore::InstallFloatCellsImp() {
    GXInstallSlot<CGXGridFloatCellsImp>(*this, 7);
    InstallDrawSpannedCellsImp();
    InstallSpanCellPoolImp();
    InstallCalcSizeImp();
}

void CGXGridCore::InstallMergeCellsImp() {
    GXInstallSlot<CGXGridMergeCellsImp>(*this, 8);
    InstallDrawSpannedCellsImp();
    InstallSpanCellPoolImp();
    InstallDelayedRangePoolImp();
    InstallStyleCompareSubsetImp();
}

void CGXFeatureControlFactory::InstallGridFeatures(CGXGridCore& grid) {
    CGXControlFactory::InstallGridFeatures(grid);
    grid.InstallUpdateHintImp();
    grid.InstallCommandFactory();
    grid.InstallUserSelectRangeImp();
    grid.InstallExcelLikeFrameImp();
    grid.InstallUserDragSelectRangeImp();
    grid.InstallDirectCopyMoveCellsImp();
    grid.InstallTextDataExchangeImp();
    grid.InstallStyleDataExchangeImp();
    grid.InstallCutPasteImp();
    grid.InstallClearCellsImp();
    grid.InstallHideCellsImp();
    grid.InstallUserResizeCellsImp();
    grid.InstallOptimizedUpdateImp();
    grid.InstallMarkEditHeaderImp();
    grid.InstallResizeToFitImp();
    grid.InstallFreezeMenuHelperImp();
    grid.InstallSortImp();
    grid.InstallCoveredCellsImp();
    grid.InstallFloatCellsImp();
    grid.InstallMergeCellsImp();
    grid.InstallFindReplaceImp();
    grid.InstallPrintImp();
    grid.InstallExcelLikeFillImp();
}

void CGXFeatureControlFactory::InstallApplicationComponents() {
    CGXControlFactory::InstallApplicationComponents();
    InstallStyleCompareSubsetImp();
    InstallStyleSerializeImp();
    InstallDocSerializeImp();
    InstallParamCopyOperatorImp();
    InstallProfileImp();
    InstallSortMoveDataImp();
    InstallDataCopyMoveCellsImp();
    InstallLongOperationImp();
    InstallSpanCellPoolImp();
    InstallDelayedRangePoolImp();
    InstallNoOleDateTimeImp();
    InstallDrawRotatedTextImp();
    InstallPrintDeviceImp();
    GXAddFeatureStrings();
}

void GXInitWithFeatures() {
    GXInitLibrary(std::make_unique<CGXFeatureControlFactory>());
}
