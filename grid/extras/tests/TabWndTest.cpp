// The tab window with real sheets: adding, activating, renaming in place, scrolling the beam,
// deleting tabs, the splitter and resizing.
#include "grid/extras/CGXTabWnd.h"
#include "grid/extras/tests/ExtrasTestSupport.h"

#include "framework/dialogs/Dialog.h"
#include "grid/core/GXLibraryState.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

namespace {

using extras_test::Drain;

// A sheet that records what the tab window tells it and can refuse a change.
class Sheet : public fw::Window {
public:
    std::vector<std::pair<fw::UINT, fw::WPARAM>> seen;
    fw::LRESULT refuseLeave = 0;
    fw::LRESULT allowLabelEdit = 1;
    std::vector<fw::UINT> scrolls;

protected:
    fw::LRESULT WindowProc(fw::Message& msg) override {
        if (msg.id >= 1930 && msg.id <= 1999)
            seen.emplace_back(msg.id, msg.wParam);
        if (msg.id == CGXTabWnd::kMsgMayChangeSheet)
            return msg.wParam == 0 ? refuseLeave : 0;
        if (msg.id == CGXTabWnd::kMsgMayEditLabel)
            return allowLabelEdit;
        if (msg.id == fw::WM_VSCROLL || msg.id == fw::WM_HSCROLL)
            scrolls.push_back(msg.id);
        return fw::Window::WindowProc(msg);
    }
};

class TabWndTest : public ::testing::Test {
protected:
    CGXTabWnd tab;
    std::vector<std::unique_ptr<Sheet>> sheets;
    void SetUp() override {
        ASSERT_TRUE(tab.Create(nullptr, {0, 0, 400, 240},
                               fw::WS_VISIBLE | fw::WS_HSCROLL | fw::WS_VSCROLL, 3));
    }
    Sheet& Add(const std::string& label) {
        sheets.push_back(std::make_unique<Sheet>());
        Sheet& s = *sheets.back();
        s.Create(&tab, {0, 0, 10, 10}, 0, fw::WS_CHILD | fw::WS_VISIBLE | fw::WS_VSCROLL);
        tab.AttachSheet(&s, label);
        return s;
    }
    QPoint TabPoint(int index) {
        CGXTabBeam& b = tab.Beam();
        const int x = b.GetTabX(index) + b.Margin() + b.GetTab(index).width / 2;
        return QPoint(x, b.BeamHeight() / 2);
    }
};

TEST_F(TabWndTest, AddingSheetsAndClickingTabs) {
    Sheet& a = Add("Alpha");
    Sheet& b = Add("Beta");
    EXPECT_EQ(tab.GetActiveSheet(), &a);
    EXPECT_TRUE(a.isVisible());
    EXPECT_FALSE(b.isVisible());
    ASSERT_FALSE(b.seen.empty());
    EXPECT_EQ(b.seen[0], std::make_pair(CGXTabWnd::kMsgSheetAdded, fw::WPARAM{1}));
    // The sheet fills the sheet area, inset by one pixel.
    fw::Rect area = tab.SheetArea();
    area.Inflate(-1, -1);
    EXPECT_EQ(a.geometry(), QRect(area.left, area.top, area.Width(), area.Height()));

    QTest::mouseClick(&tab.Beam(), Qt::LeftButton, Qt::NoModifier, TabPoint(1));
    Drain();
    EXPECT_EQ(tab.GetActiveSheet(), &b);
    EXPECT_EQ(tab.Beam().GetCurrentTab(), 1);
    EXPECT_FALSE(a.isVisible());
    EXPECT_TRUE(b.isVisible());

    // A sheet that refuses to be left keeps its tab current.
    b.refuseLeave = 1;
    QTest::mouseClick(&tab.Beam(), Qt::LeftButton, Qt::NoModifier, TabPoint(0));
    Drain();
    EXPECT_EQ(tab.GetActiveSheet(), &b);
    EXPECT_EQ(tab.Beam().GetCurrentTab(), 1);
}

TEST_F(TabWndTest, RenamingInPlace) {
    Sheet& a = Add("Alpha");
    Add("Beta");
    QTest::mouseDClick(&tab.Beam(), Qt::LeftButton, Qt::NoModifier, TabPoint(0));
    Drain();
    ASSERT_NE(tab.LabelPopup(), nullptr);
    EXPECT_EQ(tab.LabelPopup()->GetWindowText(), "Alpha");
    QTest::keyClicks(tab.LabelPopup()->Inner(), "Gamma");
    QTest::keyClick(tab.LabelPopup()->Inner(), Qt::Key_Escape);  // keeps the old label
    Drain();
    EXPECT_EQ(tab.LabelPopup(), nullptr);
    EXPECT_EQ(*tab.GetSheetLabel(&a), "Alpha");

    QTest::mouseDClick(&tab.Beam(), Qt::LeftButton, Qt::NoModifier, TabPoint(0));
    Drain();
    ASSERT_NE(tab.LabelPopup(), nullptr);
    const int oldWidth = tab.Beam().GetTab(0).width;
    QTest::keyClicks(tab.LabelPopup()->Inner(), "Gamma Delta");
    QTest::keyClick(tab.LabelPopup()->Inner(), Qt::Key_Return);
    Drain();
    EXPECT_EQ(tab.LabelPopup(), nullptr);
    EXPECT_EQ(*tab.GetSheetLabel(&a), "Gamma Delta");
    EXPECT_GT(tab.Beam().GetTab(0).width, oldWidth);
    bool told = false;
    for (const auto& [id, w] : a.seen) told |= id == CGXTabWnd::kMsgLabelChanged && w == 0;
    EXPECT_TRUE(told);

    // A sheet may refuse label editing.
    a.allowLabelEdit = 0;
    QTest::mouseDClick(&tab.Beam(), Qt::LeftButton, Qt::NoModifier, TabPoint(0));
    Drain();
    EXPECT_EQ(tab.LabelPopup(), nullptr);
}

TEST_F(TabWndTest, ScrollButtonsAndDeletion) {
    Add("Only");
    CGXTabBeam& beam = tab.Beam();
    // With one tab both arrows are grey and pressing them does nothing.
    for (int kind = 0; kind < 4; ++kind) EXPECT_FALSE(beam.IsButtonEnabled(kind)) << kind;
    beam.UpdateWindow();
    EXPECT_EQ(beam.ArrowColor(0), 6316128u);
    QTest::mouseClick(&beam, Qt::LeftButton, Qt::NoModifier, QPoint(beam.BeamHeight() * 3 / 2, 5));
    EXPECT_EQ(beam.GetFirstVisibleTab(), 0);

    for (int i = 1; i < 12; ++i) Add("Sheet number " + std::to_string(i));
    ASSERT_TRUE(beam.IsButtonEnabled(CGXTabBeam::kNext));
    EXPECT_FALSE(beam.IsButtonEnabled(CGXTabBeam::kPrevious));
    QTest::mouseClick(&beam, Qt::LeftButton, Qt::NoModifier, QPoint(beam.BeamHeight() * 3 / 2, 5));
    EXPECT_EQ(beam.GetFirstVisibleTab(), 1);
    EXPECT_TRUE(beam.IsButtonEnabled(CGXTabBeam::kPrevious));
    QTest::mouseClick(&beam, Qt::LeftButton, Qt::NoModifier, QPoint(beam.BeamHeight() / 2, 5));
    EXPECT_EQ(beam.GetFirstVisibleTab(), 0);
    beam.ScrollTabs(CGXTabBeam::kLast);
    EXPECT_GT(beam.GetFirstVisibleTab(), 0);
    EXPECT_FALSE(beam.IsButtonEnabled(CGXTabBeam::kNext));  // the last tab is wholly visible

    // Deleting keeps the current index on its tab.
    beam.SetCurrentTab(5);
    beam.DeleteTab(2);  // before the current one
    EXPECT_EQ(beam.GetCurrentTab(), 4);
    beam.DeleteTab(8);  // after it
    EXPECT_EQ(beam.GetCurrentTab(), 4);
    beam.DeleteTab(4);  // the current one: the first becomes current
    EXPECT_EQ(beam.GetCurrentTab(), 0);
    EXPECT_EQ(beam.GetFirstVisibleTab(), 0);
    while (beam.GetCount() > 0) beam.DeleteTab(beam.GetCount() - 1);
    EXPECT_EQ(beam.GetCurrentTab(), -1);
}

TEST_F(TabWndTest, SplitterLimitsAndResizeKeepsTheShare) {
    Add("One");
    Add("Two");
    const int buttons = tab.Beam().ButtonAreaWidth();
    const int y = tab.GetClientRect().bottom - tab.BottomRowHeight() / 2;
    auto drag = [&](int to) {
        const fw::Rect s = tab.SplitterRect();
        QTest::mousePress(&tab, Qt::LeftButton, Qt::NoModifier, QPoint(s.left + 2, y));
        QTest::mouseMove(&tab, QPoint(to, y));
        QTest::mouseRelease(&tab, Qt::LeftButton, Qt::NoModifier, QPoint(to, y));
    };
    EXPECT_EQ(tab.BeamWidth(), 200);
    drag(buttons + 10);  // narrower than the buttons and 20 pixels: refused
    EXPECT_EQ(tab.BeamWidth(), 200);
    drag(400 - tab.BottomRowHeight());  // leaves less than two rows for the bar: refused
    EXPECT_EQ(tab.BeamWidth(), 200);
    drag(150);
    EXPECT_EQ(tab.BeamWidth(), 150);
    EXPECT_EQ(tab.Beam().geometry().width(), 150);
    EXPECT_EQ(tab.HorzBar().geometry().left(), 156);
    // Doubling the width doubles the beam beyond (buttons - 20).
    tab.resize(800, 240);
    Drain();
    const int e = buttons - 20;
    EXPECT_EQ(tab.BeamWidth(), 800 * (150 - e) / 400 + e);
}

TEST_F(TabWndTest, SharedScrollBarsFollowTheActiveSheet) {
    Sheet& a = Add("A");
    Sheet& b = Add("B");
    a.SetScrollInfo(fw::SB_VERT, fw::ScrollInfo{fw::SIF_ALL, 0, 0, 0, 0, 0});
    tab.SaveScrollState(&a);
    fw::ScrollInfo info;
    info.min = 0;
    info.max = 99;
    info.page = 10;
    info.pos = 30;
    b.SetScrollInfo(fw::SB_VERT, info);
    tab.SaveScrollState(&b);
    ASSERT_TRUE(tab.ActivateSheet(&b));
    EXPECT_EQ(tab.VertBar().Bar()->value(), 30);
    EXPECT_TRUE(tab.VertBar().Bar()->isEnabled());
    tab.VertBar().Bar()->setValue(40);  // the user moves the shared bar
    EXPECT_FALSE(b.scrolls.empty());
    ASSERT_TRUE(tab.ActivateSheet(&a));
    EXPECT_FALSE(tab.VertBar().Bar()->isEnabled());  // a has nothing to scroll
    tab.UpdateWindow();
    tab.Beam().UpdateWindow();
    ASSERT_TRUE(extras_test::SaveShot(tab.grab().toImage(), "tabwnd"));
}

// A dialog description that names the tab window by its class.
class TabDialog : public fw::Dialog {
public:
    TabDialog() { SetTemplate("Sheets", 300, 200); }
    CGXTabWnd* tab = nullptr;

protected:
    void CreateControls() override {
        tab = dynamic_cast<CGXTabWnd*>(
            AddByClass("CGXTabWnd", 1001, {5, 5, 295, 195}, fw::WS_HSCROLL | fw::WS_VISIBLE));
    }
};

TEST(TabWndClass, DialogsMakeItByName) {
    EXPECT_EQ(GXRegisterTabWndClass(), "CGXTabWnd");
    EXPECT_EQ(GXRegisterTabBeamClass(), "CGXTabBeam");
    unsigned style = 0;
    ASSERT_TRUE(GXGetClassInfo("CGXTabWnd", &style));
    EXPECT_EQ(style, GX_CS_DBLCLKS | GX_CS_GLOBALCLASS);
    {
        TabDialog dlg;
        ASSERT_TRUE(dlg.CreateModeless());
        ASSERT_NE(dlg.tab, nullptr);
        // Its children exist, and its own style holds no scroll bars: they are shared children.
        EXPECT_EQ(dlg.tab->Beam().GetDlgCtrlID(), CGXTabWnd::kIdBeam);
        EXPECT_FALSE(dlg.tab->GetStyle() & fw::WS_HSCROLL);
        EXPECT_TRUE(dlg.tab->HorzBar().isVisibleTo(dlg.tab));
        EXPECT_FALSE(dlg.tab->VertBar().isVisibleTo(dlg.tab));
        dlg.DestroyWindow();
    }
    GXUnregisterTabWndClass();
    GXUnregisterTabBeamClass();
    EXPECT_FALSE(fw::IsDialogClassRegistered("CGXTabWnd"));
}

}  // namespace
