#include "EngineFixture.h"
#include "grid/formula/RangeOps.h"
#include "grid/formula/WorksheetFunctions.h"

namespace formula::test {
namespace {

int g_ticks = 0;

// A function set of its own: TICK() counts its calls and yields 0; SEQ() yields 1, 2, 3 ...
// from the call order.
class TickFunctions : public CGXWorksheetFunctions {
public:
    TickFunctions() {
        tick_.name = "TICK";
        tick_.handler = [](GXValue& result, GXCallFrame&) {
            ++g_ticks;
            result = GXValue::Number(0);
        };
        seq_.name = "SEQ";
        seq_.handler = [](GXValue& result, GXCallFrame&) { result = GXValue::Number(++g_ticks); };
    }
    const GXWorksheetFunctionEntry* LookupFunction(std::string_view name) const override {
        return name == "TICK" ? &tick_ : name == "SEQ" ? &seq_ : nullptr;
    }

private:
    GXWorksheetFunctionEntry tick_;
    GXWorksheetFunctionEntry seq_;
};

class RecalcTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        GXSetRecalcMethod(sheet, 1);
        g_ticks = 0;
    }
    void Changed(const std::string& address) {
        auto [row, col] = At(address);
        GXAddChangedRange(sheet, GXMakeCell(row, col));
    }
};

TEST_F(RecalcTest, AChangeReachesTheWholeChainOnce) {
    GXGetEngineState().SetWorksheetFunctions(std::make_unique<TickFunctions>());
    Set("A1", "1");
    Set("B1", "=A1+1+TICK()");
    Set("C1", "=B1*2");
    Set("D1", "=B1+C1");
    Set("E1", "=D1+1");
    ASSERT_EQ(GXRecalc(sheet), 1);
    EXPECT_EQ(Text("E1"), "7");
    EXPECT_EQ(g_ticks, 1);
    Set("A1", "5");
    Changed("A1");
    ASSERT_EQ(GXRecalc(sheet), 1);
    EXPECT_EQ(Text("B1"), "6");
    EXPECT_EQ(Text("E1"), "19");
    EXPECT_EQ(g_ticks, 2) << "B1 is computed once although C1 and D1 both lead to it";
    EXPECT_TRUE(Sheet().changedRanges.empty());
}

// A formula's value moving between long, short and empty texts and numbers reads as the last
// one stored, and the cell is marked changed only when the value differs.
TEST_F(RecalcTest, AValueChangingKindReadsAsTheLastOneStored) {
    Set("A1", "4");
    Set("B1", "=A1==1?\"a longer text\":A1==2?5:A1==3?\"\":\"ab\"");
    const struct {
        const char* a1;
        const char* shown;
        GXValueKind kind;
        bool changed;
    } steps[] = {
        {"1", "a longer text", GX_VAL_LONG_TEXT, true},
        {"1", "a longer text", GX_VAL_LONG_TEXT, false},
        {"2", "5", GX_VAL_NUMBER, true},
        {"3", "", GX_VAL_SHORT_TEXT, true},
        {"3", "", GX_VAL_SHORT_TEXT, false},
        {"4", "ab", GX_VAL_SHORT_TEXT, true},
        {"2", "5", GX_VAL_NUMBER, true},
        {"1", "a longer text", GX_VAL_LONG_TEXT, true},
    };
    GXRecalcAll(sheet);
    for (const auto& step : steps) {
        SCOPED_TRACE(step.a1);
        GXEngineCell* b1 = GXFindCell(Sheet(), 1, 1);
        b1->set(GX_CF_CHANGED, false);
        Set("A1", step.a1);
        Changed("A1");
        GXRecalc(sheet);
        EXPECT_EQ(Text("B1"), step.shown);
        EXPECT_EQ(b1->valueKind(), step.kind);
        EXPECT_EQ(b1->has(GX_CF_CHANGED), step.changed);
    }
}

TEST_F(RecalcTest, UnrelatedChangesComputeNothing) {
    GXGetEngineState().SetWorksheetFunctions(std::make_unique<TickFunctions>());
    Set("A1", "1");
    Set("B1", "=A1+TICK()");
    GXRecalc(sheet);
    Set("Z9", "3");
    Changed("Z9");
    GXRecalc(sheet);
    EXPECT_EQ(g_ticks, 1);
}

TEST_F(RecalcTest, RangesAndNamesAreDependenciesToo) {
    Set("A1", "1");
    Set("A2", "=A1*10");
    Set("A3", "=SUM(A1:A2)");
    Sheet().names.push_back(std::make_unique<GXRangeName>(GXRangeName{"Total", GXMakeCell(3, 0)}));
    Set("B1", "=Total+1");
    GXRecalc(sheet);
    EXPECT_EQ(Text("B1"), "12");
    Set("A1", "2");
    Changed("A1");
    GXRecalc(sheet);
    EXPECT_EQ(Text("A3"), "22");
    EXPECT_EQ(Text("B1"), "23");
}

