// The version value of the remote-call type VerInfo.
#pragma once

#include "platform/VavVersionInfo.h"

class CRccVerInfo : public VavVersionInfo {
public:
    CRccVerInfo() = default;
    CRccVerInfo(const VavVersionInfo& other) : VavVersionInfo(other) {}
    explicit CRccVerInfo(const VavVersionData& data) : VavVersionInfo(data) {}
};
