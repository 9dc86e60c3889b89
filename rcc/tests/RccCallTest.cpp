// Calls from a client proxy to a stub dispatcher over the in-process link.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "RccLogCapture.h"
#include "RccTestBytes.h"
#include "TestIomNode.h"
#include "os/FakeClock.h"
#include "platform/VavVersionRegistry.h"
#include "rcc/IOMProxy.h"
#include "rcc/IOMSubscriptionStub.h"
#include "rcc/StubDispatcher.h"
#include "rcc/fakes/ConnectionWaiter.h"
#include "rcc/fakes/LoopbackTransport.h"

namespace {

constexpr uint32_t kNodeAddress = 0x0A000001;
constexpr uint32_t kPcAddress = 0x0A000002;
constexpr uint8_t kNodeApp = 5;
constexpr uint8_t kPcApp = 9;
const CRccValue kNodeId = CRccValue::ofU32(1);

class RccCallTest : public ::testing::Test {
protected:
    void SetUp() override {
        dispatcher = std::make_unique<StubDispatcher>(&nodeSide, RCC_DEFAULT_PORT, 9, 50);
        ASSERT_TRUE(dispatcher->registerStub(RCC_IF_IOM, "IOM", &node));
        proxy = std::make_unique<CIOMProxy>(&pcSide);
        proxy->setTimeout(2000);
        ASSERT_EQ(proxy->connect(kNodeAddress, kNodeApp, 0), 0);
    }
    void TearDown() override {
        proxy.reset();
        dispatcher.reset();
    }

    // Sends raw bytes on a fresh connection to the node and returns what comes back
    // within a short wait (nothing: empty).
    Bytes RawCall(const Bytes& pdu, bool* closed = nullptr) {
        auto connection = pcSide.createConnection(9, {});
        ConnectionWaiter wait(*connection);
        connection->connect(kNodeAddress, RCC_DEFAULT_PORT, kNodeApp);
        connection->send(pdu);
        Bytes reply;
        wait.Receive(reply, 500);
        if (closed)
            *closed = !connection->isConnected();
        return reply;
    }

    LoopbackNetwork network;
    LoopbackTransport nodeSide{network, kNodeAddress, kNodeApp};
    LoopbackTransport pcSide{network, kPcAddress, kPcApp};
    TestIomNode node;
    std::unique_ptr<StubDispatcher> dispatcher;
    std::unique_ptr<CIOMProxy> proxy;
};

TEST_F(RccCallTest, SetPropThenGetProp) {
    RccLogCapture log;
    ASSERT_EQ(proxy->setProp("Node", kNodeId, "Name", CRccValue::ofString("stage left")), RCC_S_OK);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"IOMProxy: IOM::setProp() className=Node instanceId=U32: 1 "
                                        "propertyName=Name propertyValue=STR: stage left"}));
    EXPECT_EQ(node.get("Node", "Name"), CRccValue::ofString("stage left"));
    CRccValue value;
    ASSERT_EQ(proxy->getProp("Node", kNodeId, "Name", value), RCC_S_OK);
    EXPECT_EQ(value, CRccValue::ofString("stage left"));
    // The node's own failure comes back as it is, the output untouched.
    CRccValue untouched = CRccValue::ofU8(3);
    EXPECT_EQ(proxy->getProp("Node", kNodeId, "Missing", untouched), TestIomNode::kNoSuchProperty);
    EXPECT_EQ(untouched, CRccValue::ofU8(3));
}

TEST_F(RccCallTest, RequestAndReplyOnTheWire) {
    node.set("Node", "Name", CRccValue::ofString("x"));
    CRccValue value;
    ASSERT_EQ(proxy->getProp("Node", kNodeId, "Name", value), RCC_S_OK);
    Bytes request = pcSide.sent().back();
    Bytes reply = nodeSide.sent().back();
    // Request: protocol 9, type 1, version 3.0, from application 9 to 5.
    EXPECT_EQ(Bytes(request.begin(), request.begin() + 12),
              (Bytes{0x09, 0x01, 0x03, 0x00, 0x09, 0x05, 0, 0, 50, 0, 0, 0}));
    // Reply: type 2, the ids swapped, the request's sequence, interface and method, status.
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 12),
              (Bytes{0x09, 0x02, 0x03, 0x00, 0x05, 0x09, 0, 0, 38, 0, 0, 0}));
    EXPECT_EQ(Bytes(reply.begin() + 12, reply.begin() + 24),
              Bytes(request.begin() + 12, request.begin() + 24));
    EXPECT_EQ(Bytes(reply.begin() + 24, reply.end()),
              (Bytes{0x00, 0x00, 0x2C, 0x01, 0x09, 0, 0, 0, 0x02, 0, 0, 0, 'x', 0}));
}

