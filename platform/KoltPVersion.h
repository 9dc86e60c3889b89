// A protocol version value: major, minor and build. The remote-call library speaks
// 3.0.8, node status 3.1.2. It lives here because the version registry keeps them.
#pragma once

#include <cstdint>

class KoltPVersion {
public:
    constexpr KoltPVersion(uint8_t major, uint8_t minor, uint16_t build)
        : major_(major), minor_(minor), build_(build) {}
    virtual ~KoltPVersion() = default;
    KoltPVersion(const KoltPVersion&) = default;
    KoltPVersion& operator=(const KoltPVersion&) = default;

    uint8_t getMajor() const { return major_; }
    uint8_t getMinor() const { return minor_; }
    uint16_t getBuild() const { return build_; }

    bool operator==(const KoltPVersion&) const = default;

private:
    uint8_t major_;
    uint8_t minor_;
    uint16_t build_;
};
