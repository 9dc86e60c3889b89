#include "os/Thread.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/resource.h>

#include <atomic>
#include <string>

#include "os/Event.h"

namespace {

TEST(Thread, RunsOnlyAfterResumeWithItsPriorityAndName) {
    std::atomic<bool> ran{false};
    int niceSeen = 1000;
    char nameSeen[32] = {};
    os::Thread thread([&] {
        ran = true;
        niceSeen = getpriority(PRIO_PROCESS, static_cast<id_t>(os::CurrentThreadId()));
        pthread_getname_np(pthread_self(), nameSeen, sizeof nameSeen);
    });
    ASSERT_TRUE(thread.Valid());
    EXPECT_NE(thread.Id(), 0);
    EXPECT_FALSE(thread.Join(20));
    EXPECT_FALSE(ran);

    EXPECT_TRUE(thread.SetPriority(os::ThreadPriority::Lowest));
    EXPECT_TRUE(thread.SetName("RCCStubRecv9-and-more"));
    EXPECT_TRUE(thread.Resume());
    EXPECT_FALSE(thread.Resume());
    EXPECT_TRUE(thread.Join(5000));
    EXPECT_TRUE(ran);
    EXPECT_EQ(niceSeen, os::NiceForPriority(os::ThreadPriority::Lowest));
    EXPECT_EQ(std::string(nameSeen), "RCCStubRecv9-an");  // cut to 15 bytes
}

TEST(Thread, NeverResumedThreadIsDroppedWithoutRunning) {
    bool ran = false;
    {
        os::Thread thread([&] { ran = true; });
    }
    EXPECT_FALSE(ran);
}

TEST(Thread, RefusedPriorityLeavesTheThreadRunnable) {
    os::Event done(true, false);
    os::Thread thread([&] { done.Set(); });
    thread.SetPriority(os::ThreadPriority::TimeCritical);  // may be refused without the right
    thread.Resume();
    EXPECT_EQ(done.Wait(5000), os::WaitResult::Signaled);
    EXPECT_TRUE(thread.Join(5000));
}

TEST(Thread, PriorityMapsOntoNiceValues) {
    struct Case {
        int priority, nice;
    };
    const Case cases[] = {{os::ThreadPriority::Idle, 19},
                          {os::ThreadPriority::Lowest, 10},
                          {os::ThreadPriority::Normal, 0},
                          {os::ThreadPriority::Highest, -10},
                          {os::ThreadPriority::TimeCritical, -20}};
    for (const Case& c : cases) {
        EXPECT_EQ(os::NiceForPriority(c.priority), c.nice) << c.priority;
    }
}

TEST(Thread, CurrentThreadNameIsCut) {
    std::string seen;
    std::thread([&] {
        os::SetCurrentThreadName("TCPPacketArrived12345");
        char name[32] = {};
        pthread_getname_np(pthread_self(), name, sizeof name);
        seen = name;
    }).join();
    EXPECT_EQ(seen, "TCPPacketArrive");
}

}  // namespace
