// Datagrams on the BOOTP server's port that are no BOOTP message are counted, not lost
// without a trace.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

#include "ServerFixture.h"

namespace addrserver::test {
namespace {

class BootpDropTest : public ServerFixture {};

TEST_F(BootpDropTest, DatagramShorterThanTheMessageIsCounted) {
    ASSERT_EQ(StartServer(1), 0u);
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(settings.bootpServerPort);
    to.sin_addr.s_addr = htonl(HostOrder(hosts->Address(0)));
    // A request is 300 bytes; one byte short of that is refused. A whole request from a
    // card no filter admits follows it: once that one is reported, the short one has been
    // handled before it.
    std::vector<uint8_t> shortRequest(kBootpSize - 1, 0);
    std::vector<uint8_t> request(kBootpSize, 0);
    request[0] = 1;  // op: request
    request[1] = 1;  // htype: Ethernet
    request[2] = 6;  // hlen
    const uint8_t mac[] = {0x02, 0x00, 0x5E, 0x00, 0x00, 0x01};
    std::copy(std::begin(mac), std::end(mac), request.begin() + 28);  // chaddr
    for (const auto* datagram : {&shortRequest, &request})
        ASSERT_EQ(::sendto(fd, datagram->data(), datagram->size(), 0,
                           reinterpret_cast<const sockaddr*>(&to), sizeof to),
                  static_cast<ssize_t>(datagram->size()));
    ::close(fd);
    ASSERT_TRUE(host.notice.Await([&] {
        return host.Has(kMsgRequestIgnored, "Bootp: ignoring request from 02:00:5E:00:00:01\n");
    }));
    EXPECT_EQ(server.BootpDrops().Of(BootpParseError::kTooShort), 1u);
    EXPECT_EQ(server.BootpDrops().Total(), 1u);
}

}  // namespace
}  // namespace addrserver::test
