// BOOTP messages on the wire and the answers to them.
#include "addrserver/BootpResponder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "TestReporter.h"

namespace addrserver {
namespace {

using test::Ip;

// A 300-byte request written field by field, as a node sends it.
std::vector<uint8_t> RequestBytes(const uint8_t mac[6], const char* file, uint32_t ciaddr = 0,
                                  uint32_t giaddr = 0) {
    std::vector<uint8_t> b(300, 0);
    b[0] = 1;                                            // op: request
    b[1] = 1;                                            // hardware type: Ethernet
    b[2] = 6;                                            // address length
    b[4] = 0x12, b[5] = 0x34, b[6] = 0x56, b[7] = 0x78;  // xid
    for (int i = 0; i < 4; ++i) b[12 + i] = static_cast<uint8_t>(ciaddr >> (24 - 8 * i));
    for (int i = 0; i < 4; ++i) b[24 + i] = static_cast<uint8_t>(giaddr >> (24 - 8 * i));
    std::memcpy(&b[28], mac, 6);
    std::memcpy(&b[108], file, std::strlen(file));
    return b;
}

const uint8_t kNodeMac[6] = {0x02, 0x49, 0x58, 0x00, 0x00, 0x01};

TEST(BootpMessageTest, ParsesAndBuildsTheRfc951Layout) {
    auto bytes = RequestBytes(kNodeMac, "ionode.bin", Ip(10, 1, 2, 3), Ip(10, 9, 8, 7));
    bytes[3] = 2;     // hops
    bytes[236] = 99;  // vendor area
    BootpMessage m;
    ASSERT_EQ(ParseBootp(bytes, m), BootpParseError::kNone);
    EXPECT_EQ(m.op, 1);
    EXPECT_EQ(m.hops, 2);
    EXPECT_EQ(m.xid, 0x12345678u);
    EXPECT_EQ(m.ciaddr, Ip(10, 1, 2, 3));
    EXPECT_EQ(m.giaddr, Ip(10, 9, 8, 7));
    EXPECT_EQ(m.Mac(), (MacBytes{0x02, 0x49, 0x58, 0x00, 0x00, 0x01}));
    EXPECT_EQ(m.FileName(), "ionode.bin");
    auto again = BuildBootp(m);
    EXPECT_EQ(std::vector<uint8_t>(again.begin(), again.end()), bytes);
}

TEST(BootpMessageTest, DatagramShorterThanLayoutIsRefused) {
    auto bytes = RequestBytes(kNodeMac, "");
    BootpMessage m;
    EXPECT_EQ(ParseBootp(std::span(bytes).first(299), m), BootpParseError::kTooShort);
    bytes.resize(548);  // a DHCP-sized datagram is read up to the BOOTP layout
    EXPECT_EQ(ParseBootp(bytes, m), BootpParseError::kNone);
}

class BootpResponderTest : public ::testing::Test {
protected:
    BootpResponderTest() {
        tables.Configure({kOwn, Ip(255, 255, 255, 0), kOwn, Ip(10, 101, 50, 101), 150});
        tables.CreateSegment(kOwn, kOwn);
        responder.Configure({kOwn, Ip(255, 255, 255, 0), "bootserver", 0});
    }
    std::optional<std::vector<uint8_t>> Answer(const std::vector<uint8_t>& request) {
        BootpMessage m;
        EXPECT_EQ(ParseBootp(request, m), BootpParseError::kNone);
        auto reply = responder.Handle(m);
        if (!reply)
            return std::nullopt;
        auto bytes = BuildBootp(*reply);
        return std::vector<uint8_t>(bytes.begin(), bytes.end());
    }

