// Interfaces of the per-grid feature objects that fill the grid core's feature slots, and the
// undo command base. Each interface has one implementation, named without "Abstract", among the
// grid's feature components; the core forwards to the object in a slot when it is filled and
// does nothing (answering 0, FALSE or null) when it is empty. The operations of each interface
// are added with the feature that implements it; every operation takes the grid core first.
#pragma once

#include "grid/core/GXTypes.h"

class CGXGridCore;

// An undo or redo command, held in the parameter object's undo and redo lists.
class CGXCommand : public CGXOwnedObject {};

class CGXAbstractGridPrintImp : public CGXOwnedObject {};
class CGXAbstractGridSortImp : public CGXOwnedObject {};
class CGXAbstractGridOldDrawingImp : public CGXOwnedObject {};
class CGXAbstractGridCoveredCellsImp : public CGXOwnedObject {};
class CGXAbstractDrawSpannedCellsImp : public CGXOwnedObject {};
class CGXAbstractGridFloatCellsImp : public CGXOwnedObject {};
class CGXAbstractGridMergeCellsImp : public CGXOwnedObject {};
class CGXCommandFactory : public CGXOwnedObject {};
class CGXAbstractCalcSizeImp : public CGXOwnedObject {};
class CGXAbstractGridUpdateHintImp : public CGXOwnedObject {};
class CGXAbstractGridResizeToFitImp : public CGXOwnedObject {};
class CGXAbstractGridHideCellsImp : public CGXOwnedObject {};
class CGXAbstractGridFindReplaceImp : public CGXOwnedObject {};
class CGXAbstractGridUserSelectRangeImp : public CGXOwnedObject {};
class CGXAbstractGridExcelLikeFrameImp : public CGXOwnedObject {};
class CGXAbstractGridExcelLikeFillImp : public CGXOwnedObject {};
class CGXAbstractGridUserDragSelectRangeImp : public CGXOwnedObject {};
class CGXAbstractGridMoveRowsColsImp : public CGXOwnedObject {};
class CGXAbstractGridUserResizeCellsImp : public CGXOwnedObject {};
class CGXAbstractGridOptimizedUpdateImp : public CGXOwnedObject {};
class CGXAbstractGridMarkEditHeaderImp : public CGXOwnedObject {};
class CGXAbstractGridFreezeMenuHelperImp : public CGXOwnedObject {};
class CGXAbstractGridDirectCopyMoveCellsImp : public CGXOwnedObject {};
class CGXAbstractGridTextDataExchangeImp : public CGXOwnedObject {};
class CGXAbstractGridStyleDataExchangeImp : public CGXOwnedObject {};
class CGXAbstractGridCutPasteImp : public CGXOwnedObject {};
class CGXAbstractGridClearCellsImp : public CGXOwnedObject {};

// The tab-window interface that a tab window installs in the library state; every grid tells it
// its sheet name when it is initialised.
class CGXTabWndInterface : public CGXOwnedObject {
public:
    virtual void OnGridInitialized(void* gridWindow, const char* sheetName, bool hasName) = 0;
};
