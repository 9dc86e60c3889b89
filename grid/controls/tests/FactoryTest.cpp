// The factory makes each control of the choice, check, header and bitmap family for its id, and
// names them in the styles map; an id without a control of its own gets the default control.
#include "grid/controls/CGXCheckBox.h"
#include "grid/controls/CGXComboBoxWnd.h"
#include "grid/controls/CGXControlFactory.h"
#include "grid/controls/CGXHeader.h"
#include "grid/controls/CGXTabbedComboBoxWnd.h"
#include "grid/controls/tests/ControlFixture.h"
#include "grid/core/CGXStylesMap.h"

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

}  // namespace
