// The device monitor owns the two discovery engines, hears their reports on their worker
// threads, and hands each report to the device list as a device with a current or an
// older network version.
//
//   CDeviceMonitor monitor;              // the real engines; tests pass their own maker
//   monitor.Start(&list);                // node-status engine first, then the older one
//   monitor.Stop();                      // once it returns, the list hears nothing more
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "versiontool/DiscoveryEngine.h"

enum class EngineKind { NodeStatus, Legacy };

class CDeviceMonitor : public IDeviceEngineSink {
public:
    using EngineMaker = std::function<std::unique_ptr<CDiscoveryEngine>(EngineKind)>;

    // The real engines over real sockets.
    static std::unique_ptr<CDiscoveryEngine> MakeEngine(EngineKind kind);

    explicit CDeviceMonitor(EngineMaker maker = MakeEngine) : maker_(std::move(maker)) {}
    ~CDeviceMonitor() override { Stop(); }
    CDeviceMonitor(const CDeviceMonitor&) = delete;
    CDeviceMonitor& operator=(const CDeviceMonitor&) = delete;

    // Restarts when running. The status of the older-protocol engine's request.
    UdpStatus Start(IDeviceListSink* list);
    void Stop();
    bool IsRunning() const { return list_.load() != nullptr; }
    size_t EngineCount() const { return engines_.size(); }

    void OnDeviceFound(const DeviceEvent& event) override;
    void OnDeviceLost(const DeviceEvent& event) override;

private:
    EngineMaker maker_;
    // Written on the user-interface thread, read on the engines' workers.
    std::atomic<IDeviceListSink*> list_{nullptr};
    std::vector<std::unique_ptr<CDiscoveryEngine>> engines_;
};
