// The wait of a test for something another thread (an engine's callback, a recording
// host) does: the recording side calls Notify after each change it has recorded, and the
// test waits until its condition holds, woken by those notices instead of looking again
// and again. Notify must be called with none of the recorder's own locks held, since the
// condition (which may take them) is looked at under the notice's lock.
//
//   void OnMessage(...) override { { std::lock_guard g(m); seen.push_back(...); } notice.Notify();
//   } ASSERT_TRUE(host.notice.Await([&] { return host.Has(...); }));
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
    // with a short `ms` and expected false.
    bool Await(const std::function<bool()>& done, int ms = 5000) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::milliseconds(ms), done);
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
