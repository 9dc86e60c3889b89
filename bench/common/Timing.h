// What the benchmarks time with: one step's wall time, and the median of several rounds (one
// disturbed round on a busy machine does not decide).
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace bench {

// Milliseconds the step took.
inline double Ms(const std::function<void()>& step) {
    const auto t0 = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// 0 for no rounds.
inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace bench
