#include "framework/dialogs/MessageBox.h"
#include "grid/features/CGXGridCellBlocks.h"
#include "grid/features/tests/FeatureFixture.h"

namespace {

using UndoTest = FeatureFixture;

// A command whose Execute fails: stands for a store that refuses midway through a block.
class FailingCmd : public CGXCommand {
public:
    bool Execute(CGXGridCore*, int) override { return false; }
};

TEST_F(UndoTest, InstallingTwiceKeepsOneObject) {
    CGXOwnedObject* factory = Core().GetFeatureSlot(9);
    ASSERT_NE(factory, nullptr);
    Core().InstallCommandFactory();
    Core().InstallClearCellsImp();
    EXPECT_EQ(Core().GetFeatureSlot(9), factory);
}

TEST_F(UndoTest, CopyCellsUndoesAndRedoes) {
    Fill(1, 1, 2, 2);
    Set(5, 5, "old");
    ASSERT_TRUE(Core().CopyCells(CGXRange(1, 1, 2, 2), 5, 5));
    EXPECT_EQ(Block(5, 5, 6, 6), "r1c1,r1c2|r2c1,r2c2");
    ASSERT_TRUE(Core().Undo());
    EXPECT_EQ(Block(5, 5, 6, 6), "old,|,");
    EXPECT_EQ(RedoCount(), 1u);
    ASSERT_TRUE(Core().Redo());
    EXPECT_EQ(Block(5, 5, 6, 6), "r1c1,r1c2|r2c1,r2c2");
    ASSERT_TRUE(Core().Undo());
    EXPECT_EQ(Get(5, 5), "old");
}

TEST_F(UndoTest, MoveCellsUndoesAndRedoesWithOverwrittenCells) {
    Fill(1, 1, 3, 3);
    ASSERT_TRUE(Core().MoveCells(CGXRange(1, 1, 2, 2), 2, 2));
    EXPECT_EQ(Block(1, 1, 3, 3), ",,r1c3|,r1c1,r1c2|r3c1,r2c1,r2c2");
    ASSERT_TRUE(Core().Undo());
    EXPECT_EQ(Block(1, 1, 3, 3), "r1c1,r1c2,r1c3|r2c1,r2c2,r2c3|r3c1,r3c2,r3c3");
    ASSERT_TRUE(Core().Redo());
    EXPECT_EQ(Block(1, 1, 3, 3), ",,r1c3|,r1c1,r1c2|r3c1,r2c1,r2c2");
    ASSERT_TRUE(Core().Undo());
    EXPECT_EQ(Block(1, 1, 3, 3), "r1c1,r1c2,r1c3|r2c1,r2c2,r2c3|r3c1,r3c2,r3c3");
}

TEST_F(UndoTest, ReadOnlyGridRefusesBlockOperations) {
    Fill(1, 1, 2, 2);
    Core().SaveReadOnly(true);
    EXPECT_FALSE(Core().CopyCells(CGXRange(1, 1, 2, 2), 5, 5));
    EXPECT_FALSE(Core().MoveCells(CGXRange(1, 1, 2, 2), 5, 5));
    EXPECT_FALSE(Core().CanClear());
    EXPECT_EQ(Get(5, 5), "");
    EXPECT_EQ(UndoCount(), 0u);
}

TEST_F(UndoTest, ClearingTwoRangesIsOneStepAndSparesCellsBetween) {
    Fill(1, 1, 6, 6);
    CGXRangeList list;
    list.AddTail(CGXRange(1, 1, 2, 2));
    list.AddTail(CGXRange(5, 5, 6, 6));
    ASSERT_TRUE(Core().ClearCells(list, false));
    EXPECT_EQ(Block(1, 1, 2, 2), ",|,");
    EXPECT_EQ(Block(5, 5, 6, 6), ",|,");
    // Cells that lie in the spans of both ranges but in neither range stay.
    EXPECT_EQ(Get(1, 5), "r1c5");
    EXPECT_EQ(Get(5, 1), "r5c1");
    EXPECT_EQ(UndoCount(), 1u);
    ASSERT_TRUE(Core().Undo());
    EXPECT_EQ(Block(1, 1, 2, 2), "r1c1,r1c2|r2c1,r2c2");
    EXPECT_EQ(Block(5, 5, 6, 6), "r5c5,r5c6|r6c5,r6c6");
}

TEST_F(UndoTest, ClearingStylesRemovesThemWhole) {
    CGXStyle s;
    s.SetValue("v").SetInterior(CGXBrush().SetColor(0x0000FF));
    Core().SetStyleRange(CGXRange(3, 3), &s, gxOverride, 0, nullptr, 0);
    CGXRangeList list;
    list.AddTail(CGXRange(3, 3));
    ASSERT_TRUE(Core().ClearCells(list, true));
    CGXStyle got;
    EXPECT_FALSE(Core().GetStyleRowCol(3, 3, got, gxCopy, 0));
    ASSERT_TRUE(Core().Undo());
    EXPECT_TRUE(Core().GetStyleRowCol(3, 3, got, gxCopy, 0));
    EXPECT_TRUE(got.GetIncludeInterior());
}

TEST_F(UndoTest, CopyTooLargeForUndoAsksAndCancelLeavesAll) {
    SetRows(40000);
    Set(1, 1, "a");
    const CGXRange src = CGXRange(1, 1, 0x8000, 1);
    {
        fw::ScopedMessageBoxAnswers answers({fw::IDCANCEL});
        EXPECT_FALSE(Core().CopyCells(src, 1, 2));
    }
    EXPECT_EQ(Get(1, 2), "");
    EXPECT_EQ(UndoCount(), 0u);
    {
        fw::ScopedMessageBoxAnswers answers({fw::IDOK});
        EXPECT_TRUE(Core().CopyCells(src, 1, 2));
    }
    EXPECT_EQ(Get(1, 2), "a");
    EXPECT_EQ(UndoCount(), 0u);  // went on without undo data
}

TEST_F(UndoTest, TransactionsNestAndCloseWhateverTheUndoSwitch) {
    Fill(1, 1, 1, 2);
    ASSERT_TRUE(Core().BeginTrans("outer"));
    ASSERT_TRUE(Core().CopyCells(CGXRange(1, 1), 3, 3));
    ASSERT_TRUE(Core().BeginTrans("inner"));
    ASSERT_TRUE(Core().CopyCells(CGXRange(1, 2), 3, 4));
    Core().Rollback();  // inner: only counts
    EXPECT_EQ(Param().m_nTransactionDepth, 1);
    EXPECT_EQ(Get(3, 4), "r1c2");
    Core().Rollback();  // outer: everything since the outer BeginTrans
    EXPECT_EQ(Param().m_nTransactionDepth, 0);
    EXPECT_EQ(Block(3, 3, 3, 4), ",");
    EXPECT_EQ(UndoCount(), 0u);
    EXPECT_EQ(RedoCount(), 0u);

    // A transaction that recorded nothing leaves no entry.
    ASSERT_TRUE(Core().BeginTrans("empty"));
    Core().CommitTrans();
    EXPECT_EQ(UndoCount(), 0u);

    // Undo switched off inside an open transaction: commit and rollback still close it.
    ASSERT_TRUE(Core().BeginTrans("t"));
    Param().EnableUndo(false);
    Core().CommitTrans();
    EXPECT_EQ(Param().m_nTransactionDepth, 0);
    Param().EnableUndo(true);
    ASSERT_TRUE(Core().BeginTrans("t"));
    ASSERT_TRUE(Core().BeginTrans("t2"));
    Param().EnableUndo(false);
    Core().Rollback();
    Core().Rollback();
    EXPECT_EQ(Param().m_nTransactionDepth, 0);
    Param().EnableUndo(true);
    EXPECT_TRUE(Core().BeginTrans("again"));
    EXPECT_EQ(Param().m_nTransactionDepth, 1);
    Core().CommitTrans();
}

TEST_F(UndoTest, UndoListHoldsAtMostLimitPlusOne) {
    Param().m_nUndoLimit = 5;
    for (int i = 0; i < 12; ++i) ASSERT_TRUE(Core().CopyCells(CGXRange(1, 1), 2, 2));
    EXPECT_EQ(UndoCount(), 6u);
}

TEST_F(UndoTest, FailingCommandInABlockPutsGridAndListsBack) {
    Fill(1, 1, 1, 3);
    // A block runs its newest command first, so the failing one, recorded first, runs after
    // the two copies have been undone.
    ASSERT_TRUE(Core().BeginTrans("block"));
    Core().AddCommand(std::make_unique<FailingCmd>(), 0);
    ASSERT_TRUE(Core().CopyCells(CGXRange(1, 1), 5, 1));
    ASSERT_TRUE(Core().CopyCells(CGXRange(1, 2), 5, 2));
    Core().CommitTrans();
    ASSERT_EQ(UndoCount(), 1u);
    EXPECT_EQ(Block(5, 1, 5, 2), "r1c1,r1c2");
    EXPECT_FALSE(Core().Undo());
    // The two copies that were undone before the failure are done again, the block is back
    // at the head of the undo list and nothing waits to be redone.
    EXPECT_EQ(Block(5, 1, 5, 2), "r1c1,r1c2");
    EXPECT_EQ(UndoCount(), 1u);
    EXPECT_EQ(RedoCount(), 0u);
    auto* block = dynamic_cast<CGXBlockCmd*>(Param().GetUndoList().front().get());
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->m_commands.size(), 3u);
}

