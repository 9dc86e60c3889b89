#include "platform/Logger.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "testsupport/TempDir.h"

namespace fs = std::filesystem;

namespace {

std::tm FixedTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class LoggerTest : public ::testing::Test {
protected:
    void SetUp() override { path_ = (dir_ / "Wov.log").string(); }

    std::string Contents() const { return ReadFile(path_); }

    ixo::testsupport::TempDir dir_;
    std::string path_;
    Logger logger_{[] { return FixedTime(2007, 3, 4, 5, 6, 7); }};
};

TEST_F(LoggerTest, EachPrefixIsSwitchedByItsFlagBit) {
    struct Case {
        uint32_t flags;
        const char* line;
    } cases[] = {
        {LOG_DEFAULT_FLAGS, "ERR 07-03-04 05:06:07 Foo.cpp(42): value 7\n"},
        {0x00000001, "value 7\n"},
        {0x10000001, "ERR value 7\n"},
        {0x20000001, "07-03-04 05:06:07 value 7\n"},
        {0x80000001, "Foo.cpp(42): value 7\n"},
    };
    for (const Case& c : cases) {
        fs::remove(path_);
        ASSERT_TRUE(logger_.Open(path_.c_str(), c.flags));
        logger_.LogMessage(LOG_ERR, "C:\\src\\dir/Foo.cpp", 42, "value %d", 7);
        EXPECT_EQ(Contents(), c.line) << std::hex << c.flags;
    }
}

TEST_F(LoggerTest, TwoDigitYearForBothCenturies) {
    Logger old([] { return FixedTime(1999, 12, 31, 23, 59, 58); });
    ASSERT_TRUE(old.Open(path_.c_str(), 0x20000001));
    old.LogMessage(LOG_ERR, "a.c", 1, "x");
    EXPECT_EQ(Contents(), "99-12-31 23:59:58 x\n");
}

TEST_F(LoggerTest, LevelMaskSelectsAndNamesEveryLevel) {
    ASSERT_TRUE(logger_.Open(path_.c_str(), 0x10000000 | 0x1FFF));
    const uint32_t levels[] = {LOG_ERR, LOG_WARN, LOG_INFO, LOG_DBG, LOG_1, LOG_5, LOG_9, 0x3};
    for (uint32_t level : levels) logger_.LogMessage(level, "f", 1, "m");
    EXPECT_EQ(Contents(),
              "ERR m\nWARN m\nINFO m\nDBG m\nLOG1 m\nLOG5 m\nLOG9 m\n?Unknown Log Level? m\n");

    fs::remove(path_);
    ASSERT_TRUE(logger_.Open(path_.c_str(), 0x10000005));  // errors and information only
    for (uint32_t level : {LOG_ERR, LOG_WARN, LOG_INFO, LOG_DBG, LOG_1})
        logger_.LogMessage(level, "f", 1, "m");
    EXPECT_EQ(Contents(), "ERR m\nINFO m\n");
    EXPECT_EQ(logger_.GetLevelMask(), 0x10000005u);
}

TEST_F(LoggerTest, NothingIsWrittenBeforeOpenOrAfterClose) {
    logger_.SetDebuggerChannel(true);
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    logger_.LogMessage(LOG_ERR, "f", 1, "before");
    ASSERT_TRUE(logger_.Open(path_.c_str(), LOG_DEFAULT_FLAGS | LOG_FLAG_STDOUT));
    logger_.Close();
    logger_.LogMessage(LOG_ERR, "f", 1, "after");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(Contents(), "");
}

TEST_F(LoggerTest, StandardOutputAndDebuggerChannelCarryTheSameLine) {
    ASSERT_TRUE(logger_.Open(nullptr, 0x50000001));  // no file: level name, stdout
    logger_.SetDebuggerChannel(true);
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    logger_.LogMessage(LOG_ERR, "f", 1, "to %s", "both");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "ERR to both\n");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "ERR to both\n");
}

TEST_F(LoggerTest, OpenFailsWhenTheFileCannotBeMade) {
    std::string bad = (dir_ / "missing" / "x.log").string();
    EXPECT_FALSE(logger_.Open(bad.c_str()));
    EXPECT_FALSE(logger_.IsOpen());
}

