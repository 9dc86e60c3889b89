#include "framework/drawing/DeviceContext.h"
#include "framework/persist/StringTable.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXNumberFormattingImp.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/GXLibraryState.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

CGXStyle Value(const char* v) {
    CGXStyle s;
    s.SetValue(v);
    return s;
}

std::string ValueAt(const CGXData& d, ROWCOL r, ROWCOL c, int storeType = 0) {
    CGXStyle s;
    const bool found = d.GetStyleAt(r, c, s, gxOverride, storeType);
    // A cell's stored style read in place is the one a lookup copies, after every change.
    if (storeType == 0) {
        const CGXStyle* stored = d.StoredCellStyle(r, c);
        EXPECT_EQ(stored != nullptr, found) << r << "," << c;
        if (stored && found) {
            EXPECT_EQ(stored->GetValue(), s.GetValue()) << r << "," << c;
        }
    }
    return found ? s.GetValue() : "<none>";
}

class StylesMapTest : public ::testing::Test {
protected:
    void TearDown() override { GXSetLibrarySettings(0, 0, 0); }
};

TEST_F(StylesMapTest, StandardStylesAndHeaderBorders) {
    const struct {
        int first, third;
        bool nullBorders;
    } cases[] = {{1, 1, true}, {0, 1, false}, {1, 0, false}};
    for (const auto& c : cases) {
        GXSetLibrarySettings(c.first, 2, c.third);
        CGXStylesMap map;
        map.CreateStandardStyles();
        EXPECT_EQ(map.m_wStyleStandard, 0);
        EXPECT_EQ(map.m_wStyleColHeader, 1);
        EXPECT_EQ(map.m_wStyleRowHeader, 2);
        EXPECT_EQ(map.GetStyleIdFromName("Column Header"), 1);
        EXPECT_EQ(map.GetStyleIdFromResource(GX_IDS_STYLE_ROWHEADER), 2);
        const CGXStyle* standard = nullptr;
        ASSERT_TRUE(map.LookupStyle(map.m_wStyleStandard, standard));
        EXPECT_EQ(standard->GetFont().GetSize(), 8.0);
        EXPECT_EQ(standard->GetControl(), GX_IDS_CTRL_EDIT);
        const CGXStyle* col = nullptr;
        ASSERT_TRUE(map.LookupStyle(map.m_wStyleColHeader, col));
        EXPECT_EQ(col->GetFont().GetWeight(), 700);
        EXPECT_EQ(col->GetHorizontalAlignment(), fw::DT_CENTER);
        EXPECT_EQ(col->GetControl(), GX_IDS_CTRL_HEADER);
        EXPECT_EQ(col->GetInterior().GetColor() >> 24, 254u - fw::COLOR_BTNFACE);
        const CGXStyle* row = nullptr;
        ASSERT_TRUE(map.LookupStyle(map.m_wStyleRowHeader, row));
        EXPECT_FALSE(row->GetIncludeFont());
        for (const CGXStyle* header : {col, row}) {
            EXPECT_EQ(header->GetIncludeBorders(), c.nullBorders) << c.first << c.third;
            if (c.nullBorders) {
                for (int side = 0; side < 4; ++side)
                    EXPECT_EQ(header->GetBorders(side).GetStyle(), fw::PS_NULL);
            }
        }
        unsigned resource = 0;
        EXPECT_EQ(map.GetStyleName(1, resource), "Column Header");
        EXPECT_EQ(resource, GX_IDS_STYLE_COLHEADER);
    }
}

