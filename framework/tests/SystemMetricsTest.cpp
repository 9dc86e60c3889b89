#include "framework/PaintContext.h"
#include "framework/SystemMetrics.h"
#include "framework/Window.h"

#include <gtest/gtest.h>

#include <QScrollBar>

namespace fw {
namespace {

TEST(SystemMetrics, ScrollBarExtentIsTheWidthAShownBarTakesFromTheClientArea) {
    Window w;
    w.Create(nullptr, {0, 0, 200, 150}, 0, WS_VISIBLE | WS_VSCROLL | WS_HSCROLL);
    ScrollInfo si;
    si.mask = SIF_RANGE | SIF_PAGE;
    si.max = 1000;
    si.page = 10;
    w.SetScrollInfo(SB_VERT, si);
    w.SetScrollInfo(SB_HORZ, si);
    ASSERT_TRUE(w.IsScrollBarVisible(SB_VERT));
    ASSERT_TRUE(w.IsScrollBarVisible(SB_HORZ));
    const int cx = GetSystemMetrics(SM_CXVSCROLL);
    const int cy = GetSystemMetrics(SM_CYHSCROLL);
    EXPECT_GT(cx, 0);
    EXPECT_EQ(w.GetClientRect(), (Rect{0, 0, 200 - cx, 150 - cy}));
    // Measured as if no bar were there, whatever is shown.
    EXPECT_EQ(w.GetClientRectWithoutScrollBars(), (Rect{0, 0, 200, 150}));
}

TEST(SystemMetrics, BordersAndFramesAreThinAndUnknownIndicesAnswerZero) {
    EXPECT_EQ(GetSystemMetrics(SM_CXBORDER), 1);
    EXPECT_EQ(GetSystemMetrics(SM_CYBORDER), 1);
    EXPECT_EQ(GetSystemMetrics(SM_CXFRAME), 4);
    EXPECT_EQ(GetSystemMetrics(SM_CYFRAME), 4);
    EXPECT_EQ(GetSystemMetrics(9999), 0);
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
}

}  // namespace
}  // namespace fw

namespace fw {
namespace {

// Shows its vertical scroll bar from its first paint, as a grid does when it finds its rows do
// not fit: the paint after that change must still come.
class GrowingWindow : public Window {
public:
    int paints = 0;

protected:
    void OnPaint() override {
        PaintContext dc(*this);
        ++paints;
        if (paints == 1) {
            ShowScrollBar(SB_VERT, true);  // the client area shrinks and is invalidated
            return;
        }
        dc.FillSolidRect(GetClientRect(), Rgb(0, 0, 255));
    }
};

TEST(WindowPaint, WhatAPaintInvalidatesIsPaintedNext) {
    GrowingWindow w;
    w.Create(nullptr, {0, 0, 120, 80}, 0, WS_VISIBLE);
    w.Invalidate();
    w.UpdateWindow();
    EXPECT_EQ(w.paints, 1);
    ASSERT_TRUE(w.GetUpdateRect(nullptr));
    w.UpdateWindow();
    EXPECT_EQ(w.paints, 2);
    EXPECT_EQ(QColor(w.BackingImage().pixel(5, 5)), QColor(0, 0, 255));
}

}  // namespace
}  // namespace fw
