#include "EngineFixture.h"
#include "grid/formula/ErrorMessages.h"
#include "grid/formula/WorksheetFunctions.h"

namespace formula::test {
namespace {

// DATE stands for an entry whose handler is missing.
class EvaluatorTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        const_cast<GXWorksheetFunctionEntry*>(GXLookupWorksheetFunction("DATE"))->handler = nullptr;
    }
};

TEST_F(EvaluatorTest, OperatorsGiveTheirResultsAndErrors) {
    Set("A1", "5");
    Set("A2", "abc");
    Set("A3", "2");
    const std::pair<const char*, const char*> cases[] = {
        {"=1+2*3", "7"},
        {"=(1+2)*3", "9"},
        {"=7-10", "-3"},
        {"=1/4", "0.25"},
        {"=1/0", "E70"},
        {"=2**0.5", "1.4142135623731"},
        {"=(-8)**(1/3)", "E70"},
        {"=10**400", "E70"},
        {"=0**(-1)", "E70"},
        {"=-2**2", "-4"},
        {"=2**3**2", "64"},
        {"=10%3", "1"},
        {"=-7%3", "-1"},
        {"=5%0", "E122"},
        {"=10%", "0.1"},
        {"=10%+1", "1.1"},
        {"=1&&0", "0"},
        {"=2&&3", "1"},
        {"=0||0", "0"},
        {"=0||1/0", "E70"},
        {"=1||1/0", "1"},
        {"=0&&1/0", "0"},
        {"=!0", "1"},
        {"=!5", "0"},
        {"=\"ab\"&\"cd\"", "'abcd"},
        {"=\"ab\"&1", "E140"},
        {"=6&3", "2"},
        {"=A1&A3", "0"},
        {"=A1:A3&1", "E91"},
        {"=6|3", "7"},
        {"=6^3", "5"},
        {"=~0", "-1"},
        {"=1<<4", "16"},
        {"=1<<33", "2"},
        {"=-16>>2", "-4"},
        {"=4294967295|0", "-1"},
        {"=4294967296|0", "E136"},
        {"=\"a\"<1", "1"},
        {"=1<\"a\"", "0"},
        {"=\"a \"==\"a\"", "1"},
        {"=\" \"==\"\"", "0"},
        {"=\"b\">\"a\"", "1"},
        {"=2>=2", "1"},
        {"=2<=1", "0"},
        {"=2!=1", "1"},
        {"=2=2", "1"},
        {"=A1:A3<1", "E93"},
        {"=A1:A3==1", "E94"},
        {"=A1:A3!=1", "E90"},
        {"=A1:A3>1", "E96"},
        {"=A1:A3<=1", "E92"},
        {"=A1:A3>=1", "E95"},
        {"=1?2:3", "2"},
        {"=0?1/0:3", "3"},
        {"=A1+1", "6"},
        {"=A2+1", "E128"},
        {"=B9+1", "E128"},
        {"=\"1\"+1", "E128"},
        {"=A1:A3+1", "E128"},
        {"=??", "E89"},
        {"=??+1", "E89"},
        {"=A1..A3", "range A1..A3"},
        {"=A1:@ABS(1)", "E141"},
        {"=#{1,2}", "cell AA102"},
        {"=#{-25,-99}", "cell A1"},
        {"=#{-25,-100}", "E110"},
        {"=#{4071}", "E110"},
        {"=#{-1-A1, 1}", "cell T101"},
        {"=ABS(-2)", "2"},
        {"=ABS(\"-3x\")", "3"},
        {"=ABS(A2)", "0"},
        {"=ABS(B9)", "0"},  // a blank number argument reads 0
        {"=SUM(A1:A3, 1, \"7\")", "8"},
        {"=SUM(1/0)", "E70"},
        {"=IF(A1>4, \"big\", 1/0)", "'big"},
        {"=IF(0, 1/0, A1)", "cell A1"},
        {"=PI()", "3.1415926535898"},
        {"=DATE(1,1,1)", "E166"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(Eval(text), expected) << text;
    }
}

TEST_F(EvaluatorTest, BlankCellsCountAsZeroWhenTheSheetSaysSo) {
    EXPECT_EQ(Eval("=B9+1"), "E128");
    ASSERT_EQ(GXSetBlanksAreZero(sheet, 1), 1);
    EXPECT_EQ(Eval("=B9+1"), "1");
    EXPECT_EQ(Eval("=ABS(B9)"), "0");
}

TEST_F(EvaluatorTest, CellResultsAndTheirDisplay) {
    const std::pair<const char*, const char*> cases[] = {
        {"=1/0", "Error!"},
        {"=A1..B2", "Error!"},
        {"=2**0.5", "1.4142135623731"},
        {"=\"ab\"&\"cd\"", "abcd"},
        {"=C9", "Error!"},
        {"=1e15*3", "3e+15"},
        {"=\"x\"", "x"},
        {"=DATE(1,1,1)", "Error!"},
    };
    int row = 1;
    for (const auto& [text, display] : cases) {
        ASSERT_EQ(GXSetFormula(sheet, row, 3, text), 1) << text;
        EXPECT_EQ(GXGetCellText(sheet, row, 3), display) << text;
        ++row;
    }
}

TEST_F(EvaluatorTest, AnErrorTakesTheMessageSlotOnce) {
    Set("B3", "=1/0");
    EXPECT_EQ(Text("B3"), "Error!");
    std::string message;
    ASSERT_TRUE(GXGetMessage(sheet, message));
    EXPECT_EQ(message, "Cell B3: ERROR:  divide by zero ");
    Set("B4", "=DATE(1,1,1)");
    EXPECT_EQ(Text("B4"), "Error!");
    ASSERT_TRUE(GXGetMessage(sheet, message));
    EXPECT_EQ(message, "Cell B3: ERROR:  divide by zero ") << "the slot is taken";
    GXResetMessage(sheet);
    Set("B5", "=DATE(2,1,1)");
    EXPECT_EQ(Text("B5"), "Error!");
    ASSERT_TRUE(GXGetMessage(sheet, message));
    EXPECT_EQ(message, "Cell B5: ERROR: DATE function not installed ");
    EXPECT_EQ(GXGetEngineState().lastError, 166);
    EXPECT_EQ(GXGetEngineState().errorFlag, 1);
}

TEST_F(EvaluatorTest, ConstantsAndTextsAreStoredAsTyped) {
    Set("A1", "=0");
    GXCellValue v;
    GXEngineCell* cell = GXGetCellValue(sheet, 1, 0, v);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->kind(), GX_CELL_NUMBER);
    EXPECT_FALSE(cell->formula);
    Set("A2", "=0x10");
    cell = GXGetCellValue(sheet, 2, 0, v);
    EXPECT_EQ(cell->kind(), GX_CELL_CONST_FORMULA);
    EXPECT_EQ(v.kind, GX_VAL_NUMBER);
    EXPECT_EQ(v.number, 16);
    ASSERT_EQ(GXSetText(sheet, 3, 0, "a\\tb\\\"c"), 1);
    GXGetCellValue(sheet, 3, 0, v);
    EXPECT_EQ(v.text, "a\\tb\\\"c") << "escapes are decoded only in string literals";
    EXPECT_EQ(GXGetCellValue(sheet, 3, 0, v)->valueKind(), GX_VAL_SHORT_TEXT);
    ASSERT_EQ(GXSetText(sheet, 3, 0, "nine char"), 1);
    EXPECT_EQ(GXGetCellValue(sheet, 3, 0, v)->valueKind(), GX_VAL_LONG_TEXT);
    EXPECT_EQ(GXSetText(sheet, 4, 0, std::string(511, 'x')), 1);
    EXPECT_EQ(GXSetText(sheet, 5, 0, std::string(512, 'x')), 0);
    EXPECT_EQ(GXGetEngineState().lastError, GX_ERR_STRING_TOO_LONG);
    EXPECT_EQ(GXGetCellValue(sheet, 9, 9, v), nullptr);
    EXPECT_EQ(v.kind, GX_VAL_EMPTY);
}

