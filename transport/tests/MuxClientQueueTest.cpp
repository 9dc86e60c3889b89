// The clients' queues in shared memory, against a real Travex in a private network
// namespace: local clients push to each other without Travex, entries larger than a
// slot still travel whole, and a client that dies leaves nothing behind.
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "multiplexer/MuxEntry.h"
#include "os/ByteOrder.h"
#include "os/UniqueFd.h"
#include "testsupport/NetHosts.h"
#include "testsupport/TravexTestEnv.h"
#include "transport/MuxClient.h"

namespace {

using namespace mux;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;
constexpr std::uint16_t kQueuePort = 36508;

Bytes Packet(std::uint8_t src, std::uint8_t dst, std::uint32_t total, std::uint8_t fill) {
    Bytes p(total, fill);
    p[0] = 8, p[1] = 0, p[2] = 3, p[3] = 0, p[4] = src, p[5] = dst, p[6] = 0, p[7] = 0;
    os::PutLe32(p.data() + 8, total);
    return p;
}

XPortStatus Send(std::uint32_t conn, const Bytes& m) {
    XPortBuffer one{m.data(), static_cast<std::uint32_t>(m.size()), nullptr};
    return MuxClientTcpSend(conn, 1000, &one);
}

// Waits for the arrival event and fetches.
XPortStatus Receive(const XPortEvents& events, std::uint8_t id, XPortPacket& p) {
    XPortStatus s = MuxClientTcpGetPacket(id, p);
    if (s == MUX_E_QUEUE_EMPTY && events.tcpArrived->Wait(2000)) {
        events.tcpArrived->Reset();
        s = MuxClientTcpGetPacket(id, p);
    }
    return s;
}

// The names in /dev/shm of this test's scope.
std::set<std::string> SharedObjects(const std::string& scope) {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator("/dev/shm", ec)) {
        std::string n = e.path().filename().string();
        if (n.find(scope) != std::string::npos)
            names.insert(n);
    }
    return names;
}

bool HasName(const std::set<std::string>& names, const std::string& part) {
    for (const auto& n : names) {
        if (n.find(part) != std::string::npos)
            return true;
    }
    return false;
}

TEST(MuxClientQueues, LargeAndSmallMessagesGoBothWaysInOrder) {
    IXO_REQUIRE_NETNS();
    ixo::testsupport::TravexTestEnv env("muxqueue");
    std::uint8_t a = 0, b = 0;
    XPortEvents ea, eb;
    ASSERT_EQ(MuxClientOpen(&a, 0, 10, 10, &ea), 0);
    ASSERT_EQ(MuxClientOpen(&b, 0, 10, 10, &eb), 0);
    std::uint32_t point = 0, conn = 0;
    ASSERT_EQ(MuxClientAllocatePoint(b, kQueuePort, &point), 0);
    ASSERT_EQ(MuxClientTcpOpen(a, 0, kQueuePort, b, 1000, &conn), 0);
    // A slot holds about a kilobyte: these go direct, through Travex, and direct again.
    const std::uint32_t sizes[] = {12, 980, 70000, 40, 70000};
    for (std::uint32_t size : sizes) ASSERT_EQ(Send(conn, Packet(a, b, size, 0x5A)), MUX_S_OK);
    XPortPacket p;
    std::uint32_t partner = 0;
    for (std::uint32_t size : sizes) {
        ASSERT_EQ(Receive(eb, b, p), MUX_S_OK) << size;
        EXPECT_EQ(p.data, Packet(a, b, size, 0x5A));
        EXPECT_EQ(p.remotePort, kQueuePort);
        EXPECT_EQ(p.localPort, kQueuePort);
        EXPECT_EQ(p.remoteAddress, 1u);  // no card
        EXPECT_EQ(p.remoteAppId, a);
        partner = p.handle;
    }
    EXPECT_EQ(partner, conn ^ 1u);
    EXPECT_EQ(MuxClientTcpGetPacket(b, p), MUX_E_QUEUE_EMPTY);
    // The answer of 70,000 bytes on the partner's side.
    ASSERT_EQ(Send(partner, Packet(b, a, 70000, 0xA5)), MUX_S_OK);
    ASSERT_EQ(Receive(ea, a, p), MUX_S_OK);
    EXPECT_EQ(p.data, Packet(b, a, 70000, 0xA5));
    EXPECT_EQ(p.handle, conn);

    // A closed pair is not pushed to directly: Travex answers as it always did.
    ASSERT_EQ(MuxClientDeallocatePoint(a, conn), MUX_S_OK);
    EXPECT_EQ(Send(partner, Packet(b, a, 40, 1)), static_cast<XPortStatus>(MUX_E_TCP_CONNECT));
    EXPECT_EQ(MuxClientClose(a), MUX_S_OK);
    EXPECT_EQ(MuxClientClose(b), MUX_S_OK);
}

