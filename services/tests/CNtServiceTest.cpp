// The service wrapper with a recording status sink in place of systemd.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <initializer_list>
#include <mutex>
#include <thread>
#include <vector>

#include "os/UniqueFd.h"
#include "services/CNtService.h"
#include "testsupport/Notice.h"

namespace {

class CNtServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ServiceDispatcher::Instance().SetStatusSinkForTest(
            [this](const std::string&, const ServiceStatus& s) {
                {
                    std::lock_guard g(lock_);
                    reports_.push_back(s);
                    if (s.currentState == SERVICE_STOPPED)
                        endedWhenStopped_ = workerEnded_;
                }
                reported_.Notify();
                return true;
            });
        service_.SetStartTiming(10, 40);
    }
    void TearDown() override { ServiceDispatcher::Instance().SetStatusSinkForTest(nullptr); }
    std::vector<ServiceStatus> Reports() {
        std::lock_guard g(lock_);
        return reports_;
    }
    // True once the service has reported `state` (every state is reported).
    bool WaitForState(uint32_t state) {
        return reported_.Await([&] {
            const auto r = Reports();
            return !r.empty() && r.back().currentState == state;
        });
    }

    // True once one of `fds` is readable; false after 10 s.
    static bool AwaitReadable(std::initializer_list<int> fds) {
        std::vector<pollfd> watched;
        for (int fd : fds) watched.push_back({fd, POLLIN, 0});
        return poll(watched.data(), watched.size(), 10000) > 0;
    }

    CNtService service_;
    std::atomic<bool> workerEnded_{false};
    bool endedWhenStopped_ = false;  // the worker had ended when stopped was reported
    std::mutex lock_;
    std::vector<ServiceStatus> reports_;
    ixo::testsupport::Notice reported_;
};

TEST_F(CNtServiceTest, StopReleasesTheBodyWhichJoinsTheWorkerBeforeReportingStopped) {
    std::atomic<bool> woken{false};
    service_.Init(
        "test service", [this](uint32_t c) { service_.HandleControl(c); },
        [&](void* console) -> uint32_t {
            EXPECT_EQ(console, nullptr);
            woken = AwaitReadable({service_.StopFd()}) && service_.StopFlag();
            workerEnded_ = true;
            return 0;
        });
    std::thread body([&] {
        service_.Run(1, nullptr);
        service_.Stop(0);
    });
    ASSERT_TRUE(WaitForState(SERVICE_RUNNING));
    service_.HandleControl(SERVICE_CONTROL_INTERROGATE);
    service_.HandleControl(SERVICE_CONTROL_STOP);
    body.join();
    EXPECT_TRUE(woken);
    EXPECT_TRUE(endedWhenStopped_);
    const auto r = Reports();
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[0].currentState, SERVICE_START_PENDING);
    EXPECT_EQ(r[0].controlsAccepted, 0u);
    EXPECT_EQ(r[0].checkPoint, 1u);
    EXPECT_EQ(r[0].waitHint, 5000u);
    EXPECT_EQ(r[0].serviceType, 0x20u);
    EXPECT_EQ(r[1].currentState, SERVICE_RUNNING);
    EXPECT_EQ(r[1].controlsAccepted, 5u);
    EXPECT_EQ(r[2].currentState, SERVICE_RUNNING);  // the interrogation tells the state
    EXPECT_EQ(r[3].currentState, SERVICE_STOP_PENDING);
    EXPECT_EQ(r[4].currentState, SERVICE_STOPPED);
    EXPECT_EQ(r[4].win32ExitCode, 0u);
}

TEST_F(CNtServiceTest, ShutdownWakesASleepingWorkerAndWaitsForIt) {
    service_.Init(
        "shutting down", [this](uint32_t c) { service_.HandleControl(c); },
        [&](void*) -> uint32_t {
            AwaitReadable({service_.StopFd()});
            workerEnded_ = true;
            return 0;
        });
    std::thread body([&] { service_.Run(1, nullptr); });
    ASSERT_TRUE(WaitForState(SERVICE_RUNNING));
    service_.HandleControl(SERVICE_CONTROL_SHUTDOWN);
    EXPECT_TRUE(workerEnded_);
    body.join();
    service_.Stop(0);
}

TEST_F(CNtServiceTest, AWorkerThatEndsDuringTheStartFailsIt) {
    service_.Init(
        "short-lived", [this](uint32_t c) { service_.HandleControl(c); },
        [](void*) -> uint32_t { return 1; });
    service_.Run(1, nullptr);
    const auto r = Reports();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[1].currentState, SERVICE_STOPPED);
    EXPECT_EQ(r[1].win32ExitCode, ERROR_SERVICE_SPECIFIC_ERROR);
}

TEST_F(CNtServiceTest, PauseHoldsTheWorkerAndContinueLetsItGo) {
    // The worker takes a round for each tick; it notes the state it saw once past the pause.
    os::UniqueFd tick(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK | EFD_SEMAPHORE));
    ASSERT_GE(tick.get(), 0);
    std::vector<uint32_t> seen;
    service_.Init(
        "pausing", [this](uint32_t c) { service_.HandleControl(c); },
        [&](void*) -> uint32_t {
            while (AwaitReadable({service_.StopFd(), tick.get()}) && !service_.StopFlag()) {
                uint64_t one = 0;
                if (read(tick.get(), &one, sizeof one) != sizeof one)
                    continue;
                service_.WaitWhilePaused();
                {
                    std::lock_guard g(lock_);
                    seen.push_back(service_.CurrentState());
                }
                reported_.Notify();
            }
            return 0;
        });
    auto rounds = [&] {
        std::lock_guard g(lock_);
        return seen.size();
    };
    auto give = [&] {
        const uint64_t one = 1;
        ASSERT_EQ(write(tick.get(), &one, sizeof one), static_cast<ssize_t>(sizeof one));
    };
    std::thread body([&] { service_.Run(1, nullptr); });
    ASSERT_TRUE(WaitForState(SERVICE_RUNNING));
    give();
    ASSERT_TRUE(reported_.Await([&] { return rounds() == 1; }));
    service_.HandleControl(SERVICE_CONTROL_PAUSE);
    EXPECT_EQ(service_.CurrentState(), SERVICE_PAUSED);
    give();
    EXPECT_FALSE(reported_.Await([&] { return rounds() == 2; }, 100));
    service_.HandleControl(SERVICE_CONTROL_CONTINUE);
    EXPECT_EQ(service_.CurrentState(), SERVICE_RUNNING);
    ASSERT_TRUE(reported_.Await([&] { return rounds() == 2; }));
    service_.HandleControl(SERVICE_CONTROL_STOP);
    body.join();
    service_.Stop(0);
    std::lock_guard g(lock_);
    EXPECT_NE(seen[1], SERVICE_PAUSED);
}

}  // namespace
