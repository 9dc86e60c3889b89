// The adapter document on a fake interface table and a temporary system directory: the
// card a file names, the file a save writes, and what the outside services are handed.
#include "adapterpicker/HandOver.h"
#include "adapterpicker/VarodaDoc.h"
#include "adapterpicker/tests/FakeSystem.h"
#include "framework/dialogs/MessageBox.h"
#include "os/IniFile.h"
#include "os/KeyStore.h"
#include "platform/VavConfig.h"

#include <gtest/gtest.h>

namespace varoda {
namespace {

class VarodaDocTest : public test::FakeSystem {
protected:
    // Opens a file with the given text as the framework does.
    void Open(const std::string& text) {
        test::WriteFile(File("in.cfg"), text);
        ASSERT_TRUE(doc.OnOpenDocument(File("in.cfg").string()));
    }
    std::string LocalIps() {
        std::string value = "(none)";
        os::KeyStore(os::KeyRoot::Machine).GetString(kTimeServiceKey, kLocalIpsValue, value);
        return value;
    }

    CVarodaDoc doc;
};

TEST_F(VarodaDocTest, ListsUsableInterfacesAndResolvesTheCardByMacTextOrIndex) {
    Open("networkcard=00-1a-2b-3c-4d-6f\r\n");
    EXPECT_EQ(doc.GetSelectedInterface(), 3);
    EXPECT_FALSE(doc.IsModified());
    // Loopback left out; positions 1..3 walked backwards.
    std::vector<uint32_t> listed;
    const VavIfRow* row = nullptr;
    for (bool more = doc.GetFirstAdapter(row); more; more = doc.GetNextAdapter(row))
        listed.push_back(row->index);
    EXPECT_EQ(listed, (std::vector<uint32_t>{5, 3, 2}));
    EXPECT_FALSE(doc.GetNextAdapter(row));
    EXPECT_EQ(row, nullptr);

    doc.DeleteContents();
    Open("networkcard=5\r\n");
    EXPECT_EQ(doc.GetSelectedInterface(), 5);
    doc.DeleteContents();
    Open("networkcard=1\r\n");  // the loopback is not listed, so it cannot be picked
    EXPECT_EQ(doc.GetSelectedInterface(), kNoSelection);
}

TEST_F(VarodaDocTest, SavedFileReadsBackThroughThePlatformLibrary) {
    Open("# stage left\r\nnetworkcard=2\r\n");
    doc.SetSelectedInterface(3);
    doc.SetGateway("192.168.1.1");
    doc.SetSubnetMask("255.255.255.0");
    EXPECT_TRUE(doc.IsModified());
    const std::string out = File("ixokolt.cfg").string();
    ASSERT_TRUE(doc.OnSaveDocument(out));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(test::ReadFile(out),
              "# stage left\r\nnetworkcard=00-1A-2B-3C-4D-6F\r\ngateway=192.168.1.1\r\n"
              "subnetmask=255.255.255.0\r\n");

    ResetConfigForTest();
    ASSERT_EQ(ReadConfigFile(out.c_str()), 0);
    uint32_t gateway = 0, mask = 0;
    VavNetworkCard card;
    ASSERT_EQ(GetConfigGateway(gateway), 0);
    ASSERT_EQ(GetConfigSubnetMask(mask), 0);
    ASSERT_EQ(GetConfigNetworkCard(card), 0);
    EXPECT_EQ(gateway, 0xC0A80101u);
    EXPECT_EQ(mask, 0xFFFFFF00u);
    EXPECT_EQ(ChooseInterface(card, net.interfaces), 3u);
    ResetConfigForTest();
}

TEST_F(VarodaDocTest, HandsTheAddressToTheServicesWhoseFilesExist) {
    test::WriteFile(SystemDir() / "ixotftp.ini",
                    "[IXOTFTPSERVICE]\r\nROOT=/srv/tftp\r\nLOCAL_IP=1.1.1.1\r\n");
    Open("networkcard=2\r\n");
    ASSERT_TRUE(doc.OnSaveDocument(File("a.cfg").string()));
    // eth0's lowest address; its own mask is shown beside it, not the mask of another record.
    const std::string tftp = test::ReadFile(SystemDir() / "ixotftp.ini");
    EXPECT_EQ(tftp, "[IXOTFTPSERVICE]\r\nROOT=/srv/tftp\r\nLOCAL_IP=10.0.0.2\r\n");
    EXPECT_FALSE(std::filesystem::exists(SystemDir() / "dhcpd32.ini"));
    EXPECT_EQ(LocalIps(), "10.0.0.2");

    test::WriteFile(SystemDir() / "dhcpd32.ini", "[DHCP]\nLEASE=3600\n");
    doc.SetSelectedInterface(kTickRemoved);
    ASSERT_TRUE(doc.OnSaveDocument(File("a.cfg").string()));
    EXPECT_EQ(test::ReadFile(File("a.cfg")), "gateway=0.0.0.1\r\nsubnetmask=255.255.255.0\r\n");
    EXPECT_EQ(os::IniFile(SystemDir() / "dhcpd32.ini").Find("DHCP", "LOCAL_IP"), "");
    EXPECT_EQ(os::IniFile(SystemDir() / "dhcpd32.ini").GetString("DHCP", "LEASE"), "3600");
    EXPECT_EQ(os::IniFile(SystemDir() / "ixotftp.ini").Find("IXOTFTPSERVICE", "LOCAL_IP"), "");
    EXPECT_EQ(LocalIps(), "");
}

TEST_F(VarodaDocTest, AFailedSaveHandsNothingOver) {
    test::WriteFile(SystemDir() / "ixotftp.ini", "[IXOTFTPSERVICE]\r\nLOCAL_IP=1.1.1.1\r\n");
    Open("networkcard=3\r\n");
    fw::ScopedMessageBoxAnswers boxes({fw::IDOK});
    EXPECT_FALSE(doc.OnSaveDocument(File("no-such-folder/ixokolt.cfg").string()));
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_NE(boxes.asked[0].text.find("Failed to save document."), std::string::npos);
    EXPECT_EQ(test::ReadFile(SystemDir() / "ixotftp.ini"),
              "[IXOTFTPSERVICE]\r\nLOCAL_IP=1.1.1.1\r\n");
    EXPECT_EQ(LocalIps(), "(none)");
}

TEST_F(VarodaDocTest, WithoutAnInterfaceTable) {
    net.fail = true;
    EXPECT_FALSE(doc.OnNewDocument());
    EXPECT_TRUE(doc.GetLines().empty());
    // A file still opens; its card cannot be resolved.
    Open("gateway=10.0.0.1\r\nnetworkcard=00-1A-2B-3C-4D-5E\r\n");
    EXPECT_EQ(doc.GetGateway(), "10.0.0.1");
    EXPECT_EQ(doc.GetSelectedInterface(), kNoSelection);
    const VavIfRow* row = nullptr;
    EXPECT_FALSE(doc.GetFirstAdapter(row));
}

TEST_F(VarodaDocTest, NewDocumentAndChangesMarkIt) {
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.GetGateway(), "0.0.0.1");
    EXPECT_EQ(doc.GetSubnetMask(), "255.255.255.0");
    EXPECT_EQ(doc.GetSelectedInterface(), kNoSelection);
    EXPECT_FALSE(doc.IsModified());
    doc.SetGateway("0.0.0.1");
    EXPECT_FALSE(doc.IsModified());
    doc.SetSubnetMask("255.0.0.0");
    EXPECT_TRUE(doc.IsModified());
}

}  // namespace
}  // namespace varoda
