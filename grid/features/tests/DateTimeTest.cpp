// Dates and times parsed and shown by the grid's own date-time component in each date order.

#include "grid/core/CGXLongOperation.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/CGXNoOleDateTimeImp.h"
#include "grid/features/tests/FeatureFixture.h"

#include <gtest/gtest.h>

namespace {

struct Locale {
    const char* shortDate;
    const char* timeSeparator;
};

// A component reading the given locale texts.
class DateTimeTest : public ::testing::Test {
protected:
    void TearDown() override { CGXNoOleDateTimeImp::SetLocaleSource(nullptr); }
    CGXNoOleDateTimeImp& With(Locale l) {
        CGXNoOleDateTimeImp::SetLocaleSource([l] {
            return GXDateLocaleTexts{l.shortDate, l.timeSeparator};
        });
        imp_.RefreshSettings();
        return imp_;
    }
    CGXNoOleDateTimeImp imp_;
};

std::string Fields(const GXDateTimeRecord& r) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d-%d-%d %d:%d:%d", r.year, r.month, r.day, r.hour, r.minute,
                  r.second);
    return buf;
}

TEST_F(DateTimeTest, LocaleFormatGivesOrderFourDigitYearsAndSeparators) {
    struct Case {
        Locale locale;
        int order;
        bool fourDigits;
        const char* dateSep;
        const char* timeSep;
    } cases[] = {
        {{"dd.MM.yyyy", ":"}, 0, true, ".", ":"}, {{"M/d/yy", ":"}, 1, false, "/", ":"},
        {{"yyyy-MM-dd", "."}, 2, true, "-", "."}, {{"", ""}, 1, false, "/", ":"},
        {{"d-M-yyyy", ":"}, 0, true, "-", ":"},
    };
    for (const Case& c : cases) {
        CGXNoOleDateTimeImp& imp = With(c.locale);
        bool four = !c.fourDigits;
        std::string sep;
        EXPECT_EQ(imp.GetDateFormatInfo(four, sep), c.order) << c.locale.shortDate;
        EXPECT_EQ(four, c.fourDigits) << c.locale.shortDate;
        EXPECT_EQ(sep, c.dateSep) << c.locale.shortDate;
        EXPECT_EQ(imp.GetTimeSeparator(false), c.timeSep) << c.locale.shortDate;
    }
}

TEST_F(DateTimeTest, TextsParseToRecordsAndShowInTheLocaleOrder) {
    struct Case {
        Locale locale;
        const char* text;
        const char* fields;  // year-month-day hour:minute:second, or "" when the parse fails
        const char* shown;
    } cases[] = {
        // Day first with four-digit years.
        {{"dd.MM.yyyy", ":"}, "31.12.2026", "2026-12-31 0:0:0", "31.12.2026"},
        {{"dd.MM.yyyy", ":"}, "310199", "1999-1-31 0:0:0", "31.01.1999"},
        {{"dd.MM.yyyy", ":"}, "31.02.99", "", ""},
        {{"dd.MM.yyyy", ":"}, "29.02.2000", "2000-2-29 0:0:0", "29.02.2000"},
        {{"dd.MM.yyyy", ":"}, "29.02.1900", "", ""},
        {{"dd.MM.yyyy", ":"}, "1.2.2005 08:05:09", "2005-2-1 8:5:9", "01.02.2005 08:05:09"},
        // Month first with two-digit years.
        {{"M/d/yy", ":"}, "1/2/05", "1905-1-2 0:0:0", "01/02/05"},
        {{"M/d/yy", ":"}, "1/2/2005", "2005-1-2 0:0:0", "01/02/05"},
        {{"M/d/yy", ":"}, "12/31/99 23:59", "1999-12-31 23:59:0", "12/31/99 23:59:00"},
        {{"M/d/yy", ":"}, "13/1/99", "", ""},
        {{"M/d/yy", ":"}, "1/2/20051", "", ""},
        {{"M/d/yy", ":"}, "1/2/05x", "", ""},
        // Year first, another time separator.
        {{"yyyy-MM-dd", "."}, "2027-03-04 10.30", "2027-3-4 10:30:0", "2027-03-04 10.30.00"},
        {{"yyyy-MM-dd", "."}, "270304", "1927-3-4 0:0:0", "1927-03-04"},
        // Times alone fall on day 1 of no month and show without a date.
        {{"M/d/yy", ":"}, "8:05", "70-0-1 8:5:0", "08:05:00"},
        {{"M/d/yy", ":"}, "12:30 PM", "70-0-1 12:30:0", "12:30:00"},
        {{"M/d/yy", ":"}, "12:30 AM", "70-0-1 0:30:0", "00:30:00"},
        {{"M/d/yy", ":"}, "1:15 pm", "70-0-1 13:15:0", "13:15:00"},
        {{"M/d/yy", ":"}, "13:00 AM", "", ""},
        {{"M/d/yy", ":"}, "10:60", "", ""},
        {{"M/d/yy", ":"}, "", "", ""},
    };
    for (const Case& c : cases) {
        CGXNoOleDateTimeImp& imp = With(c.locale);
        GXDateTimeRecord r;
        const bool ok = imp.ParseDateTime(r, c.text);
        EXPECT_EQ(ok, *c.fields != 0) << c.text;
        if (!ok)
            continue;
        EXPECT_EQ(Fields(r), c.fields) << c.text;
        EXPECT_EQ(imp.FormatDateTime(r), c.shown) << c.text;
    }
}

