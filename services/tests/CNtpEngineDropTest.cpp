// Datagrams the time engine cannot read as NTP are counted by the reason.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/FakeUdpEndpoint.h"
#include "services/CNtpEngine.h"
#include "services/FakeClock.h"

namespace {

TEST(CNtpEngineDropTest, ShortAndLongDatagramsAreCountedApart) {
    FakeClock clock(10);
    clock.Freeze(1704067200.0);
    auto fake = std::make_unique<FakeUdpEndpoint>(0xC6120005);
    FakeUdpEndpoint& net = *fake;
    CNtpEngine engine(clock, std::move(fake), [](const std::string&) {});
    // A client request is 48 bytes; with a key id and digest up to 68 are read.
    std::vector<uint8_t> request(48, 0);
    request[0] = 0x1B;  // version 3, client
    auto sized = [&](size_t n) {
        auto b = request;
        b.resize(n, 0);
        return b;
    };
    for (size_t n : {0, 47, 48, 68, 69, 1000}) net.incoming.push_back({0xC6120009, 123, sized(n)});
    engine.Step();
    using E = NtpPacketError;
    EXPECT_EQ(engine.Drops().Of(E::TooShort), 2u);
    EXPECT_EQ(engine.Drops().Of(E::TooLong), 2u);
    EXPECT_EQ(engine.Drops().Total(), 4u);
}

}  // namespace
