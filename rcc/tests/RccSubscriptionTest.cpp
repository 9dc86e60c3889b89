// IOM subscriptions: the proxy subscribes at the node, the node's notifications come back
// through the process's subscription stub to the sink.
#include <gtest/gtest.h>

#include "TestIomNode.h"
#include "rcc/IOMProxy.h"
#include "rcc/IOMSubscriptionStub.h"
#include "rcc/StubDispatcher.h"
#include "rcc/fakes/ConnectionWaiter.h"
#include "rcc/fakes/LoopbackTransport.h"

namespace {

constexpr uint32_t kSubNodeAddress = 0x0A000001;
constexpr uint32_t kSubPcAddress = 0x0A000002;
constexpr uint8_t kSubNodeApp = 5;
constexpr uint8_t kSubPcApp = 9;

struct Notification {
    uint32_t handle;
    std::string className;
    std::string propertyName;
    CRccValue value;
    bool operator==(const Notification&) const = default;
};

// Records what it is told; answers with `answer`.
class RecordingSink : public IOMNotificationSink {
public:
    uint32_t onPropertyNotification(uint32_t handle, const std::string& className, const CRccValue&,
                                    const std::string& propertyName, const CRccValue& value,
                                    int32_t, bool) override {
        std::lock_guard<std::mutex> lock(mutex);
        seen.push_back({handle, className, propertyName, value});
        return seen.size() == failAt ? 0x80004005 : answer;
    }
    uint32_t onPropertyMultiNotification(uint32_t handle, const std::string& className,
                                         const CRccValue&, const std::vector<std::string>& names,
                                         const std::vector<CRccValue>& values, bool, int32_t,
                                         const std::vector<int32_t>&, bool) override {
        std::lock_guard<std::mutex> lock(mutex);
        for (size_t i = 0; i < names.size() && i < values.size(); ++i)
            seen.push_back({handle, className, names[i], values[i]});
        return answer;
    }
    uint32_t onPropertyArrayNotification(uint32_t handle, const std::string& className,
                                         const CRccValue&, const std::string& name, uint32_t,
                                         uint32_t, const CRccValue& values, bool, int32_t,
                                         const std::vector<int32_t>&, bool) override {
        std::lock_guard<std::mutex> lock(mutex);
        seen.push_back({handle, className, name, values});
        return answer;
    }

    std::mutex mutex;
    std::vector<Notification> seen;
    uint32_t answer = RCC_S_OK;
    size_t failAt = 0;
};

class TransactionSink : public RecordingSink {
public:
    uint32_t onTransactionNotification(IOMTransactionList* list) override {
        lists.push_back(*list);
        return RCC_S_OK;
    }
    std::vector<IOMTransactionList> lists;
};

class RccSubscriptionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dispatcher.registerStub(RCC_IF_IOM, "IOM", &node));
        proxy.setTimeout(2000);
        notifier.setTimeout(2000);
        ASSERT_EQ(proxy.connect(kSubNodeAddress, kSubNodeApp, 0), 0);
    }
    void TearDown() override { proxy.unsubscribeAll(); }

    // The node's end for notifications, once the first subscribe has opened the PC's port.
    void ConnectNotifier() {
        ASSERT_EQ(notifier.connect(kSubPcAddress, kSubPcApp, RCC_DEFAULT_PORT), 0);
    }

    // The node tells the PC of a property change.
    uint32_t Notify(uint32_t handle, std::string property, CRccValue value) {
        return SendPropertyNotification(notifier, handle, "Node", std::move(property),
                                        std::move(value));
    }

    LoopbackNetwork network;
    LoopbackTransport nodeSide{network, kSubNodeAddress, kSubNodeApp};
    LoopbackTransport pcSide{network, kSubPcAddress, kSubPcApp};
    TestIomNode node;
    StubDispatcher dispatcher{&nodeSide, RCC_DEFAULT_PORT, 9, 50};
    CIOMProxy proxy{&pcSide};
    CProxyBase notifier{&nodeSide, RCC_DEFAULT_PORT, 9, 50};
};

