// Update hints between two grid views of one document that share a parameter object: what one
// view changes reaches the other's update operation with create-hint FALSE and goes no further.
#include "framework/docview/Document.h"
#include "framework/docview/FrameWnd.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXGridView.h"
#include "grid/core/tests/GridFixture.h"
#include "grid/features/GXFeatureInstall.h"

#include <gtest/gtest.h>
#include <QCoreApplication>

#include <string>
#include <vector>

namespace {

// A view that notes every update it makes and whether it would send it on.
class NotingView : public CGXGridView {
public:
    std::vector<std::string> log;
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

}  // namespace
