// Type codes, status codes and interface ids of the remote-call protocol.
#pragma once

#include <cstdint>

// The 32-bit type code of a remote-call value: a base type in the low byte, plus flags.
using RccTypeCode = uint32_t;

enum : RccTypeCode {
    RCC_EMPTY = 0x00,
    RCC_U8 = 0x01,
    RCC_U16 = 0x02,
    RCC_U32 = 0x03,
    RCC_S8 = 0x04,
    RCC_S16 = 0x05,
    RCC_S32 = 0x06,
    RCC_FLOAT = 0x07,
    RCC_BOOL = 0x08,
    RCC_STR = 0x09,
    RCC_VARIANT = 0x0A,
    RCC_LT = 0x0B,
    RCC_D = 0x0D,
    RCC_DLT = 0x0E,
    RCC_MAC = 0x10,
    RCC_RB = 0x11,
    RCC_FI = 0x12,
    RCC_IPV4 = 0x14,
    RCC_IPPORT = 0x15,
    RCC_VERINFO = 0x16,

    RCC_ARRAY = 0x08000000,  // a vector of the base type
    RCC_INPUT = 0x00800000,  // marks an input argument in a method signature
};

// The code without the input flag (the array flag stays).
constexpr RccTypeCode RccBareCode(RccTypeCode code) {
    return code & ~RCC_INPUT;
}
constexpr RccTypeCode RccBaseCode(RccTypeCode code) {
    return code & ~(RCC_INPUT | RCC_ARRAY);
}
constexpr bool RccIsArray(RccTypeCode code) {
    return (code & RCC_ARRAY) != 0;
}
// True for the scalar codes U8 to bool, whose value a CRccValue holds inline.
constexpr bool RccIsScalar(RccTypeCode code) {
    return code >= RCC_U8 && code <= RCC_BOOL;
}

// Status words of the remote-call library (facility 0x12C), its IStandard stub (0x12D)
// and its subscription stub (0x12F).
enum : uint32_t {
    RCC_S_OK = 0x012C0000,
    RCC_S_ISTANDARD_OK = 0x012D0000,
    RCC_E_NO_SUBSCRIPTION_HANDLE = 0x812C0004,
    RCC_E_OUT_OF_MEMORY = 0x812C0006,
    RCC_E_PROXY_BUSY = 0x812C0009,
    RCC_E_UNKNOWN_INTERFACE = 0x812C0012,
    RCC_E_COMM_FAILURE = 0x812C001E,
    RCC_E_UNKNOWN_METHOD = 0x812C0020,
    RCC_E_UNKNOWN_SUBSCRIPTION = 0x812F000E,
};

// A status word is a failure when its top bit is set.
constexpr bool RccFailed(uint32_t status) {
    return (status & 0x80000000u) != 0;
}

// The interfaces of the protocol.
enum : uint32_t {
    RCC_IF_ISTANDARD = 1,
    RCC_IF_IOM = 2,
    RCC_IF_IOMSUBSCRIBE = 3,
    RCC_IF_FILESERVICE = 4,
};

// The transport protocol id of remote calls, and the default port of a node.
constexpr uint8_t RCC_PROTOCOL_ID = 9;
constexpr uint16_t RCC_DEFAULT_PORT = 36507;
