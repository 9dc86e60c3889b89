// Case of UTF-8 text as the user's letters have it, not only A to Z: for searching without regard
// to case. Each code point is upper-cased on its own (the simple case mapping), so the result has
// as many code points as the text and a position in one is the same position in the other.
#pragma once

#include <string>
#include <string_view>

namespace fw {

// The code points of UTF-8 text (an invalid sequence gives U+FFFD), and back.
std::u32string DecodeUtf8(std::string_view text);
std::string EncodeUtf8(std::u32string_view text);
// Each code point upper-cased ("straße" gives "STRAßE", "ärger" gives "ÄRGER").
std::u32string UpperCodePoints(std::u32string_view text);

}  // namespace fw
