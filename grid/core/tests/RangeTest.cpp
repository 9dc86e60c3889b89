#include "framework/persist/Archive.h"
#include "grid/core/CGXRangeList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

CGXRange Cells(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) {
    return CGXRange().SetCellRange(t, l, b, r);
}
CGXRange Rows(ROWCOL a, ROWCOL b) {
    return CGXRange().SetRowRange(a, b);
}
CGXRange Cols(ROWCOL a, ROWCOL b) {
    return CGXRange().SetColRange(a, b);
}
CGXRange Table() {
    return CGXRange().SetWholeTable();
}

TEST(Range, SettersNormaliseAndKeepTheirKind) {
    const CGXRange c = Cells(5, 7, 2, 3);
    EXPECT_EQ(c, (CGXRange{}.SetCellRange(2, 3, 5, 7)));
    EXPECT_EQ(c.top, 2u);
    EXPECT_EQ(c.right, 7u);
    const CGXRange r = Rows(9, 4);
    EXPECT_TRUE(r.IsRows());
    EXPECT_EQ(r.top, 4u);
    EXPECT_EQ(r.left, 0u);
    EXPECT_EQ(r.right, 0u);
    const CGXRange k = Cols(3, 1);
    EXPECT_EQ(k.left, 1u);
    EXPECT_EQ(k.top, 0u);
    EXPECT_FALSE(CGXRange().IsValid());
    EXPECT_FALSE(CGXRange(nullptr).IsValid());

    CGXRange t = Table();
    t.ResolveToCells(1, 1, 10, 20);
    EXPECT_EQ(t, Cells(1, 1, 10, 20));
    CGXRange rr = Rows(2, 3);
    rr.ResolveToCells(1, 1, 10, 20);
    EXPECT_EQ(rr, Cells(2, 1, 3, 20));
    CGXRange invalid;
    invalid.ResolveToCells(1, 1, 2, 2);
    EXPECT_FALSE(invalid.valid);  // the valid flag is not touched
}

TEST(Range, ContainsCellByKind) {
    EXPECT_TRUE(Table().ContainsCell(GX_MAXROWCOL, 0));
    EXPECT_TRUE(Rows(2, 4).ContainsCell(3, 1000));
    EXPECT_FALSE(Rows(2, 4).ContainsCell(5, 1));
    EXPECT_TRUE(Cols(2, 4).ContainsCell(1000, 2));
    EXPECT_TRUE(Cells(1, 1, 2, 2).ContainsCell(2, 2));
    EXPECT_FALSE(Cells(1, 1, 2, 2).ContainsCell(2, 3));
    EXPECT_FALSE(CGXRange().ContainsCell(0, 0));
}

TEST(Range, IntersectionAndUnionTable) {
    const struct {
        const char* name;
        CGXRange a, b;
        bool valid;
        CGXRange expect;  // compared when valid
    } inter[] = {
        {"rows x cols", Rows(2, 4), Cols(3, 6), true, Cells(2, 3, 4, 6)},
        {"cols x rows", Cols(3, 6), Rows(2, 4), true, Cells(2, 3, 4, 6)},
        {"rows x rows apart", Rows(2, 4), Rows(5, 9), false, {}},
        {"rows x rows", Rows(2, 6), Rows(5, 9), true, Rows(5, 6)},
        {"rows x cells", Rows(2, 6), Cells(5, 1, 9, 3), true, Cells(5, 1, 6, 3)},
        {"cells x cells", Cells(1, 1, 5, 5), Cells(3, 4, 8, 9), true, Cells(3, 4, 5, 5)},
        {"cells apart", Cells(1, 1, 5, 5), Cells(1, 6, 5, 9), false, {}},
        {"cols x cells", Cols(2, 5), Cells(1, 4, 3, 9), true, Cells(1, 4, 3, 5)},
        {"cols x cols apart", Cols(2, 5), Cols(6, 9), false, {}},
        {"table x cells", Table(), Cells(1, 2, 3, 4), true, Cells(1, 2, 3, 4)},
        {"cells x table", Cells(1, 2, 3, 4), Table(), true, Cells(1, 2, 3, 4)},
    };
    for (const auto& c : inter) {
        CGXRange r;
        EXPECT_EQ(r.SetIntersection(c.a, c.b), c.valid) << c.name;
        if (c.valid) {
            EXPECT_EQ(r, c.expect) << c.name;
        }
    }
    const struct {
        const char* name;
        CGXRange a, b;
        std::uint32_t kind;
    } uni[] = {
        {"rows + cols", Rows(1, 2), Cols(1, 2), rtTable},
        {"table + cells", Table(), Cells(1, 1, 2, 2), rtTable},
        {"cols + cells", Cols(1, 2), Cells(4, 4, 5, 5), rtCols},
        {"rows + cells", Rows(1, 2), Cells(4, 4, 5, 5), rtRows},
        {"cells + cells", Cells(1, 5, 2, 6), Cells(4, 1, 5, 2), rtCells},
    };
    for (const auto& c : uni) {
        CGXRange r;
        EXPECT_TRUE(r.SetUnion(c.a, c.b)) << c.name;
        EXPECT_EQ(r.rangeType, c.kind) << c.name;
    }
    CGXRange u;
    u.SetUnion(Cells(1, 5, 2, 6), Cells(4, 1, 5, 2));
    EXPECT_EQ(u, Cells(1, 1, 5, 6));
    u.SetUnion(Cols(3, 4), Cells(1, 1, 9, 2));
    EXPECT_EQ(u, Cols(1, 4));
}

