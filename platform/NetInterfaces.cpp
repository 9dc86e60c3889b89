#include "platform/NetInterfaces.h"

// <net/if.h> must come before the kernel headers, which then leave its names alone.
#include <net/if.h>
// clang-format off
#include <arpa/inet.h>
#include <linux/ethtool.h>
#include <linux/if_arp.h>
#include <linux/sockios.h>
#include <linux/wireless.h>
// clang-format on
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "os/UniqueFd.h"
#include "platform/Rtnetlink.h"

using platform_internal::AttributeU32;
using platform_internal::ForEachAttribute;
using platform_internal::RtnetlinkDump;

namespace {

// An ioctl socket of the calling thread's namespace, for the driver queries.
class IoctlSocket {
public:
    IoctlSocket() : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {}

    bool Ethtool(const std::string& name, void* command) const {
        ifreq request{};
        std::strncpy(request.ifr_name, name.c_str(), IFNAMSIZ - 1);
        request.ifr_data = static_cast<char*>(command);
        return fd_.get() >= 0 && ::ioctl(fd_.get(), SIOCETHTOOL, &request) == 0;
    }
    bool IsWireless(const std::string& name) const {
        iwreq request{};
        std::strncpy(request.ifr_name, name.c_str(), IFNAMSIZ - 1);
        return fd_.get() >= 0 && ::ioctl(fd_.get(), SIOCGIWNAME, &request) == 0;
    }

private:
    os::UniqueFd fd_;
};

uint32_t TypeOf(uint16_t hardwareType, bool wireless) {
    switch (hardwareType) {
        case ARPHRD_ETHER:
            return wireless ? IF_TYPE_IEEE80211 : IF_TYPE_ETHERNET_CSMACD;
        case ARPHRD_LOOPBACK:
            return IF_TYPE_SOFTWARE_LOOPBACK;
        case ARPHRD_PPP:
            return IF_TYPE_PPP;
        case ARPHRD_TUNNEL:
        case ARPHRD_TUNNEL6:
        case ARPHRD_IPGRE:
        case ARPHRD_SIT:
        case ARPHRD_NONE:
            return IF_TYPE_TUNNEL;
        default:
            return IF_TYPE_OTHER;
    }
}

// Link speed from the driver; 0 when it does not say (down, virtual without a speed).
uint64_t SpeedOf(const IoctlSocket& io, const std::string& name) {
    ethtool_cmd command{};
    command.cmd = ETHTOOL_GSET;
    if (!io.Ethtool(name, &command))
        return 0;
    uint32_t megabits = ethtool_cmd_speed(&command);
    if (megabits == 0 || megabits == static_cast<uint32_t>(SPEED_UNKNOWN) || megabits == 0xFFFF)
        return 0;
    return static_cast<uint64_t>(megabits) * 1000000u;
}

// Linux keeps no description text: the name, and the driver when it reports one.
std::string DescriptionOf(const IoctlSocket& io, const std::string& name) {
    ethtool_drvinfo info{};
    info.cmd = ETHTOOL_GDRVINFO;
    if (!io.Ethtool(name, &info) || info.driver[0] == '\0')
        return name;
    info.driver[sizeof info.driver - 1] = '\0';
    return name + " (" + info.driver + ")";
}

VavIfRow LinkRow(const nlmsghdr& message, const IoctlSocket& io) {
    const auto* link = static_cast<const ifinfomsg*>(NLMSG_DATA(&message));
    VavIfRow row;
    row.index = static_cast<uint32_t>(link->ifi_index);
    row.adminUp = (link->ifi_flags & IFF_UP) != 0;
    row.operUp = (link->ifi_flags & IFF_RUNNING) != 0;
    ForEachAttribute(
        message, sizeof(ifinfomsg), [&](uint16_t type, std::span<const uint8_t> payload) {
            if (type == IFLA_IFNAME) {
                row.name.assign(
                    reinterpret_cast<const char*>(payload.data()),
                    strnlen(reinterpret_cast<const char*>(payload.data()), payload.size()));
            } else if (type == IFLA_ADDRESS) {
                row.physAddrLength =
                    static_cast<uint32_t>(std::min<size_t>(payload.size(), VAV_MAX_PHYS_ADDR));
                std::memcpy(row.physAddr, payload.data(), row.physAddrLength);
            } else if (type == IFLA_MTU) {
                row.mtu = AttributeU32(payload);
            }
        });
    row.type = TypeOf(link->ifi_type, link->ifi_type == ARPHRD_ETHER && io.IsWireless(row.name));
    row.speed = row.operUp ? SpeedOf(io, row.name) : 0;
    row.description = DescriptionOf(io, row.name);
    return row;
}

uint32_t PrefixMask(unsigned length) {
    return length == 0 ? 0 : length >= 32 ? 0xFFFFFFFFu : ~((1u << (32 - length)) - 1);
}

class LinuxSource : public VavNetSource {
public:
    bool ReadInterfaces(std::vector<VavIfRow>& rows) override {
        rows.clear();
        IoctlSocket io;
        return RtnetlinkDump(RTM_GETLINK, AF_UNSPEC, [&](const nlmsghdr& m) {
            if (m.nlmsg_len >= NLMSG_LENGTH(sizeof(ifinfomsg)))
                rows.push_back(LinkRow(m, io));
        });
    }

