// Painting into the backing image, scrolling, timers, mouse, focus and the input pump.
#include "framework/drawing/PaintContext.h"
#include "framework/tests/RecordingWindow.h"
#include "framework/window/InputPump.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <clocale>
#include <cstring>

namespace fw {
namespace {

using test::PumpUntil;
using test::RecordingWindow;

// Paints its whole invalid region in one colour and counts its paints.
class SolidWindow : public RecordingWindow {
public:
    QColor color = Qt::red;
    int paints = 0;
    QRegion lastRegion;

protected:
    void OnPaint() override {
        PaintContext dc(*this);
        ++paints;
        lastRegion = dc.PaintRegion();
        dc.FillSolidRect(GetClientRect(), FromQColor(color));
    }
};

QRgb PixelAt(const Window& w, int x, int y) {
    return w.BackingImage().pixel(x, y);
}

TEST(WindowPaint, InvalidRegionIsPaintedIntoTheBackingImageOnce) {
    SolidWindow w;
    w.Create(nullptr, {0, 0, 100, 60}, 0, WS_VISIBLE);
    ASSERT_TRUE(PumpUntil([&] { return w.paints == 1; }));
    EXPECT_EQ(PixelAt(w, 50, 30), QColor(Qt::red).rgb());

    w.color = Qt::blue;
    w.InvalidateRect({10, 10, 20, 20}, false);
    w.InvalidateRect({15, 15, 30, 30}, false);  // two invalidations, one paint
    Rect r;
    ASSERT_TRUE(w.GetUpdateRect(&r));
    EXPECT_EQ(r, (Rect{10, 10, 30, 30}));
    w.UpdateWindow();
    EXPECT_EQ(w.paints, 2);
    EXPECT_EQ(PixelAt(w, 12, 12), QColor(Qt::blue).rgb());
    EXPECT_EQ(PixelAt(w, 40, 40), QColor(Qt::red).rgb());  // outside stays
    EXPECT_FALSE(w.GetUpdateRect(nullptr));
    QApplication::processEvents();
    EXPECT_EQ(w.paints, 2);
}

TEST(WindowPaint, ClientContextDrawsAtOnceAndEraseUsesTheBackground) {
    SolidWindow w;
    w.Create(nullptr, {0, 0, 50, 50}, 0, WS_VISIBLE);
    ASSERT_TRUE(PumpUntil([&] { return w.paints == 1; }));
    {
        ClientContext dc(w);
        dc.FillSolidRect({0, 0, 5, 5}, Rgb(0, 255, 0));
    }
    EXPECT_EQ(PixelAt(w, 2, 2), QColor(Qt::green).rgb());

    // A window without its own painting is erased with its background colour.
    RecordingWindow plain;
    plain.SetBackgroundColor(Qt::yellow);
    plain.Create(nullptr, {0, 0, 20, 20}, 0, WS_VISIBLE);
    plain.UpdateWindow();
    EXPECT_EQ(PixelAt(plain, 10, 10), QColor(Qt::yellow).rgb());
}

TEST(WindowPaint, XorFrameDrawnTwiceThroughClientContextsLeavesTheImage) {
    SolidWindow w;
    w.Create(nullptr, {0, 0, 60, 40}, 0, WS_VISIBLE);
    w.UpdateWindow();
    {
        ClientContext dc(w);
        dc.FillSolidRect({10, 10, 30, 30}, Rgb(10, 200, 30));
    }
    const QImage before = w.BackingImage().copy();
    for (int i = 0; i < 2; ++i) {
        ClientContext dc(w);
        dc.SetROP2(R2_XORPEN);
        dc.SelectPen(Pen{PS_SOLID, 1, Rgb(255, 255, 255)});
        dc.SelectBrush(Brush::Null());
        dc.Rectangle({5, 5, 40, 25});
        if (i == 0) {
            dc.Flush();
            EXPECT_NE(w.BackingImage(), before);
        }
    }
    EXPECT_EQ(w.BackingImage(), before);
}

TEST(WindowScroll, ScrollingPartOfTheWindowMovesPixelsAndChildren) {
    SolidWindow w;
    w.Create(nullptr, {0, 0, 100, 100}, 0, WS_VISIBLE);
    w.UpdateWindow();
    {
        ClientContext dc(w);
        dc.FillSolidRect({40, 40, 50, 50}, Rgb(0, 0, 0));
    }
    RecordingWindow inside, outside;
    inside.Create(&w, {40, 60, 60, 70}, 1, WS_CHILD | WS_VISIBLE);
    outside.Create(&w, {0, 0, 10, 10}, 2, WS_CHILD | WS_VISIBLE);
    const Rect part{20, 20, 100, 100};
    w.ScrollWindow(0, -10, &part);
    EXPECT_EQ(PixelAt(w, 45, 35), QColor(Qt::black).rgb());
    EXPECT_EQ(inside.geometry().top(), 50);
    EXPECT_EQ(outside.geometry().top(), 0);
    Rect r;
    ASSERT_TRUE(w.GetUpdateRect(&r));
    EXPECT_EQ(r, (Rect{20, 90, 100, 100}));  // the strip that came into view
    EXPECT_EQ(w.GetDlgItem(1), &inside);
}

TEST(WindowScroll, ScrollBarRangePageAndTheSixteenBitThumbPosition) {
    RecordingWindow w;
    w.only = {WM_VSCROLL};
    w.Create(nullptr, {0, 0, 100, 100}, 0, WS_VISIBLE | WS_VSCROLL);
    ScrollInfo si;
    si.mask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.min = 0;
    si.max = 99999;
    si.page = 10;
    si.pos = 70000;
    w.SetScrollInfo(SB_VERT, si);
    EXPECT_TRUE(w.IsScrollBarVisible(SB_VERT));
    EXPECT_LT(w.GetClientRect().Width(), 100);
    EXPECT_EQ(w.GetScrollPos(SB_VERT), 70000);
    EXPECT_EQ(w.SetScrollPos(SB_VERT, 200000), 70000);
    EXPECT_EQ(w.GetScrollPos(SB_VERT), 99990);  // max - page + 1

    auto* bar = static_cast<QScrollBar*>(w.ScrollBarWidget(SB_VERT));
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    ASSERT_EQ(w.seen.size(), 1u);
    EXPECT_EQ(LOWORD(w.seen[0].w), SB_LINEUP);
    EXPECT_EQ(w.GetScrollPos(SB_VERT), 99990);  // the program moves the bar, not the toolkit
    bar->setSliderDown(true);
    bar->setSliderPosition(70000);
    ASSERT_EQ(w.seen.size(), 2u);
    EXPECT_EQ(LOWORD(w.seen[1].w), SB_THUMBTRACK);
    EXPECT_EQ(HIWORD(w.seen[1].w), 70000 & 0xFFFF);  // the message holds 16 bits
    ScrollInfo track;
    track.mask = SIF_TRACKPOS;
    w.GetScrollInfo(SB_VERT, track);
    EXPECT_EQ(track.trackPos, 70000);

    si.mask = SIF_RANGE | SIF_PAGE;
    si.max = 5;  // everything fits: the bar goes away
    w.SetScrollInfo(SB_VERT, si);
    EXPECT_FALSE(w.IsScrollBarVisible(SB_VERT));
    EXPECT_EQ(w.GetClientRect().Width(), 100);
}

TEST(WindowTimers, TimersArriveByIdUntilKilled) {
    RecordingWindow w;
    w.only = {WM_TIMER};
    w.Create(nullptr, {0, 0, 10, 10}, 0, 0);
    w.SetTimer(992, 1);
    w.SetTimer(7, 1);
    ASSERT_TRUE(PumpUntil([&] { return w.Of(WM_TIMER).size() >= 4; }));
    w.KillTimer(992);
    w.seen.clear();
    ASSERT_TRUE(PumpUntil([&] { return w.Of(WM_TIMER).size() >= 3; }));
    for (const auto& s : w.seen) EXPECT_EQ(s.w, 7u);
    EXPECT_FALSE(w.KillTimer(992));
}

TEST(WindowMouse, ButtonsDoubleClicksWheelAndCapture) {
    RecordingWindow w;
    w.only = {WM_LBUTTONDOWN, WM_LBUTTONUP,  WM_LBUTTONDBLCLK, WM_RBUTTONDOWN,
              WM_MOUSEWHEEL,  WM_CANCELMODE, WM_CAPTURECHANGED};
    w.Create(nullptr, {0, 0, 100, 100}, 0, WS_VISIBLE);
    QTest::mouseClick(&w, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 20));
    QTest::mouseDClick(&w, Qt::LeftButton, Qt::NoModifier, QPoint(11, 21));
    ASSERT_GE(w.seen.size(), 3u);
    EXPECT_EQ(w.seen[0].id, WM_LBUTTONDOWN);
    EXPECT_EQ(w.seen[0].w, WPARAM(MK_LBUTTON | MK_SHIFT));
    EXPECT_EQ(GET_X_LPARAM(w.seen[0].l), 10);
    EXPECT_EQ(GET_Y_LPARAM(w.seen[0].l), 20);
    EXPECT_EQ(w.seen[1].id, WM_LBUTTONUP);
    EXPECT_EQ(w.seen[1].w, WPARAM(MK_SHIFT));
    EXPECT_EQ(w.Of(WM_LBUTTONDBLCLK).size(), 1u);

