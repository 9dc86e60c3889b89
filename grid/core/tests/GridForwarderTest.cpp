// The core's forwarders to its feature objects: with a feature in its slot the call reaches it
// with the grid first and the feature's answer comes back; the geometry follows what the
// hide-cells and covered-cells features say.
#include "grid/core/tests/GridFixture.h"

#include <gmock/gmock.h>

#include <set>
#include <utility>

namespace {

using ::testing::_;
using ::testing::InSequence;
using ::testing::Return;

struct FakeCommandFactory : CGXAbstractCommandFactory {
    MOCK_METHOD(void, AddCommand, (CGXGridCore*, std::unique_ptr<CGXCommand>, int), (override));
    MOCK_METHOD(void, RemoveCommand, (CGXGridCore*, int), (override));
    MOCK_METHOD(bool, Undo, (CGXGridCore*), (override));
    MOCK_METHOD(bool, Redo, (CGXGridCore*), (override));
    MOCK_METHOD(bool, BeginTrans, (CGXGridCore*, const char*), (override));
    MOCK_METHOD(void, CommitTrans, (CGXGridCore*), (override));
    MOCK_METHOD(void, Rollback, (CGXGridCore*), (override));
    MOCK_METHOD(void, CloseTrans, (CGXGridCore*), (override));
    MOCK_METHOD(void, EndUndoStep, (CGXGridCore*), (override));
    MOCK_METHOD(void, SetUndoPosition, (CGXGridCore*, ROWCOL, ROWCOL), (override));
    MOCK_METHOD(bool, SetUndoRecording, (CGXGridCore*, bool), (override));
};

struct FakeSelectedText : CGXAbstractGridSelectedTextImp {
    MOCK_METHOD(bool, OnSelectedTextClick, (CGXGridCore*, ROWCOL, ROWCOL), (override));
};

struct FakeFindReplace : CGXAbstractGridFindReplaceImp {
    MOCK_METHOD(void, ShowDialog, (CGXGridCore*, bool), (override));
    MOCK_METHOD(bool, Find, (CGXGridCore*, const std::string&, bool, bool), (override));
    MOCK_METHOD(bool, FindFrom, (CGXGridCore*, ROWCOL, ROWCOL, bool), (override));
    MOCK_METHOD(bool, FindNext, (CGXGridCore*, bool), (override));
    MOCK_METHOD(void, Replace, (CGXGridCore*, const std::string&, bool, bool, const std::string&),
                (override));
    MOCK_METHOD(void, ReplaceAll, (CGXGridCore*, const std::string&, const std::string&, bool),
                (override));
    MOCK_METHOD(void, OnDialogNotify, (CGXGridCore*, void*), (override));
};

struct FakeCutPaste : CGXAbstractGridCutPasteImp {
    MOCK_METHOD(bool, CanCopy, (CGXGridCore*), (override));
    MOCK_METHOD(bool, Copy, (CGXGridCore*), (override));
    MOCK_METHOD(bool, CopyRangeList, (CGXGridCore*, const CGXRangeList&), (override));
    MOCK_METHOD(bool, CopyTextToClipboard, (CGXGridCore*, const CGXRangeList&), (override));
    MOCK_METHOD(bool, CopyStylesToClipboard, (CGXGridCore*, const CGXRangeList&), (override));
    MOCK_METHOD(bool, CanCut, (CGXGridCore*), (override));
    MOCK_METHOD(bool, Cut, (CGXGridCore*), (override));
    MOCK_METHOD(bool, CutRangeList, (CGXGridCore*, const CGXRangeList&, bool), (override));
    MOCK_METHOD(bool, CanPaste, (CGXGridCore*), (override));
    MOCK_METHOD(bool, HasClipboardData, (CGXGridCore*), (override));
    MOCK_METHOD(bool, Paste, (CGXGridCore*), (override));
    MOCK_METHOD(bool, PasteDirect, (CGXGridCore*, const CGXRange&), (override));
    MOCK_METHOD(bool, PasteFromClipboard, (CGXGridCore*, const CGXRange&), (override));
    MOCK_METHOD(bool, ConfirmPasteSize, (CGXGridCore*), (override));
};

// Hides the rows and columns in its sets; HideRows and HideCols fill them.
struct FakeHideCells : CGXAbstractGridHideCellsImp {
    void RowsRemoved(CGXGridCore*, ROWCOL, ROWCOL) override {}
    void ColsRemoved(CGXGridCore*, ROWCOL, ROWCOL) override {}
    void RowsInserted(CGXGridCore*, ROWCOL, ROWCOL) override {}
    void ColsInserted(CGXGridCore*, ROWCOL, ROWCOL) override {}
    void RowsMoved(CGXGridCore*, ROWCOL, ROWCOL, ROWCOL) override {}
    void ColsMoved(CGXGridCore*, ROWCOL, ROWCOL, ROWCOL) override {}
    bool HideRows(CGXGridCore* g, ROWCOL first, ROWCOL last, bool hide, const bool*, unsigned,
                  int) override {
        for (ROWCOL r = first; r <= last; ++r) StoreHideRow(g, r, hide);
        return true;
    }
    bool IsRowHidden(CGXGridCore*, ROWCOL row) override { return rows.count(row) != 0; }
    bool StoreHideRow(CGXGridCore*, ROWCOL row, bool hide) override {
        hide ? (void)rows.insert(row) : (void)rows.erase(row);
        return true;
    }
    bool HideCols(CGXGridCore* g, ROWCOL first, ROWCOL last, bool hide, const bool*, unsigned,
                  int) override {
        for (ROWCOL c = first; c <= last; ++c) StoreHideCol(g, c, hide);
        return true;
    }
    bool IsColHidden(CGXGridCore*, ROWCOL col) override { return cols.count(col) != 0; }
    bool StoreHideCol(CGXGridCore*, ROWCOL col, bool hide) override {
        hide ? (void)cols.insert(col) : (void)cols.erase(col);
        return true;
    }
    std::set<ROWCOL> rows, cols;
};

// One covering, rows 2..3 by columns 2..4.
struct FakeCoveredCells : CGXAbstractGridCoveredCellsImp {
    bool SetCoveredCellsRowCol(CGXGridCore*, ROWCOL, ROWCOL, ROWCOL, ROWCOL, unsigned,
                               int) override {
        return true;
    }
    CGXRange* GetCoveredCellsRowCol(CGXGridCore*, ROWCOL row, ROWCOL col,
                                    CGXRange& range) override {
        if (row < cover.top || row > cover.bottom || col < cover.left || col > cover.right)
            return nullptr;
        range = cover;
        return &range;
    }
    bool StoreCoveredCellsRowCol(CGXGridCore*, ROWCOL, ROWCOL, ROWCOL, ROWCOL, bool) override {
        return true;
    }
    void UpdateCoveredCellsRowCol(CGXGridCore*, ROWCOL, ROWCOL, ROWCOL, ROWCOL, unsigned,
                                  bool) override {}
    void ExpandRangeByCoverings(CGXGridCore*, CGXRange&) override {}
    CGXRange cover{2, 2, 3, 4};
};

// Fills a slot with a feature that the grid owns, as an installer does.
template <class T>
T* Install(CGXGridCore& core, int slot) {
    T* f = static_cast<T*>(core.AddOwnedObject(std::make_unique<T>()));
    core.SetFeatureSlot(slot, f);
    return f;
}

class GridForwarders : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        Core().SetRowCount(20, 0);
        Core().SetColCount(10, 0);
    }
};

