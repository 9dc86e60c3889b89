// Posting from worker threads, peeking, payload ownership and sends across threads.
#include "framework/tests/RecordingWindow.h"
#include "framework/window/SendBridge.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>

namespace fw {
namespace {

using test::PumpUntil;
using test::RecordingWindow;

constexpr UINT kMsgA = WM_APP + 1;
constexpr UINT kMsgB = WM_APP + 2;

struct Counted {
    explicit Counted(std::atomic<int>* c) : freed(c) {}
    ~Counted() {
        if (freed)
            ++*freed;
    }
    Counted(Counted&& o) noexcept : freed(std::exchange(o.freed, nullptr)) {}
    std::atomic<int>* freed;
};

TEST(PostedMessages, FourSendersArriveInOrderPerSender) {
    RecordingWindow w;
    w.only = {kMsgA};
    w.Create(nullptr, {0, 0, 10, 10}, 0, 0);
    constexpr int kPerSender = 500;
    const WindowHandle h = w.Handle();
    std::vector<std::thread> senders;
    for (int s = 0; s < 4; ++s) {
        senders.emplace_back([h, s] {
            for (int i = 0; i < kPerSender; ++i) ASSERT_TRUE(PostMessage(h, kMsgA, s, i));
        });
    }
    for (auto& t : senders) t.join();
    ASSERT_TRUE(PumpUntil([&] { return w.seen.size() == 4u * kPerSender; }));
    std::map<WPARAM, LPARAM> next;
    for (const auto& m : w.seen) {
        EXPECT_EQ(m.l, next[m.w]) << "sender " << m.w;
        next[m.w] = m.l + 1;
    }
}

TEST(PostedMessages, PeekAndRemoveTakesOnlyTheFirstOfThatNumber) {
    RecordingWindow w;
    w.only = {kMsgA, kMsgB};
    w.Create(nullptr, {0, 0, 10, 10}, 0, 0);
    w.PostMessage(kMsgA, 1);
    w.PostMessage(kMsgB, 2);
    w.PostMessage(kMsgA, 3);

    Message peeked;
    ASSERT_TRUE(w.PeekMessage(peeked, kMsgB, kMsgB, false));
    EXPECT_EQ(peeked.wParam, 2u);
    Message taken;
    ASSERT_TRUE(w.PeekMessage(taken, kMsgA, kMsgA, true));
    EXPECT_EQ(taken.wParam, 1u);

    ASSERT_TRUE(PumpUntil([&] { return w.seen.size() == 2; }));
    EXPECT_EQ(w.seen[0].w, 2u);  // B stayed, then the second A
    EXPECT_EQ(w.seen[1].w, 3u);
    EXPECT_FALSE(w.PeekMessage(taken, kMsgA, kMsgA, true));
}

TEST(PostedMessages, PayloadIsFreedWhenThePostFailsOrNobodyTakesIt) {
    std::atomic<int> freed{0};
    WindowHandle gone;
    {
        RecordingWindow w;
        w.Create(nullptr, {0, 0, 10, 10}, 0, 0);
        gone = w.Handle();
        // Queued but never delivered: freed with the window.
        ASSERT_TRUE(w.PostMessage(kMsgA, 0, 0, Payload::Make(Counted(&freed))));
    }
    EXPECT_EQ(freed, 1);
    std::thread worker(
        [&] { EXPECT_FALSE(PostMessage(gone, kMsgA, 0, 0, Payload::Make(Counted(&freed)))); });
    worker.join();
    EXPECT_EQ(freed, 2);

    RecordingWindow w;
    w.Create(nullptr, {0, 0, 10, 10}, 0, 0);
    w.PostMessage(kMsgA, 0, 0, Payload::Make(Counted(&freed)));  // delivered, not taken
    std::unique_ptr<Counted> kept;
    w.answer = [&](Message& m, LRESULT&) {
        if (m.id == kMsgB)
            kept = m.payload.Take<Counted>();
        return false;
    };
    w.PostMessage(kMsgB, 0, 0, Payload::Make(Counted(&freed)));  // taken by the handler
    ASSERT_TRUE(PumpUntil([&] { return w.Of(kMsgB).size() == 1; }));
    EXPECT_EQ(freed, 3);
    ASSERT_TRUE(kept);
    kept.reset();
    EXPECT_EQ(freed, 4);
}

TEST(SentMessages, WorkerSendRunsOnTheUiThreadWhileItWaitsForTheWorker) {
    RecordingWindow w;
    w.Create(nullptr, {0, 0, 10, 10}, 0, 0);
    std::thread::id handlerThread;
    w.answer = [&](Message& m, LRESULT& r) {
        if (m.id != kMsgA)
            return false;
        handlerThread = std::this_thread::get_id();
        r = static_cast<LRESULT>(m.wParam * 2);
        return true;
    };
    std::atomic<bool> finished{false};
    LRESULT result = 0;
    std::thread worker([&] {
        result = SendMessage(w.Handle(), kMsgA, 21);
        finished = true;
        detail::SendBridge::Instance().Notify();
    });
    // The user-interface thread waits for the worker; a plain join here would never return.
    EXPECT_TRUE(WaitServicingSends([&] { return finished.load(); }, std::chrono::seconds(10)));
    worker.join();
    EXPECT_EQ(result, 42);
    EXPECT_EQ(handlerThread, std::this_thread::get_id());
}

TEST(SentMessages, SendToAClosedWindowAnswersZero) {
    WindowHandle gone;
    {
        RecordingWindow w;
        gone = w.Handle();
    }
    LRESULT r = -1;
    bool delivered = true;
    std::thread worker([&] {
        r = detail::SendBridge::Instance().SendFromWorker(gone, Message{kMsgA, 0, 0, {}},
                                                          kWaitForever, &delivered);
    });
    WaitServicingSends([&] { return r != -1; }, std::chrono::seconds(10));
    worker.join();
    EXPECT_EQ(r, 0);
    EXPECT_TRUE(delivered);  // it ran, and found nobody
}

}  // namespace
}  // namespace fw