TEST_F(UndoTest, UndoOfABlockRedoesInOneStepWithMenuTexts) {
    Fill(1, 1, 1, 2);
    auto* factory = dynamic_cast<CGXCommandFactory*>(Core().GetCommandFactory());
    ASSERT_NE(factory, nullptr);
    std::string text;
    EXPECT_FALSE(factory->GetUndoText(&Core(), &text));
    EXPECT_FALSE(Core().Undo());
    ASSERT_TRUE(Core().BeginTrans("Two copies"));
    ASSERT_TRUE(Core().CopyCells(CGXRange(1, 1), 4, 1));
    ASSERT_TRUE(Core().CopyCells(CGXRange(1, 2), 4, 2));
    Core().CommitTrans();
    EXPECT_TRUE(factory->GetUndoText(&Core(), &text));
    EXPECT_EQ(text, "Undo Two copies");
    ASSERT_TRUE(Core().Undo());
    EXPECT_EQ(Block(4, 1, 4, 2), ",");
    EXPECT_TRUE(factory->GetRedoText(&Core(), &text));
    EXPECT_EQ(text, "Redo Two copies");
    ASSERT_EQ(RedoCount(), 1u);
    ASSERT_TRUE(Core().Redo());
    EXPECT_EQ(Block(4, 1, 4, 2), "r1c1,r1c2");
    EXPECT_EQ(UndoCount(), 1u);
}

}  // namespace
