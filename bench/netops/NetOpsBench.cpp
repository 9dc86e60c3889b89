// netops_bench: Send Config from the editor's document to N simulated nodes (default 50),
// each a nodesim process with its own Travex in a test host of its own, the editor on
// the hosts' bridge with its Travex. Each node is a Kolt 2 Port Node with a full channel
// patch of 8192 channels on its first input. Printed: the wall time of the send, the
// share of it spent inside remote calls (waiting on the network, the multiplexers and
// the nodes) and the share in the document's own code; beside it, as the baseline of the
// same run, the same number of remote calls made one after another straight from a
// proxy (a getProp round trip each). Runs itself in a private network namespace (root).
//
//   netops_bench [nodes]
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/common/LoopbackBaseline.h"
#include "editor/document/ConfigData.h"
#include "editor/document/EditorHost.h"
#include "editor/document/ErrorHandler.h"
#include "editor/document/KoltInterface.h"
#include "editor/document/TessalyDoc.h"
#include "os/Paths.h"
#include "rcc/IOMProxy.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/NetHosts.h"
#include "testsupport/TravexTestEnv.h"
#include "transport/CXPort.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using ixo::testsupport::ChildProcess;
using ixo::testsupport::NetHosts;
using ixo::testsupport::TravexTestEnv;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// The document's proxy, timing every remote call it makes.
class TimedProxy : public CIOMProxy {
public:
    using CIOMProxy::CIOMProxy;
    static inline std::atomic<int64_t> nanos{0};
    static inline std::atomic<int> calls{0};

    template <typename Call>
    static uint32_t Time(Call call) {
        auto start = Clock::now();
        uint32_t status = call();
        nanos += std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count();
        ++calls;
        return status;
    }
    uint32_t setProp(const std::string& c, const CRccValue& i, const std::string& p,
                     const CRccValue& v) override {
        return Time([&] { return CIOMProxy::setProp(c, i, p, v); });
    }
    uint32_t setPropMulti(const std::string& c, const CRccValue& i,
                          const std::vector<std::string>& n, const std::vector<CRccValue>& v,
                          bool e, std::vector<int32_t>& r) override {
        return Time([&] { return CIOMProxy::setPropMulti(c, i, n, v, e, r); });
    }
    uint32_t setPropArray(const std::string& c, const CRccValue& i, const std::string& p,
                          uint32_t s, uint32_t n, const CRccValue& v, bool e,
                          std::vector<int32_t>& r) override {
        return Time([&] { return CIOMProxy::setPropArray(c, i, p, s, n, v, e, r); });
    }
    uint32_t invokeMethod(const std::string& c, const CRccValue& i, const std::string& m,
                          const std::vector<CRccValue>& a, std::vector<CRccValue>& r) override {
        return Time([&] { return CIOMProxy::invokeMethod(c, i, m, a, r); });
    }
};

struct Node {
    std::unique_ptr<TravexTestEnv> env;
    std::unique_ptr<ChildProcess> process;
    VavMacAddress mac;
    uint32_t ip = 0;
};

std::string Patch() {
    std::string text;
    for (int i = 0; i < 8192; ++i) text += (i ? "," : "") + std::to_string(1 + i % 4096);
    return text;
}

