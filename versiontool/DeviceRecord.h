// What an engine knows about one device application it has heard: the fields of its last
// status packets, its place in the engine's schedule, and two flags that tell the engine
// whether the last packet changed anything or showed a restart.
//
// Setters that mark changed set the changed flag when the new value differs from the
// stored one; no setter clears it (ClearChanged does). Versions and service records are
// stored without marking: a device whose only news is a version is not reported again.
#pragma once

#include <array>
#include <cstdint>
#include <list>
#include <map>
#include <string>

#include "platform/VavMacAddress.h"

constexpr uint16_t kDefaultDeviceType = 0x0841;
constexpr uint32_t kDefaultStatusInterval = 1500;  // ms
constexpr size_t kMaxDeviceName = 64;
constexpr uint16_t kNetworkVersionId = 11;

// Which device application a record stands for: its MAC, then its application id.
struct DeviceKey {
    VavMacAddress mac;
    uint8_t appId = 0;
    bool operator<(const DeviceKey& other) const {
        if (mac != other.mac)
            return mac < other.mac;
        return appId < other.appId;
    }
};

struct DeviceVersion {
    uint16_t id = 0;
    uint8_t major = 0, minor = 0, patch = 0, stage = 0, patchDigit = 0;
    uint16_t build = 0;
    bool operator==(const DeviceVersion&) const = default;
};

struct ServiceRecord {
    uint8_t id = 0, first = 0, second = 0;
    uint16_t third = 0;
    bool operator==(const ServiceRecord&) const = default;
};

class CDeviceRecord;
using ExpiryList = std::list<CDeviceRecord*>;

class CDeviceRecord {
public:
    CDeviceRecord() = default;
    CDeviceRecord(const CDeviceRecord&) = delete;
    CDeviceRecord& operator=(const CDeviceRecord&) = delete;

    // --- What the device says --------------------------------------------------------
    bool HasLongForm() const { return longForm_; }
    uint8_t GetHeaderByte2() const { return headerByte2_; }
    uint8_t GetHeaderByte3() const { return headerByte3_; }
    uint16_t GetDeviceType() const { return deviceType_; }
    const VavMacAddress& GetMac() const { return mac_; }
    uint32_t GetIpAddress() const { return ip_; }  // host order
    uint32_t GetSessionValue() const { return session_; }
    uint32_t GetStatusInterval() const { return interval_; }  // ms, as the device sent it
    uint8_t GetAppId() const { return appId_; }
    uint32_t GetStatusWord(int i) const { return statusWords_.at(i); }
    const std::map<uint8_t, ServiceRecord>& GetServiceRecords() const { return services_; }
    const std::map<uint16_t, DeviceVersion>& GetVersions() const { return versions_; }
    std::string GetName() const { return std::string(name_.data(), nameLength_); }

    void SetLongForm() { longForm_ = true; }
    void SetHeaderBytes(uint8_t byte2, uint8_t byte3) {
        headerByte2_ = byte2;
        headerByte3_ = byte3;
    }
    void SetAppId(uint8_t appId) { appId_ = appId; }
    // At creation, with the change rule; later packets write the bytes without it.
    void SetMac(const VavMacAddress& mac) { Store(mac_, mac); }
    void WriteMacBytes(const uint8_t* bytes) { mac_.SetBytes(bytes, 6); }
    void SetDeviceType(uint16_t type) { Store(deviceType_, type); }
    void SetIpAddress(uint32_t ip) { Store(ip_, ip); }
    // True when the value differed from the stored one.
    bool SetSessionValue(uint32_t session) { return Store(session_, session); }
    void SetStatusInterval(uint32_t ms) { Store(interval_, ms); }
    void SetStatusWord(int i, uint32_t word) { Store(statusWords_.at(i), word); }
    // Nothing when length is 0 or bytes is null; longer names are cut to 64 bytes.
    void SetName(size_t length, const char* bytes);
    void SetVersion(const DeviceVersion& version) { versions_[version.id] = version; }
    void SetServiceRecord(const ServiceRecord& record) { services_[record.id] = record; }

    // --- The engine's bookkeeping ----------------------------------------------------
    bool IsChanged() const { return changed_; }
    void ClearChanged() { changed_ = false; }
    bool IsRestarted() const { return restarted_; }
    void SetRestarted(bool restarted) { restarted_ = restarted; }
    bool IsOnline() const { return online_; }
    void SetOnline(bool online) { online_ = online; }
    uint32_t GetLastHeard() const { return lastHeard_; }
    void SetLastHeard(uint32_t ms) { lastHeard_ = ms; }
    uint32_t GetExpiryDeadline() const { return deadline_; }
    void SetExpiryDeadline(uint32_t ms) { deadline_ = ms; }
    // The record's place in its engine's expiry list, when it is in it.
    bool IsScheduled() const { return scheduled_; }
    ExpiryList::iterator ExpiryPosition() const { return expiryPos_; }
    void SetExpiryPosition(ExpiryList::iterator pos) {
        expiryPos_ = pos;
        scheduled_ = true;
    }
    void ClearExpiryPosition() { scheduled_ = false; }

private:
    template <typename T>
    bool Store(T& field, const T& value) {
        if (field == value)
            return false;
        field = value;
        changed_ = true;
        return true;
    }

    bool longForm_ = false;
    bool online_ = false;
    uint32_t lastHeard_ = 0;
    uint32_t deadline_ = 0;
    bool scheduled_ = false;
    ExpiryList::iterator expiryPos_{};
    uint8_t headerByte2_ = 0;
    uint8_t headerByte3_ = 0;
    uint16_t deviceType_ = kDefaultDeviceType;
    VavMacAddress mac_;
    uint32_t ip_ = 0;
    uint32_t session_ = 0;
    uint32_t interval_ = kDefaultStatusInterval;
    uint8_t appId_ = 0;
    std::array<uint32_t, 5> statusWords_{};
    std::map<uint8_t, ServiceRecord> services_;
    std::map<uint16_t, DeviceVersion> versions_;
    uint8_t nameLength_ = 0;
    std::array<char, kMaxDeviceName> name_{};
    bool changed_ = false;
    bool restarted_ = false;
};
