// Status packets of made-up devices, for the tests of the tables, engines and dialog.
// The golden byte-level tests do not use this: they spell their bytes out.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "versiontool/DeviceRecord.h"

namespace quillon::test {

struct TestDevice {
    uint16_t type = 0x2042;
    std::array<uint8_t, 6> mac{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    uint32_t ip = 0x0A010203;  // 10.1.2.3
    uint32_t session = 1;
    uint32_t interval = 1500;
    uint32_t word0 = 0;
    uint8_t appId = 9;  // node status only
    bool longForm = true;
    std::vector<DeviceVersion> versions{{11, 4, 0, 14, 0, 0, 0}, {2, 1, 2, 3, 0, 0, 45}};
    std::string name = "Rack 1";
};

inline void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

inline void PutBody(std::vector<uint8_t>& p, const TestDevice& d) {
    Put16(p, d.type);
    p.insert(p.end(), d.mac.begin(), d.mac.end());
    Put32(p, d.ip);
    Put32(p, d.session);
    Put32(p, d.interval);
    Put32(p, d.word0);
    if (!d.longForm)
        return;
    for (int i = 0; i < 4; ++i) Put32(p, 0);
    p.push_back(static_cast<uint8_t>(d.versions.size()));
    p.push_back(0);  // no service records
    for (const DeviceVersion& v : d.versions) {
        Put16(p, v.id);
        p.insert(p.end(), {v.major, v.minor, v.patch, v.stage, v.patchDigit});
        Put16(p, v.build);
    }
    p.push_back(static_cast<uint8_t>(d.name.size()));
    p.insert(p.end(), d.name.begin(), d.name.end());
}

// Older generation, layout 1.
inline std::vector<uint8_t> LegacyBytes(const TestDevice& d) {
    std::vector<uint8_t> p{8, static_cast<uint8_t>(d.longForm ? 1 : 0), 1, 0};
    PutBody(p, d);
    return p;
}

inline std::vector<uint8_t> NodeStatusBytes(const TestDevice& d) {
    std::vector<uint8_t> p{8, static_cast<uint8_t>(d.longForm ? 1 : 0), 3, 1, d.appId, 0, 0, 0};
    Put32(p, 0);
    PutBody(p, d);
    const uint32_t n = static_cast<uint32_t>(p.size());
    for (int i = 0; i < 4; ++i) p[8 + i] = static_cast<uint8_t>(n >> (8 * i));
    return p;
}

}  // namespace quillon::test
