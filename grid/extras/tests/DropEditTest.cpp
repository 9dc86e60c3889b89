// The drop edit's button: clicks, keys, and a press released elsewhere.
#include "grid/extras/CGXBDropEdit.h"
#include "grid/extras/tests/ExtrasTestSupport.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

using extras_test::OwnerWindow;

QPoint CentreOf(const fw::Rect& r) {
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

class DropEditTest : public ::testing::Test {
protected:
    OwnerWindow owner;
    CGXBDropEdit edit;
    void SetUp() override {
        ASSERT_TRUE(owner.Create(nullptr, {0, 0, 240, 60}, 0, fw::WS_VISIBLE));
        ASSERT_TRUE(edit.Create(fw::WS_VISIBLE | fw::WS_CHILD, {10, 10, 160, 32}, &owner, 9));
    }
    unsigned Clicks() const {
        unsigned n = 0;
        for (const auto& r : owner.Of(fw::WM_COMMAND))
            if (fw::LOWORD(r.w) == 9 && fw::HIWORD(r.w) == 0)
                ++n;
        return n;
    }
};

TEST_F(DropEditTest, WithoutABitmapThereIsNoButton) {
    EXPECT_FALSE(edit.HasButton());
    EXPECT_TRUE(edit.ButtonRect().IsEmpty());
    EXPECT_EQ(edit.TextArea(), edit.GetClientRect());
    EXPECT_TRUE(edit.SetBitmap(12345));  // not registered: still no button
    EXPECT_EQ(edit.GetBitmapId(), 0u);
    EXPECT_FALSE(edit.HasButton());
}

TEST_F(DropEditTest, ButtonClicksKeysAndReleaseElsewhere) {
    ASSERT_TRUE(edit.SetBitmap("GXBDROPARROW"));
    ASSERT_TRUE(edit.HasButton());
    const fw::Rect b = edit.ButtonRect();
    EXPECT_EQ(b.right, edit.GetClientRect().right);
    EXPECT_EQ(b.Width(), 1 + 1 + 7 + 4);  // gaps, bitmap, frame
    EXPECT_EQ(edit.TextArea().right, b.left);
    EXPECT_EQ(edit.Inner()->geometry().right() + 1, b.left);

    QTest::mouseClick(&edit, Qt::LeftButton, Qt::NoModifier, CentreOf(b));
    EXPECT_EQ(Clicks(), 1u);
    // Pressed, moved off, released elsewhere: no event, drawn up again.
    QTest::mousePress(&edit, Qt::LeftButton, Qt::NoModifier, CentreOf(b));
    EXPECT_TRUE(edit.ButtonFlags() & CGXBDropEdit::kPressed);
    QTest::mouseMove(&edit, QPoint(b.left - 20, 5));
    EXPECT_FALSE(edit.ButtonFlags() & CGXBDropEdit::kPressed);
    QTest::mouseRelease(&edit, Qt::LeftButton, Qt::NoModifier, QPoint(b.left - 20, 5));
    EXPECT_EQ(Clicks(), 1u);
    EXPECT_EQ(edit.ButtonFlags() & (CGXBDropEdit::kPressed | CGXBDropEdit::kTracking), 0u);

    QTest::keyClick(edit.Inner(), Qt::Key_F4);
    QTest::keyClick(edit.Inner(), Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(Clicks(), 3u);
    // Typing still reaches the edit text.
    QTest::keyClicks(edit.Inner(), "abc");
    EXPECT_EQ(edit.GetWindowText(), "abc");

    edit.SetButtonAtRight(false);
    EXPECT_EQ(edit.ButtonRect().left, 0);
    EXPECT_EQ(edit.TextArea().left, edit.ButtonRect().right);
    edit.UpdateWindow();
    // The whole control as shown: the button strip and the inner edit with its text.
    const QImage shot = edit.grab().toImage().scaled(edit.width() * 3, edit.height() * 3);
    ASSERT_TRUE(extras_test::SaveShot(shot, "dropedit"));
    // The strip where the button stood before it moved is repainted.
    const QImage backing = edit.BackingImage();
    EXPECT_NE(backing.pixel(backing.width() - 3, backing.height() / 2), 0xFF000000u);
}

}  // namespace
