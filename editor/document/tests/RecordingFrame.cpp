#include "editor/document/tests/RecordingFrame.h"

#include <chrono>
#include <thread>

bool RecordingFrame::PostNodeStatus(uint32_t message, bool online,
                                    std::unique_ptr<VavMacAddress> mac) {
    if (refusePosts)
        return false;
    std::lock_guard lock(lock_);
    posts_.push_back(std::string(message == WM_NODE_STATUS_CHANGED ? "" : "? ") +
                     (online ? "on " : "off ") + mac->ToText());
    return true;
}

bool RecordingFrame::TakePendingKeyDown() {
    return ++cancelTests == keyAfterTests;
}

std::vector<std::string> RecordingFrame::Posts() {
    std::lock_guard lock(lock_);
    return posts_;
}

bool WaitFor(const std::function<bool()>& done, int ms) {
    for (int waited = 0; waited < ms && !done(); waited += 5)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return done();
}
