#include "framework/persist/Archive.h"
#include "grid/features/CGXSpanCellPools.h"

#include <gtest/gtest.h>

namespace {

TEST(SpanCellPool, SetAndGetASpanAlongARow) {
    CGXSpanCellPool pool;
    ASSERT_TRUE(pool.SetSpan(7, 2, 7, 4, true));
    const auto* row7 = pool.m_byRow.GetAt(7);
    ASSERT_NE(row7, nullptr);
    EXPECT_EQ((std::vector<std::uint32_t>(row7->begin() + 2, row7->begin() + 5)),
              (std::vector<std::uint32_t>{2, 2, 2}));
    EXPECT_EQ((*row7)[1], 0xFFFFFFFFu);
    CGXRange r;
    ASSERT_TRUE(pool.GetSpan(7, 3, r));
    EXPECT_EQ(r.left, 2u);
    EXPECT_EQ(r.right, 4u);
    EXPECT_FALSE(pool.GetSpan(8, 3, r));
    // One row high: nothing is stored on the column side.
    EXPECT_EQ(pool.m_byCol.GetSize(), 0u);
    // Clearing from its start.
    ASSERT_TRUE(pool.SetSpan(7, 2, 7, 2, false));
    EXPECT_FALSE(pool.GetSpan(7, 3, r));
}

TEST(SpanCellPool, RowsInsertedAndRemovedKeepTheSpansOfTheirCells) {
    CGXSpanCellPool pool;
    pool.SetSpan(5, 1, 6, 3, true);
    pool.RowsInserted(2, 2);
    CGXRange r;
    ASSERT_TRUE(pool.GetSpan(7, 2, r));
    EXPECT_EQ(r.top, 7u);
    EXPECT_EQ(r.bottom, 8u);
    EXPECT_EQ(r.left, 1u);
    EXPECT_EQ(r.right, 3u);
    pool.RowsRemoved(2, 3);
    ASSERT_TRUE(pool.GetSpan(6, 3, r));
    EXPECT_EQ(r.top, 5u);
    EXPECT_EQ(r.bottom, 6u);
}

TEST(SpanCellPool, ArchiveRoundTripAndIndexChecks) {
    CGXSpanCellPool pool;
    pool.SetSpan(3, 1, 4, 2, true);
    std::vector<std::uint8_t> bytes;
    {
        fw::Archive ar(fw::StoreTo{bytes});
        pool.Serialize(ar);
    }
    CGXSpanCellPool back;
    {
        fw::Archive ar(fw::LoadFrom{bytes});
        back.Serialize(ar);
    }
    CGXRange r;
    ASSERT_TRUE(back.GetSpan(4, 2, r));
    EXPECT_EQ(r.left, 1u);
    EXPECT_EQ(r.top, 3u);

    // Schema 2, an index at the count, and a count beyond any row number are refused.
    auto load = [](std::vector<std::uint8_t> b) {
        CGXDWordArrayPtrArray a;
        fw::Archive ar(fw::LoadFrom{b});
        try {
            a.Serialize(ar);
        } catch (const fw::ArchiveException& e) {
            return e.cause;
        }
        return fw::ArchiveCause::None;
    };
    EXPECT_EQ(load({2, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}), fw::ArchiveCause::BadSchema);
    EXPECT_EQ(load({1, 0, 2, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}),
              fw::ArchiveCause::BadIndex);
    EXPECT_EQ(load({1, 0, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),
              fw::ArchiveCause::TooLarge);
    EXPECT_EQ(load({1, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 7, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}),
              fw::ArchiveCause::None);
}

TEST(DelayedRangePool, EvaluatingTwiceAndAddingInsideAnEntry) {
    CGXDelayedRangePool pool;
    pool.AddDelayedRange(CGXRange(1, 1, 10, 5));
    ASSERT_EQ(pool.m_entries.size(), 1u);
    // A range inside a never evaluated entry changes nothing.
    pool.AddDelayedRange(CGXRange(2, 2, 3, 3));
    ASSERT_EQ(pool.m_entries.size(), 1u);
    EXPECT_EQ(pool.m_entries[0].range, CGXRange(1, 1, 10, 5));

    std::vector<std::int64_t> first, last;
    EXPECT_TRUE(pool.Evaluate(CGXRange(3, 2, 4, 4), first, last));
    EXPECT_EQ(first, (std::vector<std::int64_t>{2, 2}));
    EXPECT_EQ(last, (std::vector<std::int64_t>{4, 4}));
    EXPECT_FALSE(pool.Evaluate(CGXRange(3, 2, 4, 4), first, last));
    EXPECT_EQ(first, (std::vector<std::int64_t>{-1, -1}));
    // The whole table once: every remaining row is new, and then nothing is left to do.
    EXPECT_TRUE(pool.Evaluate(CGXRange(1, 1, 10, 5), first, last));
    EXPECT_FALSE(pool.Evaluate(CGXRange(1, 1, 10, 5), first, last));
    EXPECT_TRUE(pool.m_entries.empty());
}

}  // namespace
