// One picture of a grid with a row per cell control of the progress, radio-button, masked-edit,
// password, currency, date-time, check-list and rich-text family: column A inactive, column B as
// the current cell while being edited (each taken from its own paint and put in at its place),
// written to the build folder as grid_cells34_controls.png.
#define GRID_SOURCE_DIR ""
#define GRID_BUILD_DIR EXTRAS_BUILD_DIR
#include "grid/controls/CGXCheckListComboBox.h"
#include "grid/controls/CGXMaskControl.h"
#include "grid/controls/CGXPasswordControl.h"
#include "grid/controls/CGXProgressCtrl.h"
#include "grid/controls/CGXRadioButton.h"
#include "grid/controls/CGXRichEditCtrl.h"
#include "grid/controls/tests/ControlFixture.h"
#include "grid/extras/CGXBCurrencyEdit.h"
#include "grid/extras/CGXBDateTimeCtrl.h"
#include "grid/extras/CGXCurrencyEdit.h"
#include "grid/extras/CGXDateTimeCtrl.h"
#include "grid/extras/GXExtrasCellControls.h"
#include "grid/extras/tests/ExtrasTestSupport.h"

#include <QApplication>
#include <QPainter>

namespace {

class NewControlsPicture : public gxtest::ControlFixture {
protected:
    void SetUp() override {
        GXRegisterExtrasCellControls();
        width_ = 560;
        height_ = 530;
        gxtest::ControlFixture::SetUp();
    }
    extras_test::LocaleScope c_{QLocale::c()};
};

TEST_F(NewControlsPicture, ARowPerControlActiveAndInactive) {
    struct Row {
        const char* name;
        unsigned id;
        const char* value;
        CGXStyle extra;
        Qt::Key activate;  // the key that starts editing in column B
    };
    CGXStyle radios;
    radios.SetChoiceList("One\nTwo");
    CGXStyle horz = radios;
    horz.SetUserAttribute(GX_IDS_UA_RADIOBUTTON_ALIGN, "1")
        .SetUserAttribute(GX_IDS_UA_RADIOBUTTONTEXTALIGN, "1");
    CGXStyle progress;
    progress.SetUserAttribute(GX_IDS_UA_PROGRESS_LOWER, "0")
        .SetUserAttribute(GX_IDS_UA_PROGRESS_UPPER, "100")
        .SetUserAttribute(GX_IDS_UA_PROGRESS_CAPTION, "%ld%%")
        .SetTextColor(0x008000);
    CGXStyle money;
    money.SetUserAttribute(GX_IDS_UA_CURRENCY_SYMBOL, "$")
        .SetUserAttribute(GX_IDS_UA_CURRENCY_FRACTION, "2");
    CGXStyle checks;
    checks.SetChoiceList("Fixed fields\nYear\nMonth\nDay");
    CGXStyle masked;
    masked.SetUserAttribute(GX_IDS_UA_INPUTMASKVALUE, "(###) ###-####");
    const std::vector<Row> rows = {
        {"Radio Buttons", GX_IDS_CTRL_RADIOBTN, "0", radios, Qt::Key_Space},
        {"Radio Buttons, 3d-Effect", GX_IDS_CTRL_RADIOBTN3D, "1", radios, Qt::Key_Space},
        {"Radio Buttons, with active state", GX_IDS_CTRL_RADIOBTNEX, "0", horz, Qt::Key_Space},
        {"Radio Buttons, 3d-Effect and active state", GX_IDS_CTRL_RADIOBTN3DEX, "1", horz,
         Qt::Key_Space},
        {"Progressbar", GX_IDS_CTRL_PROGRESS, "40", progress, Qt::Key_unknown},
        {"Masked Edit", GX_IDS_CTRL_MASKEDIT, "555123", masked, Qt::Key_End},
        {"Password Edit", GX_IDS_CTRL_PASSWORD,
         "s\xC3\xA9"
         "cret",
         CGXStyle(), Qt::Key_End},
        {"Currency control", GX_IDS_CTRL_CURRENCY, "-1234.5", money, Qt::Key_End},
        {"Date Time Control with popup calendar", GX_IDS_CTRL_DATETIME, "45292.5", CGXStyle(),
         Qt::Key_3},
        {"Date time control without calendar", GX_IDS_CTRL_DATETIMENOCAL, "45292", CGXStyle(),
         Qt::Key_3},
        {"Dropdown CheckListBox", GX_IDS_CTRL_CHECKLIST_COMBOBOX, "5", checks, Qt::Key_unknown},
        {"Rich Edit", GX_IDS_CTRL_RICHEDIT, "{\\rtf1{\\b Bold} {\\i plain}}", CGXStyle(),
         Qt::Key_End},
    };
    CGXGridCore& core = Core();
    core.SetRowCount(static_cast<ROWCOL>(rows.size()));
    core.SetColCount(2);
    core.SetColWidth(0, 0, 230);
    core.SetColWidth(1, 2, 150);
    core.SetRowHeight(1, static_cast<ROWCOL>(rows.size()), 36);
    core.SetStyleRange(CGXRange(0, 1), &CGXStyle().SetValue(std::string("inactive")));
    core.SetStyleRange(CGXRange(0, 2), &CGXStyle().SetValue(std::string("active")));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ROWCOL r = static_cast<ROWCOL>(i + 1);
        core.SetStyleRange(CGXRange(r, 0), &CGXStyle().SetValue(std::string(rows[i].name)));
        CGXStyle s = rows[i].extra;
        s.SetControl(static_cast<std::uint16_t>(rows[i].id)).SetValue(std::string(rows[i].value));
        core.SetStyleRange(CGXRange(r, 1, r, 2), &s);
    }
    core.SetCurrentCell(0, 0);
    QImage picture = RepaintAll();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ROWCOL r = static_cast<ROWCOL>(i + 1);
        core.SetCurrentCell(r, 2);
        Paint();
        if (rows[i].activate != Qt::Key_unknown) {
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus ? focus : wnd_.get(), rows[i].activate);
        }
        Paint();
        QImage shot = wnd_->grab().toImage().convertToFormat(picture.format());
        // Self-drawn windows paint into their own backing image: put it in at its place.
        fw::Window* own = nullptr;
        if (rows[i].id == GX_IDS_CTRL_CURRENCY)
            own = static_cast<CGXCurrencyEdit&>(*core.GetRegisteredControl(rows[i].id)).GetWindow();
        if (rows[i].id == GX_IDS_CTRL_DATETIME || rows[i].id == GX_IDS_CTRL_DATETIMENOCAL)
            own = static_cast<CGXDateTimeCtrl&>(*core.GetRegisteredControl(rows[i].id)).GetWindow();
        if (own) {
            ASSERT_TRUE(own->IsWindowVisible()) << rows[i].name;
            own->UpdateWindow();
            QPainter(&shot).drawImage(own->mapTo(wnd_.get(), QPoint(0, 0)), own->BackingImage());
        }
        const fw::Rect cell = Cell(r, 2);
        const QRect area(cell.left - 1, cell.top - 1, cell.right - cell.left + 2,
                         cell.bottom - cell.top + 2);
        QPainter(&picture).drawImage(area.topLeft(), shot.copy(area));
        core.SetCurrentCell(0, 0);  // stores and leaves the cell
        Paint();
    }
    const QString path = QString(EXTRAS_BUILD_DIR) + "/grid_cells34_controls.png";
    ASSERT_TRUE(picture.save(path));
    // The values left behind: Space moved the plain radio buttons on, the masked edit and the
    // password were stored unchanged.
    EXPECT_EQ(Value(6, 2), "555123");
    EXPECT_EQ(Value(1, 2), "1");
    EXPECT_EQ(Value(7, 2),
              "s\xC3\xA9"
              "cret");
}

}  // namespace
