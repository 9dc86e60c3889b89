// The engine without the network: registration and ids, fetching through mappings,
// local multicast, TCP between clients of one PC, and the release of a client.
#include "multiplexer/MuxEngine.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "multiplexer/tests/FakeNamedObjects.h"
#include "os/ByteOrder.h"
#include "os/FakeClock.h"

namespace mux {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint32_t kGroup = 0xEC010002;  // 236.1.0.2
constexpr std::uint16_t kPort = 6107;

// A packet of `total` bytes with the 12-byte header: protocol 8, type 0, version 3.0.
Bytes Packet(std::uint8_t src, std::uint8_t dst, std::uint32_t total, std::uint8_t major = 3) {
    Bytes p(total, 0xAB);
    p[0] = 8, p[1] = 0, p[2] = major, p[3] = 0, p[4] = src, p[5] = dst, p[6] = 0, p[7] = 0;
    os::PutLe32(p.data() + 8, total);
    return p;
}

class MuxEngineTest : public ::testing::Test {
protected:
    test::FakeNamedObjects objects;
    std::uint32_t address = 0;  // no card: nothing goes on the network
    MuxEngine engine{{&objects, [this] { return address; }, true}};
    int names = 0;

    std::uint8_t Start(std::uint8_t want = 0, int mcq = 100, int tcpq = 100) {
        std::uint8_t id = want;
        EXPECT_EQ(engine.startup(&id, 1, mcq, tcpq), 0);
        return id;
    }
    std::string Fill(const Bytes& data) {
        std::string name = "Send" + std::to_string(++names);
        objects.CreateMapping(name, data.size()) = data;
        return name;
    }
    MuxStatus McSend(std::uint8_t id, const Bytes& data, std::uint32_t group = kGroup) {
        return engine.MulticastSendTo(id, group, kPort, static_cast<std::uint32_t>(data.size()),
                                      Fill(data));
    }
    // Fetches one entry as the client does: probe, then a mapping of the size asked for.
    MuxStatus Fetch(MuxKind kind, std::uint8_t id, Bytes& entry, std::uint32_t* next = nullptr) {
        auto get = [&](std::uint32_t* len, std::uint32_t* nx, std::string_view name) {
            return kind == MuxKind::Tcp ? engine.TCPGetPacket(id, len, nx, name)
                                        : engine.MulticastGetPacket(id, len, nx, name);
        };
        std::uint32_t len = 0, nextLen = 0;
        MuxStatus s = get(&len, &nextLen, " ");
        if (s != MUX_E_BUFFER_TOO_SMALL)
            return s;
        std::string name = "Get" + std::to_string(++names);
        objects.CreateMapping(name, len);
        s = get(&len, &nextLen, name);
        if (s == MUX_S_OK)
            entry = objects.MappingBytes(name);
        if (next)
            *next = nextLen;
        return s;
    }
};

TEST_F(MuxEngineTest, AssignsIdsFrom128AndRefusesOneInUse) {
    EXPECT_EQ(Start(), 128);
    EXPECT_EQ(Start(), 129);
    EXPECT_EQ(Start(9), 9);
    std::uint8_t again = 9;
    EXPECT_EQ(engine.startup(&again, 1, 100, 100), MUX_E_APPID_IN_USE);
    EXPECT_EQ(engine.ClientCount(), 3);
}

TEST_F(MuxEngineTest, AutomaticIdsWrapPastZeroAndSkipIdsInUse) {
    Start(5);
    for (int i = 128; i <= 255; ++i) {
        std::uint8_t id = Start();
        ASSERT_EQ(id, i);
        engine.shutdown(id);
    }
    std::vector<int> next;
    for (int i = 0; i < 5; ++i) next.push_back(Start());
    EXPECT_EQ(next, (std::vector<int>{1, 2, 3, 4, 6}));
}

TEST_F(MuxEngineTest, RegistrationLimits) {
    std::uint8_t id = 0;
    EXPECT_EQ(engine.startup(&id, 1, 0, 100), MUX_E_CLIENT_SETUP);
    EXPECT_EQ(engine.startup(&id, 1, 100, kMuxMaxQueueSize + 1), MUX_E_CLIENT_SETUP);
    for (int i = 0; i < kMuxMaxClients; ++i) Start();
    id = 0;
    EXPECT_EQ(engine.startup(&id, 1, 100, 100), MUX_E_ENGINE_BUSY);
}

TEST_F(MuxEngineTest, ShutdownOfZeroOrAStrangerLeavesTheOthersRunning) {
    std::uint8_t a = Start();
    EXPECT_EQ(engine.shutdown(0), MUX_S_OK);
    EXPECT_EQ(engine.shutdown(77), MUX_S_OK);
    EXPECT_TRUE(engine.Started());
    EXPECT_EQ(engine.SubscribeToMulticast(a, kGroup, kPort), MUX_S_OK);
    EXPECT_EQ(engine.shutdown(a), MUX_S_OK);
    EXPECT_FALSE(engine.Started());
}

TEST_F(MuxEngineTest, MulticastReachesEverySubscriberWithItsDescriptor) {
    std::uint8_t a = Start(), b = Start(), c = Start();
    ASSERT_EQ(engine.SubscribeToMulticast(a, kGroup, kPort), MUX_S_OK);
    ASSERT_EQ(engine.SubscribeToMulticast(b, kGroup, kPort), MUX_S_OK);
    Bytes p = Packet(a, 0, 20);
    ASSERT_EQ(McSend(a, p), MUX_S_OK);
    EXPECT_TRUE(objects.IsSet("MCPacketArrived" + std::to_string(b)));
    // Local sender: {local address (1: no card), group port, group, group port, 0, 0}.
    Bytes want{1,    0,    0, 0, 0xDB, 0x17, 0, 0, 2, 0, 1, 0xEC,
               0xDB, 0x17, 0, 0, 0,    0,    0, 0, 0, 0, 0, 0};
    want.insert(want.end(), p.begin(), p.end());
    for (std::uint8_t id : {a, b}) {
        Bytes entry;
        ASSERT_EQ(Fetch(MuxKind::Multicast, id, entry), MUX_S_OK);
        EXPECT_EQ(entry, want);
    }
    Bytes none;
    EXPECT_EQ(Fetch(MuxKind::Multicast, c, none), MUX_E_QUEUE_EMPTY);
    EXPECT_EQ(Fetch(MuxKind::Multicast, 200, none), MUX_E_UNKNOWN_APPID);
}

TEST_F(MuxEngineTest, FetchNeedsRoomForTheWholeEntryAndReportsTheNext) {
    std::uint8_t a = Start();
    engine.SubscribeToMulticast(a, kGroup, kPort);
    McSend(a, Packet(a, 0, 100));
    McSend(a, Packet(a, 0, 40));
    std::uint32_t len = 0, next = 0;
    ASSERT_EQ(engine.MulticastGetPacket(a, &len, &next, " "), MUX_E_BUFFER_TOO_SMALL);
    ASSERT_EQ(len, 124u);
    objects.CreateMapping("Get", 124);
    len = 123;  // one byte short
    EXPECT_EQ(engine.MulticastGetPacket(a, &len, &next, "Get"), MUX_E_BUFFER_TOO_SMALL);
    EXPECT_EQ(len, 124u);
    EXPECT_EQ(engine.MulticastGetPacket(a, &len, &next, "Get"), MUX_S_OK);
    EXPECT_EQ(next, 64u);
}

TEST_F(MuxEngineTest, EntryStaysQueuedWhenTheClientsMappingCannotBeOpened) {
    std::uint8_t a = Start();
    engine.SubscribeToMulticast(a, kGroup, kPort);
    McSend(a, Packet(a, 0, 30));
    std::uint32_t len = 54, next = 0;
    EXPECT_EQ(engine.MulticastGetPacket(a, &len, &next, "NoSuchMapping"), MUX_E_MC_COPY);
    objects.CreateMapping("Short", 53);
    EXPECT_EQ(engine.MulticastGetPacket(a, &len, &next, "Short"), MUX_E_MC_COPY);
    Bytes entry;
    EXPECT_EQ(Fetch(MuxKind::Multicast, a, entry), MUX_S_OK);
    EXPECT_EQ(entry.size(), 54u);
}

TEST_F(MuxEngineTest, DatagramLengthLimitAndMissingMapping) {
    std::uint8_t a = Start();
    engine.SubscribeToMulticast(a, kGroup, kPort);
    EXPECT_EQ(McSend(a, Packet(a, 0, 32768)), MUX_S_OK);
    EXPECT_EQ(McSend(a, Packet(a, 0, 32769)), MUX_E_TOO_LONG);
    EXPECT_EQ(engine.MulticastSendTo(a, kGroup, kPort, 20, "Nothing"), MUX_E_MC_SEND);
    Fill(Packet(a, 0, 20));
    EXPECT_EQ(engine.MulticastSendTo(a, kGroup, kPort, 21, "Send" + std::to_string(names)),
              MUX_E_MC_SEND);  // the mapping is shorter than the length claimed
}

TEST_F(MuxEngineTest, FullMulticastQueueKeepsTheNewest) {
    std::uint8_t a = Start(0, 3);
    engine.SubscribeToMulticast(a, kGroup, kPort);
    for (std::uint32_t n = 1; n <= 5; ++n) McSend(a, Packet(a, 0, 12 + n));
    for (std::uint32_t n = 3; n <= 5; ++n) {
        Bytes entry;
        ASSERT_EQ(Fetch(MuxKind::Multicast, a, entry), MUX_S_OK);
        EXPECT_EQ(entry.size(), kMuxDescriptorSize + 12 + n);
    }
    EXPECT_EQ(engine.Drops().Of(MuxDrop::OldestDropped), 2u);
    EXPECT_EQ(engine.Drops().Total(), 2u);
}

TEST_F(MuxEngineTest, LocalAddressIsOneWithoutACard) {
    Start();
    std::uint32_t ip = 0;
    EXPECT_EQ(engine.GetLocalIPAddress(&ip), MUX_S_OK);
    EXPECT_EQ(ip, 1u);
    address = 0xC6120002;
    EXPECT_EQ(engine.GetLocalIPAddress(&ip), MUX_S_OK);
    EXPECT_EQ(ip, 0xC6120002u);
    EXPECT_EQ(engine.Spew(1, 2), 0);
}

TEST_F(MuxEngineTest, LocalPairCarriesMessagesBothWaysWithPartnerHandles) {
    std::uint8_t server = Start(), client = Start();
    std::uint32_t point = 0, conn = 0;
    ASSERT_EQ(engine.TCPAllocatePoint(server, 36507, &point), 0);
    EXPECT_EQ(point, 0x1010000u);
    std::uint16_t port = 0;
    EXPECT_EQ(engine.TCPGetPort(server, point, &port), 0);
    EXPECT_EQ(port, 36507);
    EXPECT_EQ(engine.TCPOpen(client, 0x0A000001, 36508, server, 1000, &conn), MUX_E_UNKNOWN_APPID);
    ASSERT_EQ(engine.TCPOpen(client, 0x0A000001, 36507, server, 1000, &conn), 0);
    EXPECT_EQ(conn, 0x1100000u);

    Bytes request = Packet(client, server, 28);
    ASSERT_EQ(engine.TCPSendBuffer(conn, 1000, 28, Fill(request)), MUX_S_OK);
    Bytes entry;
    ASSERT_EQ(Fetch(MuxKind::Tcp, server, entry), MUX_S_OK);
    // {local address 1, port big-endian, local address, port, partner handle, 0}
    Bytes want{1,    0,    0, 0, 0x8E, 0x9B, 0,    0,    1, 0, 0, 0,
               0x8E, 0x9B, 0, 0, 1,    0,    0x10, 0x01, 0, 0, 0, 0};
    want.insert(want.end(), request.begin(), request.end());
    EXPECT_EQ(entry, want);

    Bytes reply = Packet(server, client, 12);
    ASSERT_EQ(engine.TCPSendBuffer(0x1100001, 1000, 12, Fill(reply)), MUX_S_OK);
    ASSERT_EQ(Fetch(MuxKind::Tcp, client, entry), MUX_S_OK);
    EXPECT_EQ(os::GetLe32(entry.data() + 16), 0x1100000u);
}

TEST_F(MuxEngineTest, LocalSendWaitsForRoomThenGivesUp) {
    std::uint8_t server = Start(0, 10, 1), client = Start();
    std::uint32_t point = 0, conn = 0;
    engine.TCPAllocatePoint(server, 4000, &point);
    engine.TCPOpen(client, 0, 4000, server, 0, &conn);
    Bytes m = Packet(client, server, 12);
    ASSERT_EQ(engine.TCPSendBuffer(conn, 50, 12, Fill(m)), MUX_S_OK);
    {
        // Its pauses move this clock on: the limit passes without wall time.
        os::FakeClock clock(1000, true);
        EXPECT_EQ(engine.TCPSendBuffer(conn, 50, 12, Fill(m)), MUX_E_TCP_CONNECT_FULL);
        EXPECT_GE(clock.Now(), 1050u) << "not before its limit";
        EXPECT_LE(clock.Now(), 1060u) << "nor long after it";
    }
    // With no limit, the send goes through as soon as the server fetches: the server
    // fetches once the sender waits, and the sender wakes on the server's notice alone.
    os::FakeClock clock(5000);
    std::thread fetcher([&] {
        EXPECT_TRUE(clock.AwaitSleepers(1));
        Bytes e;
        Fetch(MuxKind::Tcp, server, e);
        objects.SetEvent("TravexTCPPacketProcessed");
    });
    EXPECT_EQ(engine.TCPSendBuffer(conn, 0, 12, Fill(m)), MUX_S_OK);
    fetcher.join();
    EXPECT_EQ(clock.Now(), 5000u);
    EXPECT_EQ(engine.TCPSendBuffer(conn, 0, 5, Fill(Bytes(5))), MUX_E_TCP_CONNECT);  // no header
}

TEST_F(MuxEngineTest, ReleasedClientLosesSubscriptionsPointsAndPairs) {
    std::uint8_t a = Start(), b = Start();
    std::uint32_t point = 0, conn = 0;
    engine.SubscribeToMulticast(a, kGroup, kPort);
    engine.SubscribeToMulticast(a, kGroup + 1, kPort);
    engine.SubscribeToMulticast(b, kGroup, kPort);
    engine.TCPAllocatePoint(a, 5000, &point);
    engine.TCPOpen(b, 0, 5000, a, 0, &conn);
    EXPECT_EQ(engine.Multicast()->RecordCount(), 2);
    engine.shutdown(a);
    EXPECT_EQ(engine.Multicast()->RecordCount(), 1);
    EXPECT_EQ(engine.TCPSendBuffer(conn, 0, 12, Fill(Packet(b, a, 12))), MUX_E_TCP_CONNECT);
    EXPECT_EQ(engine.TCPOpen(b, 0, 5000, a, 0, &conn), MUX_E_UNKNOWN_APPID);  // point gone
    EXPECT_EQ(engine.UnsubscribeFromMulticast(b, kGroup, kPort), MUX_S_OK);
    EXPECT_EQ(engine.UnsubscribeFromMulticast(b, kGroup, kPort), MUX_E_MC_UNSUBSCRIBE);
    EXPECT_EQ(engine.Multicast()->RecordCount(), 0);
}

TEST_F(MuxEngineTest, SixtyFifthGroupIsRefused) {
    std::uint8_t a = Start();
    for (std::uint16_t i = 0; i < 64; ++i)
        ASSERT_EQ(engine.SubscribeToMulticast(a, kGroup, static_cast<std::uint16_t>(7000 + i)),
                  MUX_S_OK);
    EXPECT_EQ(engine.SubscribeToMulticast(a, kGroup, 8000), MUX_E_MC_TABLE_FULL);
    EXPECT_EQ(engine.SubscribeToMulticast(a, kGroup, 7000),
              MUX_S_OK);  // an existing one still counts up
}

}  // namespace
}  // namespace mux
