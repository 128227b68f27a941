// A flight's autosave survives the client being killed at any moment: a real
// child process autosaves in a loop and is killed hard at random
// times; after every kill the next start finds either a backup that verifies
// and loads whole, or the backup before it.
#include "platform/SystemInfo.h"
#include "support/BackupGeneration.h"
#include "support/KilledChild.h"
#include "support/StandaloneFlight.h"
#include "support/StoreFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

namespace {

#ifdef _WIN32
const std::string kAutosaver = QVL_BINARY_DIR "/tests/backup_autosaver.exe";
#else
const std::string kAutosaver = QVL_BINARY_DIR "/tests/backup_autosaver";
#endif

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

std::filesystem::file_time_type lastWrite(const std::string& file)
{
    std::error_code ec;
    const auto t = std::filesystem::last_write_time(file, ec);
    return ec ? std::filesystem::file_time_type::min() : t;
}

// Waits (at most 30 s) until the child has saved once, so that the kill falls
// among its saves however long the system takes to start a process (Wine
// takes hundreds of milliseconds).
void waitForASave(const std::string& settings, std::filesystem::file_time_type before)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (lastWrite(settings) == before && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TEST(BackupKill, EveryKillLeavesTheNewBackupOrThePreviousOne)
{
    startWithEmptyStore();
    const std::string settings = CIniParser::getInstance().getSettingsPath();
    CIniParser::destroyInstance();
    const std::string folder = systemInfo().userDataFolder();
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayUs(0, 100000);
    int generation = 0;
    int advanced = 0;
    for (int kill = 0; kill < 60; ++kill) {
        const auto before = lastWrite(settings);
        KilledChild child(kAutosaver, {folder});
        ASSERT_TRUE(child.started()) << "backup_autosaver did not start";
        waitForASave(settings, before);
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        std::string how;
        ASSERT_TRUE(child.kill(how)) << "the autosaver ended by itself, " << how;
        const int found = nextStartFinds(generation);
        ASSERT_GE(found, 0) << "after kill " << kill;
        advanced += found > generation ? 1 : 0;
        generation = found;
    }
    EXPECT_GT(advanced, 10) << "the kills came too early to test anything";
    startWithEmptyStore();
}

} // namespace