int Run(int count) {
    std::string error;
    auto hosts = NetHosts::Create(count, &error);
    if (!hosts) {
        std::fprintf(stderr, "netops_bench: %s\n", error.c_str());
        return 1;
    }
    fs::path dir = fs::temp_directory_path() / ("netops-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    auto started = Clock::now();
    std::list<Node> nodes;
    for (int i = 0; i < count; ++i) {
        Node& n = nodes.emplace_back();
        n.env = std::make_unique<TravexTestEnv>("bnode" + std::to_string(i), 300, false);
        n.mac = VavMacAddress(hosts->Mac(i).c_str());
        n.ip = 0xC6120002u + static_cast<uint32_t>(i);
        std::vector<std::string> argv = hosts->Exec(i);
        argv.push_back("env");
        for (const std::string& v : n.env->Vars()) argv.push_back(v);
        argv.insert(argv.end(), {(os::ProgramDir() / "nodesim").string(), "--mac", hosts->Mac(i),
                                 "--name", "Node " + std::to_string(i)});
        n.process = std::make_unique<ChildProcess>(argv);
    }
    for (Node& n : nodes) {
        if (n.process->Expect("ready ", 30000).empty()) {
            std::fprintf(stderr, "netops_bench: a node did not start\n");
            return 1;
        }
    }
    std::printf("%d nodes started in %.1f s\n", count, Seconds(Clock::now() - started));

    TravexTestEnv pcEnv("bpc");
    std::ofstream(dir / "Tessaly.ini") << "[Network]\nRCCTimeout=10\nUpdateSoftwareDelay=0\n";
    CConfigData::CreateInstance(dir / "Tessaly.ini");
    CErrorHandler::SetLogPath(fs::path());
    HeadlessErrorSink quiet(nullptr);
    CErrorHandler::GetInstance()->SetSink(&quiet);
    CXPort port;
    uint8_t appId = 0;
    if (mux::MuxFailed(port.open(&appId, 1, 6107, 100, 100)))
        return 1;
    EditorHost::SetTransport(&port);
    EditorHost::SetProxyMaker([](RccTransport* link) {
        return std::make_unique<TimedProxy>(link, RCC_DEFAULT_PORT, RCC_PROTOCOL_ID, 50);
    });
    CKoltInterface* kolt = CKoltInterface::GetInstance();
    kolt->Connect();
    auto seen = Clock::now();
    while (kolt->GetOnlineNodeCount() < count && Clock::now() - seen < std::chrono::seconds(30))
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::printf("%d nodes on line after %.1f s\n", kolt->GetOnlineNodeCount(),
                Seconds(Clock::now() - seen));

    int status = 0;
    {
        CTessalyDoc doc;
        doc.OnNewDocument();
        const std::string patch = Patch();
        for (Node& n : nodes) {
            xmldom::Node added;
            doc.AddNode("Kolt_2_Port_Node", &added);
            doc.SetNodeAddress(added, n.mac, n.ip);
            xmldom::Node aip =
                doc.GetProperty(added, ".DMX_Port_Properties.DMX_Input_Port_Properties.AIP_Patch");
            doc.SetNodeText(doc.SkipTextNode(aip), patch);
        }
        auto start = Clock::now();
        bool sent = doc.SendConfig();
        double wall = Seconds(Clock::now() - start);
        double network = static_cast<double>(TimedProxy::nanos) / 1e9;
        int calls = TimedProxy::calls;
        if (!sent || !quiet.Questions().empty()) {
            std::fprintf(stderr, "netops_bench: the send did not go through\n");
            status = 1;
        }

        // Baseline: as many round trips, one after another, straight from a proxy.
        CIOMProxy proxy(EditorHost::RccLink());
        proxy.setTimeout(10000);
        std::vector<double> trips;
        auto baseStart = Clock::now();
        int made = 0;
        for (const Node& n : nodes) {
            proxy.connect(n.ip, 1, 0);
            for (int i = 0; i < calls / count; ++i, ++made) {
                CRccValue v;
                auto t = Clock::now();
                proxy.getProp("Node", CRccValue::ofU32(1), "nodeName", v);
                trips.push_back(Seconds(Clock::now() - t));
            }
        }
        double baseline = Seconds(Clock::now() - baseStart);
        std::printf("Send Config to %d nodes: %.3f s wall, %d remote calls\n", count, wall, calls);
        std::printf(
            "  inside remote calls: %.3f s (%.0f %%), in the document's code: %.3f s (%.0f %%)\n",
            network, 100 * network / wall, wall - network, 100 * (wall - network) / wall);
        std::printf("baseline, %d getProp round trips from one proxy: %.3f s (median %.2f ms)\n",
                    made, baseline, 1000 * bench::Median(trips));
        std::printf("ratio send / baseline: %.2f\n", baseline > 0 ? wall / baseline : 0.0);
    }
    kolt->Disconnect();
    EditorHost::SetProxyMaker(nullptr);
    EditorHost::SetTransport(nullptr);
    port.close();
    nodes.clear();
    CKoltInterface::DeleteInstance();
    CErrorHandler::DeleteInstance();
    CConfigData::DeleteInstance();
    fs::remove_all(dir);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    if (!ixo::testsupport::InPrivateNetns()) {
        execl(NETNS_RUN, NETNS_RUN, argv[0], argc > 1 ? argv[1] : nullptr, nullptr);
        std::perror("netns-run");
        return 1;
    }
    int count = argc > 1 ? std::atoi(argv[1]) : 50;
    return Run(std::clamp(count, 1, 64));
}
