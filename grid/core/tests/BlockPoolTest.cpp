#include "grid/core/CGXStyle.h"
#include "grid/core/GXBlockPool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <thread>
#include <vector>

namespace {

// A size no grid class has: the tests own this pool alone.
constexpr std::size_t kPoolTestBlock = 72;
using PoolUnderTest = GXBlockPool<kPoolTestBlock>;

// Fills a block with a pattern of its own number, and checks it back.
void PoolStamp(void* p, std::uint32_t n) {
    std::uint32_t words[kPoolTestBlock / sizeof(std::uint32_t)];
    for (auto& w : words) w = n;
    std::memcpy(p, words, sizeof words);
}

bool PoolHasStamp(const void* p, std::uint32_t n) {
    std::uint32_t words[kPoolTestBlock / sizeof(std::uint32_t)];
    std::memcpy(words, p, sizeof words);
    for (auto w : words)
        if (w != n)
            return false;
    return true;
}

TEST(BlockPoolTest, BlocksAreDistinctAlignedAndKeepTheirContentAcrossChunks) {
    // Enough blocks for several chunks, so that chunk boundaries are crossed.
    for (const std::size_t count : {1u, 255u, 256u, 257u, 3000u}) {
        std::vector<void*> blocks;
        for (std::size_t i = 0; i < count; ++i) {
            void* p = PoolUnderTest::Allocate(kPoolTestBlock);
            ASSERT_EQ(reinterpret_cast<std::uintptr_t>(p) % alignof(std::max_align_t), 0u);
            PoolStamp(p, static_cast<std::uint32_t>(i));
            blocks.push_back(p);
        }
        EXPECT_EQ(std::set<void*>(blocks.begin(), blocks.end()).size(), count);
        for (std::size_t i = 0; i < count; ++i)
            EXPECT_TRUE(PoolHasStamp(blocks[i], static_cast<std::uint32_t>(i)))
                << count << " " << i;
        // Every other block given back and taken again: the rest keep their content.
        for (std::size_t i = 0; i < count; i += 2)
            PoolUnderTest::Release(blocks[i], kPoolTestBlock);
        for (std::size_t i = 0; i < count; i += 2) {
            blocks[i] = PoolUnderTest::Allocate(kPoolTestBlock);
            PoolStamp(blocks[i], 0xFFFFFFFFu);
        }
        for (std::size_t i = 1; i < count; i += 2)
            EXPECT_TRUE(PoolHasStamp(blocks[i], static_cast<std::uint32_t>(i)))
                << count << " " << i;
        for (void* p : blocks) PoolUnderTest::Release(p, kPoolTestBlock);
    }
}

#ifndef GX_BLOCK_POOL_HEAP
TEST(BlockPoolTest, CountsLiveBlocksAndGivesChunksBackWhenAllAreFree) {
    ASSERT_EQ(PoolUnderTest::LiveBlocks(), 0u);
    std::vector<void*> blocks;
    for (int i = 0; i < 5000; ++i) blocks.push_back(PoolUnderTest::Allocate(kPoolTestBlock));
    EXPECT_EQ(PoolUnderTest::LiveBlocks(), 5000u);
    EXPECT_GE(PoolUnderTest::HeldBlocks(), 5000u);
    const void* last = blocks.back();
    blocks.pop_back();
    PoolUnderTest::Release(const_cast<void*>(last), kPoolTestBlock);
    EXPECT_EQ(PoolUnderTest::LiveBlocks(), 4999u);
    // A freed block is the next one handed out.
    void* again = PoolUnderTest::Allocate(kPoolTestBlock);
    EXPECT_EQ(again, last);
    blocks.push_back(again);
    for (void* p : blocks) PoolUnderTest::Release(p, kPoolTestBlock);
    EXPECT_EQ(PoolUnderTest::LiveBlocks(), 0u);
    // Only the first chunk stays.
    EXPECT_EQ(PoolUnderTest::HeldBlocks(), 256u);
    // And it still serves.
    void* p = PoolUnderTest::Allocate(kPoolTestBlock);
    EXPECT_EQ(PoolUnderTest::LiveBlocks(), 1u);
    PoolUnderTest::Release(p, kPoolTestBlock);
    PoolUnderTest::Release(nullptr, kPoolTestBlock);
    EXPECT_EQ(PoolUnderTest::LiveBlocks(), 0u);
}

TEST(BlockPoolTest, OtherSizesComeFromTheHeap) {
    const std::size_t live = PoolUnderTest::LiveBlocks();
    void* p = PoolUnderTest::Allocate(kPoolTestBlock + 8);
    EXPECT_EQ(PoolUnderTest::LiveBlocks(), live);
    PoolUnderTest::Release(p, kPoolTestBlock + 8);
    EXPECT_EQ(PoolUnderTest::LiveBlocks(), live);
}
#endif

TEST(BlockPoolTest, ThreadsTakeAndGiveBackWithoutSharingABlock) {
    constexpr int kThreads = 4;
    constexpr int kRounds = 20;
    constexpr int kBlocks = 500;
    std::vector<std::thread> threads;
    std::vector<int> faults(kThreads, 0);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &faults] {
            for (int round = 0; round < kRounds; ++round) {
                std::vector<void*> blocks;
                for (int i = 0; i < kBlocks; ++i) {
                    void* p = PoolUnderTest::Allocate(kPoolTestBlock);
                    PoolStamp(p, static_cast<std::uint32_t>(t * 1000000 + i));
                    blocks.push_back(p);
                }
                for (int i = 0; i < kBlocks; ++i) {
                    if (!PoolHasStamp(blocks[i], static_cast<std::uint32_t>(t * 1000000 + i)))
                        ++faults[t];
                    PoolUnderTest::Release(blocks[i], kPoolTestBlock);
                }
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(faults[t], 0) << "thread " << t;
}

// Styles and their attribute maps made, copied and freed by the thousand keep what they hold.
TEST(BlockPoolTest, PooledStylesKeepTheirAttributes) {
    std::vector<std::unique_ptr<CGXStyle>> styles;
    for (int i = 0; i < 2000; ++i) {
        auto style = std::make_unique<CGXStyle>();
        style->SetValue(std::to_string(i) + " a value longer than a short string")
            .SetUserAttribute(7, static_cast<std::int32_t>(i));
        styles.push_back(style->Clone());
    }
    // Free half, make others in their place.
    for (int i = 0; i < 2000; i += 2) styles[i].reset();
    for (int i = 0; i < 2000; i += 2) {
        styles[i] = std::make_unique<CGXStyle>();
        styles[i]->SetValue("other").SetUserAttribute(7, -1);
    }
    for (int i = 0; i < 2000; ++i) {
        const bool odd = i % 2 != 0;
        EXPECT_EQ(styles[i]->GetValue(),
                  odd ? std::to_string(i) + " a value longer than a short string" : "other");
        EXPECT_EQ(styles[i]->GetUserAttribute(7).GetLongValue(), odd ? i : -1);
    }
}

}  // namespace
