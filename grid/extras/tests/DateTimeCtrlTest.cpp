// The date-time control and its gadgets, typed into and spun with real key and mouse events.
#include "grid/extras/CGXBDateTimeCtrl.h"
#include "grid/extras/CGXBPopupCalendar.h"
#include "grid/extras/GXExtrasSupport.h"
#include "grid/extras/tests/ExtrasTestSupport.h"

#include "grid/core/CGXSysColorCache.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

using extras_test::Drain;
using extras_test::LocaleScope;
using extras_test::OwnerWindow;

double Ole(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    GXOleDateParts p;
    p.year = y;
    p.month = mo;
    p.day = d;
    p.hour = h;
    p.minute = mi;
    p.second = s;
    return *GXOleDateFromParts(p);
}

GXOleDateParts Parts(double v) {
    return *GXOleDateToParts(v);
}

TEST(OleDate, ConversionAndLimits) {
    EXPECT_EQ(Ole(1899, 12, 30), 0);
    EXPECT_EQ(Ole(1900, 1, 1, 12), 2.5);
    EXPECT_EQ(Ole(1899, 12, 29, 6), -1.25);  // before the epoch the time still counts forward
    EXPECT_EQ(Ole(100, 1, 1), -657434);
    EXPECT_EQ(Ole(9999, 12, 31), 2958465);
    EXPECT_FALSE(GXOleDateToParts(-657435));
    EXPECT_FALSE(GXOleDateToParts(2958466));
    EXPECT_EQ(Parts(-1.25).hour, 6);
    EXPECT_EQ(Parts(-1.25).day, 29);
    // Rounded to the nearest second.
    EXPECT_EQ(Parts(Ole(2026, 12, 10, 10, 0, 0) + 0.6 / 86400).second, 1);
    EXPECT_EQ(Parts(Ole(2026, 12, 10)).dayOfWeek, 5);  // a Thursday
}

class DateTimeTest : public ::testing::Test {
protected:
    LocaleScope locale{QLocale(QLocale::English, QLocale::UnitedStates)};
    OwnerWindow owner;
    CGXBDateTimeCtrl ctrl;
    void Make(const char* picture, unsigned style = 0, unsigned exStyle = 0) {
        ASSERT_TRUE(owner.Create(nullptr, {0, 0, 320, 60}, 0, fw::WS_VISIBLE));
        ctrl.SetCustomFormat(picture);
        ctrl.SetDateTime(Ole(2027, 1, 31, 10, 31, 10));
        ASSERT_TRUE(ctrl.Create(fw::WS_VISIBLE | style, {10, 10, 250, 34}, &owner, 4, exStyle));
        ctrl.SetFocus();
        owner.seen.clear();
    }
    void Type(const char* s) { QTest::keyClicks(&ctrl, s); }
    void Key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(&ctrl, k, m); }
    int CurrentId() const {
        return ctrl.Gadgets()[static_cast<std::size_t>(ctrl.CurrentGadget())]->id;
    }
};

TEST_F(DateTimeTest, PictureBecomesGadgets) {
    Make("dd/MM/yyyy");
    std::vector<int> ids;
    for (const auto& g : ctrl.Gadgets()) ids.push_back(g->id);
    EXPECT_EQ(ids, (std::vector<int>{32, -1, 128, -1, 1024}));
    EXPECT_EQ(ctrl.DisplayText(), "31/01/2027");
    ctrl.SetCustomFormat("ddd, d MMM yy 'at' hh:mm:ss tt");
    EXPECT_EQ(ctrl.DisplayText(), "Sun, 31 Jan 27 at 10:31:10 AM");
    ctrl.SetCustomFormat("hhh t");  // "hhh" is "hh" then "h"
    EXPECT_EQ(ctrl.DisplayText(), "1010 A");
}

TEST_F(DateTimeTest, TypingFillsAFieldAndAdvances) {
    Make("dd/MM/yyyy");
    EXPECT_EQ(CurrentId(), 32);
    Type("1");
    EXPECT_EQ(CurrentId(), 32);
    Type("5");  // two digits: committed, on to the month
    EXPECT_EQ(CurrentId(), 128);
    EXPECT_EQ(Parts(ctrl.GetDateTime()).day, 15);
    Key(Qt::Key_Left);
    Type("3/");  // a separator moves on after one digit
    EXPECT_EQ(CurrentId(), 128);
    EXPECT_EQ(Parts(ctrl.GetDateTime()).day, 3);
    Type("07");
    EXPECT_EQ(Parts(ctrl.GetDateTime()).month, 7);
    Type("1999");
    EXPECT_EQ(Parts(ctrl.GetDateTime()).year, 1999);
    EXPECT_EQ(ctrl.DisplayText(), "03/07/1999");
    EXPECT_TRUE(ctrl.IsModified());
    EXPECT_FALSE(owner.Of(fw::WM_COMMAND).empty());
    EXPECT_EQ(fw::HIWORD(owner.Of(fw::WM_COMMAND).back().w), 0x100);
}