TEST(MuxClientQueues, SenderToAFullQueueWaitsForRoomOrTimesOut) {
    IXO_REQUIRE_NETNS();
    ixo::testsupport::TravexTestEnv env("muxfull");
    std::uint8_t a = 0, b = 0;
    XPortEvents ea, eb;
    ASSERT_EQ(MuxClientOpen(&a, 0, 10, 10, &ea), 0);
    ASSERT_EQ(MuxClientOpen(&b, 0, 10, 10, &eb), 0);
    std::uint32_t point = 0, conn = 0;
    ASSERT_EQ(MuxClientAllocatePoint(b, kQueuePort, &point), 0);
    ASSERT_EQ(MuxClientTcpOpen(a, 0, kQueuePort, b, 1000, &conn), 0);
    auto numbered = [&](int i) { return Packet(a, b, 40, static_cast<std::uint8_t>(i)); };
    auto send = [&](int i, std::uint32_t timeoutMs) {
        Bytes m = numbered(i);
        XPortBuffer one{m.data(), static_cast<std::uint32_t>(m.size()), nullptr};
        return MuxClientTcpSend(conn, timeoutMs, &one);
    };
    for (int i = 0; i < 10; ++i) ASSERT_EQ(send(i, 1000), MUX_S_OK);
    // Nobody fetches: the time-out gives the status Travex gives for a full queue.
    auto t0 = Clock::now();
    EXPECT_EQ(send(10, 30), static_cast<XPortStatus>(MUX_E_TCP_CONNECT_FULL));
    EXPECT_GE(Clock::now() - t0, std::chrono::milliseconds(30));

    // A receiver that fetches and says so as a transport user does: a sender without a
    // time-out goes on as room comes, and nothing is lost or reordered.
    constexpr int kMessages = 300;
    std::vector<Bytes> got;
    std::thread receiver([&] {
        XPortPacket p;
        while (got.size() < kMessages) {
            eb.tcpArrived->Reset();  // before the fetch: a push after it sets it again
            XPortStatus s = MuxClientTcpGetPacket(b, p);
            if (s == MUX_S_OK) {
                got.push_back(p.data);
                eb.tcpProcessed->Set();
            } else if (s != MUX_E_QUEUE_EMPTY || !eb.tcpArrived->Wait(2000)) {
                break;
            }
        }
    });
    for (int i = 10; i < kMessages; ++i) ASSERT_EQ(send(i, 0), MUX_S_OK) << i;
    receiver.join();
    ASSERT_EQ(got.size(), static_cast<std::size_t>(kMessages));
    for (int i = 0; i < kMessages; ++i) EXPECT_EQ(got[i], numbered(i)) << i;
    EXPECT_EQ(MuxClientClose(a), MUX_S_OK);
    EXPECT_EQ(MuxClientClose(b), MUX_S_OK);
}

TEST(MuxClientQueues, KilledClientLeavesNoMappingOrQueueBehind) {
    IXO_REQUIRE_NETNS();
    ixo::testsupport::TravexTestEnv env("muxdead");
    const std::string scope = env.Dir().filename().string().substr(4);  // after "ixo-"
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    if (child == 0) {
        // A client that sends and fetches through Travex, then is killed without shutdown.
        std::uint8_t id = 9;
        std::uint32_t point = 0, conn = 0;
        XPortEvents events;
        XPortPacket p;
        bool ok = MuxClientOpen(&id, 0, 10, 10, &events) == 0 &&
                  MuxClientAllocatePoint(id, kQueuePort, &point) == 0 &&
                  MuxClientTcpOpen(id, 0, kQueuePort, id, 1000, &conn) == 0 &&
                  Send(conn, Packet(id, id, 70000, 1)) == MUX_S_OK &&
                  Receive(events, id, p) == MUX_S_OK &&
                  Send(conn, Packet(id, id, 70000, 2)) == MUX_S_OK &&
                  Send(conn, Packet(id, id, 50, 3)) == MUX_S_OK;
        char c = ok ? 'y' : 'n';
        [[maybe_unused]] ssize_t n = write(ready[1], &c, 1);
        pause();
        _exit(0);
    }
    close(ready[1]);
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    close(ready[0]);
    ASSERT_EQ(c, 'y');
    // Every removal in /dev/shm is told, so the wait below wakes on Travex's clean-up.
    os::UniqueFd removals(inotify_init1(IN_CLOEXEC | IN_NONBLOCK));
    ASSERT_GE(removals.get(), 0);
    ASSERT_GE(inotify_add_watch(removals.get(), "/dev/shm", IN_DELETE), 0);
    std::set<std::string> names = SharedObjects(scope);
    EXPECT_TRUE(HasName(names, "TravexTCPQueue9")) << names.size();
    EXPECT_TRUE(HasName(names, "TravexMCQueue9"));
    EXPECT_TRUE(HasName(names, "TCPSend"));
    EXPECT_TRUE(HasName(names, "TCPGet9"));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    // Travex notices when the connection drops; nothing of the client's memory remains.
    auto until = Clock::now() + std::chrono::seconds(5);
    auto leftover = [&] {
        names = SharedObjects(scope);
        return HasName(names, "shm-");
    };
    while (leftover()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
        pollfd p{removals.get(), POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) != 1)
            break;
        char events[4096];
        while (read(removals.get(), events, sizeof events) > 0) {
        }
    }
    for (const auto& n : names) EXPECT_EQ(n.find("shm-"), std::string::npos) << n;

    // The id is free again, with an empty queue of its own.
    std::uint8_t id = 9;
    XPortEvents events;
    ASSERT_EQ(MuxClientOpen(&id, 0, 10, 10, &events), 0);
    XPortPacket p;
    EXPECT_EQ(MuxClientTcpGetPacket(id, p), MUX_E_QUEUE_EMPTY);
    EXPECT_EQ(MuxClientClose(id), MUX_S_OK);
}

}  // namespace
