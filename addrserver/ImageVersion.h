// The small version value that compares a node's software with an image file.
#pragma once

#include <cstdint>
#include <string>

namespace addrserver {

struct ImageVersion {
    uint32_t length = 0;  // 6 or 3 numbers in use; 0 = none
    uint8_t major = 0, minor = 0, patch = 0, stage = 0, patchDigit = 0;
    uint16_t build = 0;

    // From a node-status component version record (length 6).
    static ImageVersion FromRecord(uint8_t major, uint8_t minor, uint8_t patch, uint8_t stage,
                                   uint8_t patchDigit, uint16_t build);

    // "%u.%u.%u.%u.%u.%u", "%u.%u.%u", or "Invalid Version Length".
    std::string Text() const;
    // Major, minor or patch differ; with length 6 also stage, patch digit or build.
    bool DiffersFrom(const ImageVersion& other) const;
};

}  // namespace addrserver
