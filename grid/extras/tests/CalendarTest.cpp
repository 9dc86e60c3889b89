// The month calendar and its pop-up, worked by real key and mouse events.
#include "grid/extras/CGXBCalendar.h"
#include "grid/extras/CGXBPopupCalendar.h"
#include "grid/extras/GXExtrasSupport.h"
#include "grid/extras/tests/ExtrasTestSupport.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

using extras_test::Drain;
using extras_test::LocaleScope;
using extras_test::OwnerWindow;

QPoint Centre(const fw::Rect& r) {
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

class CalendarTest : public ::testing::Test {
protected:
    LocaleScope locale{QLocale(QLocale::English, QLocale::UnitedStates)};
    OwnerWindow owner;
    CGXBCalendar cal;
    void SetUp() override {
        ASSERT_TRUE(owner.Create(nullptr, {0, 0, 300, 260}, 0, fw::WS_VISIBLE));
        cal.SetCurrentDate(QDate(2026, 12, 10));
        ASSERT_TRUE(cal.Create(fw::WS_VISIBLE, {0, 0, 280, 240}, &owner, 5));
        Drain();
        owner.seen.clear();
    }
};

TEST_F(CalendarTest, FillsSixWeeksFromTheFirstDayOfTheWeek) {
    // December 2026 begins on a Tuesday; the grid starts on Monday 30 November.
    EXPECT_EQ(cal.GetFirstVisibleDate(), QDate(2026, 11, 30));
    EXPECT_TRUE(cal.Box(0).otherMonth);
    EXPECT_FALSE(cal.Box(1).otherMonth);
    EXPECT_EQ(cal.Box(41).date, QDate(2027, 1, 10));
    EXPECT_EQ(cal.DayBar().names[0], "Mon");
    EXPECT_EQ(cal.Title().text, "December 2026");
    cal.SetFirstDayOfWeek(1);
    EXPECT_EQ(cal.DayBar().names[0], "Sun");
    EXPECT_EQ(cal.GetFirstVisibleDate(), QDate(2026, 11, 29));
}

TEST_F(CalendarTest, AMonthStartingOnTheFirstWeekdayShowsThePreviousWeekFirst) {
    // June 2026 begins on a Monday: the whole first row belongs to May.
    ASSERT_TRUE(cal.SetCurrentDate(QDate(2026, 6, 15)));
    EXPECT_EQ(cal.GetFirstVisibleDate(), QDate(2026, 6, 1));
    // The Part's reading: walk back to the first day of the week; the 1st itself qualifies.
    EXPECT_FALSE(cal.Box(0).otherMonth);
}

TEST_F(CalendarTest, DateLimits) {
    struct Case {
        QDate date;
        bool accepted;
    } cases[] = {
        {QDate(100, 1, 31), false},  {QDate(100, 2, 1), true}, {QDate(9999, 11, 30), true},
        {QDate(9999, 12, 1), false}, {QDate(99, 6, 1), false}, {QDate(5000, 6, 1), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date.toString().toStdString());
        ASSERT_TRUE(cal.SetCurrentDate(QDate(2000, 6, 1)));
        const unsigned before = GXExtrasBeepCount();
        EXPECT_EQ(cal.SetCurrentDate(c.date), c.accepted);
        EXPECT_EQ(cal.GetCurrentDate(), c.accepted ? c.date : QDate(2000, 6, 1));
        EXPECT_EQ(GXExtrasBeepCount() - before, c.accepted ? 0u : 1u);
    }
    // Navigation stops at the limits with a beep.
    ASSERT_TRUE(cal.SetCurrentDate(QDate(100, 2, 10)));
    EXPECT_FALSE(cal.PrevMonth(false));
    EXPECT_EQ(cal.GetCurrentDate(), QDate(100, 2, 10));
    ASSERT_TRUE(cal.SetCurrentDate(QDate(9999, 11, 10)));
    EXPECT_FALSE(cal.NextMonth(false));
    EXPECT_FALSE(cal.NextYear(false));
}

TEST_F(CalendarTest, MonthStepsNeverSkipAMonth) {
    ASSERT_TRUE(cal.SetCurrentDate(QDate(2027, 1, 31)));
    ASSERT_TRUE(cal.NextMonth(false));
    EXPECT_EQ(cal.GetCurrentDate(), QDate(2027, 2, 28));
    ASSERT_TRUE(cal.SetCurrentDate(QDate(2027, 3, 31)));
    ASSERT_TRUE(cal.PrevMonth(false));
    EXPECT_EQ(cal.GetCurrentDate(), QDate(2027, 2, 28));
}

TEST_F(CalendarTest, KeysMoveTheSelection) {
    QTest::keyClick(&cal, Qt::Key_Home);  // the 1st of the month
    EXPECT_EQ(cal.GetSelectedDate(), QDate(2026, 12, 1));
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        QDate selected;
        QDate current;
    } steps[] = {
        {Qt::Key_Right, Qt::NoModifier, QDate(2026, 12, 2), QDate(2026, 12, 10)},
        {Qt::Key_Down, Qt::NoModifier, QDate(2026, 12, 9), QDate(2026, 12, 10)},
        {Qt::Key_Up, Qt::NoModifier, QDate(2026, 12, 2), QDate(2026, 12, 10)},
        {Qt::Key_Left, Qt::NoModifier, QDate(2026, 12, 1), QDate(2026, 12, 10)},
        {Qt::Key_Left, Qt::NoModifier, QDate(2026, 11, 30), QDate(2026, 11, 30)},
        {Qt::Key_PageDown, Qt::NoModifier, QDate(2026, 12, 30), QDate(2026, 12, 30)},
        {Qt::Key_End, Qt::NoModifier, QDate(2026, 12, 31), QDate(2026, 12, 30)},
        // Ctrl moves the view only.
        {Qt::Key_Right, Qt::ControlModifier, QDate(), QDate(2027, 1, 30)},
        {Qt::Key_Up, Qt::ControlModifier, QDate(), QDate(2026, 1, 30)},
    };
    for (const Step& s : steps) {
        QTest::keyClick(&cal, s.key, s.mods);
        EXPECT_EQ(cal.GetCurrentDate(), s.current);
        if (s.selected.isValid()) {
            EXPECT_EQ(cal.GetSelectedDate(), s.selected);
        }
    }
    // The selection of 31 December is remembered: back in December it shows again.
    QTest::keyClick(&cal, Qt::Key_Down, Qt::ControlModifier);
    QTest::keyClick(&cal, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(cal.GetSelectedDate(), QDate(2026, 12, 31));
}

TEST_F(CalendarTest, EnterChoosesOrCancelsAndEscapeCancels) {
    QTest::keyClick(&cal, Qt::Key_Return);  // nothing selected: cancelled
    Drain();
    EXPECT_EQ(owner.Of(CGXBCalendar::kMsgCancelled).size(), 1u);
    EXPECT_TRUE(owner.Of(CGXBCalendar::kMsgChosen).empty());
    EXPECT_FALSE(cal.IsWindowVisible());
    cal.ShowWindow(fw::SW_SHOW);
    QTest::keyClick(&cal, Qt::Key_Space);  // selects the current date
    QTest::keyClick(&cal, Qt::Key_Return);
    Drain();
    EXPECT_EQ(owner.Of(CGXBCalendar::kMsgChosen).size(), 1u);
    EXPECT_EQ(cal.GetSelectedDate(), QDate(2026, 12, 10));
    const auto sel = owner.Of(CGXBCalendar::kMsgSelection);
    ASSERT_FALSE(sel.empty());
    EXPECT_EQ(sel.back().w, 1u);
    EXPECT_EQ(sel.back().l, cal.BoxOf(QDate(2026, 12, 10)));
    cal.ShowWindow(fw::SW_SHOW);
    QTest::keyClick(&cal, Qt::Key_Escape);
    Drain();
    EXPECT_EQ(owner.Of(CGXBCalendar::kMsgCancelled).size(), 2u);
}

TEST_F(CalendarTest, MouseTogglesSelectionAndHighlightAndNavigates) {
    const int box = cal.BoxOf(QDate(2026, 12, 17));
    QTest::mouseClick(&cal, Qt::LeftButton, Qt::NoModifier, Centre(cal.Box(box).rect));
    EXPECT_EQ(cal.GetSelectedDate(), QDate(2026, 12, 17));
    QTest::mouseClick(&cal, Qt::LeftButton, Qt::NoModifier, Centre(cal.Box(box).rect));
    EXPECT_EQ(cal.GetSelectedBox(), -1);  // a second click toggles it off
    QTest::mouseClick(&cal, Qt::RightButton, Qt::NoModifier, Centre(cal.Box(box).rect));
    EXPECT_TRUE(cal.IsHighlighted(QDate(2026, 12, 17)));
    Drain();
    ASSERT_EQ(owner.Of(CGXBCalendar::kMsgHighlight).size(), 1u);
    // The title's buttons: "<<" "<" ">" ">>".
    const auto& buttons = cal.Title().buttons;
    QTest::mouseClick(&cal, Qt::LeftButton, Qt::NoModifier, Centre(buttons[2]));
    EXPECT_EQ(cal.GetCurrentDate(), QDate(2027, 1, 10));
    QTest::mouseClick(&cal, Qt::LeftButton, Qt::NoModifier, Centre(buttons[0]));
    EXPECT_EQ(cal.GetCurrentDate(), QDate(2026, 1, 10));
    QTest::mouseClick(&cal, Qt::LeftButton, Qt::NoModifier, Centre(buttons[3]));
    QTest::mouseClick(&cal, Qt::LeftButton, Qt::NoModifier, Centre(buttons[1]));
    EXPECT_EQ(cal.GetCurrentDate(), QDate(2026, 12, 10));
    EXPECT_TRUE(cal.Box(cal.BoxOf(QDate(2026, 12, 17))).highlighted);
}

TEST_F(CalendarTest, DateFixedRefusesNavigation) {
    cal.SetBehaviour(cal.GetBehaviour() | CGXBCalendar::kDateFixed);
    const unsigned before = GXExtrasBeepCount();
    EXPECT_FALSE(cal.NextMonth(false));
    EXPECT_FALSE(cal.SetCurrentDate(QDate(2026, 1, 1)));
    EXPECT_EQ(GXExtrasBeepCount() - before, 2u);
    EXPECT_EQ(cal.GetCurrentDate(), QDate(2026, 12, 10));
}

TEST(Calendar, GermanNames) {
    LocaleScope german{QLocale(QLocale::German, QLocale::Germany)};
    OwnerWindow owner;
    ASSERT_TRUE(owner.Create(nullptr, {0, 0, 300, 260}, 0, fw::WS_VISIBLE));
    CGXBCalendar cal;
    cal.SetCurrentDate(QDate(2026, 3, 1));
    ASSERT_TRUE(cal.Create(fw::WS_VISIBLE, {0, 0, 280, 240}, &owner, 5));
    EXPECT_EQ(cal.Title().text, "März 2026");
    EXPECT_EQ(cal.DayBar().names[0].substr(0, 2), "Mo");
}

TEST(PopupCalendar, PlacesItselfAndAnswersTheOwner) {
    LocaleScope locale{QLocale(QLocale::English, QLocale::UnitedStates)};
    OwnerWindow owner;
    ASSERT_TRUE(owner.Create(nullptr, {50, 50, 350, 80}, 0, fw::WS_VISIBLE));
    CGXBPopupCalendar popup;
    popup.SetCurrentDate(QDate(2026, 2, 14));
    const fw::Rect anchor{60, 60, 200, 80};
    ASSERT_TRUE(popup.CreatePopup(1, anchor, &owner));
    const fw::Rect r = popup.GetWindowRect();
    EXPECT_EQ(r.left, anchor.left);
    EXPECT_EQ(r.top, anchor.bottom);
    popup.UpdateWindow();
    ASSERT_TRUE(extras_test::SaveShot(popup.BackingImage().copy(), "calendar"));
    // A double click on an in-month day chooses it.
    const int box = popup.BoxOf(QDate(2026, 2, 20));
    QTest::mouseClick(&popup, Qt::LeftButton, Qt::NoModifier, Centre(popup.Box(box).rect));
    QTest::mouseDClick(&popup, Qt::LeftButton, Qt::NoModifier, Centre(popup.Box(box).rect));
    Drain();
    EXPECT_EQ(owner.Of(CGXBCalendar::kMsgChosen).size(), 1u);
    EXPECT_EQ(popup.GetSelectedDate(), QDate(2026, 2, 20));
}

}  // namespace