TEST_F(DateTimeTest, RefusedTypingBeepsAndKeepsTheValue) {
    Make("M/d/yyyy");
    const unsigned before = GXExtrasBeepCount();
    Type("13");  // month 13: refused
    EXPECT_EQ(GXExtrasBeepCount() - before, 1u);
    EXPECT_EQ(Parts(ctrl.GetDateTime()).month, 1);
    Type("07");  // a leading 0 then 7
    EXPECT_EQ(Parts(ctrl.GetDateTime()).month, 7);
}

TEST_F(DateTimeTest, StepsWrapAndClamp) {
    Make("dd/MM/yyyy");
    Key(Qt::Key_Right);
    Key(Qt::Key_Up);  // 31 January, month up: 28 February
    EXPECT_EQ(Parts(ctrl.GetDateTime()).month, 2);
    EXPECT_EQ(Parts(ctrl.GetDateTime()).day, 28);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);  // January, then December (wrapping)
    EXPECT_EQ(Parts(ctrl.GetDateTime()).month, 12);
    Key(Qt::Key_Right);
    ctrl.SetDateTime(Ole(100, 3, 1));
    Key(Qt::Key_Down);
    EXPECT_EQ(Parts(ctrl.GetDateTime()).year, 100);
    ctrl.SetDateTime(Ole(9999, 3, 1));
    Key(Qt::Key_Up);
    EXPECT_EQ(Parts(ctrl.GetDateTime()).year, 9999);
    // Home and End: the smallest and the largest value of the field.
    Key(Qt::Key_Left);
    Key(Qt::Key_End);
    EXPECT_EQ(Parts(ctrl.GetDateTime()).month, 12);
}

TEST_F(DateTimeTest, TwelveHourFieldKeepsMidnightAndNoon) {
    Make("hh:mm tt");
    struct Case {
        int hourBefore;
        const char* typed;
        int hourAfter;
    } cases[] = {
        {0, "12", 0},    // 12 AM stays midnight
        {13, "12", 12},  // 12 PM stays noon
        {13, "07", 19},
        {2, "11", 11},
    };
    for (const Case& c : cases) {
        ctrl.SetDateTime(Ole(2026, 12, 10, c.hourBefore, 5));
        while (!ctrl.IsFirstField()) Key(Qt::Key_Left);
        Type(c.typed);
        EXPECT_EQ(Parts(ctrl.GetDateTime()).hour, c.hourAfter)
            << c.typed << " after " << c.hourBefore;
    }
    // The AM/PM list: typing P makes it the afternoon.
    ctrl.SetDateTime(Ole(2026, 12, 10, 9, 5));
    Key(Qt::Key_Right);
    Key(Qt::Key_Right);
    EXPECT_EQ(CurrentId(), 16);
    Type("p");
    EXPECT_EQ(Parts(ctrl.GetDateTime()).hour, 21);
}

TEST_F(DateTimeTest, RangeSnapsFinerFieldsOrRefuses) {
    Make("HH:mm:ss");
    const double day = Ole(2026, 12, 10);
    ASSERT_TRUE(
        ctrl.SetDateTimeRange(day + (10 * 3600 + 30 * 60 + 15) / 86400.0, Ole(2026, 12, 11), 3));
    ctrl.SetDateTime(day + (10 * 3600 + 31 * 60 + 10) / 86400.0);
    Key(Qt::Key_Right);  // minute
    Key(Qt::Key_Down);   // 10:30:10 is below the minimum: the seconds come from it
    auto p = Parts(ctrl.GetDateTime());
    EXPECT_EQ(p.hour, 10);
    EXPECT_EQ(p.minute, 30);
    EXPECT_EQ(p.second, 15);
    ctrl.SetDateTime(day + 11 * 3600 / 86400.0);
    Key(Qt::Key_Left);  // hour
    Type("09");         // refused: the hour differs from the minimum's
    EXPECT_EQ(Parts(ctrl.GetDateTime()).hour, 11);
    EXPECT_FALSE(ctrl.SetDateTimeRange(Ole(2027, 1, 1), Ole(2026, 1, 1), 3));
}

