// Update Selected with real widgets and the real node command sender inside a private
// network namespace: of three selected devices only the updatable one is sent the
// update command, as one 8-byte datagram to its address on port 36511.
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include "editor/document/NodeCommand.h"
#include "framework/Button.h"
#include "framework/CommandIds.h"
#include "framework/MessageBox.h"
#include "testsupport/NetHosts.h"
#include "versiontool/tests/DialogFixture.h"

namespace quillon::test {
namespace {

class UpdateSelectedNetTest : public DialogFixture {};

std::vector<std::vector<uint8_t>> ReceiveAll(int fd, int quietMs) {
    std::vector<std::vector<uint8_t>> got;
    pollfd p{fd, POLLIN, 0};
    while (poll(&p, 1, quietMs) == 1) {
        std::vector<uint8_t> bytes(64);
        const ssize_t n = recv(fd, bytes.data(), bytes.size(), 0);
        if (n < 0)
            break;
        bytes.resize(static_cast<size_t>(n));
        got.push_back(bytes);
    }
    return got;
}

TEST_F(UpdateSelectedNetTest, SendsExactlyOneDatagramForOneUpdatableOfThree) {
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
    const auto got = ReceiveAll(fd, 300);
    close(fd);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], (std::vector<uint8_t>{0x0F, 0x00, 0x01, 0x00, 0x63, 0x01, 0x11, 0x00}));
}

}  // namespace
}  // namespace quillon::test
