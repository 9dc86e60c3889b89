#include <gtest/gtest.h>
#include <unistd.h>

#include "os/Paths.h"
#include "os/Process.h"
#include "os/VersionRecord.h"
#include "testsupport/TempDir.h"

namespace {

using os::VersionStatus;

std::filesystem::path Probe() {
    return os::ProgramDir() / "os_version_probe";
}

TEST(Process, StartsWaitsAndReportsWhatCannotRun) {
    const os::StartResult started = os::StartProgram("/bin/sh", {"-c", "exit 7"});
    ASSERT_TRUE(started.Started()) << started.Message();
    int code = -1;
    EXPECT_EQ(os::WaitForProcess(started.pid, 10000, &code), os::ProcessWait::Exited);
    EXPECT_EQ(code, 7);
    EXPECT_FALSE(os::IsProcessAlive(started.pid));

    const os::StartResult sleeper = os::StartProgram("sleep", {"10"});  // found in PATH
    ASSERT_TRUE(sleeper.Started());
    EXPECT_TRUE(os::IsProcessAlive(sleeper.pid));
    EXPECT_EQ(os::WaitForProcess(sleeper.pid, 10), os::ProcessWait::Timeout);
    kill(sleeper.pid, SIGKILL);
    EXPECT_EQ(os::WaitForProcess(sleeper.pid, 10000, &code), os::ProcessWait::Exited);
    EXPECT_EQ(code, 128 + SIGKILL);

    EXPECT_EQ(os::StartProgram("/no/such/program", {}).error, ENOENT);
    EXPECT_FALSE(os::StartProgram("", {}).Started());
    EXPECT_TRUE(os::IsProcessAlive(getpid()));
    EXPECT_FALSE(os::IsProcessAlive(-1));
}

TEST(VersionRecord, ProgramReadsItsOwnAndAnotherProgramsRecord) {
    const os::StartResult run = os::StartProgram(Probe(), {});
    ASSERT_TRUE(run.Started()) << run.Message();
    int code = -1;
    ASSERT_EQ(os::WaitForProcess(run.pid, 10000, &code), os::ProcessWait::Exited);
    EXPECT_EQ(code, 0);  // the probe read its own record whole

    os::VersionRecord record;
    ASSERT_EQ(os::ReadVersionRecord(Probe(), record), VersionStatus::Ok);
    EXPECT_EQ(record.major, 4);
    EXPECT_EQ(record.minor, 0);
    EXPECT_EQ(record.patch, 14);
    EXPECT_EQ(record.stage, 3);
    EXPECT_EQ(record.patchDigit, 7);
    EXPECT_EQ(record.build, 123);
    EXPECT_EQ(record.buildDate, "11 August 2006");
    EXPECT_EQ(record.copyright, "Copyright (c) Ixo");
    EXPECT_EQ(record.productName, "IxoKolt \"Probe\" \\ Suite");
}

TEST(VersionRecord, FilesWithoutARecord) {
    os::VersionRecord record;
    EXPECT_EQ(os::OwnVersionRecord(record), VersionStatus::NoRecord);
    // This program holds the reader, but not the marker itself.
    EXPECT_EQ(os::ReadVersionRecord(os::ProgramPath(), record), VersionStatus::NoRecord);
    EXPECT_EQ(os::ReadVersionRecord("/no/such/file", record), VersionStatus::Unreadable);
    EXPECT_EQ(os::ReadVersionRecord("/tmp", record), VersionStatus::Unreadable);

    ixo::testsupport::TempDir dir;
    const std::string marker = os::VersionRecordMarker();
    ASSERT_EQ(marker.size(), os::kVersionMarkerSize);
    const std::string unended = "junk" + marker + std::string(os::kMaxVersionPayload, 'x');
    EXPECT_EQ(os::ReadVersionRecord(dir.Write("unended", unended), record),
              VersionStatus::NoRecord);
    EXPECT_EQ(os::ReadVersionRecord(dir.Write("empty", ""), record), VersionStatus::NoRecord);
}

TEST(VersionRecord, RecordFoundAcrossReadPiecesAfterABrokenOne) {
    ixo::testsupport::TempDir dir;
    const std::string marker = os::VersionRecordMarker();
    // A broken marker first, then a real record straddling the 1 MiB read boundary.
    std::string bytes = marker + std::string(os::kMaxVersionPayload + 10, 'x');
    bytes.resize((1 << 20) - 8, 'z');
    bytes += marker + "major=1\nminor=2\npatch=3\nstage=9\npatchDigit=0\nbuild=999\n" +
             "buildDate=d\ncopyright=c\nproductName=p" + std::string(1, '\0') + "tail";
    os::VersionRecord record;
    ASSERT_EQ(os::ReadVersionRecord(dir.Write("big", bytes), record), VersionStatus::Ok);
    EXPECT_EQ(record.build, 999);
    EXPECT_EQ(record.productName, "p");
}

TEST(VersionRecord, PayloadParsing) {
    struct Case {
        const char* payload;
        VersionStatus status;
        bool hasNumbers;
    };
    const Case cases[] = {
        {"major=1\nminor=2\npatch=3\nstage=4\npatchDigit=5\nbuild=6\nbuildDate=\ncopyright=\n"
         "productName=",
         VersionStatus::Ok, true},
        {"major=1\nminor=2\npatch=3\nstage=4\npatchDigit=5\nbuild=6", VersionStatus::Incomplete,
         true},
        {"major=1\nminor=2\npatch=3\nstage=4\npatchDigit=5\nbuild=65536\nbuildDate=\n"
         "copyright=\nproductName=",
         VersionStatus::Incomplete, false},
        {"major=x\nminor=2\npatch=3\nstage=4\npatchDigit=5\nbuild=6", VersionStatus::Incomplete,
         false},
        {"garbage without equals\n\n=\n", VersionStatus::Incomplete, false},
    };
    for (const Case& c : cases) {
        os::VersionRecord record;
        EXPECT_EQ(os::ParseVersionPayload(c.payload, record), c.status) << c.payload;
        EXPECT_EQ(record.hasNumbers, c.hasNumbers) << c.payload;
    }
    os::VersionRecord record;
    os::ParseVersionPayload("productName=a=b\nbuildDate=1 May", record);
    EXPECT_EQ(record.productName, "a=b");
    EXPECT_EQ(record.buildDate, "1 May");
    EXPECT_FALSE(record.copyright);
}

}  // namespace
