#include "grid/controls/CGXControlFactory.h"

#include "framework/persist/StringTable.h"
#include "grid/controls/CGXCheckBox.h"
#include "grid/controls/CGXCheckListComboBox.h"
#include "grid/controls/CGXComboBox.h"
#include "grid/controls/CGXControl.h"
#include "grid/controls/CGXEditControl.h"
#include "grid/controls/CGXHeader.h"
#include "grid/controls/CGXHotSpotEdit.h"
#include "grid/controls/CGXListBox.h"
#include "grid/controls/CGXMaskControl.h"
#include "grid/controls/CGXPasswordControl.h"
#include "grid/controls/CGXProgressCtrl.h"
#include "grid/controls/CGXPushbutton.h"
#include "grid/controls/CGXRadioButton.h"
#include "grid/controls/CGXRichEditCtrl.h"
#include "grid/controls/CGXSpinEdit.h"
#include "grid/controls/CGXTabbedComboBox.h"
#include "grid/controls/CGXTabbedComboBoxWnd.h"
#include "grid/controls/CGXVScrollEdit.h"
#include "grid/core/CGXNumberFormattingImp.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/GXLibraryState.h"

#include <map>

namespace {

// --- controls registered by libraries above this one ---
std::map<unsigned, CGXControlFactory::ExtraControl>& ExtraControls() {
    static std::map<unsigned, CGXControlFactory::ExtraControl> controls;
    return controls;
}
// --- end controls registered by libraries above this one ---

}  // namespace

void CGXControlFactory::RegisterExtraControl(unsigned controlId, ExtraControl control) {
    ExtraControls()[controlId] = std::move(control);
}

