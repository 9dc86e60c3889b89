#include "framework/window/WindowStyles.h"
#include "grid/core/CGXAutoScrollPlugin.h"
#include "grid/core/CGXIntelliMousePlugin.h"
#include "grid/core/CGXToolTipCtrlProxy.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <map>
#include <vector>

namespace {

struct Sent {
    fw::UINT id;
    fw::WPARAM w;
    fw::LPARAM l;
};

// A grid window stand-in: records scrolls, mouse moves and keys, and answers the zoom messages.
class GridWindow : public fw::Window {
public:
    std::vector<Sent> sent;
    int zoom = 100;
    std::vector<Sent> Of(fw::UINT id) const {
        std::vector<Sent> out;
        for (const Sent& s : sent)
            if (s.id == id)
                out.push_back(s);
        return out;
    }

protected:
    fw::LRESULT WindowProc(fw::Message& m) override {
        if (m.id == GX_WM_GETZOOM)
            return zoom;
        if (m.id == fw::WM_VSCROLL || m.id == fw::WM_HSCROLL || m.id == GX_WM_SETZOOM ||
            m.id == fw::WM_MOUSEMOVE || m.id == fw::WM_KEYDOWN)
            sent.push_back({m.id, m.wParam, m.lParam});
        return Window::WindowProc(m);
    }
};

// Plug-ins whose pointer and clock the test moves.
template <class Base>
class Steered : public Base {
public:
    using Base::Base;
    fw::Point GetCursorPos() const override { return cursor; }
    void SetCursorPos(fw::Point p) override { cursor = p; }
    std::uint64_t TickCount() const override { return now; }
    fw::Point cursor{500, 500};
    std::uint64_t now = 10000;
};

fw::WPARAM Wheel(int delta, unsigned keys = 0) {
    return fw::MAKEWPARAM(static_cast<int>(keys), delta);
}

class PluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid.Create(nullptr, {100, 100, 400, 300}, 0,
                    fw::WS_OVERLAPPED | fw::WS_VISIBLE | fw::WS_VSCROLL | fw::WS_HSCROLL);
        QApplication::setWheelScrollLines(3);
        GXGetWheelScrollLines(true);
    }
    void TearDown() override {
        QApplication::setWheelScrollLines(3);
        GXGetWheelScrollLines(true);
    }
    std::vector<unsigned> Codes(fw::UINT id) const {
        std::vector<unsigned> out;
        for (const Sent& s : grid.Of(id)) out.push_back(static_cast<unsigned>(s.w));
        return out;
    }
    GridWindow grid;
};

TEST_F(PluginTest, WheelScrollsLinesPagesAndZooms) {
    CGXMouseWheelPlugin wheel;
    wheel.PlugIn(&grid);
    wheel.HandleMessage(fw::WM_MOUSEWHEEL, Wheel(120), 0, nullptr);
    EXPECT_TRUE(wheel.m_bExitMessage);
    EXPECT_EQ(Codes(fw::WM_VSCROLL), (std::vector<unsigned>{0, 0, 0, 8}));  // 3 up, end
    grid.sent.clear();
    wheel.HandleMessage(fw::WM_MOUSEWHEEL, Wheel(-240), 0, nullptr);
    EXPECT_EQ(Codes(fw::WM_VSCROLL).size(), 7u);
    EXPECT_EQ(Codes(fw::WM_VSCROLL)[0], fw::SB_LINEDOWN);
    grid.sent.clear();
    wheel.HandleMessage(fw::WM_MOUSEWHEEL, Wheel(-120, fw::MK_SHIFT), 0, nullptr);
    EXPECT_EQ(Codes(fw::WM_HSCROLL), (std::vector<unsigned>{1, 1, 1, 8}));

    GXSetWheelScrollLines(-1);  // a page per notch
    grid.sent.clear();
    wheel.HandleMessage(fw::WM_MOUSEWHEEL, Wheel(120), 0, nullptr);
    EXPECT_EQ(Codes(fw::WM_VSCROLL), (std::vector<unsigned>{fw::SB_PAGEUP, 8}));
    wheel.HandleMessage(fw::WM_WININICHANGE, 0, 0, nullptr);  // re-reads the desktop's setting
    EXPECT_EQ(GXGetWheelScrollLines(), 3);

    const struct {
        int zoom, delta;
        int set;  // -1: no change asked
    } zooms[] = {{50, 120, -1}, {60, 120, 50}, {190, -120, 200}, {200, -120, -1}};
    for (const auto& z : zooms) {
        grid.zoom = z.zoom;
        grid.sent.clear();
        wheel.HandleMessage(fw::WM_MOUSEWHEEL, Wheel(z.delta, fw::MK_CONTROL), 0, nullptr);
        const auto set = grid.Of(GX_WM_SETZOOM);
        if (z.set < 0) {
            EXPECT_TRUE(set.empty()) << z.zoom;
        } else {
            ASSERT_EQ(set.size(), 1u) << z.zoom;
            EXPECT_EQ(static_cast<int>(set[0].w), z.set);
        }
    }
    wheel.HandleMessage(fw::WM_MOUSEWHEEL, Wheel(120, fw::MK_CONTROL | fw::MK_SHIFT), 0, nullptr);
    EXPECT_FALSE(wheel.m_bExitMessage);  // other keys: not handled
}