// A formula keeps its first references with itself and the rest apart, and a name in place of
// a reference: a change must reach it through any of them, also after an edit moved them.
TEST_F(RecalcTest, AChangeArrivesThroughAnyOfAFormulasReferences) {
    struct Case {
        const char* formula;
        const char* changed;  // before rows are inserted above; one row lower after
        const char* first;    // the value after the first change (to 10), then the second (to 20)
        const char* second;
    };
    const Case cases[] = {
        {"=A1*2", "A1", "20", "40"},           {"=Third*2", "A3", "20", "40"},
        {"=A4+Third", "A3", "14", "24"},       {"=Third+A4", "A4", "13", "23"},
        {"=A1+A2+A3+A4", "A4", "16", "26"},    {"=A1+A2+Third", "A3", "13", "23"},
        {"=Third+A1+A2+A4", "A4", "16", "26"}, {"=SUM(A1:A2)+A4+Third+A3", "A2", "21", "31"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.formula);
        GXDestroySheet(sheet);
        sheet = GXCreateSheet();
        GXSetRecalcMethod(sheet, 1);
        for (int row = 1; row <= 4; ++row) {
            Set("A" + std::to_string(row), std::to_string(row));
        }
        ASSERT_TRUE(GXSetRangeName(sheet, "Third", GXMakeCell(3, 0)));
        Set("C1", c.formula);
        GXRecalc(sheet);
        Set(c.changed, "10");
        Changed(c.changed);
        GXRecalc(sheet);
        EXPECT_EQ(Text("C1"), c.first);

        GXInsertRows(sheet, 1, 1);
        auto [row, col] = At(c.changed);
        std::string moved = GXColumnName(col) + std::to_string(row + 1);
        Set(moved, "20");
        Changed(moved);
        GXRecalc(sheet);
        EXPECT_EQ(Text("C2"), c.second);
    }
}

TEST_F(RecalcTest, AsNeededComputesWhenRead) {
    GXSetRecalcMethod(sheet, 0);
    Set("A1", "1");
    Set("B1", "=A1+1");
    GXRecalc(sheet);
    Set("A1", "4");
    Changed("A1");
    GXRecalc(sheet);
    GXEngineCell* b1 = GXFindCell(Sheet(), 1, 1);
    EXPECT_FALSE(b1->has(GX_CF_COMPUTED));
    EXPECT_EQ(Text("B1"), "5");
}

TEST_F(RecalcTest, ManualRecalculationWaitsForRecalcAll) {
    Set("A1", "1");
    Set("B1", "=A1+1");
    GXRecalc(sheet);
    GXSetManualRecalc(sheet, 1);
    Set("A1", "7");
    Changed("A1");
    EXPECT_EQ(GXRecalc(sheet), 0);
    EXPECT_EQ(Text("B1"), "2");
    EXPECT_EQ(GXRecalcAll(sheet), 1);
    EXPECT_EQ(Text("B1"), "8");
    EXPECT_EQ(GXGetManualRecalc(sheet), 1);
}

TEST_F(RecalcTest, CyclesShowCycleWithoutIteration) {
    Set("A1", "=B1");
    Set("B1", "=A1");
    Set("C1", "=C1+1");
    GXRecalc(sheet);
    EXPECT_EQ(Text("A1"), "Cycle!");
    EXPECT_EQ(Text("B1"), "Cycle!");
    EXPECT_EQ(Text("C1"), "Cycle!");
}

TEST_F(RecalcTest, ATwoCellCycleIteratesAndStops) {
    ASSERT_EQ(GXSetIterationCount(sheet, 10), 1);
    GXSetBlanksAreZero(sheet, 1);
    Set("A1", "=B1+1");
    Set("B1", "=A1");
    ASSERT_EQ(GXRecalc(sheet), 1);
    EXPECT_EQ(Sheet().recalcState, 0);
    EXPECT_NE(Text("A1"), "Cycle!");
    // Each pass B1 reads A1 before A1 is computed anew: eleven passes, A1 one ahead.
    EXPECT_EQ(Text("A1"), "11");
    EXPECT_EQ(Text("B1"), "10");
}

TEST_F(RecalcTest, CyclesIterateTheGivenNumberOfPasses) {
    ASSERT_EQ(GXSetIterationCount(sheet, 10), 1);
    GXSetBlanksAreZero(sheet, 1);
    Set("A1", "=A1+1");
    GXRecalc(sheet);
    // The first pass and ten more, each adding one.
    EXPECT_EQ(Text("A1"), "11");
    GXRecalc(sheet);
    EXPECT_EQ(Text("A1"), "22");
}