std::unique_ptr<CGXControl> CGXControlFactory::CreateCellControl(unsigned controlId,
                                                                 CGXGridCore& grid) {
    std::unique_ptr<CGXControl> control;
    bool tips = false;  // controls that show text or pool bitmaps carry a cell tip
    if (const auto extra = ExtraControls().find(controlId); extra != ExtraControls().end()) {
        control = extra->second.create(grid);
        if (control && extra->second.tips)
            control->AttachCellTips();
        return control;
    }
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
            // Without the platform's owner-drawn combo windows, the edit-based tabbed box.
            if (GXGetLibraryState().m_bWin32s) {
                control = std::make_unique<CGXTabbedComboBox>(&grid, GX_IDS_CTRL_TABBED_COMBOBOX,
                                                              GX_IDS_CTRL_TABBED_COMBOBOX);
                tips = true;
            } else {
                control = std::make_unique<CGXTabbedComboBoxWnd>(&grid);
            }
            break;
        case GX_IDS_CTRL_TABBED_COMBOBOX:
            control = std::make_unique<CGXTabbedComboBox>(&grid, GX_IDS_CTRL_TABBED_COMBOBOX,
                                                          GX_IDS_CTRL_TABBED_COMBOBOX);
            tips = true;
            break;
        case GX_IDS_CTRL_PUSHBTN:
            control = std::make_unique<CGXPushbutton>(&grid);
            tips = true;
            break;
        case GX_IDS_CTRL_HOTSPOT:
            control = std::make_unique<CGXHotSpotEdit>(&grid, GX_IDS_CTRL_HOTSPOT);
            tips = true;
            break;
        case GX_IDS_CTRL_COMBOBOX:
        case GX_IDS_CTRL_ZEROBASED:
        case GX_IDS_CTRL_ONEBASED:
        case GX_IDS_CTRL_TEXTFIT:
        case GX_IDS_CTRL_ONEBASED_EX:
        case GX_IDS_CTRL_ZEROBASED_EX:
            control = std::make_unique<CGXComboBox>(&grid, controlId, controlId,
                                                    GXComboOptionsOf(controlId));
            tips = true;
            break;
        // edit controls
        case GX_IDS_CTRL_SPINEDIT:
            control = std::make_unique<CGXSpinEdit>(&grid, GX_IDS_CTRL_SPINEDIT);
            tips = true;
            break;
        case GX_IDS_CTRL_SCROLLEDIT:
            control = std::make_unique<CGXVScrollEdit>(&grid, GX_IDS_CTRL_SCROLLEDIT);
            break;
        case GX_IDS_CTRL_LISTBOX:
            control = std::make_unique<CGXListBox>(&grid, GX_IDS_CTRL_LISTBOX);
            tips = true;
            break;
        // --- progress bar and radio buttons ---
        case GX_IDS_CTRL_PROGRESS:
            control = std::make_unique<CGXProgressCtrl>(&grid);
            break;
        case GX_IDS_CTRL_RADIOBTN:
            control = std::make_unique<CGXRadioButton>(&grid, false);
            break;
        case GX_IDS_CTRL_RADIOBTN3D:
            control = std::make_unique<CGXRadioButton>(&grid, true);
            break;
        case GX_IDS_CTRL_RADIOBTNEX:
            control = std::make_unique<CGXRadioButtonEx>(&grid, false);
            break;
        case GX_IDS_CTRL_RADIOBTN3DEX:
            control = std::make_unique<CGXRadioButtonEx>(&grid, true);
            break;
        // --- end progress bar and radio buttons ---
        // --- password edit ---
        case GX_IDS_CTRL_PASSWORD:
            control = std::make_unique<CGXPasswordControl>(&grid, GX_IDS_CTRL_PASSWORD);
            tips = true;
            break;
        // --- end password edit ---
        // --- masked edit ---
        case GX_IDS_CTRL_MASKEDIT:
            control = std::make_unique<CGXMaskControl>(&grid, GX_IDS_CTRL_MASKEDIT);
            tips = true;
            break;
        // --- end masked edit ---
        // --- check-list combo box ---
        case GX_IDS_CTRL_CHECKLIST_COMBOBOX:
            control = std::make_unique<CGXCheckListComboBox>(&grid);
            break;
        // --- end check-list combo box ---
        // --- rich text ---
        case GX_IDS_CTRL_RICHEDIT: {
            auto rich = std::make_unique<CGXRichEditCtrl>(&grid);
            rich->CreateWindows();
            control = std::move(rich);
            tips = true;
            break;
        }
        // --- end rich text ---
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
    {GX_IDS_CTRL_SCROLLEDIT, "Edit Control, Scrollbar"},
    {GX_IDS_CTRL_LISTBOX, "Listbox"},
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
    {GX_IDS_CTRL_TABBED_COMBOBOX, "Tabbed ComboBox"},
    {GX_IDS_CTRL_PUSHBTN, "Pushbutton"},
    {GX_IDS_CTRL_HOTSPOT, "Hotspot Edit"},
    {GX_IDS_CTRL_COMBOBOX, "ComboBox, no text-fit"},
    {GX_IDS_CTRL_ZEROBASED, "ComboBox, zero-based"},
    {GX_IDS_CTRL_ONEBASED, "ComboBox, one-based"},
    {GX_IDS_CTRL_TEXTFIT, "ComboBox, text-fit"},
    {GX_IDS_CTRL_ONEBASED_EX, "Combo, disp.choice, 1-base"},
    {GX_IDS_CTRL_ZEROBASED_EX, "Combo, disp.choice, 0-base"},
    {GX_IDS_UA_TABLIST_UNIQUEID, "TabList: Unique choicelist id"},
    // --- progress bar and radio buttons ---
    {GX_IDS_CTRL_PROGRESS, "Progressbar"},
    {GX_IDS_UA_PROGRESS_UPPER, "Progress: Upper Bound"},
    {GX_IDS_UA_PROGRESS_LOWER, "Progress: Lower Bound"},
    {GX_IDS_UA_PROGRESS_CAPTION, "Progress: Caption"},
    {GX_IDS_CTRL_RADIOBTN, "Radio Buttons"},
    {GX_IDS_CTRL_RADIOBTN3D, "Radio Buttons, 3d-Effect"},
    {GX_IDS_CTRL_RADIOBTNEX, "Radio Buttons, with active state"},
    {GX_IDS_CTRL_RADIOBTN3DEX, "Radio Buttons, 3d-Effect and active state"},
    {GX_IDS_UA_RADIOBUTTON_ALIGN, "RadioButton: Alignment"},
    {GX_IDS_UA_RADIOBUTTONTEXTALIGN, "RadioButton: Text Alignment"},
    // --- end progress bar and radio buttons ---
    {GX_IDS_CTRL_PASSWORD, "Password Edit"},
    {GX_IDS_CTRL_MASKEDIT, "Masked Edit"},
    {GX_IDS_UA_INPUTMASKVALUE, "Maskedit: Input Mask"},
    {GX_IDS_UA_INPUTPROMPT, "Maskedit: Prompt Char"},
    {GX_IDS_CTRL_CHECKLIST_COMBOBOX, "Dropdown CheckListBox"},
    {GX_IDS_CTRL_RICHEDIT, "Rich Edit"},
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
    for (unsigned id : {GX_IDS_CTRL_TEXTFIT, GX_IDS_CTRL_COMBOBOX, GX_IDS_CTRL_ONEBASED,
                        GX_IDS_CTRL_ZEROBASED, GX_IDS_CTRL_ONEBASED_EX, GX_IDS_CTRL_ZEROBASED_EX,
                        GX_IDS_CTRL_PUSHBTN, GX_IDS_CTRL_TABBED_COMBOBOX, GX_IDS_CTRL_HOTSPOT})
        map.AddControl(id);
    CGXTabbedComboBoxWnd::AddUserAttributes(map);
    for (unsigned id : {GX_IDS_CTRL_CHECKBOX, GX_IDS_CTRL_CHECKBOX3D, GX_IDS_CTRL_CHECKBOX_EX,
                        GX_IDS_CTRL_CHECKBOX3D_EX})
        map.AddControl(id);
    CGXCheckBox::AddUserAttributes(map);
    // edit controls
    map.AddControl(GX_IDS_CTRL_SPINEDIT);
    map.AddControl(GX_IDS_CTRL_SCROLLEDIT);
    map.AddControl(GX_IDS_CTRL_LISTBOX);
    CGXSpinEdit::AddUserAttributes(map);
    // --- progress bar and radio buttons ---
    for (unsigned id : {GX_IDS_CTRL_RADIOBTN, GX_IDS_CTRL_RADIOBTN3D, GX_IDS_CTRL_RADIOBTNEX,
                        GX_IDS_CTRL_RADIOBTN3DEX, GX_IDS_CTRL_PROGRESS})
        map.AddControl(id);
    CGXRadioButtonEx::AddUserAttributes(map);
    CGXProgressCtrl::AddUserAttributes(map);
    map.AddControl(GX_IDS_CTRL_PASSWORD);
    map.AddControl(GX_IDS_CTRL_MASKEDIT);
    CGXMaskControl::AddUserAttributes(map);
    map.AddControl(GX_IDS_CTRL_CHECKLIST_COMBOBOX);
    map.AddControl(GX_IDS_CTRL_RICHEDIT);
    // --- end progress bar and radio buttons ---
    // --- controls registered by libraries above this one ---
    for (const auto& [id, extra] : ExtraControls()) {
        if (!fw::FindString(id))
            fw::SetString(id, extra.name);
        map.AddControl(id);
        if (extra.addUserAttributes)
            extra.addUserAttributes(map);
    }
    // --- end controls registered by libraries above this one ---
}

void GXInitWithControlFactory() {
    GXInitLibrary(std::make_unique<CGXControlFactory>());
}
