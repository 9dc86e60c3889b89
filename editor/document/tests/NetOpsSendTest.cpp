// Send Config and Optimize EDMX against simulated nodes served in this process.
#include <gtest/gtest.h>

#include <algorithm>

#include "editor/document/ErrorSink.h"
#include "editor/document/tests/NetOpsFixture.h"
#include "editor/document/tests/SendSequence.h"

namespace {

using Calls = std::vector<std::string>;

size_t CountOf(const Calls& calls, const std::string& line) {
    return static_cast<size_t>(std::count(calls.begin(), calls.end(), line));
}

class NetOpsSendTest : public NetOpsTest {
protected:
    // The node's second DMX port element.
    xmldom::Node SecondPort(xmldom::Node node) {
        xmldom::Node first = doc_->FindSibling(node.FirstChild(), "DMX_Port_Properties");
        return doc_->FindSibling(first.NextSibling(), "DMX_Port_Properties");
    }
};

TEST_F(NetOpsSendTest, OneNodeReceivesTheHandWrittenSequence) {
    SimNode& node = AddNode(2);
    xmldom::Node element = AddDocNode(node);
    SetText(element, ".DMX_Port_Properties.DMX_Input_Port_Properties.AIP_Patch",
            CountingPatch(1200));
    ASSERT_TRUE(doc_->SendConfig(element));
    EXPECT_EQ(node.stub.Calls(), ExpectedSendSequence());
    EXPECT_TRUE(sink_.Questions().empty());
    ASSERT_FALSE(sink_.MessageTexts().empty());
    EXPECT_EQ(sink_.MessageTexts().front(),
              "Sending config to: Node 2 (MAC=02:18:00:00:00:02, IP=010.000.000.002)");
    EXPECT_EQ(sink_.MessageTexts().back(), "Ready");
    EXPECT_EQ(doc_->GetIomProxy(), nullptr);
    CRccValue patch;
    node.model.GetArray("DMXInputPort", CRccValue::ofU32(1), "channelPatch", 1199, 3, patch);
    EXPECT_EQ(patch, (CRccValue::of<RCC_ARRAY | RCC_U16>({1199, 1200, 0})));
}

TEST_F(NetOpsSendTest, PerPropertyAndCallVerdicts) {
    struct Case {
        const char* what;
        uint32_t propertyCode;  // answered for "location" in the batch of Node 1 (0: none)
        uint32_t callStatus;    // answered by the batch call itself (0: as the node says)
        bool sent;
    } cases[] = {
        {"property accepted with reason 39", 0x80A10027, 0, true},
        {"property refused", 0x80A10003, 0, false},
        {"call accepted with reason 39", 0, 0x812C0027, true},
        {"call refused", 0, 0x80A10005, false},
    };
    int n = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SimNode& node = AddNode(n++);
        xmldom::Node element = AddDocNode(node);
        if (c.propertyCode != 0)
            node.stub.FailProperty("location", c.propertyCode);
        if (c.callStatus != 0)
            node.stub.FailCall(3, c.callStatus);
        sink_.Clear();
        sink_.QueueAnswer(ANSWER_ABORT);
        EXPECT_EQ(doc_->SendConfig(element), c.sent);
        EXPECT_EQ(sink_.Questions().size(), c.sent ? 0u : 1u);
        EXPECT_EQ(CountOf(node.stub.Calls(), "invokeMethod Node 1 saveConfiguration"),
                  c.sent ? 1u : 0u);
    }
}

