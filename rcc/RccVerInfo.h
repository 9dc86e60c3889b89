// The version value of the remote-call type VerInfo.
#pragma once

#if __has_include("platform/VavVersionInfo.h")
#include "platform/VavVersionInfo.h"
#define RCC_HAS_VERINFO 1

class CRccVerInfo : public VavVersionInfo {
public:
    CRccVerInfo() = default;
    CRccVerInfo(const VavVersionInfo& other) : VavVersionInfo(other) {}
};
#else
// Until the platform library has its version value, VerInfo is a code without a form.
#define RCC_HAS_VERINFO 0
#endif
