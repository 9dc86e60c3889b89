#include "os/Clock.h"

#include <time.h>

#include <atomic>
#include <memory>
#include <mutex>

namespace os {
namespace {

std::mutex g_sourceLock;
std::shared_ptr<std::function<uint32_t()>> g_source;  // guarded by g_sourceLock
std::atomic<bool> g_hasSource{false};

uint32_t RealTickCount() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const uint64_t ms =
        static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

}  // namespace

uint32_t TickCount() {
    if (!g_hasSource.load(std::memory_order_acquire)) {
        return RealTickCount();
    }
    std::shared_ptr<std::function<uint32_t()>> source;
    {
        std::lock_guard<std::mutex> lock(g_sourceLock);
        source = g_source;
    }
    return source ? (*source)() : RealTickCount();
}

void SetTickSourceForTest(std::function<uint32_t()> source) {
    std::lock_guard<std::mutex> lock(g_sourceLock);
    if (source) {
        g_source = std::make_shared<std::function<uint32_t()>>(std::move(source));
    } else {
        g_source.reset();
    }
    g_hasSource.store(g_source != nullptr, std::memory_order_release);
}

}  // namespace os
