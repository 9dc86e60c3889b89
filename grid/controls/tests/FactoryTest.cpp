// The factory makes each control of the choice, check, header and bitmap family for its id, and
// names them in the styles map; an id without a control of its own gets the default control.
#include "grid/controls/CGXCheckBox.h"
#include "grid/controls/CGXComboBox.h"
#include "grid/controls/CGXComboBoxWnd.h"
#include "grid/controls/CGXControlFactory.h"
#include "grid/controls/CGXHeader.h"
#include "grid/controls/CGXHotSpotEdit.h"
#include "grid/controls/CGXPushbutton.h"
#include "grid/controls/CGXTabbedComboBox.h"
#include "grid/controls/CGXTabbedComboBoxWnd.h"
#include "grid/controls/tests/ControlFixture.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/GXLibraryState.h"

namespace {

using gxtest::ControlFixture;

TEST_F(ControlFixture, FactoryMakesEachControlForItsId) {
    struct Case {
        unsigned id;
        const char* className;
        bool tips;
    };
    for (const Case& c : {Case{GX_IDS_CTRL_CHECKBOX, "CGXCheckBox", false},
                          Case{GX_IDS_CTRL_CHECKBOX3D, "CGXCheckBox", false},
                          Case{GX_IDS_CTRL_CHECKBOX_EX, "CGXCheckBoxEx", false},
                          Case{GX_IDS_CTRL_CHECKBOX3D_EX, "CGXCheckBoxEx", false},
                          Case{GX_IDS_CTRL_HEADER, "CGXHeader", true},
                          Case{GX_IDS_CTRL_DAOBITMAP, "CGXDaoBitmap", false},
                          Case{GX_IDS_CTRL_CBS_DROPDOWN, "CGXComboBoxWnd", false},
                          Case{GX_IDS_CTRL_CBS_DROPDOWNLIST, "CGXComboBoxWnd", false},
                          Case{GX_IDS_CTRL_TABBED_DROPDOWNLIST, "CGXTabbedComboBoxWnd", false}}) {
        CGXControlFactory factory;
        std::unique_ptr<CGXControl> control = factory.CreateCellControl(c.id, Core());
        ASSERT_NE(control, nullptr) << c.id;
        EXPECT_STREQ(control->GetControlClass().name, c.className) << c.id;
        EXPECT_EQ(control->GetCellTip() != nullptr, c.tips) << c.id;
    }
    CGXStylesMap map;
    CGXControlFactory().RegisterControlIds(map);
    for (unsigned id : {GX_IDS_CTRL_CHECKBOX3D, GX_IDS_CTRL_TABBED_DROPDOWNLIST,
                        GX_IDS_CTRL_CBS_DROPDOWNLIST, GX_IDS_CTRL_HEADER})
        EXPECT_TRUE(map.GetControlNames().count(id)) << id;
    // A tabbed list is a combo window; the 3-D check box has no tip.
    EXPECT_TRUE(Core()
                    .GetRegisteredControl(GX_IDS_CTRL_TABBED_DROPDOWNLIST)
                    ->IsKindOfControlClass(CGXComboBoxWnd::kClassInfo));
}

TEST_F(ControlFixture, FactoryMakesTheComboButtonAndHotSpotCells) {
    struct Case {
        unsigned id;
        const char* className;
        unsigned options;
        const char* name;
    };
    CGXStylesMap map;
    CGXControlFactory().RegisterControlIds(map);
    for (const Case& c :
         {Case{GX_IDS_CTRL_COMBOBOX, "CGXComboBox", 0x02, "ComboBox, no text-fit"},
          Case{GX_IDS_CTRL_ZEROBASED, "CGXComboBox", 0x04, "ComboBox, zero-based"},
          Case{GX_IDS_CTRL_ONEBASED, "CGXComboBox", 0x08, "ComboBox, one-based"},
          Case{GX_IDS_CTRL_TEXTFIT, "CGXComboBox", 0x01, "ComboBox, text-fit"},
          Case{GX_IDS_CTRL_ONEBASED_EX, "CGXComboBox", 0x18, "Combo, disp.choice, 1-base"},
          Case{GX_IDS_CTRL_ZEROBASED_EX, "CGXComboBox", 0x14, "Combo, disp.choice, 0-base"},
          Case{GX_IDS_CTRL_TABBED_COMBOBOX, "CGXTabbedComboBox", 0x02, "Tabbed ComboBox"},
          Case{GX_IDS_CTRL_PUSHBTN, "CGXPushbutton", 0, "Pushbutton"},
          Case{GX_IDS_CTRL_HOTSPOT, "CGXHotSpotEdit", 0, "Hotspot Edit"}}) {
        std::unique_ptr<CGXControl> control = CGXControlFactory().CreateCellControl(c.id, Core());
        ASSERT_NE(control, nullptr) << c.id;
        EXPECT_STREQ(control->GetControlClass().name, c.className) << c.id;
        EXPECT_NE(control->GetCellTip(), nullptr) << c.id;
        if (auto* combo = dynamic_cast<CGXComboBox*>(control.get())) {
            EXPECT_EQ(combo->GetOptions(), c.options) << c.id;
        }
        ASSERT_TRUE(map.GetControlNames().count(c.id)) << c.id;
        EXPECT_EQ(map.GetControlNames().at(c.id), c.name) << c.id;
    }
    // Without the owner-drawn combo windows the tabbed drop-down list is the edit-based box.
    GXGetLibraryState().m_bWin32s = true;
    EXPECT_STREQ(CGXControlFactory()
                     .CreateCellControl(GX_IDS_CTRL_TABBED_DROPDOWNLIST, Core())
                     ->GetControlClass()
                     .name,
                 "CGXTabbedComboBox");
    GXGetLibraryState().m_bWin32s = false;
}

}  // namespace
