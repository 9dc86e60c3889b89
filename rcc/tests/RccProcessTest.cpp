// Remote calls between processes over the real transport: this test's proxy calls the
// stub dispatcher of an rcc_test_node process through a private Travex.
#include <gtest/gtest.h>

#include <chrono>

#include "os/Paths.h"
#include "rcc/IOMProxy.h"
#include "rcc/XPortRccTransport.h"
#include "rcc/fakes/ConnectionWaiter.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/NetHosts.h"
#include "testsupport/TravexTestEnv.h"

namespace {

using ixo::testsupport::ChildProcess;
using ixo::testsupport::NetHosts;
using ixo::testsupport::TravexTestEnv;
using Bytes = std::vector<uint8_t>;

constexpr uint16_t kNodePort = 36507;
constexpr uint32_t kNodeAddress = 0xC6120002;  // 198.18.0.2
constexpr uint32_t kPcAddress = 0xC6120001;    // 198.18.0.1, NetHosts::SelfAddress()
const CRccValue kNodeId = CRccValue::ofU32(1);

class Sink : public IOMNotificationSink {
public:
    uint32_t onPropertyNotification(uint32_t handle, const std::string& className, const CRccValue&,
                                    const std::string& property, const CRccValue& value, int32_t,
                                    bool) override {
        std::lock_guard<std::mutex> lock(mutex);
        seen.push_back(std::to_string(handle) + " " + className + "." + property + " " +
                       DescribeRccValue(value));
        return 0x012C0042;
    }
    uint32_t onPropertyMultiNotification(uint32_t, const std::string&, const CRccValue&,
                                         const std::vector<std::string>&,
                                         const std::vector<CRccValue>&, bool, int32_t,
                                         const std::vector<int32_t>&, bool) override {
        return RCC_E_UNKNOWN_METHOD;
    }
    uint32_t onPropertyArrayNotification(uint32_t, const std::string&, const CRccValue&,
                                         const std::string&, uint32_t, uint32_t, const CRccValue&,
                                         bool, int32_t, const std::vector<int32_t>&,
                                         bool) override {
        return RCC_E_UNKNOWN_METHOD;
    }
    std::mutex mutex;
    std::vector<std::string> seen;
};

// The node runs on host 0 (198.18.0.2) with a Travex of its own; this test is the PC, on
// the hosts' bridge (198.18.0.1), where its own Travex starts when the port opens.
class RccOverTravex : public ::testing::Test {
protected:
    void SetUp() override {
        IXO_REQUIRE_NETNS();
        std::string error;
        hosts = NetHosts::Create(1, &error);
        ASSERT_TRUE(hosts) << error;
        nodeEnv = std::make_unique<TravexTestEnv>("rccnode", 300, false);
        pcEnv = std::make_unique<TravexTestEnv>("rccpc");
        nodeApp = StartNode(node, "serve", kNodePort);
        ASSERT_NE(nodeApp, 0);
        ASSERT_FALSE(mux::MuxFailed(port.open(&appId, 1, 6107, 100, 100)));
        link = std::make_unique<XPortRccTransport>(port);
        ASSERT_EQ(link->localAddress(), kPcAddress);
        proxy = std::make_unique<CIOMProxy>(link.get());
        proxy->setTimeout(5000);
        ASSERT_GE(proxy->connect(kNodeAddress, nodeApp, kNodePort), 0);
    }
    void TearDown() override {
        if (proxy)
            proxy->unsubscribeAll();
        proxy.reset();
        link.reset();
        port.close();
        node.reset();
        silent.reset();
        pcEnv.reset();
        nodeEnv.reset();
    }

    // Starts a node program; its application id, 0 when it did not come up.
    uint8_t StartNode(std::unique_ptr<ChildProcess>& child, const char* mode, uint16_t nodePort) {
        std::vector<std::string> argv = hosts->Exec(0);
        argv.push_back("env");
        for (const std::string& v : nodeEnv->Vars()) argv.push_back(v);
        argv.insert(argv.end(), {(os::ProgramDir() / "rcc_test_node").string(), mode,
                                 std::to_string(nodePort)});
        child = std::make_unique<ChildProcess>(argv);
        std::string id = child->Expect("ready ", 10000);
        return id.empty() ? 0 : static_cast<uint8_t>(std::stoi(id));
    }

