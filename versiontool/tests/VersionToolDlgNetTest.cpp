// The dialog with real widgets and real sockets inside a private network namespace:
// Update Selected through the real node command sender, and real engines reporting while
// discovery stops and starts.
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <functional>
#include <thread>

#include "editor/document/NodeCommand.h"
#include "framework/base/CommandIds.h"
#include "framework/controls/Button.h"
#include "framework/dialogs/MessageBox.h"
#include "os/Event.h"
#include "testsupport/EventLoopWait.h"
#include "testsupport/NetHosts.h"
#include "versiontool/StatusPackets.h"
#include "versiontool/VersionToolApp.h"
#include "versiontool/tests/DialogFixture.h"
#include "versiontool/tests/TestPackets.h"

namespace quillon::test {
namespace {

using ixo::testsupport::PumpUntil;
using ixo::testsupport::WhenShown;

class VersionToolDlgNetTest : public DialogFixture {};

const std::vector<uint8_t> kEndMark{'e', 'n', 'd'};

// What arrives at `fd` up to the test's own end mark, sent to it after the datagrams the
// test looks for; should they cross it, up to at least `least` datagrams.
std::vector<std::vector<uint8_t>> ReceiveUntilMark(int fd, size_t least) {
    sockaddr_in self{};
    socklen_t length = sizeof self;
    getsockname(fd, reinterpret_cast<sockaddr*>(&self), &length);
    self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sendto(fd, kEndMark.data(), kEndMark.size(), 0, reinterpret_cast<sockaddr*>(&self),
           sizeof self);
    std::vector<std::vector<uint8_t>> got;
    bool marked = false;
    pollfd p{fd, POLLIN, 0};
    while ((!marked || got.size() < least) && poll(&p, 1, 5000) == 1) {
        std::vector<uint8_t> bytes(64);
        const ssize_t n = recv(fd, bytes.data(), bytes.size(), 0);
        if (n < 0)
            break;
        bytes.resize(static_cast<size_t>(n));
        if (bytes == kEndMark)
            marked = true;
        else
            got.push_back(bytes);
    }
    return got;
}

TEST_F(VersionToolDlgNetTest, SendsExactlyOneDatagramForOneUpdatableOfThree) {
    IXO_REQUIRE_NETNS();
    // Every device lives on this host's loopback: a datagram sent to any of them arrives.
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_port = htons(kNodeCommandPort);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&any), sizeof any), 0);

    Open(/*realSender=*/true);
    Found(Device("Panel", 0x7F000002, true, false));
    Found(Device("Gateway", 0x7F000003, false, true));
    Found(Device("Desk PC", 0x7F000004, true, false));
    ClickRow(0);
    ClickRow(1, Qt::ControlModifier);
    ClickRow(2, Qt::ControlModifier);
    ASSERT_EQ(List().GetSelectedCount(), 3);
    {
        fw::ScopedMessageBoxAnswers boxes({fw::IDYES});
        dynamic_cast<fw::Button*>(dialog->GetDlgItem(IDC_UPDATE_SELECTED))->Click();
        EXPECT_EQ(boxes.asked.size(), 1u);
    }
    const auto got = ReceiveUntilMark(fd, 1);
    close(fd);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], (std::vector<uint8_t>{0x0F, 0x00, 0x01, 0x00, 0x63, 0x01, 0x11, 0x00}));
}

// Real engines hear a flood of devices on this host's loopback while discovery is
// stopped and started again and again: their threads only post, nothing reaches the list
// once discovery is off, and every restart starts from an empty list.
TEST_F(VersionToolDlgNetTest, ReportsRacingWithStopAreSafe) {
    IXO_REQUIRE_NETNS();
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    os::Event stopFlood{true, false};
    std::thread flood([&] {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(kStatusGroup);
        // A round every 2 ms until the test says stop.
        for (uint32_t round = 0;; ++round) {
            for (uint8_t i = 0; i < 40; ++i) {
                TestDevice d;
                d.mac[5] = i, d.name = "Node " + std::to_string(i), d.interval = 200;
                d.word0 = round;  // a change in every round: reported again and again
                const auto bytes = i % 2 ? LegacyBytes(d) : NodeStatusBytes(d);
                to.sin_port = htons(i % 2 ? kLegacyStatusPort : kNodeStatusPort);
                sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to),
                       sizeof to);
            }
            if (stopFlood.Wait(2) == os::WaitResult::Signaled)
                break;
        }
    });

    Open(false, /*realEngines=*/true);
    auto* button = dynamic_cast<fw::Button*>(dialog->GetDlgItem(IDC_START_STOP));
    int mostListed = 0;
    for (int turn = 0; turn < 10; ++turn) {
        // Stopped while the engines' reports come in.
        EXPECT_TRUE(PumpUntil([&] { return List().GetItemCount() > 0; })) << turn;
        mostListed = std::max(mostListed, List().GetItemCount());
        button->Click();  // stop: the list stays
        const int kept = List().GetItemCount();
        // The engines' threads have ended with the stop: whatever they posted is queued
        // now, and is handled here.
        QCoreApplication::processEvents();
        EXPECT_EQ(List().GetItemCount(), kept) << "nothing arrives while stopped";
        EXPECT_EQ(dialog->OnlineCount(), kept);
        button->Click();  // start: empty again
        EXPECT_EQ(List().GetItemCount(), 0);
    }
    stopFlood.Set();
    flood.join();
    close(fd);
    EXPECT_GT(mostListed, 0) << "the engines heard the flood";
}

// The program as main() runs it: the main dialog, modal, with real engines; closing it
// ends the program, with its layout stored under "Ixo".
TEST_F(VersionToolDlgNetTest, ClosingTheMainDialogEndsTheProgram) {
    IXO_REQUIRE_NETNS();
    setenv("IXO_KEYSTORE_DIR", dir_.c_str(), 1);
    CVersionToolApp app;
    bool shown = false;
    WhenShown<CVersionToolDlg> close([&](CVersionToolDlg& main) {
        shown = &main == app.GetMainWnd() && main.isVisible() && main.IsDiscovering();
        main.SendMessage(fw::WM_CLOSE);
    });
    EXPECT_EQ(app.Run(), 0);
    unsetenv("IXO_KEYSTORE_DIR");
    EXPECT_TRUE(shown);
    EXPECT_EQ(app.GetMainWnd(), nullptr);
    EXPECT_EQ(fw::AppProfile().SectionKey(kSettings), "Software\\Ixo\\Quillon\\Settings");
    EXPECT_NE(fw::AppProfile().GetProfileInt(kSettings, kWndTop, -1), -1);
}

}  // namespace
}  // namespace quillon::test