TEST_F(RecalcTest, ConstraintsAreCheckedAndCounted) {
    Set("A1", "0");
    Set("B1", "=1;A1>0");
    Set("B2", "=2;#{-1,-1}>0");
    ASSERT_EQ(GXSetConstraintCheck(sheet, 1), 1);
    EXPECT_EQ(GXRecalcPass(Sheet()), 2);
    std::string message;
    ASSERT_TRUE(GXGetMessage(sheet, message));
    EXPECT_EQ(message, "There are 2 constraint violations!");
    EXPECT_TRUE(GXFindCell(Sheet(), 1, 1)->has(GX_CF_VIOLATED));
    GXResetMessage(sheet);
    Set("B2", "=2");
    GXRecalc(sheet);
    ASSERT_TRUE(GXGetMessage(sheet, message));
    EXPECT_EQ(message, "There is 1 constraint violation!");
    GXResetMessage(sheet);
    Set("A1", "1");
    Changed("A1");
    GXRecalc(sheet);
    EXPECT_FALSE(GXGetMessage(sheet, message));
    EXPECT_FALSE(GXFindCell(Sheet(), 1, 1)->has(GX_CF_VIOLATED));
    EXPECT_EQ(Text("B1"), "1") << "the constraint is no dependency of the value";
}

TEST_F(RecalcTest, ALongChainNeedsNoDeepStack) {
    const int n = 100000;
    ASSERT_EQ(GXSetNumber(sheet, 1, 0, 1), 1);
    for (int row = 2; row <= n; ++row) {
        ASSERT_EQ(GXSetFormula(sheet, row, 0, "=A" + std::to_string(row - 1) + "+1"), 1);
    }
    // Computing the last cell first walks the whole chain down before anything is computed.
    EXPECT_EQ(GXGetCellText(sheet, n, 0), std::to_string(n));
}

// A pass remembers each formula's references; moving them, deleting a name a formula uses and
// pointing a name elsewhere must each be seen by the next pass.
TEST_F(RecalcTest, EditedReferencesAreFollowedByTheNextPass) {
    Set("A1", "1");
    Set("C1", "1");
    Set("E1", "1");
    ASSERT_TRUE(GXSetRangeName(sheet, "Near", GXMakeCell(1, 2)));
    ASSERT_TRUE(GXSetRangeName(sheet, "Moving", GXMakeCell(1, 4)));
    Set("B5", "=A1*2");
    Set("D5", "=Near*2");
    Set("F5", "=Moving*2");
    for (const char* cell : {"A1", "C1", "E1"}) {
        Changed(cell);
    }
    ASSERT_EQ(GXRecalc(sheet), 1);
    EXPECT_EQ(Text("B5") + Text("D5") + Text("F5"), "222");

    GXInsertRows(sheet, 1, 1);  // A1 is now A2, B5 is B6
    ASSERT_TRUE(GXDeleteRangeName(sheet, "Near"));
    ASSERT_TRUE(GXSetRangeName(sheet, "Moving", GXMakeCell(1, 6)));
    Set("A2", "3");
    Set("C2", "4");
    Set("G1", "5");
    for (const char* cell : {"A2", "C2", "G1"}) {
        Changed(cell);
    }
    ASSERT_EQ(GXRecalc(sheet), 1);
    EXPECT_EQ(Text("B6"), "6");
    EXPECT_EQ(Text("D6"), "8");
    EXPECT_EQ(Text("F6"), "10");
}

// A1 is entered first and waits for A3, which is computed before A2: cells computed ahead of
// the walk must not change the order in which calls happen or errors are reported.
TEST_F(RecalcTest, ACellThatWaitsKeepsTheOrderOfCallsAndMessages) {
    GXGetEngineState().SetWorksheetFunctions(std::make_unique<TickFunctions>());
    Set("B1", "=SEQ()");
    Set("B2", "=B1+1");
    Set("A1", "=A3");
    Set("A2", "=SEQ()");
    Set("A3", "=SEQ()");
    Set("D1", "1");
    Set("C1", "=C3");
    Set("C2", "=D1/0");
    Set("C3", "=D1/0");
    GXResetMessage(sheet);
    g_ticks = 0;
    ASSERT_EQ(GXRecalc(sheet), 1);
    EXPECT_EQ(Text("B1") + Text("B2") + Text("A3") + Text("A1") + Text("A2"), "12223");
    std::string message;
    ASSERT_TRUE(GXGetMessage(sheet, message));
    EXPECT_EQ(message.rfind("Cell C3: ", 0), 0u) << message;
}

