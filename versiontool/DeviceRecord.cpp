#include "versiontool/DeviceRecord.h"

#include <algorithm>
#include <cstring>

void CDeviceRecord::SetName(size_t length, const char* bytes) {
    if (length == 0 || bytes == nullptr)
        return;
    length = std::min(length, kMaxDeviceName);
    if (length == nameLength_ && std::memcmp(name_.data(), bytes, length) == 0)
        return;
    std::memcpy(name_.data(), bytes, length);
    nameLength_ = static_cast<uint8_t>(length);
    changed_ = true;
}
