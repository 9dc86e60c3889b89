// The IPv4 address and IP port values of the remote-call types IPv4 and IPPort.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// An IPv4 address in host order: the first dotted part is the most significant byte.
struct CRccIPv4 {
    uint32_t address = 0;

    CRccIPv4() = default;
    explicit CRccIPv4(uint32_t hostOrder) : address(hostOrder) {}
    // Reads the dotted parts from the left as unsigned decimal numbers, each cut to 8 bits,
    // into the bytes from the most significant down. Parts beyond the fourth are ignored;
    // bytes without a part stay 0. Only the first 99 characters are read.
    explicit CRccIPv4(std::string_view text);

    // "%u.%u.%u.%u", most significant byte first.
    std::string toString() const;

    bool operator==(const CRccIPv4&) const = default;
};

// An IP port number.
struct CRccIPPort {
    uint16_t port = 0;

    CRccIPPort() = default;
    explicit CRccIPPort(uint16_t p) : port(p) {}
    uint16_t getPort() const { return port; }

    bool operator==(const CRccIPPort&) const = default;
};
