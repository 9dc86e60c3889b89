// An engine's table of the device applications it has heard: one record per key, an
// expiry list in deadline order, and the reports that tell the sink when a device comes
// on line, changes, restarts, is renamed or falls silent. Time comes in as arguments, so
// the table runs without a socket, a thread or a clock.
//
//   DeviceTable table(DecodeLegacyStatus, UpdateRule::DeviceClass);
//   table.SetSink(&sink);
//   table.HandleDatagram(bytes, now);   // false: refused, the caller's read loop ends
//   table.Sweep(now);                   // reports every device whose deadline has passed
//
// One thread at a time (the engine's worker).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>

#include "os/DropCounts.h"
#include "versiontool/DeviceEvent.h"
#include "versiontool/DeviceRecord.h"
#include "versiontool/StatusPackets.h"
#include "versiontool/VersionRules.h"

// A device is lost after 3 silent status intervals.
constexpr uint32_t kExpiryIntervals = 3;
// The longest interval scheduled as sent; a larger one would put the deadline more than
// 2^31 ms ahead, where a wrapping clock reads it as already passed.
constexpr uint32_t kMaxScheduledInterval = 0x7FFFFFFF / kExpiryIntervals;

class DeviceTable {
public:
    using Decoder = StatusError (*)(std::span<const uint8_t>, StatusReport&);

    DeviceTable(Decoder decode, UpdateRule rule) : decode_(decode), rule_(rule) {}
    DeviceTable(const DeviceTable&) = delete;
    DeviceTable& operator=(const DeviceTable&) = delete;

    void SetSink(IDeviceEngineSink* sink) { sink_ = sink; }

    // Handles one datagram received at `now` (ms); false when it was refused.
    bool HandleDatagram(std::span<const uint8_t> datagram, uint32_t now);
    // Takes every record whose deadline lies before `now` off line and reports it lost.
    // An expired record stays in the table; its next packet brings it back.
    void Sweep(uint32_t now);
    // Forgets every record without reporting.
    void Clear();

    // Refused datagrams, by the decoder's reason; readable from any thread.
    using DropCounts = os::DropCounts<StatusError, 7>;
    const DropCounts& Drops() const { return drops_; }

    size_t Size() const { return records_.size(); }
    const CDeviceRecord* Find(const DeviceKey& key) const;
    // The records in expiry order, earliest deadline first.
    const ExpiryList& Schedule() const { return expiry_; }

private:
    struct Identity {
        std::string name;
        uint32_t ipAddress = 0;
    };
    CDeviceRecord& RecordFor(const DeviceKey& key);
    void ScheduleRecord(CDeviceRecord& record, uint32_t now);
    void Unschedule(CDeviceRecord& record);
    void Report(const CDeviceRecord& record, bool found, const Identity* identity = nullptr);

    Decoder decode_;
    UpdateRule rule_;
    IDeviceEngineSink* sink_ = nullptr;
    std::map<DeviceKey, std::unique_ptr<CDeviceRecord>> records_;
    ExpiryList expiry_;
    DropCounts drops_;
};
