#include "grid/extras/CGXExtrasControlFactory.h"

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/GXLibraryState.h"
#include "grid/extras/CGXOlePreview.h"

std::unique_ptr<CGXControl> CGXExtrasControlFactory::CreateCellControl(unsigned controlId,
                                                                       CGXGridCore& grid) {
    if (controlId == GX_IDS_CTRL_OLEPREVIEW && dynamic_cast<CGXOleBrowsingGrid*>(&grid))
        return std::make_unique<CGXOlePreview>(&grid);
    return CGXControlFactory::CreateCellControl(controlId, grid);
}

void GXInitWithExtras() {
    GXInitLibrary(std::make_unique<CGXExtrasControlFactory>());
}
