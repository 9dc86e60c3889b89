#include "grid/controls/CGXControlFactory.h"

#include "framework/persist/StringTable.h"
#include "grid/controls/CGXCheckBox.h"
#include "grid/controls/CGXControl.h"
#include "grid/controls/CGXEditControl.h"
#include "grid/controls/CGXHeader.h"
#include "grid/controls/CGXSpinEdit.h"
#include "grid/controls/CGXTabbedComboBoxWnd.h"
#include "grid/core/CGXNumberFormattingImp.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/GXLibraryState.h"

std::unique_ptr<CGXControl> CGXControlFactory::CreateCellControl(unsigned controlId,
                                                                 CGXGridCore& grid) {
    std::unique_ptr<CGXControl> control;
    bool tips = false;  // controls that show text or pool bitmaps carry a cell tip
    switch (controlId) {
        case GX_IDS_CTRL_STATIC:
            control = std::make_unique<CGXStatic>(&grid);
            tips = true;
            break;
        case GX_IDS_CTRL_HEADER:
            control = std::make_unique<CGXHeader>(&grid);
            tips = true;
            break;
        case GX_IDS_CTRL_DAOBITMAP:
            control = std::make_unique<CGXDaoBitmap>(&grid);
            break;
        case GX_IDS_CTRL_CHECKBOX:
            control = std::make_unique<CGXCheckBox>(&grid, false);
            break;
        case GX_IDS_CTRL_CHECKBOX3D:
            control = std::make_unique<CGXCheckBox>(&grid, true);
            break;
        case GX_IDS_CTRL_CHECKBOX_EX:
            control = std::make_unique<CGXCheckBoxEx>(&grid, false);
            break;
        case GX_IDS_CTRL_CHECKBOX3D_EX:
            control = std::make_unique<CGXCheckBoxEx>(&grid, true);
            break;
        case GX_IDS_CTRL_CBS_DROPDOWN:
            control = std::make_unique<CGXComboBoxWnd>(&grid, false);
            break;
        case GX_IDS_CTRL_CBS_DROPDOWNLIST:
            control = std::make_unique<CGXComboBoxWnd>(&grid, true);
            break;
        case GX_IDS_CTRL_TABBED_DROPDOWNLIST:
            control = std::make_unique<CGXTabbedComboBoxWnd>(&grid);
            break;
        // edit controls
        case GX_IDS_CTRL_SPINEDIT:
            control = std::make_unique<CGXSpinEdit>(&grid, GX_IDS_CTRL_SPINEDIT);
            tips = true;
            break;
        default:
            // GX_IDS_CTRL_EDIT and every id without a control of its own: the edit control,
            // bound to the edit control's id.
            control = std::make_unique<CGXEditControl>(&grid, GX_IDS_CTRL_EDIT_CONTROL);
            tips = true;
            break;
    }
    if (tips)
        control->AttachCellTips();
    return control;
}

void CGXControlFactory::InstallGridFeatures(CGXGridCore&) {}

void CGXControlFactory::InstallApplicationComponents() {
    InstallNumberFormattingImp();
}

namespace {

// The string-table names of the controls and attributes made here, unless a program set its own.
constexpr fw::StringEntry kControlTexts[] = {
    // edit controls
    {GX_IDS_CTRL_EDIT_CONTROL, "Edit Control"},
    {GX_IDS_CTRL_SPINEDIT, "Spin Edit"},
    {GX_IDS_UA_SPINBOUND_MIN, "SpinBound: Min. Value"},
    {GX_IDS_UA_SPINBOUND_MAX, "SpinBound: Max. Value"},
    {GX_IDS_UA_SPINBOUND_WRAP, "SpinBound: Wrap Value"},
    {GX_IDS_UA_SPINSTART, "SpinEdit: start value"},
    {GX_IDS_CTRL_STATIC, "Static Text"},
    {GX_IDS_CTRL_CHECKBOX, "Checkbox, 1/0"},
    {GX_IDS_CTRL_CHECKBOX3D, "Checkbox, 3d-Effect"},
    {GX_IDS_CTRL_CHECKBOX_EX, "Checkbox with modify state"},
    {GX_IDS_CTRL_CHECKBOX3D_EX, "3D Checkbox with modify state"},
    {GX_IDS_CTRL_DAOBITMAP, "Dao bitmap control"},
    {GX_IDS_CTRL_CBS_DROPDOWN, "MFC ComboBox"},
    {GX_IDS_CTRL_CBS_DROPDOWNLIST, "MFC DropDownList"},
    {GX_IDS_CTRL_TABBED_DROPDOWNLIST, "Tabbed MFC DropDownList"},
    {GX_IDS_UA_TABLIST_UNIQUEID, "TabList: Unique choicelist id"},
};

}  // namespace

void CGXControlFactory::RegisterControlIds(CGXStylesMap& map) {
    for (const fw::StringEntry& e : kControlTexts)
        if (!fw::FindString(e.id))
            fw::SetString(e.id, e.text);
    map.AddControl(GX_IDS_CTRL_EDIT);
    map.AddControl(GX_IDS_CTRL_STATIC);
    map.AddControl(GX_IDS_CTRL_HEADER);
    map.AddControl(GX_IDS_CTRL_DAOBITMAP);
    map.AddControl(GX_IDS_CTRL_CBS_DROPDOWN);
    map.AddControl(GX_IDS_CTRL_CBS_DROPDOWNLIST);
    map.AddControl(GX_IDS_CTRL_TABBED_DROPDOWNLIST);
    CGXTabbedComboBoxWnd::AddUserAttributes(map);
    for (unsigned id : {GX_IDS_CTRL_CHECKBOX, GX_IDS_CTRL_CHECKBOX3D, GX_IDS_CTRL_CHECKBOX_EX,
                        GX_IDS_CTRL_CHECKBOX3D_EX})
        map.AddControl(id);
    CGXCheckBox::AddUserAttributes(map);
    // edit controls
    map.AddControl(GX_IDS_CTRL_SPINEDIT);
    CGXSpinEdit::AddUserAttributes(map);
}

void GXInitWithControlFactory() {
    GXInitLibrary(std::make_unique<CGXControlFactory>());
}
