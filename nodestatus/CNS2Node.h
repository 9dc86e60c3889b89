// One member of node status: what its last status packet said, and the engine's
// bookkeeping about it. The engine's own record is one of these too.
//
// Records belong to their engine (CNS2). Another thread reads them only while it
// holds the engine's lock (CNS2::Lock) or from a copy (CNS2::CopyNodes); a copy
// has no next-member link.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "platform/VavMacAddress.h"

struct NS2ComponentVersion {
    uint8_t major = 0, minor = 0, patch = 0, stage = 0, patchDigit = 0;
    uint16_t build = 0;
    bool operator==(const NS2ComponentVersion&) const = default;
};

struct NS2ProtocolVersion {
    uint8_t major = 0, minor = 0;
    uint16_t build = 0;
    bool operator==(const NS2ProtocolVersion&) const = default;
};

// Status-word bits.
constexpr uint32_t NS2_STATUS_RELAY_NEEDED = 1u << 0;   // not in the group: relayed to by unicast
constexpr uint32_t NS2_STATUS_RELAY_CAPABLE = 1u << 1;  // may become the relaying member
constexpr uint32_t NS2_STATUS_BIT2 = 1u << 2;           // owner flags the engine does not read
constexpr uint32_t NS2_STATUS_BIT5 = 1u << 5;
constexpr uint32_t NS2_STATUS_NODE_ID_SHIFT = 8;    // bits 8-15
constexpr uint32_t NS2_STATUS_RELAYING = 1u << 16;  // relays records right now
constexpr uint32_t NS2_STATUS_ROLE_SHIFT = 17;      // bits 17-18: address-server role
constexpr uint32_t NS2_STATUS_ROLE_MASK = 3u << NS2_STATUS_ROLE_SHIFT;

constexpr size_t NS2_MAX_NAME = 64;
constexpr uint16_t NS2_DEFAULT_NODE_TYPE = 0x0841;
constexpr uint32_t NS2_DEFAULT_REPORT_INTERVAL = 1500;

class CNS2Node {
public:
    using ComponentVersionMap = std::map<uint16_t, NS2ComponentVersion>;
    using ProtocolVersionMap = std::map<uint8_t, NS2ProtocolVersion>;

    CNS2Node() = default;
    CNS2Node(const VavMacAddress& mac, uint8_t sourceAppId);

    uint16_t GetNodeType() const { return nodeType_; }
    const VavMacAddress& GetMacAddress() const { return mac_; }
    uint32_t GetIpAddress() const { return ip_; }  // host order
    std::string GetName() const { return name_; }
    bool IsOnline() const { return online_; }
    const ComponentVersionMap& GetVersionMap() const { return componentVersions_; }
    const ProtocolVersionMap& GetProtocolVersionMap() const { return protocolVersions_; }
    bool IsUpdate() const { return update_; }
    uint8_t GetServerRole() const { return (status_ >> NS2_STATUS_ROLE_SHIFT) & 3; }
    // The next record of the engine's all-members list (newest first); null at the end.
    CNS2Node* GetNext() const { return next_.node; }

    uint32_t GetSessionId() const { return session_; }
    uint32_t GetReportInterval() const { return interval_; }
    uint32_t GetStatusWord() const { return status_; }
    uint8_t GetSourceAppId() const { return sourceAppId_; }
    uint8_t GetProtocolMajor() const { return protocolMajor_; }
    uint8_t GetProtocolMinor() const { return protocolMinor_; }
    const std::array<uint32_t, 4>& GetDataWords() const { return data_; }
    bool WasSeenOffline() const { return seenOffline_; }
    bool IsChanged() const { return changed_; }
    bool IsNewSession() const { return newSession_; }
    uint32_t GetLastHeard() const { return lastHeard_; }
    uint32_t GetExpiryTime() const { return expiry_; }

    // Setters: each marks the record changed when the value differs from the stored one.
    void SetNodeType(uint16_t v) { Store(nodeType_, v); }
    void SetMacAddress(const VavMacAddress& v);
    void SetIpAddress(uint32_t v) { Store(ip_, v); }
    void SetSessionId(uint32_t v) { Store(session_, v); }
    void SetReportInterval(uint32_t v) { Store(interval_, v); }
    void SetStatusWord(uint32_t v) { Store(status_, v); }
    void SetDataWord(int i, uint32_t v) { Store(data_.at(i), v); }
    // Cut to 64 bytes.
    void SetName(std::string_view name);
    void SetComponentVersion(uint16_t id, const NS2ComponentVersion& v);
    void SetProtocolVersion(uint8_t id, const NS2ProtocolVersion& v);
    void SetHeaderFields(uint8_t major, uint8_t minor, uint8_t sourceAppId);

private:
    friend class CNS2;
    template <typename T>
    void Store(T& field, const T& value) {
        if (field != value) {
            field = value;
            changed_ = true;
        }
    }

    template <typename Map>
    void StoreVersion(Map& map, typename Map::key_type id, const typename Map::mapped_type& v) {
        auto [it, inserted] = map.try_emplace(id, v);
        if (inserted)
            changed_ = true;
        else
            Store(it->second, v);
    }

    // The all-members link; a copy of a record is in no list, so copies start unlinked.
    struct Link {
        CNS2Node* node = nullptr;
        Link() = default;
        Link(const Link&) {}
        Link& operator=(const Link&) { return *this; }
    };

    // Engine bookkeeping.
    Link next_;
    bool online_ = false;
    bool seenOffline_ = false;
    uint32_t lastHeard_ = 0;
    uint8_t relayCount_ = 0;
    uint32_t lastRelay_ = 0;  // 0 = never relayed
    uint32_t expiry_ = 0;
    bool update_ = false;
    bool changed_ = false;
    bool newSession_ = false;

    // What the member says of itself.
    uint8_t protocolMajor_ = 0;
    uint8_t protocolMinor_ = 0;
    uint16_t nodeType_ = NS2_DEFAULT_NODE_TYPE;
    VavMacAddress mac_;
    uint32_t ip_ = 0;
    uint32_t session_ = 0;
    uint32_t interval_ = NS2_DEFAULT_REPORT_INTERVAL;
    uint8_t sourceAppId_ = 0;
    uint32_t status_ = 0;
    std::array<uint32_t, 4> data_{};
    ProtocolVersionMap protocolVersions_;
    ComponentVersionMap componentVersions_;
    std::string name_;
};
