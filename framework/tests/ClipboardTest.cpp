#include "framework/persist/Clipboard.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace fw {
namespace {

// Each test keeps its format registry in a file of its own.
class ClipboardTest : public testing::Test {
protected:
    void SetUp() override { SetClipboardFormatFile(file_); }
    void TearDown() override { SetClipboardFormatFile({}); }
    ixo::testsupport::TempDir dir_;
    std::filesystem::path file_ = dir_ / "clipformats";
};

TEST_F(ClipboardTest, PrivateFormatRoundTripBesideText) {
    ClipFormat styles = RegisterClipboardFormat("Grid Styles 00400000");
    ASSERT_GE(styles, kFirstPrivateFormat);
    EXPECT_EQ(RegisterClipboardFormat("grid styles 00400000"), styles);
    ClipFormat direct = RegisterClipboardFormat("GX_DIRECTCOPY");
    EXPECT_EQ(direct, styles + 1);
    EXPECT_EQ(GetClipboardFormatName(direct), "GX_DIRECTCOPY");
    EXPECT_EQ(RegisterClipboardFormat(""), 0u);
    EXPECT_EQ(RegisterClipboardFormat("two\nlines"), 0u);

    const std::vector<std::uint8_t> bytes = {0x02, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x10};
    {
        Clipboard clip;
        ASSERT_TRUE(clip.IsOpen());
        Clipboard other;  // only one may have it open
        EXPECT_FALSE(other.IsOpen());
        EXPECT_FALSE(other.SetText("x"));
        ASSERT_TRUE(clip.Empty());
        EXPECT_TRUE(clip.SetText("a\tb\r\nc"));
        EXPECT_TRUE(clip.SetData(styles, bytes));
    }
    EXPECT_TRUE(Clipboard::IsFormatAvailable(styles));
    EXPECT_TRUE(Clipboard::IsFormatAvailable(CF_TEXT));
    EXPECT_FALSE(Clipboard::IsFormatAvailable(direct));
    {
        Clipboard clip;
        EXPECT_EQ(clip.GetData(styles), bytes);
        EXPECT_EQ(clip.GetText(), "a\tb\r\nc");
        EXPECT_FALSE(clip.GetData(direct));
        clip.Empty();
        clip.SetText("only text");
    }
    EXPECT_FALSE(Clipboard::IsFormatAvailable(styles));
    Clipboard clip;
    EXPECT_EQ(clip.GetText(), "only text");
}

TEST_F(ClipboardTest, OneNameGivesOneNumberInEveryProcess) {
    ClipFormat a = RegisterClipboardFormat("Format A");
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Another process: forget what this one learnt and register in the other order.
        SetClipboardFormatFile(file_);
        ClipFormat ids[2] = {RegisterClipboardFormat("Format B"),
                             RegisterClipboardFormat("FORMAT A")};
        ssize_t n = ::write(pipeFds[1], ids, sizeof ids);
        ::_exit(n == sizeof ids ? 0 : 1);
    }
    ::close(pipeFds[1]);
    ClipFormat ids[2] = {0, 0};
    ASSERT_EQ(::read(pipeFds[0], ids, sizeof ids), static_cast<ssize_t>(sizeof ids));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(ids[1], a);
    EXPECT_EQ(RegisterClipboardFormat("Format B"), ids[0]);
    EXPECT_EQ(ids[0], a + 1);
}

}  // namespace
}  // namespace fw
