// A flight's autosave survives the client being killed at any moment: a real
// child process autosaves in a loop and is killed with SIGKILL at random
// times; after every kill the next start finds either a backup that verifies
// and loads whole, or the backup before it.
#include "platform/SystemInfo.h"
#include "support/BackupGeneration.h"
#include "support/StandaloneFlight.h"
#include "support/StoreFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

pid_t startAutosaver(const std::string& folder)
{
    const std::string program = QVL_BINARY_DIR "/tests/backup_autosaver";
    std::vector<char*> argv{const_cast<char*>(program.c_str()), const_cast<char*>(folder.c_str()), nullptr};
    pid_t child = -1;
    if (::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return child;
}

// What the next start of the client finds: the generation of a verified
// backup (0 when there is none), or -1 with the fault recorded.
int nextStartFinds(int previous)
{
    StandaloneFlight f;
    BackupGeneration flight{f.client, f.sim, f.blackbox, f.report};
    int found = 0;
    if (f.report.hasContinue()) {
        EXPECT_TRUE(f.report.verifyCheckCode()) << "the flags say a backup exists but its code does not match";
        EXPECT_TRUE(f.report.loadBackup());
        found = flight.loaded();
        EXPECT_EQ(flight.mismatch(found), "") << "generation " << found;
    }
    EXPECT_GE(found, previous) << "a backup older than the last one came back";
    // Leaves the files as they are: the store only writes back what it read.
    CIniParser::destroyInstance();
    return ::testing::Test::HasFailure() ? -1 : found;
}

TEST(BackupKill, EveryKillLeavesTheNewBackupOrThePreviousOne)
{
    startWithEmptyStore();
    const std::string folder = systemInfo().userDataFolder();
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayUs(5000, 100000);
    int generation = 0;
    int advanced = 0;
    for (int kill = 0; kill < 60; ++kill) {
        const pid_t child = startAutosaver(folder);
        ASSERT_GT(child, 0) << "backup_autosaver did not start";
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the autosaver ended by itself, status " << status;
        const int found = nextStartFinds(generation);
        ASSERT_GE(found, 0) << "after kill " << kill;
        advanced += found > generation ? 1 : 0;
        generation = found;
    }
    EXPECT_GT(advanced, 10) << "the kills came too early to test anything";
    startWithEmptyStore();
}

} // namespace
