// A gate that lets one owner stop a group of worker threads at a safe point: workers
// Enter before their work and Leave after it (the owner may Enter on behalf of a
// thread it is about to start); Close shuts the gate and waits until nobody is inside;
// Open lets them in again. While closed, Enter waits.
#pragma once

#include <condition_variable>
#include <mutex>

class VavGateLock {
public:
    VavGateLock() = default;
    VavGateLock(const VavGateLock&) = delete;
    VavGateLock& operator=(const VavGateLock&) = delete;

    void Enter();
    void Leave();
    // One owner at a time: a second Close waits for the first owner's Open.
    void Close();
    void Open();

    long Inside() const;

private:
    mutable std::mutex lock_;
    std::condition_variable changed_;
    bool open_ = true;
    bool ownerHolds_ = false;
    long inside_ = 0;
};
