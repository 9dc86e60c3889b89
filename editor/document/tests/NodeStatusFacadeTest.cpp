// The editor's member of node status and its facade: which members count as
// configurable, what reaches the main frame, and connecting and disconnecting.
#include <gtest/gtest.h>

#include "editor/document/ErrorHandler.h"
#include "editor/document/KoltInterface.h"
#include "editor/document/NodeStatus2.h"
#include "editor/document/tests/NetOpsFixture.h"
#include "platform/VavVersionRegistry.h"

namespace {

class FedNodeStatus : public CNodeStatus2 {
public:
    FedNodeStatus() : CNodeStatus2("Tessaly", 2, 0) {}
    void Feed(const std::vector<uint8_t>& packet) { HandlePacket(packet, 1); }
    using CNodeStatus2::OnNodeOffline;
};

using NodeStatusFacadeTest = NetOpsTest;

TEST_F(NodeStatusFacadeTest, OnlyConfigurableNodesAreCountedListedAndPosted) {
    struct Member {
        uint16_t type;
        uint16_t networkMajor;  // 0: announces none
        const char* mac;
        bool configurable;
    } members[] = {
        {0x2104, 4, "02:00:00:00:00:01", true},  {0x2000, 4, "02:00:00:00:00:02", true},
        {0x27FF, 4, "02:00:00:00:00:03", true},  {0x1FFF, 4, "02:00:00:00:00:04", false},
        {0x2800, 4, "02:00:00:00:00:05", false}, {0x2104, 3, "02:00:00:00:00:06", false},
        {0x2104, 0, "02:00:00:00:00:07", false}, {0x3041, 4, "02:00:00:00:00:08", false},
    };
    FedNodeStatus status;
    uint32_t ip = 0x0A000010;
    for (const Member& m : members) status.Feed(StatusPacket(m.type, m.mac, ip++, m.networkMajor));
    EXPECT_EQ(status.GetConfigurableCount(), 3);
    EXPECT_EQ(status.GetOtherCount(), 5);
    std::vector<std::string> expectedPosts, listed;
    for (const Member& m : members) {
        EXPECT_EQ(status.IsNodeOnline(VavMacAddress(m.mac)), m.configurable) << m.mac;
        if (m.configurable)
            expectedPosts.push_back(std::string("on ") + m.mac);
    }
    EXPECT_EQ(frame_.Posts(), expectedPosts);
    // The member list runs newest first.
    std::string name;
    uint16_t type = 0;
    uint32_t address = 0;
    VavMacAddress mac;
    for (bool first = true; status.GetNextOnlineNode(first, name, type, address, mac);
         first = false)
        listed.push_back(mac.ToText());
    EXPECT_EQ(listed, (std::vector<std::string>{"02:00:00:00:00:03", "02:00:00:00:00:02",
                                                "02:00:00:00:00:01"}));
    CIPAddress found;
    ASSERT_TRUE(status.GetNodeIp(VavMacAddress("02:00:00:00:00:02"), found));
    EXPECT_EQ(found.GetText(), "010.000.000.017");
    EXPECT_FALSE(status.GetNodeIp(VavMacAddress("02:00:00:00:00:08"), found));
}

TEST_F(NodeStatusFacadeTest, RestartChangeAndOfflineReports) {
    FedNodeStatus status;
    status.Feed(StatusPacket(0x2104, "02:00:00:00:00:01", 0x0A000002, 4, 7));
    status.Feed(StatusPacket(0x2104, "02:00:00:00:00:01", 0x0A000002, 4, 8));  // new session
    status.Feed(StatusPacket(0x2104, "02:00:00:00:00:01", 0x0A000002, 4, 8, 600000, "renamed"));
    EXPECT_EQ(frame_.Posts(),
              (std::vector<std::string>{"on 02:00:00:00:00:01", "off 02:00:00:00:00:01",
                                        "on 02:00:00:00:00:01", "on 02:00:00:00:00:01"}));
    EXPECT_EQ(status.GetConfigurableCount(), 1);

    // An off-line report with nothing counted posts nothing and keeps the count at 0.
    FedNodeStatus fresh;
    CNS2Node gone(VavMacAddress("02:00:00:00:00:09"), 1);
    gone.SetNodeType(0x2104);
    gone.SetComponentVersion(VAV_COMPONENT_PROTOCOL_SUITE, {4, 0, 14, 0, 0, 0});
    fresh.OnNodeOffline(gone);
    EXPECT_EQ(fresh.GetConfigurableCount(), 0);
    EXPECT_EQ(frame_.Posts().size(), 4u);

    // Without a frame, or when the frame refuses, the post is dropped (its payload freed).
    frame_.refusePosts = true;
    fresh.Feed(StatusPacket(0x2104, "02:00:00:00:00:0a", 0x0A000003));
    EditorHost::SetMainFrame(nullptr);
    fresh.Feed(StatusPacket(0x2104, "02:00:00:00:00:0b", 0x0A000004));
    EXPECT_EQ(fresh.GetConfigurableCount(), 2);
}

TEST_F(NodeStatusFacadeTest, ConnectAnnouncesAndDisconnectSaysGoodbye) {
    CKoltInterface kolt;
    EXPECT_TRUE(kolt.Disconnect());  // nothing ran
    ASSERT_TRUE(kolt.Connect());
    EXPECT_TRUE(kolt.IsConnected());
    EXPECT_TRUE(kolt.Connect());  // connected already: the client stays
    ASSERT_FALSE(nodeStatus_.SentPackets().empty());
    EXPECT_EQ(nodeStatus_.SentPackets().back().bytes.at(1), 2);  // the announce form
    EXPECT_TRUE(nodeStatus_.IsJoined(NS2_GROUP, NS2_PORT));

    nodeStatus_.Push(StatusPacket(0x2104, "02:00:00:00:00:01", 0x0A000002));
    ASSERT_TRUE(frame_.Await([&] { return kolt.GetOnlineNodeCount() == 1; }));
    size_t sentBefore = nodeStatus_.SentPackets().size();
    EXPECT_TRUE(kolt.Disconnect());
    EXPECT_FALSE(kolt.IsConnected());
    EXPECT_EQ(kolt.GetOnlineNodeCount(), 0);
    EXPECT_FALSE(kolt.IsNodeOnline(VavMacAddress("02:00:00:00:00:01")));
    EXPECT_GE(nodeStatus_.SentPackets().size(), sentBefore + 5);  // the final status, five times
}

TEST_F(NodeStatusFacadeTest, FailedConnectIsReportedAndLeavesNothingConnected) {
    EditorHost::SetNodeStatusTransport(nullptr);  // and no transport either
    CKoltInterface kolt;
    EXPECT_FALSE(kolt.Connect());
    EXPECT_FALSE(kolt.IsConnected());
    EXPECT_EQ(kolt.GetOnlineNodeCount(), 0);
    ASSERT_EQ(sink_.Errors().size(), 1u);
    EXPECT_NE(sink_.Errors()[0].find("Could not connect to the network"), std::string::npos);
    EXPECT_TRUE(kolt.Disconnect());

    nodeStatus_.refuseAttach = true;
    EditorHost::SetNodeStatusTransport(&nodeStatus_);
    EXPECT_FALSE(kolt.Connect());
    EXPECT_FALSE(kolt.IsConnected());
    EXPECT_EQ(sink_.Errors().size(), 2u);
}

}  // namespace
