// The list-box cell and the scroll-bar edit in a real grid window: a click activates the list
// and selects the clicked line, arrows move in the list, Left and Right leave it; only a change
// of the selection is stored, once, and visiting a cell writes nothing back.
#include "grid/controls/CGXControlFactory.h"
#include "grid/controls/CGXListBox.h"
#include "grid/controls/CGXVScrollEdit.h"
#include "grid/controls/tests/ControlFixture.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXStylesMap.h"

#include "framework/window/SystemMetrics.h"

#include <QApplication>
#include <QPainter>

namespace {

// A grid window that counts the cell changes stored through it.
class CountingGrid : public CGXGridWnd {
public:
    bool StoreStyleRowCol(ROWCOL row, ROWCOL col, const CGXStyle* style, GXModifyType type,
                          int styleType) override {
        if (m_bInitDone && style && style->GetIncludeValue())
            ++stores;
        return CGXGridWnd::StoreStyleRowCol(row, col, style, type, styleType);
    }
    int stores = 0;
};

using RC = std::pair<ROWCOL, ROWCOL>;

class ListBoxCell : public gxtest::ControlFixtureT<CountingGrid> {
protected:
    void SetUp() override {
        height_ = 400;
        gxtest::ControlFixtureT<CountingGrid>::SetUp();
        Core().SetRowCount(10, 0);
        Core().SetColCount(4, 0);
        Core().SetRowHeight(2, 3, 80, nullptr, 0);
        Core().GetParam()->m_nActivateCell = 0x02;
        CGXStyle style;
        style.SetControl(static_cast<std::uint16_t>(GX_IDS_CTRL_LISTBOX))
            .SetChoiceList("red\ngreen\nblue\nyellow\nblack\nwhite\ncyan\nmagenta\norange");
        Core().SetStyleRange(CGXRange(2, 2, 3, 3), &style, gxOverride, 0, nullptr, 0);
        Core().SetValueRange(CGXRange(2, 2), "green", gxOverride, 0);
        list_ = dynamic_cast<CGXListBox*>(Core().GetRegisteredControl(GX_IDS_CTRL_LISTBOX));
        ASSERT_NE(list_, nullptr);
        Paint();
        Core().stores = 0;
    }
    void Key(Qt::Key key) {
        QTest::keyClick(Focus(), key);
        Paint();
    }
    RC Current() {
        ROWCOL row = 0, col = 0;
        Core().GetCurrentCell(row, col);
        return {row, col};
    }
    // The point on line `line` of the cell as its inactive drawing shows it.
    fw::Point OnLine(ROWCOL row, ROWCOL col, int line, int lineHeight) {
        const fw::Rect text = list_->GetCellRect(row, col);
        return {(text.left + text.right) / 2, text.top + line * lineHeight + lineHeight / 2};
    }
    int LineHeight() {
        fw::DeviceContext dc;
        dc.CreateCompatibleDC(nullptr);
        Core().LoadFont(&dc, *Style(2, 2));
        const fw::TextMetrics tm = dc.GetTextMetrics();
        return tm.height + tm.externalLeading;
    }

