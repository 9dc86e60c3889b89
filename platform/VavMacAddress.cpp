#include "platform/VavMacAddress.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

VavMacAddress::VavMacAddress() : bytes_{}, text_{} {}

VavMacAddress::VavMacAddress(const char* text) : VavMacAddress() {
    std::string_view rest = text != nullptr ? text : "";
    for (int field = 0; field < 6 && !rest.empty(); ++field) {
        size_t colon = rest.find(':');
        std::string piece(rest.substr(0, colon));
        bytes_[field] = static_cast<uint8_t>(std::strtoul(piece.c_str(), nullptr, 16));
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
}

VavMacAddress::VavMacAddress(const uint8_t* bytes, size_t length) : VavMacAddress() {
    SetBytes(bytes, length);
}

size_t VavMacAddress::SetBytes(const uint8_t* bytes, size_t length) {
    size_t n = std::min<size_t>(length, 6);
    if (n > 0)
        std::memcpy(bytes_, bytes, n);
    return n;
}

size_t VavMacAddress::GetBytes(uint8_t* buffer, size_t length) const {
    size_t n = std::min<size_t>(length, 6);
    if (n > 0)
        std::memcpy(buffer, bytes_, n);
    return n;
}

const char* VavMacAddress::ToText() const {
    std::snprintf(text_, sizeof text_, "%02x:%02x:%02x:%02x:%02x:%02x", bytes_[0], bytes_[1],
                  bytes_[2], bytes_[3], bytes_[4], bytes_[5]);
    return text_;
}

bool VavMacAddress::EqualsBytes(const uint8_t* bytes, size_t length) const {
    size_t n = std::min<size_t>(length, 6);
    return n == 0 || std::memcmp(bytes_, bytes, n) == 0;
}

bool VavMacAddress::operator==(const VavMacAddress& other) const {
    return std::memcmp(bytes_, other.bytes_, 6) == 0;
}

bool VavMacAddress::operator<(const VavMacAddress& other) const {
    return std::memcmp(bytes_, other.bytes_, 6) < 0;  // memcmp compares as unsigned char
}
