// The 6-byte hardware-address value: the key of every map of nodes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class VavMacAddress {
public:
    VavMacAddress();
    // Six hexadecimal fields separated by ":" ("0:1a:2B:3:4:5"); missing fields are 0,
    // fields after the sixth are ignored, each field gives its low byte.
    explicit VavMacAddress(const char* text);
    // Takes min(length, 6) bytes; the rest stay 0.
    VavMacAddress(const uint8_t* bytes, size_t length);
    virtual ~VavMacAddress() = default;
    VavMacAddress(const VavMacAddress&) = default;
    VavMacAddress& operator=(const VavMacAddress&) = default;

    // Copy min(length, 6) bytes in or out; return that count.
    size_t SetBytes(const uint8_t* bytes, size_t length);
    size_t GetBytes(uint8_t* buffer, size_t length) const;
    const uint8_t* Bytes() const { return bytes_; }

    // "%02x:%02x:%02x:%02x:%02x:%02x", kept in the object's own buffer.
    const char* ToText() const;

    // Compares min(length, 6) bytes.
    bool EqualsBytes(const uint8_t* bytes, size_t length) const;

    bool operator==(const VavMacAddress& other) const;
    bool operator!=(const VavMacAddress& other) const { return !(*this == other); }
    // By the six bytes as unsigned values, first byte most significant.
    bool operator<(const VavMacAddress& other) const;

private:
    uint8_t bytes_[6];
    mutable char text_[18];
};
