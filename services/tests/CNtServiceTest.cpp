// The service wrapper with a recording status sink in place of systemd.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

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

    CNtService service_;
    std::mutex lock_;
    std::vector<ServiceStatus> reports_;
    ixo::testsupport::Notice reported_;
};

TEST_F(CNtServiceTest, StopReleasesTheBodyWhichJoinsTheWorkerBeforeReportingStopped) {
    std::atomic<bool> workerEnded{false};
    service_.Init(
        "test service", [this](uint32_t c) { service_.HandleControl(c); },
        [&](void* console) -> uint32_t {
            EXPECT_EQ(console, nullptr);
            while (!service_.StopFlag()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            workerEnded = true;
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
    EXPECT_TRUE(workerEnded);
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
    std::atomic<int> rounds{0};
    service_.Init(
        "pausing", [this](uint32_t c) { service_.HandleControl(c); },
        [&](void*) -> uint32_t {
            while (!service_.StopFlag()) {
                service_.WaitWhilePaused();
                ++rounds;
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            return 0;
        });
    std::thread body([&] { service_.Run(1, nullptr); });
    ASSERT_TRUE(WaitForState(SERVICE_RUNNING));
    service_.HandleControl(SERVICE_CONTROL_PAUSE);
    EXPECT_EQ(service_.CurrentState(), SERVICE_PAUSED);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const int held = rounds;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_LE(rounds - held, 1);
    service_.HandleControl(SERVICE_CONTROL_CONTINUE);
    EXPECT_EQ(service_.CurrentState(), SERVICE_RUNNING);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    service_.HandleControl(SERVICE_CONTROL_STOP);
    body.join();
    service_.Stop(0);
    EXPECT_GT(rounds, held + 1);
}

}  // namespace
