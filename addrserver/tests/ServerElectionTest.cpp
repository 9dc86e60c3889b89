// The election of the primary and backup address server.
#include "addrserver/ServerElection.h"

#include <gtest/gtest.h>

#include "TestReporter.h"

namespace addrserver {
namespace {

using test::Ip;

const uint32_t kOwn = Ip(10, 101, 0, 5);
const uint32_t kPeer = Ip(10, 101, 0, 7);
const uint32_t kOther = Ip(10, 101, 0, 9);

class ServerElectionTest : public ::testing::Test {
protected:
    test::TestReporter reporter;
    ServerElection election{reporter};
};

TEST_F(ServerElectionTest, PrimaryAfterTheWindowWhenNobodyAnswered) {
    election.Reset(kOwn, kModePrimary);
    election.Step(true, false);
    EXPECT_EQ(election.Role(), kRoleStopped);  // the start-up window is still open
    election.Step(false, false);
    EXPECT_EQ(election.Role(), kRolePrimary);
    EXPECT_EQ(election.Master(), kOwn);
    EXPECT_TRUE(reporter.Has(kMsgNotice, "This host now primary bootp server"));
}

TEST_F(ServerElectionTest, SecondPrimaryIsReportedAndNotFollowed) {
    election.Reset(kOwn, kModeBackup);
    election.UpdatePeer(kPeer, kRolePrimary, true);
    EXPECT_TRUE(reporter.Has(kMsgNotice, "Bootp Master server is 10.101.0.7"));
    election.UpdatePeer(kPeer, kRolePrimary, true);  // the same primary again: nothing new
    election.UpdatePeer(kOther, kRolePrimary, true);
    EXPECT_TRUE(reporter.Has(kMsgError, "Duplicate Primary Bootp server @ 10.101.0.9"));
    EXPECT_EQ(election.Master(), kPeer);
    EXPECT_EQ(reporter.messages.size(), 2u);
}

TEST_F(ServerElectionTest, BackupTakesOverWhenThePrimaryGoesAndStepsBackWhenItReturns) {
    election.Reset(kOwn, kModeBackup);
    election.UpdatePeer(kPeer, kRolePrimary, true);
    election.Step(false, false);
    EXPECT_EQ(election.Role(), kRoleStopped);
    election.UpdatePeer(kPeer, kRolePrimary, false);  // gone off line
    election.Step(false, false);
    EXPECT_EQ(election.Role(), kRoleActive);
    EXPECT_TRUE(reporter.Has(kMsgNotice, "This host now active bootp server"));
    election.UpdatePeer(kPeer, kRolePrimary, true);
    election.Step(false, false);
    EXPECT_EQ(election.Role(), kRoleBackup);
}

TEST_F(ServerElectionTest, OnlyTheLowestBackupBecomesActive) {
    election.Reset(kPeer, kModeBackup);
    election.UpdatePeer(kOwn, kRoleBackup, true);  // a backup with a lower address
    election.Step(false, false);
    EXPECT_EQ(election.Role(), kRoleStopped);
    election.UpdatePeer(kOwn, kRoleBackup, false);
    election.Step(false, false);
    EXPECT_EQ(election.Role(), kRoleActive);
}

TEST_F(ServerElectionTest, PeerStatesChangeTheMaster) {
    election.Reset(kOwn, kModeBackup);
    election.UpdatePeer(kPeer, kRoleActive, true);
    EXPECT_TRUE(reporter.Has(kMsgNotice, "Bootp server @ 10.101.0.7 is active"));
    election.UpdatePeer(kOther, kRoleActive, true);
    EXPECT_TRUE(reporter.Has(kMsgError, "Incorrect Active Backup Bootp server @ 10.101.0.9"));
    election.UpdatePeer(kPeer, kRoleBackup, true);
    EXPECT_TRUE(reporter.Has(kMsgNotice, "Bootp server @ 10.101.0.7 is backup"));
    EXPECT_EQ(election.Master(), 0u);
    EXPECT_EQ(election.LowestBackup(), kPeer);
    election.UpdatePeer(kOther, kRolePrimary, true);
    election.UpdatePeer(kOther, kRoleStopped, true);
    EXPECT_TRUE(reporter.Has(kMsgNotice, "Bootp server @ 10.101.0.9 stopped"));
    EXPECT_EQ(election.Master(), 0u);
}

TEST_F(ServerElectionTest, BackupTableKeepsTheTenLowest) {
    election.Reset(kOwn, kModeBackup);
    election.UpdatePeer(kOwn, kRoleBackup, true);  // never ourselves
    for (unsigned i = 0; i < 10; ++i)
        election.UpdatePeer(Ip(10, 101, 1, 20 + i), kRoleBackup, true);
    election.UpdatePeer(Ip(10, 101, 1, 10), kRoleBackup, true);  // replaces the highest
    election.UpdatePeer(Ip(10, 101, 1, 99), kRoleBackup, true);  // no room
    EXPECT_EQ(election.LowestBackup(), Ip(10, 101, 1, 10));
    EXPECT_TRUE(election.Knows(Ip(10, 101, 1, 28)));
    EXPECT_FALSE(election.Knows(Ip(10, 101, 1, 29)));
    EXPECT_FALSE(election.Knows(Ip(10, 101, 1, 99)));
}

}  // namespace
}  // namespace addrserver
