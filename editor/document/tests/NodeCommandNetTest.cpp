// The node command datagram on the wire: this namespace's bridge (198.18.0.1) is the
// selected card and faces one test host (198.18.0.2), which listens on port 36511.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <cstring>
#include <optional>
#include <vector>

#include "editor/document/NodeCommand.h"
#include "testsupport/SelectedCardTest.h"

namespace {

struct Received {
    std::vector<uint8_t> bytes;
    int ttl = -1;
    uint32_t source = 0;
};

class NodeCommandNetTest : public ixo::testsupport::SelectedCardTest {
protected:
    void SetUp() override {
        SelectedCardTest::SetUp();
        if (SetUpStopped())
            return;
        hosts_->RunIn(0, [&] {
            fd_ = socket(AF_INET, SOCK_DGRAM, 0);
            int on = 1;
            setsockopt(fd_, IPPROTO_IP, IP_RECVTTL, &on, sizeof on);
            sockaddr_in any{};
            any.sin_family = AF_INET;
            any.sin_port = htons(kNodeCommandPort);
            bind(fd_, reinterpret_cast<sockaddr*>(&any), sizeof any);
            ip_mreq m{};
            m.imr_multiaddr.s_addr = htonl(kNodeCommandGroup);
            m.imr_interface.s_addr = inet_addr(hosts_->Address(0).c_str());
            setsockopt(fd_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &m, sizeof m);
        });
        ASSERT_GE(fd_, 0);
    }
    void TearDown() override {
        if (fd_ >= 0)
            close(fd_);
        SelectedCardTest::TearDown();
    }

    std::optional<Received> Receive(int ms = 2000) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, ms) != 1)
            return std::nullopt;
        Received got;
        got.bytes.resize(64);
        char control[64];
        sockaddr_in from{};
        iovec io{got.bytes.data(), got.bytes.size()};
        msghdr message{};
        message.msg_name = &from;
        message.msg_namelen = sizeof from;
        message.msg_iov = &io;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        ssize_t length = recvmsg(fd_, &message, 0);
        if (length < 0)
            return std::nullopt;
        got.bytes.resize(static_cast<size_t>(length));
        got.source = ntohl(from.sin_addr.s_addr);
        for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
            if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_TTL)
                std::memcpy(&got.ttl, CMSG_DATA(c), sizeof got.ttl);
        }
        return got;
    }

    int fd_ = -1;
};

TEST_F(NodeCommandNetTest, TheDatagramReachesEveryNodeThroughTheGroupAndOneNodeDirectly) {
    ASSERT_EQ(SendNodeCommand(kNodeCommandGroup, NODE_COMMAND_SARN_TO_KOLT), NODE_COMMAND_S_OK);
    auto got = Receive();
    ASSERT_TRUE(got) << "the group datagram leaves through the selected card";
    EXPECT_EQ(got->bytes, (std::vector<uint8_t>{0x0F, 0x00, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00}));
    EXPECT_EQ(got->ttl, 8);
    EXPECT_EQ(got->source, 0xC6120001u);

    ASSERT_EQ(SendNodeCommand(0xC6120002, NODE_COMMAND_UPDATE), NODE_COMMAND_S_OK);
    got = Receive();
    ASSERT_TRUE(got);
    EXPECT_EQ(got->bytes, (std::vector<uint8_t>{0x0F, 0x00, 0x01, 0x00, 0x63, 0x01, 0x11, 0x00}));

    EXPECT_EQ(SendNodeCommand(0xC6120002, 3), NODE_COMMAND_E_BAD_TYPE);
    EXPECT_FALSE(Receive(100)) << "nothing is sent for an unknown type";
}

}  // namespace
