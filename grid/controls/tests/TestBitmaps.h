// Small bitmap files made in code for the controls' tests: a 24-bit bitmap file of one colour,
// with the 14-byte file header, the 40-byte information header and rows padded to 4 bytes.
#pragma once

#include <cstdint>
#include <vector>

namespace gxtest {

inline void PutLe(std::vector<std::uint8_t>& v, std::uint32_t x, int bytes) {
    for (int i = 0; i < bytes; ++i) v.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
}

// A bottom-up 24-bit bitmap file, every pixel `color` (red in the low byte, as COLORREF).
inline std::vector<std::uint8_t> BitmapFile(int width, int height, std::uint32_t color) {
    const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    const std::uint32_t bits = stride * static_cast<std::uint32_t>(height);
    std::vector<std::uint8_t> v;
    v.push_back('B');
    v.push_back('M');
    PutLe(v, 14 + 40 + bits, 4);  // file size
    PutLe(v, 0, 4);               // reserved
    PutLe(v, 14 + 40, 4);         // offset of the rows
    PutLe(v, 40, 4);              // information header size
    PutLe(v, static_cast<std::uint32_t>(width), 4);
    PutLe(v, static_cast<std::uint32_t>(height), 4);
    PutLe(v, 1, 2);   // planes
    PutLe(v, 24, 2);  // bits per pixel
    PutLe(v, 0, 4);   // plain
    PutLe(v, bits, 4);
    PutLe(v, 2835, 4);
    PutLe(v, 2835, 4);
    PutLe(v, 0, 4);
    PutLe(v, 0, 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            v.push_back(static_cast<std::uint8_t>(color >> 16));  // blue
            v.push_back(static_cast<std::uint8_t>(color >> 8));   // green
            v.push_back(static_cast<std::uint8_t>(color));        // red
        }
        for (std::uint32_t p = static_cast<std::uint32_t>(width) * 3; p < stride; ++p)
            v.push_back(0);
    }
    return v;
}

}  // namespace gxtest
