// A grid window whose cell store is a formula sheet, edited with real keys: typed numbers and
// formulas show their results, dependants follow their inputs, refused formulas explain
// themselves, and cells that break their constraint are drawn red.
#include "framework/dialogs/MessageBox.h"
#include "grid/controls/CGXEditControl.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/tests/GridFixture.h"
#include "grid/features/CGXCommandFactory.h"
#include "grid/features/GXFeatureInstall.h"
#include "grid/formula/EngineState.h"
#include "grid/formulasheet/CGXFormulaSheet.h"

#include <QApplication>
#include <QTest>

namespace {

class FormulaGrid : public ::testing::Test {
protected:
    void SetUp() override {
        GXTerminateLibrary();
        GXInitWithFeatures();
        formula::GXResetEngineState();
        formula::GXGetEngineState().UseDefaultWorksheetFunctions();
        wnd_ = std::make_unique<CGXGridWnd>();
        wnd_->Create(nullptr, {0, 0, 420, 200}, 0, fw::WS_VISIBLE);
        auto* param = new CGXGridParam;  // owned by the grid from SetParam on
        sheet_ = new CGXFormulaSheet;    // owned by the parameter object
        param->SetData(sheet_, true);
        wnd_->SetParam(param, true);
        wnd_->activateWindow();
        QApplication::setActiveWindow(wnd_.get());
        wnd_->Initialize();
        SetTestStandardFont(*wnd_);
        wnd_->SetRowCount(6, 0);
        wnd_->SetColCount(4, 0);
        wnd_->GetParam()->m_nEnterKeyAction = GX_DOWN;
        wnd_->SetFocus();
        Paint();
    }
    void TearDown() override {
        wnd_.reset();
        formula::GXResetEngineState();
        GXTerminateLibrary();
    }
    QImage Paint() {
        QCoreApplication::processEvents();
        for (int i = 0; i < 3 && wnd_->GetUpdateRect(nullptr); ++i) wnd_->UpdateWindow();
        return wnd_->BackingImage().copy();
    }
    QWidget* Focus() {
        QWidget* w = QApplication::focusWidget();
        return w ? w : wnd_.get();
    }
    // Clicks the cell, types the text and presses Enter.
    void Enter(ROWCOL row, ROWCOL col, const char* text) {
        const fw::Rect r = wnd_->CalcRectFromRowCol(row, col);
        QTest::mouseClick(wnd_.get(), Qt::LeftButton, Qt::NoModifier,
                          QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
        Paint();
        // Keys go where the focus is: the grid, then the edit window once it shows.
        for (QChar c : QString::fromUtf8(text)) {
            QTest::keyClicks(Focus(), QString(c));
            Paint();
        }
        QTest::keyClick(Focus(), Qt::Key_Return);
        Paint();
    }
    std::string Shown(ROWCOL row, ROWCOL col) { return wnd_->GetValueRowCol(row, col); }
    QRgb CellColour(const QImage& image, ROWCOL row, ROWCOL col) {
        const fw::Rect r = wnd_->CalcRectFromRowCol(row, col);
        return image.pixel(r.right - 3, r.top + 3);
    }

    std::unique_ptr<CGXGridWnd> wnd_;
    CGXFormulaSheet* sheet_ = nullptr;
};

TEST_F(FormulaGrid, TypedNumbersAndFormulasComputeAndErrorsExplainThemselves) {
    fw::ScopedMessageBoxAnswers boxes({fw::IDOK});
    Enter(1, 1, "12");
    Enter(1, 2, "=A1*2");
    Enter(2, 1, "30");
    Enter(2, 2, "=SUM(A1:A2)+B1");
    EXPECT_EQ(Shown(1, 2), "24");
    EXPECT_EQ(Shown(2, 2), "66");

    // A changed input: its dependants follow.
    Enter(1, 1, "2");
    EXPECT_EQ(Shown(1, 2), "4");
    EXPECT_EQ(Shown(2, 2), "36");

    // Editing a formula cell shows its formula.
    const fw::Rect b1 = wnd_->CalcRectFromRowCol(1, 2);
    QTest::mouseClick(wnd_.get(), Qt::LeftButton, Qt::NoModifier,
                      QPoint((b1.left + b1.right) / 2, (b1.top + b1.bottom) / 2));
    Paint();
    auto* edit = dynamic_cast<CGXEditControl*>(wnd_->GetControl(1, 2));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->GetWindowText(), "=A1*2");

