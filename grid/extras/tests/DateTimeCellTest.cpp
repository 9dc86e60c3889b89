// Date-time cells: stored values, display texts in a fixed format and in the locale's short
// date, and editing with real keys in a grid: digits fill the fields, Up changes the field,
// Left and Right move between fields and out of the cell, Enter stores, Escape discards.
#define GRID_SOURCE_DIR ""
#define GRID_BUILD_DIR EXTRAS_BUILD_DIR
#include "grid/controls/tests/ControlFixture.h"
#include "grid/extras/CGXBDateTimeCtrl.h"
#include "grid/extras/CGXDateTimeCtrl.h"
#include "grid/extras/GXExtrasCellControls.h"
#include "grid/extras/tests/ExtrasTestSupport.h"

#include <QTest>

namespace {

TEST(DateTimeCellValue, StoredFormAndParsing) {
    EXPECT_EQ(CGXDateTimeCtrl::StoredText(45292), "45292");
    EXPECT_EQ(CGXDateTimeCtrl::StoredText(45292.5), "45292.5");
    EXPECT_EQ(CGXDateTimeCtrl::StoredText(1.0 / 3), "0.3333333333333");
    EXPECT_EQ(CGXDateTimeCtrl::ParseValue("45292.25"), 45292.25);
    EXPECT_FALSE(CGXDateTimeCtrl::ParseValue(""));
    EXPECT_FALSE(CGXDateTimeCtrl::ParseValue("abc"));
    EXPECT_FALSE(CGXDateTimeCtrl::ParseValue("3000000"));  // past 9999-12-31
    EXPECT_FALSE(CGXDateTimeCtrl::ParseValue("nan"));
}

class DateTimeCell : public gxtest::ControlFixture {
protected:
    void SetUp() override {
        GXRegisterExtrasCellControls();
        gxtest::ControlFixture::SetUp();
        Core().SetRowCount(3);
        Core().SetColCount(3);
        Core().SetColWidth(1, 3, 120);
        CGXStyle s;
        s.SetControl(GX_IDS_CTRL_DATETIMENOCAL)
            .SetValue(std::string("45292"))  // 2024-01-01
            .SetUserAttribute(GX_IDS_UA_DATEFORMATTYPE, "3")
            .SetUserAttribute(GX_IDS_UA_CUSTOMFORMAT, "dd.MM.yyyy");
        Core().SetStyleRange(CGXRange(1, 1, 2, 1), &s);
        Paint();
    }
    CGXDateTimeCtrl& Control() {
        return static_cast<CGXDateTimeCtrl&>(
            *Core().GetRegisteredControl(GX_IDS_CTRL_DATETIMENOCAL));
    }
    std::pair<ROWCOL, ROWCOL> Current() {
        ROWCOL r = 0, c = 0;
        Core().GetCurrentCell(r, c);
        return {r, c};
    }
    extras_test::LocaleScope c_{QLocale::c()};
};

TEST_F(DateTimeCell, DisplayTextFollowsTheFormat) {
    std::string text;
    ASSERT_TRUE(Control().GetControlText(text, 1, 1, nullptr, *Style(1, 1)));
    EXPECT_EQ(text, "01.01.2024");
    CGXStyle shortDate = *Style(1, 1);
    shortDate.SetUserAttribute(GX_IDS_UA_DATEFORMATTYPE, "1");
    ASSERT_TRUE(Control().GetControlText(text, 1, 1, nullptr, shortDate));
    EXPECT_NE(text.find("24"), std::string::npos) << text;
    EXPECT_FALSE(Control().GetControlText(text, 3, 1, nullptr, *Style(3, 1)));
}

TEST_F(DateTimeCell, FieldsAndKeysAndStore) {
    Core().SetCurrentCell(1, 1);
    Paint();
    QTest::keyClick(wnd_.get(), Qt::Key_Left);                   // not editing: the grid moves
    EXPECT_EQ(Current(), std::make_pair(ROWCOL(1), ROWCOL(1)));  // already at the left edge
    QTest::keyClicks(wnd_.get(), "15");
    ASSERT_TRUE(Control().IsActive());
    ASSERT_TRUE(Control().GetWindow()->IsWindowVisible());
    std::string shown;
    Control().GetCurrentText(shown);
    EXPECT_EQ(shown, "15.01.2024");
    if (Control().GetWindow()->IsFirstField())
        QTest::keyClick(wnd_.get(), Qt::Key_Right);
    QTest::keyClick(wnd_.get(), Qt::Key_Up);  // the month
    Control().GetCurrentText(shown);
    EXPECT_EQ(shown, "15.02.2024");
    EXPECT_EQ(Value(1, 1), "45292");  // not stored yet
    QTest::keyClick(wnd_.get(), Qt::Key_Return);
    EXPECT_EQ(Value(1, 1), "45337");  // 2024-02-15
    EXPECT_FALSE(Control().GetWindow()->IsWindowVisible());

    Core().SetCurrentCell(2, 1);
    QTest::keyClicks(wnd_.get(), "2");
    QTest::keyClick(wnd_.get(), Qt::Key_Escape);
    Core().SetCurrentCell(3, 3);
    EXPECT_EQ(Value(2, 1), "45292");
}

}  // namespace