// Formulas listed before the cells they read, far enough apart that the pass lists, marks and
// computes the early ones before it reaches the late ones: a late cell's flags from the pass
// before must not pass for this pass's, and the first error reported is still the walk's. A
// full block of 32 formulas is listed after the block begun after it.
TEST_F(RecalcTest, ACellListedLaterIsNotTakenForComputedBeforeItsTurn) {
    Set("A1", "1");
    auto fill = [&](int from, int to) {
        for (int row = from; row <= to; ++row) {
            Set("D" + std::to_string(row), "=A1+" + std::to_string(row));
        }
    };
    fill(1, 20);
    Set("C40", "=A1*2");
    Set("E40", "=1/(A1-5)");
    fill(21, 30);
    Set("B1", "=C40+1");
    Set("E1", "=E40");
    Set("E2", "=1/(A1-5)");
    ASSERT_EQ(GXRecalc(sheet), 1);
    EXPECT_EQ(Text("B1"), "3");
    Set("A1", "5");
    Changed("A1");
    GXResetMessage(sheet);
    ASSERT_EQ(GXRecalc(sheet), 1);
    EXPECT_EQ(Text("B1") + " " + Text("D30") + " " + Text("C40"), "11 35 10");
    std::string message;
    ASSERT_TRUE(GXGetMessage(sheet, message));
    EXPECT_EQ(message.rfind("Cell E40: ", 0), 0u) << message;
    // A change that reaches no formula computes nothing and leaves every value as it was.
    Set("Z9", "3");
    Changed("Z9");
    ASSERT_EQ(GXRecalc(sheet), 1);
    EXPECT_EQ(Text("B1") + " " + Text("D30") + " " + Text("C40"), "11 35 10");
}

// A chain listed from its end computes as one listed from its start.
TEST_F(RecalcTest, AChainComputesWhicheverEndIsListedFirst) {
    for (bool fromEnd : {false, true}) {
        GXResetEngineState();
        sheet = GXCreateSheet();
        GXSetRecalcMethod(sheet, 1);
        const int n = 2000;
        ASSERT_EQ(GXSetNumber(sheet, 1, 0, 1), 1);
        for (int i = 0; i < n - 1; ++i) {
            int row = fromEnd ? n - i : i + 2;
            ASSERT_EQ(GXSetFormula(sheet, row, 0, "=A" + std::to_string(row - 1) + "+1"), 1);
        }
        ASSERT_EQ(GXRecalc(sheet), 1);
        EXPECT_EQ(GXGetCellText(sheet, n, 0), std::to_string(n)) << fromEnd;
        ASSERT_EQ(GXSetNumber(sheet, 1, 0, 5), 1);
        GXAddChangedRange(sheet, GXMakeCell(1, 0));
        ASSERT_EQ(GXRecalc(sheet), 1);
        EXPECT_EQ(GXGetCellText(sheet, n, 0), std::to_string(n + 4)) << fromEnd;
    }
}

TEST_F(RecalcTest, OptionsRefuseValuesOutOfRange) {
    EXPECT_EQ(GXSetIterationCount(sheet, 100), 1);
    EXPECT_EQ(GXSetIterationCount(sheet, 101), 0);
    EXPECT_EQ(GXSetIterationCount(sheet, -1), 0);
    EXPECT_EQ(GXGetIterationCount(sheet), 100);
    for (auto setter :
         {GXSetManualRecalc, GXSetRecalcMethod, GXSetConstraintCheck, GXSetBlanksAreZero}) {
        EXPECT_EQ(setter(sheet, 2), 0);
        EXPECT_EQ(setter(sheet, 1), 1);
    }
}

}  // namespace
}  // namespace formula::test

namespace formula::test {
namespace {

TEST_F(RecalcTest, ArrayResultsFillTheirBlockAndFollowTheAnchor) {
    Set("A1", "1");
    Set("B1", "2");
    Set("C1", "3");
    Set("A3", "=TRANSPOSE(A1:C1)");
    GXRecalc(sheet);
    EXPECT_EQ(Text("A3"), "1");
    EXPECT_EQ(Text("A4"), "2");
    EXPECT_EQ(Text("A5"), "3");
    Set("B1", "20");
    Changed("B1");
    GXRecalc(sheet);
    EXPECT_EQ(Text("A4"), "20");
    EXPECT_EQ(Eval("=A4+A5"), "23");
    // A block that would pass the last column is refused before anything is written.
    ASSERT_EQ(GXSetFormula(sheet, 1, GX_MAX_COL, "=TRANSPOSE(A3:A5)"), 1);
    EXPECT_EQ(GXGetCellText(sheet, 1, GX_MAX_COL), "Error!");
    GXCellValue v;
    EXPECT_EQ(GXGetCellValue(sheet, 1, GX_MAX_COL, v)->error, 112);
}

}  // namespace
}  // namespace formula::test
