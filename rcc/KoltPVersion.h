// The protocol version of the remote-call library: 3.0.8. The version value itself is
// the platform library's, whose registry keeps the versions of a process's protocols.
#pragma once

#include <cstdint>

#include "platform/KoltPVersion.h"

inline constexpr uint8_t RCC_VERSION_MAJOR = 3;
inline constexpr uint8_t RCC_VERSION_MINOR = 0;
inline constexpr uint16_t RCC_VERSION_BUILD = 8;