namespace {

// A date given as a whole text: in the user's locale, or as fields for the cell's format.
TEST_F(DateTimeCell, DateTextsBecomeStoredDates) {
    struct Case {
        QLocale locale;
        const char* text;
        const char* stored;  // null: refused
    };
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    const Case cases[] = {
        {us, "12/25/2026", "46381"},  // short date, four-digit year
        {us, "Friday, December 25, 2026", "46381"},
        {de, "25.12.2026", "46381"},
        {us, "25 12 2026", "46381"},  // fields of the cell's dd.MM.yyyy, in order
        {us, "1,2", "45323"},         // fields the text lacks keep the cell's: 2024
        {us, "31 2 2024", nullptr},   // no 31 February
        {us, " , ", nullptr},         // no field at all
        {us, "", ""},
    };
    for (const Case& c : cases) {
        extras_test::LocaleScope scope(c.locale);
        std::string text = c.text;
        const bool ok = Control().ConvertControlTextToValue(text, 1, 1, nullptr);
        if (!c.stored) {
            EXPECT_FALSE(ok) << c.text;
            continue;
        }
        ASSERT_TRUE(ok) << c.text;
        EXPECT_EQ(text, c.stored) << c.text;
    }
    // Two year digits take the century of the date-time window's rule.
    extras_test::LocaleScope scope(us);
    std::string text = "12/25/26";
    ASSERT_TRUE(Control().ConvertControlTextToValue(text, 1, 1, nullptr));
    const int year = Control().GetWindow()->GetCentury(26) + 26;
    EXPECT_EQ(text, CGXDateTimeCtrl::StoredText(
                        *GXOleDateFromParts(GXOleDateParts{year, 12, 25, 0, 0, 0, 7})));
}

TEST_F(DateTimeCell, TimeTextsAndNamedFields) {
    extras_test::LocaleScope us(QLocale(QLocale::English, QLocale::UnitedStates));
    CGXStyle s = *Style(1, 1);
    s.SetUserAttribute(GX_IDS_UA_CUSTOMFORMAT, "d MMMM yyyy h:mm tt");
    std::string text = "3 mar 2024 2 30 pm";  // fields: month by its name, PM by its letters
    ASSERT_TRUE(Control().ConvertControlTextToValue(text, 1, 1, &s));
    EXPECT_EQ(text, "45354.60416667");
    text = "14:30";  // a time alone: 30 December 1899
    ASSERT_TRUE(Control().ConvertControlTextToValue(text, 1, 1, &s));
    EXPECT_EQ(text, "0.6041666666667");
    text = "3 Smarch 2024";
    EXPECT_FALSE(Control().ConvertControlTextToValue(text, 1, 1, &s));
    // With the numbers-only attribute a date text is not read as a date but as its fields.
    s.SetUserAttribute(GX_IDS_UA_FORCENUMERIC, "1")
        .SetUserAttribute(GX_IDS_UA_CUSTOMFORMAT, "dd.MM.yyyy");
    text = "12/25/2026";
    ASSERT_TRUE(Control().ConvertControlTextToValue(text, 1, 1, &s));
    EXPECT_EQ(text, "45303");  // "12/25/2026" is one field: the 12th of the cell's month
}

// Typing a date as text into the grid: the grid's set-text, and the control's current text
// stored with a real Enter.
TEST_F(DateTimeCell, SetTextOfACellAndCurrentTextStoredWithEnter) {
    extras_test::LocaleScope de(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_TRUE(Core().SetControlTextRowCol(2, 1, "24.12.2026", GX_UPDATENOW, nullptr));
    EXPECT_EQ(Value(2, 1), "46380");
    EXPECT_FALSE(Core().SetControlTextRowCol(2, 1, "kein Datum", GX_UPDATENOW, nullptr));
    EXPECT_EQ(Value(2, 1), "46380");

    Core().SetCurrentCell(1, 1);
    Paint();
    Control().SetCurrentText("31.12.2025");
    EXPECT_TRUE(Control().IsActive());
    EXPECT_TRUE(Control().GetModify());
    std::string shown;
    Control().GetCurrentText(shown);
    EXPECT_EQ(shown, "31.12.2025");
    EXPECT_EQ(Value(1, 1), "45292");
    QTest::keyClick(wnd_.get(), Qt::Key_Return);
    EXPECT_EQ(Value(1, 1), "46022");
}

}  // namespace
