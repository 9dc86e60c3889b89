// Lookup and reference functions. The first table's values were computed by Gnumeric 1.12.55
// (an independent spreadsheet) with
//     python3 grid/formula/tests/reference/worksheet_reference.py lookup
// where a row's comment names Gnumeric's formula when it differs from ours. This engine's own
// conventions, where another spreadsheet differs on purpose:
//   - columns, lookup offsets and the CHOOSE selector count from 0 (rows from 1);
//   - MATCH counts only the cells it visits (numbers for a number key), gives 0 for no match,
//     and compares texts byte for byte;
//   - an empty key cell of VLOOKUP and HLOOKUP reads as the number 0.
#include "FunctionCases.h"

namespace formula::test {
namespace {

class LookupFunctionsTest : public FunctionTest {
protected:
    void SetUp() override {
        FunctionTest::SetUp();
        const char* cells[][2] = {{"A1", "10"},     {"A2", "20"},     {"A3", "30"},  {"B1", "ten"},
                                  {"B2", "twenty"}, {"B3", "thirty"}, {"C1", "1"},   {"C2", "2"},
                                  {"C3", "3"},      {"D1", "x"},      {"D2", "abc"}, {"D3", "abd"},
                                  {"E1", "1"},      {"E3", "3"},      {"E4", "5"}};
        for (const auto& [address, input] : cells) {
            Set(address, input);
        }
    }
};

TEST_F(LookupFunctionsTest, ValuesAgreeWithAnIndependentSpreadsheet) {
    Check({
        {R"(=VLOOKUP(15,A1:C3,1))", "'ten"},           // =VLOOKUP(15,A1:C3,2)
        {R"(=VLOOKUP(20,A1:C3,2))", "2"},              // =VLOOKUP(20,A1:C3,3)
        {R"(=VLOOKUP(35,A1:C3,1))", "'thirty"},        // =VLOOKUP(35,A1:C3,2)
        {R"(=VLOOKUP(30,A1:C3,0))", "30"},             // =VLOOKUP(30,A1:C3,1)
        {R"(=VLOOKUP("abd",D1:D3,0))", "'abd"},        // =VLOOKUP("abd",D1:D3,1,FALSE)
        {R"(=HLOOKUP(2,C1:E1,0))", "1"},               // =HLOOKUP(2,C1:E1,1)
        {R"(=HLOOKUP("thirty",B3:C3,0))", "'thirty"},  // =HLOOKUP("thirty",B3:C3,1,FALSE)
        {R"(=HLOOKUP(10,A1:A3,2))", "30"},             // =HLOOKUP(10,A1:A3,3)
        {R"(=MATCH(20,A1:A3,0))", "2"},
        {R"(=MATCH(25,A1:A3,1))", "2"},
        {R"(=MATCH(25,A1:A3))", "2"},
        {R"(=MATCH("a*",D1:D3,0))", "2"},
        {R"(=MATCH("ab?",D1:D3,0))", "2"},
        {R"(=MATCH(2,C1:C3,-1))", "2"},
        {R"(=ROW(B3))", "3"},
        {R"(=ROWS(A1:C3))", "3"},
        {R"(=COLS(A1:C3))", "3"},           // =COLUMNS(A1:C3)
        {R"(=COL(C2))", "2"},               // =COLUMN(C2)-1
        {R"(=CHOOSE(0,"a","b"))", "'a"},    // =CHOOSE(1,"a","b")
        {R"(=CHOOSE(1.9,"a","b"))", "'b"},  // =CHOOSE(2.9,"a","b")
        {R"(=SUM(INDEX(A1:C3,2,3)))", "2"},
        {R"(=SUM(INDEX(A1:C3,0,3)))", "6"},   // =SUM(C1:C3)
        {R"(=SUM(INDEX(A1:C3,2,0)))", "22"},  // =SUM(A2:C2)
        {R"(=SUM(INDEX(A1:A3,3)))", "30"},
        {R"(=SUM(@@("A1..A3")))", "60"},                // =SUM(INDIRECT("A1:A3"))
        {R"(=CELLINFO("row",C2))", "2"},                // =CELL("row",C2)
        {R"(=CELLINFO("contents",B2)&"")", "'twenty"},  // =CELL("contents",B2)&""
        {R"(=CELLINFO("type",B2))", "'l"},              // =CELL("type",B2)
        {R"(=CELLINFO("type",A1))", "'v"},              // =CELL("type",A1)
        {R"(=CELLINFO("type",F9))", "'b"},              // =CELL("type",F9)
        {R"(=SUM(INTERSECT(A1:C3,C2:E4)))", "5"},       // =SUM(A1:C3 C2:E4)
        {R"(=SUM(CELLREF(2,3)))", "3"},                 // =SUM(C3)
        {R"(=SUM(RANGEREF(0,1,2,2)))", "33"},           // =SUM(A1:C2)
    });
}

TEST_F(LookupFunctionsTest, TableLookups) {
    Check({
        {"=VLOOKUP(5,A1:C3,1)", "E115"},
        {"=VLOOKUP(15,A1:C3,3)", "E62"},
        {"=VLOOKUP(15,A1:C3,-1)", "E62"},
        {"=VLOOKUP(\"zz\",D1:D3,0)", "E115"},
        {"=VLOOKUP(A1:A2,A1:C3,0)", "E98"},
        {"=VLOOKUP(1/0,A1:C3,0)", "E70"},
        {"=VLOOKUP(\"twenty\",B1:C3,1)", "2"},
        {"=HLOOKUP(2,C1:E1,1)", "E151"},
        {"=HLOOKUP(5,C1:E1,0)", "1"},
        // Empty key cells read as 0: past the data the last row of the table matches.
        {"=VLOOKUP(35,A1:B9,1)", "0"},
        {"=VLOOKUP(15,A1:B8388607,1)", "'ten"},
        {"=VLOOKUP(-1,A4:B8388607,1)", "E115"},
        {"=VLOOKUP(0,A4:B8388607,0)", "0"},
        // Gnumeric counts the blank E2 and gives 3; its MATCH(4,E1:E4,-1) needs descending data.
        {"=MATCH(4,E1:E4,1)", "2"},
        {"=MATCH(4,E1:E4,-1)", "3"},
        {"=MATCH(4,E1:E4,0)", "0"},
        {"=MATCH(\"A*\",D1:D3,0)", "0"},
        {"=MATCH(\"*\",D1:D3,0)", "1"},
        {"=MATCH(\"a*c\",D1:D3,0)", "2"},
        {"=MATCH(\"a*\",D1:D3,1)", "E302"},
        {"=MATCH(1,A1:C3)", "E103"},
        {"=MATCH(1,2)", "E98"},
        {"=MATCH(25,A1:A3,-7)", "3"},
    });
}

TEST_F(LookupFunctionsTest, ReferencesAndMeasures) {
    Check({
        {"=CELLREF(0,1)", "cell A1"},
        {"=CELLREF(4096,1)", "E110"},
        {"=CELLREF(0,0)", "E110"},
        {"=CELLREF(0,8388608)", "E110"},
        {"=RANGEREF(3,10,1,2)", "range D10..B2"},
        {"=SUM(RANGEREF(2,3,0,1))", "66"},
        {"=RANGEREF(0,0,1,1)", "E112"},
        {"=RANGEREF(0,1,4096,1)", "E112"},
        {"=INDEX(B2:D2,2)", "cell C2"},
        {"=INDEX(B2:D4,0,2)", "range C2..C4"},
        {"=INDEX(B2:D4,3,0)", "range B4..D4"},
        {"=INDEX(B2:D4,4,1)", "E55"},
        {"=INDEX(B2:D4,1,-1)", "E55"},
        {"=INDEX(B2:D4,0,0)", "E135"},
        {"=INDEX(B2:D4,2)", "E165"},
        {"=INDEX(A1:A3,0)", "E55"},
        {"=INDEX(1,1)", "E98"},
        {"=INTERSECT(A1:B2,C3:D4)", "#N/A"},
        {"=INTERSECT(A1:B2,B2:C3)", "cell B2"},
        {"=INTERSECT(A1:C3,B2:D4)", "range B2..C3"},
        {"=ROW()", "100"},
        {"=COL()", "25"},
        {"=ROW(A3:C5)", "3"},
        {"=COL(B2:C3)", "1"},
        {"=ROW(1)", "E98"},
        {"=ROW(1/0)", "E70"},
        {"=ROWS(A1)", "1"},
        {"=COLS()", "E165"},
        {"=ROWS(1)", "E98"},
        {"=CELLINFO(\"ROW\",C2)", "2"},
        {"=CELLINFO(\"Col\",C2)", "2"},
        {"=CELLINFO(\"address\",$C$2)", "'$C$2"},
        {"=CELLINFO(\"address\",A1:B2)", "'A1..B2"},
        {"=CELLINFO(\"contents\",C2)", "cell C2"},
        {"=CELLINFO(\"TYPE\",F9)", "'b"},
        {"=CELLINFO(\"width\",A1)", "E97"},
        {"=CELLINFO(1,A1)", "E98"},
        {"=CELLINFO(\"row\",1)", "E98"},
        {"=NA()", "#N/A"},
        {"=@@(\"A1\")", "cell A1"},
        {"=@@(\"$B$2..C3\")", "range $B$2..C3"},
        {"=@@(\"nonsense\")", "E54"},
        {"=@@(1)", "E98"},
    });
}

TEST_F(LookupFunctionsTest, ChooseEvaluatesOnlyTheSelectedValue) {
    Check({
        {"=CHOOSE(2,\"a\",\"b\")", "E155"},
        {"=CHOOSE(-1,\"a\")", "E155"},
        {"=CHOOSE(A1:A2,1)", "E85"},
        {"=CHOOSE(1,1/0,2)", "2"},
        {"=CHOOSE(0,1/0,2)", "E70"},
        {"=CHOOSE(0,A1)", "cell A1"},
    });
}

}  // namespace
}  // namespace formula::test
