// Buttons inside a cell: a plain button clicks its owner when released over itself (or by the
// space bar), an arrow button steps at once and repeats while held, with the intervals of the
// held button measured on the process clock.
#include "grid/controls/CGXButton.h"
#include "grid/controls/tests/ControlFixture.h"
#include "grid/core/CGXRange.h"
#include "os/FakeClock.h"

#include <QApplication>

namespace {

// A static cell with an arrow button and a plain button side by side at its right edge.
class ButtonCellControl : public CGXStatic {
public:
    static constexpr unsigned kId = 40101;
    explicit ButtonCellControl(CGXGridCore* grid) : CGXStatic(grid) {
        arrow = static_cast<CGXArrowButton*>(AddChild(std::make_unique<CGXUpArrowButton>(this)));
        plain = static_cast<CGXButton*>(AddChild(std::make_unique<CGXButton>(this)));
    }
    void OnInitChildren(ROWCOL, ROWCOL, const fw::Rect& r) override {
        arrow->SetRect({r.right - 30, r.top, r.right - 15, r.bottom});
        plain->SetRect({r.right - 15, r.top, r.right, r.bottom});
    }
    void OnClickedButton(CGXChild* child) override {
        (child == arrow ? arrowClicks : plainClicks)++;
        CGXStatic::OnClickedButton(child);
    }
    void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
              const CGXStyle& style, const CGXStyle* standard) override {
        CGXStatic::Draw(dc, rect, row, col, style, standard);
        DrawChildren(dc, rect, row, col, style);
    }
    CGXArrowButton* arrow;
    CGXButton* plain;
    int arrowClicks = 0, plainClicks = 0;
};

