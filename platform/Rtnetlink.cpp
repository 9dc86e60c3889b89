#include "platform/Rtnetlink.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "os/UniqueFd.h"

namespace platform_internal {

namespace {

bool SendRequest(int fd, uint16_t type, uint8_t family, uint32_t sequence) {
    struct {
        nlmsghdr header;
        rtgenmsg body;
    } request{};
    request.header.nlmsg_len = NLMSG_LENGTH(sizeof(rtgenmsg));
    request.header.nlmsg_type = type;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = sequence;
    request.body.rtgen_family = family;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    return ::sendto(fd, &request, request.header.nlmsg_len, 0, reinterpret_cast<sockaddr*>(&kernel),
                    sizeof kernel) == static_cast<ssize_t>(request.header.nlmsg_len);
}

}  // namespace

bool RtnetlinkDump(uint16_t type, uint8_t family,
                   const std::function<void(const nlmsghdr&)>& onMessage) {
    os::UniqueFd fd(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE));
    if (fd.get() < 0)
        return false;
    timeval timeout{2, 0};  // the kernel answers at once; never hang on a broken socket
    ::setsockopt(fd.get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    const uint32_t sequence = 1;
    if (!SendRequest(fd.get(), type, family, sequence))
        return false;

    const uint16_t answerType = type == RTM_GETLINK   ? RTM_NEWLINK
                                : type == RTM_GETADDR ? RTM_NEWADDR
                                                      : RTM_NEWROUTE;
    std::vector<uint8_t> buffer(64 * 1024);
    for (;;) {
        iovec io{buffer.data(), buffer.size()};
        msghdr message{};
        message.msg_iov = &io;
        message.msg_iovlen = 1;
        ssize_t got = ::recvmsg(fd.get(), &message, 0);
        if (got <= 0 || (message.msg_flags & MSG_TRUNC) != 0)
            return false;
        int remaining = static_cast<int>(got);
        for (auto* h = reinterpret_cast<nlmsghdr*>(buffer.data()); NLMSG_OK(h, remaining);
             h = NLMSG_NEXT(h, remaining)) {
            if (h->nlmsg_seq != sequence)
                continue;
            if (h->nlmsg_type == NLMSG_DONE)
                return true;
            if (h->nlmsg_type == NLMSG_ERROR)
                return false;
            if (h->nlmsg_type == answerType)
                onMessage(*h);
        }
    }
}

void ForEachAttribute(const nlmsghdr& message, size_t fixedSize,
                      const std::function<void(uint16_t, std::span<const uint8_t>)>& onAttribute) {
    if (message.nlmsg_len < NLMSG_LENGTH(fixedSize))
        return;
    const auto* start =
        reinterpret_cast<const uint8_t*>(NLMSG_DATA(&message)) + NLMSG_ALIGN(fixedSize);
    int remaining = static_cast<int>(message.nlmsg_len - NLMSG_SPACE(fixedSize));
    for (auto* a = reinterpret_cast<const rtattr*>(start); RTA_OK(a, remaining);
         a = RTA_NEXT(a, remaining)) {
        const auto* payload = reinterpret_cast<const uint8_t*>(RTA_DATA(a));
        onAttribute(a->rta_type, std::span<const uint8_t>(payload, RTA_PAYLOAD(a)));
    }
}

uint32_t AttributeU32(std::span<const uint8_t> payload, uint32_t fallback) {
    if (payload.size() < 4)
        return fallback;
    uint32_t value;
    std::memcpy(&value, payload.data(), 4);
    return value;
}

}  // namespace platform_internal
