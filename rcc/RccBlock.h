// The byte block of the remote-call type RB.
#pragma once

#include <cstdint>
#include <vector>

struct RccBlock {
    std::vector<uint8_t> bytes;

    bool operator==(const RccBlock&) const = default;
};
