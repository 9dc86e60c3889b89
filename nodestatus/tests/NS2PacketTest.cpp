// Node-status packets byte by byte, and what a receiver refuses.
#include "nodestatus/NS2Packet.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

CNS2Node EditorRecord() {
    const uint8_t mac[6] = {0x02, 0x18, 0x00, 0x00, 0x00, 0x02};
    CNS2Node node(VavMacAddress(mac, 6), 0x81);
    node.SetNodeType(0x3041);
    node.SetIpAddress(0x0A010203);  // 10.1.2.3
    node.SetSessionId(0x11223344);
    node.SetReportInterval(1500);
    node.SetStatusWord(0x00028402);  // primary server, node id 0x84, relay capable
    return node;
}

Bytes Build(const CNS2Node& node, NS2Form form) {
    std::array<uint8_t, NS2_MAX_PACKET> buffer{};
    size_t n = NS2BuildPacket(node, form, 3, 1, buffer);
    return Bytes(buffer.begin(), buffer.begin() + n);
}

const Bytes kRegular = {
    0x08, 0x00, 0x03, 0x01, 0x81, 0x00, 0x00, 0x00, 0x24, 0x00, 0x00, 0x00,  // header, length 36
    0x41, 0x30,                                                              // node type
    0x02, 0x18, 0x00, 0x00, 0x00, 0x02,                                      // MAC
    0x03, 0x02, 0x01, 0x0A,                                                  // 10.1.2.3
    0x44, 0x33, 0x22, 0x11,                                                  // session
    0xDC, 0x05, 0x00, 0x00,                                                  // 1500 ms
    0x02, 0x84, 0x02, 0x00,                                                  // status word
};

TEST(NS2PacketTest, RegularAndAnnounceFormsAre36Bytes) {
    EXPECT_EQ(Build(EditorRecord(), NS2Form::Regular), kRegular);
    Bytes announce = kRegular;
    announce[1] = 2;
    EXPECT_EQ(Build(EditorRecord(), NS2Form::Announce), announce);
}

TEST(NS2PacketTest, LongFormCarriesVersionsAndName) {
    CNS2Node node = EditorRecord();
    node.SetComponentVersion(11, {4, 0, 14, 9, 1, 300});
    node.SetProtocolVersion(8, {3, 1, 2});
    node.SetName("Tessaly");
    Bytes expected = kRegular;
    expected[1] = 1;
    expected[8] = 76;
    expected.insert(expected.end(), 16, 0);                                     // data words
    expected.insert(expected.end(), {0x01, 0x01});                              // counts
    expected.insert(expected.end(), {0x0B, 0x00, 4, 0, 14, 9, 1, 0x2C, 0x01});  // id 11
    expected.insert(expected.end(), {0x08, 3, 1, 0x02, 0x00});                  // id 8
    expected.insert(expected.end(), {7, 'T', 'e', 's', 's', 'a', 'l', 'y'});
    EXPECT_EQ(Build(node, NS2Form::Long), expected);

    Bytes bare = Build(EditorRecord(), NS2Form::Long);
    ASSERT_EQ(bare.size(), 56u);  // no versions, empty name as one zero byte
    EXPECT_EQ(Bytes(bare.begin() + 52, bare.end()), (Bytes{0, 0, 1, 0}));
}

TEST(NS2PacketTest, ParseStoresEveryField) {
    CNS2Node sender = EditorRecord();
    sender.SetComponentVersion(11, {4, 0, 14, 9, 1, 300});
    sender.SetComponentVersion(2, {1, 2, 3, 4, 5, 6});
    sender.SetProtocolVersion(8, {3, 1, 2});
    sender.SetName(std::string(70, 'n'));
    CNS2Node received;
    bool newSession = false;
    ASSERT_EQ(NS2ParsePacket(received, Build(sender, NS2Form::Long), newSession),
              NS2PacketError::None);
    EXPECT_TRUE(newSession);
    EXPECT_TRUE(received.IsChanged());
    EXPECT_EQ(received.GetNodeType(), 0x3041);
    EXPECT_EQ(received.GetMacAddress(), sender.GetMacAddress());
    EXPECT_EQ(received.GetIpAddress(), 0x0A010203u);
    EXPECT_EQ(received.GetReportInterval(), 1500u);
    EXPECT_EQ(received.GetStatusWord(), 0x00028402u);
    EXPECT_EQ(received.GetServerRole(), 1);
    EXPECT_EQ(received.GetSourceAppId(), 0x81);
    EXPECT_EQ(received.GetProtocolMinor(), 1);
    EXPECT_EQ(received.GetVersionMap(), sender.GetVersionMap());
    EXPECT_EQ(received.GetProtocolVersionMap(), sender.GetProtocolVersionMap());
    EXPECT_EQ(received.GetName(), std::string(64, 'n'));
}

