// The values the grid's archive formats read one at a time, returned rather than passed out (a
// read past the end throws, as every archive read does); a flag is one byte, 1 or 0.
#pragma once

#include "framework/persist/Archive.h"

#include <cstdint>

namespace gxarchive {

inline std::uint8_t Byte(fw::Archive& ar) {
    std::uint8_t v = 0;
    ar >> v;
    return v;
}
inline bool Bool(fw::Archive& ar) {
    return Byte(ar) != 0;
}
inline std::uint16_t Word(fw::Archive& ar) {
    std::uint16_t v = 0;
    ar >> v;
    return v;
}
inline std::uint32_t DWord(fw::Archive& ar) {
    std::uint32_t v = 0;
    ar >> v;
    return v;
}
inline void PutBool(fw::Archive& ar, bool b) {
    ar << static_cast<std::uint8_t>(b ? 1 : 0);
}

}  // namespace gxarchive
