// A worker thread in the way the suite's code starts them: created suspended,
// given a priority and a name, then resumed.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <thread>

#include "os/Wait.h"

namespace os {

// Priorities on the usual scale of the suite's code; any int is accepted and
// mapped onto the scheduler's nice values (Idle -> 19 ... TimeCritical -> -20).
namespace ThreadPriority {
inline constexpr int Idle = -15;
inline constexpr int Lowest = -2;
inline constexpr int BelowNormal = -1;
inline constexpr int Normal = 0;
inline constexpr int AboveNormal = 1;
inline constexpr int Highest = 2;
inline constexpr int TimeCritical = 15;
}  // namespace ThreadPriority

// The nice value a priority is mapped to.
int NiceForPriority(int priority);

class Thread {
public:
    // Creates the thread suspended: `body` runs only after Resume().
    explicit Thread(std::function<void()> body);
    // A thread never resumed is dropped without running its body; a running
    // one is waited for, so its owner must have asked it to stop first.
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // False when the system could not create the thread; every other call then fails.
    bool Valid() const { return thread_.joinable(); }
    // The kernel's thread id (0 when not valid).
    pid_t Id() const;

    // Asks the scheduler for this priority. False when refused (for instance a
    // raise without the right to raise); the thread then runs on unchanged.
    bool SetPriority(int priority);
    // Names the thread as tools show it; longer names are cut to 15 bytes.
    bool SetName(std::string_view name);
    // Lets the body run. False when not valid or already resumed.
    bool Resume();
    // Waits up to `ms` for the body to return. True once it has.
    bool Join(uint32_t ms = kInfinite);

private:
    struct State;
    static void Run(const std::shared_ptr<State>& state);
    std::shared_ptr<State> state_;
    std::thread thread_;
};

// Names the calling thread (cut to 15 bytes). False when the system refuses.
bool SetCurrentThreadName(std::string_view name);
// The kernel's id of the calling thread.
pid_t CurrentThreadId();

}  // namespace os