TEST(NS2PacketTest, NewSessionOnlyOnChangedSessionOrAnnounce) {
    CNS2Node received;
    bool newSession = false;
    NS2ParsePacket(received, kRegular, newSession);
    EXPECT_TRUE(newSession);
    NS2ParsePacket(received, kRegular, newSession);
    EXPECT_FALSE(newSession);
    Bytes announce = kRegular;
    announce[1] = 2;
    NS2ParsePacket(received, announce, newSession);
    EXPECT_TRUE(newSession);
}

TEST(NS2PacketTest, RefusesPacketsThatLie) {
    CNS2Node sender = EditorRecord();
    sender.SetComponentVersion(11, {4, 0, 14, 9, 1, 300});
    sender.SetName("Tessaly");
    const Bytes good = Build(sender, NS2Form::Long);  // 71 bytes: one component record
    ASSERT_EQ(good.size(), 71u);
    auto changed = [](Bytes b, size_t at, uint8_t value) {
        b[at] = value;
        return b;
    };
    struct Case {
        Bytes packet;
        NS2PacketError error;
    } cases[] = {
        {changed(kRegular, 0, 9), NS2PacketError::NotNodeStatus},
        {changed(kRegular, 2, 2), NS2PacketError::BadMajor},
        {changed(kRegular, 8, 37), NS2PacketError::BadLength},  // says more than came
        {Bytes(kRegular.begin(), kRegular.begin() + 30), NS2PacketError::BadLength},
        {changed(good, 8, 72), NS2PacketError::BadLength},      // long form says one more
        {changed(good, 52, 2), NS2PacketError::CountsPastEnd},  // one more component
        {changed(good, 53, 1), NS2PacketError::CountsPastEnd},  // a protocol record
        {changed(good, 63, 8), NS2PacketError::CountsPastEnd},  // name one byte longer
    };
    for (const auto& c : cases) {
        CNS2Node received;
        bool newSession = false;
        EXPECT_EQ(NS2ParsePacket(received, c.packet, newSession), c.error);
        EXPECT_FALSE(received.IsChanged());
        EXPECT_EQ(received.GetSessionId(), 0u);
    }
}

// What real devices send beyond the letter of the format is read: padding after the
// length field's end, a short form longer than 36 bytes, a form other than 0, 1 and 2.
TEST(NS2PacketTest, ReadsPaddedAndUnknownFormsAsTheirFieldsSay) {
    CNS2Node sender = EditorRecord();
    sender.SetName("Tessaly");
    const Bytes longForm = Build(sender, NS2Form::Long);  // 62 bytes: no records
    ASSERT_EQ(longForm.size(), 62u);
    auto padded = [](Bytes b, size_t bytes) {
        b.insert(b.end(), bytes, 0xA5);
        return b;
    };
    auto withLengthAndForm = [](Bytes b, uint8_t length, uint8_t form) {
        b[8] = length;
        b[1] = form;
        return b;
    };
    struct Case {
        const char* what;
        Bytes packet;
        bool longForm;
    } cases[] = {
        {"regular form padded to 64 bytes", padded(kRegular, 28), false},
        {"regular form padded, length field 64 too", withLengthAndForm(padded(kRegular, 28), 64, 0),
         false},
        {"announce padded by one byte", withLengthAndForm(padded(kRegular, 1), 36, 2), false},
        {"form 3 read as the short form", withLengthAndForm(kRegular, 36, 3), false},
        {"form 0xFF padded", withLengthAndForm(padded(kRegular, 10), 36, 0xFF), false},
        {"length field below the status block", withLengthAndForm(kRegular, 20, 0), false},
        {"long form padded to 100 bytes", padded(longForm, 38), true},
    };
    for (const Case& c : cases) {
        CNS2Node received;
        bool newSession = false;
        ASSERT_EQ(NS2ParsePacket(received, c.packet, newSession), NS2PacketError::None) << c.what;
        EXPECT_EQ(received.GetNodeType(), 0x3041) << c.what;
        EXPECT_EQ(received.GetIpAddress(), 0x0A010203u) << c.what;
        EXPECT_EQ(received.GetSessionId(), 0x11223344u) << c.what;
        EXPECT_EQ(received.GetReportInterval(), 1500u) << c.what;
        EXPECT_EQ(received.GetStatusWord(), 0x00028402u) << c.what;
        EXPECT_EQ(received.GetName(), c.longForm ? "Tessaly" : "") << c.what;
        EXPECT_TRUE(newSession) << c.what;  // a new record: the session changed from 0
    }
}

}  // namespace