TEST_F(RccSubscriptionTest, NotificationsReachTheSinkUntilUnsubscribed) {
    RecordingSink sink;
    sink.answer = 0x012C0001;
    uint32_t handle = 0;
    ASSERT_EQ(proxy.subscribe(&sink, &handle), RCC_S_OK);
    EXPECT_EQ(handle, 1u);
    ASSERT_EQ(node.subscriptions().size(), 1u);
    TestIomNode::Subscription at = node.subscriptions()[0];
    EXPECT_EQ(at.handle, handle);
    EXPECT_EQ(at.address, kSubPcAddress);
    EXPECT_EQ(at.appId, kSubPcApp);
    EXPECT_EQ(at.port, RCC_DEFAULT_PORT);

    // Notifications go to the PC's port, which the subscription stub listens on.
    ConnectNotifier();
    EXPECT_EQ(Notify(handle, "Name", CRccValue::ofString("n1")), 0x012C0001u);
    EXPECT_EQ(Notify(handle + 7, "Name", CRccValue::ofString("n2")), RCC_E_UNKNOWN_SUBSCRIPTION);
    EXPECT_EQ(sink.seen,
              (std::vector<Notification>{{handle, "Node", "Name", CRccValue::ofString("n1")}}));

    IOMNotificationSink* recorded = nullptr;
    EXPECT_TRUE(proxy.getSubscription(handle, &recorded, nullptr, nullptr, nullptr));
    EXPECT_EQ(recorded, &sink);

    ASSERT_EQ(proxy.unsubscribe(handle), RCC_S_OK);
    EXPECT_TRUE(node.subscriptions().empty());
    EXPECT_EQ(Notify(handle, "Name", CRccValue::ofString("n3")), RCC_E_UNKNOWN_SUBSCRIPTION);
    EXPECT_EQ(sink.seen.size(), 1u);

    size_t calls = node.methodsCalled().size();
    EXPECT_EQ(proxy.unsubscribe(4711), RCC_S_OK);
    EXPECT_EQ(node.methodsCalled().size(), calls);
}

TEST_F(RccSubscriptionTest, NotificationWithBytesAfterItsValuesIsDelivered) {
    RecordingSink sink;
    sink.answer = RCC_S_OK;
    uint32_t handle = 0;
    ASSERT_EQ(proxy.subscribe(&sink, &handle), RCC_S_OK);
    ConnectNotifier();
    ASSERT_EQ(Notify(handle, "Name", CRccValue::ofString("n1")), RCC_S_OK);
    // The same notification as a newer node sends it: four more bytes after its values.
    std::vector<uint8_t> pdu = nodeSide.sent().back();
    ASSERT_EQ(pdu[1], 0x01);
    pdu.insert(pdu.end(), {0x01, 0x02, 0x03, 0x04});
    pdu[8] = static_cast<uint8_t>(pdu.size());
    pdu[9] = static_cast<uint8_t>(pdu.size() >> 8);
    pdu[12] ^= 0x40;  // a sequence of its own
    auto raw = nodeSide.createConnection(9, {});
    ConnectionWaiter wait(*raw);
    ASSERT_EQ(raw->connect(kSubPcAddress, RCC_DEFAULT_PORT, kSubPcApp), 0);
    ASSERT_TRUE(wait.Connected(1000));
    ASSERT_GE(raw->send(pdu), 0);
    std::vector<uint8_t> reply;
    ASSERT_TRUE(wait.Receive(reply, 2000));
    ASSERT_EQ(reply.size(), 28u);
    EXPECT_EQ(std::vector<uint8_t>(reply.begin() + 24, reply.end()),
              (std::vector<uint8_t>{0x00, 0x00, 0x2C, 0x01}));
    EXPECT_TRUE(raw->isConnected());
    EXPECT_EQ(sink.seen,
              (std::vector<Notification>{{handle, "Node", "Name", CRccValue::ofString("n1")},
                                         {handle, "Node", "Name", CRccValue::ofString("n1")}}));
}

