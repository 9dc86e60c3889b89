// Every function whose argument counts something (periods, copies, places, days, degrees,
// positions, sizes) given a count of 1e9, 1e16, 1e308 and 2^31 - 1 in that argument: whatever
// it returns, it returns at once. A loop over such a count that is not bounded freezes the
// editor; a double counter stops growing past 2^53 and never ends at all.
//
// Time is the thread's CPU time, so a loaded machine does not fail the test; a loop that never
// ends fails by the test's own time-out.
#include <time.h>

#include <string>

#include "FunctionCases.h"

namespace formula::test {
namespace {

double CpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

class CountArgumentsTest : public FunctionTest {
protected:
    void SetUp() override {
        FunctionTest::SetUp();
        // Cash flows, their dates (from 1 Jan 2001) and x values.
        Fill("A1", {{"-500", "36982", "1"},
                    {"-400", "37072", "2"},
                    {"300", "37162", "3"},
                    {"200", "37252", "4"},
                    {"600", "37342", "5"}});
    }
};

// "#" stands for the count. Where a function has several count-like arguments, each gets a
// row of its own, and one row gives the count to all of them.
constexpr const char* kTemplates[] = {
    // Annuities and depreciation
    "=CUMIPMT(0.05,#,1000,1,#,0)",
    "=CUMIPMT(0.05,#,1000,1,#,1)",
    "=CUMIPMT(0.05,10,1000,1,#,0)",
    "=CUMIPMT(0.05,#,1000,#,#,0)",
    "=CUMPRINC(0.05,#,1000,1,#,0)",
    "=CUMPRINC(0,#,1000,1,#,1)",
    "=CUMPRINC(0.05,10,1000,1,#,0)",
    "=IPMT(0.05,#,#,1000,0)",
    "=IPMT(0.05,1,#,1000,0)",
    "=IPMT(0.05,#,10,1000,0)",
    "=PPMT(0.05,#,#,1000,0,1)",
    "=PPMT(0.05,#,10,1000,0)",
    "=DB(1000,100,#,#)",
    "=DB(1000,100,#,#,6)",
    "=DB(1000,100,#,1,6)",
    "=DB(1000,100,10,#)",
    "=DB(1000,100,10,1,#)",
    "=DDB(1000,100,#,#)",
    "=DDB(1000,100,#,1)",
    "=VDB(1000,100,#,0,#)",
    "=VDB(1000,100,#,#,#)",
    "=SYD(1000,100,#,#)",
    "=SLN(1000,100,#)",
    "=FV(100,0.05,#)",
    "=PV(100,0.05,#)",
    "=PMT(1000,0.05,#)",
    "=RATE(2000,1000,#)",
    "=TERM(100,0.05,#)",
    "=CTERM(0.05,#,1000)",
    "=EFFECT(0.05,#)",
    "=NOMINAL(0.05,#)",
    "=DOLLARDE(1.02,#)",
    "=DOLLARFR(1.02,#)",
    // Coupons, bonds and solvers: frequencies and the longest schedules the calendar holds
    "=COUPNUM(36892,73000,#)",
    "=COUPNUM(1,#,4)",
    "=PRICE(1,#,0.05,0.06,100,4)",
    "=YIELD(1,73000,0.05,#,100,4)",
    "=YIELD(1,73000,0.05,0,100,4)",
    "=ODDFYIELD(2,73000,1,100,0.05,#,100,4)",
    "=DURATION(1,#,0.05,0.06,4)",
    "=ACCRINT(1,2,#,0.05,1000,4)",
    "=ACCRINT(1,72000,#,0.05,1000,4)",
    "=TBILLEQ(1,#,0.05)",
    "=IRR(#,A1:A5)",
    "=XIRR(#,A1:A5,B1:B5)",
    "=MIRR(A1:A5,#,#)",
    "=FVSCHEDULE(#,A1:A5)",
    // Math and text
    "=FACT(#)",
    "=ROUND(1.5,#)",
    "=POLY(#,1,2,3)",
    "=STRING(1.5,#)",
    "=REPEAT(\"\",#)",
    "=REPEAT(\"ab\",#)",
    "=LEFT(\"abc\",#)",
    "=RIGHT(\"abc\",#)",
    "=MID(\"abc\",1,#)",
    "=MID(\"abc\",#,1)",
    "=REPLACE(\"abc\",#,#,\"d\")",
    "=CHAR(#)",
    "=FIND(\"b\",\"abc\",#)",
    "=NUMTOHEX(#)",
    "=GAMMA(#)",
    "=LNGAMMA(#)",
    "=MOD(#,3)",
    "=MODULUS(#,7)",
    // Dates: walks over days and months
    "=WORKDAY(1,#)",
    "=WORKDAY(1,-#)",
    "=WORKDAY(36892,#,B1:B5)",
    "=NETWORKDAYS(1,#)",
    "=NETWORKDAYS(1,#,B1:B5)",
    "=EDATE(1,#)",
    "=EOMONTH(1,-#)",
    "=DATE(#,#,#)",
    "=DATE(2000,#,1)",
    "=TIME(#,#,#)",
    "=YEARFRAC(1,#)",
    "=DAYS360(1,#)",
    // Statistics: orders, ranks, degrees of freedom, sample sizes
    "=PERMUT(#,#)",
    "=PERMUT(#,1)",
    "=LARGE(A1:A5,#)",
    "=SMALL(A1:A5,#)",
    "=PERCENTILE(A1:A5,#)",
    "=QUARTILE(A1:A5,#)",
    "=CONFIDENCE(0.05,1,#)",
    "=T(#,2,2)",
    "=T(1,#,2)",
    "=F(#,#,1)",
    "=F(1,1,#)",
    "=TTEST(A1:A5,#)",
    "=ZTEST(A1:A5,#)",
    "=ERF(1,#)",
    "=NORMINV(0.5,#,#)",
    // Lookup: positions and offsets
    "=CHOOSE(#,1,2)",
    "=INDEX(A1:C5,#,#)",
    "=CELLREF(#,#)",
    "=RANGEREF(1,1,#,#)",
    "=SUM(RANGEREF(0,1,#,#))",
    "=VLOOKUP(1,A1:C5,#)",
    "=HLOOKUP(1,A1:C5,#)",
    "=MATCH(1,A1:A5,#)",
    // Fitting: degrees and component counts
    "=POLYCOEF(A1:A5,C1:C5,#)",
    "=PLS(A1:A5,C1:C5,#)",
};

TEST_F(CountArgumentsTest, EveryFunctionReturnsAtOnceForAHugeCount) {
    Eval("=SUM(1)");  // the first call sets the function table up
    for (const char* count : {"1e9", "1e16", "1e308", "2147483647"}) {
        for (std::string formula : kTemplates) {
            for (size_t at = formula.find('#'); at != std::string::npos; at = formula.find('#')) {
                formula.replace(at, 1, count);
            }
            double start = CpuMilliseconds();
            std::string shown = Eval(formula);
            double used = CpuMilliseconds() - start;
            EXPECT_LT(used, 100) << formula << " gave " << shown;
        }
    }
}

// A period or end beyond the annuity's last period has no payment to split: error 86, as
// other out-of-range arguments give. Periods within it keep their values.
TEST_F(CountArgumentsTest, PeriodsBeyondTheAnnuityAreAnError) {
    Check({
        {"=IPMT(0.05,11,10,1000,0)", "E86"},
        {"=PPMT(0.05,11,10,1000,0)", "E86"},
        {"=CUMIPMT(0.05,10,1000,1,11,0)", "E86"},
        {"=CUMPRINC(0.05,10,1000,1,1e308,0)", "E86"},
        {"=IPMT(0.05,1e16,1e16,1000,0)", "E86"},  // the payment itself overflows
        {"=REPEAT(\"\",2147483647)", "'"},
        {"=DB(1000,100,1e15,1e16)", "E125"},  // period beyond life
        {"=PERMUT(1e16,1e16)", "E40"},        // overflows: not a finite result
    });
    // The last period pays the last interest: 1000 at 5% over 10 periods pays 129.505 a period;
    // the balance before the last payment is 129.505 / 1.05, whose interest is 6.1669 (at 5%).
    CheckClose({
        {"=IPMT(0.05,10,10,1000,0)", "6.1668845221646"},
        {"=PPMT(0.05,10,10,1000,0)", "123.33769044329"},
        {"=CUMPRINC(0.05,10,1000,1,10,0)", "1000"},
        {"=CUMIPMT(0.05,10,1000,1,10,0)", "295.04574965457"},
    });
}

// The closed form of declining balances agrees with the period-by-period rule of the
// function: depreciation over every period of the life adds up to cost - the last book value.
TEST_F(CountArgumentsTest, DecliningBalanceOverTheWholeLife) {
    CheckClose({
        {"=DB(10000,1000,5,1)+DB(10000,1000,5,2)+DB(10000,1000,5,3)+DB(10000,1000,5,4)+"
         "DB(10000,1000,5,5)",
         "8999.6619320785"},
        {"=DB(10000,1000,5,5,7)", "303.13391364477"},
        {"=DB(1000,100,1e15,3)", "0"},  // a rate that rounds to 0 takes nothing
    });
}

}  // namespace
}  // namespace formula::test
