// What the core does around a change of cells without its feature objects: the cell store
// learns which cells changed (one cell, a range, or the whole store after rows went), changed
// cells drop their cached composition, fonts are made once per record and zoom, and the calls
// that need a feature answer FALSE and change nothing.
#include "grid/core/tests/GridFixture.h"

#include <string>
#include <vector>

namespace {

// A cell store that writes down every range it is told about.
class RecordingData : public CGXData {
public:
    void AddRecalcRange(const CGXRange& r) override { told.push_back(r); }
    std::vector<CGXRange> told;
};

class GridNotifyTest : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        auto data = std::make_unique<RecordingData>();
        data_ = data.get();
        data->InitParam(&Param());
        Param().SetData(data.release(), true);
        Core().SetRowCount(10, 0);
        Core().SetColCount(5, 0);
        data_->told.clear();
    }
    RecordingData* data_ = nullptr;
};

struct NotifyCase {
    const char* name;
    void (*change)(CGXGridCore&);
    std::vector<CGXRange> told;
};

class CellStoreNotifyTest : public GridNotifyTest,
                            public ::testing::WithParamInterface<NotifyCase> {};

TEST_P(CellStoreNotifyTest, TheCellStoreHearsOfEachChangeOnce) {
    GetParam().change(Core());
    EXPECT_EQ(data_->told, GetParam().told);
}

const CGXRange kTable = CGXRange().SetTable();

INSTANTIATE_TEST_SUITE_P(
    Changes, CellStoreNotifyTest,
    ::testing::Values(
        NotifyCase{"one_cell",
                   [](CGXGridCore& g) {
                       CGXStyle s;
                       g.StoreStyleRowCol(3, 2, &s.SetValue("x"), gxOverride, 0);
                   },
                   {CGXRange(3, 2)}},
        // A range operation tells the store once, not cell by cell.
        NotifyCase{"a_range",
                   [](CGXGridCore& g) { g.SetValueRange(CGXRange(2, 2, 4, 3), "v"); },
                   {CGXRange(2, 2, 4, 3)}},
        NotifyCase{"removed_rows", [](CGXGridCore& g) { g.RemoveRows(2, 3); }, {kTable}},
        // Plain inserted rows bring nothing back, so the store has nothing to hear.
        NotifyCase{"inserted_rows", [](CGXGridCore& g) { g.InsertRows(2, 3); }, {}},
        NotifyCase{"about_to_change",
                   [](CGXGridCore& g) { g.NotifyChangedRange(CGXRange().SetCols(4, 5)); },
                   {CGXRange().SetCols(4, 5)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GridNotifyTest, AChangedCellDropsItsCachedComposition) {
    CGXStyle s;
    Core().SetValueRange(CGXRange(2, 2), "old");
    ASSERT_EQ(Core().LookupStyleRowCol(2, 2).GetValue(), "old");
    // Stored behind the grid's back: the cache still answers the old value ...
    data_->StoreStyleAt(2, 2, &s.SetValue("new"), gxOverride, 0);
    EXPECT_EQ(Core().LookupStyleRowCol(2, 2).GetValue(), "old");
    // ... until the grid is told.
    Core().NotifyCellStoreRange(CGXRange(2, 2));
    EXPECT_EQ(Core().LookupStyleRowCol(2, 2).GetValue(), "new");
    data_->StoreStyleAt(3, 3, &s.SetValue("after rows"), gxOverride, 0);
    Core().LookupStyleRowCol(3, 3);
    data_->StoreStyleAt(3, 3, &s.SetValue("again"), gxOverride, 0);
    Core().NotifyCellStoreChanged();
    EXPECT_EQ(Core().LookupStyleRowCol(3, 3).GetValue(), "again");
}

TEST_F(GridNotifyTest, AFontIsMadeOncePerRecordAndZoom) {
    const CGXFont font = CGXFont().SetFaceName("DejaVu Sans").SetSize(12);
    const fw::LogFont& first = Core().LookupFont(font);
    EXPECT_EQ(&Core().LookupFont(font), &first);
    EXPECT_EQ(first, font.GetLogFontZoomed(100));
    Core().SetZoom(200, 0);
    const fw::LogFont& zoomed = Core().LookupFont(font);
    EXPECT_EQ(zoomed.height, 2 * first.height);
    EXPECT_EQ(zoomed.faceName, "DejaVu Sans");
}

// Without the feature objects the calls that need them answer FALSE and change nothing.
TEST_F(GridNotifyTest, WithoutFeaturesTheirCallsDoNothing) {
    Core().SetValueRange(CGXRange(2, 2), "one\ntwo\nthree");
    const int height = Core().GetRowHeight(2);
    EXPECT_FALSE(Core().FitRowHeights(CGXRange(2, 1)));
    EXPECT_EQ(Core().GetRowHeight(2), height);
    EXPECT_FALSE(Core().UpdateSpannedCells(kTable));
    EXPECT_FALSE(Core().OnSelectedTextClick(2, 2));
    EXPECT_FALSE(Core().SetUndoRecording(true));
    Core().EndUndoStep();
    Core().SetUndoPosition(2, 2);
    Core().CloseTrans();
    // The selection keeps the core's own minimal handling: whole ranges in, whole ranges out.
    Core().SelectRange(CGXRange(2, 1, 8, 4));
    Core().SelectRange(CGXRange(4, 1, 5, 4), false);
    EXPECT_TRUE(Param().m_SelRects.ContainsCell(4, 2));  // not inside the cut: stays
    Core().SetSelection(0, 1, 1, 1, 1);                  // needs the feature
    EXPECT_TRUE(Param().m_SelRects.ContainsCell(8, 4));
    Core().SelectRange(CGXRange(1, 1, 9, 4), false);
    EXPECT_TRUE(Param().m_SelRects.IsEmpty());
}

}  // namespace
