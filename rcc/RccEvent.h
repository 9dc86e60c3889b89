// A manual-reset event: set stays set until reset; waits end early when it is set.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

class RccEvent {
public:
    void set() {
        std::lock_guard<std::mutex> lock(mutex_);
        set_ = true;
        changed_.notify_all();
    }
    void reset() {
        std::lock_guard<std::mutex> lock(mutex_);
        set_ = false;
    }
    // True when the event is (or becomes) set within ms milliseconds.
    bool wait(uint32_t ms) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return set_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool set_ = false;
};
