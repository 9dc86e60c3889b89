// A blank cell (K1, never written) given to every family's functions, with "blank cells count
// as zero" off and on. A function's number argument reads a blank as 0 either way; list
// arguments skip it either way; only operators and a formula that is only a reference follow
// the setting (off: errors, on: 0).
#include <string>

#include "FunctionCases.h"

namespace formula::test {
namespace {

struct BlankCase {
    const char* formula;
    const char* off;  // as Eval shows it with blank cells not counting as zero
    const char* on;   // and with them counting as zero
};

class BlankArgumentsTest : public FunctionTest {
protected:
    void SetUp() override {
        FunctionTest::SetUp();
        Fill("A1", {{"1"}, {"2"}, {"3"}});
    }
    void CheckBoth(std::initializer_list<BlankCase> cases) {
        for (int on : {0, 1}) {
            ASSERT_EQ(GXSetBlanksAreZero(sheet, on), 1);
            for (const BlankCase& c : cases) {
                EXPECT_EQ(Eval(c.formula), on ? c.on : c.off)
                    << c.formula << (on ? " (blanks count as zero)" : "");
            }
        }
    }
};

TEST_F(BlankArgumentsTest, MathLogicAndTextReadABlankNumberAsZero) {
    CheckBoth({
        {"=ABS(K1)", "0", "0"},
        {"=ROUND(K1,0)", "0", "0"},
        {"=ROUND(2.567,K1)", "3", "3"},
        {"=EXP(K1)", "1", "1"},
        {"=FACT(K1)", "1", "1"},
        {"=MOD(K1,3)", "0", "0"},
        {"=ATAN2(1,K1)", "0", "0"},
        {"=POLY(K1,1,2)", "2", "2"},
        {"=IF(K1,1,2)", "2", "2"},
        {"=NOT(K1)", "1", "1"},
        {"=ISNUMBER(K1)", "1", "1"},
        {"=ISSTRING(K1)", "0", "0"},
        {"=ISERROR(K1)", "0", "0"},
        {"=LEFT(\"abc\",K1)", "'", "'"},
        {"=RIGHT(\"abc\",K1)", "'", "'"},
        {"=REPEAT(\"ab\",K1)", "'", "'"},
        {"=STRING(1.5,K1)", "'2", "'2"},
        {"=CHAR(K1)", "E138", "E138"},  // code 0 is out of range, as =CHAR(0)
    });
}

TEST_F(BlankArgumentsTest, DatesReadABlankNumberAsZero) {
    CheckBoth({
        {"=TIME(12,K1,0)", "0.5", "0.5"},
        {"=HOUR(K1)", "0", "0"},
        {"=EDATE(36892,K1)", "36892", "36892"},
    });
}

TEST_F(BlankArgumentsTest, FinanceReadsABlankNumberAsZero) {
    CheckBoth({
        {"=PMT(1000,K1,10)", "100", "100"},  // no interest: the principal in ten parts
        {"=FV(100,K1,10)", "1000", "1000"},
        {"=SLN(1000,K1,10)", "100", "100"},
        {"=IPMT(K1,1,10,1000,0)", "0", "0"},
        {"=DB(1000,K1,5,1)", "1000", "1000"},  // no salvage: a rate of 1
    });
}

TEST_F(BlankArgumentsTest, StatisticsReadABlankNumberAsZeroAndListsSkipIt) {
    CheckBoth({
        {"=NORMSDIST(K1)", "0.5", "0.5"},
        {"=STANDARDIZE(K1,1,2)", "-0.5", "-0.5"},
        {"=PERMUT(3,K1)", "1", "1"},
        {"=SUM(A1:A3,K1)", "6", "6"},
        {"=AVG(A1:A3,K1)", "2", "2"},  // skipped, not counted as a 0
        {"=MAX(K1,-1)", "-1", "-1"},
    });
}

TEST_F(BlankArgumentsTest, LookupAndFittingReadABlankNumberAsZero) {
    CheckBoth({
        {"=CELLREF(K1,1)", "cell A1", "cell A1"},  // column 0, row 1
        {"=CHOOSE(K1,5,6)", Eval("=CHOOSE(0,5,6)").c_str(), Eval("=CHOOSE(0,5,6)").c_str()},
        {"=POLYCOEF(A1:A3,A1:A3,K1)", Eval("=POLYCOEF(A1:A3,A1:A3,0)").c_str(),
         Eval("=POLYCOEF(A1:A3,A1:A3,0)").c_str()},
    });
}

// The setting's own ground: operators and a lone reference.
TEST_F(BlankArgumentsTest, OperatorsAndALoneReferenceFollowTheSetting) {
    CheckBoth({
        {"=K1+1", "E128", "1"},
        {"=K1-1", "E128", "-1"},
        {"=K1*2+ABS(K1)", "E128", "0"},
        {"=K1>0", "E96", "0"},
    });
    const std::pair<int, const char*> settings[] = {{0, "Error!"}, {1, "0"}};
    for (const auto& [on, shown] : settings) {
        ASSERT_EQ(GXSetBlanksAreZero(sheet, on), 1);
        Set("B1", "=K1");
        GXRecalcAll(sheet);
        EXPECT_EQ(Text("B1"), shown) << "blanks count as zero: " << on;
    }
}

}  // namespace
}  // namespace formula::test
