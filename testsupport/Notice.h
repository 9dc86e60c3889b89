// The wait of a test for something another thread (an engine's callback, a recording
// host) does: the recording side calls Notify after each change it has recorded, and the
// test waits until its condition holds, woken by those notices instead of looking again
// and again. A change followed by its Notify is never missed: the condition is looked at
// again after every notice that came since it was last looked at.
//
//   void OnMessage(...) override { Record(...); notice.Notify(); }
//   ASSERT_TRUE(host.notice.Await([&] { return host.Has(...); }));
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace ixo::testsupport {

class Notice {
public:
    void Notify() {
        {
            std::lock_guard lock(mutex_);
            ++count_;
        }
        changed_.notify_all();
    }
    // True once `done` holds (looked at now and after each notice); false when it does
    // not within `ms` of real time. A condition that must not come true is waited for
    // with a short `ms` and expected false. `done` runs without the notice's lock, so it
    // may take any lock, also one held where Notify is called.
    bool Await(const std::function<bool()>& done, int ms = 5000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            const unsigned seen = Count();
            if (done())
                return true;
            std::unique_lock lock(mutex_);
            if (!changed_.wait_until(lock, end, [&] { return count_ != seen; })) {
                lock.unlock();
                return done();
            }
        }
    }
    // The number of notices so far.
    unsigned Count() {
        std::lock_guard lock(mutex_);
        return count_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    unsigned count_ = 0;
};

}  // namespace ixo::testsupport
