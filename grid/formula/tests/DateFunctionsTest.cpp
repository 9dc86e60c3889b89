// Date and time functions. The first tables' values were computed by Gnumeric 1.12.55 (an
// independent spreadsheet) with
//     python3 grid/formula/tests/reference/worksheet_reference.py date
// where a row's comment names Gnumeric's formula when it differs from ours. Serials from 1 March
// 1900 on are the same in both. This engine's own conventions, where another spreadsheet
// differs on purpose:
//   - a year is an offset from 1900 (YEAR of 1 January 2000 is 100);
//   - 1900 is a leap year, so serial 60 is 29 February 1900;
//   - impossible dates and times are errors rather than rolled over;
//   - WORKDAY counts its start when that is a working day (WORKDAY(Monday, 1) is that Monday);
//   - DAYS360 takes the last day of February as day 30;
//   - YEARFRAC counts both end days.
#include <chrono>
#include <cmath>
#include <ctime>

#include "FunctionCases.h"

namespace formula::test {
namespace {

class DateFunctionsTest : public FunctionTest {
protected:
    void SetUp() override {
        FunctionTest::SetUp();
        Set("A1", "36526");  // Saturday 1 January 2000
        Set("A2", "36528");  // Monday 3 January
        Set("A3", "36529");  // Tuesday 4 January
    }
};

TEST_F(DateFunctionsTest, ValuesAgreeWithAnIndependentSpreadsheet) {
    Check({
        {R"(=DATE(2000,1,1))", "36526"},
        {R"(=DATE(100,1,1))", "36526"},
        {R"(=DATE(1900,3,1))", "61"},
        {R"(=DATE(2099,12,31))", "73050"},
        {R"(=DATE(2024,2,29.9))", "45351"},
        {R"(=TIME(12,30,0))", "0.52083333333333"},
        {R"(=TIME(23,59,59))", "0.99998842592593"},
        {R"(=DAY(36585))", "29"},
        {R"(=MONTH(36585))", "2"},
        {R"(=YEAR(36526))", "100"},  // =YEAR(36526)-1900
        {R"(=YEAR(73050))", "199"},  // =YEAR(73050)-1900
        {R"(=HOUR(0.75))", "18"},
        {R"(=HOUR(36526.999))", "23"},
        {R"(=MINUTE(0.5104166667))", "15"},
        {R"(=SECOND(TIME(1,2,3)))", "3"},
        {R"(=DATEVALUE("2000-01-01"))", "36526"},
        {R"(=DATEVALUE("2024-02-29"))", "45351"},
        {R"(=TIMEVALUE("12:30:00"))", "0.52083333333333"},
        {R"(=TIMEVALUE("6:15"))", "0.26041666666667"},
        {R"(=DAYS360(DATE(2001,1,31),DATE(2001,3,1)))", "31"},
        {R"(=DAYS360(DATE(2001,1,30),DATE(2001,3,31)))", "60"},
        {R"(=DAYS360(DATE(2000,1,1),DATE(2001,1,1)))", "360"},
        {R"(=EDATE(DATE(2001,1,31),1))", "36950"},
        {R"(=EDATE(DATE(2000,2,29),12))", "36950"},
        {R"(=EDATE(DATE(2001,2,28),1))", "36978"},
        {R"(=EDATE(DATE(2001,3,15),-14))", "36540"},
        {R"(=EOMONTH(DATE(2001,1,15),-1))", "36891"},
        {R"(=EOMONTH(DATE(2000,1,31),1))", "36585"},
        {R"(=EOMONTH(DATE(2001,1,15),25))", "37680"},
        {R"(=WEEKDAY(36526))", "7"},
        {R"(=WEEKDAY(36527))", "1"},
        {R"(=YEARFRAC(36526,36526))", "0.0027777777777778"},  // =1/360
        {R"(=YEARFRAC(36526,36891,0))", "1.0027777777778"},   // =(DAYS360(36526,36891)+1)/360
        {R"(=YEARFRAC(36526,36891,1))", "1"},                 // =(36891-36526+1)/366
        {R"(=YEARFRAC(36892,36526,3))", "1"},                 // =ABS(36526-36892+1)/365
        {R"(=YEARFRAC(36526,36891,2))", "1.0166666666667"},   // =(36891-36526+1)/360
        {R"(=NETWORKDAYS(36528,36532))", "5"},
        {R"(=NETWORKDAYS(36528,36532,A3))", "4"},
        {R"(=NETWORKDAYS(36528,36532,A1:A3))", "3"},
        {R"(=NETWORKDAYS(36540,36550,A1:A3))", "7"},
        {R"(=WORKDAY(36528,1))", "36528"},         // =WORKDAY(36528,0)
        {R"(=WORKDAY(36528,2))", "36529"},         // =WORKDAY(36528,1)
        {R"(=WORKDAY(36528,-2))", "36525"},        // =WORKDAY(36528,-1)
        {R"(=WORKDAY(36526,1))", "36528"},         // =WORKDAY(36526,1)
        {R"(=WORKDAY(36526,-1))", "36525"},        // =WORKDAY(36526,-1)
        {R"(=WORKDAY(36528,10,A1:A3))", "36543"},  // =WORKDAY(36528,10,A1:A3)
    });
}

// Every start weekday, Saturday 1 January 2000 to Friday 7 January, and spans of 0 to 15 days;
// counted backwards, the count is negative, as LibreOffice and Excel give it (Gnumeric gives
// it positive).
TEST_F(DateFunctionsTest, NetworkDaysCountsFromEveryWeekday) {
    const int spans[] = {0, 1, 2, 5, 6, 7, 8, 13, 15};
    const int expected[7][9] = {
        {0, 0, 1, 4, 5, 5, 5, 10, 10}, {0, 1, 2, 5, 5, 5, 6, 10, 11}, {1, 2, 3, 5, 5, 6, 7, 10, 12},
        {1, 2, 3, 4, 5, 6, 7, 10, 12}, {1, 2, 3, 4, 5, 6, 7, 10, 12}, {1, 2, 2, 4, 5, 6, 7, 10, 12},
        {1, 1, 1, 4, 5, 6, 6, 10, 11},
    };
    for (int day = 0; day < 7; ++day) {
        for (int i = 0; i < 9; ++i) {
            int start = 36526 + day, end = start + spans[i];
            std::string formula =
                "=NETWORKDAYS(" + std::to_string(start) + "," + std::to_string(end) + ")";
            EXPECT_EQ(Eval(formula), std::to_string(expected[day][i])) << formula;
            std::string backwards =
                "=NETWORKDAYS(" + std::to_string(end) + "," + std::to_string(start) + ")";
            int count = spans[i] == 0 ? expected[day][i] : -expected[day][i];
            EXPECT_EQ(Eval(backwards), std::to_string(count)) << backwards;
        }
    }
}

TEST_F(DateFunctionsTest, HolidaysCountOnceAndOnlyOnWorkingDaysInside) {
    Set("B1", "36530");  // Wednesday 5 January, listed twice
    Set("B2", "36530");
    Set("B3", "36540");  // after the span
    Set("B4", "36527");  // Sunday
    Set("B5", "holiday");
    Check({
        {"=NETWORKDAYS(36528,36532,B1:B5)", "4"},
        {"=NETWORKDAYS(36528,36532,B1)", "4"},
        {"=WORKDAY(36528,3,B1:B5)", "36531"},
        {"=WORKDAY(36531,-3,B1:B5)", "36528"},
    });
}

TEST_F(DateFunctionsTest, ConventionsAndErrors) {
    Check({
        // 1900 counts as a leap year; Gnumeric's DATE(1900,2,29) is 61, 1 March.
        {"=DATE(1900,2,29)", "60"},
        {"=DAY(60)", "29"},
        {"=WEEKDAY(61)", "5"},
        // Impossible dates and times are errors; Gnumeric rolls DATE(2001,2,29) over to 36951
        // and TIME(24,0,0) to 1.
        {"=DATE(2001,2,29)", "E111"},
        {"=TIME(24,0,0)", "E113"},
        {"=DATE(2100,1,1)", "E111"},
        {"=DATE(1899,12,31)", "E111"},
        {"=DATE(200,1,1)", "E111"},
        {"=DATE(2000,13,1)", "E111"},
        {"=DATE(2000,0,1)", "E111"},
        {"=DATE(A1:A2,1,1)", "E56"},
        {"=TIME(0,60,0)", "E113"},
        {"=TIME(-1,0,0)", "E113"},
        // Serial 0, or a time alone, is day 0 of January 1900.
        {"=DAY(0.5)", "0"},
        {"=MONTH(0)", "1"},
        {"=YEAR(0)", "0"},
        {"=DAY(-1)", "E111"},
        {"=DAY(73051)", "E111"},
        {"=HOUR(-0.5)", "E113"},
        {"=HOUR(0.99999999)", "0"},
        {"=DATEVALUE(\"garbage\")", "E111"},
        {"=DATEVALUE(\"1899-12-31\")", "E111"},
        {"=TIMEVALUE(\"25:00\")", "E113"},
        {"=TIMEVALUE(\"x\")", "E113"},
        // The last day of February counts as day 30; Gnumeric gives 31 and -31.
        {"=DAYS360(DATE(2001,2,28),DATE(2001,3,31))", "30"},
        {"=DAYS360(DATE(2001,3,31),DATE(2001,2,28))", "-30"},
        {"=DAYS360(0,100)", "E111"},
        {"=DAYS360(\"a\",100)", "E98"},
        {"=EDATE(36526,1e6)", "E111"},
        {"=EDATE(DATE(2099,12,1),1)", "E111"},
        {"=EDATE(0,1)", "E111"},
        {"=EOMONTH(DATE(2001,1,15),-13)", "36525"},
        {"=WEEKDAY(0)", "E111"},
        {"=WEEKDAY(73051)", "E111"},
        // Both end days count: Gnumeric's YEARFRAC of one date is 0.
        {"=YEARFRAC(36526,36526,7)", "0.0027777777777778"},
        {"=YEARFRAC(0,36526)", "E111"},
        {"=NETWORKDAYS(0,5)", "E111"},
        {"=NETWORKDAYS(36528,36532,\"x\")", "5"},
        {"=NETWORKDAYS(36528,36532,1/0)", "E70"},
        {"=WORKDAY(36528,0)", "36528"},
        {"=WORKDAY(36526,0)", "36528"},
        {"=WORKDAY(0,1)", "2"},
        {"=WORKDAY(73050,5)", "E111"},
        {"=WORKDAY(-1,1)", "E111"},
        {"=WORKDAY(36528,1,A1:A3)", "36530"},
    });
}

TEST_F(DateFunctionsTest, TodayAndNowFollowTheLocalClock) {
    using namespace std::chrono;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    auto day = year(local.tm_year + 1900) / (local.tm_mon + 1) / local.tm_mday;
    // Serials from March 1900 on count days from 30 December 1899.
    long serial = (sys_days(day) - sys_days(year(1899) / December / 30)).count();
    EXPECT_EQ(Eval("=TODAY()"), std::to_string(serial));
    EXPECT_EQ(Eval("=NOW()>=TODAY()"), "1");
    EXPECT_EQ(Eval("=NOW()<TODAY()+1"), "1");
}

}  // namespace
}  // namespace formula::test
