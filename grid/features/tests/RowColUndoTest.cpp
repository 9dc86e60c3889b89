// Undo of inserting and removing rows and columns: a removal keeps the values, styles and sizes
// of what goes, so that undo brings the rows (columns) back whole and redo takes them again;
// the selection calls reach the selection feature when it is installed.
#include "framework/dialogs/MessageBox.h"
#include "grid/core/CGXData.h"
#include "grid/features/tests/FeatureFixture.h"

namespace {

class RowColUndoTest : public FeatureFixture {
protected:
    // Values, one own row height, one own column width, a row style and a column style.
    void Prepare() {
        Fill(1, 1, 10, 6);
        Core().SetRowHeight(5, 5, 41, nullptr, 0, 1);
        Core().SetColWidth(3, 3, 97, nullptr, 0, 1);
        CGXStyle blue;
        blue.SetInterior(CGXBrush().SetColor(fw::Rgb(0, 0, 255)));
        Core().SetStyleRange(CGXRange().SetRows(6, 6), &blue, gxOverride, 0, nullptr, 0, 1);
        Core().SetStyleRange(CGXRange().SetCols(4, 4), &blue, gxOverride, 0, nullptr, 0, 1);
    }
    bool HasOwnStyle(ROWCOL row, ROWCOL col) {
        CGXStyle s;
        return Core().GetStyleRowCol(row, col, s, gxCopy, gxRowColStyle);
    }
    // Everything Prepare set, as one text.
    std::string State() {
        return Block(1, 1, Core().GetRowCount(), Core().GetColCount()) +
               " h5=" + std::to_string(Core().GetRowHeight(5)) +
               " w3=" + std::to_string(Core().GetColWidth(3)) +
               " row6=" + std::to_string(HasOwnStyle(6, 0)) +
               " col4=" + std::to_string(HasOwnStyle(0, 4)) +
               " rows=" + std::to_string(Core().GetRowCount()) +
               " cols=" + std::to_string(Core().GetColCount());
    }
};

struct RemoveCase {
    const char* name;
    bool rows;
};

class RemoveUndoTest : public RowColUndoTest, public ::testing::WithParamInterface<RemoveCase> {};

TEST_P(RemoveUndoTest, UndoBringsTheRemovedLinesBackWholeAndRedoTakesThemAgain) {
    Prepare();
    const std::string before = State();
    auto remove = [&] {
        return GetParam().rows ? Core().RemoveRows(4, 6) : Core().RemoveCols(2, 4);
    };
    ASSERT_TRUE(remove());
    const std::string removed = State();
    ASSERT_NE(removed, before);
    EXPECT_EQ(UndoCount(), 1u);  // one step, whatever the removal recorded inside
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(Core().Undo());
        EXPECT_EQ(State(), before) << "round " << round;
        EXPECT_EQ(RedoCount(), 1u);
        ASSERT_TRUE(Core().Redo());
        EXPECT_EQ(State(), removed) << "round " << round;
        EXPECT_EQ(UndoCount(), 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, RemoveUndoTest,
                         ::testing::Values(RemoveCase{"rows", true}, RemoveCase{"cols", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RowColUndoTest, InsertedRowsAndColumnsGoAgainWithUndo) {
    Fill(1, 1, 4, 4);
    const std::string before = State();
    ASSERT_TRUE(Core().InsertRows(2, 3));
    ASSERT_TRUE(Core().InsertCols(1, 2));
    EXPECT_EQ(Get(5, 3), "r2c1");
    ASSERT_TRUE(Core().Undo());
    ASSERT_TRUE(Core().Undo());
    EXPECT_EQ(State(), before);
    ASSERT_TRUE(Core().Redo());
    EXPECT_EQ(Core().GetRowCount(), 23u);
    EXPECT_EQ(Get(5, 1), "r2c1");
}

// The Undo menu names the action that the newest step undoes.
TEST_F(RowColUndoTest, TheUndoStepIsNamedByTheActionItUndoes) {
    struct Case {
        bool (*change)(CGXGridCore&);
        const char* description;
    } cases[] = {
        {[](CGXGridCore& g) { return g.InsertRows(2, 1); }, "Insert Rows"},
        {[](CGXGridCore& g) { return g.InsertCols(2, 1); }, "Insert Columns"},
        {[](CGXGridCore& g) { return g.RemoveRows(2, 3); }, "Removing rows ..."},
        {[](CGXGridCore& g) { return g.RemoveCols(2, 3); }, "Removing columns ..."},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(c.change(Core()));
        EXPECT_EQ(Param().GetUndoList().front()->GetDescription(), c.description);
    }
}

TEST_F(RowColUndoTest, FewerRowsByTheCountAreOneStepThatUndoes) {
    Fill(1, 1, 10, 2);
    ASSERT_TRUE(Core().SetRowCount(4, 0));
    EXPECT_EQ(Core().GetRowCount(), 4u);
    EXPECT_EQ(UndoCount(), 1u);
    ASSERT_TRUE(Core().Undo());
    EXPECT_EQ(Core().GetRowCount(), 20u);
    EXPECT_EQ(Block(5, 1, 10, 2), "r5c1,r5c2|r6c1,r6c2|r7c1,r7c2|r8c1,r8c2|r9c1,r9c2|r10c1,r10c2");
}

// The removal answers what the store did: a refusing store (or the read-only lock) removes
// nothing and leaves no undo step behind.
class RefusingData : public CGXData {
public:
    bool RemoveRows(ROWCOL, ROWCOL) override { return false; }
};

TEST_F(RowColUndoTest, ARefusedRemovalAnswersFalseAndRecordsNothing) {
    Fill(1, 1, 3, 1);
    Core().SaveReadOnly(true);
    EXPECT_FALSE(Core().RemoveRows(1, 2));
    EXPECT_FALSE(Core().InsertRows(1, 2));
    Core().SaveReadOnly(false);
    EXPECT_EQ(UndoCount(), 0u);

    auto data = std::make_unique<RefusingData>();
    data->InitParam(&Param());
    data->SetRowCount(20);
    data->SetColCount(8);
    Param().SetData(data.release(), true);
    // The coverings the removal dropped or shortened first come back, with undo on or off.
    for (bool undo : {true, false}) {
        Param().EnableUndo(undo);
        ASSERT_TRUE(Core().SetCoveredCellsRowCol(1, 1, 3, 2, 0, 1));
        ASSERT_TRUE(Core().SetCoveredCellsRowCol(2, 4, 6, 4, 0, 1));
        EXPECT_FALSE(Core().RemoveRows(2, 3));
        EXPECT_EQ(Core().GetRowCount(), 20u);
        EXPECT_EQ(UndoCount(), 0u);
        CGXRange r;
        ASSERT_TRUE(Core().GetCoveredCellsRowCol(3, 2, r)) << undo;
        EXPECT_EQ(r, CGXRange(1, 1, 3, 2)) << undo;
        ASSERT_TRUE(Core().GetCoveredCellsRowCol(6, 4, r)) << undo;
        EXPECT_EQ(r, CGXRange(2, 4, 6, 4)) << undo;
    }
}

TEST_F(RowColUndoTest, ARemovalTooLargeToSaveAsksFirst) {
    SetRows(40000);
    Set(39000, 1, "far");
    {
        fw::ScopedMessageBoxAnswers answers({fw::IDCANCEL});
        EXPECT_FALSE(Core().RemoveRows(2, 39999));
    }
    EXPECT_EQ(Core().GetRowCount(), 40000u);
    EXPECT_EQ(UndoCount(), 0u);
    {
        fw::ScopedMessageBoxAnswers answers({fw::IDOK});
        EXPECT_TRUE(Core().RemoveRows(2, 39999));
    }
    EXPECT_EQ(Core().GetRowCount(), 2u);
    // Going on without the saved cells still lets the rows come back, empty.
    ASSERT_TRUE(Core().Undo());
    EXPECT_EQ(Core().GetRowCount(), 40000u);
    EXPECT_EQ(Get(39000, 1), "");
}

// Removing rows (columns) 5..6 with selections and coverings above, across, inside and below
// them: the ones below move up, the ones across shrink, the ones inside go; undo gives every
// covering back where it was and redo takes the same steps again. Axis-free: `rows` false swaps
// rows and columns in every coordinate.
class RemoveAroundTest : public RowColUndoTest, public ::testing::WithParamInterface<RemoveCase> {
protected:
    void SetUp() override {
        RowColUndoTest::SetUp();
        SetCols(20);
    }
    // A cell range given as if rows were removed.
    CGXRange Cells(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) {
        return GetParam().rows ? CGXRange(t, l, b, r) : CGXRange(l, t, r, b);
    }
    std::string CoverOf(ROWCOL row, ROWCOL col) {
        const CGXRange at = Cells(row, col, row, col);
        CGXRange r;
        if (!Core().GetCoveredCellsRowCol(at.top, at.left, r))
            return "-";
        const CGXRange c = Cells(r.top, r.left, r.bottom, r.right);
        return std::to_string(c.top) + "," + std::to_string(c.left) + "," +
               std::to_string(c.bottom) + "," + std::to_string(c.right);
    }
    void Cover(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) {
        const CGXRange c = Cells(t, l, b, r);
        ASSERT_TRUE(Core().SetCoveredCellsRowCol(c.top, c.left, c.bottom, c.right, 0, 1));
    }
    // The valid selected ranges, in list order, in the removal's orientation.
    std::string Selection() {
        std::string out;
        for (const CGXRange& r : Param().m_SelRects) {
            if (!r.IsValid()) {
                out += "[invalid]";
                continue;
            }
            const CGXRange c = Cells(r.top, r.left, r.bottom, r.right);
            out += "[" + std::to_string(c.top) + "," + std::to_string(c.left) + "," +
                   std::to_string(c.bottom) + "," + std::to_string(c.right) + "]";
        }
        return out;
    }
    // Every covering, looked up at each of its corners and one past them.
    std::string Coverings() {
        std::string out;
        for (auto [r, c] : {std::pair<ROWCOL, ROWCOL>{3, 2},
                            {8, 2},
                            {9, 2},
                            {3, 5},
                            {8, 5},
                            {3, 7},
                            {5, 7},
                            {6, 7},
                            {4, 7},
                            {6, 9},
                            {8, 9},
                            {10, 12},
                            {12, 13},
                            {13, 13},
                            {7, 12},
                            {10, 11}})
            out += CoverOf(r, c) + " ";
        return out;
    }
    bool Remove() { return GetParam().rows ? Core().RemoveRows(5, 6) : Core().RemoveCols(5, 6); }
};

TEST_P(RemoveAroundTest, SelectionsAndCoveringsFollowAndUndoPutsCoveringsBack) {
    Cover(3, 2, 8, 2);      // across the removed lines
    Cover(3, 5, 8, 5);      // across, second column
    Cover(3, 7, 5, 8);      // ends inside
    Cover(6, 9, 8, 9);      // starts inside
    Cover(10, 12, 12, 13);  // below
    const CGXRange sel[] = {Cells(2, 3, 7, 3), Cells(5, 4, 6, 4), Cells(9, 10, 11, 11)};
    for (const CGXRange& r : sel) Param().m_SelRects.AddTail(r);
    const std::string coveredBefore = Coverings();

    ASSERT_TRUE(Remove());
    EXPECT_EQ(Selection(), "[2,3,5,3][7,10,9,11]");
    const std::string coveredAfter = Coverings();
    EXPECT_EQ(coveredAfter, "3,2,6,2 - - 3,5,6,5 - 3,7,4,8 - - 3,7,4,8 - - 8,12,10,13 - - - - ");
    EXPECT_EQ(UndoCount(), 1u);

    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(Core().Undo());
        EXPECT_EQ(Coverings(), coveredBefore) << "round " << round;
        ASSERT_TRUE(Core().Redo());
        EXPECT_EQ(Coverings(), coveredAfter) << "round " << round;
    }
}

// Undoing an insertion removes the lines again, and that removal shortens coverings: the redo
// that puts them back is still one step, which brings back the lines and the coverings together.
TEST_P(RemoveAroundTest, RemovalByUndoIsOneRedoStepWithItsCoverings) {
    ASSERT_TRUE(GetParam().rows ? Core().InsertRows(5, 2) : Core().InsertCols(5, 2));
    Cover(3, 2, 8, 2);
    Cover(3, 7, 5, 8);
    Cover(6, 9, 8, 9);
    const std::string coveredBefore = Coverings();
    ASSERT_EQ(UndoCount(), 1u);

    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(Core().Undo());
        EXPECT_EQ(Coverings(), "3,2,6,2 - - - - 3,7,4,8 - - 3,7,4,8 - - - - - - - ")
            << "round " << round;
        EXPECT_EQ(RedoCount(), 1u) << "round " << round;
        EXPECT_EQ(UndoCount(), 0u) << "round " << round;
        ASSERT_TRUE(Core().Redo());
        EXPECT_EQ(Coverings(), coveredBefore) << "round " << round;
        EXPECT_EQ(UndoCount(), 1u) << "round " << round;
        EXPECT_EQ(RedoCount(), 0u) << "round " << round;
    }
}

TEST_P(RemoveAroundTest, UndoBringsHiddenLinesBackHidden) {
    Fill(1, 1, 10, 3);
    auto hide = [&](ROWCOL i) {
        return GetParam().rows ? Core().HideRows(i, i, true, nullptr, 0, 1)
                               : Core().HideCols(i, i, true, nullptr, 0, 1);
    };
    auto hidden = [&] {
        std::string out;
        for (ROWCOL i = 1; i <= 10; ++i)
            out += (GetParam().rows ? Core().IsRowHidden(i) : Core().IsColHidden(i)) ? 'H' : '.';
        return out;
    };
    ASSERT_TRUE(hide(3));
    ASSERT_TRUE(hide(6));
    ASSERT_TRUE(hide(8));
    ASSERT_EQ(hidden(), "..H..H.H..");
    ASSERT_TRUE(Remove());
    EXPECT_EQ(hidden(), "..H..H....");
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(Core().Undo());
        EXPECT_EQ(hidden(), "..H..H.H..") << "round " << round;
        ASSERT_TRUE(Core().Redo());
        EXPECT_EQ(hidden(), "..H..H....") << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, RemoveAroundTest,
                         ::testing::Values(RemoveCase{"rows", true}, RemoveCase{"cols", false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
