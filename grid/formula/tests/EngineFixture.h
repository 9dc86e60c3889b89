// A fresh engine with the default functions and one sheet for every test.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "grid/formula/CellContents.h"
#include "grid/formula/EngineState.h"
#include "grid/formula/Evaluator.h"
#include "grid/formula/NumberText.h"
#include "grid/formula/RangeRef.h"
#include "grid/formula/Recalc.h"

namespace formula::test {

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        GXResetEngineState();
        GXGetEngineState().UseDefaultWorksheetFunctions();
        sheet = GXCreateSheet();
    }
    void TearDown() override { GXResetEngineState(); }

    GXEngineSheet& Sheet() { return *GXGetSheet(sheet); }

    // "A1" style address to (row, col).
    static std::pair<int, int> At(const std::string& address) {
        GXRangeRef r;
        EXPECT_TRUE(GXParseRef(address, r)) << address;
        return {r.firstRow(), r.firstCol()};
    }
    void Set(const std::string& address, const std::string& input) {
        auto [row, col] = At(address);
        if (!input.empty() && input[0] == '=') {
            ASSERT_EQ(GXSetFormula(sheet, row, col, input), 1)
                << input << " error " << GXGetEngineState().lastError;
        } else if (size_t used = 0; GXStrToD(input, &used), used == input.size() && used > 0) {
            ASSERT_EQ(GXSetNumber(sheet, row, col, GXStrToD(input)), 1);
        } else {
            ASSERT_EQ(GXSetText(sheet, row, col, input), 1);
        }
    }
    // Rows of values from the cell `at` on.
    void Fill(const std::string& at,
              std::initializer_list<std::initializer_list<const char*>> rows) {
        auto [row, col] = At(at);
        for (auto r : rows) {
            int c = col;
            for (const char* v : r) {
                Set(GXColumnName(c) + std::to_string(row), v);
                ++c;
            }
            ++row;
        }
    }

    std::string Text(const std::string& address) {
        auto [row, col] = At(address);
        return GXGetCellText(sheet, row, col);
    }
    // The value of a formula evaluated in cell Z100: its display, or "E<n>" for an error.
    std::string Eval(const std::string& text) {
        GXValue v;
        GXEvaluateText(sheet, text, 100, 25, v);
        switch (v.type) {
            case GX_VT_NUMBER:
                return GXFormatNumber(v.number);
            case GX_VT_STRING:
                return "'" + v.text;
            case GX_VT_ERROR:
                return "E" + std::to_string(v.error);
            case GX_VT_NA:
                return "#N/A";
            case GX_VT_CELL:
                return "cell " + GXRefToText(v.ref).value_or("?");
            case GX_VT_RANGE:
                return "range " + GXRefToText(v.ref).value_or("?");
            default:
                return "?";
        }
    }

    int sheet = 0;
};

}  // namespace formula::test
