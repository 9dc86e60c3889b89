// Collects the remote-call library's log lines ("source: text") while it lives.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "rcc/RccLog.h"

class RccLogCapture {
public:
    RccLogCapture() {
        previous_ =
            SetRccLogSink([this](RccLogLevel, const std::string& source, const std::string& text) {
                std::lock_guard<std::mutex> lock(mutex_);
                lines_.push_back(source + ": " + text);
            });
    }
    ~RccLogCapture() { SetRccLogSink(previous_); }
    RccLogCapture(const RccLogCapture&) = delete;
    RccLogCapture& operator=(const RccLogCapture&) = delete;

    std::vector<std::string> lines() {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }

private:
    RccLogSink previous_;
    std::mutex mutex_;
    std::vector<std::string> lines_;
};