TEST_F(GridForwarders, UndoCallsReachTheFactoryWithTheGridAndItsAnswersComeBack) {
    auto* f = Install<FakeCommandFactory>(Core(), 9);
    CGXGridCore* g = &Core();
    {
        InSequence order;
        EXPECT_CALL(*f, BeginTrans(g, ::testing::StrEq("Paste."))).WillOnce(Return(true));
        EXPECT_CALL(*f, AddCommand(g, _, 3));
        EXPECT_CALL(*f, CommitTrans(g));
        EXPECT_CALL(*f, Undo(g)).WillOnce(Return(true));
        EXPECT_CALL(*f, Redo(g)).WillOnce(Return(false));
        EXPECT_CALL(*f, RemoveCommand(g, 0));
        EXPECT_CALL(*f, Rollback(g));
    }
    EXPECT_TRUE(Core().BeginTrans("Paste."));
    Core().AddCommand(nullptr, 3);
    Core().CommitTrans();
    EXPECT_TRUE(Core().Undo());
    EXPECT_FALSE(Core().Redo());
    Core().DropLastCommand();
    Core().Rollback();
}

TEST_F(GridForwarders, TheStepsAroundAStoreReachTheFactory) {
    auto* f = Install<FakeCommandFactory>(Core(), 9);
    CGXGridCore* g = &Core();
    {
        InSequence order;
        EXPECT_CALL(*f, SetUndoRecording(g, false)).WillOnce(Return(true));
        EXPECT_CALL(*f, EndUndoStep(g));
        EXPECT_CALL(*f, SetUndoPosition(g, 7u, 3u));
        EXPECT_CALL(*f, CloseTrans(g));
    }
    EXPECT_TRUE(Core().SetUndoRecording(false));
    Core().EndUndoStep();
    Core().SetUndoPosition(7, 3);
    Core().CloseTrans();
}