TEST_F(EvaluatorTest, SettersRefuseCellsOutsideTheSheet) {
    EXPECT_EQ(GXSetNumber(sheet, 0x7FFFFF, 4095, 1), 1);
    EXPECT_EQ(GXSetNumber(sheet, 0, 0, 1), 0);
    EXPECT_EQ(GXSetNumber(sheet, 0x800000, 0, 1), 0);
    EXPECT_EQ(GXSetNumber(sheet, 1, 4096, 1), 0);
    EXPECT_EQ(GXSetText(sheet, 1, -1, "x"), 0);
    EXPECT_EQ(GXSetFormula(sheet, 0, 0, "=1"), 0);
}

TEST_F(EvaluatorTest, AFailedParseLeavesTheOldCell) {
    Set("A1", "=2+3");
    EXPECT_EQ(GXSetFormula(sheet, 1, 0, "=2+"), 0);
    EXPECT_EQ(GXGetEngineState().lastError, 274);
    EXPECT_EQ(Text("A1"), "5");
}

TEST_F(EvaluatorTest, AFormulaTooLongToWriteBackIsRefused) {
    // 203 characters of source; each raw DEL byte of the literal is written back as "\177".
    std::string text = "=\"" + std::string(200, '\x7f') + "\"";
    EXPECT_EQ(GXSetFormula(sheet, 1, 0, text), 0);
    EXPECT_EQ(GXGetEngineState().lastError, GX_ERR_STRING_TOO_LONG);
}

}  // namespace
}  // namespace formula::test
