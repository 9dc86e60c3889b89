#include "grid/controls/CGXControlFactory.h"

#include "grid/controls/CGXCheckBox.h"
#include "grid/controls/CGXControl.h"
#include "grid/core/CGXNumberFormattingImp.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/GXLibraryState.h"

std::unique_ptr<CGXControl> CGXControlFactory::CreateCellControl(unsigned controlId,
                                                                 CGXGridCore& grid) {
    switch (controlId) {
        case GX_IDS_CTRL_STATIC:
            return std::make_unique<CGXStatic>(&grid);
        case GX_IDS_CTRL_CHECKBOX:
            return std::make_unique<CGXCheckBox>(&grid, false);
        case GX_IDS_CTRL_CHECKBOX3D:
            return std::make_unique<CGXCheckBox>(&grid, true);
        case GX_IDS_CTRL_CHECKBOX_EX:
            return std::make_unique<CGXCheckBoxEx>(&grid, false);
        case GX_IDS_CTRL_CHECKBOX3D_EX:
            return std::make_unique<CGXCheckBoxEx>(&grid, true);
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
    for (unsigned id : {GX_IDS_CTRL_CHECKBOX, GX_IDS_CTRL_CHECKBOX3D, GX_IDS_CTRL_CHECKBOX_EX,
                        GX_IDS_CTRL_CHECKBOX3D_EX})
        map.AddControl(id);
    CGXCheckBox::AddUserAttributes(map);
}

void GXInitWithControlFactory() {
    GXInitLibrary(std::make_unique<CGXControlFactory>());
}