TEST_F(NetOpsSendTest, OutputsAreRestoredWhenALaterPassFails) {
    SimNode& node = AddNode(2);
    xmldom::Node element = AddDocNode(node);
    node.stub.FailCall(3, 0x80A10005);  // the first batch of the ordinary properties
    sink_.QueueAnswer(ANSWER_IGNORE);
    EXPECT_FALSE(doc_->SendConfig(element));
    Calls expected = ExpectedSendSequence();
    EXPECT_EQ(node.stub.Calls(), (Calls{expected[0], expected[1], expected[2],
                                        "setProp DMXPort 1 isPortEnabled=bool: true",
                                        "setProp DMXPort 2 isPortEnabled=bool: true"}));
    EXPECT_NE(std::find(sink_.MessageTexts().begin(), sink_.MessageTexts().end(),
                        "Could not send configuration information to node: Node 2."),
              sink_.MessageTexts().end());
    ASSERT_EQ(sink_.Questions().size(), 1u);
    EXPECT_EQ(sink_.Questions()[0],
              "A network communications error occurred setting properties to the node: Node 2 "
              "(010.000.000.002, 02:18:00:00:00:02). Not all of the properties could be sent to "
              "the node.");

    // When the outputs could not even be held, nothing else is sent.
    node.stub.ClearCalls();
    node.stub.FailCall(1, 0x80A10005);
    sink_.QueueAnswer(ANSWER_ABORT);
    EXPECT_FALSE(doc_->SendConfig(element));
    EXPECT_EQ(node.stub.Calls(), (Calls{expected[0]}));
}

TEST_F(NetOpsSendTest, SilentNodeIsAskedAboutAndRetryRepeatsIt) {
    SimNode& node = AddNode(2);
    xmldom::Node element = AddDocNode(node);
    // The node stays silent until the editor has given up on it and asks; then it wakes up
    // (in this process a new connection waits for the held call), so the retry finds it.
    node.stub.HoldCall(4);
    sink_.onQuestion = [&](const std::string&) { node.stub.Resume(); };
    sink_.QueueAnswer(ANSWER_RETRY);
    ASSERT_TRUE(doc_->SendConfig(element));
    EXPECT_EQ(sink_.Questions().size(), 1u);
    Calls calls = node.stub.Calls();
    // The node was sent to from the start again, and to the end.
    EXPECT_EQ(CountOf(calls, "setProp DMXPort 1 isPortEnabled=bool: false"), 2u);
    EXPECT_EQ(CountOf(calls, "invokeMethod Node 1 saveConfiguration"), 1u);
    EXPECT_EQ(calls.back(), "invokeMethod Node 1 reboot");
}

// The template's boot property makes every send end with a reboot, which a node may not
// live to answer; a node that does not save is asked about in words of its own.
TEST_F(NetOpsSendTest, UnansweredRebootIsASendAndAFailedSaveIsSaidSo) {
    SimNode& node = AddNode(2);
    xmldom::Node element = AddDocNode(node);
    // A plain send first: its calls, the reboot last.
    ASSERT_TRUE(doc_->SendConfig(element));
    const Calls expected = node.stub.Calls();
    ASSERT_EQ(expected.back(), "invokeMethod Node 1 reboot");
    const auto reboot = static_cast<uint32_t>(expected.size());

    // Restarts without answering: held past the editor's time-out.
    node.stub.ClearCalls();
    node.stub.HoldCall(reboot, 1500);
    EXPECT_TRUE(doc_->SendConfig(element));
    EXPECT_TRUE(sink_.Questions().empty());
    // The held reboot is in the record only once the node has answered it.
    const Calls beforeReboot(expected.begin(), expected.end() - 1);
    EXPECT_EQ(node.stub.Calls(), beforeReboot);
    node.stub.Resume();
    EXPECT_TRUE(node.stub.AwaitCalls(
        [](const Calls& calls) { return CountOf(calls, "invokeMethod Node 1 reboot") != 0; }));
    EXPECT_EQ(node.stub.Calls(), expected);

    // Answers the reboot with a failure.
    node.stub.ClearCalls();
    node.stub.FailCall(reboot, 0x812C001E);
    EXPECT_TRUE(doc_->SendConfig(element));
    EXPECT_TRUE(sink_.Questions().empty());
    EXPECT_EQ(CountOf(node.stub.Calls(), "invokeMethod Node 1 reboot"), 1u);

    // Refuses to save: a failure, asked about as such, and no reboot.
    node.stub.ClearCalls();
    node.stub.FailCall(reboot - 1, 0x80A10005);
    sink_.QueueAnswer(ANSWER_ABORT);
    EXPECT_FALSE(doc_->SendConfig(element));
    ASSERT_EQ(sink_.Questions().size(), 1u);
    EXPECT_EQ(sink_.Questions()[0],
              "The node: Node 2 (010.000.000.002, 02:18:00:00:00:02) did not save its "
              "configuration. The properties were sent to the node, but it may not keep them "
              "when it restarts.");
    EXPECT_EQ(CountOf(node.stub.Calls(), "invokeMethod Node 1 reboot"), 0u);
}

