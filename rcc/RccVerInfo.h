// The version value of the remote-call type VerInfo.
#pragma once

#include "platform/VavVersionInfo.h"

// The platform library has its version value now; the flag stays for the code that tests it.
#define RCC_HAS_VERINFO 1

class CRccVerInfo : public VavVersionInfo {
public:
    CRccVerInfo() = default;
    CRccVerInfo(const VavVersionInfo& other) : VavVersionInfo(other) {}
};
