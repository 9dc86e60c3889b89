// Walks over all nodes (off-line and unbound nodes, the cancel key) and the node methods
// reboot, update and clear, against simulated nodes served in this process.
#include <gtest/gtest.h>

#include "editor/document/tests/NetOpsFixture.h"

namespace {

using Calls = std::vector<std::string>;
using NetOpsWalkTest = NetOpsTest;

TEST_F(NetOpsWalkTest, SendWalkSkipsOfflineAndUnboundAndStopsAtAKey) {
    SimNode& a = AddNode(2);
    SimNode& b = AddNode(3);
    SimNode& away = AddNode(4, 8450, false);
    AddDocNode(a);
    xmldom::Node unbound;
    ASSERT_TRUE(doc_->AddNode("Kolt_2_Port_Node", &unbound));
    AddDocNode(away);
    AddDocNode(b);
    ASSERT_TRUE(doc_->SendConfig());
    EXPECT_FALSE(a.stub.Calls().empty());
    EXPECT_FALSE(b.stub.Calls().empty());
    EXPECT_TRUE(away.stub.Calls().empty());
    EXPECT_EQ(sink_.MessageTexts().back(), "Offline nodes skipped.");

    // A key pressed during the first node ends the walk after it.
    a.stub.ClearCalls();
    b.stub.ClearCalls();
    frame_.cancelTests = 0;
    frame_.keyAfterTests = 1;
    ASSERT_TRUE(doc_->SendConfig());
    EXPECT_FALSE(a.stub.Calls().empty());
    EXPECT_TRUE(b.stub.Calls().empty());

    // Unbound nodes alone are no reason for the off-line summary.
    ASSERT_TRUE(doc_->DeleteNode(doc_->GetNodesElement().FirstChildElement()));
    ASSERT_TRUE(doc_->DeleteNode(doc_->GetNodesElement().LastChild()));
    ASSERT_TRUE(doc_->DeleteNode(doc_->GetNodesElement().LastChild()));
    ASSERT_EQ(doc_->GetNodeCount(), 1);
    ASSERT_TRUE(doc_->SendConfig());
    EXPECT_EQ(sink_.MessageTexts().back(), "Ready");
}

TEST_F(NetOpsWalkTest, RebootAndUpdateResultsAreNotExaminedAndClearNamesTheNodesThatFailed) {
    SimNode& a = AddNode(2);
    SimNode& b = AddNode(3);
    xmldom::Node element = AddDocNode(a);
    // A node may restart before it answers: a failed reboot or update is no error.
    b.stub.FailCall(1, 0x80A10005);
    EXPECT_TRUE(doc_->RebootNodes());
    EXPECT_TRUE(sink_.Errors().empty());
    EXPECT_TRUE(sink_.Questions().empty());
    EXPECT_EQ(a.model.GetCounters().reboots, 1);
    EXPECT_EQ(b.model.GetCounters().reboots, 0);

    ASSERT_TRUE(doc_->UpdateNodeSoftware(element));
    EXPECT_EQ(a.stub.Calls().back(), "invokeMethod Node 1 reboot U32: 1");
    EXPECT_EQ(a.model.GetCounters().updates, 1);
    a.stub.FailCall(1, 0x80A10005);
    EXPECT_TRUE(doc_->UpdateNodeSoftware(element));
    EXPECT_TRUE(sink_.Errors().empty());

    ASSERT_TRUE(doc_->ClearConfiguration());
    EXPECT_EQ(a.model.GetCounters().clears, 1);
    EXPECT_EQ(b.model.GetCounters().clears, 1);
    a.stub.FailCall(1, 0x80A10005);
    EXPECT_FALSE(doc_->ClearConfiguration(element));
    ASSERT_EQ(sink_.Errors().size(), 1u);
    EXPECT_EQ(sink_.Errors().back(),
              "The configuration could not be cleared on these nodes: Node 2 (010.000.000.002).");

    // A key ends the walk after the node at hand.
    frame_.cancelTests = 0;
    frame_.keyAfterTests = 1;
    ASSERT_TRUE(doc_->RebootNodes());
    EXPECT_EQ(a.model.GetCounters().reboots + b.model.GetCounters().reboots, 2);
}

}  // namespace
