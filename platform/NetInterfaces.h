// What the system knows of its network interfaces: the interface table, the IPv4
// address table and the IPv4 route table. The platform library reads them through a
// VavNetSource: LinuxNetSource() asks the kernel (rtnetlink and ethtool ioctls of the
// calling thread's network namespace); tests hand in a FakeNetSource:
//
//   FakeNetSource fake;
//   fake.interfaces.push_back(VavIfRow{.index = 2, .type = IF_TYPE_ETHERNET_CSMACD, ...});
//   SetNetSourceForTest(&fake);   // NetAdapter.h
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Interface types, numbered as network management numbers them.
constexpr uint32_t IF_TYPE_OTHER = 1;
constexpr uint32_t IF_TYPE_ETHERNET_CSMACD = 6;
constexpr uint32_t IF_TYPE_PPP = 23;
constexpr uint32_t IF_TYPE_SOFTWARE_LOOPBACK = 24;
constexpr uint32_t IF_TYPE_IEEE80211 = 71;
constexpr uint32_t IF_TYPE_TUNNEL = 131;

constexpr uint32_t VAV_MAX_PHYS_ADDR = 8;

// One row of the interface table.
struct VavIfRow {
    uint32_t index = 0;
    uint32_t type = IF_TYPE_OTHER;
    uint64_t speed = 0;  // bits per second; 0 when unknown (link down, no driver report)
    uint32_t mtu = 0;
    bool adminUp = false;
    bool operUp = false;
    uint8_t physAddr[VAV_MAX_PHYS_ADDR] = {};
    uint32_t physAddrLength = 0;
    std::string name;         // "eth0"
    std::string description;  // the name with the driver, "eth0 (e1000e)"
};

// One IPv4 address of an interface; host order.
struct VavIpAddrRow {
    uint32_t index = 0;
    uint32_t address = 0;
    uint32_t mask = 0;
};

// One IPv4 route of the main table; host order. A default route has mask 0.
struct VavRouteRow {
    uint32_t destination = 0;
    uint32_t mask = 0;
    uint32_t gateway = 0;
    uint32_t index = 0;  // outgoing interface
    uint32_t metric = 0;
};

class VavNetSource {
public:
    virtual ~VavNetSource() = default;
    // Each false when the table cannot be read; rows in the system's own order.
    virtual bool ReadInterfaces(std::vector<VavIfRow>& rows) = 0;
    virtual bool ReadAddresses(std::vector<VavIpAddrRow>& rows) = 0;
    virtual bool ReadRoutes(std::vector<VavRouteRow>& rows) = 0;
};

// The kernel's tables, as seen from the calling thread's network namespace.
VavNetSource& LinuxNetSource();

// Tables set by a test; `fail` makes every read fail. Counts the reads.
class FakeNetSource : public VavNetSource {
public:
    std::vector<VavIfRow> interfaces;
    std::vector<VavIpAddrRow> addresses;
    std::vector<VavRouteRow> routes;
    bool fail = false;
    int interfaceReads = 0;
    int addressReads = 0;

    bool ReadInterfaces(std::vector<VavIfRow>& rows) override {
        ++interfaceReads;
        rows = interfaces;
        return !fail;
    }
    bool ReadAddresses(std::vector<VavIpAddrRow>& rows) override {
        ++addressReads;
        rows = addresses;
        return !fail;
    }
    bool ReadRoutes(std::vector<VavRouteRow>& rows) override {
        rows = routes;
        return !fail;
    }
};
