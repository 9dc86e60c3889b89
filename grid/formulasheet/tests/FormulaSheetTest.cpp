#include "framework/persist/Archive.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/CGXGridDocSerializeImp.h"
#include "grid/features/CGXGridParamCopyOperatorImp.h"
#include "grid/features/CGXStyleSerializeImp.h"
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

// Without the document-serialisation component the base store writes nothing, so the record
// is the sheet's own.
TEST_F(FormulaSheetTest, ArchiveRecordHasTheOrderedLayout) {
    sheet->SetIterationLimit(3);
    sheet->SetRecalcMethod(true);
    ASSERT_TRUE(sheet->SetRangeName("x", CGXRange(1, 1)));
    Type(1, 1, "2");  // number cell at engine (1, 0), format 11
    sheet->DeleteContents();
    ASSERT_TRUE(sheet->SetRangeName("x", CGXRange(1, 1)));
    sheet->SetNumberValue(1, 1, 2);
    ASSERT_TRUE(sheet->SetFormula(2, 2, "=x+1"));
    sheet->Recalc(false);
    const Bytes expected = {
        0x01, 0x00,                                      // version 1
        0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00,  // iterations 3, blanks, manual, method 1
        0x00, 0x00,                                      // constraint checking
        0x01, 0x00, 0x04, 'x', '=', 'A', '1',            // one name "x=A1"
        // A1: a number (kind 1, value kind 3), no style, the double 2.0
        0x01, 0x01, 0x03, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40,
        // B2: a formula (kind 3, value kind 3), computed in this pass and changed (flag bits 16
        // and 18), row 2, engine column 1, no style, its text, the double 3.0
        0x01, 0x03, 0x03, 0x0A, 0x02, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04,
        '=', 'x', '+', '1', 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x40, 0x00};  // end of cells
    const Bytes stored = Store(*sheet);
    EXPECT_EQ(stored, expected);

    CGXFormulaSheet loaded;
    Load(loaded, stored);
    EXPECT_EQ(loaded.GetFormulaText(2, 2), "=x+1");
    EXPECT_EQ(loaded.GetValueText(2, 2), "3");
    EXPECT_EQ(loaded.GetIterationLimit(), 3);
    EXPECT_TRUE(loaded.GetRecalcMethod());
    EXPECT_EQ(loaded.GetRangeNames(), sheet->GetRangeNames());
    loaded.SetNumberValue(1, 1, 10);
    loaded.Recalc(false);
    EXPECT_EQ(loaded.GetValueText(2, 2), "11") << "the loaded formula still depends on x";
}

TEST_F(FormulaSheetTest, LoadingKeepsAnUnreadableFormulaAsTextAndRefusesOtherVersions) {
    Bytes b = {0x01, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x00,
               // C5 (engine column 2): a formula whose text no longer parses, no value
               0x01, 0x03, 0x00, 0x00, 0x05, 0, 0, 0, 0x02, 0, 0, 0, 0x00, 0x00, 0x05, '=', 'S',
               'U', 'M', '(', 0x00};
    CGXFormulaSheet loaded;
    Load(loaded, b);
    EXPECT_EQ(loaded.GetValueText(5, 3), "=SUM(");
    EXPECT_EQ(loaded.GetFormulaText(5, 3), "'=SUM(");

    for (std::uint8_t version : {0, 2}) {
        Bytes wrong = b;
        wrong[0] = version;
        fw::Archive ar(fw::LoadFrom{wrong});
        try {
            loaded.Serialize(ar);
            ADD_FAILURE() << "version " << int(version) << " loaded";
        } catch (const fw::ArchiveException& e) {
            EXPECT_EQ(e.cause, fw::ArchiveCause::BadSchema);
        }
    }
}

TEST_F(FormulaSheetTest, CopiesOfAFormulaSheetAreLiveAndArchiveAlike) {
    Type(1, 1, "4");
    ASSERT_TRUE(sheet->SetRangeName("base", CGXRange(1, 1)));
    Type(1, 2, "=base*2");
    Type(2, 1, "'note");
    CGXFormulaSheet copy;
    copy.CopyFrom(*sheet);
    EXPECT_EQ(copy.GetValueText(1, 2), "8");
    EXPECT_EQ(copy.GetFormulaText(2, 1), "'note");
    EXPECT_EQ(Store(copy), Store(*sheet)) << "every copied cell is linked";
    sheet.reset();  // the copy's formulas hold their own names
    copy.SetNumberValue(1, 1, 5);
    copy.Recalc(false);
    EXPECT_EQ(copy.GetValueText(1, 2), "10");
    CGXRange r;
    EXPECT_TRUE(copy.GetRangeName("base", r));
}

