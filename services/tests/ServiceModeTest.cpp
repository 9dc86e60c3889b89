// Stellan as the service manager runs it (IXO_SERVICE names the service, READY=1 and
// STOPPING=1 go to $NOTIFY_SOCKET): the time service's engine sleeps between its polls,
// and a SIGTERM stops the whole process at once, not at the engine's next poll.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "os/UniqueFd.h"
#include "services/tests/ProcessRun.h"
#include "testsupport/NetHosts.h"
#include "testsupport/ProcessExit.h"

namespace {

using ixo::testsupport::AwaitExit;
using ixo::testsupport::NetHosts;

const std::string kTimeService = "Ixo Chronel Service (NTP) (Ver:4.0.14.0.0.0)";

// A datagram socket bound to `path`, as systemd's notify socket; 10 s receive limit.
int NotifySocket(const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    path.copy(a.sun_path, sizeof a.sun_path - 1);
    EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    const timeval wait{10, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    return fd;
}

// True once a message holding `word` has come.
bool Heard(int fd, const std::string& word) {
    char text[512];
    for (ssize_t n; (n = recv(fd, text, sizeof text, 0)) > 0;)
        if (std::string(text, static_cast<size_t>(n)).find(word) != std::string::npos)
            return true;
    return false;
}

// True once `count` client polls have come.
bool HeardPolls(int fd, int count) {
    uint8_t packet[512];
    for (ssize_t n; count > 0 && (n = recv(fd, packet, sizeof packet, 0)) > 0;)
        count -= n >= 48 && (packet[0] & 7) == 3;
    return count == 0;
}

TEST(ServiceModeTest, ASigtermStopsTheTimeServiceAtOnceBetweenItsPolls) {
    IXO_REQUIRE_NETNS();
    std::string error;
    auto hosts = NetHosts::Create(1, &error);
    ASSERT_TRUE(hosts) << error;
    TempDir dir;
    std::filesystem::copy_file(STELLAN_PROGRAM, dir / "stellan");
    const os::UniqueFd notify(NotifySocket((dir / "notify").string()));
    const os::UniqueFd polls(NetHosts::GroupListener("224.0.1.1", 123, 10000));
    ASSERT_GE(polls.get(), 0);
    std::string command = "cd " + dir.Path().string() +
                          " && NOTIFY_SOCKET=" + (dir / "notify").string() + " IXO_SERVICE='" +
                          kTimeService + "' exec";
    for (const std::string& word : hosts->Exec(0)) command += " " + word;
    command += " " + (dir / "stellan").string() + " > " + (dir / "out").string() + " 2>&1";
    const pid_t stellan = fork();
    if (stellan == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_TRUE(Heard(notify.get(), "READY=1")) << ReadText(dir / "out");
    // Four polls, the last 4 s after the one before; the next is 8 s away. Half a second
    // on, the engine has long left the short rest that follows a datagram (its own poll
    // comes back to it) and sleeps.
    ASSERT_TRUE(HeardPolls(polls.get(), 4)) << ReadText(dir / "out");
    const timeval halfSecond{0, 500000};
    setsockopt(polls.get(), SOL_SOCKET, SO_RCVTIMEO, &halfSecond, sizeof halfSecond);
    ASSERT_FALSE(HeardPolls(polls.get(), 1));
    const auto start = std::chrono::steady_clock::now();
    kill(stellan, SIGTERM);
    const bool ended = AwaitExit(stellan, 5000);
    if (!ended)
        kill(stellan, SIGKILL);
    int status = 0;
    waitpid(stellan, &status, 0);
    ASSERT_TRUE(ended) << ReadText(dir / "out");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(Heard(notify.get(), "STOPPING=1"));
}

}  // namespace
