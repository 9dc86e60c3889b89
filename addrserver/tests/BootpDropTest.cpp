// Datagrams on the BOOTP server's port that are no BOOTP message are counted, not lost
// without a trace.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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
    // A request is 300 bytes; one byte short of that is refused.
    const std::vector<uint8_t> shortRequest(kBootpSize - 1, 0);
    ASSERT_EQ(::sendto(fd, shortRequest.data(), shortRequest.size(), 0,
                       reinterpret_cast<const sockaddr*>(&to), sizeof to),
              static_cast<ssize_t>(shortRequest.size()));
    ::close(fd);
    EXPECT_TRUE(WaitFor([&] { return server.BootpDrops().Of(BootpParseError::kTooShort) == 1; }));
    EXPECT_EQ(server.BootpDrops().Total(), 1u);
}

}  // namespace
}  // namespace addrserver::test