TEST_F(FormulaSheetTest, CopyFromAPlainStoreTakesItsCellsIntoTheEngine) {
    CGXData plain;
    CGXStyle v;
    v.SetValue("=A2*2");
    plain.StoreStyleAt(1, 1, &v, gxOverride, 0);
    CGXStyle n;
    n.SetValue("21").SetHorizontalAlignment(2);
    plain.StoreStyleAt(2, 1, &n, gxOverride, 0);
    CGXStyle row;
    row.SetHorizontalAlignment(1);
    plain.StoreStyleAt(2, 0, &row, gxOverride, 0);  // the row's own entry stays
    sheet->CopyFrom(plain);
    sheet->Recalc(true);
    EXPECT_EQ(sheet->GetValueText(1, 1), "42");
    CGXStyle got;
    ASSERT_TRUE(sheet->GetStyleAt(2, 1, got, gxCopy, 0));
    EXPECT_TRUE(got.GetIncludeHorizontalAlignment());
    EXPECT_EQ(sheet->m_apapCellStyle.GetSize(), 3u);
    ASSERT_NE(sheet->m_apapCellStyle.GetAt(2), nullptr);
    EXPECT_EQ(sheet->m_apapCellStyle.GetAt(2)->GetSize(), 1u);
    EXPECT_EQ(sheet->m_apapCellStyle.GetAt(1), nullptr);
}

TEST_F(FormulaSheetTest, UndoInfoPutsTypedOverCellsBack) {
    Type(1, 1, "2");
    Type(1, 2, "=A1*10");
    sheet->SetUndoSwitch(true);
    Type(1, 2, "7");  // over a formula
    Type(3, 3, "x");  // into an empty cell
    std::unique_ptr<CGXOwnedObject> info = sheet->GetUndoInfo();
    ASSERT_TRUE(info);
    EXPECT_FALSE(sheet->GetUndoInfo()) << "the info is given up once";
    ASSERT_TRUE(sheet->UndoEngineCells(info.get(), true, false));
    sheet->Recalc(false);
    EXPECT_EQ(sheet->GetFormulaText(1, 2), "=A1*10");
    EXPECT_EQ(sheet->GetValueText(1, 2), "20");
    EXPECT_EQ(sheet->GetValueText(3, 3), "");
    // Recorded while undoing: applying the info again redoes.
    ASSERT_TRUE(sheet->UndoEngineCells(info.get(), true, false));
    sheet->Recalc(false);
    EXPECT_EQ(sheet->GetValueText(1, 2), "7");
    EXPECT_EQ(sheet->GetValueText(3, 3), "x");
    EXPECT_FALSE(sheet->UndoEngineCells(nullptr, true, false));
}

TEST_F(FormulaSheetTest, UndoOfAMoveRestoresTheOverwrittenCells) {
    Type(1, 1, "1");
    Type(2, 1, "=A1+1");
    Type(1, 3, "100");
    Type(2, 3, "=C1*2");
    Type(4, 1, "=A2*3");
    std::unique_ptr<CGXUndoEngineCellsInfo> info;
    ASSERT_TRUE(sheet->MoveCells(CGXRange(1, 1, 2, 1), 1, 3, info, true, 0));
    EXPECT_EQ(sheet->GetFormulaText(2, 3), "=C1+1");
    EXPECT_EQ(sheet->GetFormulaText(4, 1), "=C2*3") << "references follow the moved block";
    EXPECT_EQ(sheet->GetValueText(4, 1), "6");
    ASSERT_TRUE(info);
    // Moving back, then the saved cells over the destination.
    std::unique_ptr<CGXUndoEngineCellsInfo> none;
    ASSERT_TRUE(sheet->MoveCells(CGXRange(1, 3, 2, 3), 1, 1, none, false, 0));
    ASSERT_TRUE(sheet->UndoEngineCells(info.get(), false, false));
    sheet->Recalc(true);
    EXPECT_EQ(sheet->GetValueText(1, 3), "100");
    EXPECT_EQ(sheet->GetFormulaText(2, 3), "=C1*2");
    EXPECT_EQ(sheet->GetValueText(2, 3), "200");
    EXPECT_EQ(sheet->GetFormulaText(2, 1), "=A1+1");
    EXPECT_EQ(sheet->GetValueText(4, 1), "6");
}

