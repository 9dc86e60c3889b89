#include "editor/document/tests/RecordingFrame.h"

bool RecordingFrame::PostNodeStatus(uint32_t message, bool online,
                                    std::unique_ptr<VavMacAddress> mac) {
    if (refusePosts)
        return false;
    {
        std::lock_guard lock(lock_);
        posts_.push_back(std::string(message == WM_NODE_STATUS_CHANGED ? "" : "? ") +
                         (online ? "on " : "off ") + mac->ToText());
    }
    notice_.Notify();
    return true;
}

bool RecordingFrame::TakePendingKeyDown() {
    return ++cancelTests == keyAfterTests;
}

std::vector<std::string> RecordingFrame::Posts() {
    std::lock_guard lock(lock_);
    return posts_;
}
