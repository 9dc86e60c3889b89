// The NTP engine on a frozen fake clock and a fake socket: polls, replies, the choice
// of a source and the steps of the clock, with the millisecond clock moved by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "os/Clock.h"
#include "os/FakeClock.h"
#include "platform/FakeUdpEndpoint.h"
#include "services/CNtpEngine.h"
#include "services/FakeClock.h"

namespace {

constexpr double kStart = 1704067200.0;  // 2024-01-01, seconds since 1970
constexpr uint32_t kSelf = 0xC6120005;   // 198.18.0.5
constexpr uint32_t kGroup = 0xE0000101;
constexpr uint32_t kSource = 0xC6120002;  // 198.18.0.2, on our network

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override { clock_.Freeze(kStart); }

    void Make(uint8_t stratum) {
        clock_.SetStratum(stratum);
        auto fake = std::make_unique<FakeUdpEndpoint>(kSelf);
        net_ = fake.get();
        engine_ = std::make_unique<CNtpEngine>(
            clock_, std::move(fake), [this](const std::string& l) { traces_.push_back(l); });
        engine_->SetServerMode(1);
    }
    // Moves the fake time (both clocks) and runs one step.
    void Advance(double seconds) {
        now_ += seconds;
        clock_.Freeze(kStart + now_ + stepped_);
        ticks_ += static_cast<uint32_t>(seconds * 1000);
        const int before = clock_.Steps();
        engine_->Step();
        if (clock_.Steps() != before)
            stepped_ = clock_.Now() - kStart - now_;
    }
    // Three polls: 0, 1 and 3 s; the engine then serves.
    void Settle() {
        Advance(0);
        Advance(1);
        Advance(2);
        ASSERT_TRUE(engine_->IsServing());
        net_->sent.clear();
    }
    double Ntp() const { return kStart + now_ + stepped_ + NTP_UNIX_OFFSET; }

    std::vector<uint8_t> Packet(const NtpPacketFields& p, bool raw = false) {
        auto b = NtpEncode(p, raw);
        return {b.begin(), b.end()};
    }
    void Deliver(uint32_t from, uint16_t port, const std::vector<uint8_t>& bytes) {
        net_->incoming.push_back({from, port, bytes});
    }
    // `from` answers the last poll at once, `ahead` seconds ahead of us.
    void Answer(uint32_t from, uint8_t stratum, double ahead) {
        Deliver(from, 123, ReplyToLastPoll(stratum, ahead));
        Advance(0);
    }
    // On to the engine's next poll.
    void NextPoll() {
        const size_t sent = net_->sent.size();
        Advance(engine_->GetPollInterval());
        EXPECT_EQ(net_->sent.size(), sent + 1);
    }
    // A server's reply to the engine's last poll, `ahead` seconds ahead of us.
    std::vector<uint8_t> ReplyToLastPoll(uint8_t stratum, double ahead, uint8_t leap = 0) {
        NtpPacketFields poll;
        EXPECT_EQ(NtpDecode(net_->sent.back().bytes, Ntp(), poll), NtpPacketError::None);
        NtpPacketFields r;
        r.leap = leap;
        r.version = 3;
        r.mode = NTP_MODE_SERVER;
        r.stratum = stratum;
        r.originateRaw = poll.transmitRaw;
        r.receiveTime = poll.transmitTime + ahead + 0.01;
        r.transmitTime = r.receiveTime + 0.001;
        return Packet(r, true);
    }

    FakeClock clock_{10};
    FakeUdpEndpoint* net_ = nullptr;
    std::unique_ptr<CNtpEngine> engine_;
    std::vector<std::string> traces_;
    os::FakeClock ticks_{5000};
    double now_ = 0;
    double stepped_ = 0;
};

