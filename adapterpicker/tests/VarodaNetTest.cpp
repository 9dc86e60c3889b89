// Varoda on real interfaces: veth cards with chosen hardware addresses inside private
// network namespaces, read through the kernel's tables.
#include "adapterpicker/VarodaApp.h"
#include "adapterpicker/VarodaView.h"
#include "adapterpicker/tests/FakeSystem.h"
#include "framework/docview/FrameWnd.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/NetHosts.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QTreeWidget>

#include <net/if.h>
#include <signal.h>

#include <filesystem>

namespace varoda {
namespace {

using ixo::testsupport::ChildProcess;
using ixo::testsupport::NetHosts;
using ixo::testsupport::RunShell;

class VarodaNet : public test::FakeSystem {
protected:
    void SetUp() override {
        test::FakeSystem::SetUp();
        SetNetSourceForTest(nullptr);  // the kernel's tables
    }
    void TearDown() override {
        if (addedCards_)
            RunShell("ip link del vcard0");
        test::FakeSystem::TearDown();
    }
    // Two ends of a veth pair in this namespace; the first with an address.
    bool AddCardPair() {
        addedCards_ = true;
        return RunShell(
                   "ip link add vcard0 address 02:00:5e:10:00:01 type veth peer name vcard1 "
                   "address 02:00:5e:10:00:02") == 0 &&
               RunShell("ip addr add 198.18.7.1/24 dev vcard0") == 0 &&
               RunShell("ip link set vcard0 up") == 0 && RunShell("ip link set vcard1 up") == 0;
    }
    static int RowOf(fw::ListView& list, const std::string& mac) {
        for (int i = 0; i < list.GetItemCount(); ++i)
            if (list.GetItemText(i, 3) == mac)
                return i;
        return -1;
    }

private:
    bool addedCards_ = false;
};

TEST_F(VarodaNet, ListsTheCardsAndSavesThePickedOne) {
    IXO_REQUIRE_NETNS();
    ASSERT_TRUE(AddCardPair());
    CVarodaApp app;
    app.SetArguments({"-checknum"});
    ASSERT_TRUE(app.InitInstance());  // two usable cards: the window is shown
    auto& frame = *static_cast<fw::FrameWnd*>(app.GetMainWnd());
    EXPECT_TRUE(frame.isVisible());
    auto& view = *static_cast<CVarodaView*>(frame.GetActiveView());
    fw::ListView& list = view.List();
    ASSERT_EQ(list.GetItemCount(), 2);  // the loopback is not listed
    const int card = RowOf(list, "02-00-5E-10-00-01");
    const int peer = RowOf(list, "02-00-5E-10-00-02");
    ASSERT_GE(card, 0);
    ASSERT_GE(peer, 0);
    EXPECT_EQ(list.GetItemText(card, 0).rfind("vcard0", 0), 0u);
    EXPECT_EQ(list.GetItemText(card, 1), "198.18.7.1");
    EXPECT_EQ(list.GetItemText(card, 2), "255.255.255.0");
    EXPECT_EQ(list.GetItemText(peer, 1), "");
    EXPECT_EQ(list.GetItemData(card), if_nametoindex("vcard0"));

    QTreeWidget* tree = list.Widget();
    const QRect row = tree->visualItemRect(tree->topLevelItem(card));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      QPoint(row.left() + 8, row.center().y()));
    ASSERT_TRUE(list.GetCheck(card));
    const std::string out = File("ixokolt.cfg").string();
    ASSERT_TRUE(view.GetDocument()->OnSaveDocument(out));
    EXPECT_EQ(test::ReadFile(out),
              "gateway=0.0.0.1\r\nsubnetmask=255.255.255.0\r\nnetworkcard=02-00-5E-10-00-01\r\n");
    // The platform library, reading that file, picks the same card and its address.
    ResetConfigForTest();
    ASSERT_EQ(ReadConfigFile(out.c_str()), 0);
    EXPECT_EQ(GetSelectedInterface(), if_nametoindex("vcard0"));
    EXPECT_EQ(GetLocalIpAddress(), 0xC6120701u);
    ResetConfigForTest();

    // Stellan started where that file lies takes its card, mask and gateway and serves,
    // with no hand-written route or settings of its own.
    const std::filesystem::path folder = File("").parent_path();
    std::filesystem::copy_file(STELLAN_PROGRAM, folder / "stellan");
    ChildProcess stellan(
        {"/bin/sh", "-c", "cd " + folder.string() + " && exec ./stellan console:bootp 2>&1"});
    // Its readiness line, or its end when it stops by itself (its words say why).
    const bool running = !stellan.Expect("Running in console mode", 10000).empty();
    stellan.Kill(SIGTERM);
    EXPECT_TRUE(running) << stellan.Output();
    EXPECT_EQ(stellan.Wait(10000), 0) << stellan.Output();
}

TEST_F(VarodaNet, ChecknumEndsOnALoopbackOnlyHost) {
    IXO_REQUIRE_NETNS();
    CVarodaApp app;
    app.SetArguments({"-checknum"});
    EXPECT_FALSE(app.InitInstance());
    ASSERT_NE(app.GetMainWnd(), nullptr);
    EXPECT_FALSE(app.GetMainWnd()->isVisible());
}

TEST_F(VarodaNet, ChecknumProgramEndsAtOnceOnAHostWithOneCard) {
    IXO_REQUIRE_NETNS();
    std::string error;
    auto hosts = NetHosts::Create(1, &error);
    ASSERT_NE(hosts, nullptr) << error;
    // The host has its loopback and eth0 only. Were the window shown, the program would
    // run until `timeout` stops it (status 124).
    const std::string run = "ip netns exec " + hosts->Name(0) + " env QT_QPA_PLATFORM=offscreen" +
                            " IXO_SYSTEM_DIR=" + SystemDir().string() +
                            " IXO_KEYSTORE_DIR=" + File("keys").string() + " timeout 30 " +
                            VARODA_PROGRAM + " -checknum";
    EXPECT_EQ(RunShell(run), 0);
}

}  // namespace
}  // namespace varoda
