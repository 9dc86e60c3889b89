// A client's queue in memory two processes share: what one pushes the other fetches, and
// a process killed in the middle of a push leaves the queue as it was before that push.
#include "multiplexer/MuxSharedQueue.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "multiplexer/MuxClientQueue.h"

namespace {

using namespace mux;

// Memory that survives fork() as one object, as the named queue memory does between processes.
class ForkSharedMemory final : public MuxQueueMemory {
public:
    explicit ForkSharedMemory(std::size_t size)
        : size_(size),
          data_(mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0)) {}
    ~ForkSharedMemory() override { munmap(data_, size_); }
    void* Data() override { return data_; }
    std::size_t Size() override { return size_; }

private:
    std::size_t size_;
    void* data_;
};

MuxEntry Entry(std::uint32_t size, std::uint8_t fill) {
    return MuxEntry(size, fill);
}

MuxEntry FetchOne(MuxClientQueue& q, std::uint32_t* next) {
    MuxEntry got;
    std::uint32_t len = 1u << 20;
    MuxStatus s = q.Fetch(
        &len, next,
        [&](std::span<const std::uint8_t> e) {
            got.assign(e.begin(), e.end());
            return true;
        },
        MUX_E_TCP_COPY);
    EXPECT_EQ(s, MUX_S_OK);
    return got;
}

TEST(MuxSharedQueue, KeepsOrderAcrossSlotsAndEntriesLargerThanASlot) {
    MuxClientQueue q(3);
    const std::uint32_t sizes[] = {36, MuxSharedQueue::kInlineBytes,
                                   MuxSharedQueue::kInlineBytes + 1, 70024};
    for (std::uint32_t size : sizes)
        ASSERT_TRUE(q.Push(Entry(size, static_cast<std::uint8_t>(size))));
    EXPECT_EQ(q.Count(), 3u);  // full: the oldest (36 bytes) was dropped
    EXPECT_FALSE(q.Push(Entry(40, 1), false));
    std::uint32_t next = 0;
    EXPECT_EQ(FetchOne(q, &next), Entry(sizes[1], static_cast<std::uint8_t>(sizes[1])));
    EXPECT_EQ(next, sizes[2]);
    EXPECT_EQ(FetchOne(q, &next), Entry(sizes[2], static_cast<std::uint8_t>(sizes[2])));
    EXPECT_EQ(FetchOne(q, &next), Entry(sizes[3], static_cast<std::uint8_t>(sizes[3])));
    EXPECT_EQ(next, 0u);
    EXPECT_EQ(q.NextSize(), 0u);
}

TEST(MuxSharedQueue, PusherKilledInTheMiddleLeavesAWorkingQueue) {
    const std::uint32_t capacity = 4;
    auto memory = std::make_unique<ForkSharedMemory>(MuxSharedQueue::BytesFor(capacity));
    void* shared = memory->Data();
    std::size_t size = memory->Size();
    MuxClientQueue q(std::move(memory), capacity, 0x7F000001);
    ASSERT_TRUE(q.Valid());
    ASSERT_TRUE(q.Push(Entry(100, 0x11)));
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    if (child == 0) {
        // Another client pushing directly: it holds the lock and has half written its entry.
        MuxSharedQueue theirs(shared, size);
        MuxSharedQueue::Lock lock(theirs);
        std::memset(theirs.Back().data(), 0xEE, 50);
        char c = 'y';
        [[maybe_unused]] ssize_t n = write(ready[1], &c, 1);
        pause();
        _exit(0);
    }
    close(ready[1]);
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    close(ready[0]);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    // The next taker of the lock gets the queue as it was, and it works on.
    EXPECT_EQ(q.Count(), 1u);
    ASSERT_TRUE(q.Push(Entry(60, 0x22)));
    std::uint32_t next = 0;
    EXPECT_EQ(FetchOne(q, &next), Entry(100, 0x11));
    EXPECT_EQ(next, 60u);
    EXPECT_EQ(FetchOne(q, &next), Entry(60, 0x22));
    EXPECT_EQ(q.Count(), 0u);
}

TEST(MuxSharedQueue, MemoryThatHoldsNoQueueIsRefused) {
    std::vector<std::uint8_t> zero(MuxSharedQueue::BytesFor(2), 0);
    EXPECT_FALSE(MuxSharedQueue(zero.data(), zero.size()).Valid());
    ASSERT_TRUE(MuxSharedQueue::Init(zero.data(), 2, 1));
    EXPECT_TRUE(MuxSharedQueue(zero.data(), zero.size()).Valid());
    EXPECT_FALSE(MuxSharedQueue(zero.data(), zero.size() - 1).Valid());  // shorter than its slots
}

}  // namespace