TEST_F(PluginTest, WheelScrollsSidewaysWithoutAVerticalBar) {
    grid.ModifyStyle(fw::WS_VSCROLL, 0);
    CGXMouseWheelPlugin wheel;
    wheel.PlugIn(&grid);
    wheel.HandleMessage(fw::WM_MOUSEWHEEL, Wheel(120), 0, nullptr);
    EXPECT_TRUE(grid.Of(fw::WM_VSCROLL).empty());
    EXPECT_EQ(grid.Of(fw::WM_HSCROLL).size(), 4u);
}

TEST_F(PluginTest, PanningStartsAndStops) {
    Steered<CGXIntelliMousePlugin> pan;
    pan.PlugIn(&grid);
    pan.HandleMessage(fw::WM_MBUTTONDOWN, fw::MK_MBUTTON, 0, nullptr);
    ASSERT_TRUE(pan.IsPanning());
    EXPECT_EQ(pan.GetOrigin(), (fw::Point{485, 485}));
    EXPECT_EQ(pan.cursor, (fw::Point{485, 485}));  // the pointer is put on the origin
    ASSERT_NE(pan.GetOriginWnd(), nullptr);
    EXPECT_EQ(pan.GetOriginWnd()->GetDlgCtrlID(), GX_ORIGIN_WND_ID);
    pan.now += 200;  // released within 400 ms without moving: panning ends at once
    pan.HandleMessage(fw::WM_MBUTTONUP, 0, 0, nullptr);
    EXPECT_FALSE(pan.IsPanning());
    EXPECT_EQ(pan.GetOriginWnd(), nullptr);

    pan.HandleMessage(fw::WM_MBUTTONDOWN, fw::MK_MBUTTON, 0, nullptr);
    pan.now += 500;  // held without moving: panning goes on
    pan.HandleMessage(fw::WM_MBUTTONUP, 0, 0, nullptr);
    ASSERT_TRUE(pan.IsPanning());
    pan.cursor.y += 50;  // 50 pixels below the origin
    pan.HandleMessage(fw::WM_TIMER, GX_PAN_TIMER, 0, nullptr);
    EXPECT_EQ(pan.GetDirection(), 3);
    std::vector<unsigned> six(6, fw::SB_LINEDOWN);  // (50 - 40) / 2 + 1 lines
    six.push_back(8);
    EXPECT_EQ(Codes(fw::WM_VSCROLL), six);
    grid.sent.clear();
    pan.now += 5;  // the step interval (600 / speed 20 = 30 ms) has not passed
    pan.HandleMessage(fw::WM_TIMER, GX_PAN_TIMER, 0, nullptr);
    EXPECT_TRUE(grid.Of(fw::WM_VSCROLL).empty());
    pan.cursor = {pan.GetOrigin().x - 20, pan.GetOrigin().y + 3};
    pan.now += 100;
    pan.HandleMessage(fw::WM_TIMER, GX_PAN_TIMER, 0, nullptr);
    EXPECT_EQ(pan.GetDirection(), 2);
    EXPECT_EQ(Codes(fw::WM_HSCROLL), (std::vector<unsigned>{fw::SB_LINELEFT, 8}));
    pan.HandleMessage(fw::WM_LBUTTONDOWN, fw::MK_LBUTTON, 0, nullptr);
    EXPECT_FALSE(pan.IsPanning());
}