TEST_F(EngineTest, PollsTheGroupThenServesClientsWithAnEchoedOriginate) {
    Make(10);
    EXPECT_EQ(net_->groups, std::vector<uint32_t>{kGroup});
    EXPECT_EQ(net_->GetPort(), 123);
    Advance(0);
    ASSERT_EQ(net_->sent.size(), 1u);
    EXPECT_EQ(net_->sent[0].address, kGroup);
    EXPECT_EQ(net_->sent[0].port, 123);
    EXPECT_EQ(net_->sent[0].bytes[0], 0x1B);  // version 3, client
    EXPECT_EQ(net_->sent[0].bytes[1], 0);     // not serving yet: stratum 0
    Advance(0.99);
    EXPECT_EQ(net_->sent.size(), 1u);
    Advance(0.01);
    Advance(2);
    ASSERT_EQ(net_->sent.size(), 3u);
    EXPECT_EQ(net_->sent[2].bytes[1], 10);  // the third poll makes it serve
    EXPECT_TRUE(engine_->IsServing());

    NtpPacketFields request;
    request.version = 4;
    request.mode = NTP_MODE_CLIENT;
    request.poll = 6;
    request.transmitTime = 12345.678;
    net_->sent.clear();
    Deliver(0xC6120009, 40000, Packet(request));
    Advance(0);
    ASSERT_EQ(net_->sent.size(), 1u);
    const auto& reply = net_->sent[0];
    EXPECT_EQ(reply.address, 0xC6120009u);
    EXPECT_EQ(reply.port, 40000);
    const auto& b = reply.bytes;
    ASSERT_EQ(b.size(), 48u);
    EXPECT_EQ(b[0], 0x1C);  // leap 0, version 3, server
    EXPECT_EQ(b[1], 10);
    EXPECT_EQ(b[2], 6);
    EXPECT_EQ(b[3], 0xEC);  // 2^-20 s
    const auto echoed = NtpEncodeTimestamp(12345.678);
    EXPECT_TRUE(std::equal(echoed.begin(), echoed.end(), b.begin() + 24));
    NtpPacketFields decoded;
    ASSERT_EQ(NtpDecode(b, Ntp(), decoded), NtpPacketError::None);
    EXPECT_DOUBLE_EQ(decoded.transmitTime, Ntp());
    EXPECT_DOUBLE_EQ(decoded.receiveTime, Ntp());
    EXPECT_EQ(decoded.refId, 0u);
}

TEST_F(EngineTest, WhomItAnswers) {
    Make(10);
    Advance(0);
    NtpPacketFields request;
    request.mode = NTP_MODE_CLIENT;
    Deliver(0xC6120009, 123, Packet(request));
    Advance(0);
    EXPECT_EQ(net_->sent.size(), 1u) << "not serving: no answer";
    Advance(1);
    Advance(2);
    struct Case {
        uint32_t from;
        uint8_t stratum;
        bool answered;
    } cases[] = {
        {0xC6120009, 0, true},  {0xC6120001, 12, true},  {0xC6120009, 9, false},
        {0xC6120009, 10, true}, {0xC6120001, 10, false}, {kSelf, 0, false},
    };
    for (const Case& c : cases) {
        net_->sent.clear();
        request.stratum = c.stratum;
        Deliver(c.from, 123, Packet(request));
        Advance(0);
        EXPECT_EQ(net_->sent.size(), c.answered ? 1u : 0u)
            << c.from << " stratum " << int(c.stratum);
    }
}

