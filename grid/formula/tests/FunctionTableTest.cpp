#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "EngineFixture.h"
#include "FunctionCases.h"
#include "grid/formula/FunctionArgs.h"
#include "grid/formula/Parser.h"
#include "grid/formula/WorksheetFunctions.h"

namespace formula::test {
namespace {

using FunctionTableTest = EngineTest;

TEST_F(FunctionTableTest, TableIsCompleteAndSortedInByteOrder) {
    const auto& table = GXBuiltinFunctionTable();
    ASSERT_EQ(table.size(), 227u);
    EXPECT_STREQ(table.front().name, "@");
    for (size_t i = 1; i < table.size(); ++i) {
        EXPECT_LT(std::strcmp(table[i - 1].name, table[i].name), 0) << table[i].name;
    }
    for (const auto& e : table) {
        EXPECT_LE(e.argCount, 9) << e.name;
    }
}

TEST_F(FunctionTableTest, LookupIsExactAndNullWithoutASet) {
    auto* set = GXGetEngineState().WorksheetFunctions();
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(set->LookupFunction("sum"), nullptr);
    const GXWorksheetFunctionEntry* sum = set->LookupFunction("SUM");
    ASSERT_NE(sum, nullptr);
    EXPECT_EQ(sum->external, 4);
    EXPECT_EQ(sum->args[0].kind, GX_ARG_LIST);
    EXPECT_EQ(sum->args[0].flags, GX_ARGF_REPEATING);
    EXPECT_NE(set->LookupFunction("@"), nullptr);
    EXPECT_NE(set->LookupFunction("LOG10"), set->LookupFunction("LOG"));
    EXPECT_NE(set->LookupFunction("LOG2"), nullptr);
    EXPECT_EQ(set->LookupFunction("NOSUCH"), nullptr);
    const GXWorksheetFunctionEntry* choose = set->LookupFunction("CHOOSE");
    ASSERT_NE(choose, nullptr);
    EXPECT_EQ(choose->args[1].flags, GX_ARGF_REPEATING | GX_ARGF_UNEVALUATED);
    EXPECT_EQ(choose->resultKind, GX_RESULT_ANY);
    GXGetEngineState().SetWorksheetFunctions(nullptr);
    EXPECT_EQ(GXLookupWorksheetFunction("SUM"), nullptr);
    EXPECT_EQ(Eval("=SUM(1)"), "E227");
}

TEST_F(FunctionTableTest, FormulasFindNamesInAnyCase) {
    EXPECT_EQ(Eval("=sum(1,2)"), "3");
    EXPECT_EQ(Eval("=Abs(-1)"), "1");
}

TEST_F(FunctionTableTest, TheParserChecksArgumentCountsOfEveryEntry) {
    for (const auto& e : GXBuiltinFunctionTable()) {
        auto [required, optional, repeating] = ArgumentBoundsOf(e);
        auto call = [&](int args) {
            std::string text = std::string("=@") + (e.name[0] == '@' ? "@" : e.name) + "(";
            for (int i = 0; i < args; ++i) {
                text += i ? ",A1" : "A1";
            }
            GXFormula f;
            return GXParseFormulaText(&Sheet(), text + ")", f).error;
        };
        EXPECT_EQ(call(required + optional), 0) << e.name;
        if (required > 0) {
            EXPECT_EQ(call(required - 1), GX_ERR_NOT_ENOUGH_ARGS) << e.name;
        }
        EXPECT_EQ(call(required + optional + 1), repeating ? 0 : GX_ERR_TOO_MANY_ARGS) << e.name;
    }
}

void Twice(GXValue& result, GXCallFrame& frame) {
    result = GXValue::Number(2 * GXNumericArgument(frame));
}

TEST_F(FunctionTableTest, RegistryRefusesDuplicates) {
    GXHandlerRegistry registry;
    registry.Add("ABS", Twice);
    EXPECT_THROW(registry.Add("ABS", Twice), std::logic_error);
}

TEST_F(FunctionTableTest, DisabledEntriesYieldZeroAndMissingHandlersAnError) {
    auto* set = GXGetEngineState().WorksheetFunctions();
    auto* abs = const_cast<GXWorksheetFunctionEntry*>(set->LookupFunction("ABS"));
    abs->disabled = 1;
    EXPECT_EQ(Eval("=ABS(-5)+1"), "1");
    abs->disabled = 0;
    const_cast<GXWorksheetFunctionEntry*>(set->LookupFunction("DATE"))->handler = nullptr;
    EXPECT_EQ(Eval("=DATE(1,1,1)"), "E166");
}

TEST_F(FunctionTableTest, SharedArgumentRoutines) {
    Set("A1", " -12.5");
    Set("A2", "abc");
    Set("A3", "=1/0");
    Set("A4", "2e1x");
    Set("A5", "-x");
    EXPECT_EQ(Eval("=ABS(A1)"), "12.5");
    EXPECT_EQ(Eval("=SUM(A1:A2)"), "-12.5");
    EXPECT_EQ(Eval("=SUM(A1:A5)"), "E60");
    EXPECT_EQ(Eval("=SUM(A4,A5,A2)"), "20");
    EXPECT_EQ(Eval("=SUM(\"abc\",B1:B100)"), "0");
    std::string s;
    auto run = [](auto body) {
        try {
            body();
        } catch (const GXRaised& e) {
            return e.number;
        }
        return 0;
    };
    EXPECT_EQ(run([&] { GXCopyBounded(s, std::string(511, 'x')); }), 0);
    EXPECT_EQ(s.size(), 511u);
    EXPECT_EQ(run([&] { GXAppendBounded(s, "y"); }), GX_ERR_STRING_TOO_LONG);
    EXPECT_EQ(s.size(), 511u);
    EXPECT_EQ(run([&] { GXCopyBounded(s, std::string(600, 'x')); }), GX_ERR_STRING_TOO_LONG);
    EXPECT_EQ(s.size(), 511u);
    EXPECT_EQ(run([] { GXToInteger(4294967295.0); }), 0);
    EXPECT_EQ(run([] { GXToInteger(4294967296.0); }), GX_ERR_INT_PARAM_RANGE);
    EXPECT_EQ(run([] { GXToInteger(-2147483649.0); }), GX_ERR_INT_PARAM_RANGE);
    EXPECT_EQ(GXToInteger(-2147483648.5), -2147483648);
}

}  // namespace
}  // namespace formula::test