TEST_F(RccCallTest, MultiAndArrayProperties) {
    std::vector<int32_t> results;
    ASSERT_EQ(proxy->setPropMulti("DMXPort", kNodeId, {"a", "b"},
                                  {CRccValue::ofU16(7), CRccValue()}, true, results),
              RCC_S_OK);
    EXPECT_EQ(results,
              (std::vector<int32_t>{0, static_cast<int32_t>(TestIomNode::kNoSuchProperty)}));
    std::vector<CRccValue> values;
    ASSERT_EQ(proxy->getPropMulti("DMXPort", kNodeId, {"a", "b"}, values), RCC_S_OK);
    EXPECT_EQ(values, (std::vector<CRccValue>{CRccValue::ofU16(7), CRccValue()}));

    node.set("Node", "channelPatch", CRccValue::of<RCC_ARRAY | RCC_U16>({0, 1, 2, 3, 4, 5}));
    ASSERT_EQ(proxy->setPropArray("Node", kNodeId, "channelPatch", 2, 3,
                                  CRccValue::of<RCC_ARRAY | RCC_U16>({20, 30, 40}), false, results),
              RCC_S_OK);
    EXPECT_EQ(results, (std::vector<int32_t>{0, 0, 0}));
    CRccValue range;
    ASSERT_EQ(proxy->getPropArray("Node", kNodeId, "channelPatch", 1, 4, range), RCC_S_OK);
    EXPECT_EQ(range, (CRccValue::of<RCC_ARRAY | RCC_U16>({1, 20, 30, 40})));
}

TEST_F(RccCallTest, InvokeMethod) {
    std::vector<CRccValue> args = {CRccValue::ofString("a"), CRccValue::ofS32(-1),
                                   CRccValue::of<RCC_ARRAY | RCC_STR>({"x", "y"})};
    std::vector<CRccValue> results;
    ASSERT_EQ(proxy->invokeMethod("Node", kNodeId, "echo", args, results), RCC_S_OK);
    EXPECT_EQ(results, args);
    EXPECT_EQ(proxy->invokeMethod("Node", kNodeId, "reboot", {}, results),
              TestIomNode::kNoSuchProperty);
}

TEST_F(RccCallTest, TransactionsTravelAsOneRequest) {
    IOMTransactionList write;
    IOMTransaction& node1 = write.transactions.emplace_back("Node", kNodeId);
    node1.properties.emplace_back("b", CRccValue::ofU8(2));
    node1.properties.emplace_back("a", CRccValue::ofBool(true));
    write.transactions.emplace_back("DMXInputPort", CRccValue::ofU32(3))
        .properties.emplace_back("aipPatchIsEmpty", CRccValue::ofBool(false));
    ASSERT_EQ(proxy->setPropTransaction(write), RCC_S_OK);
    EXPECT_EQ(node.methodsCalled(), (std::vector<uint32_t>{10}));
    EXPECT_EQ(node.get("DMXInputPort", "aipPatchIsEmpty"), CRccValue::ofBool(false));
    EXPECT_EQ(write.listTag, 1u);  // the reply's list replaced the caller's

    IOMTransactionList read;
    IOMTransaction& query = read.transactions.emplace_back("Node", kNodeId);
    query.properties.emplace_back("a");
    query.properties.emplace_back("b");
    ASSERT_EQ(proxy->getPropTransaction(read), RCC_S_OK);
    EXPECT_EQ(read.getPropertyValue(0, 0), CRccValue::ofBool(true));
    EXPECT_EQ(read.getPropertyValue(0, 1), CRccValue::ofU8(2));
}