    // Without double clicks in its class a window sees a second button-down.
    w.SetClassStyle(0);
    w.seen.clear();
    QTest::mouseDClick(&w, Qt::LeftButton, Qt::NoModifier, QPoint(11, 21));
    EXPECT_TRUE(w.Of(WM_LBUTTONDBLCLK).empty());
    EXPECT_EQ(w.Of(WM_LBUTTONDOWN).size(), 1u);

    w.seen.clear();
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -240), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&w, &wheel);
    ASSERT_EQ(w.Of(WM_MOUSEWHEEL).size(), 1u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(w.seen[0].w), -240);
    EXPECT_EQ(GET_KEYSTATE_WPARAM(w.seen[0].w), MK_CONTROL);

    RecordingWindow other;
    other.only = {WM_CAPTURECHANGED};
    other.Create(nullptr, {0, 0, 10, 10}, 0, WS_VISIBLE);
    w.seen.clear();
    w.SetCapture();
    EXPECT_EQ(Window::GetCapture(), &w);
    other.SetCapture();  // w loses it: cancel mode first, then the change
    ASSERT_EQ(w.seen.size(), 2u);
    EXPECT_EQ(w.seen[0].id, WM_CANCELMODE);
    EXPECT_EQ(w.seen[1].id, WM_CAPTURECHANGED);
    EXPECT_EQ(Window::GetCapture(), &other);
    CancelModeForModal();  // a modal box opens: the holder gets cancel mode and loses capture
    EXPECT_EQ(Window::GetCapture(), nullptr);
    EXPECT_EQ(other.Of(WM_CAPTURECHANGED).size(), 1u);
}