TEST_F(FormulaSheetTest, UndoOfARowRemovalRestoresFormulasAndValues) {
    Type(1, 1, "1");
    Type(2, 1, "2");
    Type(3, 1, "=A1+A2");
    Type(3, 2, "=A3*2");
    sheet->SetUndoSwitch(true);
    ASSERT_TRUE(sheet->RemoveRows(2, 2));
    sheet->SetUndoSwitch(false);
    EXPECT_EQ(sheet->GetRowCount(), 19u);
    EXPECT_EQ(sheet->GetFormulaText(2, 2), "=A2*2");
    std::unique_ptr<CGXOwnedObject> info = sheet->GetUndoInfo();
    ASSERT_TRUE(info);
    ASSERT_TRUE(sheet->InsertRows(2, 1));
    ASSERT_TRUE(sheet->UndoEngineCells(info.get(), false, false));
    sheet->Recalc(true);
    EXPECT_EQ(sheet->GetFormulaText(3, 1), "=A1+A2");
    EXPECT_EQ(sheet->GetValueText(3, 1), "3");
    EXPECT_EQ(sheet->GetValueText(3, 2), "6");
    EXPECT_EQ(sheet->GetValueText(2, 1), "2");
}

// A parameter object that holds a formula sheet makes a formula sheet again when it is loaded
// from an archive (creation by run-time class) or copied.
TEST_F(FormulaSheetTest, ParameterArchivesAndCopiesMakeFormulaSheetsAgain) {
    InstallDocSerializeImp();
    InstallStyleSerializeImp();
    InstallParamCopyOperatorImp();
    CGXGridParam param;
    param.SetStylesMap(new CGXStylesMap(&CGXStyle::kClass), true);
    auto* data = new CGXFormulaSheet;
    param.SetData(data, true);
    data->SetRowCount(5);
    data->SetColCount(3);
    data->SetNumberValue(1, 1, 6);
    ASSERT_TRUE(data->SetFormula(2, 1, "=A1*7"));
    CGXStyle right;
    right.SetHorizontalAlignment(2);
    ASSERT_TRUE(data->StoreStyleAt(2, 1, &right, gxOverride, 0));
    data->Recalc(true);

    Bytes bytes;
    {
        fw::Archive ar(fw::StoreTo{bytes});
        param.Serialize(ar);
    }
    CGXGridParam loaded;
    {
        fw::Archive ar(fw::LoadFrom{bytes});
        loaded.Serialize(ar);
    }
    auto* again = dynamic_cast<CGXFormulaSheet*>(loaded.GetData());
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->GetFormulaText(2, 1), "=A1*7");
    EXPECT_EQ(again->GetValueText(2, 1), "42");
    CGXStyle got;
    ASSERT_TRUE(again->GetStyleAt(2, 1, got, gxCopy, 0));
    EXPECT_TRUE(got.GetIncludeHorizontalAlignment());

    CGXGridParam copied;
    GXGetLibraryState().m_pParamCopyOperatorImp->CopyParam(copied, param);
    auto* copy = dynamic_cast<CGXFormulaSheet*>(copied.GetData());
    ASSERT_NE(copy, nullptr);
    copy->SetNumberValue(1, 1, 2);
    copy->Recalc(false);
    EXPECT_EQ(copy->GetValueText(2, 1), "14");
    EXPECT_EQ(data->GetValueText(2, 1), "42") << "the source stays as it was";
}

TEST_F(FormulaSheetTest, AnUndoInfoFreesTheCellsOfBothItsLists) {
    const int engine = sheet->GetEngineSheet();
    auto allocated = [&] { return formula::GXCountCells(sheet->Engine(), formula::GX_LIST_ALL); };
    Type(1, 1, "1");
    Type(1, 2, "=A1+1");
    const int before = allocated();
    sheet->SetUndoSwitch(true);
    Type(1, 2, "=A1+2");  // the replaced formula goes to the first list
    std::unique_ptr<CGXUndoEngineCellsInfo> info;
    ASSERT_TRUE(sheet->MoveCells(CGXRange(1, 1), 1, 2, info, true, 0));  // both lists
    std::unique_ptr<CGXOwnedObject> typed = sheet->GetUndoInfo();
    ASSERT_TRUE(typed);
    EXPECT_GT(allocated(), before);
    typed.reset();
    info.reset();
    EXPECT_EQ(allocated(), formula::GXGetSheet(engine)->linkedCount)
        << "every saved cell went back to the pool";
}