TEST_F(GridForwarders, AClickInSelectedTextGoesToItsFeature) {
    auto* f = Install<FakeSelectedText>(Core(), 29);
    EXPECT_CALL(*f, OnSelectedTextClick(&Core(), 4u, 2u)).WillOnce(Return(true));
    EXPECT_TRUE(Core().OnSelectedTextClick(4, 2));
}

TEST_F(GridForwarders, FindAndReplacePassTheirArgumentsOn) {
    auto* f = Install<FakeFindReplace>(Core(), 14);
    CGXGridCore* g = &Core();
    EXPECT_CALL(*f, FindNext(g, true)).WillOnce(Return(true));
    EXPECT_CALL(*f, FindFrom(g, 5u, 6u, false)).WillOnce(Return(false));
    EXPECT_CALL(*f, Find(g, "ab", false, true)).WillOnce(Return(true));
    EXPECT_CALL(*f, Replace(g, "ab", true, false, "cd"));
    EXPECT_CALL(*f, ReplaceAll(g, "ab", "cd", true));
    EXPECT_CALL(*f, ShowDialog(g, false));
    int dialog = 0;
    EXPECT_CALL(*f, OnDialogNotify(g, &dialog));
    EXPECT_TRUE(Core().FindText(true));
    EXPECT_FALSE(Core().FindTextFrom(5, 6, false));
    EXPECT_TRUE(Core().OnFindNext("ab", false, true));
    Core().OnReplaceSel("ab", true, false, "cd");
    Core().OnReplaceAll("ab", "cd", true);
    Core().OnShowFindReplaceDialog(false);
    Core().OnFindReplace(&dialog);
}

TEST_F(GridForwarders, OneRangeIsCopiedAndCutAsAListOfJustThatRange) {
    auto* f = Install<FakeCutPaste>(Core(), 27);
    const CGXRange range(3, 2, 7, 4);
    auto justRange = ::testing::Truly(
        [&](const CGXRangeList& l) { return l.GetCount() == 1 && *l.begin() == range; });
    EXPECT_CALL(*f, CopyRangeList(&Core(), justRange)).WillOnce(Return(true));
    EXPECT_CALL(*f, CutRangeList(&Core(), justRange, true)).WillOnce(Return(false));
    EXPECT_CALL(*f, PasteFromClipboard(&Core(), range)).WillOnce(Return(true));
    EXPECT_CALL(*f, CanPaste(&Core())).WillOnce(Return(true));
    EXPECT_TRUE(Core().CopyRange(range));
    EXPECT_FALSE(Core().CutRange(range, true));
    EXPECT_TRUE(Core().PasteFromClipboard(range));
    EXPECT_TRUE(Core().CanPaste());
}