TEST_F(RccSubscriptionTest, ProxiesShareOneStubAndItsHandles) {
    RecordingSink first, second;
    CIOMProxy other(&pcSide);
    other.setTimeout(2000);
    ASSERT_EQ(other.connect(kSubNodeAddress, kSubNodeApp, 0), 0);
    uint32_t a = 0, b = 0;
    ASSERT_EQ(proxy.subscribe(&first, &a), RCC_S_OK);
    ASSERT_EQ(other.subscribe(&second, &b), RCC_S_OK);
    EXPECT_EQ(b, a + 1);
    ConnectNotifier();
    EXPECT_EQ(Notify(b, "x", CRccValue::ofU8(1)), RCC_S_OK);
    EXPECT_TRUE(first.seen.empty());
    EXPECT_EQ(second.seen.size(), 1u);
    EXPECT_EQ(proxy.unsubscribeAll(), RCC_S_OK);
    EXPECT_TRUE(node.subscriptions().empty());
}

TEST_F(RccSubscriptionTest, FailedSubscribeLeavesNoHandle) {
    RecordingSink sink;
    dispatcher.unregisterStub(RCC_IF_IOM);  // the node answers 0x812C0012
    uint32_t handle = 9;
    EXPECT_EQ(proxy.subscribe(&sink, &handle), RCC_E_UNKNOWN_INTERFACE);
    EXPECT_EQ(handle, 0u);
    EXPECT_FALSE(proxy.getSubscription(1, nullptr, nullptr, nullptr, nullptr));
}

TEST_F(RccSubscriptionTest, MultiArrayAndTransactionNotifications) {
    TransactionSink sink;
    uint32_t handle = 0;
    ASSERT_EQ(proxy.subscribe(&sink, &handle), RCC_S_OK);
    ConnectNotifier();
    std::string className = "Node", name = "channelPatch";
    CRccValue id = CRccValue::ofU32(1);
    std::vector<std::string> names = {"a", "b"};
    std::vector<CRccValue> values = {CRccValue::ofU8(1), CRccValue::ofU8(2)};
    CRccValue patch = CRccValue::of<RCC_ARRAY | RCC_U16>({4, 5});
    uint8_t flag = 0;
    int32_t hresult = 0;
    uint32_t start = 0, count = 2;
    std::vector<int32_t> results = {0, 0};
    ASSERT_EQ(notifier.proxyRequest(RCC_IF_IOMSUBSCRIBE, 1, nullptr,
                                    {CRccArg(0x03, &handle), CRccArg(0x00800009, &className),
                                     CRccArg(0x0080000A, &id), CRccArg(0x08800009, &names),
                                     CRccArg(0x0880000A, &values), CRccArg(0x00800008, &flag),
                                     CRccArg(0x00800006, &hresult), CRccArg(0x08800006, &results),
                                     CRccArg(0x00800008, &flag)}),
              RCC_S_OK);
    ASSERT_EQ(
        notifier.proxyRequest(
            RCC_IF_IOMSUBSCRIBE, 2, nullptr,
            {CRccArg(0x03, &handle), CRccArg(0x00800009, &className), CRccArg(0x0080000A, &id),
             CRccArg(0x00800009, &name), CRccArg(0x00800003, &start), CRccArg(0x00800003, &count),
             CRccArg(0x0080000A, &patch), CRccArg(0x00800008, &flag), CRccArg(0x00800006, &hresult),
             CRccArg(0x08800006, &results), CRccArg(0x00800008, &flag)}),
        RCC_S_OK);
    EXPECT_EQ(sink.seen, (std::vector<Notification>{{handle, "Node", "a", CRccValue::ofU8(1)},
                                                    {handle, "Node", "b", CRccValue::ofU8(2)},
                                                    {handle, "Node", "channelPatch", patch}}));

    IOMTransactionList list;
    list.flags = IOMTransactionList::kNotificationFields;
    list.subhandle = handle;
    IOMTransaction& t = list.transactions.emplace_back("Node", id);
    for (int i = 0; i < 3; ++i)
        t.properties.emplace_back("p" + std::to_string(i),
                                  CRccValue::ofU8(static_cast<uint8_t>(i)));
    ASSERT_EQ(notifier.proxyRequest(RCC_IF_IOMSUBSCRIBE, 3, &list), RCC_S_OK);
    ASSERT_EQ(sink.lists.size(), 1u);
    EXPECT_EQ(sink.lists[0].transactions, list.transactions);

    list.subhandle = handle + 1;
    EXPECT_EQ(notifier.proxyRequest(RCC_IF_IOMSUBSCRIBE, 3, &list), RCC_E_UNKNOWN_SUBSCRIPTION);
}

