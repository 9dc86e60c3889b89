// nodesim: a simulated Kolt node, for tests and the demo. It joins node status as a node
// of its type, and serves its IOM object model by remote calls on port 36507, with the
// application id 1 that the editor calls nodes on, through the multiplexer of its host.
// One runs per host (network namespace).
//
//   nodesim --mac 02:18:00:00:00:02 [--type 8450] [--name "Node 2"] [--state FILE]
//           [--record FILE] [--interval MS] [--network-major N|none] [--serial N]
//
// It says "ready <application id> <address>" once it serves. Commands on its input, one
// a line: "fail N [STATUS]" (the Nth IOM call from now answers STATUS, hex), "hold N [MS]"
// (the Nth call from now is held unanswered, at most MS) and "resume", "failprop NAME CODE" (writes
// of NAME in multi-property writes answer CODE), "count" (says "count <calls>"),
// "counters" (says "counters <saves> <reboots> <updates> <clears>"). It stops, saying
// goodbye to node status, when its input closes.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "nodesim/IomNodeStub.h"
#include "nodesim/SimNodeStatus.h"
#include "platform/VavVersionRegistry.h"
#include "rcc/RccIPv4.h"
#include "rcc/StubDispatcher.h"
#include "rcc/XPortRccTransport.h"
#include "transport/CXPort.h"

namespace {

using nodesim::IomNodeStub;

constexpr uint8_t kNodeAppId = 1;
constexpr int kOpenAttempts = 3;

int Usage(const char* why) {
    std::fprintf(stderr,
                 "nodesim: %s\nusage: nodesim --mac MAC [--type N] [--name TEXT] [--state FILE] "
                 "[--record FILE] [--interval MS] [--network-major N|none] [--serial N]\n",
                 why);
    return 2;
}

uint32_t Number(const std::string& text, int base = 10) {
    return static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, base));
}

void Command(const std::string& line, IomNodeStub& stub, const nodesim::NodeModel& model) {
    std::istringstream in(line);
    std::string verb, a, b;
    in >> verb >> a >> b;
    if (verb == "fail")
        stub.FailCall(Number(a), b.empty() ? 0x80A10010 : Number(b, 16));
    else if (verb == "hold")
        stub.HoldCall(Number(a), b.empty() ? IomNodeStub::kMaxHoldMs : Number(b));
    else if (verb == "resume")
        stub.Resume();
    else if (verb == "failprop")
        stub.FailProperty(a, Number(b, 16));
    else if (verb == "count")
        std::printf("count %u\n", stub.CallCount());
    else if (verb == "counters") {
        auto c = model.GetCounters();
        std::printf("counters %d %d %d %d\n", c.saves, c.reboots, c.updates, c.clears);
    } else
        std::fprintf(stderr, "nodesim: unknown command \"%s\"\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    std::map<std::string, std::string> options = {{"--type", "8450"},
                                                  {"--name", "Sim Node"},
                                                  {"--interval", "1500"},
                                                  {"--network-major", "default"},
                                                  {"--serial", "1"}};
    for (int i = 1; i < argc; ++i) {
        std::string key = argv[i];
        if (!key.starts_with("--") || i + 1 >= argc)
            return Usage(("bad argument " + key).c_str());
        options[key] = argv[++i];
    }
    if (!options.count("--mac"))
        return Usage("--mac is required");

    CXPort transport;
    uint8_t appId = kNodeAppId;
    // Many nodes starting at once start as many multiplexers; one may need a second try.
    XPortStatus opened = transport.open(&appId, 1, NS2_PORT, 100, 100);
    for (int attempt = 1; mux::MuxFailed(opened) && attempt < kOpenAttempts; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        appId = kNodeAppId;
        opened = transport.open(&appId, 1, NS2_PORT, 100, 100);
    }
    if (mux::MuxFailed(opened) || appId != kNodeAppId) {
        std::fprintf(stderr, "nodesim: no transport with application id %u (0x%08X)\n", kNodeAppId,
                     static_cast<uint32_t>(opened));
        return 1;
    }
    nodesim::NodeIdentity identity;
    identity.type = static_cast<uint16_t>(Number(options["--type"], 0));
    identity.name = options["--name"];
    identity.mac = VavMacAddress(options["--mac"].c_str());
    identity.ip = transport.getLocalAddress();
    identity.serial = Number(options["--serial"]);
    std::optional<uint16_t> major;
    if (options["--network-major"] == "default")
        major = ProtocolSuiteVersion().GetMajor();
    else if (options["--network-major"] != "none")
        major = static_cast<uint16_t>(Number(options["--network-major"]));
    int status = 0;
    {
        nodesim::NodeModel model(identity, options["--state"]);
        IomNodeStub stub(model, options["--record"]);
        XPortRccTransport link(transport);
        StubDispatcher dispatcher(&link, RCC_DEFAULT_PORT, RCC_PROTOCOL_ID, 50);
        dispatcher.registerStub(RCC_IF_IOM, "IOM", &stub);
        nodesim::SimNodeStatus nodeStatus(identity, Number(options["--interval"]), major);
        if (!dispatcher.isListening() ||
            (nodeStatus.CreateWorkThread(&transport) & 0x80000000u) != 0) {
            std::fprintf(stderr, "nodesim: cannot serve on port %u or join node status\n",
                         RCC_DEFAULT_PORT);
            status = 1;
        } else {
            nodeStatus.SendInitialStatus();
            std::printf("ready %u %s\n", appId, CRccIPv4(identity.ip).toString().c_str());
            std::fflush(stdout);
            for (std::string line; std::getline(std::cin, line);) Command(line, stub, model);
            stub.Resume();
        }
        nodeStatus.Stop();
        dispatcher.unregisterStub(RCC_IF_IOM);
    }
    transport.close();
    return status;
}
