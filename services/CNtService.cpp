#include "services/CNtService.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace {
constexpr uint32_t kStopWaitMs = 20000;
constexpr uint32_t kStartHintMs = 5000;
constexpr uint32_t kPauseHintMs = 1000;
// The worker ended during its start: the start failed.
constexpr uint32_t kWorkerEndedEarly = ERROR_SERVICE_SPECIFIC_ERROR;
}  // namespace

CNtService::CNtService() : stopFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

CNtService::~CNtService() {
    FlagStop();
    JoinWorker();
}

void CNtService::FlagStop() {
    stopFlag_ = true;
    pauseChanged_.notify_all();
    const uint64_t one = 1;
    if (stopFd_.get() >= 0) [[maybe_unused]]
        auto n = write(stopFd_.get(), &one, sizeof one);
}

bool CNtService::Init(const std::string& name, ServiceHandlerFunction handler, Worker worker) {
    name_ = name.substr(0, kMaxName);
    handler_ = std::move(handler);
    worker_ = std::move(worker);
    stopEvent_.reset();
    paused_ = 0;
    running_ = 0;
    return true;
}

void CNtService::SetStartTiming(uint32_t settleMs, uint32_t waitMs) {
    settleMs_ = settleMs;
    waitMs_ = waitMs;
}

bool CNtService::ReportStatus(uint32_t state, uint32_t exitCode, uint32_t specificCode,
                              uint32_t checkPoint, uint32_t waitHint) {
    ServiceStatus s;
    s.currentState = state;
    s.controlsAccepted = state == SERVICE_START_PENDING ? 0 : SERVICE_ACCEPT_STOP_AND_SHUTDOWN;
    s.win32ExitCode = specificCode != 0 ? ERROR_SERVICE_SPECIFIC_ERROR : exitCode;
    s.serviceSpecificExitCode = specificCode;
    s.checkPoint = checkPoint;
    s.waitHint = waitHint;
    state_ = state;
    if (statusHandle_ == 0)
        return true;  // not registered: nobody to tell
    if (ServiceDispatcher::Instance().SetStatus(statusHandle_, s))
        return true;
    // A service whose state cannot be told stops.
    running_ = 0;
    if (stopEvent_)
        stopEvent_->Set();
    return false;
}

bool CNtService::StartWorker() {
    if (!worker_)
        return false;
    workerEnded_.Reset();
    try {
        thread_ = std::thread([this] {
            workerResult_ = worker_(nullptr);
            workerEnded_.Set();
        });
    } catch (const std::system_error&) {
        return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(settleMs_));
    return workerEnded_.Wait(waitMs_) == os::WaitResult::Timeout;
}

void CNtService::Run(int, char**) {
    statusHandle_ = ServiceDispatcher::Instance().RegisterHandler(name_, handler_);
    if (statusHandle_ == 0)
        return Stop(1);
    if (!ReportStatus(SERVICE_START_PENDING, 0, 0, 1, kStartHintMs))
        return Stop(1);
    stopEvent_ = std::make_unique<os::Event>(true, false);
    if (!StartWorker()) {
        std::printf("%s: the worker ended during the start (%u)\n", name_.c_str(),
                    workerResult_.load());
        std::fflush(stdout);
        return Stop(kWorkerEndedEarly);
    }
    running_ = 1;
    if (!ReportStatus(SERVICE_RUNNING))
        return;
    stopEvent_->Wait(os::kInfinite);
}

void CNtService::JoinWorker() {
    if (!thread_.joinable())
        return;
    if (workerEnded_.Wait(kStopWaitMs) != os::WaitResult::Signaled) {
        std::printf("%s: waiting for the worker to end\n", name_.c_str());
        std::fflush(stdout);
    }
    // Whatever the worker uses lives until it has ended.
    thread_.join();
}

void CNtService::Stop(uint32_t error) {
    std::lock_guard g(stopLock_);
    FlagStop();
    JoinWorker();
    if (statusHandle_ != 0)
        ReportStatus(SERVICE_STOPPED, error);
}

void CNtService::WaitWhilePaused() {
    std::unique_lock g(pauseLock_);
    pauseChanged_.wait(g, [this] { return paused_ == 0 || stopFlag_; });
}

void CNtService::HandleControl(uint32_t control) {
    switch (control) {
        case SERVICE_CONTROL_STOP:
            ReportStatus(SERVICE_STOP_PENDING, 0, 0, 1, kStartHintMs);
            running_ = 0;
            if (stopEvent_)
                stopEvent_->Set();
            break;
        case SERVICE_CONTROL_PAUSE:
            if (running_ && !paused_) {
                ReportStatus(SERVICE_PAUSE_PENDING, 0, 0, 1, kPauseHintMs);
                {
                    std::lock_guard g(pauseLock_);
                    paused_ = 1;
                }
                ReportStatus(SERVICE_PAUSED);
            }
            break;
        case SERVICE_CONTROL_CONTINUE:
            if (running_ && paused_) {
                ReportStatus(SERVICE_CONTINUE_PENDING, 0, 0, 1, kPauseHintMs);
                {
                    std::lock_guard g(pauseLock_);
                    paused_ = 0;
                }
                pauseChanged_.notify_all();
                ReportStatus(SERVICE_RUNNING);
            }
            break;
        case SERVICE_CONTROL_INTERROGATE:
            ReportStatus(state_ != 0 ? state_.load() : SERVICE_STOPPED);
            break;
        case SERVICE_CONTROL_SHUTDOWN:
            running_ = 0;
            FlagStop();
            if (stopEvent_)
                stopEvent_->Set();
            workerEnded_.Wait(kStopWaitMs);
            break;
        default:
            break;
    }
}
