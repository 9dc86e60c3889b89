// The splash window and cursors by id.
#include "framework/app/Application.h"
#include "framework/drawing/DeviceContext.h"
#include "framework/tests/RecordingWindow.h"
#include "framework/window/Cursor.h"
#include "framework/window/SplashWindow.h"

#include <gtest/gtest.h>

#include <QTest>

namespace fw {
namespace {

struct Picture : SplashWindow {
    int draws = 0;
    void OnDraw(DeviceContext& dc) override {
        ++draws;
        dc.FillSolidRect(GetClientRect(), Rgb(0, 0, 128));
    }
};

TEST(Splash, AClickOnlyDismissesItAndTheTimerEndsIt) {
    Application app("Splash");
    test::RecordingWindow main;
    main.only = {WM_LBUTTONDOWN};
    main.Create(nullptr, {0, 0, 300, 200}, 0, WS_VISIBLE);
    auto picture = std::make_unique<Picture>();
    Picture* p = picture.get();
    ASSERT_TRUE(SplashWindow::Show(std::move(picture), &main, {120, 80}, 60000));
    EXPECT_EQ(SplashWindow::Current(), p);
    EXPECT_GT(p->draws, 0);
    EXPECT_EQ(p->BackingImage().pixel(5, 5), QColor(0, 0, 128).rgb());
    EXPECT_FALSE(
        SplashWindow::Show(std::make_unique<Picture>(), &main, {10, 10}));  // one at a time
    QTest::mouseMove(&main, QPoint(10, 10));  // moves do not dismiss it
    EXPECT_NE(SplashWindow::Current(), nullptr);
    QTest::mouseClick(&main, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(SplashWindow::Current(), nullptr);
    EXPECT_TRUE(main.seen.empty());  // the click did not reach the window
    QTest::mouseClick(&main, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(main.seen.size(), 1u);

    ASSERT_TRUE(SplashWindow::Show(std::make_unique<Picture>(), &main, {50, 50}, 1));
    ASSERT_TRUE(test::PumpUntil([] { return SplashWindow::Current() == nullptr; }));
}

TEST(Cursors, ResourceIdsFallBackToSystemCursors) {
    RegisterCursor(20190, QCursor(Qt::SplitHCursor));
    EXPECT_EQ(LoadCursor(20190, IDC_SIZEWE).shape.shape(), Qt::SplitHCursor);
    EXPECT_EQ(LoadCursor(20191, IDC_SIZENS).shape.shape(), Qt::SizeVerCursor);  // not registered
    EXPECT_EQ(LoadCursor(20191, IDC_SIZENS).id, IDC_SIZENS);
    EXPECT_FALSE(LoadCursor(20193));  // no fallback: no cursor
    EXPECT_EQ(LoadSystemCursor(IDC_IBEAM).shape.shape(), Qt::IBeamCursor);

    // A window answering WM_SETCURSOR sets its own cursor.
    test::RecordingWindow w;
    w.answer = [](Message& m, LRESULT& r) {
        if (m.id != WM_SETCURSOR)
            return false;
        SetCursor(LoadCursor(20190, IDC_SIZEWE));
        r = 1;
        return true;
    };
    w.Create(nullptr, {0, 0, 50, 50}, 0, WS_VISIBLE);
    QTest::mouseMove(&w, QPoint(20, 20));
    EXPECT_EQ(w.cursor().shape(), Qt::SplitHCursor);
    EXPECT_EQ(GetCursor().id, 20190);
}

}  // namespace
}  // namespace fw
