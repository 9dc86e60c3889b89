#include "addrserver/AddressTables.h"

namespace addrserver {

AddressTables::AddressTables(Reporter& reporter,
                             std::function<bool(const std::string&)> imageExists)
    : reporter_(reporter), imageExists_(std::move(imageExists)) {}

void AddressTables::Configure(const TablesConfig& config) {
    std::lock_guard lock(mutex_);
    config_ = config;
    segments_.clear();
    nodes_.clear();
    dirty_ = false;
}

void AddressTables::ClearNodes() {
    std::lock_guard lock(mutex_);
    nodes_.clear();
}

bool AddressTables::InNetwork(uint32_t address, uint32_t network) const {
    uint32_t mask = config_.subnetMask;
    return (address & mask) == network && address != network && address != (network | ~mask);
}

int AddressTables::FindSegmentLocked(uint32_t network) const {
    for (size_t i = 0; i < segments_.size(); ++i) {
        if (segments_[i].network == network)
            return static_cast<int>(i);
    }
    return -1;
}

int AddressTables::CreateSegmentLocked(uint32_t network, uint32_t gateway,
                                       std::optional<uint32_t> count) {
    const uint32_t mask = config_.subnetMask;
    NetworkSegment seg;
    seg.network = network & mask;
    seg.gateway = gateway != 0 ? gateway : (seg.network & 0xFFFFFF00u) | 1u;
    seg.requested = count.value_or(config_.assignCount);
    seg.start = seg.network | (config_.firstNodeIp & ~mask);
    seg.count = seg.requested;
    // The range never holds our own address: it begins just after it.
    const uint32_t own = config_.ownAddress;
    if (own >= seg.start && own - seg.start <= seg.count) {
        uint32_t skipped = own + 1 - seg.start;
        seg.start = own + 1;
        seg.count = seg.count > skipped ? seg.count - skipped : 0;
    }
    // Nor the network or broadcast address, nor anything past the subnet.
    if (seg.start == seg.network) {
        ++seg.start;
        if (seg.count > 0)
            --seg.count;
    }
    const uint32_t broadcast = seg.network | ~mask;
    if (seg.start >= broadcast || (seg.start & mask) != seg.network)
        seg.count = 0;
    else if (seg.count > broadcast - seg.start)
        seg.count = broadcast - seg.start;
    seg.next = seg.start;

    int index = FindSegmentLocked(seg.network);
    if (index < 0) {
        if (segments_.size() >= kMaxSegments) {
            reporter_.Report(kMsgError, Format("network segment count (%u) exceed!",
                                               static_cast<unsigned>(kMaxSegments)));
            return -1;
        }
        segments_.push_back(seg);
        index = static_cast<int>(segments_.size() - 1);
    } else {
        segments_[index] = seg;
    }
    dirty_ = true;
    return index;
}

int AddressTables::CreateSegment(uint32_t network, uint32_t gateway,
                                 std::optional<uint32_t> count) {
    std::lock_guard lock(mutex_);
    return CreateSegmentLocked(network, gateway, count);
}

std::optional<NetworkSegment> AddressTables::SegmentOf(uint32_t address) const {
    std::lock_guard lock(mutex_);
    int i = FindSegmentLocked(address & config_.subnetMask);
    if (i < 0)
        return std::nullopt;
    return segments_[i];
}

int AddressTables::FindMacLocked(const MacBytes& mac) const {
    for (size_t i = 0; i < nodes_.size(); ++i) {
        if (nodes_[i].mac == mac)
            return static_cast<int>(i);
    }
    return -1;
}

bool AddressTables::HeldByOtherLocked(uint32_t address, int except) const {
    for (size_t i = 0; i < nodes_.size(); ++i) {
        if (static_cast<int>(i) != except && nodes_[i].address == address)
            return true;
    }
    return false;
}

int AddressTables::AddNodeLocked(uint32_t address, const MacBytes& mac, std::string_view bootFile) {
    if (address == 0)
        return -1;
    int index = FindMacLocked(mac);
    if (index < 0) {
        if (nodes_.size() >= kMaxNodes) {
            reporter_.Report(
                kMsgError, Format("Bootp: nodeCount Exceeds %u", static_cast<unsigned>(kMaxNodes)));
            return -1;
        }
        nodes_.emplace_back();
        index = static_cast<int>(nodes_.size() - 1);
    }
    NodeEntry& e = nodes_[index];
    e.address = address;
    e.mac = mac;
    if (!bootFile.empty()) {
        e.bootFile = std::string(bootFile);
        e.bootFileState = imageExists_(e.bootFile) ? kBootFilePresent : kBootFileMissing;
    }
    e.segment = FindSegmentLocked(address & config_.subnetMask);
    if (e.segment < 0)
        e.segment = CreateSegmentLocked(address, 0, std::nullopt);
    dirty_ = true;
    return index;
}

bool AddressTables::AddNode(uint32_t address, const MacBytes& mac, std::string_view bootFile) {
    std::lock_guard lock(mutex_);
    return AddNodeLocked(address, mac, bootFile) >= 0;
}

std::optional<NodeEntry> AddressTables::FindByAddress(uint32_t address) const {
    std::lock_guard lock(mutex_);
    for (const auto& e : nodes_) {
        if (e.address == address)
            return e;
    }
    return std::nullopt;
}

std::optional<NodeEntry> AddressTables::FindByMac(const MacBytes& mac) const {
    std::lock_guard lock(mutex_);
    int i = FindMacLocked(mac);
    if (i < 0)
        return std::nullopt;
    return nodes_[i];
}

bool AddressTables::WithEntry(uint32_t address, const std::function<void(NodeEntry&)>& fn) {
    std::lock_guard lock(mutex_);
    for (auto& e : nodes_) {
        if (e.address == address) {
            fn(e);
            return true;
        }
    }
    return false;
}

int AddressTables::RequestSegmentLocked(uint32_t gatewayAddress) {
    uint32_t network =
        (gatewayAddress != 0 ? gatewayAddress : config_.ownAddress) & config_.subnetMask;
    int index = FindSegmentLocked(network);
    if (index >= 0)
        return index;
    index = CreateSegmentLocked(network, gatewayAddress != 0 ? gatewayAddress : config_.gateway,
                                std::nullopt);
    if (index < 0)
        reporter_.Report(
            kMsgError, Format("Error Creating network segment %s\n", DottedText(network).c_str()));
    else
        reporter_.Report(kMsgNotice,
                         Format("Creating network segment %s\n", DottedText(network).c_str()));
    return index;
}

uint32_t AddressTables::NewAddressLocked(int segment, const MacBytes& mac) {
    NetworkSegment& seg = segments_[segment];
    for (uint32_t i = 0; i < seg.count; ++i) {
        uint32_t candidate = seg.start + (seg.next - seg.start + i) % seg.count;
        if (candidate == config_.ownAddress || candidate == kNodeDefaultAddress ||
            HeldByOtherLocked(candidate, -1))
            continue;
        uint32_t after = candidate + 1;
        seg.next = after - seg.start >= seg.count ? seg.start : after;
        return candidate;
    }
    reporter_.Report(kMsgError,
                     Format("Error Creating new IP for %s\n", MacText(mac.data(), '.').c_str()));
    return 0;
}

Assignment AddressTables::Assign(const MacBytes& mac, uint32_t clientAddress,
                                 uint32_t gatewayAddress) {
    std::lock_guard lock(mutex_);
    Assignment result;
    int segment = RequestSegmentLocked(gatewayAddress);
    if (segment < 0)
        return result;
    const uint32_t network = segments_[segment].network;
    int index = FindMacLocked(mac);
    const bool keeps = index >= 0 && InNetwork(nodes_[index].address, network);

    uint32_t address = 0;
    if (clientAddress != 0 && InNetwork(clientAddress, network) &&
        !HeldByOtherLocked(clientAddress, index) && clientAddress != kNodeDefaultAddress &&
        clientAddress != config_.ownAddress)
        address = clientAddress;
    else if (keeps)
        address = nodes_[index].address;
    else
        address = NewAddressLocked(segment, mac);
    if (address == 0)
        return result;

    if (index < 0) {
        index = AddNodeLocked(address, mac, {});
        if (index < 0)
            return result;
        const char* what =
            clientAddress == 0 ? "Generated New Ip %s" : "Added Node IP %s to bootptab from Bootp";
        reporter_.Report(clientAddress == 0 ? kMsgNotice : kMsgNodeAdded,
                         Format(what, DottedText(address).c_str()));
    } else if (nodes_[index].address != address) {
        nodes_[index].address = address;
        dirty_ = true;
    }
    NodeEntry& e = nodes_[index];
    e.segment = FindSegmentLocked(address & config_.subnetMask);
    result.address = address;
    if (e.segment >= 0)
        result.gateway = segments_[e.segment].gateway;
    result.bootFileState = e.bootFileState;
    result.bootFile = e.bootFile;
    return result;
}

std::vector<NetworkSegment> AddressTables::Segments() const {
    std::lock_guard lock(mutex_);
    return segments_;
}

std::vector<NodeEntry> AddressTables::Nodes() const {
    std::lock_guard lock(mutex_);
    return nodes_;
}

bool AddressTables::Dirty() const {
    std::lock_guard lock(mutex_);
    return dirty_;
}

void AddressTables::MarkSaved() {
    std::lock_guard lock(mutex_);
    dirty_ = false;
}

}  // namespace addrserver
