#include "grid/controls/CGXControlFactory.h"

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXNumberFormattingImp.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/GXLibraryState.h"

std::unique_ptr<CGXControl> CGXControlFactory::CreateCellControl(unsigned controlId,
                                                                 CGXGridCore& grid) {
    switch (controlId) {
        case GX_IDS_CTRL_STATIC:
            return std::make_unique<CGXStatic>(&grid);
        default:
            // GX_IDS_CTRL_EDIT and unknown ids: the edit control's stand-in.
            return std::make_unique<CGXStatic>(&grid);
    }
}

void CGXControlFactory::InstallGridFeatures(CGXGridCore&) {}

void CGXControlFactory::InstallApplicationComponents() {
    InstallNumberFormattingImp();
}

void CGXControlFactory::RegisterControlIds(CGXStylesMap& map) {
    map.AddControl(GX_IDS_CTRL_EDIT);
    map.AddControl(GX_IDS_CTRL_STATIC);
}

void GXInitWithControlFactory() {
    GXInitLibrary(std::make_unique<CGXControlFactory>());
}
