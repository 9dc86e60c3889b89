// The threads that run the calls which may wait (sends, connects, closes), so that one
// client's slow call never holds up the others, nor the same client's other threads.
// Grows to `maximum` threads as work arrives and keeps them until destroyed.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace mux {

class TravexWorkers {
public:
    explicit TravexWorkers(int maximum) : maximum_(maximum) {}
    // Runs what is queued, then joins every thread.
    ~TravexWorkers();
    TravexWorkers(const TravexWorkers&) = delete;
    TravexWorkers& operator=(const TravexWorkers&) = delete;

    void Post(std::function<void()> work);

private:
    void Loop();

    const int maximum_;
    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
    std::vector<std::thread> threads_;
    int idle_ = 0;
    bool stopping_ = false;
};

}  // namespace mux
