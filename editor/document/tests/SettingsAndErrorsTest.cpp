#include <gtest/gtest.h>

#include "editor/document/ConfigData.h"
#include "editor/document/EditorStrings.h"
#include "editor/document/ErrorHandler.h"
#include "platform/Logger.h"
#include "testsupport/TempDir.h"

namespace {

TEST(ConfigDataTest, WithoutASettingsFileEveryValueIsItsDefault) {
    ixo::testsupport::TempDir dir;
    for (CConfigData config : {CConfigData(dir / "Tessaly.ini"), CConfigData({})}) {
        EXPECT_EQ(config.GetPassword(), "Pelur");
        EXPECT_EQ(config.GetDefaultDataDir(), "");
        EXPECT_EQ(config.GetUpdateSoftwareDelay(), 100);
        EXPECT_EQ(config.GetRccTimeout(), 10);
        EXPECT_EQ(config.GetXmitVersion(), 2);
        EXPECT_EQ(config.GetNodeId(), 0);
        EXPECT_EQ(config.GetBootpServerName(), "WovServer");
        EXPECT_EQ(config.GetTftpDir(), "/srv/tftp");
    }
    EXPECT_FALSE(CConfigData({}).SetPassword("secret"));
}

TEST(ConfigDataTest, ValuesComeFromTheirSectionsWholeAndThePasswordIsWritten) {
    ixo::testsupport::TempDir dir;
    std::string longFolder = "/home/lx/" + std::string(240, 'd');
    dir.Write("Tessaly.ini", "[wov]\npassword=stage\nDefaultDataDir=" + longFolder +
                                 "\n[Network]\nUpdateSoftwareDelay=250\nRCCTimeout=3\n"
                                 "[NodeStatus]\nXmitVersion=1\nNodeID=7\n"
                                 "[Bootp]\nServerName=FOH\nTFTPDir=/var/lib/nodes\n");
    CConfigData config(dir / "Tessaly.ini");
    EXPECT_EQ(config.GetPassword(), "stage");
    EXPECT_EQ(config.GetDefaultDataDir(), longFolder);  // kept whole, not cut to 199
    EXPECT_EQ(config.GetUpdateSoftwareDelay(), 250);
    EXPECT_EQ(config.GetRccTimeout(), 3);
    EXPECT_EQ(config.GetXmitVersion(), 1);
    EXPECT_EQ(config.GetNodeId(), 7);
    EXPECT_EQ(config.GetBootpServerName(), "FOH");
    EXPECT_EQ(config.GetTftpDir(), "/var/lib/nodes");

    ASSERT_TRUE(config.SetPassword("new one"));
    EXPECT_EQ(config.GetPassword(), "new one");
    EXPECT_NE(dir.Read("Tessaly.ini").find("RCCTimeout=3"), std::string::npos);
}

class ErrorHandlerTest : public ::testing::Test {
protected:
    void SetUp() override {
        CErrorHandler::SetLogPath(dir_ / "Wov.log");
        handler_ = CErrorHandler::GetInstance();
        handler_->SetSink(&sink_);
    }
    void TearDown() override {
        CErrorHandler::DeleteInstance();
        CErrorHandler::SetLogPath(std::nullopt);
        GetLogger()->Close();
    }
    std::string Log() const { return dir_.Read("Wov.log"); }

    ixo::testsupport::TempDir dir_;
    HeadlessErrorSink sink_{nullptr};
    CErrorHandler* handler_ = nullptr;
};

TEST_F(ErrorHandlerTest, ErrorsAreLoggedThenShownAndNoticesGoToTheMessageBar) {
    handler_->Report(CErrorHandler::TYPE_ERROR, "DocKoltInterface", 812, IDS_NODE_NOT_CREATED);
    handler_->Report(CErrorHandler::TYPE_ERROR, "DocKoltInterface", 813, 19999);
    handler_->ReportText(CErrorHandler::TYPE_NOTICE, "DocKoltInterface", 900,
                         "Offline nodes skipped.");
    handler_->ReportMessage(CErrorHandler::TYPE_WARNING, IDS_BOOTP_STOPPED);
    handler_->ReportText(8, "x", 1, "only logged");
    handler_->ShowReady();

    EXPECT_EQ(sink_.Errors(),
              (std::vector<std::string>{LoadEditorString(IDS_NODE_NOT_CREATED), "Unknown error"}));
    EXPECT_EQ(sink_.MessageTexts(), (std::vector<std::string>{"Offline nodes skipped.",
                                                              "bootp server stopped.", "Ready"}));
    std::string log = Log();
    EXPECT_NE(log.find("ERR "), std::string::npos);
    EXPECT_NE(log.find("DocKoltInterface(812): An error occurred creating a new network node"),
              std::string::npos);
    EXPECT_NE(log.find("INFO "), std::string::npos);
    EXPECT_NE(log.find("ErrorHandler(236): bootp server stopped."), std::string::npos);
    EXPECT_EQ(log.find("only logged"), std::string::npos);  // level 8 is not in the log's mask
}

TEST_F(ErrorHandlerTest, WithoutAMainWindowNoticesAreOnlyLogged) {
    sink_.SetHasMainWindow(false);
    handler_->ReportMessage(CErrorHandler::TYPE_NOTICE, IDS_BOOTP_STARTED);
    EXPECT_TRUE(sink_.MessageTexts().empty());
    EXPECT_NE(Log().find("ErrorHandler(242): bootp server started."), std::string::npos);
}

TEST_F(ErrorHandlerTest, TheAnswerToAbortRetryIgnoreComesBack) {
    sink_.QueueAnswer(ANSWER_RETRY);
    sink_.QueueAnswer(ANSWER_IGNORE);
    sink_.QueueAnswer(99);  // anything else counts as Abort
    EXPECT_EQ(handler_->AskAbortRetryIgnore(1, "DocKoltInterface", 10, "node failed"),
              ANSWER_RETRY);
    EXPECT_EQ(handler_->AskAbortRetryIgnore(1, "DocKoltInterface", 10, "node failed"),
              ANSWER_IGNORE);
    EXPECT_EQ(handler_->AskAbortRetryIgnore(1, "DocKoltInterface", 10, "node failed"),
              ANSWER_ABORT);
    EXPECT_EQ(sink_.Questions().size(), 3u);
    EXPECT_NE(Log().find("DocKoltInterface(10): node failed"), std::string::npos);
}

TEST(EditorStringsTest, TextsByIdAndTheUnknownOne) {
    EXPECT_STREQ(FindEditorString(IDS_PRODUCT_NAME), "Tessaly");
    EXPECT_STREQ(FindEditorString(IDS_SETTINGS_FILE), "Tessaly.ini");
    EXPECT_EQ(FindEditorString(1), nullptr);
    EXPECT_EQ(LoadEditorString(1), "Unknown error");
    EXPECT_EQ(FormatText(LoadEditorString(IDS_SENDING_CONFIG).c_str(), "Rack", "00:1a", "010.0"),
              "Sending config to: Rack (MAC=00:1a, IP=010.0)");
}

}  // namespace