// Stored sheets hold hour 24 and two-digit years of the 1900s; they read as they always did.
TEST_F(DateTimeTest, HourTwentyFourAndTwoDigitYearsKeepTheirOldMeaning) {
    CGXNoOleDateTimeImp& imp = With({"M/d/yy", ":"});
    GXDateTimeRecord r;
    ASSERT_TRUE(imp.ParseDateTime(r, "24:00"));
    EXPECT_EQ(r.hour, 24);
    EXPECT_FALSE(imp.ParseDateTime(r, "25:00"));
    ASSERT_TRUE(imp.ParseDateTime(r, "1/1/37"));
    EXPECT_EQ(r.year, 1937);
    ASSERT_TRUE(imp.ParseDateTime(r, "1/1/0"));
    EXPECT_EQ(r.year, 0);  // year 0 is not among 1..99 and stays
}

TEST_F(DateTimeTest, BrokenDownTimeCountsYearsFrom1900AndMonthsFromZero) {
    CGXNoOleDateTimeImp& imp = With({"dd.MM.yyyy", ":"});
    struct Case {
        const char* text;
        int year, month, day, hour;
    } cases[] = {
        {"02.03.2026 14:00", 126, 2, 2, 14},
        {"02.03.0037", 137, 2, 2, 0},  // years up to 37 are 2000 to 2037
        {"02.03.0038", 38, 2, 2, 0},
        {"02.03.05", 5, 2, 2, 0},  // 1905
        {"7:45", 70, 0, 1, 7},     // a time alone is on 1 January 1970
    };
    for (const Case& c : cases) {
        std::tm t{};
        ASSERT_TRUE(imp.ParseDateTime(t, c.text)) << c.text;
        EXPECT_EQ(t.tm_year, c.year) << c.text;
        EXPECT_EQ(t.tm_mon, c.month) << c.text;
        EXPECT_EQ(t.tm_mday, c.day) << c.text;
        EXPECT_EQ(t.tm_hour, c.hour) << c.text;
    }
    std::tm t{};
    EXPECT_FALSE(imp.ParseDateTime(t, "31.04.2026"));
}

TEST_F(DateTimeTest, TimeValuesShowTheDateAloneAtMidnight) {
    std::tm midnight{};
    midnight.tm_year = 126, midnight.tm_mon = 5, midnight.tm_mday = 7, midnight.tm_isdst = -1;
    std::tm later = midnight;
    later.tm_hour = 9;
    char x[64], c[64];
    std::strftime(x, sizeof x, "%x", &midnight);
    std::strftime(c, sizeof c, "%c", &later);
    EXPECT_EQ(imp_.FormatTime(std::mktime(&midnight)), x);
    EXPECT_EQ(imp_.FormatTime(std::mktime(&later)), c);
}

// The feature factory installs one date-time component; a second installer keeps it.
using DateTimeInstall = FeatureFixture;

TEST_F(DateTimeInstall, TheFactoryInstallsOneComponent) {
    CGXAbstractDateTimeImp* installed = GXGetLibraryState().m_pDateTimeImp;
    ASSERT_NE(installed, nullptr);
    InstallNoOleDateTimeImp();
    EXPECT_EQ(GXGetLibraryState().m_pDateTimeImp, installed);
    EXPECT_NE(GXGetLibraryState().m_pDrawRotatedTextImp, nullptr);
    std::string sep;
    bool four = false;
    EXPECT_EQ(GXGetDateFormatInfo(four, sep), 1);
    EXPECT_EQ(sep, "/");
}

}  // namespace
