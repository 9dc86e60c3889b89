// Builds packed 24-bit DIB blocks for the grid's tests.
#pragma once

#include "framework/base/Color.h"

#include <cstdint>
#include <vector>

namespace gridtest {

// A bottom-up 24-bit DIB of `width` x `height` with pixels given top row first.
inline std::vector<std::uint8_t> MakeDib24(int width, int height,
                                           const std::vector<fw::ColorRef>& topDown) {
    const int stride = (width * 3 + 3) & ~3;
    std::vector<std::uint8_t> b(40 + static_cast<std::size_t>(stride) * height, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put32(0, 40);
    put32(4, static_cast<std::uint32_t>(width));
    put32(8, static_cast<std::uint32_t>(height));
    b[12] = 1;   // planes
    b[14] = 24;  // bits per pixel
    for (int y = 0; y < height; ++y) {
        const std::size_t row = 40 + static_cast<std::size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const fw::ColorRef c = topDown[static_cast<std::size_t>(y * width + x)];
            b[row + 3 * x] = static_cast<std::uint8_t>(fw::BlueOf(c));
            b[row + 3 * x + 1] = static_cast<std::uint8_t>(fw::GreenOf(c));
            b[row + 3 * x + 2] = static_cast<std::uint8_t>(fw::RedOf(c));
        }
    }
    return b;
}

}  // namespace gridtest
