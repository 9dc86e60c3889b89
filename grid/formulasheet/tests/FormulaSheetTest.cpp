#include "framework/persist/Archive.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/GXLibraryState.h"
#include "grid/formula/EngineState.h"
#include "grid/formula/ErrorMessages.h"
#include "grid/formulasheet/CGXFormulaSheet.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A sheet on a fresh engine with the default worksheet functions, and no grid library
// components: the typed-number rules below are those of a store without number recognition.
class FormulaSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        GXTerminateLibrary();
        formula::GXResetEngineState();
        formula::GXGetEngineState().UseDefaultWorksheetFunctions();
        sheet = std::make_unique<CGXFormulaSheet>();
        sheet->SetRowCount(20);
        sheet->SetColCount(10);
    }
    void TearDown() override {
        sheet.reset();
        formula::GXResetEngineState();
        GXTerminateLibrary();
    }
    // Typing into a cell the way the grid stores a typed value.
    void Type(ROWCOL row, ROWCOL col, const std::string& text) {
        CGXStyle s;
        s.SetValue(text);
        ASSERT_TRUE(sheet->StoreStyleAt(row, col, &s, gxOverride, gxValueStore));
        sheet->Recalc(false);
    }
    std::string Shown(ROWCOL row, ROWCOL col) { return sheet->GetValueText(row, col); }
    static Bytes Store(CGXFormulaSheet& s) {
        Bytes out;
        fw::Archive ar(fw::StoreTo{out});
        s.Serialize(ar);
        return out;
    }
    static void Load(CGXFormulaSheet& s, const Bytes& b) {
        fw::Archive ar(fw::LoadFrom{b});
        s.Serialize(ar);
        EXPECT_EQ(ar.Remaining(), 0u);
    }

    std::unique_ptr<CGXFormulaSheet> sheet;
};