TEST_F(RccCallTest, IStandardNamesTheServedInterfaces) {
    std::vector<std::string> names;
    ASSERT_EQ(proxy->proxyRequest(RCC_IF_ISTANDARD, 0, nullptr, {}, {CRccArg(0x08000009, &names)}),
              RCC_S_ISTANDARD_OK);
    EXPECT_EQ(names, (std::vector<std::string>{"IStandard", "IOM"}));
    for (auto [name, expected] : {std::pair{"IOM", 1}, std::pair{"iom", 0}}) {
        std::string text = name;
        uint8_t supported = 7;
        ASSERT_EQ(proxy->proxyRequest(RCC_IF_ISTANDARD, 1, nullptr, {CRccArg(0x00800009, &text)},
                                      {CRccArg(0x00000008, &supported)}),
                  RCC_S_ISTANDARD_OK);
        EXPECT_EQ(supported, expected) << name;
    }
}

// A request of 24 bytes to interface `iface`, method `method`, sequence 0x11223344.
Bytes RawRequest(uint8_t iface, uint8_t method) {
    return {0x09, 0x01, 0x03, 0x00, kPcApp, kNodeApp, 0, 0, 24,     0, 0, 0,
            0x44, 0x33, 0x22, 0x11, iface,  0,        0, 0, method, 0, 0, 0};
}

TEST_F(RccCallTest, UnknownInterfaceOrMethodGetsTheErrorReply) {
    EXPECT_EQ(
        RawCall(RawRequest(7, 0)),
        (Bytes{0x09, 0x02, 0x03, 0x00, kNodeApp, kPcApp, 0, 0, 28, 0, 0,    0,    0x44, 0x33,
               0x22, 0x11, 7,    0,    0,        0,      0, 0, 0,  0, 0x12, 0x00, 0x2C, 0x81}));
    EXPECT_EQ(
        RawCall(RawRequest(RCC_IF_IOM, 11)),
        (Bytes{0x09, 0x02, 0x03, 0x00, kNodeApp, kPcApp, 0,  0, 28, 0, 0,    0,    0x44, 0x33,
               0x22, 0x11, 2,    0,    0,        0,      11, 0, 0,  0, 0x20, 0x00, 0x2C, 0x81}));
    // The proxy itself refuses a method without a signature before sending.
    EXPECT_EQ(proxy->proxyRequest(RCC_IF_IOM, 11, nullptr), RCC_E_UNKNOWN_METHOD);
    EXPECT_EQ(proxy->proxyRequest(9, 0, nullptr), RCC_E_UNKNOWN_INTERFACE);
}

TEST_F(RccCallTest, BadRequestHeaderClosesTheConnectionWithoutReply) {
    RccLogCapture log;
    Bytes lengthOff = RawRequest(RCC_IF_ISTANDARD, 0);
    lengthOff[8] = 25;
    Bytes typeReply = RawRequest(RCC_IF_ISTANDARD, 0);
    typeReply[1] = 2;
    for (const Bytes& pdu : {lengthOff, typeReply}) {
        bool closed = false;
        EXPECT_TRUE(RawCall(pdu, &closed).empty());
        EXPECT_TRUE(closed);
    }
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>(
                  2, "StubDispatcher: request PDU had bad protocol, version, type, or length.")));
}

TEST_F(RccCallTest, UnreadableRequestBodyGetsAnErrorReply) {
    Bytes pdu = RawRequest(RCC_IF_ISTANDARD, 1);
    Bytes lying = {0x09, 0, 0, 0, 'I', 0};  // a text that claims 9 bytes
    pdu.insert(pdu.end(), lying.begin(), lying.end());
    pdu[8] = static_cast<uint8_t>(pdu.size());
    Bytes reply = RawCall(pdu);
    ASSERT_EQ(reply.size(), 28u);
    EXPECT_EQ(Bytes(reply.begin() + 24, reply.end()), (Bytes{0x06, 0x00, 0x2C, 0x81}));
}

