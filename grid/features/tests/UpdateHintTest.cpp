// Update hints between two grid views of one document that share a parameter object: what one
// view changes reaches the other's update operation with create-hint FALSE and goes no further.
#include "framework/dialogs/MessageBox.h"
#include "framework/docview/Document.h"
#include "framework/docview/FrameWnd.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXGridView.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXSplitterPanes.h"
#include "grid/core/tests/GridFixture.h"
#include "grid/features/CGXSelectionFrameLock.h"
#include "grid/features/GXFeatureInstall.h"

#include <gtest/gtest.h>
#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <string>
#include <tuple>
#include <vector>

namespace {

// A view that notes every update it makes and whether it would send it on.
class NotingView : public CGXGridView {
public:
    std::vector<std::string> log;
    std::vector<int> received;  // ids of the grid hints that reached this view
    bool transferResult = true;
    std::vector<std::string> transfers;
    void OnUpdate(fw::View* sender, long hint, void* object) override {
        if (hint == GX_HINT_GRID && object)
            received.push_back(static_cast<const CGXGridHint*>(object)->id);
        CGXGridView::OnUpdate(sender, hint, object);
    }
    bool TransferCurrentCell(bool save, unsigned flags, bool notify) override {
        transfers.push_back(std::to_string(save) + " " + std::to_string(flags) + " " +
                            std::to_string(notify));
        const bool own = CGXGridView::TransferCurrentCell(save, flags, notify);
        return own && transferResult;
    }
    std::vector<CGXRange> redrawn;
    void RedrawRowCol(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, unsigned flags,
                      bool notify) override {
        redrawn.emplace_back(top, left, bottom, right);
        CGXGridView::RedrawRowCol(top, left, bottom, right, flags, notify);
    }
    using CGXGridView::RedrawRowCol;
    void Note(const std::string& what, bool createHint) {
        log.push_back(what + (createHint ? " send" : " recv"));
    }
    void UpdateInsertRows(ROWCOL row, ROWCOL count, unsigned flags, bool createHint) override {
        Note("insert rows " + std::to_string(row) + "+" + std::to_string(count), createHint);
        CGXGridView::UpdateInsertRows(row, count, flags, createHint);
    }
    void UpdateRemoveCols(ROWCOL from, ROWCOL to, unsigned flags, bool createHint) override {
        Note("remove cols " + std::to_string(from) + "-" + std::to_string(to), createHint);
        CGXGridView::UpdateRemoveCols(from, to, flags, createHint);
    }
    void OnRowHeightChanged(ROWCOL first, ROWCOL last, const std::vector<int>& old, unsigned flags,
                            bool createHint) override {
        Note("heights " + std::to_string(first) + "-" + std::to_string(last) + " old " +
                 (old.empty() ? std::string("none") : std::to_string(old[0])),
             createHint);
        CGXGridView::OnRowHeightChanged(first, last, old, flags, createHint);
    }
    void UpdateMoveRows(ROWCOL first, ROWCOL last, ROWCOL dest, unsigned flags,
                        bool createHint) override {
        Note("move rows " + std::to_string(first) + "-" + std::to_string(last) + " to " +
                 std::to_string(dest),
             createHint);
        CGXGridView::UpdateMoveRows(first, last, dest, flags, createHint);
    }
    void UpdateFrozenCols(ROWCOL oldFrozen, ROWCOL oldHeader, unsigned flags,
                          bool createHint) override {
        Note("frozen cols", createHint);
        CGXGridView::UpdateFrozenCols(oldFrozen, oldHeader, flags, createHint);
    }
    void UpdateStyleRange(const CGXRange& range, const CGXStyle* style, GXModifyType type,
                          int styleType, unsigned flags, bool createHint) override {
        Note("style " + std::to_string(range.top) + "," + std::to_string(range.left), createHint);
        CGXGridView::UpdateStyleRange(range, style, type, styleType, flags, createHint);
    }
};

class UpdateHintTest : public ::testing::Test {
protected:
    void SetUp() override {
        GXTerminateLibrary();
        GXInitWithFeatures();
        for (int i = 0; i < 2; ++i) {
            frames_[i] = std::make_unique<fw::FrameWnd>();
            ASSERT_TRUE(frames_[i]->LoadFrame("Grid", fw::WS_OVERLAPPEDWINDOW));
            views_[i] =
                static_cast<NotingView*>(frames_[i]->SetView(std::make_unique<NotingView>()));
            views_[i]->SetDocument(&doc_);
            if (i == 1)
                views_[1]->SetParam(views_[0]->GetParam(), false);
            frames_[i]->InitialUpdateFrame(&doc_, true);
        }
        views_[0]->SetRowCount(20, 0);
        views_[0]->SetColCount(6, 0);
        QCoreApplication::processEvents();
        for (auto* v : views_) v->log.clear();
    }
    void TearDown() override {
        for (int i = 1; i >= 0; --i) {
            views_[i]->SetDocument(nullptr);
            frames_[i].reset();
        }
        GXTerminateLibrary();
    }
    NotingView& A() { return *views_[0]; }
    NotingView& B() { return *views_[1]; }

