// Fixed-width integers in byte buffers, in an explicit byte order. Every name says its
// order (Le: least significant byte first; Be: most significant first), so a wire field's
// order is read at the call site, never guessed from a local helper. The pointer forms read
// or write exactly 2 or 4 bytes at p; the caller has checked the room. The Append forms
// grow a vector by the field.
#pragma once

#include <cstdint>
#include <vector>

namespace os {

constexpr std::uint16_t GetLe16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
constexpr std::uint32_t GetLe32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}
constexpr std::uint16_t GetBe16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}
constexpr std::uint32_t GetBe32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 |
           std::uint32_t{p[3]};
}

constexpr void PutLe16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
constexpr void PutLe32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}
constexpr void PutBe16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
}
constexpr void PutBe32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

inline void AppendLe16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.resize(out.size() + 2);
    PutLe16(out.data() + out.size() - 2, v);
}
inline void AppendLe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.resize(out.size() + 4);
    PutLe32(out.data() + out.size() - 4, v);
}
inline void AppendBe16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.resize(out.size() + 2);
    PutBe16(out.data() + out.size() - 2, v);
}
inline void AppendBe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.resize(out.size() + 4);
    PutBe32(out.data() + out.size() - 4, v);
}

}  // namespace os
