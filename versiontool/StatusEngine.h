// The machine both discovery engines share: one UDP socket on the status group, a worker
// thread that polls it every 10 ms (reading for at most about 20 ms per poll) and sweeps
// expired devices once a second, and a DeviceTable that only the worker touches while
// the engine runs. A derived engine names its port, its decoder, its update rule and
// sends its own discovery request.
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "os/Event.h"
#include "os/Thread.h"
#include "platform/VavGateLock.h"
#include "versiontool/DeviceTable.h"
#include "versiontool/DiscoveryEngine.h"

class CStatusEngine : public CDiscoveryEngine {
public:
    static constexpr uint32_t kPollPeriod = 10;     // ms between polls
    static constexpr uint32_t kReadBudget = 20;     // ms of reading per poll
    static constexpr uint32_t kSweepPeriod = 1000;  // ms between expiry sweeps

    UdpStatus Start(IDeviceEngineSink* sink) override;
    void Stop() override;
    ~CStatusEngine() override;
    // Received datagrams the decoder refused, by the reason.
    const DeviceTable::DropCounts& Drops() const { return table_.Drops(); }

protected:
    CStatusEngine(uint16_t port, DeviceTable::Decoder decode, UpdateRule rule,
                  std::unique_ptr<UdpEndpoint> socket);
    // Sends the engine's discovery request to the status group; the last send's status.
    virtual UdpStatus SendRequest(UdpEndpoint& socket, const uint8_t* mac, uint32_t ipAddress,
                                  uint32_t session) = 0;
    // The worker's thread name.
    virtual const char* ThreadName() const = 0;

private:
    void Worker();
    void Poll();
    void RunExpiryTimer(uint32_t now);

    const uint16_t port_;
    std::unique_ptr<UdpEndpoint> socket_;
    DeviceTable table_;
    std::vector<uint8_t> buffer_;
    VavGateLock gate_;
    std::unique_ptr<os::Thread> thread_;
    std::atomic<bool> stop_{false};
    os::Event wake_{true, false};
    bool running_ = false;
    bool timerArmed_ = false;
    uint32_t timerDeadline_ = 0;
};
