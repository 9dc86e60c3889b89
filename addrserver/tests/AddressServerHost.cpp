// A process that hosts an address server with its node status on one test host, as
// the service host does, for tests of the election between servers on several hosts.
//
//   addrserver_testhost MODE TFTPDIR ROLE
//
// Runs in the current folder (bootp.cfg) with IXO_SYSTEM_DIR set (bootpmac.cfg); the
// node-status record starts with ROLE; node status runs 700 ms before the server starts. Prints one
// line per event on standard output: "pid N", "start HEX", "role N", "msg HEX TEXT", "stopped".
// SIGTERM stops it.
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "addrserver/AddressServer.h"
#include "addrserver/AddressServerCore.h"
#include "nodestatus/CNS2.h"
#include "nodestatus/fakes/UdpTestTransport.h"
#include "os/Clock.h"
#include "platform/NetAdapter.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

// One write per line: the server's threads print too, and a line split between two
// calls can take another thread's text in the middle.
void Line(const char* format, auto... args) {
    char line[512];
    const int n = std::snprintf(line, sizeof line - 1, format, args...);
    const size_t length = n < 0 ? 0 : std::min(static_cast<size_t>(n), sizeof line - 2);
    line[length] = '\n';
    std::fwrite(line, 1, length + 1, stdout);
    std::fflush(stdout);
}

class Host : public CAddressServer {
public:
    void OnMessage(uint32_t code, const char* text) override { Line("msg %X %s", code, text); }
};

class HostStatus : public CNS2 {
public:
    HostStatus() : CNS2(2, NS2_PORT, NS2_GROUP, 0x3041, 1, "IxoKolt Services", true, 0, 50) {}
    ~HostStatus() override { Stop(); }
    void OnNodeOnline(CNS2Node& node) override { AddressServerAddNode(node); }
    void OnNodeOffline(CNS2Node& node) override { AddressServerAddNode(node); }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    std::signal(SIGTERM, [](int) { stopRequested = 1; });
    Line("pid %d", static_cast<int>(getpid()));
    Host host;
    // As the editor does: node status first, then the server, which is handed every
    // member heard so far.
    UdpTestTransport transport(GetLocalIpAddress(), NS2_PORT);
    HostStatus status;
    status.SetReportInterval(500);
    status.SetServerRole(static_cast<uint8_t>(std::atoi(argv[3])));
    status.CreateWorkThread(&transport);
    os::Sleep(700);

    AddressServerSettings settings;
    settings.serverMode = static_cast<uint32_t>(std::atoi(argv[1]));
    settings.tftpDirectory = argv[2];
    settings.hostName = "testhost";
    const uint32_t result = AddressServerStart(settings);
    Line("start %X", result);
    if (result != 0)
        return 0;
    AddressServerSetNodeStatus(&status);
    {
        auto lock = status.Lock();
        for (CNS2Node* n = status.GetFirstNode(); n != nullptr; n = n->GetNext())
            AddressServerAddNode(*n);
    }

    int role = -1;
    while (!stopRequested) {
        const int now = addrserver::ProcessServer().Role();
        if (now != role)
            Line("role %d", role = now);
        os::Sleep(20);
    }
    AddressServerStop();
    status.Stop();
    Line("stopped");
    return 0;
}
