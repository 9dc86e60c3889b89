// A pool of equal blocks for the small objects a grid makes by the hundred thousand (a style
// per cell, its attribute map): filling a large grid and clearing it again would otherwise be
// as many calls to the heap, each a search of its free lists, and a cleared grid's memory,
// handed back to the system, would be faulted in again page by page by the next fill. Freed
// blocks are kept for the next objects; when every block is free again the chunks go back to
// the heap, a few large frees.
//
// Under the address sanitizer every object comes from the heap, so that it keeps seeing each
// one's use after free.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define GX_BLOCK_POOL_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GX_BLOCK_POOL_HEAP 1
#endif
#endif

template <std::size_t BlockSize>
class GXBlockPool {
public:
    static_assert(BlockSize >= sizeof(void*), "a free block holds the next free one");

    // Objects of another size (none today) come from the heap.
    static void* Allocate(std::size_t size) {
#ifdef GX_BLOCK_POOL_HEAP
        return ::operator new(size);
#else
        if (size != BlockSize)
            return ::operator new(size);
        return Instance().Take();
#endif
    }

    static void Release(void* p, std::size_t size) noexcept {
#ifdef GX_BLOCK_POOL_HEAP
        ::operator delete(p, size);
#else
        if (!p)
            return;
        if (size != BlockSize) {
            ::operator delete(p, size);
            return;
        }
        Instance().Give(p);
#endif
    }

    // Blocks handed out and not yet given back, and blocks held (in use or free).
    static std::size_t LiveBlocks() {
        return Instance().Counts().first;
    }
    static std::size_t HeldBlocks() {
        return Instance().Counts().second;
    }

private:
    struct FreeBlock {
        FreeBlock* next;
    };
    // Rounded up so that every block keeps the alignment of any object.
    static constexpr std::size_t kStride = (BlockSize + alignof(std::max_align_t) - 1) /
                                           alignof(std::max_align_t) * alignof(std::max_align_t);
    static constexpr std::size_t kFirstChunk = 256;  // blocks
    static constexpr std::size_t kLargestChunk = 16384;

    static GXBlockPool& Instance() {
        // Never destroyed: objects may be freed by other statics' destructors at exit.
        static GXBlockPool* pool = new GXBlockPool;
        return *pool;
    }

    void* Take() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!free_)
            Grow();
        FreeBlock* block = free_;
        free_ = block->next;
        ++live_;
        return block;
    }

    void Give(void* p) noexcept {
        std::lock_guard<std::mutex> lock(mutex_);
        auto* block = static_cast<FreeBlock*>(p);
        block->next = free_;
        free_ = block;
        if (--live_ == 0 && chunks_.size() > 1) {
            // Nothing lives in the chunks any more: all but the first go back at once (the
            // first stays for the few objects made and freed one at a time).
            chunks_.resize(1);
            chunkBlocks_ = kFirstChunk;
            free_ = nullptr;
            held_ = 0;
            Link(chunks_.front().get(), kFirstChunk);
        }
    }

    void Link(std::byte* base, std::size_t count) noexcept {
        held_ += count;
        // Linked so that the chunk is used from its start.
        for (std::size_t i = count; i-- > 0;) {
            auto* block = reinterpret_cast<FreeBlock*>(base + i * kStride);
            block->next = free_;
            free_ = block;
        }
    }

    void Grow() {
        const std::size_t count =
            chunks_.empty() ? kFirstChunk : std::min(kLargestChunk, 2 * chunkBlocks_);
        // Not zeroed: every block is constructed over before use. The heap aligns for any
        // object, and the stride keeps that alignment.
        chunks_.emplace_back(new std::byte[count * kStride]);
        chunkBlocks_ = count;
        Link(chunks_.back().get(), count);
    }

    std::pair<std::size_t, std::size_t> Counts() {
        std::lock_guard<std::mutex> lock(mutex_);
        return {live_, held_};
    }

    std::mutex mutex_;
    FreeBlock* free_ = nullptr;
    std::vector<std::unique_ptr<std::byte[]>> chunks_;
    std::size_t chunkBlocks_ = 0;
    std::size_t live_ = 0;
    std::size_t held_ = 0;
};