class ChildButtons : public gxtest::ControlFixture {
protected:
    void SetUp() override {
        gxtest::ControlFixture::SetUp();
        Core().SetRowCount(10, 0);
        Core().SetColCount(4, 0);
        auto control = std::make_unique<ButtonCellControl>(&Core());
        control_ = control.get();
        Core().RegisterControl(ButtonCellControl::kId, std::move(control));
        CGXStyle style;
        style.SetControl(static_cast<std::uint16_t>(ButtonCellControl::kId));
        Core().SetStyleRange(CGXRange(2, 2), &style, gxOverride, 0, nullptr, 0);
        Core().SetCurrentCell(2, 2);
        Paint();
    }
    QPoint Center(const CGXChild* child) {
        const fw::Rect r = child->GetRect();
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void Timer() { Core().SendMessage(fw::WM_TIMER, GX_ARROWBUTTON_TIMER); }

    ButtonCellControl* control_ = nullptr;
};

TEST_F(ChildButtons, AHeldArrowStepsAtOnceThenRepeatsFasterDownToFiftyMilliseconds) {
    os::FakeClock clock(10000);
    QTest::mousePress(wnd_.get(), Qt::LeftButton, Qt::NoModifier, Center(control_->arrow));
    EXPECT_EQ(control_->arrowClicks, 1);  // a press steps at once
    EXPECT_TRUE(control_->arrow->IsPressed());
    // The held button repeats after 500 ms, then after 150, then 5 ms sooner each step.
    struct Step {
        unsigned wait;
        int clicks;
    };
    const Step steps[] = {{499, 1}, {1, 2}, {149, 2}, {1, 3}, {145, 4}, {140, 5}};
    for (const Step& s : steps) {
        clock.Advance(s.wait);
        Timer();
        EXPECT_EQ(control_->arrowClicks, s.clicks) << "after " << s.wait;
    }
    // Down to 50 ms and no faster.
    int clicks = control_->arrowClicks;
    for (unsigned interval = 135; interval >= 50; interval -= 5) {
        clock.Advance(interval);
        Timer();
        ASSERT_EQ(control_->arrowClicks, ++clicks) << interval;
    }
    EXPECT_EQ(control_->arrow->m_nInterval, 50u);
    clock.Advance(49);
    Timer();
    EXPECT_EQ(control_->arrowClicks, clicks);
    // Off the button the steps pause; back on it they go on.
    const QPoint away = Center(control_->plain) + QPoint(0, 40);
    QTest::mouseMove(wnd_.get(), away);
    Core().SendMessage(fw::WM_MOUSEMOVE, fw::MK_LBUTTON, fw::MAKELPARAM(away.x(), away.y()));
    EXPECT_FALSE(control_->arrow->IsPressed());
    clock.Advance(500);
    Timer();
    EXPECT_EQ(control_->arrowClicks, clicks);
    const QPoint back = Center(control_->arrow);
    Core().SendMessage(fw::WM_MOUSEMOVE, fw::MK_LBUTTON, fw::MAKELPARAM(back.x(), back.y()));
    EXPECT_EQ(control_->arrowClicks, clicks + 1);
    // A release never clicks an arrow, and the repeat ends with it.
    QTest::mouseRelease(wnd_.get(), Qt::LeftButton, Qt::NoModifier, back);
    EXPECT_EQ(control_->arrowClicks, clicks + 1);
    EXPECT_FALSE(control_->arrow->IsPressed());
    clock.Advance(1000);
    Timer();
    EXPECT_EQ(control_->arrowClicks, clicks + 1);
}

TEST_F(ChildButtons, APlainButtonClicksWhenReleasedOverItselfOrByTheSpaceBar) {
    const QPoint on = Center(control_->plain);
    QTest::mousePress(wnd_.get(), Qt::LeftButton, Qt::NoModifier, on);
    EXPECT_TRUE(control_->plain->IsPressed());
    EXPECT_EQ(control_->plainClicks, 0);
    const QPoint off = on + QPoint(0, 60);
    Core().SendMessage(fw::WM_MOUSEMOVE, fw::MK_LBUTTON, fw::MAKELPARAM(off.x(), off.y()));
    EXPECT_FALSE(control_->plain->IsPressed());
    QTest::mouseRelease(wnd_.get(), Qt::LeftButton, Qt::NoModifier, off);
    EXPECT_EQ(control_->plainClicks, 0);
    QTest::mouseClick(wnd_.get(), Qt::LeftButton, Qt::NoModifier, on);
    EXPECT_EQ(control_->plainClicks, 1);
    // The button that took the last click has the keyboard: space down and up click it once.
    QTest::keyPress(wnd_.get(), Qt::Key_Space);
    EXPECT_TRUE(control_->plain->IsPressed());
    QTest::keyRelease(wnd_.get(), Qt::Key_Space);
    EXPECT_EQ(control_->plainClicks, 2);
    EXPECT_EQ(control_->arrowClicks, 0);
    EXPECT_EQ(fw::Window::GetCapture(), nullptr);
}

TEST_F(ChildButtons, ArrowsShowOnTheCurrentCellAndNeedFivePixels) {
    QImage image(40, 40, QImage::Format_RGB32);
    auto blackInside = [&](const fw::Rect& r) {
        int n = 0;
        for (int y = r.top + 2; y < r.bottom - 2; ++y)
            for (int x = r.left + 2; x < r.right - 2; ++x) n += image.pixel(x, y) == qRgb(0, 0, 0);
        return n;
    };
    struct Case {
        const char* name;
        int height;
        bool focus;
        bool frame;
        bool arrow;
    };
    for (const Case& c :
         {Case{"current cell", 14, true, true, true}, Case{"small", 6, true, true, true},
          Case{"too small for an arrow", 4, true, true, false},
          Case{"not the current cell", 14, false, false, false}}) {
        SCOPED_TRACE(c.name);
        image.fill(Qt::white);
        fw::DeviceContext dc(&image);
        CGXDownArrowButton button(control_);
        const fw::Rect r{10, 10, 25, 10 + c.height};
        button.SetRect(r);
        button.DrawButton(dc, c.focus);
        dc.Flush();
        EXPECT_EQ(image.pixel(r.right - 1, r.top + c.height / 2) != qRgb(255, 255, 255), c.frame);
        if (c.height > 4)
            EXPECT_EQ(blackInside(r) > 0, c.arrow);
        else
            EXPECT_EQ(image.pixel(r.left + 7, r.top + 2) == qRgb(0, 0, 0), false);
    }
}

}  // namespace