TEST(IOMNotificationSinkTest, DefaultTransactionNotificationStopsAtFirstFailure) {
    RecordingSink sink;
    sink.failAt = 2;
    IOMTransactionList list;
    list.subhandle = 3;
    IOMTransaction& t = list.transactions.emplace_back("Node", CRccValue::ofU32(1));
    for (const char* name : {"a", "b", "c"}) t.properties.emplace_back(name, CRccValue::ofU8(0));
    EXPECT_EQ(sink.IOMNotificationSink::onTransactionNotification(&list), 0x80004005u);
    ASSERT_EQ(sink.seen.size(), 2u);
    EXPECT_EQ(sink.seen[1].propertyName, "b");
    EXPECT_EQ(sink.seen[1].handle, 3u);
}

TEST(IOMSubscriptionStubTest, HandlesWrapAndRunOut) {
    IOMSubscriptionStub stub(nullptr, 0);
    IOMSubscriptionRecord record;
    for (uint32_t h = 1; h < IOMSubscriptionStub::kMaxHandle; ++h)
        ASSERT_EQ(stub.addSubscription(record), h);
    EXPECT_EQ(stub.addSubscription(record), 65500u);
    EXPECT_EQ(stub.addSubscription(record), 0u);
    stub.removeSubscription(7);
    stub.removeSubscription(3);
    EXPECT_EQ(stub.addSubscription(record), 3u);  // after 65500 the count starts again at 1
    EXPECT_EQ(stub.addSubscription(record), 7u);
    uint32_t first = 0;
    ASSERT_TRUE(stub.firstSubscription(&first));
    EXPECT_EQ(first, 1u);
    EXPECT_FALSE(stub.isEmpty());
}

// An IOM without its own transaction operations: one call per property.
class CountingIom : public IOM {
public:
    uint32_t getProp(const std::string&, const CRccValue&, const std::string& name,
                     CRccValue& value) override {
        names.push_back(name);
        value = CRccValue::ofString(name);
        return names.size() == failAt ? 0x80004005 : RCC_S_OK;
    }
    uint32_t setProp(const std::string&, const CRccValue&, const std::string& name,
                     const CRccValue&) override {
        names.push_back(name);
        return names.size() == failAt ? 0x80004005 : RCC_S_OK;
    }
    uint32_t getPropMulti(const std::string&, const CRccValue&, const std::vector<std::string>&,
                          std::vector<CRccValue>&) override {
        return 0;
    }
    uint32_t setPropMulti(const std::string&, const CRccValue&, const std::vector<std::string>&,
                          const std::vector<CRccValue>&, bool, std::vector<int32_t>&) override {
        return 0;
    }
    uint32_t getPropArray(const std::string&, const CRccValue&, const std::string&, uint32_t,
                          uint32_t, CRccValue&) override {
        return 0;
    }
    uint32_t setPropArray(const std::string&, const CRccValue&, const std::string&, uint32_t,
                          uint32_t, const CRccValue&, bool, std::vector<int32_t>&) override {
        return 0;
    }
    uint32_t invokeMethod(const std::string&, const CRccValue&, const std::string&,
                          const std::vector<CRccValue>&, std::vector<CRccValue>&) override {
        return 0;
    }
    std::vector<std::string> names;
    size_t failAt = 0;
};

TEST(IOMTest, DefaultTransactionsCallOncePerPropertyAndStopAtFailure) {
    IOMTransactionList list;
    IOMTransaction& t = list.transactions.emplace_back("Node", CRccValue::ofU32(1));
    t.properties.emplace_back("a");
    t.properties.emplace_back("b");
    CountingIom reader;
    EXPECT_EQ(reader.getPropTransaction(list), RCC_S_OK);
    EXPECT_EQ(list.getPropertyValue(0, 1), CRccValue::ofString("b"));
    CountingIom writer;
    writer.failAt = 1;
    EXPECT_EQ(writer.setPropTransaction(list), 0x80004005u);
    EXPECT_EQ(writer.names, (std::vector<std::string>{"a"}));
    IOMTransactionList empty;
    EXPECT_EQ(CountingIom().setPropTransaction(empty), 0u);
}

}  // namespace
