// The BOOTP server's two tables: the network segments it serves (32) and the nodes
// it has addressed (500), with the rules that hand out addresses. Thread-safe: the
// server thread, the callback task and start-up use them at once.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "addrserver/BootpMessage.h"
#include "addrserver/ImageVersion.h"
#include "addrserver/Report.h"

namespace addrserver {

constexpr uint32_t kNodeDefaultAddress = 0x0A650063;  // 10.101.0.99, the nodes' factory address

struct NetworkSegment {
    uint32_t gateway = 0;
    uint32_t network = 0;
    uint32_t start = 0;      // first address of the range handed out
    uint32_t next = 0;       // where the search for a free address begins
    uint32_t count = 0;      // addresses in the range
    uint32_t requested = 0;  // the count asked for, before the range was fitted
};

enum BootFileState : uint8_t { kNoBootFile = 0, kBootFileMissing = 1, kBootFilePresent = 3 };

struct NodeEntry {
    uint32_t address = 0;
    int segment = -1;  // index into the segment table, -1 = none
    MacBytes mac{};
    uint8_t bootFileState = kNoBootFile;
    bool versionChecked = false;
    ImageVersion nodeVersion;
    std::string bootFile;
};

// What a request is answered with.
struct Assignment {
    uint32_t address = 0;             // 0 = no address
    std::optional<uint32_t> gateway;  // the entry's segment gateway, when it has a segment
    uint8_t bootFileState = kNoBootFile;
    std::string bootFile;
};

struct TablesConfig {
    uint32_t ownAddress = 0;
    uint32_t subnetMask = 0;
    uint32_t gateway = 0;  // of the own network
    uint32_t firstNodeIp = 0;
    uint32_t assignCount = 0;
};

class AddressTables {
public:
    static constexpr size_t kMaxSegments = 32;
    static constexpr size_t kMaxNodes = 500;

    // imageExists tells whether a boot file is present in the TFTP directory.
    AddressTables(Reporter& reporter, std::function<bool(const std::string&)> imageExists);

    void Configure(const TablesConfig& config);
    void ClearNodes();

    // Creates or updates the segment of `network`; gateway 0 means "network.1";
    // count defaults to the configured assign count. Index, or -1 when the table is full.
    int CreateSegment(uint32_t network, uint32_t gateway, std::optional<uint32_t> count = {});
    std::optional<NetworkSegment> SegmentOf(uint32_t address) const;

    // Adds or updates the entry of `mac`; false when the table is full or the address is 0.
    bool AddNode(uint32_t address, const MacBytes& mac, std::string_view bootFile = {});
    std::optional<NodeEntry> FindByAddress(uint32_t address) const;
    std::optional<NodeEntry> FindByMac(const MacBytes& mac) const;
    // Runs fn on the entry holding `address` under the table lock; false when none does.
    bool WithEntry(uint32_t address, const std::function<void(NodeEntry&)>& fn);

    // The address for a request from `mac` claiming `clientAddress` through `gatewayAddress`
    // (0 = no relay). The MAC filter is the caller's business.
    Assignment Assign(const MacBytes& mac, uint32_t clientAddress, uint32_t gatewayAddress);

    std::vector<NetworkSegment> Segments() const;
    std::vector<NodeEntry> Nodes() const;
    // Something was created or changed since the last MarkSaved.
    bool Dirty() const;
    void MarkSaved();

private:
    int FindSegmentLocked(uint32_t network) const;
    int CreateSegmentLocked(uint32_t network, uint32_t gateway, std::optional<uint32_t> count);
    int RequestSegmentLocked(uint32_t gatewayAddress);
    int FindMacLocked(const MacBytes& mac) const;
    int AddNodeLocked(uint32_t address, const MacBytes& mac, std::string_view bootFile);
    bool HeldByOtherLocked(uint32_t address, int except) const;
    bool InNetwork(uint32_t address, uint32_t network) const;
    uint32_t NewAddressLocked(int segment, const MacBytes& mac);

    Reporter& reporter_;
    std::function<bool(const std::string&)> imageExists_;
    mutable std::mutex mutex_;
    TablesConfig config_;
    std::vector<NetworkSegment> segments_;
    std::vector<NodeEntry> nodes_;
    bool dirty_ = false;
};

}  // namespace addrserver
