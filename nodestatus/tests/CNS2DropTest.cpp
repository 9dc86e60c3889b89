// Datagrams the node-status engine refuses are counted by the reason that refused them.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "nodestatus/CNS2.h"

namespace {

class Engine : public CNS2 {
public:
    Engine() : CNS2(0, NS2_PORT, NS2_GROUP, 0x3041, 0x5555, "Tessaly", true, NS2_MODE_MEMBER, 50) {}
    void OnNodeOnline(CNS2Node&) override {}
    void OnNodeOffline(CNS2Node&) override {}
    using CNS2::HandlePacket;
};

// A regular report of a member at 10.1.2.3 (header, then the 24-byte status block).
const std::vector<uint8_t> kGood = {
    0x08, 0x00, 0x03, 0x01, 0x81, 0x00, 0x00, 0x00, 0x24, 0x00, 0x00, 0x00,  // length 36
    0x41, 0x30, 0x02, 0x18, 0x00, 0x00, 0x00, 0x07, 0x03, 0x02, 0x01, 0x0A,
    0x44, 0x33, 0x22, 0x11, 0xDC, 0x05, 0x00, 0x00, 0x02, 0x84, 0x02, 0x00,
};

TEST(CNS2DropTest, EachRefusedDatagramCountsUnderItsReason) {
    auto with = [](size_t at, uint8_t value) {
        auto b = kGood;
        b[at] = value;
        return b;
    };
    auto longForm = [&](uint8_t versionCount) {
        auto b = with(1, 1);  // long form: data words, counts, name
        b.insert(b.end(), 16, 0);
        b.insert(b.end(), {versionCount, 0, 0});
        b[8] = static_cast<uint8_t>(b.size());
        return b;
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        NS2PacketError reason;
    };
    const Case cases[] = {
        {"not protocol 8", with(0, 9), NS2PacketError::NotNodeStatus},
        {"major 2", with(2, 2), NS2PacketError::BadMajor},
        {"length field 40", with(8, 40), NS2PacketError::BadLength},
        {"cut short", std::vector<uint8_t>(kGood.begin(), kGood.begin() + 11),
         NS2PacketError::BadLength},
        {"one version record announced, none sent", longForm(1), NS2PacketError::CountsPastEnd},
    };
    Engine engine;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const uint64_t before = engine.Drops().Of(c.reason);
        const uint64_t total = engine.Drops().Total();
        engine.HandlePacket(c.bytes, 1000);
        EXPECT_EQ(engine.Drops().Of(c.reason), before + 1);
        EXPECT_EQ(engine.Drops().Total(), total + 1);
        EXPECT_TRUE(engine.CopyNodes().empty());
    }
    // The good report and a well-formed long one make a record and count nothing.
    const uint64_t total = engine.Drops().Total();
    engine.HandlePacket(kGood, 1000);
    engine.HandlePacket(longForm(0), 1000);
    EXPECT_EQ(engine.Drops().Total(), total);
    EXPECT_EQ(engine.CopyNodes().size(), 1u);
}

}  // namespace
