// One service of the service host: registers its control handler with the dispatcher,
// reports its states, runs its worker on a thread of its own and tells it to stop.
//
//   service.Init(name, handler, worker);   // handler passes controls to HandleControl
//   service.Run(argc, argv);               // returns once told to stop
//   service.Stop(0);                       // joins the worker, reports stopped
//
// The worker looks at StopFlag() and passes WaitWhilePaused() in its loop; a worker that
// sleeps on file descriptors adds StopFd(), which turns readable once the flag is set.
// The current state is kept, so an interrogation reports it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "os/Event.h"
#include "os/UniqueFd.h"
#include "services/ServiceDispatcher.h"
#include "services/ServiceStatus.h"

class CNtService {
public:
    // The worker's argument is null in service mode, non-null in console mode.
    using Worker = std::function<uint32_t(void* console)>;
    static constexpr size_t kMaxName = 511;

    CNtService();
    // Stops a worker that still runs.
    virtual ~CNtService();
    CNtService(const CNtService&) = delete;
    CNtService& operator=(const CNtService&) = delete;

    bool Init(const std::string& name, ServiceHandlerFunction handler, Worker worker);
    // The service body: registers, reports start pending, starts the worker (it must
    // still run after the start time), reports running and waits to be told to stop.
    // Every failure ends with Stop and returns.
    void Run(int argc, char** argv);
    // Tells the worker to stop, waits for it to end, reports stopped with `error`.
    void Stop(uint32_t error);
    void HandleControl(uint32_t control);

    bool StopFlag() const { return stopFlag_; }
    // Readable from the moment StopFlag() turns true (-1 when the system gave none).
    int StopFd() const { return stopFd_.get(); }
    void WaitWhilePaused();
    uint32_t CurrentState() const { return state_; }
    const std::string& Name() const { return name_; }
    // Tests: the worker must survive settleMs + waitMs to count as started.
    void SetStartTiming(uint32_t settleMs, uint32_t waitMs);

private:
    bool ReportStatus(uint32_t state, uint32_t exitCode = 0, uint32_t specificCode = 0,
                      uint32_t checkPoint = 0, uint32_t waitHint = 0);
    bool StartWorker();
    void JoinWorker();
    // Sets the stop flag and wakes the worker, wherever it waits.
    void FlagStop();

    Worker worker_;
    ServiceHandlerFunction handler_;
    std::atomic<bool> stopFlag_{false};
    os::UniqueFd stopFd_;
    uintptr_t statusHandle_ = 0;
    std::unique_ptr<os::Event> stopEvent_;
    std::string name_;
    std::atomic<uint32_t> paused_{0};
    std::atomic<uint32_t> running_{0};
    std::atomic<uint32_t> state_{0};
    std::thread thread_;
    os::Event workerEnded_{true, false};
    std::atomic<uint32_t> workerResult_{0};
    std::mutex pauseLock_;
    std::condition_variable pauseChanged_;
    std::mutex stopLock_;
    uint32_t settleMs_ = 500;
    uint32_t waitMs_ = 2000;
};