TEST_F(LoggerTest, FileAtTheLimitIsRotatedToPrevBeforeTheNextLine) {
    ASSERT_TRUE(logger_.Open(path_.c_str(), 0x00000001, 20));
    std::ofstream(path_ + ".prev") << "old copy\n";
    logger_.LogMessage(LOG_ERR, "f", 1, "0123456789");  // 11 bytes
    logger_.LogMessage(LOG_ERR, "f", 1, "abcdefgh");    // 20 bytes: exactly the limit
    EXPECT_EQ(Contents(), "0123456789\nabcdefgh\n");
    logger_.LogMessage(LOG_ERR, "f", 1, "new");
    EXPECT_EQ(Contents(), "new\n");
    EXPECT_EQ(ReadFile(path_ + ".prev"), "0123456789\nabcdefgh\n");
}

TEST_F(LoggerTest, WithoutKeepOpenEachMessageReopensTheFile) {
    const std::string moved = path_ + ".moved";
    ASSERT_TRUE(logger_.Open(path_.c_str(), 0x00000001, LOG_DEFAULT_MAX_SIZE, false));
    logger_.LogMessage(LOG_ERR, "f", 1, "one");
    fs::rename(path_, moved);
    logger_.LogMessage(LOG_ERR, "f", 1, "two");
    EXPECT_EQ(ReadFile(moved), "one\n");
    EXPECT_EQ(Contents(), "two\n");

    fs::remove(path_);
    fs::remove(moved);
    ASSERT_TRUE(logger_.Open(path_.c_str(), 0x00000001, LOG_DEFAULT_MAX_SIZE, true));
    logger_.LogMessage(LOG_ERR, "f", 1, "one");
    fs::rename(path_, moved);
    logger_.LogMessage(LOG_ERR, "f", 1, "two");  // still the open stream
    EXPECT_EQ(ReadFile(moved), "one\ntwo\n");
    EXPECT_FALSE(fs::exists(path_));
}

TEST_F(LoggerTest, OverlongLinesAreCutAtACharacterBoundary) {
    ASSERT_TRUE(logger_.Open(path_.c_str(), 0x10000001));
    std::string longText(2000, 'x');
    logger_.LogMessage(LOG_ERR, "f", 1, "%s", longText.c_str());
    std::string expected = "ERR " + std::string(LOG_MAX_LINE - 4, 'x') + "\n";
    EXPECT_EQ(Contents(), expected);

    fs::remove(path_);
    // "ERR " + 1018 x + a two-byte character would end at byte 1024: it is dropped whole.
    std::string straddling = std::string(1018, 'x') + "\xC3\xA9" + "tail";
    logger_.LogMessage(LOG_ERR, "f", 1, "%s", straddling.c_str());
    EXPECT_EQ(Contents(), "ERR " + std::string(1018, 'x') + "\n");
}

TEST_F(LoggerTest, EightThreadsLoseAndInterleaveNoLine) {
    ASSERT_TRUE(logger_.Open(path_.c_str(), LOG_DEFAULT_FLAGS, 100000000, false));
    constexpr int kThreads = 8, kLines = 300;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([this, t] {
            for (int i = 0; i < kLines; ++i)
                logger_.LogMessage(LOG_INFO, "T.cpp", t, "thread %d line %d %s", t, i,
                                   std::string(40, static_cast<char>('a' + t)).c_str());
        });
    for (auto& th : threads) th.join();

    std::istringstream in(Contents());
    std::set<std::string> seen;
    std::string line;
    while (std::getline(in, line)) EXPECT_TRUE(seen.insert(line).second) << line;
    ASSERT_EQ(seen.size(), static_cast<size_t>(kThreads * kLines));
    for (int t = 0; t < kThreads; ++t)
        for (int i = 0; i < kLines; ++i) {
            char expected[200];
            std::snprintf(expected, sizeof expected,
                          "INFO 07-03-04 05:06:07 T.cpp(%d): thread %d line %d %s", t, t, i,
                          std::string(40, static_cast<char>('a' + t)).c_str());
            EXPECT_EQ(seen.count(expected), 1u) << expected;
        }
}

TEST(ProcessLogger, IsMadeClosedWithTheDefaultsAndDeletedAtExit) {
    Logger* logger = GetLogger();
    EXPECT_EQ(logger, GetLogger());
    EXPECT_FALSE(logger->IsOpen());
    EXPECT_EQ(logger->GetLevelMask(), LOG_DEFAULT_FLAGS & 0x3FFFFFFF);
    DeleteLogger();
}

}  // namespace