TEST(RangeList, ArchiveBytesDropInvalidRanges) {
    CGXRangeList list;
    list.AddTail(Cells(2, 3, 5, 7));
    list.AddTail(CGXRange());  // not valid
    std::vector<std::uint8_t> out;
    fw::Archive ar(fw::StoreTo{out});
    list.Serialize(ar);
    const std::vector<std::uint8_t> expect = {
        0x01, 0x00,              // schema
        0x01, 0x00, 0x00, 0x00,  // one range
        0x02, 0,    0,    0,    0x03, 0, 0, 0,
        0x05, 0,    0,    0,    0x07, 0, 0, 0,  // top left bottom right
        0x00,                                   // kind: cells
        0x01,                                   // valid
    };
    EXPECT_EQ(out, expect);
    EXPECT_EQ(list.GetCount(), 1u);  // the invalid range is gone

    CGXRangeList back;
    fw::Archive in(fw::LoadFrom{out});
    back.Serialize(in);
    ASSERT_EQ(back.GetCount(), 1u);
    EXPECT_EQ(back.GetHead(), Cells(2, 3, 5, 7));

    for (std::size_t n = 0; n < out.size(); ++n) {
        CGXRangeList part;
        fw::Archive cut(fw::LoadFrom{std::span<const std::uint8_t>(out.data(), n)});
        EXPECT_THROW(part.Serialize(cut), fw::ArchiveException) << n;
    }
    std::vector<std::uint8_t> bad = out;
    bad[0] = 2;  // schema
    CGXRangeList b1;
    fw::Archive in1(fw::LoadFrom{bad});
    try {
        b1.Serialize(in1);
        FAIL();
    } catch (const fw::ArchiveException& e) {
        EXPECT_EQ(e.cause, fw::ArchiveCause::BadSchema);
    }
    bad = out;
    bad[2] = 0xFF;  // 255 ranges announced, one present
    CGXRangeList b2;
    fw::Archive in2(fw::LoadFrom{bad});
    EXPECT_THROW(b2.Serialize(in2), fw::ArchiveException);
    bad = out;
    bad[22] = 7;  // no such kind
    CGXRangeList b3;
    fw::Archive in3(fw::LoadFrom{bad});
    EXPECT_THROW(b3.Serialize(in3), fw::ArchiveException);
}

TEST(RangeList, CopyReversesAndFinds) {
    CGXRangeList list;
    list.AddTail(Cells(1, 1, 1, 1));
    list.AddTail(CGXRange());
    list.AddTail(Rows(3, 4));
    list.AddTail(Cols(6, 6));
    CGXRangeList copy;
    copy.CopyFrom(list);
    ASSERT_EQ(copy.GetCount(), 3u);
    std::vector<CGXRange> order(copy.begin(), copy.end());
    EXPECT_EQ(order[0], Cols(6, 6));
    EXPECT_EQ(order[2], Cells(1, 1, 1, 1));
    copy.CopyFrom(copy);  // onto itself: nothing
    EXPECT_EQ(copy.GetCount(), 3u);

    CGXRange* rows = list.FindCell(4, 99);
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(*rows, Rows(3, 4));
    EXPECT_FALSE(list.ContainsCell(4, 99, rows));
    EXPECT_TRUE(list.ContainsCell(4, 6, rows));  // the column range
    EXPECT_TRUE(list.IntersectsCol(99));         // a rows range reaches every column
    EXPECT_TRUE(list.IntersectsRow(99));
    EXPECT_TRUE(list.RemoveRangeAt(rows));
    EXPECT_FALSE(list.IntersectsCol(99));
    EXPECT_EQ(list.FindCell(50, 50), nullptr);
}

