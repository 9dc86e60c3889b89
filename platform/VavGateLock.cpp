#include "platform/VavGateLock.h"

void VavGateLock::Enter() {
    std::unique_lock lock(lock_);
    changed_.wait(lock, [this] { return open_; });
    ++inside_;
}

void VavGateLock::Leave() {
    std::lock_guard guard(lock_);
    --inside_;
    changed_.notify_all();
}

void VavGateLock::Close() {
    std::unique_lock lock(lock_);
    changed_.wait(lock, [this] { return !ownerHolds_; });
    ownerHolds_ = true;
    open_ = false;
    changed_.wait(lock, [this] { return inside_ <= 0; });
}

void VavGateLock::Open() {
    std::lock_guard guard(lock_);
    open_ = true;
    ownerHolds_ = false;
    changed_.notify_all();
}

long VavGateLock::Inside() const {
    std::lock_guard guard(lock_);
    return inside_;
}
