// Handing out addresses: segments, node entries and the assignment rules.
#include "addrserver/AddressTables.h"

#include <gtest/gtest.h>

#include "TestReporter.h"

namespace addrserver {
namespace {

using test::Ip;

const MacBytes kMacA = {0x02, 0x49, 0x58, 0x00, 0x00, 0x01};
const MacBytes kMacB = {0x02, 0x49, 0x58, 0x00, 0x00, 0x02};

class AddressTablesTest : public ::testing::Test {
protected:
    void Configure(uint32_t own, uint32_t mask = Ip(255, 255, 255, 0), uint32_t count = 150) {
        tables.Configure({own, mask, Ip(10, 101, 50, 1), Ip(10, 101, 50, 101), count});
        ASSERT_GE(tables.CreateSegment(own, Ip(10, 101, 50, 1)), 0);
    }
    test::TestReporter reporter;
    AddressTables tables{reporter, [](const std::string& name) { return name == "ionode.bin"; }};
};

TEST_F(AddressTablesTest, FirstNewAddressFollowsFirstNodeIp) {
    Configure(Ip(10, 101, 50, 1));
    auto a = tables.Assign(kMacA, 0, 0);
    EXPECT_EQ(a.address, Ip(10, 101, 50, 101));
    EXPECT_EQ(a.gateway, Ip(10, 101, 50, 1));
    EXPECT_TRUE(reporter.Has(kMsgNotice, "Generated New Ip 10.101.50.101"));
    // The same node asking again keeps its address; the next node gets the next one.
    EXPECT_EQ(tables.Assign(kMacA, 0, 0).address, Ip(10, 101, 50, 101));
    EXPECT_EQ(tables.Assign(kMacB, 0, 0).address, Ip(10, 101, 50, 102));
}

TEST_F(AddressTablesTest, RangeStartsAfterOwnAddressInsideIt) {
    Configure(Ip(10, 101, 50, 120));
    auto seg = tables.SegmentOf(Ip(10, 101, 50, 7));
    ASSERT_TRUE(seg);
    EXPECT_EQ(seg->start, Ip(10, 101, 50, 121));
    EXPECT_EQ(seg->count, 130u);
}

TEST_F(AddressTablesTest, RangeNeverReachesBroadcastAddress) {
    // 101 + 200 runs past .254: the range ends at .254.
    Configure(Ip(10, 101, 50, 1), Ip(255, 255, 255, 0), 200);
    auto seg = tables.SegmentOf(Ip(10, 101, 50, 1));
    ASSERT_TRUE(seg);
    EXPECT_EQ(seg->start + seg->count - 1, Ip(10, 101, 50, 254));
}

TEST_F(AddressTablesTest, ExhaustedRangeAnswersNoAddress) {
    Configure(Ip(10, 101, 50, 1), Ip(255, 255, 255, 0), 2);
    EXPECT_EQ(tables.Assign(kMacA, 0, 0).address, Ip(10, 101, 50, 101));
    EXPECT_EQ(tables.Assign(kMacB, 0, 0).address, Ip(10, 101, 50, 102));
    MacBytes third = {0x02, 0x49, 0x58, 0x00, 0x00, 0x03};
    EXPECT_EQ(tables.Assign(third, 0, 0).address, 0u);
    EXPECT_TRUE(reporter.Has(kMsgError, "Error Creating new IP for 02.49.58.00.00.03\n"));
}

TEST_F(AddressTablesTest, ClaimedAddressAcceptedOnlyWhenUsable) {
    Configure(Ip(10, 101, 50, 1));
    struct Case {
        uint32_t claimed;
        uint32_t expected;
    } cases[] = {
        {Ip(10, 101, 50, 30), Ip(10, 101, 50, 30)},    // in the segment, free
        {Ip(10, 101, 0, 99), Ip(10, 101, 50, 101)},    // the nodes' factory address
        {Ip(10, 101, 50, 1), Ip(10, 101, 50, 101)},    // our own address
        {Ip(10, 101, 50, 255), Ip(10, 101, 50, 101)},  // broadcast address
        {Ip(10, 101, 50, 0), Ip(10, 101, 50, 101)},    // network address
        {Ip(10, 101, 51, 30), Ip(10, 101, 50, 101)},   // another network
    };
    for (const auto& c : cases) {
        AddressTables fresh(reporter, [](const std::string&) { return false; });
        fresh.Configure({Ip(10, 101, 50, 1), Ip(255, 255, 255, 0), 0, Ip(10, 101, 50, 101), 150});
        fresh.CreateSegment(Ip(10, 101, 50, 1), 0);
        EXPECT_EQ(fresh.Assign(kMacA, c.claimed, 0).address, c.expected) << DottedText(c.claimed);
    }
}

TEST_F(AddressTablesTest, ClaimedAddressHeldByAnotherNodeIsNotTaken) {
    Configure(Ip(10, 101, 50, 1));
    EXPECT_EQ(tables.Assign(kMacA, Ip(10, 101, 50, 30), 0).address, Ip(10, 101, 50, 30));
    EXPECT_TRUE(reporter.Has(kMsgNodeAdded, "Added Node IP 10.101.50.30 to bootptab from Bootp"));
    EXPECT_EQ(tables.Assign(kMacB, Ip(10, 101, 50, 30), 0).address, Ip(10, 101, 50, 101));
    // A node whose stored address is in the segment keeps it when its claim is unusable.
    EXPECT_EQ(tables.Assign(kMacA, Ip(10, 101, 0, 99), 0).address, Ip(10, 101, 50, 30));
}

TEST_F(AddressTablesTest, LookupByHardwareAddressComparesAllSixBytes) {
    Configure(Ip(10, 101, 50, 1));
    // Same last four bytes, other OUI: a different node.
    MacBytes other = {0x02, 0x4B, 0x58, 0x00, 0x00, 0x01};
    tables.Assign(kMacA, 0, 0);
    EXPECT_FALSE(tables.FindByMac(other));
    EXPECT_EQ(tables.Assign(other, 0, 0).address, Ip(10, 101, 50, 102));
}

TEST_F(AddressTablesTest, RelayedRequestGetsAddressInAgentsNetwork) {
    Configure(Ip(10, 101, 50, 1));
    auto a = tables.Assign(kMacA, 0, Ip(10, 101, 60, 1));
    EXPECT_EQ(a.address, Ip(10, 101, 60, 101));
    EXPECT_EQ(a.gateway, Ip(10, 101, 60, 1));
    EXPECT_TRUE(reporter.Has(kMsgNotice, "Creating network segment 10.101.60.0\n"));
}

TEST_F(AddressTablesTest, TablesHaveFixedCapacity) {
    Configure(Ip(10, 0, 0, 1), Ip(255, 255, 0, 0), 1000);
    for (unsigned i = 0; i < AddressTables::kMaxNodes; ++i) {
        MacBytes mac = {0x02, 0x49, 0x58, 0, static_cast<uint8_t>(i >> 8), static_cast<uint8_t>(i)};
        ASSERT_TRUE(tables.AddNode(Ip(10, 0, 2, 0) + i + 1, mac));
    }
    EXPECT_FALSE(tables.AddNode(Ip(10, 0, 9, 9), {2, 0, 0, 0, 0, 1}));
    EXPECT_TRUE(reporter.Has(kMsgError, "Bootp: nodeCount Exceeds 500"));

    for (unsigned i = 1; i < AddressTables::kMaxSegments; ++i)
        ASSERT_GE(tables.CreateSegment(Ip(10, 1 + i, 0, 0), 0), 0);
    EXPECT_LT(tables.CreateSegment(Ip(10, 200, 0, 0), 0), 0);
    EXPECT_TRUE(reporter.Has(kMsgError, "network segment count (32) exceed!"));
}

TEST_F(AddressTablesTest, BootFileStateFollowsTheFile) {
    Configure(Ip(10, 101, 50, 1));
    tables.AddNode(Ip(10, 101, 50, 40), kMacA, "ionode.bin");
    tables.AddNode(Ip(10, 101, 50, 41), kMacB, "gone.bin");
    EXPECT_EQ(tables.FindByMac(kMacA)->bootFileState, kBootFilePresent);
    EXPECT_EQ(tables.FindByMac(kMacB)->bootFileState, kBootFileMissing);
}

}  // namespace
}  // namespace addrserver