TEST_F(GridForwarders, HiddenRowsAndColumnsTakeNoSpaceAndTheirNeighboursMoveUp) {
    CGXGridCore& c = Core();
    // Without the feature nothing can be hidden.
    EXPECT_FALSE(c.HideRows(3, 3));
    EXPECT_FALSE(c.IsRowHidden(3));
    const fw::Rect row4 = c.CalcRectFromRowCol(4, 3);
    const fw::Rect row3 = c.CalcRectFromRowCol(3, 3);
    const fw::Rect col3 = c.CalcRectFromRowCol(4, 3);
    const fw::Rect col2 = c.CalcRectFromRowCol(4, 2);

    Install<FakeHideCells>(c, 13);
    EXPECT_TRUE(c.HideRows(3, 3));
    EXPECT_TRUE(c.HideCols(2, 2));
    EXPECT_TRUE(c.IsRowHidden(3));
    EXPECT_TRUE(c.IsColHidden(2));
    EXPECT_EQ(c.GetRowHeight(3), 0);
    EXPECT_EQ(c.GetColWidth(2), 0);
    const fw::Rect moved = c.CalcRectFromRowCol(4, 3);
    EXPECT_EQ(moved.top, row3.top);
    EXPECT_EQ(moved.bottom - moved.top, row4.bottom - row4.top);
    EXPECT_EQ(moved.left, col2.left);
    EXPECT_EQ(moved.right - moved.left, col3.right - col3.left);

    EXPECT_TRUE(c.HideRows(3, 3, false));
    EXPECT_EQ(c.CalcRectFromRowCol(4, 4).top, row4.top);
}

TEST_F(GridForwarders, ACoveredCellTakesTheRectangleOfItsWholeCovering) {
    CGXGridCore& c = Core();
    CGXRange out;
    EXPECT_EQ(c.GetCoveredCellsRowCol(3, 3, out), nullptr);
    EXPECT_EQ(c.CalcRectFromRowColEx(3, 3), c.CalcRectFromRowCol(3, 3));

    Install<FakeCoveredCells>(c, 5);
    const fw::Rect whole = c.CalcClientRectFromRange(2, 2, 3, 4);
    for (auto [row, col] : {std::pair<ROWCOL, ROWCOL>{2, 2}, {3, 4}, {2, 3}})
        EXPECT_EQ(c.CalcRectFromRowColEx(row, col), whole) << row << "," << col;
    // Cells beside the covering keep their own rectangle.
    EXPECT_EQ(c.CalcRectFromRowColEx(4, 4), c.CalcRectFromRowCol(4, 4));
    EXPECT_EQ(c.CalcRectFromRowColEx(2, 5), c.CalcRectFromRowCol(2, 5));
}

TEST_F(GridForwarders, AGetterFollowsItsSlotAsTheSlotIsRefilledEmptiedOrHoldsAnotherFeature) {
    CGXGridCore& c = Core();
    EXPECT_EQ(c.GetCoveredCellsImp(), nullptr);
    auto* first = Install<FakeCoveredCells>(c, 5);
    EXPECT_EQ(c.GetCoveredCellsImp(), first);
    EXPECT_EQ(c.GetCoveredCellsImp(), first);
    auto* second = Install<FakeCoveredCells>(c, 5);
    EXPECT_EQ(c.GetCoveredCellsImp(), second);
    second->cover = CGXRange(6, 1, 6, 3);
    EXPECT_EQ(c.CalcRectFromRowColEx(6, 2), c.CalcClientRectFromRange(6, 1, 6, 3));
    Install<FakeSelectedText>(c, 5);
    EXPECT_EQ(c.GetCoveredCellsImp(), nullptr);
    c.SetFeatureSlot(5, nullptr);
    EXPECT_EQ(c.GetCoveredCellsImp(), nullptr);
}

}  // namespace
