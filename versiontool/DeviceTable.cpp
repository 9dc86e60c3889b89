#include "versiontool/DeviceTable.h"

#include <algorithm>
#include <iterator>

namespace {

// Deadlines live on a wrapping millisecond clock: compare by signed difference.
bool Before(uint32_t a, uint32_t b) {
    return static_cast<int32_t>(a - b) < 0;
}

}  // namespace

bool DeviceTable::HandleDatagram(std::span<const uint8_t> datagram, uint32_t now) {
    StatusReport report;
    if (const StatusError error = decode_(datagram, report); error != StatusError::None) {
        drops_.Count(error);
        return false;
    }
    CDeviceRecord& record = RecordFor({VavMacAddress(report.mac.data(), 6), report.appId});
    record.ClearChanged();
    // What the device list knows the entry by, before the packet changes it.
    const Identity before{record.GetName(), record.GetIpAddress()};
    record.SetRestarted(ApplyStatus(record, report));

    // The list finds an entry by name and address: when either changes, the entry under
    // the old ones goes first, and the device is found again under the new ones below.
    if (!before.name.empty() &&
        (before.name != record.GetName() || before.ipAddress != record.GetIpAddress()))
        Report(record, false, &before);

    record.SetLastHeard(now);
    if (!record.IsOnline() && record.GetStatusInterval() == 0)
        return true;
    ScheduleRecord(record, now);
    if (!record.IsOnline()) {
        record.SetOnline(true);
        Report(record, true);
    } else if (record.IsRestarted()) {
        Report(record, false);
        record.SetRestarted(false);
        Report(record, true);
    } else if (record.IsChanged()) {
        Report(record, true);
    }
    return true;
}

void DeviceTable::Sweep(uint32_t now) {
    while (!expiry_.empty()) {
        CDeviceRecord& record = *expiry_.front();
        if (!Before(record.GetExpiryDeadline(), now))
            return;
        Unschedule(record);
        record.SetOnline(false);
        Report(record, false);
    }
}

void DeviceTable::Clear() {
    expiry_.clear();
    records_.clear();
}

const CDeviceRecord* DeviceTable::Find(const DeviceKey& key) const {
    auto it = records_.find(key);
    return it == records_.end() ? nullptr : it->second.get();
}

CDeviceRecord& DeviceTable::RecordFor(const DeviceKey& key) {
    std::unique_ptr<CDeviceRecord>& slot = records_[key];
    if (!slot) {
        slot = std::make_unique<CDeviceRecord>();
        slot->SetMac(key.mac);
        slot->SetAppId(key.appId);
    }
    return *slot;
}

// Deadline = now + 3 intervals. The record goes behind every record due before it and
// ahead of those due at the same time or later.
void DeviceTable::ScheduleRecord(CDeviceRecord& record, uint32_t now) {
    const uint32_t interval = std::min(record.GetStatusInterval(), kMaxScheduledInterval);
    const uint32_t deadline = now + kExpiryIntervals * interval;
    record.SetExpiryDeadline(deadline);
    Unschedule(record);
    auto pos = expiry_.end();
    while (pos != expiry_.begin() && !Before((*std::prev(pos))->GetExpiryDeadline(), deadline))
        --pos;
    record.SetExpiryPosition(expiry_.insert(pos, &record));
}

void DeviceTable::Unschedule(CDeviceRecord& record) {
    if (!record.IsScheduled())
        return;
    expiry_.erase(record.ExpiryPosition());
    record.ClearExpiryPosition();
}

void DeviceTable::Report(const CDeviceRecord& record, bool found, const Identity* identity) {
    if (sink_ == nullptr)
        return;
    std::optional<DeviceEvent> event = BuildDeviceEvent(record, rule_);
    if (!event)
        return;
    if (identity) {
        event->name = identity->name;
        event->ipAddress = identity->ipAddress;
    }
    if (found)
        sink_->OnDeviceFound(*event);
    else
        sink_->OnDeviceLost(*event);
}
