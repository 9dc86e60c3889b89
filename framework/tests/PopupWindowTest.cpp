// The frameless pop-up: it never takes the focus from its owner and dismisses itself on
// Escape, on a click outside it and when the focus leaves the owner; clicks inside reach it.
#include "framework/tests/RecordingWindow.h"
#include "framework/window/PopupWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <vector>

namespace fw::test {
namespace {

class TestPopup : public PopupWindow {
public:
    std::vector<DismissReason> reasons;
    int clicks = 0;

protected:
    void OnDismiss(DismissReason reason) override {
        reasons.push_back(reason);
        PopupWindow::OnDismiss(reason);
    }
    void OnLButtonDown(UINT, Point) override { ++clicks; }
};

class Popup : public ::testing::Test {
protected:
    void SetUp() override {
        top.Create(nullptr, {0, 0, 300, 200}, 0, WS_VISIBLE);
        top.activateWindow();
        QApplication::setActiveWindow(&top);
        owner.only = {WM_KEYDOWN, WM_CHAR, WM_LBUTTONDOWN};
        owner.Create(&top, {0, 0, 200, 150}, 1, WS_CHILD | WS_VISIBLE | WS_TABSTOP);
        other.Create(&top, {210, 0, 290, 150}, 2, WS_CHILD | WS_VISIBLE | WS_TABSTOP);
        owner.SetFocus();
        ASSERT_TRUE(PumpUntil([&] { return Window::GetFocus() == &owner; }, 2000));
        const Point at = owner.ClientToScreen(Point{10, 40});
        ASSERT_TRUE(popup.CreatePopup(&owner, {at.x, at.y, at.x + 120, at.y + 80}, WS_VISIBLE));
        QApplication::processEvents();
        owner.seen.clear();
    }
    RecordingWindow top, owner, other;
    TestPopup popup;
};

TEST_F(Popup, IsFramelessTopLevelAndLeavesTheFocusWithItsOwner) {
    EXPECT_TRUE(popup.isWindow());
    EXPECT_TRUE(popup.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(popup.windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_TRUE(popup.IsWindowVisible());
    EXPECT_EQ(Window::GetFocus(), &owner);
    EXPECT_EQ(popup.GetWindowRect().Width(), 120);
    // Keys other than Escape still go to the owner.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(owner.Of(WM_KEYDOWN).size(), 1u);
    EXPECT_TRUE(popup.IsWindowVisible());
}

TEST_F(Popup, EscapeDismissesAndIsNotPassedOn) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    ASSERT_EQ(popup.reasons.size(), 1u);
    EXPECT_EQ(popup.reasons[0], PopupWindow::DismissReason::Escape);
    EXPECT_FALSE(popup.IsWindowVisible());
    EXPECT_TRUE(owner.Of(WM_KEYDOWN).empty());
}

TEST_F(Popup, ClickInsideReachesThePopupAndKeepsIt) {
    QTest::mouseClick(&popup, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_EQ(popup.clicks, 1);
    EXPECT_TRUE(popup.reasons.empty());
    EXPECT_TRUE(popup.IsWindowVisible());
}

TEST_F(Popup, ClickOutsideDismissesAndStillReachesItsWindow) {
    QTest::mouseClick(&owner, Qt::LeftButton, Qt::NoModifier, QPoint(150, 10));
    ASSERT_EQ(popup.reasons.size(), 1u);
    EXPECT_EQ(popup.reasons[0], PopupWindow::DismissReason::ClickOutside);
    EXPECT_FALSE(popup.IsWindowVisible());
    EXPECT_EQ(owner.Of(WM_LBUTTONDOWN).size(), 1u);
}

TEST_F(Popup, FocusMovingAwayDismissesButNotToTheOwnerOrItsChildren) {
    RecordingWindow inner;
    inner.Create(&owner, {0, 0, 20, 20}, 3, WS_CHILD | WS_VISIBLE | WS_TABSTOP);
    inner.SetFocus();
    QApplication::processEvents();
    EXPECT_TRUE(popup.reasons.empty());
    other.SetFocus();
    QApplication::processEvents();
    ASSERT_EQ(popup.reasons.size(), 1u);
    EXPECT_EQ(popup.reasons[0], PopupWindow::DismissReason::FocusLost);
    // Shown again, it works again.
    popup.ShowAt(popup.GetWindowRect());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(popup.reasons.size(), 2u);
}

}  // namespace
}  // namespace fw::test