TEST_F(StylesMapTest, RegisteringNamesAndIds) {
    CGXStylesMap map;
    EXPECT_EQ(map.RegisterStyle("Mine", Value("a"), false), 0);
    EXPECT_EQ(map.RegisterStyle("Other", Value("b"), false), 1);
    EXPECT_EQ(map.RegisterStyle("Mine", Value("c"), false), 0);  // a known name keeps its id
    EXPECT_EQ(map.GetStyleIdFromName("Nobody"), 0);
    CGXStyle* mine = map.LookupStyle(0);
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(mine->GetValue(), "c");
    EXPECT_EQ(map.RegisterStyleFromResource(4711, Value("r"), false), 2);
    EXPECT_EQ(map.GetStyleIdFromName("UA4711"), 2);  // no text for the id

    std::vector<std::string> names;
    for (auto pos = map.GetStartPosition(); pos;) {
        std::string name;
        std::uint16_t id = 0;
        const CGXStyle* style = nullptr;
        unsigned res = 0;
        map.GetNextStyle(pos, name, id, style, res);
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Mine", "Other", "UA4711"}));

    CGXStylesMap copy(map);
    map.RemoveAllStyles();
    EXPECT_FALSE(map.LookupStyle(0));
    EXPECT_EQ(map.RegisterStyle("Fresh", Value("f"), false), 0);  // the counter starts again
    EXPECT_EQ(copy.LookupStyle(2)->GetValue(), "r");              // the copy is deep
}

TEST_F(StylesMapTest, BaseStyleCyclesAreRefused) {
    CGXStylesMap map;
    CGXStyle a = Value("a");
    a.SetBaseStyle(1).SetReadOnly(true);
    ASSERT_EQ(map.RegisterStyle("A", a, false), 0);  // base 1 does not exist yet
    CGXStyle b = Value("b");
    b.SetBaseStyle(0).SetMaxLength(9);
    EXPECT_EQ(map.RegisterStyle("B", b, false), GX_NO_STYLE_ID);  // 1 -> 0 -> 1
    CGXStyle self;
    self.SetBaseStyle(1);
    EXPECT_EQ(map.RegisterStyle("Self", self, false), GX_NO_STYLE_ID);  // would be id 1
    b.SetBaseStyle(2);
    ASSERT_EQ(map.RegisterStyle("B", b, false), 1);

    // A chain that loops among stored styles is followed once and stops.
    map.LookupStyle(1)->SetBaseStyle(0);
    CGXStyle cell;
    cell.SetBaseStyle(0);
    cell.LoadBaseStyle(map);
    EXPECT_EQ(cell.GetValue(), "a");
    EXPECT_TRUE(cell.GetReadOnly());
    EXPECT_EQ(cell.GetMaxLength(), 9);
}

TEST_F(StylesMapTest, ControlAndAttributeNames) {
    GXAddLibraryStrings();
    CGXStylesMap map;
    map.AddControl(GX_IDS_CTRL_EDIT);
    map.AddControl(GX_IDS_CTRL_EDIT);
    ASSERT_EQ(map.GetControlNames().size(), 1u);
    EXPECT_EQ(map.GetControlNames().at(GX_IDS_CTRL_EDIT), "Edit Control");
    EXPECT_THROW(map.AddControl(4242), CGXResourceException);
    CGXStyle how;
    how.SetControl(GX_IDS_CTRL_EDIT);
    map.AddUserAttribute(51022, &how);
    ASSERT_EQ(map.GetUserAttributeEntries().size(), 1u);
    EXPECT_EQ(map.GetUserAttributeEntries().at(51022).name, "Tooltip-Text");
    EXPECT_TRUE(map.GetUserAttributeEntries().at(51022).style->GetIncludeControl());
    EXPECT_THROW(map.AddUserAttribute(4243), CGXResourceException);
}

TEST(CellStore, StoringGrowsTheCounts) {
    CGXData d;
    d.SetRowCount(5);
    d.SetColCount(3);
    EXPECT_TRUE(d.StoreStyleAt(10, 2, nullptr, gxOverride, 0));
    EXPECT_EQ(d.GetRowCount(), 10u);
    EXPECT_EQ(ValueAt(d, 10, 2), "<none>");

    const CGXStyle v = Value("x");
    d.StoreStyleAt(2, 2, &v, gxExclude, 0);  // nothing to exclude from: nothing stored
    EXPECT_EQ(ValueAt(d, 2, 2), "<none>");
    d.StoreStyleAt(2, 2, &v, gxOverride, 0);
    EXPECT_EQ(ValueAt(d, 2, 2), "x");
    d.StoreStyleAt(2, 2, &v, gxExclude, 0);
    EXPECT_EQ(ValueAt(d, 2, 2), "");
    d.StoreStyleAt(2, 7, &v, gxOverride, 0);
    EXPECT_EQ(d.GetColCount(), 7u);

    // Row and column styles: store type -1, row 0 for a column.
    const CGXStyle r = Value("row"), c = Value("col");
    d.StoreStyleAt(3, 0, &r, gxOverride, gxRowColStyle);
    d.StoreStyleAt(0, 3, &c, gxOverride, gxRowColStyle);
    EXPECT_EQ(ValueAt(d, 3, 0, gxRowColStyle), "row");
    EXPECT_EQ(ValueAt(d, 0, 3, gxRowColStyle), "col");
    EXPECT_EQ(ValueAt(d, 3, 0), "<none>");
    EXPECT_EQ(ValueAt(d, 11, 1), "<none>");  // beyond the row count

    // Sentinels are no row numbers.
    EXPECT_FALSE(d.StoreStyleAt(GX_INVALID, 1, &v, gxOverride, 0));
    EXPECT_FALSE(d.StoreStyleAt(1, GX_MAXROWCOL, &v, gxOverride, 0));
    EXPECT_FALSE(d.InsertRows(1, GX_MAXROWCOL));
}

TEST(CellStore, RowCountsAndRemoval) {
    CGXData d;
    for (ROWCOL r = 1; r <= 10; ++r) {
        const CGXStyle v = Value(std::to_string(r).c_str());
        d.StoreStyleAt(r, 1, &v, gxOverride, 0);
    }
    d.RemoveRows(11, 12);
    EXPECT_EQ(d.GetRowCount(), 10u);
    d.RemoveRows(8, 20);  // only rows 8..10 exist: the count drops by 3, not by 10
    EXPECT_EQ(d.GetRowCount(), 7u);
    EXPECT_EQ(ValueAt(d, 7, 1), "7");
    d.SetRowCount(3);
    EXPECT_EQ(d.GetRowCount(), 3u);
    d.SetRowCount(12);
    EXPECT_EQ(ValueAt(d, 3, 1), "3");
    EXPECT_EQ(ValueAt(d, 4, 1), "<none>");
    EXPECT_EQ(ValueAt(d, 12, 1), "<none>");

    d.InsertRows(2, 2);
    EXPECT_EQ(ValueAt(d, 2, 1), "<none>");
    EXPECT_EQ(ValueAt(d, 4, 1), "2");
    EXPECT_EQ(d.GetRowCount(), 14u);
    d.InsertCols(1, 1);
    EXPECT_EQ(ValueAt(d, 4, 2), "2");
    d.RemoveCols(1, 1);
    EXPECT_EQ(ValueAt(d, 4, 1), "2");
}

TEST(CellStore, MovingRowsPutsTheFirstAtTheDestination) {
    CGXData d;
    for (ROWCOL r = 1; r <= 7; ++r) {
        const CGXStyle v = Value(std::to_string(r).c_str());
        d.StoreStyleAt(r, 1, &v, gxOverride, 0);
    }
    d.MoveRows(2, 3, 5);  // 1 4 5 6 2 3 7
    std::string order;
    for (ROWCOL r = 1; r <= 7; ++r) order += ValueAt(d, r, 1);
    EXPECT_EQ(order, "1456237");
    d.MoveRows(5, 6, 2);  // back
    order.clear();
    for (ROWCOL r = 1; r <= 7; ++r) order += ValueAt(d, r, 1);
    EXPECT_EQ(order, "1234567");
    d.SetColCount(3);
    d.MoveCols(1, 1, 3);
    EXPECT_EQ(ValueAt(d, 4, 3), "4");
    EXPECT_EQ(ValueAt(d, 4, 1), "<none>");
}

TEST(CellStore, NumbersAreRecognisedWhenTyped) {
    InstallNumberFormattingImp();
    CGXData d;
    const CGXStyle typed = Value("12.5"), text = Value("12.5x");
    d.StoreStyleAt(1, 1, &typed, gxOverride, gxValueStore);
    d.StoreStyleAt(1, 2, &text, gxOverride, gxValueStore);
    d.StoreStyleAt(1, 3, &typed, gxOverride, 0);
    CGXStyle s;
    d.GetStyleAt(1, 1, s, gxCopy, 0);
    EXPECT_EQ(s.GetValueType(), GX_VT_NUMBER);
    d.GetStyleAt(1, 2, s, gxCopy, 0);
    EXPECT_EQ(s.GetValueType(), GX_VT_STRING);
    d.GetStyleAt(1, 3, s, gxCopy, 0);
    EXPECT_EQ(s.GetValueType(), GX_VT_STRING);  // only values typed by the user

    CGXData copy;
    copy.CopyFrom(d);
    EXPECT_EQ(ValueAt(copy, 1, 2), "12.5x");
    EXPECT_EQ(copy.GetColCount(), 3u);
    d.DeleteContents();
    EXPECT_EQ(ValueAt(d, 1, 1), "<none>");
    EXPECT_EQ(d.GetColCount(), 3u);
    EXPECT_FALSE(d.GetUpdateFlag(1, 1));
    std::string error;
    EXPECT_FALSE(d.GetUpdateErrorText(error));
}

TEST(CellStore, AStyleGivenUpIsKeptWhereNothingIsStoredAndOtherwiseMergedAsACopyIs) {
    InstallNumberFormattingImp();
    // The store that takes a style over must leave every place as the copying store does.
    struct Case {
        GXModifyType type;
        int storeType;
        ROWCOL row, col;
    };
    const Case cases[] = {
        {gxOverride, 0, 1, 1},
        {gxApplyNew, 0, 1, 2},
        {gxCopy, 0, 1, 3},
        {gxExclude, 0, 1, 4},
        {gxOverride, gxValueStore, 2, 1},
        {gxApplyNew, gxValueStore, 2, 2},
        {gxOverride, gxRowColStyle, 3, 0},
        {gxOverride, gxRowColStyle, 0, 3},
    };
    for (bool occupied : {false, true}) {
        CGXData copied, owned;
        for (const Case& c : cases) {
            CGXStyle before = Value("before");
            before.SetEnabled(false);
            if (occupied) {
                copied.StoreStyleAt(c.row, c.col, &before, gxOverride, c.storeType);
                owned.StoreStyleAt(c.row, c.col, &before, gxOverride, c.storeType);
            }
            auto given = std::make_unique<CGXStyle>(Value("7"));
            const CGXStyle* raw = given.get();
            EXPECT_TRUE(copied.StoreStyleAt(c.row, c.col, raw, c.type, c.storeType));
            EXPECT_TRUE(
                owned.StoreOwnedStyleAt(c.row, c.col, std::move(given), c.type, c.storeType));
            const int read = c.storeType == gxRowColStyle ? gxRowColStyle : 0;
            EXPECT_EQ(ValueAt(owned, c.row, c.col, read), ValueAt(copied, c.row, c.col, read))
                << c.row << "," << c.col << " occupied " << occupied;
            CGXStyle a, b;
            const bool inA = copied.GetStyleAt(c.row, c.col, a, gxCopy, read);
            EXPECT_EQ(owned.GetStyleAt(c.row, c.col, b, gxCopy, read), inA);
            EXPECT_EQ(a.GetValueType(), b.GetValueType()) << c.row << "," << c.col;
            EXPECT_EQ(a.GetIncludeEnabled(), b.GetIncludeEnabled()) << c.row << "," << c.col;
            if (!occupied && read == 0 && c.type != gxExclude) {
                EXPECT_EQ(owned.StoredCellStyle(c.row, c.col), raw);  // kept, not copied
            }
        }
        EXPECT_EQ(owned.GetRowCount(), copied.GetRowCount());
        EXPECT_EQ(owned.GetColCount(), copied.GetColCount());
    }
    CGXData d;
    EXPECT_FALSE(d.StoreOwnedStyleAt(GX_INVALID, 1, std::make_unique<CGXStyle>(), gxOverride, 0));
    EXPECT_TRUE(d.StoreOwnedStyleAt(4, 4, nullptr, gxOverride, 0));  // removes, like a copy
    EXPECT_EQ(ValueAt(d, 4, 4), "<none>");
}

// A properties object that tells when it is deleted.
struct TrackedProperties : CGXProperties {
    explicit TrackedProperties(bool* gone) : gone_(gone) {}
    ~TrackedProperties() override { *gone_ = true; }
    bool* gone_;
};

// Writes each pending row as "r<row>" in column 1, two rows at a time (a node of two rows), and
// counts what it was asked for.
class PairSupplier : public CGXRowSupplier {
public:
    explicit PairSupplier(CGXData& data) : data_(data) {}
    void SupplyRows(ROWCOL row) override {
        asked.push_back(row);
        const ROWCOL first = row - (row - 1) % 2;
        data_.MarkRowsSupplied(first, first + 1);
        for (ROWCOL r = first; r <= first + 1; ++r) {
            const CGXStyle written = Value(("r" + std::to_string(r)).c_str());
            data_.StoreStyleAt(r, 1, &written, gxOverride, 0);
        }
    }
    std::vector<ROWCOL> asked;

private:
    CGXData& data_;
};

TEST(CellStore, PendingRowsAreWrittenWhenFirstReadOrStored) {
    CGXData d;
    d.SetRowCount(8);
    d.SetColCount(3);
    PairSupplier supplier(d);
    d.SetRowSupplier(&supplier);
    d.MarkRowsPending(1, 8);
    EXPECT_TRUE(d.HasPendingRows());

    // A read writes the row and its partner, once.
    EXPECT_EQ(ValueAt(d, 4, 1), "r4");
    EXPECT_EQ(ValueAt(d, 3, 1), "r3");
    EXPECT_EQ(supplier.asked, (std::vector<ROWCOL>{4}));
    // A store into a pending row lands on top of what the supplier writes.
    const CGXStyle typed = Value("typed");
    d.StoreStyleAt(5, 1, &typed, gxOverride, 0);
    EXPECT_EQ(ValueAt(d, 5, 1), "typed");
    EXPECT_EQ(ValueAt(d, 6, 1), "r6");
    // Rows inserted before pending rows have those written first, under their old numbers.
    d.InsertRows(2, 1);
    EXPECT_EQ(ValueAt(d, 8, 1), "r7");
    EXPECT_EQ(ValueAt(d, 9, 1), "r8");
    EXPECT_FALSE(d.HasPendingRows());
    // A column inserted before the supplier's columns has the pending rows written first too:
    // their cells move with the column they were written in.
    d.MarkRowsPending(1, 2);
    d.InsertCols(1, 1);
    EXPECT_FALSE(d.HasPendingRows());
    EXPECT_EQ(ValueAt(d, 1, 2), "r1");
    EXPECT_EQ(ValueAt(d, 1, 1), "<none>");
}

TEST(CellStore, RemovingRowsDropsTheirPendingMarksAndWritesOnlyTheRowsAfter) {
    CGXData d;
    d.SetRowCount(8);
    PairSupplier supplier(d);
    d.SetRowSupplier(&supplier);
    d.MarkRowsPending(1, 8);
    d.RemoveRows(7, 8);  // nothing after them: nothing is written
    EXPECT_TRUE(supplier.asked.empty());
    d.RemoveRows(1, 2);  // rows 3..6 move up: written first
    EXPECT_EQ(supplier.asked, (std::vector<ROWCOL>{3, 5}));
    EXPECT_EQ(ValueAt(d, 1, 1), "r3");
    EXPECT_EQ(ValueAt(d, 4, 1), "r6");
    // Without a supplier nothing is pending.
    d.SetRowSupplier(&supplier);
    d.MarkRowsPending(1, 4);
    d.SetRowSupplier(nullptr);
    EXPECT_FALSE(d.HasPendingRows());
    EXPECT_EQ(supplier.asked.size(), 2u);
}

TEST(GridParam, DefaultsAndOwnership) {
    bool ownedGone = false, borrowedGone = false;
    TrackedProperties borrowed(&borrowedGone);
    {
        CGXGridParam p;
        EXPECT_TRUE(p.IsEnableSelection(GX_SELROW));
        EXPECT_TRUE(p.IsEnableTrackRowHeight(0x02));
        EXPECT_FALSE(p.IsEnableTrackRowHeight(0x01));  // 0xB2
        EXPECT_FALSE(p.IsSelectionMode(GX_SELSINGLE));
        EXPECT_TRUE(p.IsEnableMoveRows());
        std::int32_t h = 0;
        EXPECT_TRUE(p.m_RowHeights.Lookup(0, h));
        EXPECT_EQ(h, 1400);
        EXPECT_EQ(p.m_nDefaultColWidth, 10000);
        p.SetProperties(new TrackedProperties(&ownedGone), true);
        p.SetProperties(&borrowed, false);  // deletes the owned one
        EXPECT_TRUE(ownedGone);
        p.SetData(new CGXData, true);
        p.SetStylesMap(new CGXStylesMap, true);
        p.GetUndoList().push_front(std::make_unique<CGXCommand>());
        p.EnableSelection(0);
        EXPECT_FALSE(p.IsEnableSelection(0xFF));
    }
    EXPECT_FALSE(borrowedGone);  // not the parameter object's to delete
}

}  // namespace

#include "grid/core/GXSizeUnits.h"

namespace {

TEST(SizeUnits, NeverDivideByZero) {
    EXPECT_EQ(GXStoredSizeFromPixels(20, 16), 20 * 62);  // 1000 / 16 = 62
    EXPECT_EQ(GXPixelsFromStoredSize(1240, 16), 20);
    EXPECT_EQ(GXPixelsFromStoredSize(1200, 0), 1);        // no font measured yet
    EXPECT_EQ(GXPixelsFromStoredSize(1200, 2000), 1200);  // a unit above 1000 pixels
    EXPECT_EQ(GXPixelsFromStoredSize(1200, -3), 1);
}

}  // namespace
