// EDMX addresses as the patch dialogs take them: the decimal address, or "U/C" for universe U
// (1 to 64) and channel C (1 to 512), which stands for (U - 1) x 512 + C.
#pragma once

#include <optional>
#include <string_view>

namespace tessaly {

inline constexpr int kEdmxAddressMax = 32767;

// The address the text names; none for a malformed text or a "U/C" out of its bounds. A plain
// decimal text is returned as it stands (0 included); the caller checks its range.
std::optional<int> ParseEdmxAddress(std::string_view text);

}  // namespace tessaly