    std::unique_ptr<NetHosts> hosts;
    std::unique_ptr<TravexTestEnv> nodeEnv, pcEnv;
    std::unique_ptr<ChildProcess> node, silent;
    uint8_t nodeApp = 0;
    CXPort port;
    uint8_t appId = 0;
    std::unique_ptr<XPortRccTransport> link;
    std::unique_ptr<CIOMProxy> proxy;
};

TEST_F(RccOverTravex, PropertiesRangesMethodsAndTransactions) {
    ASSERT_EQ(proxy->setProp("Node", kNodeId, "Name", CRccValue::ofString("dimmer rack")),
              RCC_S_OK);
    CRccValue name;
    ASSERT_EQ(proxy->getProp("Node", kNodeId, "Name", name), RCC_S_OK);
    EXPECT_EQ(name, CRccValue::ofString("dimmer rack"));

    std::vector<int32_t> results;
    std::vector<CRccValue> values;
    ASSERT_EQ(proxy->setPropMulti("DMXPort", kNodeId, {"EDMX_Start", "Enabled"},
                                  {CRccValue::ofU32(513), CRccValue::ofBool(true)}, true, results),
              RCC_S_OK);
    EXPECT_EQ(results, (std::vector<int32_t>{0, 0}));
    ASSERT_EQ(proxy->getPropMulti("DMXPort", kNodeId, {"Enabled", "EDMX_Start"}, values), RCC_S_OK);
    EXPECT_EQ(values, (std::vector<CRccValue>{CRccValue::ofBool(true), CRccValue::ofU32(513)}));

    std::vector<uint16_t> patch(512);
    for (size_t i = 0; i < patch.size(); ++i) patch[i] = static_cast<uint16_t>(i);
    ASSERT_EQ(
        proxy->setProp("Node", kNodeId, "channelPatch", CRccValue::of<RCC_ARRAY | RCC_U16>(patch)),
        RCC_S_OK);
    ASSERT_EQ(proxy->setPropArray("Node", kNodeId, "channelPatch", 510, 2,
                                  CRccValue::of<RCC_ARRAY | RCC_U16>({7, 8}), false, results),
              RCC_S_OK);
    CRccValue tail;
    ASSERT_EQ(proxy->getPropArray("Node", kNodeId, "channelPatch", 508, 4, tail), RCC_S_OK);
    EXPECT_EQ(tail, (CRccValue::of<RCC_ARRAY | RCC_U16>({508, 509, 7, 8})));

    std::vector<CRccValue> args = {CRccValue::ofString("x"), CRccValue::ofS8(-1)};
    ASSERT_EQ(proxy->invokeMethod("Node", kNodeId, "echo", args, values), RCC_S_OK);
    EXPECT_EQ(values, args);

    IOMTransactionList write;
    write.transactions.emplace_back("DMXInputPort", CRccValue::ofU32(2))
        .properties.emplace_back("aipPatchIsEmpty", CRccValue::ofBool(false));
    ASSERT_EQ(proxy->setPropTransaction(write), RCC_S_OK);
    IOMTransactionList list;
    list.transactions.emplace_back("DMXInputPort", CRccValue::ofU32(2))
        .properties.emplace_back("aipPatchIsEmpty");
    ASSERT_EQ(proxy->getPropTransaction(list), RCC_S_OK);
    EXPECT_EQ(list.getPropertyValue(0, 0), CRccValue::ofBool(false));
}

TEST_F(RccOverTravex, SubscriptionBringsTheNodesNotifications) {
    Sink sink;
    uint32_t handle = 0;
    ASSERT_EQ(proxy->subscribe(&sink, &handle), RCC_S_OK);
    ASSERT_NE(handle, 0u);
    ASSERT_EQ(proxy->setProp("Node", kNodeId, "Name", CRccValue::ofString("new name")), RCC_S_OK);
    std::vector<CRccValue> answers;
    ASSERT_EQ(proxy->invokeMethod("Node", kNodeId, "notify", {}, answers), RCC_S_OK);
    // The sink's answer went back to the node in the notification's reply.
    EXPECT_EQ(answers, (std::vector<CRccValue>{CRccValue::ofU32(0x012C0042)}));
    EXPECT_EQ(sink.seen,
              (std::vector<std::string>{std::to_string(handle) + " Node.Name STR: new name"}));

    ASSERT_EQ(proxy->unsubscribe(handle), RCC_S_OK);
    ASSERT_EQ(proxy->invokeMethod("Node", kNodeId, "notify", {}, answers), RCC_S_OK);
    EXPECT_TRUE(answers.empty());
}

TEST_F(RccOverTravex, UnknownInterfaceOrMethodGetsTheErrorReply) {
    std::string file = "boot.bin";
    CRccFileInfo info;
    EXPECT_EQ(proxy->proxyRequest(RCC_IF_FILESERVICE, 13, nullptr, {CRccArg(0x00800009, &file)},
                                  {CRccArg(0x12, &info)}),
              RCC_E_UNKNOWN_INTERFACE);

    // A method no signature knows can only be sent by hand.
    auto raw = link->createConnection(RCC_PROTOCOL_ID, {});
    ConnectionWaiter wait(*raw);
    ASSERT_GE(raw->connect(kNodeAddress, kNodePort, nodeApp), 0);
    ASSERT_TRUE(wait.Connected(3000));
    Bytes request = {0x09, 0x01, 0x03, 0x00, appId, nodeApp, 0, 0, 24,   0, 0, 0,
                     0x78, 0x56, 0x34, 0x12, 0x02,  0,       0, 0, 0x0B, 0, 0, 0};
    ASSERT_GE(raw->send(request), 0);
    Bytes reply;
    EXPECT_TRUE(wait.Receive(reply, 3000));
    EXPECT_EQ(reply, (Bytes{0x09, 0x02, 0x03, 0x00, nodeApp, appId, 0,    0,   28, 0,
                            0,    0,    0x78, 0x56, 0x34,    0x12,  0x02, 0,   0,  0,
                            0x0B, 0,    0,    0,    0x20,    0x00,  0x2C, 0x81}));
}

TEST_F(RccOverTravex, SilentNodeIsACommunicationFailureAfterTheTimeout) {
    uint8_t silentApp = StartNode(silent, "silent", kNodePort + 1);
    ASSERT_NE(silentApp, 0);
    proxy->setTimeout(300);
    ASSERT_GE(proxy->connect(kNodeAddress, silentApp, kNodePort + 1), 0);
    CRccValue value = CRccValue::ofU8(1);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(proxy->getProp("Node", kNodeId, "Name", value), RCC_E_COMM_FAILURE);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(300));
    EXPECT_LT(took, std::chrono::milliseconds(3000));
    EXPECT_EQ(value, CRccValue::ofU8(1));
}

}  // namespace
