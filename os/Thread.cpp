#include "os/Thread.h"

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <string>
#include <system_error>

namespace os {

// The kernel's limit for a thread name, without its terminating NUL.
static constexpr size_t kMaxThreadName = 15;

struct Thread::State {
    std::mutex lock;
    std::condition_variable changed;
    std::function<void()> body;
    pid_t tid = 0;
    bool resumed = false;
    bool cancelled = false;
    bool finished = false;
};

void Thread::Run(const std::shared_ptr<State>& state) {
    std::unique_lock<std::mutex> guard(state->lock);
    state->tid = CurrentThreadId();
    state->changed.notify_all();
    state->changed.wait(guard, [&] { return state->resumed || state->cancelled; });
    if (state->resumed) {
        auto body = std::move(state->body);
        guard.unlock();
        body();
        guard.lock();
    }
    state->finished = true;
    state->changed.notify_all();
}

namespace {

std::string CutName(std::string_view name) {
    std::string cut(name.substr(0, kMaxThreadName));
    std::replace(cut.begin(), cut.end(), '\0', ' ');
    return cut;
}

}  // namespace

int NiceForPriority(int priority) {
    if (priority <= -3) {
        return 19;
    }
    if (priority >= 3) {
        return -20;
    }
    return -5 * priority;
}

Thread::Thread(std::function<void()> body) : state_(std::make_shared<State>()) {
    state_->body = std::move(body);
    try {
        thread_ = std::thread([state = state_] { Run(state); });
    } catch (const std::system_error&) {
        return;  // not valid
    }
    std::unique_lock<std::mutex> guard(state_->lock);
    state_->changed.wait(guard, [&] { return state_->tid != 0; });
}

Thread::~Thread() {
    if (!Valid()) {
        return;
    }
    {
        std::lock_guard<std::mutex> guard(state_->lock);
        state_->cancelled = !state_->resumed;
        state_->changed.notify_all();
    }
    thread_.join();
}

pid_t Thread::Id() const {
    if (!Valid()) {
        return 0;
    }
    std::lock_guard<std::mutex> guard(state_->lock);
    return state_->tid;
}

bool Thread::SetPriority(int priority) {
    if (!Valid()) {
        return false;
    }
    return setpriority(PRIO_PROCESS, static_cast<id_t>(Id()), NiceForPriority(priority)) == 0;
}

bool Thread::SetName(std::string_view name) {
    if (!Valid()) {
        return false;
    }
    return pthread_setname_np(thread_.native_handle(), CutName(name).c_str()) == 0;
}

bool Thread::Resume() {
    if (!Valid()) {
        return false;
    }
    std::lock_guard<std::mutex> guard(state_->lock);
    if (state_->resumed) {
        return false;
    }
    state_->resumed = true;
    state_->changed.notify_all();
    return true;
}

bool Thread::Join(uint32_t ms) {
    if (!Valid()) {
        return false;
    }
    std::unique_lock<std::mutex> guard(state_->lock);
    const auto finished = [&] { return state_->finished; };
    if (ms == kInfinite) {
        state_->changed.wait(guard, finished);
        return true;
    }
    return state_->changed.wait_until(guard, detail::DeadlineIn(ms), finished);
}

bool SetCurrentThreadName(std::string_view name) {
    return pthread_setname_np(pthread_self(), CutName(name).c_str()) == 0;
}

pid_t CurrentThreadId() {
    return gettid();
}

}  // namespace os