    Enter(3, 1, "#n/a");
    EXPECT_EQ(sheet_->GetFormulaText(3, 1), "=NA()");
    EXPECT_EQ(Shown(3, 1), "#N/A");
    Enter(3, 2, "'=1+1");
    EXPECT_EQ(Shown(3, 2), "=1+1");

    ASSERT_TRUE(boxes.asked.empty());
    Enter(4, 1, "=1+");
    ASSERT_EQ(boxes.asked.size(), 1u) << boxes.asked[0].text << " / " << boxes.asked.back().text;
    EXPECT_EQ(boxes.asked[0].text.rfind("Cell A4: ERROR: ", 0), 0u) << boxes.asked[0].text;
    EXPECT_NE(boxes.asked[0].text.find(" (Pos "), std::string::npos) << boxes.asked[0].text;
    QTest::keyClick(Focus(), Qt::Key_Escape);
    Paint();

    // A constraint: B4 must stay below 10 (the part after ";").
    sheet_->SetConstraintCheck(true);
    Enter(4, 1, "3");
    Enter(4, 2, "=A4*2;B4<10");
    QImage image = Paint();
    const QRgb fine = CellColour(image, 4, 2);
    Enter(4, 1, "7");
    EXPECT_EQ(Shown(4, 2), "14");
    wnd_->Redraw(GX_INVALIDATE);
    image = Paint();
    const QRgb violated = CellColour(image, 4, 2);
    EXPECT_NE(fine, violated);
    EXPECT_EQ(qRed(violated), 255);
    EXPECT_LT(qGreen(violated), 40);
    EXPECT_LT(qBlue(violated), 40);
    image.save(QString(FORMULASHEET_BUILD_DIR) + "/grid_formulasheet_typing.png");
}

TEST_F(FormulaGrid, AnUndoneRowRemovalBringsItsFormulasBack) {
    Enter(1, 1, "5");
    Enter(2, 1, "=A1*2");
    ASSERT_TRUE(wnd_->RemoveRows(2, 2));
    ASSERT_TRUE(wnd_->Undo());
    wnd_->Recalc(true);
    EXPECT_EQ(sheet_->GetFormulaText(2, 1), "=A1*2");
    EXPECT_EQ(Shown(2, 1), "10");
}

TEST_F(FormulaGrid, UndoOfAMoveAndOfAStoreBringsFormulasAndValuesBack) {
    Enter(1, 1, "5");
    Enter(2, 1, "=A1*2");
    Enter(1, 3, "100");
    Enter(2, 3, "=C1+1");
    Enter(4, 1, "=A2+1");
    ASSERT_EQ(Shown(4, 1), "11");

    // The block A1:A2 moves over C1:C2; the formula that used it follows.
    ASSERT_TRUE(wnd_->MoveCells(CGXRange(1, 1, 2, 1), 1, 3));
    wnd_->Recalc(true);
    EXPECT_EQ(sheet_->GetFormulaText(4, 1), "=C2+1");
    EXPECT_EQ(Shown(2, 3), "10");
    ASSERT_TRUE(wnd_->Undo());
    EXPECT_EQ(Shown(1, 3), "100");
    EXPECT_EQ(sheet_->GetFormulaText(2, 3), "=C1+1");
    EXPECT_EQ(Shown(2, 3), "101");
    EXPECT_EQ(sheet_->GetFormulaText(2, 1), "=A1*2");
    EXPECT_EQ(sheet_->GetFormulaText(4, 1), "=A2+1");
    EXPECT_EQ(Shown(4, 1), "11");
    ASSERT_TRUE(wnd_->Redo());
    EXPECT_EQ(Shown(2, 3), "10");
    EXPECT_EQ(Shown(4, 1), "11");
    ASSERT_TRUE(wnd_->Undo());
    EXPECT_EQ(Shown(2, 3), "101");

    // A store of typed texts, recorded with what was typed before: undo gives the formula back.
    std::vector<std::unique_ptr<CGXStyle>> typed;
    typed.push_back(std::make_unique<CGXStyle>());
    typed.back()->SetValue("7");
    ASSERT_TRUE(
        GXSetStyleRangeUndoable(wnd_.get(), CGXRange(2, 1), typed, GX_INVALIDATE, 0, gxValueStore));
    wnd_->Recalc(false);
    EXPECT_EQ(Shown(4, 1), "8");
    ASSERT_TRUE(wnd_->Undo());
    EXPECT_EQ(sheet_->GetFormulaText(2, 1), "=A1*2");
    EXPECT_EQ(Shown(4, 1), "11");
}

// A formula typed over another comes off with Ctrl+Z, and its dependants follow.
TEST_F(FormulaGrid, CtrlZTakesATypedFormulaBack) {
    Enter(1, 1, "5");
    Enter(2, 1, "=A1*2");
    Enter(3, 1, "=A2+1");
    Enter(2, 1, "=A1+100");
    wnd_->Recalc(false);
    ASSERT_EQ(Shown(3, 1), "106");
    QTest::keyClick(Focus(), Qt::Key_Z, Qt::ControlModifier);
    Paint();
    EXPECT_EQ(sheet_->GetFormulaText(2, 1), "=A1*2");
    wnd_->Recalc(false);
    EXPECT_EQ(Shown(2, 1), "10");
    EXPECT_EQ(Shown(3, 1), "11");
    QTest::keyClick(Focus(), Qt::Key_R, Qt::ControlModifier);
    Paint();
    EXPECT_EQ(sheet_->GetFormulaText(2, 1), "=A1+100");
}

}  // namespace

