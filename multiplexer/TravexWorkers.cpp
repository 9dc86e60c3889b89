#include "multiplexer/TravexWorkers.h"

namespace mux {

TravexWorkers::~TravexWorkers() {
    {
        std::lock_guard g(lock_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (auto& t : threads_) t.join();
}

void TravexWorkers::Post(std::function<void()> work) {
    std::unique_lock g(lock_);
    queue_.push_back(std::move(work));
    if (idle_ == 0 && static_cast<int>(threads_.size()) < maximum_) {
        try {
            threads_.emplace_back([this] { Loop(); });
        } catch (const std::system_error&) {
            // The threads there are take the work in turn.
        }
    }
    g.unlock();
    wake_.notify_one();
}

void TravexWorkers::Loop() {
    std::unique_lock g(lock_);
    for (;;) {
        ++idle_;
        wake_.wait(g, [this] { return stopping_ || !queue_.empty(); });
        --idle_;
        if (queue_.empty())
            return;  // stopping, nothing left
        auto work = std::move(queue_.front());
        queue_.pop_front();
        g.unlock();
        work();
        g.lock();
    }
}

}  // namespace mux