    static constexpr uint32_t kOwn = 0x0A653201;  // 10.101.50.1
    test::TestReporter reporter;
    AddressTables tables{reporter, [](const std::string& n) { return n == "ionode.bin"; }};
    MacFilter filter;
    BootpResponder responder{tables, filter, reporter,
                             [](const std::string& n) { return n == "ionode.bin"; }};
};

TEST_F(BootpResponderTest, RequestGetsAddressMaskRouterAndBootFile) {
    auto reply = Answer(RequestBytes(kNodeMac, "C:\\images\\ionode.bin"));
    ASSERT_TRUE(reply);
    const auto& r = *reply;
    EXPECT_EQ(r[0], 2);
    EXPECT_EQ(std::vector<uint8_t>(&r[4], &r[8]), (std::vector<uint8_t>{0x12, 0x34, 0x56, 0x78}));
    EXPECT_EQ(std::vector<uint8_t>(&r[16], &r[24]),
              (std::vector<uint8_t>{10, 101, 50, 101, 10, 101, 50, 1}));  // yiaddr, siaddr
    EXPECT_STREQ(reinterpret_cast<const char*>(&r[44]), "bootserver");
    EXPECT_STREQ(reinterpret_cast<const char*>(&r[108]), "\\ionode.bin");
    // Cookie, subnet mask, router (the segment's gateway is this server, so the node's
    // own address), end.
    const std::vector<uint8_t> vendor = {0x63, 0x82, 0x53, 0x63, 1,   4,  255, 255, 255,
                                         0,    3,    4,    10,   101, 50, 101, 255};
    EXPECT_EQ(std::vector<uint8_t>(&r[236], &r[236 + vendor.size()]), vendor);
    EXPECT_TRUE(
        std::all_of(r.begin() + 236 + vendor.size(), r.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(BootpResponderTest, RouterOptionCarriesTheSegmentsGateway) {
    tables.CreateSegment(kOwn, Ip(10, 101, 50, 254));
    auto reply = Answer(RequestBytes(kNodeMac, "ionode.bin"));
    ASSERT_TRUE(reply);
    EXPECT_EQ(std::vector<uint8_t>(&(*reply)[246], &(*reply)[252]),
              (std::vector<uint8_t>{3, 4, 10, 101, 50, 254}));
}

TEST_F(BootpResponderTest, MacOutsideTheFilterIsIgnored) {
    const uint8_t stranger[6] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    EXPECT_FALSE(Answer(RequestBytes(stranger, "ionode.bin")));
    EXPECT_TRUE(
        reporter.Has(kMsgRequestIgnored, "Bootp: ignoring request from 00:11:22:33:44:55\n"));
    EXPECT_TRUE(tables.Nodes().empty());
}

TEST_F(BootpResponderTest, MissingBootFileSendsNoReply) {
    tables.MarkSaved();
    for (const char* file : {"missing.bin", "", "..", "../.."}) {
        EXPECT_FALSE(Answer(RequestBytes(kNodeMac, file))) << file;
    }
    EXPECT_TRUE(reporter.Has(
        kMsgBootFileError, "Bootp: File missing.bin requested by 02:49:58:00:00:01 doesn't exist"));
    // Unanswered requests take no address: nothing to hand out, nothing to save.
    EXPECT_TRUE(tables.Nodes().empty());
    EXPECT_FALSE(tables.Dirty());
    // The node's entry with a missing boot file refuses whatever it asks for.
    tables.AddNode(Ip(10, 101, 50, 40), {0x02, 0x49, 0x58, 0, 0, 1}, "gone.bin");
    EXPECT_FALSE(Answer(RequestBytes(kNodeMac, "ionode.bin")));
}

TEST_F(BootpResponderTest, ProbeOfAnotherServerIsAnswered) {
    auto probe = RequestBytes(kProbeMac.data(), "", Ip(10, 101, 50, 7));
    auto reply = Answer(probe);
    ASSERT_TRUE(reply);
    EXPECT_EQ(std::vector<uint8_t>(&(*reply)[12], &(*reply)[24]),
              (std::vector<uint8_t>{10, 101, 50, 7, 10, 101, 50, 7, 10, 101, 50, 1}));
    EXPECT_TRUE(reporter.Has(kMsgRequestTrace, "Bootp: test request from 10.101.50.7\n"));
    // Our own probe is not answered.
    EXPECT_FALSE(Answer(RequestBytes(kProbeMac.data(), "", kOwn)));
}

TEST_F(BootpResponderTest, OtherFramesGetNoReply) {
    auto bytes = RequestBytes(kNodeMac, "ionode.bin");
    bytes[0] = 2;  // another server's reply: passed over silently
    EXPECT_FALSE(Answer(bytes));
    bytes[0] = 7;
    EXPECT_FALSE(Answer(bytes));
    EXPECT_EQ(reporter.messages.size(), 1u);
    EXPECT_TRUE(reporter.Has(kMsgRequestTrace, "Bootp: socket received unknown frame\n"));
}

TEST_F(BootpResponderTest, RepliesThroughARelayGoToTheAgentsSubnetBroadcast) {
    BootpMessage direct, relayed;
    relayed.giaddr = Ip(10, 101, 60, 1);
    EXPECT_EQ(responder.ReplyDestination(direct), 0xFFFFFFFFu);
    EXPECT_EQ(responder.ReplyDestination(relayed), Ip(10, 101, 60, 255));
}

TEST(BaseNameTest, KeepsTheLastPart) {
    EXPECT_EQ(BaseName("dmxnode.bin"), "dmxnode.bin");
    EXPECT_EQ(BaseName("a/b\\c/vidnode.bin"), "vidnode.bin");
    EXPECT_EQ(BaseName("\\..\\..\\etc\\passwd"), "passwd");
    EXPECT_EQ(BaseName("x/.."), "");
    EXPECT_EQ(BaseName("dir/"), "");
}

}  // namespace
}  // namespace addrserver