TEST_F(EngineTest, StepsOnThreeAgreeingAnswersOfItsSourceAndSaysSo) {
    Make(10);
    Advance(0);
    auto reply = ReplyToLastPoll(5, 100);
    // The same answer with another originate is not ours: ignored.
    auto forged = reply;
    forged[31] ^= 1;
    Deliver(kSource, 123, forged);
    Advance(0.02);
    EXPECT_FALSE(engine_->IsSynced());

    // ((T2 - T1) + (T3 - T4)) / 2 with T2 = T1 + ahead + 0.01, T3 = T2 + 0.001, T4 = T1.
    for (double ahead : {100.0, 100.1, 100.05}) {
        EXPECT_EQ(clock_.Steps(), 0) << ahead;
        Answer(kSource, 5, ahead);
        EXPECT_TRUE(engine_->IsSynced());
        NextPoll();
    }
    ASSERT_EQ(clock_.Steps(), 1);
    EXPECT_NEAR(clock_.LastStep(), 100.05 + 0.0105, 1e-6);  // the latest answer's offset
    EXPECT_EQ(engine_->GetSourceAddress(), kSource);
    EXPECT_EQ(engine_->GetSourceStratum(), 5);
    EXPECT_EQ(traces_, std::vector<std::string>{
                           "NTP: clock stepped by +100.061 s, source 198.18.0.2 (stratum 5)"});
}

// One datagram from a stranger, or answers that do not agree, move no clock.
TEST_F(EngineTest, NoStepWithoutTheAgreementOfTheSource) {
    struct Case {
        const char* what;
        std::vector<double> aheads;  // the source's answers to consecutive polls (NAN: none)
        uint32_t source = kSource;
        bool steps = false;
    } cases[] = {
        {"two answers", {100, 100}},
        {"spread over 128 ms", {100, 100.2, 100.4, 100.6}},
        {"a poll unanswered", {100, 100, NAN, 100, 100}},
        {"spread within 128 ms", {100, 100.12, 100.06}, kSource, true},
        {"after a spread, three that agree", {100, 100.2, 100.2, 100.2}, kSource, true},
        {"off the lighting network", {100, 100, 100, 100}, 0xC6130002},
    };
    for (const Case& c : cases) {
        Make(10);
        const int before = clock_.Steps();
        Advance(0);
        for (double ahead : c.aheads) {
            if (!std::isnan(ahead))
                Answer(c.source, 5, ahead);
            NextPoll();
        }
        EXPECT_EQ(clock_.Steps() - before, c.steps ? 1 : 0) << c.what;
    }
}

TEST_F(EngineTest, StrangersNeverStepTheClock) {
    Make(15);
    Advance(0);
    Answer(kSource, 5, 0);
    ASSERT_EQ(engine_->GetSourceAddress(), kSource);
    EXPECT_EQ(engine_->GetStratum(), 14);  // a source below 15: one better than 15

    // Broadcasts (mode 5) of the best strata, and a stratum-1 answer of another server,
    // three times over: the election would accept them, the clock does not move.
    for (int i = 0; i < 3; ++i) {
        for (uint32_t from : {0xC6120007u, kSource}) {
            NtpPacketFields b;
            b.version = 3;
            b.mode = NTP_MODE_BROADCAST;
            b.stratum = 1;
            b.transmitTime = Ntp() + 50;
            Deliver(from, 123, Packet(b));
        }
        Deliver(0xC6120008, 123, ReplyToLastPoll(1, 50));
        Advance(0);
        NextPoll();
        Answer(kSource, 5, 0);
    }
    EXPECT_EQ(clock_.Steps(), 0);
    EXPECT_EQ(engine_->GetSourceAddress(), kSource);
    EXPECT_TRUE(traces_.empty());
}

TEST_F(EngineTest, ALargeStepWaitsUntilTheSourceKeepsItForAMinute) {
    Make(10);
    Advance(0);
    // Every poll answered 5000 s ahead: no step in the first minute.
    while (now_ < 60) {
        Answer(kSource, 5, 5000);
        EXPECT_EQ(clock_.Steps(), 0) << now_;
        NextPoll();
    }
    EXPECT_EQ(traces_, std::vector<std::string>{
                           "NTP: refused a step of +5000.011 s from 198.18.0.2 (stratum 5): "
                           "more than 1000 s, taken only once the source has kept it for 60 s"});
    Answer(kSource, 5, 5000);  // a minute after the first answer
    ASSERT_EQ(clock_.Steps(), 1);
    EXPECT_NEAR(clock_.LastStep(), 5000.0105, 1e-6);
}