    bool ReadAddresses(std::vector<VavIpAddrRow>& rows) override {
        rows.clear();
        return RtnetlinkDump(RTM_GETADDR, AF_INET, [&](const nlmsghdr& m) {
            if (m.nlmsg_len < NLMSG_LENGTH(sizeof(ifaddrmsg)))
                return;
            const auto* a = static_cast<const ifaddrmsg*>(NLMSG_DATA(&m));
            if (a->ifa_family != AF_INET)
                return;
            VavIpAddrRow row{a->ifa_index, 0, PrefixMask(a->ifa_prefixlen)};
            uint32_t local = 0, address = 0;
            ForEachAttribute(m, sizeof(ifaddrmsg), [&](uint16_t type, std::span<const uint8_t> p) {
                if (type == IFA_LOCAL)
                    local = ntohl(AttributeU32(p));
                if (type == IFA_ADDRESS)
                    address = ntohl(AttributeU32(p));
            });
            // On point-to-point links IFA_ADDRESS is the peer; IFA_LOCAL is our own.
            row.address = local != 0 ? local : address;
            rows.push_back(row);
        });
    }

    bool ReadRoutes(std::vector<VavRouteRow>& rows) override {
        rows.clear();
        return RtnetlinkDump(RTM_GETROUTE, AF_INET, [&](const nlmsghdr& m) {
            if (m.nlmsg_len < NLMSG_LENGTH(sizeof(rtmsg)))
                return;
            const auto* r = static_cast<const rtmsg*>(NLMSG_DATA(&m));
            if (r->rtm_family != AF_INET || r->rtm_type != RTN_UNICAST)
                return;
            uint32_t table = r->rtm_table;
            VavRouteRow row;
            row.mask = PrefixMask(r->rtm_dst_len);
            ForEachAttribute(m, sizeof(rtmsg), [&](uint16_t type, std::span<const uint8_t> p) {
                if (type == RTA_TABLE)
                    table = AttributeU32(p, table);
                if (type == RTA_DST)
                    row.destination = ntohl(AttributeU32(p));
                if (type == RTA_GATEWAY)
                    row.gateway = ntohl(AttributeU32(p));
                if (type == RTA_OIF)
                    row.index = AttributeU32(p);
                if (type == RTA_PRIORITY)
                    row.metric = AttributeU32(p);
            });
            if (table == RT_TABLE_MAIN)
                rows.push_back(row);
        });
    }
};

}  // namespace

VavNetSource& LinuxNetSource() {
    static LinuxSource source;
    return source;
}
