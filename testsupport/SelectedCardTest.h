// A fixture for tests of what the suite sends through its selected card: ixokolt.cfg names
// this namespace's bridge (198.18.0.1) by its hardware address, and the bridge faces one
// test host (198.18.0.2, host 0 of hosts_).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "testsupport/NetHosts.h"

namespace ixo::testsupport {

class SelectedCardTest : public ::testing::Test {
protected:
    // A derived SetUp calls this first and returns when SetUpStopped().
    void SetUp() override;
    void TearDown() override;
    // True when SetUp skipped the test (no private namespace) or failed.
    bool SetUpStopped() const { return IsSkipped() || HasFatalFailure(); }

    std::unique_ptr<NetHosts> hosts_;

private:
    std::filesystem::path dir_;
};

}  // namespace ixo::testsupport