TEST_F(EngineTest, UnsynchronisedServersNeverStepTheClock) {
    struct Case {
        uint8_t stratum, leap;
    } cases[] = {{0, 0}, {16, 0}, {255, 0}, {5, 3}};
    for (const Case& c : cases) {
        Make(10);
        Advance(0);
        Deliver(0xC6120002, 123, ReplyToLastPoll(c.stratum, 100, c.leap));
        NtpPacketFields b;
        b.leap = c.leap;
        b.version = 3;
        b.mode = NTP_MODE_BROADCAST;
        b.stratum = c.stratum;
        b.transmitTime = Ntp() + 50;
        Deliver(0xC6120002, 123, Packet(b));
        Advance(0);
        EXPECT_EQ(clock_.Steps(), 0) << int(c.stratum) << "/" << int(c.leap);
        EXPECT_FALSE(engine_->IsSynced());
    }
}

TEST_F(EngineTest, ElectionAmongServingPeers) {
    // A serving engine without a source takes a better stratum, or an equal one from a
    // lower address; stratum 1 and 2 always.
    struct Case {
        uint32_t from;
        uint8_t stratum;
        bool taken;
    } cases[] = {
        {0xC6120009, 9, true},   {0xC6120002, 10, true}, {0xC6120009, 10, false},
        {0xC6120002, 11, false}, {0xC6120009, 2, true},
    };
    for (const Case& c : cases) {
        Make(10);
        Settle();
        Advance(4);  // the next poll, to the group
        Deliver(c.from, 123, ReplyToLastPoll(c.stratum, 0.0));
        Advance(0);
        EXPECT_EQ(engine_->IsSynced(), c.taken) << c.from << " stratum " << int(c.stratum);
    }
}

TEST_F(EngineTest, SendFailuresAreToldOnce) {
    Make(10);
    net_->failSends = true;
    Advance(0);
    Advance(1);
    ASSERT_EQ(traces_.size(), 1u);
    EXPECT_EQ(traces_[0], "NTP: sending failed, code 83FC007A");
}

// Between steps the engine rests until its next poll or announcement is due, at most as
// long as its owner allows; a datagram that ends the rest is answered by the next step.
TEST_F(EngineTest, RestsUntilItsNextDeadline) {
    ticks_.Set(5000);  // an even reading: the hold timer starts a millisecond on, and lasts its 2 s
    Make(10);
    auto rest = [&](int ms) {
        engine_->Rest(ms);
        return net_->waits.back();
    };
    Advance(0);  // the first poll; the next one is due in 1 s
    EXPECT_NEAR(rest(100000), 1000, 1);
    EXPECT_EQ(rest(250), 250);
    Advance(1);  // the second poll; the start announcement's hold ends first, after 2 s
    EXPECT_EQ(rest(100000), 1002);
    Advance(1.5);  // the hold is over; the third poll is due at 3 s
    EXPECT_NEAR(rest(100000), 500, 1);
    Advance(0.5);
    ASSERT_TRUE(engine_->IsServing());
    EXPECT_NEAR(rest(100000), 4000, 1);

    NtpPacketFields request;
    request.version = 3;
    request.mode = NTP_MODE_CLIENT;
    request.transmitTime = 12345.678;
    net_->sent.clear();
    Deliver(0xC6120009, 40000, Packet(request));
    engine_->Rest(100000);
    EXPECT_TRUE(net_->incoming.empty());
    EXPECT_TRUE(net_->sent.empty());
    const size_t waits = net_->waits.size();
    engine_->Rest(100000);  // the next step has work: no second rest
    EXPECT_EQ(net_->waits.size(), waits);
    Advance(0);
    ASSERT_EQ(net_->sent.size(), 1u);
    EXPECT_EQ(net_->sent[0].address, 0xC6120009u);
    // After a step with requests the rest is short; the one after it lasts again.
    EXPECT_EQ(rest(100000), 100);
    EXPECT_NEAR(rest(100000), 4000, 1);
}

}  // namespace
