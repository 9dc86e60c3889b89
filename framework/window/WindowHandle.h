// A window's handle: a number that names one window for its whole life and is never reused, so
// a worker thread may hold it, post to it and learn that the window is gone instead of touching
// freed memory.
#pragma once

#include <cstdint>
#include <functional>

namespace fw {

struct WindowHandle {
    std::uint64_t value = 0;
    explicit operator bool() const { return value != 0; }
    friend bool operator==(WindowHandle, WindowHandle) = default;
};

}  // namespace fw

template <>
struct std::hash<fw::WindowHandle> {
    std::size_t operator()(fw::WindowHandle h) const noexcept {
        return std::hash<std::uint64_t>{}(h.value);
    }
};