struct FakeScrollHost : CGXAutoScrollHost {
    Settings settings;
    std::vector<std::pair<int, ROWCOL>> scrolls;
    int stopped = 0;
    bool capture = false;
    Settings GetAutoScrollSettings() override { return settings; }
    void AutoScrollBy(int direction, ROWCOL count) override {
        scrolls.emplace_back(direction, count);
    }
    void OnAutoScrollStopped() override { ++stopped; }
    bool KeepsCapture() override { return capture; }
};

TEST_F(PluginTest, AutoScrollFollowsThePointerAndStops) {
    FakeScrollHost host;
    host.settings.rect = {10, 10, 200, 150};
    Steered<CGXAutoScrollPlugin> auto_(&host);
    auto_.PlugIn(&grid);
    const fw::Point origin = grid.ClientToScreen(fw::Point{0, 0});
    auto_.cursor = {origin.x + 50, origin.y + 170};  // 21 pixels below the rectangle
    auto_.HandleMessage(fw::WM_TIMER, GX_AUTOSCROLL_TIMER, 0, nullptr);
    EXPECT_TRUE(auto_.IsRunning());
    EXPECT_TRUE(host.scrolls.empty());  // the first tick only starts
    auto_.now += 80;
    auto_.HandleMessage(fw::WM_TIMER, GX_AUTOSCROLL_TIMER, 0, nullptr);
    ASSERT_EQ(host.scrolls.size(), 1u);
    EXPECT_EQ(host.scrolls[0], (std::pair<int, ROWCOL>{gxScrollDown, 1}));
    EXPECT_EQ(auto_.GetDelay(), 78);  // 80 - 21 / 5 / 2
    EXPECT_FALSE(grid.Of(fw::WM_MOUSEMOVE).empty());

    host.capture = true;
    auto_.HandleMessage(fw::WM_KILLFOCUS, 0, 0, nullptr);
    EXPECT_TRUE(auto_.IsRunning());  // the grid keeps the capture
    auto_.HandleMessage(fw::WM_KEYDOWN, 'A', 0, nullptr);
    EXPECT_FALSE(auto_.IsRunning());  // any other key stops it
    EXPECT_EQ(host.stopped, 1);

    auto_.HandleMessage(fw::WM_TIMER, GX_AUTOSCROLL_TIMER, 0, nullptr);
    EXPECT_TRUE(auto_.IsRunning());
    auto_.HandleMessage(fw::WM_KEYDOWN, fw::VK_ESCAPE, 0, nullptr);
    EXPECT_FALSE(auto_.IsRunning());
    auto_.HandleMessage(fw::WM_LBUTTONUP, 0, 0, nullptr);
    EXPECT_EQ(host.stopped, 3);
}

struct FakeTipHost : CGXToolTipHost {
    std::map<std::pair<ROWCOL, ROWCOL>, std::string> tips;
    bool ToolTipCellFromPoint(fw::Point p, ROWCOL& row, ROWCOL& col) override {
        if (p.x < 0 || p.y < 0)
            return false;
        row = static_cast<ROWCOL>(p.y / 20);
        col = static_cast<ROWCOL>(p.x / 50);
        return true;
    }
    std::string ToolTipText(ROWCOL row, ROWCOL col) override {
        auto it = tips.find({row, col});
        return it == tips.end() ? std::string() : it->second;
    }
};

TEST_F(PluginTest, TooltipsShowTheCellsText) {
    FakeTipHost host;
    host.tips[{1, 1}] = "Node name";
    CGXToolTipCtrlProxy tips(&host, &grid);
    ASSERT_TRUE(tips.Create());
    tips.OnMouseMove({60, 25});
    EXPECT_TRUE(tips.IsActive());
    EXPECT_EQ(tips.GetTipText(), "Node name");
    EXPECT_EQ(tips.GetLastRow(), 1u);
    tips.OnMouseMove({70, 30});  // the same cell: nothing changes
    EXPECT_TRUE(tips.IsActive());
    tips.OnMouseMove({10, 25});  // a cell without a tip
    EXPECT_FALSE(tips.IsActive());
    EXPECT_EQ(tips.GetTipText(), "");
    tips.OnMouseMove({-5, -5});  // off the cells
    EXPECT_EQ(tips.GetLastRow(), GX_INVALID);
    tips.RelayEvent({fw::WM_MOUSEMOVE, 0, fw::MAKELPARAM(60, 25), {}});
    EXPECT_TRUE(tips.IsActive());
    tips.RelayEvent({fw::WM_LBUTTONDOWN, 0, 0, {}});
    EXPECT_FALSE(tips.IsActive());
}

}  // namespace