TEST(WindowFocus, FocusMessagesNameTheOldAndTheNewWindow) {
    RecordingWindow top;
    top.Create(nullptr, {0, 0, 200, 100}, 0, WS_VISIBLE);
    top.activateWindow();
    QApplication::setActiveWindow(&top);
    RecordingWindow a, b;
    a.only = b.only = {WM_SETFOCUS, WM_KILLFOCUS};
    a.Create(&top, {0, 0, 50, 50}, 1, WS_CHILD | WS_VISIBLE | WS_TABSTOP);
    b.Create(&top, {60, 0, 110, 50}, 2, WS_CHILD | WS_VISIBLE | WS_TABSTOP);
    a.SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return Window::GetFocus() == &a; }, 2000));
    a.seen.clear();
    EXPECT_EQ(b.SetFocus(), &a);
    ASSERT_EQ(a.Of(WM_KILLFOCUS).size(), 1u);
    EXPECT_EQ(a.Of(WM_KILLFOCUS)[0].w, b.Handle().value);
    ASSERT_EQ(b.Of(WM_SETFOCUS).size(), 1u);
    EXPECT_EQ(b.Of(WM_SETFOCUS)[0].w, a.Handle().value);
}

TEST(InputPump, PendingKeysAreTakenOrFlushedWithoutDeliveringOtherInput) {
    RecordingWindow w;
    w.only = {WM_KEYDOWN, WM_CHAR, WM_LBUTTONDOWN, WM_APP};
    w.Create(nullptr, {0, 0, 50, 50}, 0, WS_VISIBLE);
    auto postKey = [&](Qt::Key k) {
        QCoreApplication::postEvent(&w, new QKeyEvent(QEvent::KeyPress, k, Qt::NoModifier, "x"));
    };
    EXPECT_FALSE(TakePendingKeyDown(w));
    postKey(Qt::Key_X);
    w.PostMessage(WM_APP);  // held back while the operation looks at the keys
    EXPECT_TRUE(TakePendingKeyDown(w));
    EXPECT_TRUE(w.seen.empty());
    QApplication::processEvents();
    EXPECT_EQ(w.Of(WM_APP).size(), 1u);  // delivered afterwards, in order
    EXPECT_TRUE(w.Of(WM_KEYDOWN).empty());

    postKey(Qt::Key_A);
    postKey(Qt::Key_B);
    FlushKeyInput(w);
    QApplication::processEvents();
    EXPECT_TRUE(w.Of(WM_KEYDOWN).empty());
    EXPECT_TRUE(w.Of(WM_CHAR).empty());
}

