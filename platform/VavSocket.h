// Thin socket calls over BSD sockets with a process-wide table of the sockets they
// opened. Sends and receives answer small result codes; the simple calls answer true
// on success. Sends never raise SIGPIPE.
//
// Binding to the unspecified address means "the selected card" (NetAdapter.h):
//  - a stream socket is bound to the card's address;
//  - a datagram socket is bound to the unspecified address, because a socket bound to a
//    unicast address receives no broadcast or multicast here, and is pinned to the card
//    instead: multicast leaves through the card (IP_MULTICAST_IF), memberships are made
//    on the card's address, a limited broadcast (255.255.255.255) leaves through the
//    card whatever the routes say, and a datagram is received only when it arrived
//    through the card or was addressed to the card's address (IP_PKTINFO); any other
//    is dropped and counted (SocketForeignDrops), so a PC with a second network never
//    answers there.
// Every datagram socket receives only the groups it joined itself (IP_MULTICAST_ALL off),
// so that sockets sharing a port do not see each other's groups.
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstddef>
#include <cstdint>
#include <vector>

using VavSocket = int;
constexpr VavSocket VAV_INVALID_SOCKET = -1;

// Results of sends and receives.
enum : int {
    VAV_SOCK_OK = 0,
    VAV_SOCK_WOULD_BLOCK = 1,  // would block, in progress, or interrupted
    VAV_SOCK_CLOSED = 2,       // the peer closed the connection
    VAV_SOCK_RESET = 3,        // the connection was reset, aborted or is not connected
    VAV_SOCK_SEND_ERROR = 4,
    VAV_SOCK_RECV_ERROR = 5,
};

// Poll flags.
constexpr uint32_t VAV_POLL_READ = 1;
constexpr uint32_t VAV_POLL_WRITE = 2;
constexpr uint32_t VAV_POLL_EXCEPT = 4;

struct VavPollEntry {
    VavSocket socket = VAV_INVALID_SOCKET;
    uint32_t flags = 0;
};
using VavPollList = std::vector<VavPollEntry>;

// Nothing to start here; true. SocketCleanup is its counterpart and does nothing.
bool SocketStartup();
void SocketCleanup();

// A new socket, entered in the table; VAV_INVALID_SOCKET on failure.
VavSocket SocketOpen(int family, int type, int protocol);
// Removes the socket from the table (when it is there) and closes it.
bool SocketClose(VavSocket socket);
// Binds a copy of the IPv4 address in which the unspecified address stands for the
// selected card, as described above.
bool SocketBind(VavSocket socket, const sockaddr* address, socklen_t length);
bool SocketSetOption(VavSocket socket, int level, int option, const void* value, socklen_t length);

// VAV_SOCK_OK with *sent, VAV_SOCK_WOULD_BLOCK (the entry is marked not ready to send),
// or VAV_SOCK_SEND_ERROR.
int SocketSendTo(VavSocket socket, const void* data, size_t length, int flags, const sockaddr* to,
                 socklen_t toLength, size_t* sent);
// VAV_SOCK_OK with *received, VAV_SOCK_WOULD_BLOCK or VAV_SOCK_RECV_ERROR. On a socket
// pinned to the card, datagrams from elsewhere are dropped; when only such were waiting
// the result is VAV_SOCK_WOULD_BLOCK.
int SocketRecvFrom(VavSocket socket, void* buffer, size_t size, int flags, sockaddr* from,
                   socklen_t* fromLength, size_t* received);
// For a message taken with recvmsg or recvmmsg on `socket` with a control buffer of at least
// kSocketCardControlSpace bytes: false, counted as a foreign drop, when the socket is pinned
// to the card and the datagram came through another interface.
bool SocketMessageFromCard(VavSocket socket, const msghdr& message);
inline constexpr size_t kSocketCardControlSpace = CMSG_SPACE(sizeof(in_pktinfo));
// Datagrams the pinned sockets of this process dropped because they came from another card.
uint64_t SocketForeignDrops();

// Membership of an IPv4 group (host order) on the selected card's address.
bool SocketJoinGroup(VavSocket socket, uint32_t group);
bool SocketLeaveGroup(VavSocket socket, uint32_t group);

// Waits up to ms (-1: no limit) until a socket of the list is ready for what its flags
// ask; `result` receives, in list order, each entry with the flags that are ready.
// Returns the number of result entries; 0 on time-out or error.
int SocketPoll(const VavPollList& list, VavPollList& result, int ms);

// inet_addr (network order; INADDR_NONE when the text is no address), htonl, ntohl, htons.
uint32_t TextToIpAddress(const char* text);
uint32_t HostToNetLong(uint32_t value);
uint32_t NetToHostLong(uint32_t value);
uint16_t HostToNetShort(uint16_t value);
