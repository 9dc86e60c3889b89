// Objects shared between processes, seen from one process and from two.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <functional>
#include <thread>
#include <vector>

#include "os/NamedEvent.h"
#include "os/NamedMutex.h"
#include "os/SharedMemory.h"

namespace {

using os::LockResult;
using os::OpenResult;
using os::WaitResult;

// A name no other test process uses.
std::string Unique(std::string_view what) {
    return "ostest-" + std::to_string(getpid()) + "-" + std::string(what);
}

std::string FileOf(std::string_view kind, std::string_view name) {
    return "/dev/shm/ixo-" + std::to_string(geteuid()) + "-" + std::string(kind) + "-" +
           std::string(name);
}

// Runs `body` in a child process; its return value is the child's exit code.
pid_t Spawn(const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
        _exit(body());
    }
    return pid;
}

int ExitCodeOf(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(NamedObjects, NamesAreCheckedBeforeUse) {
    struct Case {
        std::string name;
        bool good;
        const char* cleaned;
    };
    const Case cases[] = {
        {"TCPPacketArrived12", true, "TCPPacketArrived12"},
        {"Global\\IXOFTP_BOOTP_NS2_ACCECC_MUTEX", true, "IXOFTP_BOOTP_NS2_ACCECC_MUTEX"},
        {"Local\\with space.~!", true, "with space.~!"},
        {std::string(os::kMaxObjectName, 'n'), true, nullptr},
        {std::string(os::kMaxObjectName + 1, 'n'), false, ""},
        {"", false, ""},
        {"Global\\", false, ""},
        {"a/b", false, ""},
        {"a\\b", false, ""},
        {"tab\there", false, ""},
        {"caf\xC3\xA9", false, ""},
    };
    for (const Case& c : cases) {
        std::string cleaned = "x";
        EXPECT_EQ(os::CheckObjectName(c.name, cleaned), c.good) << c.name;
        if (c.cleaned != nullptr) {
            EXPECT_EQ(cleaned, c.cleaned);
        }
    }
    os::NamedEvent event;
    EXPECT_EQ(event.Create("a/../../etc/x", true, false), OpenResult::BadName);
    EXPECT_FALSE(event.IsOpen());
    EXPECT_FALSE(event.Set());
    EXPECT_EQ(event.Wait(0), WaitResult::Failed);
    os::NamedMutex mutex;
    EXPECT_EQ(mutex.Lock(0), LockResult::Failed);
}

TEST(NamedObjects, EventOpensOrCreatesAndLivesWhileAHandleIsOpen) {
    const std::string name = Unique("life");
    os::NamedEvent missing;
    EXPECT_EQ(missing.Open(name), OpenResult::NotFound);

    os::NamedEvent first, second;
    ASSERT_EQ(first.Create(name, true, false), OpenResult::Created);
    EXPECT_FALSE(first.AlreadyExisted());
    ASSERT_EQ(second.Create(name, false, true), OpenResult::Opened);  // settings of the first
    EXPECT_TRUE(second.AlreadyExisted());
    EXPECT_EQ(second.Wait(0), WaitResult::Timeout);

    struct stat info {};
    ASSERT_EQ(stat(FileOf("event", name).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    first.Close();
    EXPECT_EQ(stat(FileOf("event", name).c_str(), &info), 0);  // second still holds it
    second.Close();
    EXPECT_NE(stat(FileOf("event", name).c_str(), &info), 0);  // gone with the last handle
    EXPECT_EQ(first.Create(name, false, false), OpenResult::Created);
}

TEST(NamedObjects, OpeningAndClosingRacesNeverFail) {
    const std::string name = Unique("race");
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 200; ++i) {
                os::SharedMemory memory;
                if (!os::IsOpen(memory.Create(name, 64)) || memory.Size() != 64) {
                    ++failures;
                }
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    EXPECT_EQ(failures, 0);
    os::SharedMemory after;
    EXPECT_EQ(after.Open(name), OpenResult::NotFound);  // the last closer removed it
}

TEST(NamedObjects, EventResetModes) {
    os::NamedEvent manual, automatic;
    ASSERT_TRUE(os::IsOpen(manual.Create(Unique("manual"), true, true)));
    ASSERT_TRUE(os::IsOpen(automatic.Create(Unique("auto"), false, false)));
    EXPECT_EQ(manual.Wait(0), WaitResult::Signaled);
    EXPECT_EQ(manual.Wait(0), WaitResult::Signaled);
    manual.Reset();
    EXPECT_EQ(manual.Wait(20), WaitResult::Timeout);

    EXPECT_EQ(automatic.Wait(0), WaitResult::Timeout);
    std::thread setter([&] { automatic.Set(); });
    EXPECT_EQ(automatic.Wait(5000), WaitResult::Signaled);
    setter.join();
    EXPECT_EQ(automatic.Wait(0), WaitResult::Timeout);  // taken by the wait
}

TEST(NamedObjects, ObjectOfAnotherShapeIsRefused) {
    const std::string name = Unique("shape");
    std::ofstream(FileOf("event", name)) << "not an event";
    os::NamedEvent event;
    EXPECT_EQ(event.Create(name, true, false), OpenResult::WrongKind);
    unlink(FileOf("event", name).c_str());
}

TEST(NamedObjects, MutexIsRecursiveAndHeldAgainstOtherThreads) {
    os::NamedMutex mutex;
    ASSERT_EQ(mutex.Create(Unique("rec")), OpenResult::Created);
    ASSERT_EQ(mutex.Lock(0), LockResult::Acquired);
    ASSERT_EQ(mutex.Lock(os::kInfinite), LockResult::Acquired);
    LockResult other = LockResult::Failed;
    bool otherUnlock = true;
    std::thread([&] {
        other = mutex.Lock(20);
        otherUnlock = mutex.Unlock();
    }).join();
    EXPECT_EQ(other, LockResult::Timeout);
    EXPECT_FALSE(otherUnlock);  // not its owner
    EXPECT_TRUE(mutex.Unlock());
    EXPECT_TRUE(mutex.Unlock());
    EXPECT_FALSE(mutex.Unlock());
}

TEST(NamedObjects, SharedMemorySizes) {
    const std::string name = Unique("sizes");
    os::SharedMemory memory, again, missing;
    EXPECT_EQ(memory.Create(name, 0), OpenResult::BadSize);
    EXPECT_EQ(memory.Create(name, os::kMaxSharedSize + 1), OpenResult::BadSize);
    EXPECT_EQ(missing.Open(name), OpenResult::NotFound);
    ASSERT_EQ(memory.Create(name, 100), OpenResult::Created);
    EXPECT_EQ(memory.Size(), 100u);
    const auto* bytes = static_cast<const unsigned char*>(memory.Data());
    EXPECT_EQ(std::count(bytes, bytes + 100, 0), 100);  // zero-filled
    ASSERT_EQ(again.Create(name, 4096), OpenResult::Opened);
    EXPECT_EQ(again.Size(), 100u);  // the existing size holds
}

TEST(NamedObjectsTwoProcesses, EventSetInOneIsSeenInTheOther) {
    const std::string name = Unique("xevent");
    os::NamedEvent event;
    ASSERT_EQ(event.Create(name, false, false), OpenResult::Created);
    const pid_t child = Spawn([&] {
        os::NamedEvent theirs;
        if (theirs.Create(name, false, false) != OpenResult::Opened) {
            return 1;
        }
        return theirs.Set() ? 0 : 2;
    });
    EXPECT_EQ(event.Wait(10000), WaitResult::Signaled);
    EXPECT_EQ(ExitCodeOf(child), 0);
}

TEST(NamedObjectsTwoProcesses, MemoryFilledInOneIsReadInTheOther) {
    const std::string name = Unique("xmem");
    os::SharedMemory memory;
    os::NamedEvent filled;
    ASSERT_EQ(memory.Create(name, 4096), OpenResult::Created);
    ASSERT_EQ(filled.Create(name, true, false), OpenResult::Created);
    const pid_t child = Spawn([&] {
        os::SharedMemory theirs;
        os::NamedEvent done;
        if (theirs.Open(name) != OpenResult::Opened || theirs.Size() != 4096 ||
            done.Open(name) != OpenResult::Opened) {
            return 1;
        }
        std::memcpy(theirs.Data(), "TravexTCPPacketProcessed", 25);
        done.Set();
        return 0;
    });
    ASSERT_EQ(filled.Wait(10000), WaitResult::Signaled);
    EXPECT_STREQ(static_cast<const char*>(memory.Data()), "TravexTCPPacketProcessed");
    EXPECT_EQ(ExitCodeOf(child), 0);
}

TEST(NamedObjectsTwoProcesses, MutexOfAKilledHolderIsTakenAsAbandoned) {
    const std::string name = Unique("xmutex");
    os::NamedMutex mutex;
    os::NamedEvent held;
    ASSERT_EQ(mutex.Create(name), OpenResult::Created);
    ASSERT_EQ(held.Create(name, true, false), OpenResult::Created);
    const pid_t child = Spawn([&] {
        os::NamedMutex theirs;
        os::NamedEvent locked;
        if (theirs.Open(name) != OpenResult::Opened || theirs.Lock(0) != LockResult::Acquired ||
            locked.Open(name) != OpenResult::Opened) {
            return 1;
        }
        locked.Set();
        pause();  // holds the mutex until killed
        return 2;
    });
    ASSERT_EQ(held.Wait(10000), WaitResult::Signaled);
    EXPECT_EQ(mutex.Lock(0), LockResult::Timeout);
    kill(child, SIGKILL);
    EXPECT_EQ(ExitCodeOf(child), 128 + SIGKILL);
    EXPECT_EQ(mutex.Lock(5000), LockResult::Abandoned);
    EXPECT_TRUE(mutex.Unlock());
    EXPECT_EQ(mutex.Lock(0), LockResult::Acquired);  // usable as before
    EXPECT_TRUE(mutex.Unlock());
}

TEST(NamedObjectsTwoProcesses, HandlesOfAKilledProcessDoNotKeepTheObject) {
    const std::string name = Unique("xkill");
    os::NamedEvent ready;
    ASSERT_EQ(ready.Create(name, true, false), OpenResult::Created);
    const pid_t child = Spawn([&] {
        os::SharedMemory theirs;
        os::NamedEvent made;
        if (theirs.Create(name, 64) != OpenResult::Created ||
            made.Open(name) != OpenResult::Opened) {
            return 1;
        }
        made.Set();
        pause();
        return 2;
    });
    ASSERT_EQ(ready.Wait(10000), WaitResult::Signaled);
    os::SharedMemory mine;
    ASSERT_EQ(mine.Open(name), OpenResult::Opened);
    kill(child, SIGKILL);
    ExitCodeOf(child);
    mine.Close();  // now the last handle
    EXPECT_EQ(mine.Open(name), OpenResult::NotFound);
}

// A server keeps a client's memory mapped between calls without keeping it alive: the
// client's close removes it, and memory a killed client held goes once the watcher lets go.
TEST(NamedObjectsTwoProcesses, WatchingHandleKeepsNothingAlive) {
    const std::string name = Unique("xwatch");
    {
        os::SharedMemory client, watcher;
        ASSERT_EQ(client.Create(name, 64), OpenResult::Created);
        std::memcpy(client.Data(), "TCPSend", 8);
        ASSERT_EQ(watcher.Watch(name), OpenResult::Opened);
        EXPECT_STREQ(static_cast<const char*>(watcher.Data()), "TCPSend");
        EXPECT_TRUE(watcher.StillNamed());
        EXPECT_TRUE(watcher.Held());
        client.Close();  // the last holder: removed although the watcher maps it
        EXPECT_FALSE(watcher.StillNamed());
        EXPECT_FALSE(std::ifstream(FileOf("shm", name)).good());
    }
    os::NamedEvent ready;
    ASSERT_EQ(ready.Create(name, true, false), OpenResult::Created);
    const pid_t child = Spawn([&] {
        os::SharedMemory theirs;
        os::NamedEvent made;
        if (theirs.Create(name, 64) != OpenResult::Created ||
            made.Open(name) != OpenResult::Opened) {
            return 1;
        }
        made.Set();
        pause();
        return 2;
    });
    ASSERT_EQ(ready.Wait(10000), WaitResult::Signaled);
    os::SharedMemory watcher;
    ASSERT_EQ(watcher.Watch(name), OpenResult::Opened);
    EXPECT_TRUE(watcher.Held());
    kill(child, SIGKILL);
    ExitCodeOf(child);
    EXPECT_FALSE(watcher.Held());
    EXPECT_TRUE(watcher.StillNamed());  // nobody closed it
    watcher.Close();
    EXPECT_FALSE(std::ifstream(FileOf("shm", name)).good());
}

}  // namespace
