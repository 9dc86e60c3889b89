// The version value of the remote-call type VerInfo.
#pragma once

#include "platform/VavVersionInfo.h"

class CRccVerInfo : public VavVersionInfo {
public:
    using VavVersionInfo::VavVersionInfo;
    CRccVerInfo() = default;
    CRccVerInfo(const VavVersionInfo& other) : VavVersionInfo(other) {}
};
