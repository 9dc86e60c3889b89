// One picture of a grid holding every cell control of the choice, check, header, bitmap and
// tip family, with the tabbed drop-down open and a cell tip shown, written to the build folder
// as grid_controls_all.png (the pop-ups are drawn in at their places on the screen).
#include "grid/controls/CGXCheckBox.h"
#include "grid/controls/CGXComboBox.h"
#include "grid/controls/CGXComboBoxWnd.h"
#include "grid/controls/CGXGridCombo.h"
#include "grid/controls/CGXHeader.h"
#include "grid/controls/CGXHotSpotEdit.h"
#include "grid/controls/CGXOleVarUserAttribute.h"
#include "grid/controls/CGXPushbutton.h"
#include "grid/controls/CGXTabbedComboBox.h"
#include "grid/controls/CGXTabbedComboBoxWnd.h"
#include "grid/controls/tests/ControlFixture.h"
#include "grid/controls/tests/TestBitmaps.h"
#include "grid/core/GXBitmapResources.h"

#include <QPainter>

#include <map>

namespace {

class PictureGrid : public CGXGridCore, public CGXBrowserBitmapCache {
public:
    using CGXGridCore::CGXGridCore;
    const fw::Dib* GetCellBitmap(ROWCOL row, ROWCOL col) override {
        auto it = cache_.find({row, col});
        return it == cache_.end() ? nullptr : &it->second;
    }
    bool TakeCellBitmap(ROWCOL row, ROWCOL col, fw::Dib bitmap) override {
        cache_[{row, col}] = std::move(bitmap);
        return true;
    }

private:
    std::map<std::pair<ROWCOL, ROWCOL>, fw::Dib> cache_;
};

TEST(AllControls, ScreenshotOfAGridHoldingEveryControl) {
    GXTerminateLibrary();
    GXInitWithControlFactory();
    {
        const std::vector<std::uint8_t> file = gxtest::BitmapFile(24, 16, 0x00A000);
        GXRegisterBitmapResource(GXResourceName::Id(7101),
                                 std::span<const std::uint8_t>(file).subspan(14));
        GridHost<PictureGrid> wnd;
        wnd.Create(nullptr, {0, 0, 550, 560}, 0, fw::WS_VISIBLE);
        PictureGrid& core = wnd.GetCore();
        core.OnGridInitialUpdate();
        SetTestStandardFont(core);
        core.SetRowCount(20);
        core.SetColCount(2);
        core.SetColWidth(0, 0, 200);
        core.SetColWidth(1, 2, 150);
        core.SetRowHeight(1, 20, 24);
        core.SetStyleRange(CGXRange(0, 1), &CGXStyle().SetValue(std::string("Cell")));
        core.SetStyleRange(CGXRange(0, 2), &CGXStyle().SetValue(std::string("#BMP(7101)")));

        ROWCOL row = 1;
        auto put = [&](const char* name, unsigned control, const char* value, CGXStyle extra,
                       const char* value2 = nullptr) {
            core.SetStyleRange(CGXRange(row, 0), &CGXStyle().SetValue(std::string(name)));
            extra.SetControl(static_cast<std::uint16_t>(control)).SetValue(std::string(value));
            core.SetStyleRange(CGXRange(row, 1), &extra);
            if (value2) {
                extra.SetValue(std::string(value2));
                core.SetStyleRange(CGXRange(row, 2), &extra);
            }
            ++row;
        };
        CGXStyle labelled;
        labelled.SetChoiceList("Enabled");
        CGXStyle tri;
        tri.SetTriState(true).SetChoiceList("Maybe");
        put("Checkbox, 1/0", GX_IDS_CTRL_CHECKBOX, "1", labelled, "0");
        put("Checkbox, 3d-Effect", GX_IDS_CTRL_CHECKBOX3D, "1", labelled, "0");
        put("Checkbox with modify state", GX_IDS_CTRL_CHECKBOX_EX, "", tri, "1");
        put("3D Checkbox with modify state", GX_IDS_CTRL_CHECKBOX3D_EX, "0", CGXStyle(), "1");
        put("Header", GX_IDS_CTRL_HEADER, "Header text", CGXStyle(), "#BMP(7101)");
        auto picture = GXCreateOleVarUserAttribute();
        picture->SetVariant(GXVariant::FromBytes(gxtest::BitmapFile(30, 14, 0xC08000)));
        CGXStyle dao;
        dao.SetHorizontalAlignment(fw::DT_CENTER)
            .SetVerticalAlignment(fw::DT_VCENTER)
            .SetUserAttributePtr(GX_IDS_UA_DAOBITMAP, std::move(picture));
        put("Dao bitmap control", GX_IDS_CTRL_DAOBITMAP, "", dao);
        CGXStyle ports;
        ports.SetChoiceList("Port A\r\nPort\r\nUniverse");
        put("MFC ComboBox", GX_IDS_CTRL_CBS_DROPDOWN, "Port", ports, "typed text");
        put("MFC DropDownList", GX_IDS_CTRL_CBS_DROPDOWNLIST, "Universe", ports, "Port A");
        CGXStyle single;
        single.SetWrapText(false);
        put("ComboBox, no text-fit", GX_IDS_CTRL_COMBOBOX, "Port", ports, "typed text");
        put("ComboBox, text-fit", GX_IDS_CTRL_TEXTFIT, "Universe", ports);
        put("ComboBox, zero-based", GX_IDS_CTRL_ZEROBASED, "1", ports);
        put("Combo, disp.choice, 0-base", GX_IDS_CTRL_ZEROBASED_EX, "2", ports, "0");
        CGXStyle button;
        button.SetChoiceList("Apply");
        put("Pushbutton", GX_IDS_CTRL_PUSHBTN, "", button, "");
        put("Hotspot Edit", GX_IDS_CTRL_HOTSPOT, "hot spot", CGXStyle());
        CGXStyle tabbed;
        tabbed
            .SetChoiceList(
                "Key\tMode\tMeaning\r\n0\tDisabled\tport off\r\n1\tDMX In\t"
                "input\r\n2\tDMX Out\toutput\r\n3\tMerge\tmerge two")
            .SetUserAttribute(GX_IDS_UA_TABLIST_TEXTCOL, "1")
            .SetUserAttribute(GX_IDS_UA_TABLIST_TITLES, "1");
        put("Tabbed ComboBox", GX_IDS_CTRL_TABBED_COMBOBOX, "3", tabbed, "0");
        put("Static text with a cell tip", GX_IDS_CTRL_STATIC,
            "A text far too long for its cell shows a tip", single);

        const ROWCOL tabbedRow = row;
        put("Tabbed MFC DropDownList", GX_IDS_CTRL_TABBED_DROPDOWNLIST, "2", tabbed, "1");

        CGXCellTips tips(core, 0);
        const fw::Rect tipCell = core.CalcRectFromRowCol(tabbedRow - 1, 1);
        tips.OnGridMouseMove({tipCell.left + 5, tipCell.top + 5});
        ASSERT_TRUE(gxtest::PumpUntil([&] { return tips.GetShownTip() != nullptr; }));

        core.SetCurrentCell(tabbedRow, 1);
        auto* list = static_cast<CGXTabbedComboBoxWnd*>(
            core.GetRegisteredControl(GX_IDS_CTRL_TABBED_DROPDOWNLIST));
        list->ShowDropDown(true);
        ASSERT_TRUE(list->IsDropDownVisible());
        wnd.Invalidate();
        QCoreApplication::processEvents();
        wnd.UpdateWindow();

        QImage shot = wnd.BackingImage().copy();
        QPainter painter(&shot);
        for (fw::Window* popup : {static_cast<fw::Window*>(list->GetDropDown()),
                                  static_cast<fw::Window*>(tips.GetShownTip())}) {
            ASSERT_NE(popup, nullptr);
            const fw::Rect r = wnd.ScreenToClient(popup->GetWindowRect());
            QImage img(r.Width(), r.Height(), QImage::Format_RGB32);
            popup->render(&img);
            painter.drawImage(QPoint(r.left, r.top), img);
        }
        painter.end();
        const QString path = QString(GRID_BUILD_DIR) + "/grid_controls_all.png";
        ASSERT_TRUE(shot.save(path)) << path.toStdString();
        list->ShowDropDown(false);
    }
    GXTerminateLibrary();
}

}  // namespace