TEST_F(FormulaSheetTest, TypedInputBecomesNumberTextOrFormula) {
    struct Case {
        const char* typed;
        const char* edit;   // the editing text afterwards
        const char* shown;  // the display text
        unsigned format;
    };
    const Case cases[] = {
        {"12", "12", "12", 11},   {"0.5", "0.5", "0.5", 13},    {"2.5", "2.5", "2.5", 18},
        {"'=1", "'=1", "=1", 0},  {"#N/A", "=NA()", "#N/A", 0}, {"#n/A", "=NA()", "#N/A", 0},
        {"=1+2", "=1+2", "3", 0}, {"abc", "'abc", "abc", 0},    {"'12", "'12", "12", 0},
        {"", "'", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        sheet->DeleteContents();
        Type(2, 3, c.typed);
        EXPECT_EQ(sheet->GetFormulaText(2, 3), c.edit);
        EXPECT_EQ(Shown(2, 3), c.shown);
        unsigned places = 99;
        EXPECT_EQ(sheet->GetFormat(2, 3, &places), c.format);
        if (c.format != 0) {
            EXPECT_EQ(places, 0u);
        }
    }
}

TEST_F(FormulaSheetTest, GridCoordinatesMapToEngineColumnsFromZero) {
    Type(1, 1, "5");
    Type(3, 2, "=A1*2");  // grid column 2 is B; A1 is grid cell (1, 1)
    EXPECT_EQ(Shown(3, 2), "10");
    EXPECT_EQ(sheet->GetNumberValue(3, 2), 10);
    EXPECT_FALSE(sheet->SetFormula(0x800000, 1, "=1")) << "past the engine's last row";
    EXPECT_FALSE(sheet->SetNumberValue(1, 4098, 1)) << "past the engine's last column";
}

TEST_F(FormulaSheetTest, ChangingAnInputRecalculatesItsDependants) {
    Type(1, 1, "2");
    Type(1, 2, "=A1*3");
    Type(1, 3, "=B1+A1");
    EXPECT_EQ(Shown(1, 3), "8");
    Type(1, 1, "5");
    EXPECT_EQ(Shown(1, 2), "15");
    EXPECT_EQ(Shown(1, 3), "20");
    EXPECT_TRUE(sheet->IsCellChanged(1, 3));
    sheet->SetCellChanged(1, 3, false);
    EXPECT_FALSE(sheet->IsCellChanged(1, 3));
}

TEST_F(FormulaSheetTest, RefusedFormulasLeaveTheCellAndExplainWhere) {
    Type(1, 1, "7");
    EXPECT_FALSE(sheet->SetFormula(1, 1, "1+1")) << "no leading =";
    std::string message;
    EXPECT_FALSE(sheet->GetError(message));
    EXPECT_FALSE(sheet->SetFormula(1, 1, "=1+"));
    ASSERT_TRUE(sheet->GetError(message));
    const formula::GX_ENGINE_STATE& state = formula::GXGetEngineState();
    EXPECT_EQ(message, std::string("Cell A1: ERROR: ") + formula::GXErrorMessage(state.lastError) +
                           " (Pos " + std::to_string(state.lastErrorPos) + ")");
    EXPECT_GT(state.lastErrorPos, 0);
    EXPECT_EQ(Shown(1, 1), "7") << "the old cell stays";
    EXPECT_TRUE(sheet->GetError(message)) << "the message waits until reset";
    sheet->ResetError();
    EXPECT_FALSE(sheet->GetError(message));
    // Typing it reports the same way, naming the typed cell.
    CGXStyle s;
    s.SetValue("=SUM(");
    sheet->StoreStyleAt(4, 28, &s, gxOverride, gxValueStore);
    ASSERT_TRUE(sheet->GetUpdateErrorText(message));
    EXPECT_EQ(message.rfind("Cell AB4: ERROR: ", 0), 0u) << message;
}

TEST_F(FormulaSheetTest, StylesCarryDisplayOrEditingTextByStoreType) {
    Type(1, 1, "=1/0");
    Type(1, 2, "=A5*2");
    Type(2, 1, "3");
    Type(2, 2, "'x");
    struct Case {
        ROWCOL row, col;
        int storeType;
        const char* value;
        unsigned valueType;
    };
    const Case cases[] = {
        {1, 1, 0, "Error!", 3}, {1, 1, gxValueStore, "=1/0", 2},
        {2, 1, 0, "3", 1},      {2, 1, gxValueStore, "3", 2},
        {2, 2, 0, "x", 0},      {2, 2, gxValueStore, "'x", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.row << "," << c.col << " type " << c.storeType);
        CGXStyle s;
        ASSERT_TRUE(sheet->GetStyleAt(c.row, c.col, s, gxCopy, c.storeType));
        EXPECT_EQ(s.GetValue(), c.value);
        EXPECT_EQ(s.GetValueType(), c.valueType);
    }
    CGXStyle none;
    EXPECT_FALSE(sheet->GetStyleAt(9, 9, none, gxCopy, 0));
}

TEST_F(FormulaSheetTest, StoredAttributesStayWithTheCellAndModifyTypesApply) {
    CGXStyle bold;
    bold.SetValue("4").SetHorizontalAlignment(2);
    ASSERT_TRUE(sheet->StoreStyleAt(1, 1, &bold, gxOverride, gxValueStore));
    CGXStyle got;
    ASSERT_TRUE(sheet->GetStyleAt(1, 1, got, gxCopy, 0));
    EXPECT_TRUE(got.GetIncludeHorizontalAlignment());
    EXPECT_EQ(got.GetValue(), "4");

    CGXStyle valueOnly;
    valueOnly.SetValue("five");
    sheet->StoreStyleAt(1, 1, &valueOnly, gxCopy, gxValueStore);
    got.Free();
    ASSERT_TRUE(sheet->GetStyleAt(1, 1, got, gxCopy, 0));
    EXPECT_FALSE(got.GetIncludeHorizontalAlignment()) << "a value-only copy drops the style";
    EXPECT_EQ(got.GetValue(), "five");

    CGXStyle value;
    value.SetValue("");
    sheet->StoreStyleAt(1, 1, &value, gxExclude, 0);
    EXPECT_FALSE(sheet->GetStyleAt(1, 1, got, gxCopy, 0)) << "excluding the only value removes";

    CGXStyle empty;
    sheet->StoreStyleAt(2, 2, &bold, gxOverride, gxValueStore);
    sheet->StoreStyleAt(2, 2, &empty, gxCopy, 0);
    EXPECT_FALSE(sheet->GetStyleAt(2, 2, got, gxCopy, 0)) << "copying nothing removes the cell";

    sheet->StoreStyleAt(3, 3, &bold, gxOverride, 0);
    CGXStyle row;
    row.SetHorizontalAlignment(1);
    ASSERT_TRUE(sheet->StoreStyleAt(3, 0, &row, gxOverride, gxRowColStyle));
    got.Free();
    EXPECT_TRUE(sheet->GetStyleAt(3, 0, got, gxCopy, gxRowColStyle))
        << "row styles stay in the base";
}

TEST_F(FormulaSheetTest, NamesAreDefinedUsedAndRefused) {
    Type(1, 1, "4");
    Type(2, 1, "6");
    ASSERT_TRUE(sheet->SetRangeName("Inputs", CGXRange(1, 1, 2, 1)));
    Type(1, 2, "=SUM(inputs)");
    EXPECT_EQ(Shown(1, 2), "10");
    CGXRange r;
    ASSERT_TRUE(sheet->GetRangeName("INPUTS", r));
    EXPECT_EQ(r.top, 1u);
    EXPECT_EQ(r.left, 1u);
    EXPECT_EQ(r.bottom, 2u);
    EXPECT_EQ(r.right, 1u);
    EXPECT_EQ(sheet->GetRangeNames(), std::vector<std::string>{"Inputs=A1..A2"});

    for (const char* bad :
         {"A1", "IV65536", "$B$2", "1st", "has space", "", "abcdefghijklmnopqrstuvwxyz012345"}) {
        SCOPED_TRACE(bad);
        sheet->ResetError();
        EXPECT_FALSE(sheet->SetRangeName(bad, CGXRange(1, 1)));
        std::string message;
        ASSERT_TRUE(sheet->GetError(message));
        EXPECT_EQ(message, "invalid range name");
        EXPECT_EQ(formula::GXGetEngineState().lastError, 20);
    }
    EXPECT_TRUE(sheet->SetRangeName("_a.b$1", CGXRange(1, 1)));
    EXPECT_FALSE(sheet->GetRangeName("A1", r));
}

TEST_F(FormulaSheetTest, DeletedNameComesBackWithItsFormulas) {
    Type(1, 1, "4");
    ASSERT_TRUE(sheet->SetRangeName("rate", CGXRange(1, 1)));
    Type(1, 2, "=rate*2");
    std::unique_ptr<CGXUndoEngineCellsInfo> info;
    ASSERT_TRUE(sheet->DeleteRangeName("rate", info, true));
    EXPECT_EQ(sheet->GetFormulaText(1, 2), "=A1*2");
    CGXRange r;
    EXPECT_FALSE(sheet->GetRangeName("rate", r));
    ASSERT_TRUE(info);
    ASSERT_TRUE(sheet->SetRangeName("rate", CGXRange(1, 1), info.get()));
    EXPECT_EQ(sheet->GetFormulaText(1, 2), "=rate*2");
    EXPECT_TRUE(sheet->GetRangeName("rate", r));
    Type(1, 1, "5");
    EXPECT_EQ(Shown(1, 2), "10");
    EXPECT_FALSE(sheet->DeleteRangeName("nothing", info, true));
}

}  // namespace