TEST_F(FormulaSheetTest, LongRefusedFormulasGiveABoundedMessage) {
    std::string text = "=1+";
    text += std::string(600, '(');
    EXPECT_FALSE(sheet->SetFormula(3, 2, text));
    std::string message;
    ASSERT_TRUE(sheet->GetError(message));
    EXPECT_EQ(message.rfind("Cell B3: ERROR: ", 0), 0u) << message;
    EXPECT_LE(message.size(), 259u);
}

TEST_F(FormulaSheetTest, FormulasEvaluateOutsideAnyCell) {
    Type(1, 1, "4");
    struct Case {
        const char* text;
        bool ok;
        const char* result;
    };
    const Case cases[] = {
        {"=SUM(A1,2)*2", true, "12"},
        {"=1/0", false, "Error!"},
        {"=NA()", false, "#N/A"},
        {"=STRCAT(\"a\",\"b\")", true, "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string result;
        EXPECT_EQ(sheet->ParseAndEvaluate(result, c.text), c.ok);
        EXPECT_EQ(result, c.result);
    }
    std::string result;
    EXPECT_FALSE(sheet->ParseAndEvaluate(result, "=1+"));
    EXPECT_EQ(result.rfind("ERROR: ", 0), 0u) << result;
    EXPECT_EQ(sheet->GetValueText(1, 1), "4") << "no cell changes";
}

TEST_F(FormulaSheetTest, ManyStoresBeforeARecalculationReachEveryDependant) {
    sheet->SetRowCount(300);
    for (ROWCOL row = 1; row <= 300; ++row) {
        ASSERT_TRUE(sheet->SetNumberValue(row, 1, 1));
        ASSERT_TRUE(sheet->SetFormula(row, 2, "=A" + std::to_string(row) + "*2"));
    }
    ASSERT_TRUE(sheet->SetFormula(1, 3, "=SUM(B1:B300)"));
    sheet->Recalc(false);
    ASSERT_EQ(sheet->GetValueText(1, 3), "600");
    // Far more stores than the changed ranges the sheet keeps apart.
    CGXStyle three;
    three.SetValue("3");
    for (ROWCOL row = 1; row <= 300; row += 2)
        ASSERT_TRUE(sheet->StoreStyleAt(row, 1, &three, gxOverride, gxValueStore));
    EXPECT_LE(sheet->Engine().changedRanges.size(), 64u) << "merged into bounding ranges";
    sheet->Recalc(false);
    EXPECT_EQ(sheet->GetValueText(299, 2), "6");
    EXPECT_EQ(sheet->GetValueText(300, 2), "2");
    EXPECT_EQ(sheet->GetValueText(1, 3), "1200");
}

TEST_F(FormulaSheetTest, UndoInfoFromBeforeAResetIsRefusedNotReplayed) {
    Type(1, 1, "1");
    std::unique_ptr<CGXUndoEngineCellsInfo> moved;
    ASSERT_TRUE(sheet->MoveCells(CGXRange(1, 1), 2, 2, moved, true, 0));
    sheet->SetUndoSwitch(true);
    Type(3, 3, "x");
    std::unique_ptr<CGXOwnedObject> typed = sheet->GetUndoInfo();
    ASSERT_TRUE(typed && moved);
    sheet->DeleteContents();  // the pool of those saved cells is gone
    Type(4, 4, "kept");
    EXPECT_FALSE(sheet->UndoEngineCells(typed.get(), true, false));
    ASSERT_TRUE(sheet->MoveCells(CGXRange(5, 5), 6, 6, moved, true, 0));
    EXPECT_EQ(sheet->GetValueText(4, 4), "kept");
    typed.reset();
    moved.reset();  // and destroying them frees nothing twice
    EXPECT_EQ(sheet->GetValueText(4, 4), "kept");
}

}  // namespace