    fw::Document doc_;
    std::unique_ptr<fw::FrameWnd> frames_[2];
    NotingView* views_[2] = {};
};

TEST_F(UpdateHintTest, ChangesReachTheOtherViewOnceWithoutBeingSentOn) {
    ASSERT_EQ(A().GetParam(), B().GetParam());
    const struct {
        const char* name;
        void (*change)(CGXGridCore&);
        const char* sent;
    } cases[] = {
        {"insert rows", [](CGXGridCore& g) { g.InsertRows(4, 2); }, "insert rows 4+2"},
        {"remove columns", [](CGXGridCore& g) { g.RemoveCols(2, 3); }, "remove cols 2-3"},
        {"row heights", [](CGXGridCore& g) { g.SetRowHeight(5, 6, 40); }, "heights 5-6 old "},
        {"frozen columns", [](CGXGridCore& g) { g.SetFrozenCols(1, 0); }, "frozen cols"},
        {"move rows", [](CGXGridCore& g) { g.MoveRows(3, 4, 6); }, "move rows 3-4 to 6"},
        {"style range",
         [](CGXGridCore& g) { g.SetValueRange(CGXRange(3, 2), "x", gxOverride, GX_INVALIDATE); },
         "style 3,2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        A().log.clear();
        B().log.clear();
        c.change(A());
        ASSERT_EQ(A().log.size(), 1u);
        ASSERT_EQ(B().log.size(), 1u);
        EXPECT_EQ(A().log[0].rfind(c.sent, 0), 0u) << A().log[0];
        EXPECT_EQ(A().log[0].substr(A().log[0].size() - 4), "send");
        EXPECT_EQ(B().log[0].rfind(c.sent, 0), 0u) << B().log[0];
        EXPECT_EQ(B().log[0].substr(B().log[0].size() - 4), "recv");
    }
    // The old heights travel with the hint.
    A().log.clear();
    B().log.clear();
    const int before = A().GetRowHeight(8);
    A().SetRowHeight(8, 8, before + 7);
    EXPECT_EQ(B().log.at(0), "heights 8-8 old " + std::to_string(before) + " recv");
}

TEST_F(UpdateHintTest, OnlyViewsOfTheHintsChannelTakeIt) {
    B().m_nHintChannel = 5;
    A().InsertRows(2, 1);
    EXPECT_TRUE(B().log.empty());
    // A hint sent to every channel is taken.
    CGXGridHint all(8, -1);
    all.row1 = 3;
    all.countOrResult = 1;
    doc_.UpdateAllViews(&A(), GX_HINT_GRID, &all);
    EXPECT_EQ(B().log, std::vector<std::string>{"insert rows 3+1 recv"});
    // Unknown ids change nothing and are answered with id - 1.
    CGXGridHint odd(99, -1);
    EXPECT_EQ(B().GetUpdateHintImp()->OnHint(&B(), &odd), 98);
}

TEST_F(UpdateHintTest, DisabledHintsAreNeitherSentNorTaken) {
    A().EnableHints(false);
    A().InsertRows(2, 1);
    EXPECT_TRUE(B().log.empty());
    // Other document updates still reach a grid view as plain updates.
    doc_.UpdateAllViews(&A(), 0, nullptr);
    EXPECT_TRUE(B().log.empty());
}

// A splitter of panes laid out in rows and columns.
class PaneGrid : public CGXSplitterPanes {
public:
    PaneGrid(int rows, int cols) : rows_(rows), cols_(cols) {}
    int GetRowCount() const override { return rows_; }
    int GetColumnCount() const override { return cols_; }
    fw::Window* GetPane(int row, int col) const override {
        return row < rows_ && col < cols_ ? panes_[row * cols_ + col] : nullptr;
    }
    void Put(CGXGridCore& grid, int row, int col) {
        panes_[row * cols_ + col] = grid.GridWnd();
        grid.SetSplitterPane(this, row, col);
    }

private:
    int rows_, cols_;
    std::array<fw::Window*, 4> panes_{};
};

TEST_F(UpdateHintTest, TheCurrentCellFollowsWhenTheParameterObjectAsks) {
    const struct {
        const char* name;
        bool asked;
        unsigned flags;
        bool follows;
    } cases[] = {
        {"asked", true, GX_CCSCROLLINVIEW | GX_CCUPDATENOW, true},
        {"not asked", false, GX_CCSCROLLINVIEW | GX_CCUPDATENOW, false},
        {"no hint flag", true, GX_CCUPDATENOW | GX_CCNOHINT, false},
    };
    ROWCOL row = 3;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        A().GetParam()->m_bCurrentCellHints = c.asked;
        B().ResetCurrentCell();
        A().received.clear();
        ASSERT_TRUE(A().SetCurrentCell(++row, 2, c.flags));
        ROWCOL r = 0, col = 0;
        EXPECT_EQ(B().GetCurrentCell(r, col), c.follows);
        if (c.follows) {
            EXPECT_EQ(std::make_pair(r, col), std::make_pair(row, ROWCOL{2}));
        }
        // Nothing comes back to the view that moved.
        EXPECT_EQ(std::count(A().received.begin(), A().received.end(), 27), 0);
    }
}

TEST_F(UpdateHintTest, StoringTheCurrentCellAnswersFalseWhenAnotherViewFails) {
    for (bool otherStores : {true, false}) {
        SCOPED_TRACE(otherStores);
        B().transferResult = otherStores;
        B().transfers.clear();
        EXPECT_EQ(A().TransferCurrentCell(true, GX_CCUPDATENOW, true), otherStores);
        // The other view stores with notify off and passes nothing on.
        ASSERT_EQ(B().transfers.size(), 1u);
        EXPECT_EQ(B().transfers[0], "1 " + std::to_string(GX_CCUPDATENOW | GX_CCNOHINT) + " 0");
    }
    // Without notify the other views are not asked.
    B().transfers.clear();
    EXPECT_TRUE(A().TransferCurrentCell(false, GX_CCUPDATENOW, false));
    EXPECT_TRUE(B().transfers.empty());
}

TEST_F(UpdateHintTest, ZoomReachesThePanesOfTheSendersSplitterOrEveryViewWhenShared) {
    PaneGrid one(1, 2), other(1, 2);
    const struct {
        const char* name;
        PaneGrid* splitterA;
        PaneGrid* splitterB;
        bool shared;
        int zoomB;
    } cases[] = {
        {"two frames", nullptr, nullptr, false, 100},
        {"one splitter", &one, &one, false, 150},
        {"two splitters", &one, &other, false, 100},
        {"shared zoom", nullptr, nullptr, true, 150},
        {"two splitters, shared", &one, &other, true, 150},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        A().SetSplitterPane(nullptr);
        B().SetSplitterPane(nullptr);
        if (c.splitterA)
            c.splitterA->Put(A(), 0, 0);
        if (c.splitterB)
            c.splitterB->Put(B(), 0, c.splitterA == c.splitterB ? 1 : 0);
        A().GetParam()->m_bSharedZoom = c.shared;
        A().SetZoom(100);
        B().StoreZoom(100, false);
        A().received.clear();
        B().received.clear();
        ASSERT_TRUE(A().SetZoom(150));
        EXPECT_EQ(B().GetZoom(), c.zoomB);
        EXPECT_EQ(B().received, (std::vector<int>{20, 19}));
        EXPECT_TRUE(A().received.empty());
    }
}

TEST_F(UpdateHintTest, SplitterPanesKeepTheirScrollingInStep) {
    A().SetRowCount(300, 0);
    A().SetColCount(60, 0);
    const struct {
        const char* name;
        int rows, cols;  // the splitter's layout
        int paneBRow, paneBCol;
        bool topFollows, leftFollows;
    } cases[] = {
        {"side by side", 1, 2, 0, 1, true, false},
        {"one above the other", 2, 1, 1, 0, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PaneGrid split(c.rows, c.cols);
        split.Put(A(), 0, 0);
        split.Put(B(), c.paneBRow, c.paneBCol);
        A().SetTopRow(1, GX_INVALIDATE, false);
        A().SetLeftCol(1, GX_INVALIDATE, false);
        B().SetTopRow(1, GX_INVALIDATE, false);
        B().SetLeftCol(1, GX_INVALIDATE, false);
        // Setting the top row or left column, and scrolling by lines.
        A().SetTopRow(10);
        A().SetLeftCol(7);
        EXPECT_EQ(B().GetTopRow(), c.topFollows ? 10u : 1u);
        EXPECT_EQ(B().GetLeftCol(), c.leftFollows ? 7u : 1u);
        ASSERT_TRUE(A().DoScroll(3, 2));
        ASSERT_TRUE(A().DoScroll(4, 1));
        EXPECT_EQ(B().GetTopRow(), c.topFollows ? 12u : 1u);
        EXPECT_EQ(B().GetLeftCol(), c.leftFollows ? 8u : 1u);
        // The pane that followed sends nothing back: the first pane stays where it went.
        B().SetTopRow(B().GetTopRow(), GX_INVALIDATE, false);
        EXPECT_EQ(A().GetTopRow(), 12u);
        A().SetSplitterPane(nullptr);
        B().SetSplitterPane(nullptr);
    }
    // Outside a splitter nothing is sent for scrolling.
    B().received.clear();
    A().SetTopRow(30);
    A().DoScroll(3, 1);
    EXPECT_TRUE(B().received.empty());
}

TEST_F(UpdateHintTest, SelectionChangesAreRedrawnInTheOtherView) {
    const struct {
        const char* name;
        void (*change)(CGXGridCore&);
        int hint;
    } cases[] = {
        {"select a block", [](CGXGridCore& g) { g.SelectRange(CGXRange(2, 2, 4, 3)); }, 13},
        {"redraw all of it", [](CGXGridCore& g) { g.GetUserSelectRangeImp()->RedrawSelection(&g); },
         14},
        {"clear it", [](CGXGridCore& g) { g.SetSelection(nullptr); }, 13},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        A().received.clear();
        B().received.clear();
        B().redrawn.clear();
        c.change(A());
        EXPECT_TRUE(A().received.empty());
        ASSERT_FALSE(B().received.empty());
        EXPECT_EQ(B().received.back(), c.hint);
        // The other view redrew the block whose selected state changed.
        EXPECT_NE(std::find(B().redrawn.begin(), B().redrawn.end(), CGXRange(2, 2, 4, 3)),
                  B().redrawn.end());
    }
}

TEST_F(UpdateHintTest, ReplacedPropertiesAreACopyAndTheOtherViewRedraws) {
    CGXProperties replacement;
    replacement.SetDisplayHorzLines(false);
    B().received.clear();
    ASSERT_TRUE(A().SetProperties(replacement));
    CGXProperties* now = A().GetProperties();
    ASSERT_NE(now, nullptr);
    EXPECT_NE(now, &replacement);
    EXPECT_FALSE(now->GetDisplayHorzLines());
    EXPECT_EQ(B().GetProperties(), now);  // the parameter object is shared
    EXPECT_EQ(B().received, std::vector<int>{33});
}

}  // namespace

TEST_F(UpdateHintTest, LockingTheSelectionFrameReachesTheOtherViewWhenAsked) {
    const struct {
        const char* name;
        bool lock;
        bool asked;
        bool otherLocked;  // the other view's state afterwards
    } cases[] = {
        {"lock, not asked", true, false, false}, {"unlock, not asked", false, false, false},
        {"lock, asked", true, true, true},       {"lock again, asked", true, true, true},
        {"unlock, asked", false, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        A().received.clear();
        B().received.clear();
        A().LockSelectionFrame(c.lock, c.asked);
        EXPECT_EQ(A().m_bFrameLocked, c.lock);
        EXPECT_EQ(B().m_bFrameLocked, c.otherLocked);
        // The receiver passes nothing on.
        EXPECT_TRUE(A().received.empty());
    }
    // The lock object asks for no hint: the other view keeps its own state.
    {
        CGXSelectionFrameLock lock(A());
        EXPECT_TRUE(A().m_bFrameLocked);
        EXPECT_FALSE(B().m_bFrameLocked);
    }
    EXPECT_FALSE(A().m_bFrameLocked);
}

// A data object that reports a formula error until it is reset.
class FailingData : public CGXData {
public:
    bool GetUpdateErrorText(std::string& text) override {
        text = error;
        return !error.empty();
    }
    std::string error;
};

TEST_F(UpdateHintTest, RefreshingAViewRefreshesTheOthersAndReportsAFormulaError) {
    for (bool createHint : {false, true}) {
        SCOPED_TRACE(createHint);
        A().received.clear();
        B().received.clear();
        EXPECT_TRUE(A().RefreshViews(false, nullptr, createHint));
        EXPECT_EQ(std::count(B().received.begin(), B().received.end(), 36), createHint ? 1 : 0);
        EXPECT_TRUE(A().received.empty());
    }
    auto data = std::make_unique<FailingData>();
    data->error = "Circular reference";
    A().GetParam()->SetData(data.release(), true);
    std::string text;
    {
        fw::ScopedMessageBoxAnswers boxes({fw::IDOK});
        EXPECT_FALSE(A().RefreshViews(false, &text, false));
        EXPECT_EQ(text, "Circular reference");
        EXPECT_TRUE(boxes.asked.empty());
        // Without a place for the text the user is told.
        EXPECT_FALSE(A().RefreshViews(false, nullptr, false));
        ASSERT_EQ(boxes.asked.size(), 1u);
        EXPECT_EQ(boxes.asked[0].text, "Circular reference");
    }
}

TEST_F(UpdateHintTest, AChangeMadeElsewhereRedrawsTheRowsColumnsTableOrCellsItTouched) {
    const struct {
        const char* name;
        CGXRange range;
        CGXRange redrawn;  // 20 rows and 6 columns
    } cases[] = {
        {"rows", CGXRange().SetRows(3, 4), CGXRange(3, 0, 4, 6)},
        {"columns", CGXRange().SetCols(2, 2), CGXRange(0, 2, 20, 2)},
        {"table", CGXRange().SetTable(), CGXRange(0, 0, 20, 6)},
        {"cells", CGXRange(5, 1, 7, 3), CGXRange(5, 1, 7, 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        A().redrawn.clear();
        A().UpdateChangedCells(c.range, GX_INVALIDATE, false);
        ASSERT_EQ(A().redrawn.size(), 1u);
        const CGXRange& r = A().redrawn[0];
        EXPECT_EQ(
            std::make_tuple(r.top, r.left, r.bottom, r.right),
            std::make_tuple(c.redrawn.top, c.redrawn.left, c.redrawn.bottom, c.redrawn.right));
    }
}