TEST(RangeList, SpansMergeOverlapsOnly) {
    CGXRangeList list;
    list.AddTail(Cols(1, 3));
    list.AddTail(Cols(7, 8));
    list.AddTail(Cols(2, 5));
    std::vector<ROWCOL> first, last;
    EXPECT_TRUE(list.GetColSpans(20, first, last, true));
    EXPECT_EQ(first, (std::vector<ROWCOL>{1, 7}));
    EXPECT_EQ(last, (std::vector<ROWCOL>{5, 8}));

    CGXRangeList touching;
    touching.AddTail(Cols(1, 3));
    touching.AddTail(Cols(4, 6));
    touching.AddTail(Cells(1, 10, 1, 12));
    EXPECT_TRUE(touching.GetColSpans(20, first, last, true));
    EXPECT_EQ(first, (std::vector<ROWCOL>{1, 4}));
    EXPECT_TRUE(touching.GetColSpans(20, first, last, false));
    EXPECT_EQ(last, (std::vector<ROWCOL>{3, 6, 12}));

    CGXRangeList rows;
    rows.AddTail(Rows(2, 3));
    EXPECT_TRUE(rows.GetColSpans(20, first, last, false));  // a rows range spans every column
    EXPECT_EQ(last, (std::vector<ROWCOL>{20}));
    EXPECT_FALSE(rows.GetColSpans(20, first, last, true));
    EXPECT_TRUE(first.empty());
}

TEST(RangeList, RowsInsertedRemovedAndMoved) {
    CGXRangeList list;
    CGXRange* inside = list.AddTail(Rows(4, 5));
    CGXRange* across = list.AddTail(Cells(2, 1, 8, 1));
    CGXRange* below = list.AddTail(Rows(9, 10));
    CGXRange* cols = list.AddTail(Cols(1, 2));
    list.RemoveRowsInRanges(3, 6, 20);
    EXPECT_FALSE(inside->valid);
    EXPECT_EQ(*across, Cells(2, 1, 4, 1));
    EXPECT_EQ(*below, Rows(5, 6));
    EXPECT_EQ(*cols, Cols(1, 2));  // row removal leaves column ranges alone

    CGXRangeList ins;
    CGXRange* a = ins.AddTail(Rows(2, 5));
    CGXRange* toEnd = ins.AddTail(CGXRange().SetCellRange(3, 1, GX_MAXROWCOL, GX_MAXROWCOL));
    ins.InsertRowsInRanges(4, 10);
    EXPECT_EQ(*a, Rows(2, 15));
    EXPECT_EQ(toEnd->bottom, GX_MAXROWCOL);   // the sentinel -2 stays
    ins.InsertRowsInRanges(0, GX_MAXROWCOL);  // no wrap: numbers stop below the sentinels
    EXPECT_EQ(a->bottom, GX_MAXROWCOL - 1);
    EXPECT_EQ(toEnd->bottom, GX_MAXROWCOL);

    // Rows 2..3 moved so that they start at 5: rows 4..6 close up (as 2, 3, 4).
    CGXRangeList mv;
    CGXRange* block = mv.AddTail(Rows(2, 3));
    CGXRange* passed = mv.AddTail(Rows(4, 4));
    CGXRange* after = mv.AddTail(Rows(7, 7));
    mv.MoveRowsInRanges(2, 3, 5, 20);
    EXPECT_EQ(*block, Rows(5, 6));
    EXPECT_EQ(*passed, Rows(2, 2));
    EXPECT_EQ(*after, Rows(7, 7));
    // And back up.
    mv.MoveRowsInRanges(5, 6, 2, 20);
    EXPECT_EQ(*block, Rows(2, 3));
    EXPECT_EQ(*passed, Rows(4, 4));
    // Every bottom is cut to the row count.
    mv.MoveRowsInRanges(2, 3, 5, 5);
    EXPECT_EQ(block->bottom, 5u);
}

TEST(SortInfo, NewElementsAreZero) {
    CGXSortInfoArray a;
    a.SetSize(3);
    a[2].nRC = 7;
    a.SetSize(10, 0);
    EXPECT_EQ(a[2].nRC, 7u);
    EXPECT_EQ(a[9].sortOrder, 0u);
    a.SetSize(0);
    EXPECT_EQ(a.GetSize(), 0u);
}

}  // namespace