TEST_F(DateTimeTest, MonthNamesCycleByTheirFirstLetter) {
    Make("MMMM d, yyyy");
    EXPECT_EQ(CurrentId(), 256);
    ctrl.SetDateTime(Ole(2027, 3, 1));
    Type("j");
    EXPECT_EQ(Parts(ctrl.GetDateTime()).month, 6);  // June follows March
    Type("j");
    EXPECT_EQ(Parts(ctrl.GetDateTime()).month, 7);
    Type("j");
    EXPECT_EQ(Parts(ctrl.GetDateTime()).month, 1);
}

TEST_F(DateTimeTest, SpinAndCalendarDropDown) {
    Make("dd/MM/yyyy", CGXBDateTimeCtrl::kStyleDropDown | CGXBDateTimeCtrl::kStyleSpin,
         fw::WS_EX_CLIENTEDGE);
    // The own border takes two pixels on each side.
    EXPECT_EQ(ctrl.GadgetArea().left, 2);
    EXPECT_EQ(ctrl.Gadgets()[2]->rect.left, 3);
    EXPECT_EQ(ctrl.Gadgets()[0]->rect.right, ctrl.GetClientRect().right - 2);
    ASSERT_EQ(ctrl.Gadgets()[0]->id, 0x4000);
    ASSERT_EQ(ctrl.Gadgets()[1]->id, 0x8000);
    const fw::Rect spin = ctrl.Gadgets()[1]->rect;
    // A click on the upper half steps the current field (the day) once.
    ctrl.SetDateTime(Ole(2027, 1, 10));
    QTest::mouseClick(&ctrl, Qt::LeftButton, Qt::NoModifier, QPoint(spin.left + 4, spin.top + 2));
    EXPECT_EQ(Parts(ctrl.GetDateTime()).day, 11);
    EXPECT_EQ(CGXBDTSpinGadget::StepFor(20), 1);
    EXPECT_EQ(CGXBDTSpinGadget::StepFor(21), 2);
    EXPECT_EQ(CGXBDTSpinGadget::StepFor(51), 5);

    ctrl.UpdateWindow();
    const QImage shot = ctrl.BackingImage().copy();
    ASSERT_TRUE(extras_test::SaveShot(shot, "datetime"));
    EXPECT_EQ(fw::FromPixel(shot.pixel(0, 0)), CGXSysColorCache::Instance().clrBtnShadow);

    Key(Qt::Key_F4);
    ASSERT_NE(ctrl.Calendar(), nullptr);
    EXPECT_EQ(ctrl.Calendar()->GetSelectedDate(), QDate(2027, 1, 11));
    QTest::keyClick(ctrl.Calendar(), Qt::Key_Right);
    QTest::keyClick(ctrl.Calendar(), Qt::Key_Return);
    Drain();
    EXPECT_EQ(ctrl.Calendar(), nullptr);
    EXPECT_EQ(Parts(ctrl.GetDateTime()).day, 12);
}

TEST_F(DateTimeTest, HoldingTheSpinSpeedsUp) {
    Make("yyyy", CGXBDateTimeCtrl::kStyleSpin);
    ctrl.SetDateTime(Ole(2000, 6, 1));
    auto* spin = ctrl.Gadgets()[0].get();
    ASSERT_EQ(spin->id, 0x8000);
    const fw::Rect r = spin->rect;
    QTest::mousePress(&ctrl, Qt::LeftButton, Qt::NoModifier, QPoint(r.left + 4, r.top + 2));
    EXPECT_EQ(Parts(ctrl.GetDateTime()).year, 2001);  // the press steps once
    // The repeat timer's ticks, driven here instead of waited for: 20 by 1, 30 by 2, then by 5.
    for (int tick = 0; tick < 60; ++tick) spin->OnTimer();
    EXPECT_EQ(Parts(ctrl.GetDateTime()).year, 2001 + 20 + 30 * 2 + 10 * 5);
    // Off the pressed half the ticks do nothing; the release stops them.
    QTest::mouseMove(&ctrl, QPoint(r.left + 4, r.bottom - 2));
    spin->OnTimer();
    EXPECT_EQ(Parts(ctrl.GetDateTime()).year, 2131);
    QTest::mouseRelease(&ctrl, Qt::LeftButton, Qt::NoModifier, QPoint(r.left + 4, r.bottom - 2));
    EXPECT_EQ(static_cast<CGXBDTSpinGadget*>(spin)->State(), 0u);
}

}  // namespace
