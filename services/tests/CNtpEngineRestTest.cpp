// The time engine's rest on a real socket: an idle engine sleeps until its next poll or
// announcement, and its owner's descriptor cuts that sleep short (a stop request).
#include <gtest/gtest.h>
#include <sys/eventfd.h>

#include <chrono>

#include "os/UniqueFd.h"
#include "services/CNtpEngine.h"
#include "services/FakeClock.h"
#include "testsupport/NetHosts.h"

namespace {

using std::chrono::steady_clock;

TEST(CNtpEngineRestTest, AReadableWakeDescriptorEndsTheRestAtOnce) {
    IXO_REQUIRE_NETNS();
    FakeClock clock(10, 0);
    CNtpEngine engine(clock);
    engine.SetServerMode(1);
    engine.Step();  // the first poll; its looped-back copy is taken and handled next
    engine.Rest(0);
    engine.Step();
    engine.Rest(0);  // the short rest after a step with datagrams
    ASSERT_GE(engine.MsToNextDeadline(), 500);
    os::UniqueFd wake(eventfd(1, EFD_CLOEXEC));
    ASSERT_GE(wake.get(), 0);
    const int fds[] = {-1, wake.get()};
    const auto start = steady_clock::now();
    engine.Rest(60000, fds);
    EXPECT_LT(steady_clock::now() - start, std::chrono::milliseconds(50));
}

}  // namespace
