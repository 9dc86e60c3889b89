// Node status over the real transport: two programs of one PC (two registrations with
// one Travex) see each other as two members and see each other go.
#include <gtest/gtest.h>

#include <functional>

#include "nodestatus/CNS2.h"
#include "testsupport/NetHosts.h"
#include "testsupport/Notice.h"
#include "testsupport/TravexTestEnv.h"
#include "transport/CXPort.h"

namespace {

class Program : public CNS2 {
public:
    // `stepped` is told of each of the engine's work steps.
    explicit Program(ixo::testsupport::Notice& stepped)
        : CNS2(0, NS2_PORT, NS2_GROUP, 0x3041, 1, "program", true, 0, 50), stepped_(stepped) {
        SetReportInterval(500);
    }
    ~Program() override { Stop(); }
    void OnNodeOnline(CNS2Node&) override { ++online; }
    void OnNodeOffline(CNS2Node&) override { ++offline; }
    void OnWorkStep() override { stepped_.Notify(); }
    bool GetOwnMacAddress(VavMacAddress& mac) override {
        mac = VavMacAddress("02:18:00:00:00:01");
        return true;
    }
    std::atomic<int> online{0}, offline{0};

private:
    ixo::testsupport::Notice& stepped_;
};

TEST(NS2OverTravex, TwoProgramsOfOnePcAreTwoMembers) {
    IXO_REQUIRE_NETNS();
    ixo::testsupport::TravexTestEnv env("ns2");
    CXPort editor, service;
    uint8_t editorId = 0, serviceId = 0;
    ASSERT_EQ(editor.open(&editorId, 1, NS2_PORT, 100, 100), 0);
    ASSERT_EQ(service.open(&serviceId, 1, NS2_PORT, 100, 100), 0);
    ixo::testsupport::Notice stepped;
    Program a(stepped), b(stepped);
    EXPECT_EQ(a.CreateWorkThread(static_cast<CXPort*>(nullptr)), NS2_E_NO_FACTORY);
    ASSERT_EQ(a.CreateWorkThread(&editor), NS2_S_OK);
    ASSERT_EQ(b.CreateWorkThread(&service), NS2_S_OK);
    ASSERT_TRUE(stepped.Await([&] { return a.online == 1 && b.online == 1; }, 2000));
    auto seen = a.CopyNodes();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].GetSourceAppId(), serviceId);
    EXPECT_EQ(seen[0].GetMacAddress(), VavMacAddress("02:18:00:00:00:01"));
    // A stop says goodbye; the other sees it go at its next sweep.
    b.Stop();
    EXPECT_TRUE(stepped.Await([&] { return a.offline == 1; }, 2000));
    a.Stop();
}

}  // namespace
