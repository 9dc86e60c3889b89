// A 4 MiB image fetched by curl over TFTP (512-byte blocks, no options) from our server
// on one test host and from tftpd-hpa on another, serving the same file in the same run.
// Needs root: it runs itself under scripts/netns-run.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "addrserver/AddressServerCore.h"
#include "testsupport/NetHosts.h"

namespace {

using ixo::testsupport::NetHosts;
using ixo::testsupport::RunShell;

constexpr size_t kImageSize = 4 * 1024 * 1024;
constexpr int kRuns = 5;

class QuietHost : public CAddressServer {
public:
    void OnMessage(uint32_t, const char*) override {}
};

// Median seconds of kRuns fetches of `url`; negative when a fetch failed.
double Fetch(const std::string& url, const std::string& out, const std::string& expected) {
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        auto start = std::chrono::steady_clock::now();
        if (RunShell("curl -s --tftp-no-options -m 60 -o " + out + " " + url) != 0)
            return -1;
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        std::ifstream in(out, std::ios::binary);
        if (std::string(std::istreambuf_iterator<char>(in), {}) != expected)
            return -1;
    }
    std::sort(times.begin(), times.end());
    return times[kRuns / 2];
}

uint32_t HostOrder(const std::string& dotted) {
    unsigned a, b, c, d;
    std::sscanf(dotted.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d);
    return (a << 24) | (b << 16) | (c << 8) | d;
}

}  // namespace

int main(int argc, char** argv) {
    if (!ixo::testsupport::InPrivateNetns()) {
        execl(NETNS_RUN, NETNS_RUN, argv[0], nullptr);
        std::perror("netns-run");
        return 1;
    }
    (void)argc;
    std::string error;
    auto hosts = NetHosts::Create(2, &error);
    if (!hosts) {
        std::fprintf(stderr, "no test hosts: %s\n", error.c_str());
        return 1;
    }
    char tmpl[] = "/tmp/ixo-tftpbench-XXXXXX";
    const std::string dir = mkdtemp(tmpl);
    std::string image(kImageSize, '\0');
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>((i * 2654435761u) >> 13);
    std::ofstream(dir + "/node.bin", std::ios::binary) << image;
    // tftpd-hpa reads as an unprivileged user.
    std::filesystem::permissions(
        dir, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                 std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                 std::filesystem::perms::others_exec);

    QuietHost host;
    addrserver::Server server;
    server.SetHost(&host);
    AddressServerSettings settings;
    settings.serverMode = addrserver::kModeTftpOnly;
    settings.tftpDirectory = dir;
    addrserver::ServerEnvironment env;
    env.ownAddress = HostOrder(hosts->Address(0));
    env.subnetMask = 0xFFFFFF00;
    env.gateway = HostOrder(NetHosts::SelfAddress());
    env.bootpCfgPath = dir + "/bootp.cfg";
    env.bootpMacCfgPath = dir + "/bootpmac.cfg";
    uint32_t started = 1;
    hosts->RunIn(0, [&] { started = server.Start(settings, env); });
    // tftpd-hpa in the foreground on host 1, so that we know its process and end it.
    std::vector<std::string> args = hosts->Exec(1);
    for (std::string a :
         {"/usr/sbin/in.tftpd", "--foreground", "--listen", "--secure", "--address"})
        args.push_back(a);
    args.push_back(hosts->Address(1) + ":69");
    args.push_back(dir);
    std::vector<char*> argvSpawn;
    for (auto& a : args) argvSpawn.push_back(a.data());
    argvSpawn.push_back(nullptr);
    pid_t tftpd = 0;
    if (started != 0 ||
        posix_spawnp(&tftpd, argvSpawn[0], nullptr, nullptr, argvSpawn.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start the servers (ours %X)\n", started);
        return 1;
    }
    usleep(200000);
    const double ours = Fetch("tftp://" + hosts->Address(0) + "/node.bin", dir + "/a", image);
    const double theirs = Fetch("tftp://" + hosts->Address(1) + "/node.bin", dir + "/b", image);
    kill(tftpd, SIGTERM);
    waitpid(tftpd, nullptr, 0);
    server.Stop();
    std::filesystem::remove_all(dir);
    if (ours < 0 || theirs < 0) {
        std::fprintf(stderr, "a fetch failed or came back different\n");
        return 1;
    }
    const double mib = kImageSize / 1048576.0;
    std::printf("TFTP, 4 MiB image, curl --tftp-no-options, median of %d:\n", kRuns);
    std::printf("  our server:            %7.3f s  %7.2f MiB/s\n", ours, mib / ours);
    std::printf("  baseline tftpd-hpa:    %7.3f s  %7.2f MiB/s\n", theirs, mib / theirs);
    std::printf("  ratio ours / baseline: %7.2f (throughput)\n", theirs / ours);
    return 0;
}