// Removing a row (column) rewrites the formulas that point below or into it; undo must give back
// the very formula text and value, and redo the rewritten one.
struct RemovedLineFormulaCase {
    const char* name;
    bool rows;            // remove row 5 (else column E)
    const char* formula;  // in B1, over A4 = 4 .. A10 = 10 (D2 = 4 .. J2 = 10)
    const char* afterRemoval;
    const char* value;
};

class FormulaRemovalUndo : public FormulaGrid,
                           public ::testing::WithParamInterface<RemovedLineFormulaCase> {};

TEST_P(FormulaRemovalUndo, UndoGivesTheFormulaAndItsValueBack) {
    const RemovedLineFormulaCase& c = GetParam();
    wnd_->SetRowCount(12, 0);
    wnd_->SetColCount(12, 0);
    for (ROWCOL i = 4; i <= 10; ++i) {
        const CGXRange at = c.rows ? CGXRange(i, 1) : CGXRange(2, i);
        ASSERT_TRUE(wnd_->SetValueRange(at, std::to_string(i), gxOverride, 0, 1));
    }
    ASSERT_TRUE(wnd_->SetValueRange(CGXRange(1, 2), c.formula, gxOverride, 0, 1));
    wnd_->Recalc(true);
    ASSERT_EQ(Shown(1, 2), c.value);
    auto fifth = [&] { return c.rows ? Shown(5, 1) : Shown(2, 5); };
    ASSERT_TRUE(c.rows ? wnd_->RemoveRows(5, 5) : wnd_->RemoveCols(5, 5));
    wnd_->Recalc(true);
    EXPECT_EQ(sheet_->GetFormulaText(1, 2), c.afterRemoval);
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(wnd_->Undo());
        wnd_->Recalc(true);
        EXPECT_EQ(sheet_->GetFormulaText(1, 2), c.formula) << "round " << round;
        EXPECT_EQ(Shown(1, 2), c.value) << "round " << round;
        EXPECT_EQ(fifth(), "5") << "round " << round;
        ASSERT_TRUE(wnd_->Redo());
        wnd_->Recalc(true);
        EXPECT_EQ(sheet_->GetFormulaText(1, 2), c.afterRemoval) << "round " << round;
        EXPECT_EQ(fifth(), "6") << "round " << round;
    }
}

// A reference into the removed line keeps its number and so reads the line that moved up.
INSTANTIATE_TEST_SUITE_P(
    Lines, FormulaRemovalUndo,
    ::testing::Values(
        RemovedLineFormulaCase{"rowBelow", true, "=A10", "=A9", "10"},
        RemovedLineFormulaCase{"rowInto", true, "=A5*2", "=A5*2", "10"},
        RemovedLineFormulaCase{"rowAcross", true, "=SUM(A4..A6)", "=SUM(A4..A5)", "15"},
        RemovedLineFormulaCase{"colRight", false, "=J2", "=I2", "10"},
        RemovedLineFormulaCase{"colInto", false, "=E2*2", "=E2*2", "10"},
        RemovedLineFormulaCase{"colAcross", false, "=SUM(D2..F2)", "=SUM(D2..E2)", "15"}),
    [](const auto& info) { return std::string(info.param.name); });