TEST_F(RccCallTest, RequestWithBytesAfterItsInputsIsServed) {
    // IStandard isInterfaceSupported("IOM") followed by six bytes no signature names.
    Bytes pdu = RawRequest(RCC_IF_ISTANDARD, 1);
    const Bytes body = {0x04, 0, 0, 0, 'I', 'O', 'M', 0, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
    pdu.insert(pdu.end(), body.begin(), body.end());
    pdu[8] = static_cast<uint8_t>(pdu.size());
    bool closed = true;
    Bytes reply = RawCall(pdu, &closed);
    ASSERT_EQ(reply.size(), 29u);
    EXPECT_EQ(reply[8], 29);
    // Status 0x012D0000, then the bool true.
    EXPECT_EQ(Bytes(reply.begin() + 24, reply.end()), (Bytes{0x00, 0x00, 0x2D, 0x01, 0x01}));
    EXPECT_FALSE(closed);
}

// A node with newer software: its replies carry outputs after those the signature names.
TEST_F(RccCallTest, ReplyWithBytesAfterItsOutputsGivesTheNodesStatus) {
    os::Event arrived(false, false);  // outlives the connections that set it
    std::vector<std::unique_ptr<RccConnection>> held;
    std::mutex heldLock;
    auto newer = nodeSide.listen(9, 4010, {}, [&](std::unique_ptr<RccConnection> c) {
        c->setNotifyEvent(&arrived);
        std::lock_guard g(heldLock);
        held.push_back(std::move(c));
    });
    ASSERT_NE(newer, nullptr);
    std::atomic<bool> stop{false};
    const uint32_t statuses[] = {RCC_S_OK, 0x812C0027};
    std::thread answering([&] {
        size_t answered = 0;
        while (!stop && answered < std::size(statuses)) {
            Bytes request;
            {
                std::lock_guard g(heldLock);
                if (held.empty() || !held.back()->receive(request))
                    request.clear();
            }
            if (request.empty()) {
                arrived.Wait(100);  // bounded, to look at `stop`
                continue;
            }
            const uint32_t status = statuses[answered++];
            Bytes reply(request.begin(), request.begin() + 24);
            reply[1] = 0x02;
            std::swap(reply[4], reply[5]);
            const Bytes tail = {static_cast<uint8_t>(status),
                                static_cast<uint8_t>(status >> 8),
                                static_cast<uint8_t>(status >> 16),
                                static_cast<uint8_t>(status >> 24),
                                0x09,
                                0,
                                0,
                                0,
                                0x02,
                                0,
                                0,
                                0,
                                'x',
                                0,  // the variant output
                                0x0B,
                                0,
                                0,
                                0,
                                0xAA,
                                0xBB};  // and what is new
            reply.insert(reply.end(), tail.begin(), tail.end());
            reply[8] = static_cast<uint8_t>(reply.size());
            std::lock_guard g(heldLock);
            held.back()->send(reply);
        }
    });
    ASSERT_EQ(proxy->connect(kNodeAddress, kNodeApp, 4010), 0);
    for (uint32_t expected : statuses) {
        CRccValue value = CRccValue::ofU8(1);
        EXPECT_EQ(proxy->getProp("Node", kNodeId, "Name", value), expected);
        EXPECT_EQ(value, CRccValue::ofString("x"));
        EXPECT_TRUE(proxy->isConnected());
    }
    stop = true;
    answering.join();
}

TEST_F(RccCallTest, SecondCallWhileOneRunsIsRefused) {
    std::thread first([&] {
        std::vector<CRccValue> results;
        EXPECT_EQ(proxy->invokeMethod("Node", kNodeId, "block", {}, results), RCC_S_OK);
    });
    ASSERT_EQ(node.blocking.Wait(5000), os::WaitResult::Signaled);
    size_t sentBefore = pcSide.sent().size();
    CRccValue value;
    EXPECT_EQ(proxy->getProp("Node", kNodeId, "Name", value), RCC_E_PROXY_BUSY);
    EXPECT_EQ(pcSide.sent().size(), sentBefore);
    node.release.Set();
    first.join();
}

// A stub call that runs long holds up only the calls queued behind it: a peer that
// connects meanwhile is taken in at once.
TEST_F(RccCallTest, APeerConnectsWhileAStubCallRuns) {
    std::thread first([&] {
        std::vector<CRccValue> results;
        EXPECT_EQ(proxy->invokeMethod("Node", kNodeId, "block", {}, results), RCC_S_OK);
    });
    ASSERT_EQ(node.blocking.Wait(5000), os::WaitResult::Signaled);
    auto second = pcSide.createConnection(9, {});
    os::Event taken{true, false};
    std::thread peer([&] {
        second->connect(kNodeAddress, RCC_DEFAULT_PORT, kNodeApp);
        taken.Set();
    });
    EXPECT_EQ(taken.Wait(5000), os::WaitResult::Signaled) << "the connect waited for the call";
    node.release.Set();
    peer.join();
    first.join();
    EXPECT_TRUE(second->isConnected());
}

// The time-out runs on the clock: five minutes of a silent or missing node pass at once.
TEST_F(RccCallTest, SilentOrMissingNodeIsACommunicationFailureAfterTheTimeout) {
    std::vector<std::unique_ptr<RccConnection>> held;
    auto silent = nodeSide.listen(
        9, 4000, {}, [&](std::unique_ptr<RccConnection> c) { held.push_back(std::move(c)); });
    os::FakeClock clock(0xFFFF0000u);  // the time-out ends past the wrap
    for (uint16_t port : {uint16_t{4000}, uint16_t{4001}}) {
        proxy->setTimeout(300000);
        ASSERT_EQ(proxy->connect(kNodeAddress, kNodeApp, port), 0);
        CRccValue value = CRccValue::ofU8(1);
        std::atomic<bool> done{false};
        uint32_t status = 0;
        std::thread call([&] {
            status = proxy->getProp("Node", kNodeId, "Name", value);
            done = true;
        });
        EXPECT_TRUE(clock.AwaitSleepers(1)) << port;
        clock.Advance(150000);
        EXPECT_TRUE(clock.AwaitSleepers(1)) << port;  // half the time-out: waiting still
        EXPECT_FALSE(done.load()) << port;
        clock.Advance(300000);
        call.join();
        EXPECT_EQ(status, RCC_E_COMM_FAILURE) << port;
        EXPECT_EQ(value, CRccValue::ofU8(1));
        EXPECT_FALSE(proxy->isConnected());
    }
}

TEST_F(RccCallTest, ProxyWithoutTransportFails) {
    CIOMProxy lonely(nullptr);
    CRccValue value;
    EXPECT_EQ(lonely.connect(kNodeAddress, kNodeApp, 0), static_cast<int32_t>(RCC_E_COMM_FAILURE));
    EXPECT_EQ(lonely.getProp("Node", kNodeId, "Name", value), RCC_E_COMM_FAILURE);
    EXPECT_FALSE(lonely.getConnectionInfo(nullptr, nullptr, nullptr));
}

TEST_F(RccCallTest, ConnectWithPortZeroUsesTheDefaultPort) {
    uint32_t address = 0;
    uint8_t appId = 0;
    uint16_t port = 0;
    ASSERT_TRUE(proxy->getConnectionInfo(&address, &appId, &port));
    EXPECT_EQ(address, kNodeAddress);
    EXPECT_EQ(appId, kNodeApp);
    EXPECT_EQ(port, RCC_DEFAULT_PORT);
}

TEST(StubDispatcherTest, RegistrationAndIStandard) {
    RccLogCapture log;
    StubDispatcher dispatcher(nullptr, 0, 9, 50);
    EXPECT_EQ(GetVersionRegistry()->GetProtocolVersions().at(9), KoltPVersion(3, 0, 8));
    TestIomNode stub;
    EXPECT_TRUE(dispatcher.registerStub(3, "IOMSUBSCRIBE", &stub));
    EXPECT_FALSE(dispatcher.registerStub(3, "again", &stub));
    std::vector<std::string> names;
    EXPECT_EQ(dispatcher.getInterfaceNames(&names), RCC_S_ISTANDARD_OK);
    EXPECT_EQ(names, (std::vector<std::string>{"IStandard", "IOMSUBSCRIBE"}));
    bool supported = true;
    dispatcher.isInterfaceSupported("iomsubscribe", &supported);
    EXPECT_FALSE(supported);
    dispatcher.unregisterStub(3);
    dispatcher.unregisterStub(3);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "StubDispatcher: attempt to unregister an interface stub that "
                               "was never registered."}));
}

}  // namespace