TEST_F(NetOpsSendTest, NetworkAddressModeSkipsANodeOutsideItsSubnet) {
    SimNode& wrong = AddNode(2);
    SimNode& right = AddNode(3);
    xmldom::Node w = AddDocNode(wrong);
    xmldom::Node r = AddDocNode(right);
    for (xmldom::Node n : {w, r}) SetText(n, ".Node_Properties.Subnet_Mask", "255.255.255.000");
    SetText(w, ".Node_Properties.Gateway_IP", "010.000.001.001");
    SetText(r, ".Node_Properties.Gateway_IP", "010.000.000.001");
    doc_->SetNetworkAddressMode(true);
    EXPECT_TRUE(doc_->SendConfig());
    EXPECT_TRUE(wrong.stub.Calls().empty());
    ASSERT_EQ(sink_.Errors().size(), 1u);
    EXPECT_NE(sink_.Errors()[0].find("\"Node 2\""), std::string::npos);
    EXPECT_EQ(CountOf(right.stub.Calls(),
                      "setPropMulti Node 1 nodeName,ipAddress,subnetMask,gatewayAddress,location,"
                      "statusInterval,isPanelLocked continue=1"),
              1u);
    CRccValue gateway;
    right.model.Get("Node", CRccValue::ofU32(1), "gatewayAddress", gateway);
    EXPECT_EQ(DescribeRccValue(gateway), "IPv4: 10.0.0.1");
}

TEST_F(NetOpsSendTest, ReadOnlyBootPropertyIsNeitherSentNorRebootsTheNode) {
    SimNode& node = AddNode(2);
    xmldom::Node element = AddDocNode(node);
    for (xmldom::Node port :
         {doc_->FindSibling(element.FirstChild(), "DMX_Port_Properties"), SecondPort(element)})
        doc_->SkipTextNode(doc_->GetProperty(port, "Input_Output")).SetAttribute("edit", "N");
    ASSERT_TRUE(doc_->SendConfig(element));
    Calls calls = node.stub.Calls();
    EXPECT_EQ(CountOf(calls, "setPropMulti DMXPort 1 portName continue=1"), 0u);
    EXPECT_EQ(CountOf(calls, "setProp DMXPort 1 portName=STR: "), 1u);
    EXPECT_EQ(calls.back(), "invokeMethod Node 1 saveConfiguration");
}

TEST_F(NetOpsSendTest, EdmxMulticastAddressIsSentSavedTwiceAndRebooted) {
    SimNode& node = AddNode(2);
    xmldom::Node element = AddDocNode(node);
    ASSERT_TRUE(doc_->SetNodeEdmxMulticastIp(element, "236.001.000.058"));
    ASSERT_TRUE(doc_->SendEdmxMulticastIp(element));
    EXPECT_EQ(node.stub.Calls(),
              (Calls{"setProp Node 1 edmxMulticastAddress=IPv4: 236.1.0.58",
                     "invokeMethod Node 1 saveConfiguration",
                     "invokeMethod Node 1 saveConfiguration", "invokeMethod Node 1 reboot"}));
    EXPECT_EQ(doc_->GetIomProxy(), nullptr);

    // An off-line node is not contacted; a refusal is reported.
    SimNode& away = AddNode(3, 8450, false);
    EXPECT_FALSE(doc_->SendEdmxMulticastIp(AddDocNode(away)));
    node.stub.FailCall(1, 0x80A10004);
    EXPECT_FALSE(doc_->SendEdmxMulticastIp(element));
    ASSERT_EQ(sink_.Errors().size(), 1u);
    EXPECT_EQ(sink_.Errors()[0],
              "The EDMX multicast address could not be sent to the node: Node 2 "
              "(010.000.000.002, 02:18:00:00:00:02).");
}

}  // namespace
