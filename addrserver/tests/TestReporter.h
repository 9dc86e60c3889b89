// Collects what the address server's pieces report, for tests.
#pragma once

#include <algorithm>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "addrserver/Report.h"

namespace addrserver::test {

class TestReporter : public Reporter {
public:
    void Report(uint32_t code, std::string_view text) override {
        std::lock_guard lock(mutex_);
        messages.emplace_back(code, std::string(text));
    }
    void Print(std::string_view text) override {
        std::lock_guard lock(mutex_);
        printed += text;
    }
    bool Has(uint32_t code, const std::string& text) const {
        std::lock_guard lock(mutex_);
        return std::find(messages.begin(), messages.end(), std::make_pair(code, text)) !=
               messages.end();
    }
    std::vector<std::pair<uint32_t, std::string>> messages;
    std::string printed;

private:
    mutable std::mutex mutex_;
};

inline uint32_t Ip(unsigned a, unsigned b, unsigned c, unsigned d) {
    return (a << 24) | (b << 16) | (c << 8) | d;
}

}  // namespace addrserver::test