    CGXListBox* list_ = nullptr;
};

TEST_F(ListBoxCell, VisitingTheCellStoresNothing) {
    Core().SetCurrentCell(2, 2);
    Paint();
    // Activated by a key and drawn with its window: still unmodified.
    Key(Qt::Key_Down);
    EXPECT_TRUE(list_->IsActive());
    ASSERT_TRUE(list_->GetWnd()->IsWindowVisible());
    EXPECT_EQ(list_->GetListWnd()->GetCurSel(), 1);
    EXPECT_FALSE(list_->GetModify());
    RepaintAll();
    EXPECT_FALSE(list_->GetModify());
    Key(Qt::Key_Right);
    EXPECT_EQ(Current(), (RC{2, 3}));
    EXPECT_EQ(Core().stores, 0);
    EXPECT_EQ(Core().GetValueRowCol(2, 2), "green");
}

TEST_F(ListBoxCell, AClickSelectsTheLineAndTheChoiceIsStoredOnce) {
    const int h = LineHeight();
    const fw::Point p = OnLine(2, 2, 3, h);
    Click(p);
    Paint();
    EXPECT_TRUE(list_->IsActive());
    EXPECT_EQ(list_->GetListWnd()->GetCurSel(), 3);
    EXPECT_TRUE(list_->GetModify());
    // Up and Down move inside the list; Left leaves the cell and stores the choice once.
    Key(Qt::Key_Down);
    EXPECT_EQ(Current(), (RC{2, 2}));
    EXPECT_EQ(list_->GetListWnd()->GetCurSel(), 4);
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    EXPECT_EQ(list_->GetListWnd()->GetCurSel(), 2);
    QImage shot = RepaintAll();
    {
        QPainter painter(&shot);
        const fw::Rect placed = Core().ScreenToClient(list_->GetWnd()->GetWindowRect());
        list_->GetWnd()->render(&painter, QPoint(placed.left, placed.top));
    }
    shot.save(QString(GRID_BUILD_DIR) + "/grid_controls_list_box.png");
    Key(Qt::Key_Left);
    EXPECT_EQ(Current(), (RC{2, 1}));
    EXPECT_EQ(Core().GetValueRowCol(2, 2), "blue");
    EXPECT_EQ(Core().stores, 1);
    EXPECT_FALSE(list_->GetWnd()->IsWindowVisible());
}

TEST_F(ListBoxCell, InactiveCellsShowTheValueLineInView) {
    const int h = LineHeight();
    const fw::Rect text = list_->GetCellRect(2, 2);
    std::vector<std::string> lines = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"};
    const int fit = text.Height() / h;
    ASSERT_LT(fit, 10);
    struct Case {
        const char* name;
        std::string value;
        int first;
    };
    for (const Case& c :
         {Case{"not a choice: from the first line", "zz", 0}, Case{"a line that fits", "b", 0},
          Case{"near the end: the last visible line", "j", 10 - fit}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(list_->FirstDrawnLine(lines, c.value, h, text), c.first);
    }
}

TEST_F(ListBoxCell, TheScrollEditKeepsRoomForItsBarAndStoresOnce) {
    CGXStyle style;
    style.SetControl(static_cast<std::uint16_t>(GX_IDS_CTRL_SCROLLEDIT));
    Core().SetStyleRange(CGXRange(5, 2), &style, gxOverride, 0, nullptr, 0);
    auto* edit = dynamic_cast<CGXVScrollEdit*>(Core().GetRegisteredControl(GX_IDS_CTRL_SCROLLEDIT));
    ASSERT_NE(edit, nullptr);
    Core().SetCurrentCell(5, 2);
    Paint();
    for (const char* c : {"a", "b", "c"}) {
        QTest::keyClicks(Focus(), c);
        Paint();
    }
    ASSERT_TRUE(edit->GetWnd()->IsWindowVisible());
    EXPECT_EQ(edit->GetWindowText(), "abc");
    const fw::Rect placed = Core().ScreenToClient(edit->GetWnd()->GetWindowRect());
    CGXEditControl plain(&Core(), GX_IDS_CTRL_EDIT);
    EXPECT_EQ(placed.right, plain.GetCellRect(5, 2, nullptr, Style(5, 2).get()).right -
                                fw::GetSystemMetrics(fw::SM_CXVSCROLL));
    Key(Qt::Key_Tab);
    EXPECT_EQ(Core().GetValueRowCol(5, 2), "abc");
    EXPECT_EQ(Core().stores, 1);
    EXPECT_EQ(Current(), (RC{5, 3}));
}

TEST_F(ListBoxCell, TheFactoryMakesBothForTheirIds) {
    struct Case {
        unsigned id;
        const char* name;
        bool tips;
    };
    for (const Case& c : {Case{GX_IDS_CTRL_LISTBOX, "CGXListBox", true},
                          Case{GX_IDS_CTRL_SCROLLEDIT, "CGXVScrollEdit", false}}) {
        std::unique_ptr<CGXControl> control = CGXControlFactory().CreateCellControl(c.id, Core());
        ASSERT_NE(control, nullptr);
        EXPECT_STREQ(control->GetControlClass().name, c.name);
        EXPECT_EQ(control->GetCellTip() != nullptr, c.tips);
    }
    CGXStylesMap map;
    CGXControlFactory().RegisterControlIds(map);
    EXPECT_TRUE(map.GetControlNames().count(GX_IDS_CTRL_LISTBOX));
    EXPECT_TRUE(map.GetControlNames().count(GX_IDS_CTRL_SCROLLEDIT));
}

}  // namespace
