// Datagrams a device table refuses are counted by the decoder's reason, for both
// generations of status packet.
#include <gtest/gtest.h>

#include <vector>

#include "versiontool/DeviceTable.h"
#include "versiontool/tests/TestPackets.h"

namespace quillon::test {
namespace {

struct Case {
    const char* what;
    bool nodeStatus;
    size_t at;  // byte changed; SIZE_MAX: the last byte is cut off instead
    uint8_t value;
    StatusError reason;
};

TEST(DeviceTableDropTest, EachRefusedDatagramCountsUnderItsReason) {
    constexpr size_t kCut = SIZE_MAX;
    const Case cases[] = {
        {"older: protocol 9", false, 0, 9, StatusError::WrongProtocol},
        {"older: layout flag 3", false, 2, 3, StatusError::BadLayoutFlag},
        {"older: name cut short", false, kCut, 0, StatusError::EndsEarly},
        {"node status: protocol 9", true, 0, 9, StatusError::WrongProtocol},
        {"node status: major 2", true, 2, 2, StatusError::BadVersionMajor},
        {"node status: length field off by one", true, 8, 0, StatusError::BadLength},
    };
    DeviceTable older(DecodeLegacyStatus, UpdateRule::DeviceClass);
    DeviceTable nodeStatus(DecodeNodeStatus, UpdateRule::DeviceClassNodeStatus);
    const TestDevice device;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeviceTable& table = c.nodeStatus ? nodeStatus : older;
        std::vector<uint8_t> bytes = c.nodeStatus ? NodeStatusBytes(device) : LegacyBytes(device);
        if (c.at == kCut)
            bytes.pop_back();
        else if (c.at == 8)
            bytes[8] = static_cast<uint8_t>(bytes[8] + 1);
        else
            bytes[c.at] = c.value;
        const uint64_t before = table.Drops().Of(c.reason);
        const uint64_t total = table.Drops().Total();
        EXPECT_FALSE(table.HandleDatagram(bytes, 100));
        EXPECT_EQ(table.Drops().Of(c.reason), before + 1);
        EXPECT_EQ(table.Drops().Total(), total + 1);
    }
    // Whole packets count nothing.
    EXPECT_TRUE(older.HandleDatagram(LegacyBytes(device), 100));
    EXPECT_TRUE(nodeStatus.HandleDatagram(NodeStatusBytes(device), 100));
    EXPECT_EQ(older.Drops().Total(), 3u);
    EXPECT_EQ(nodeStatus.Drops().Total(), 3u);
}

}  // namespace
}  // namespace quillon::test
