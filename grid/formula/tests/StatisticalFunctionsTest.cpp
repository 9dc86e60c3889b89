// Statistical functions. The first table's values were computed by Gnumeric 1.12.55 (an
// independent spreadsheet) with
//     python3 grid/formula/tests/reference/numeric_families_reference.py statistical
// where a row's comment names Gnumeric's formula when it differs from ours. The other tables
// follow this engine's own rules, worked out by hand; rows where another spreadsheet differs
// on purpose say so.
//
// This engine's conventions beside other spreadsheets:
// - Lists skip text and blank cells, but a text that starts like a number counts ("7" is 7).
// - AVG of nothing is an error ("sample size less than 1"), 0 only when blanks count as zero.
// - FREQUENCY counts a value equal to a bin in the slot above it (bins 10, 20 and data 10 give
//   the slot "10 up to below 20"); other spreadsheets count it in the slot at or below.
// - QUARTILE truncates the quartile number (1.9 is the first quartile).
// - T gives the distribution function of Student's t, F the one of the F distribution.
#include "FunctionCases.h"
#include "grid/formula/CellStore.h"

namespace formula::test {
namespace {

class StatisticalFunctionsTest : public FunctionTest {
protected:
    void SetUp() override {
        FunctionTest::SetUp();
        Fill("A1", {{"2", "1"},
                    {"4", "3"},
                    {"4", "2"},
                    {"4", "5"},
                    {"5", "4"},
                    {"5", "6"},
                    {"7", "8"},
                    {"9", "7"}});
        Set("C1", "abc");
        Set("C2", "7");
        Set("C4", "3");
        Fill("E1", {{"5"}, {"10"}, {"15"}, {"20"}, {"25"}});
        Set("F1", "10");
        Set("F2", "20");
        Set("G1", "1.5");
        Set("G2", "2.5");
        Set("G3", "0.5");
        Set("G4", "4");
    }
};

// The distributions come from series and searches that stop near 1e-12.
TEST_F(StatisticalFunctionsTest, ValuesAgreeWithAnIndependentSpreadsheet) {
    CheckClose({
        {R"(=SUM(A1:A8))", "40"},
        {R"(=SUM(C1:C4))", "10"},
        {R"(=SSQ(A1:A8))", "232"},              // =SUMSQ(A1:A8)
        {R"(=SSE(A1:A8))", "32"},               // =DEVSQ(A1:A8)
        {R"(=AVG(A1:A8,C1:C4))", "5"},          // =AVERAGE(A1:A8,C1:C4)
        {R"(=MSQ(A1:A8))", "29"},               // =SUMSQ(A1:A8)/8
        {R"(=RMS(A1:A8))", "5.3851648071345"},  // =SQRT(SUMSQ(A1:A8)/8)
        {R"(=MIN(A1:A8,-1))", "-1"},
        {R"(=MAX(A1:A8,B1:B8))", "9"},
        {R"(=VAR(A1:A8))", "4"},                  // =VARP(A1:A8)
        {R"(=STD(A1:A8))", "2"},                  // =STDEVP(A1:A8)
        {R"(=VARS(A1:A8))", "4.5714285714286"},   // =VAR(A1:A8)
        {R"(=STDS(B1:B8))", "2.4494897427832"},   // =STDEV(B1:B8)
        {R"(=GMEAN(A1:A8))", "4.6032155960467"},  // =GEOMEAN(A1:A8)
        {R"(=HMEAN(A1:A8))", "4.2017507294706"},  // =HARMEAN(A1:A8)
        {R"(=COUNT(A1:A8,C1:C4,"x",1))", "13"},   // =COUNTA(A1:A8,C1:C4)+2
        {R"(=PRODUCT(A1:A4,-0.5))", "-64"},
        {R"(=VECLEN(3,4,A1))", "5.3851648071345"},    // =SQRT(SUMSQ(3,4,A1))
        {R"(=CSUM(A1:A8,#>4))", "26"},                // =SUMIF(A1:A8,">4")
        {R"(=CAVG(A1:A8,#>4))", "6.5"},               // =AVERAGEIF(A1:A8,">4")
        {R"(=CCOUNT(A1:A8,#==4))", "3"},              // =COUNTIF(A1:A8,4)
        {R"(=CMAX(A1:A8,#<5))", "4"},                 // =4
        {R"(=CMIN(B1:B8,"#>2"))", "3"},               // =3
        {R"(=CVAR(A1:A8,#>2))", "3.1020408163265"},   // =VARP(A2:A8)
        {R"(=CVARS(A1:A8,#>2))", "3.6190476190476"},  // =VAR(A2:A8)
        {R"(=CSTD(A1:A8,#>2))", "1.7612611437054"},   // =STDEVP(A2:A8)
        {R"(=CSTDS(A1:A8,#>2))", "1.9023794624227"},  // =STDEV(A2:A8)
        {R"(=T(5,2))", "0.94903026058507"},           // =1-TDIST(2,5,1)
        {R"(=T(5,-2))", "0.050969739414929"},         // =TDIST(2,5,1)
        {R"(=T(1,0.5))", "0.64758361765043"},         // =1-TDIST(0.5,1,1)
        {R"(=F(3,7,2.5))", "0.85649054372106"},       // =1-FDIST(2.5,3,7)
        // =TDIST(ABS((AVERAGE(A1:A8)-4)/(STDEV(A1:A8)/SQRT(8))),7,2)
        {R"(=TTEST(A1:A8,4))", "0.22745281805976"},
        {R"(=PTTEST(A1:A8,B1:B8))", "0.31589066295494"},    // =TTEST(A1:A8,B1:B8,2,1)
        {R"(=TTEST2EV(A1:A8,B1:B6))", "0.19652744523535"},  // =TTEST(A1:A8,B1:B6,2,2)
        {R"(=TTEST2UV(A1:A8,B1:B6))", "0.18883989493151"},  // =TTEST(A1:A8,B1:B6,2,3)
        {R"(=FTEST(A1:A8,B1:B6))", "0.79508044858117"},
        {R"(=FTEST(B1:B6,A1:A8))", "0.79508044858117"},
        {R"(=ZTEST(A1:A8,4,2))", "0.078649603525143"},
        {R"(=ZTEST(A1:A8,6))", "0.90706163381706"},     // =ZTEST(A1:A8,6,STDEV(A1:A8))
        {R"(=CORR(A1:A8,B1:B8))", "0.84559432466447"},  // =CORREL(A1:A8,B1:B8)
        {R"(=NORMSDIST(1.5))", "0.93319279873114"},
        {R"(=NORMSDIST(-0.3))", "0.38208857781105"},
        {R"(=NORMSINV(0.975))", "1.9599639845401"},
        {R"(=NORMSINV(0.1))", "-1.2815515655446"},
        {R"(=NORMDIST(7,5,2,1))", "0.84134474606854"},
        {R"(=NORMDIST(7,5,2,0))", "0.12098536225957"},
        {R"(=NORMINV(0.9,5,2))", "7.5631031310892"},
        {R"(=STANDARDIZE(7,5,2))", "1"},
        {R"(=CONFIDENCE(0.05,2,50.7))", "0.55436152973987"},  // =CONFIDENCE(0.05,2,50)
        {R"(=ERF(0.5))", "0.52049987781305"},
        {R"(=ERF(0.5,1.5))", "0.44560526866226"},
        {R"(=ERFC(0.5))", "0.47950012218695"},
        {R"(=PERCENTILE(A1:A8,0.3))", "4"},
        {R"(=QUARTILE(A1:A8,1.9))", "4"},  // =QUARTILE(A1:A8,1)
        {R"(=MEDIAN(A1:A8,C1:C4))", "4.5"},
        {R"(=LARGE(B1:B8,3))", "6"},
        {R"(=SMALL(A1:A8,2.7))", "4"},                     // =SMALL(A1:A8,2)
        {R"(=PERCENTRANK(G1:G4,2))", "0.5"},               // =(2-1.5)/(2.5-1.5)/3+1/3
        {R"(=PERCENTRANK(A1:A8,4))", "0.14285714285714"},  // =1/7
        {R"(=RANK(4,A1:A8))", "5"},
        {R"(=RANK(4,A1:A8,1))", "2"},
        {R"(=MODE(A1:A8))", "4"},
        {R"(=PERMUT(10,3))", "720"},
        {R"(=PERMUT(7.9,2.9))", "42"},  // =PERMUT(7,2)
    });
}

TEST_F(StatisticalFunctionsTest, EmptyListsAndSmallSamples) {
    Set("H1", "0.1");
    Set("H2", "0.1");
    Set("H3", "0.1");
    Check({
        {"=SUM(D1)", "0"},  // a blank cell is skipped
        {"=SUM(C1)", "0"},
        {"=AVG(D1)", "E153"},
        {"=AVG(C1)", "E153"},
        {"=MIN(D1:D9)", "E153"},
        {"=MAX(C1,D1)", "E153"},
        {"=VAR(H1:H3)", "0"},  // never a tiny or negative variance from rounding
        {"=VARS(H1:H3)", "0"},
        {"=STD(H1:H3)", "0"},
        {"=SSE(H1:H3)", "0"},
        {"=VAR(7)", "0"},
        {"=VARS(7)", "E154"},
        {"=STDS(D1:D5)", "E154"},
        {"=VAR(C1)", "E145"},
        {"=SSE(C1)", "E145"},
        {"=MSQ(C1)", "E153"},
        {"=PRODUCT(-2,3)", "-6"},
        {"=PRODUCT(A1:A8,0)", "0"},
        {"=PRODUCT(C1,D1)", "1"},
        {"=PRODUCT(67108865,67108863)-4503599627370495", "0"},  // exact while it fits
        {"=GMEAN(2,0)", "E137"},
        {"=GMEAN(2,-8)", "E137"},
        {"=HMEAN(2,0)", "E134"},
        {"=HMEAN(C1)", "E153"},
        {"=VSUM(C1:C4,1)", "11"},  // display texts abc, 7 and 3 read as 0, 7 and 3
        {"=COUNT(D1:D9)", "0"},
        {"=SUM(A1,1/0)", "E70"},
        {"=MEDIAN(C1)", "0"},
        {"=MEDIAN(1,2,3,4)", "2.5"},
        {"=MODE(1,2,2,1)", "1"},  // equal runs: the value met first wins
        {"=MODE(3,1,2)", "E300"},
        {"=MODE(C1)", "E300"},
    });
    Sheet().blanksAreZero = 1;
    EXPECT_EQ(Eval("=AVG(D1)"), "0");
}

TEST_F(StatisticalFunctionsTest, ConditionsAreEvaluatedForEachCell) {
    Set("H1", "=1/0");
    Check({
        {"=CSUM(A1:A8,B1:B8,#>6)", "31"},  // 7 + 9 + 7 + 8
        {"=CSUM(A1,A8,#>4)", "9"},
        {"=CSUM(A1:A8,\"#>4\")", "26"},
        {"=CSUM(A1:A8,\"#>\")", "E57"},
        {"=CSUM(A1:A8,\"x\")", "E57"},
        {"=CSUM(A1:A8,#/0)", "E70"},
        {"=CSUM(1,#>0)", "E98"},
        {"=CSUM(A1:A8,#>100)", "0"},
        {"=CAVG(A1:A8,#>100)", "E153"},
        {"=CMIN(A1:A8,#>100)", "E153"},
        {"=CVAR(A1:A8,#>100)", "E145"},
        {"=CVARS(A1:A8,#>8)", "E154"},
        {"=CCOUNT(C1:C4,1)", "3"},  // every cell holding a value passes; C3 holds none
        {"=CSUM(C1:C4,1)", "10"},
        {"=CSUM(H1,1)", "E60"},
    });
}

TEST_F(StatisticalFunctionsTest, TestsAndDistributionsCheckTheirArguments) {
    Check({
        {"=T(0,1)", "E68"},
        {"=F(1,0,1)", "E68"},
        {"=F(1,1,-1)", "E39"},
        {"=F(2,3,0)", "0"},
        {"=TTEST(A1,4)", "E154"},
        {"=TTEST(2,4)", "E98"},
        {"=TTEST(H1:H3,4)", "E154"},
        {"=PTTEST(A1:A8,B1:B7)", "E146"},
        {"=PTTEST(A1:A3,C1:C3)", "E152"},
        {"=PTTEST(A1:A8,A1:A8)", "1"},
        {"=TTEST2EV(A1,B1)", "E144"},
        {"=TTEST2EV(A1:A8,D1:D8)", "E153"},  // no mean without a value
        {"=TTEST2UV(A1:A8,B1)", "E154"},
        {"=FTEST(A1:A8,B1)", "E154"},
        {"=ZTEST(A1:A8,4,0)", "E138"},
        {"=ZTEST(A1,4,1)", "E98"},  // a cell reads as the number it holds
        {"=ZTEST(A1:A1,4,1)", "E154"},
        {"=ZTEST(A2:A4,4)", "E70"},  // no spread to measure by
        {"=CORR(A1:A8,B1:B7)", "E146"},
        {"=CORR(A2:A4,B1:B3)", "E70"},
        {"=NORMSINV(0)", "E138"},
        {"=NORMSINV(1)", "E138"},
        {"=NORMDIST(1,0,0,1)", "E138"},
        {"=NORMINV(0.5,0,-1)", "E138"},
        {"=STANDARDIZE(1,0,0)", "E138"},
        {"=CONFIDENCE(1,1,1)", "E138"},
        {"=CONFIDENCE(0.05,1,0.5)", "E138"},
        {"=CONFIDENCE(0.05,1,5e9)", "E109"},
        {"=ERF(-1)", "E310"},
        {"=ERF(1,-1)", "E311"},
        {"=ERFC(-1)", "E310"},
        {"=ERF(A1:A2)", "E56"},
        {"=ERF(0)", "0"},
    });
}

TEST_F(StatisticalFunctionsTest, OrderStatistics) {
    Set("H1", "1");
    Set("H2", "5");
    Set("H3", "5");
    Set("H4", "9");
    Check({
        {"=PERCENTILE(E1:E4,0.5)", "12.5"},
        {"=PERCENTILE(A1:A8,1.5)", "E55"},
        {"=PERCENTILE(7,0.2)", "7"},
        {"=PERCENTILE(C1,0.2)", "0"},
        {"=PERCENTILE(C1:D3,0.2)", "7"},
        {"=PERCENTILE(D1:D3,0.2)", "0"},
        {"=QUARTILE(A1:A8,4.9)", "9"},
        {"=QUARTILE(A1:A8,5)", "E55"},
        {"=QUARTILE(A1:A8,-1)", "E55"},
        {"=LARGE(C1:C4,3)", "E55"},
        {"=SMALL(A1:A8,0)", "E55"},
        {"=LARGE(1,1)", "E98"},
        {"=PERCENTRANK(A1:A8,1)", "E55"},
        {"=PERCENTRANK(A1:A8,10)", "E55"},
        {"=PERCENTRANK(A1:A8,9)", "1"},
        {"=PERCENTRANK(A1:A8,6)", "0.78571428571429"},  // (0.5 + 5) / 7
        {"=PERCENTRANK(3,3)", "3"},
        {"=PERCENTRANK(3,4)", "E55"},
        {"=PERCENTRANK(A1,2)", "2"},
        {"=PERCENTRANK(A1:A1,2)", "1"},  // one value: it is the top of its range
        {"=RANK(5,H1:H4)", "2"},
        {"=RANK(5,H1:H4,1)", "2"},
        {"=RANK(6,H1:H4)", "E301"},
        {"=RANK(5,3)", "E98"},
        {"=PERMUT(3,5)", "E312"},
        {"=PERMUT(0,0)", "E312"},
        {"=PERMUT(5,0)", "1"},
    });
}

// Bins 10 and 20: below 10, from 10 up to below 20, and from 20 on. Gnumeric counts "up to
// and including" each bin and gives 2, 2, 1 for the same data.
TEST_F(StatisticalFunctionsTest, FrequencyWritesOneCountPerSlot) {
    Set("J1", "=FREQUENCY(E1:E5,F1:F2)");
    EXPECT_EQ(Text("J1"), "1");
    EXPECT_EQ(Text("J2"), "2");
    EXPECT_EQ(Text("J3"), "2");
    Set("L1", "=FREQUENCY(E1:E5,G1:H1)");  // bins in a row: the counts form a row
    EXPECT_EQ(Text("L1"), "0");
    EXPECT_EQ(Text("M1"), "5");
    EXPECT_EQ(Text("N1"), "");
    EXPECT_EQ(Text("L2"), "");
    Check({
        {"=FREQUENCY(E1:E5,C1)", "0"},
        {"=FREQUENCY(E1:E5,2)", "E58"},
        {"=FREQUENCY(E1:E5,F2:F3)", "3"},
        {"=FREQUENCY(E1:E5,B1:B8)", "E55"},  // bins that fall back leave slots undefined
    });
}

}  // namespace
}  // namespace formula::test