TEST(InputPump, ALongOperationDropsInputDeliversTheRestAndSeesEscape) {
    RecordingWindow w;
    w.only = {WM_KEYDOWN, WM_CHAR, WM_LBUTTONDOWN, WM_APP};
    w.Create(nullptr, {0, 0, 50, 50}, 0, WS_VISIBLE);
    auto post = [&](QEvent* e) { QCoreApplication::postEvent(&w, e); };
    auto key = [](Qt::Key k) {
        return new QKeyEvent(QEvent::KeyPress, k, Qt::NoModifier, QString(QChar(k & 0x7F)));
    };
    auto click = [] {
        return new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5),
                               Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    };
    post(key(Qt::Key_A));
    post(click());
    w.PostMessage(WM_APP);  // delivered during the operation, unlike the input
    EXPECT_FALSE(PumpDroppingInput());
    EXPECT_EQ(w.Of(WM_APP).size(), 1u);
    QApplication::processEvents();  // nothing was only held back
    EXPECT_TRUE(w.Of(WM_KEYDOWN).empty());
    EXPECT_TRUE(w.Of(WM_CHAR).empty());
    EXPECT_TRUE(w.Of(WM_LBUTTONDOWN).empty());

    for (Qt::Key cancel : {Qt::Key_Escape, Qt::Key_Cancel}) {
        post(key(cancel));
        EXPECT_TRUE(PumpDroppingInput()) << cancel;
        EXPECT_FALSE(PumpDroppingInput()) << "seen once";
    }
    EXPECT_TRUE(w.Of(WM_KEYDOWN).empty());
}

TEST(NumericLocale, NumbersUseThePointOnceTheFrameworkRuns) {
    RecordingWindow w;  // the first window starts the framework's hooks
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    EXPECT_DOUBLE_EQ(std::strtod("1.5", nullptr), 1.5);
}

}  // namespace
}  // namespace fw

namespace fw {
namespace {

TEST(SystemMenu, CommandsArriveAsSystemCommandsAndCloseCloses) {
    struct W : test::RecordingWindow {
        std::vector<UINT> commands;
        void OnSysCommand(UINT id, LPARAM l) override {
            commands.push_back(id);
            Window::OnSysCommand(id, l);
        }
    } w;
    w.Create(nullptr, {0, 0, 50, 50}, 0, WS_VISIBLE);
    w.AppendSystemMenu(0, "");
    w.AppendSystemMenu(0xF180, "The &Legend to the Device List");
    w.AppendSystemMenu(0x0010, "&About Quillon...");
    w.SendMessage(WM_SYSCOMMAND, 0x0010);
    w.SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_EQ(w.commands, (std::vector<UINT>{0x0010, SC_CLOSE}));
    EXPECT_FALSE(w.IsCreated());  // closing destroyed it
}

}  // namespace
}  // namespace fw
