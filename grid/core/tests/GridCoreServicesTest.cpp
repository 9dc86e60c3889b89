// Core operations that the controls, the features and the editor call: the selection as spans
// of rows and columns, the current cell's selected text, a cell's value, replacing the
// properties, and passing updates to the other views.
#include "framework/docview/Document.h"
#include "framework/docview/View.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/tests/GridFixture.h"

#include <string>
#include <utility>
#include <vector>

namespace {

using Spans = std::pair<std::vector<ROWCOL>, std::vector<ROWCOL>>;

class GridCoreServices : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        Core().SetRowCount(20);
        Core().SetColCount(8);
    }
};

TEST_F(GridCoreServices, TheSelectionAsSpansOfRowsAndColumns) {
    const struct {
        const char* name;
        std::vector<CGXRange> selection;
        bool entireOnly, useCurrentCell;
        Spans rows, cols;
    } cases[] = {
        {"rows and a block",
         {CGXRange().SetRows(2, 4), CGXRange(6, 3, 7, 4)},
         false,
         false,
         {{2, 6}, {4, 7}},
         {{0}, {8}}},  // whole rows reach over every column, the header column too
        {"whole rows only",
         {CGXRange().SetRows(2, 4), CGXRange(6, 3, 7, 4)},
         true,
         false,
         {{2}, {4}},
         {{}, {}}},
        {"overlapping blocks join",
         {CGXRange(2, 2, 5, 3), CGXRange(4, 3, 9, 5)},
         false,
         false,
         {{2}, {9}},
         {{2}, {5}}},
        {"nothing selected, current cell asked", {}, false, true, {{5}, {5}}, {{3}, {3}}},
        {"nothing selected", {}, false, false, {{}, {}}, {{}, {}}},
    };
    ASSERT_TRUE(Core().SetCurrentCell(5, 3));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Param().m_SelRects.DeleteAll();
        for (const CGXRange& r : c.selection) Param().m_SelRects.AddTail(r);
        Spans rows, cols;
        EXPECT_EQ(
            Core().GetSelectedRowRanges(rows.first, rows.second, c.entireOnly, c.useCurrentCell),
            !c.rows.first.empty());
        Core().GetSelectedColRanges(cols.first, cols.second, c.entireOnly, c.useCurrentCell);
        EXPECT_EQ(rows, c.rows);
        EXPECT_EQ(cols, c.cols);
        // The numbered form lists every row of the spans.
        std::vector<ROWCOL> each;
        ROWCOL expected = 0;
        for (std::size_t i = 0; i < c.rows.first.size(); ++i)
            expected += c.rows.second[i] - c.rows.first[i] + 1;
        EXPECT_EQ(Core().GetSelectedRows(each, c.entireOnly, c.useCurrentCell), expected);
    }
}

TEST_F(GridCoreServices, SelectedTextAndValuesOfCells) {
    std::string text = "stale";
    Core().GetSelectedText(text);
    EXPECT_EQ(text, "");  // no current cell
    ASSERT_TRUE(Core().SetValueRowCol(4, 2, "node 17"));
    EXPECT_EQ(Core().GetValueRowCol(4, 2), "node 17");
    ASSERT_TRUE(Core().SetCurrentCell(4, 2));
    Core().GetSelectedText(text);
    EXPECT_EQ(text, "node 17");
    // A read-only grid whose parameter object locks it refuses the value.
    Core().ChangeReadOnly(true);
    EXPECT_FALSE(Core().SetValueRowCol(4, 2, "other"));
    EXPECT_EQ(Core().GetValueRowCol(4, 2), "node 17");
}

// A document with two views: the grid's updates reach the other view only.
class NotedView : public fw::View {
public:
    std::vector<long> hints;
    void OnUpdate(fw::View*, long hint, void*) override { hints.push_back(hint); }
    void OnDraw(fw::DeviceContext&) override {}
};

TEST_F(GridCoreServices, UpdatesPassToTheOtherViewsWhileHintsAreOn) {
    fw::Document doc;
    NotedView self, other;
    doc.AddView(&self);
    doc.AddView(&other);
    Core().SetGridWnd(&self, &doc, true);
    Core().UpdateAllViews(&self, 77, nullptr);
    EXPECT_EQ(other.hints, std::vector<long>{77});
    EXPECT_TRUE(self.hints.empty());
    Core().EnableHints(false);
    Core().UpdateAllViews(&self, 78, nullptr);
    EXPECT_EQ(other.hints, std::vector<long>{77});
    // Without the update-hint feature a grid hint is not sent.
    CGXGridHint hint(1);
    EXPECT_FALSE(Core().SendUpdateHint(hint));
    // Replacing the properties needs the library's parameter-copy component.
    CGXProperties replacement;
    replacement.SetDisplayHorzLines(false);
    EXPECT_FALSE(Core().SetProperties(replacement));
    EXPECT_TRUE(Core().GetProperties()->GetDisplayHorzLines());
    doc.RemoveView(&self);
    doc.RemoveView(&other);
    Core().SetGridWnd(wnd_.get());
}

}  // namespace
