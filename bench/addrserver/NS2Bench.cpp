// Node-status packets parsed and applied per second with 10 000 members in the table,
// beside the baseline of parsing the same packets into one loose record (no table, no
// timers, no lock). The ratio is what the table and the engine's bookkeeping cost.
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "nodestatus/CNS2.h"

namespace {

constexpr int kNodes = 10000;
constexpr int kRounds = 30;

class BenchEngine : public CNS2 {
public:
    BenchEngine() : CNS2(0, NS2_PORT, NS2_GROUP, 0x3041, 1, "bench", true, 0, 50) {}
    void OnNodeOnline(CNS2Node&) override { ++reports; }
    void OnNodeOffline(CNS2Node&) override { ++reports; }
    using CNS2::HandlePacket;
    long reports = 0;
};

std::vector<std::vector<uint8_t>> Packets(uint32_t session) {
    std::vector<std::vector<uint8_t>> packets;
    for (int i = 0; i < kNodes; ++i) {
        const uint8_t mac[6] = {
            0x02, 0x49, 0x58, 0x00, static_cast<uint8_t>(i >> 8), static_cast<uint8_t>(i)};
        CNS2Node n(VavMacAddress(mac, 6), 1);
        n.SetNodeType(0x2181);
        n.SetIpAddress(0x0A650000u + static_cast<uint32_t>(i));
        n.SetSessionId(session);
        n.SetReportInterval(1500);
        std::array<uint8_t, NS2_MAX_PACKET> b{};
        size_t len = NS2BuildPacket(n, NS2Form::Regular, 3, 1, b);
        packets.emplace_back(b.begin(), b.begin() + len);
    }
    return packets;
}

double PerSecond(long count, const std::function<void()>& work) {
    auto start = std::chrono::steady_clock::now();
    work();
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return static_cast<double>(count) / s;
}

}  // namespace

int main() {
    const auto packets = Packets(7);
    BenchEngine engine;
    uint32_t now = 1000;
    for (const auto& p : packets) engine.HandlePacket(p, now);  // every member on line
    const long total = static_cast<long>(kNodes) * kRounds;
    const double applied = PerSecond(total, [&] {
        for (int r = 0; r < kRounds; ++r)
            for (const auto& p : packets) engine.HandlePacket(p, ++now);
    });
    CNS2Node loose;
    bool newSession = false;
    const double parsed = PerSecond(total, [&] {
        for (int r = 0; r < kRounds; ++r)
            for (const auto& p : packets) NS2ParsePacket(loose, p, newSession);
    });
    std::printf("node status, %d members on line, %ld packets:\n", engine.GetOnlineCount(), total);
    std::printf("  parsed and applied by the engine: %12.0f packets/s\n", applied);
    std::printf("  baseline, parsed into one record: %12.0f packets/s\n", parsed);
    std::printf("  ratio applied / baseline:         %12.2f\n", applied / parsed);
    return engine.GetOnlineCount() == kNodes ? 0 : 1;
}
