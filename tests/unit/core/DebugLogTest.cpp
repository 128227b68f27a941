// The debug log: exact line formats, the header once per process, daily files
// across midnight, multi-line texts and the purge of old files.
#include "core/CivilTime.h"
#include "core/ClientConfig.h"
#include "core/DebugLog.h"
#include "core/ServerAddress.h"
#include "platform/headless/FixedSystemInfo.h"
#include "platform/headless/ManualClock.h"
#include "support/LogCapture.h"
#include "support/SpecialFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// 2026-12-06 23:45:01 UTC
constexpr std::int64_t kLateEvening = 1796600701000;

std::string dataFolder()
{
    return CClientConfig::getInstance().getDataFolder();
}

// The first channel of a process writes the header; tests that compare exact
// lines start after it.
void writeHeaderFirst()
{
    CDebugLog first("First", CDebugLog::Quiet{});
}

TEST(DebugLog, WritesEachLevelWithItsPrefix)
{
    ScopedManualClock clock(kLateEvening);
    writeHeaderFirst();
    LogCapture capture;
    {
        CDebugLog log("CClient");
        log.debug("Gear state Down change count(1)");
        log.warn("w");
        log.error("e");
        log.line("plain");
        log.debugf("%d kg at %.1f", 1200, 2.5);
    }
    const std::vector<std::string> expected{
        "2026-12-06 - 23:45:01 Init: CClient",
        "2026-12-06 - 23:45:01 Debug: [CClient] Gear state Down change count(1)",
        "2026-12-06 - 23:45:01 Warn: [CClient] w",
        "2026-12-06 - 23:45:01 Error: [CClient] e",
        "2026-12-06 - 23:45:01 plain",
        "2026-12-06 - 23:45:01 Debug: [CClient] 1200 kg at 2.5",
        "2026-12-06 - 23:45:01 Delete: CClient",
    };
    EXPECT_EQ(capture.lines(), expected);
}

TEST(DebugLog, QuietChannelsDoNotAnnounceThemselves)
{
    ScopedManualClock clock(kLateEvening);
    writeHeaderFirst();
    LogCapture capture;
    {
        CDebugLog log("CSound", CDebugLog::Quiet{});
        log.warn("x");
    }
    EXPECT_EQ(capture.lines(), std::vector<std::string>{"2026-12-06 - 23:45:01 Warn: [CSound] x"});
}

TEST(DebugLog, InnerNewlinesStartContinuationLines)
{
    ScopedManualClock clock(kLateEvening);
    writeHeaderFirst();
    CDebugLog log("CReport", CDebugLog::Quiet{});
    LogCapture capture;
    log.error("first\nsecond\nthird");
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                   "2026-12-06 - 23:45:01 Error: [CReport] first",
                                   "2026-12-06 - 23:45:01 Error: [CReport]  --> second",
                                   "2026-12-06 - 23:45:01 Error: [CReport]  --> third",
                               }));
}

// A warning at every check (20 a second) costs a line a minute in the file;
// the listener still hears each one, and debug lines are never folded.
TEST(DebugLog, RepeatedWarningsAreFoldedIntoACountAMinute)
{
    ScopedManualClock clock(kLateEvening);
    writeHeaderFirst();
    LogCapture capture;
    int heard = 0;
    CDebugLog::setListener([&](CDebugLog::Level, const std::string&, const std::string&) { ++heard; });
    {
        CDebugLog log("CCheatDetector", CDebugLog::Quiet{});
        for (int i = 0; i < 2500; ++i) { // 125 s
            log.warnf("Last tank and last fuel don't match: %d != %d", 6600 - i, 6609 - i);
            if (i % 1000 == 0)
                log.debugf("nFuelDiff = %d", i);
            if (i == 100)
                log.error("other words");
            clock->advance(50);
        }
    }
    CDebugLog::setListener({});
    EXPECT_EQ(heard, 2500 + 3 + 1);
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                   "2026-12-06 - 23:45:01 Warn: [CCheatDetector] Last tank and last fuel don't match: "
                                   "6600 != 6609",
                                   "2026-12-06 - 23:45:01 Debug: [CCheatDetector] nFuelDiff = 0",
                                   "2026-12-06 - 23:45:06 Error: [CCheatDetector] other words",
                                   "2026-12-06 - 23:45:51 Debug: [CCheatDetector] nFuelDiff = 1000",
                                   "2026-12-06 - 23:46:01 Warn: [CCheatDetector] 1199 more since 23:45:01, the last: "
                                   "Last tank and last fuel don't match: 5401 != 5410",
                                   "2026-12-06 - 23:46:41 Debug: [CCheatDetector] nFuelDiff = 2000",
                                   "2026-12-06 - 23:47:01 Warn: [CCheatDetector] 1200 more since 23:46:01, the last: "
                                   "Last tank and last fuel don't match: 4201 != 4210",
                                   "2026-12-06 - 23:47:06 Warn: [CCheatDetector] 100 more since 23:47:01, the last: "
                                   "Last tank and last fuel don't match: 4101 != 4110",
                               }));
}

TEST(DebugLog, HeaderOncePerProcess)
{
    ScopedManualClock clock(kLateEvening);
    CDebugLog::resetProcessState();
    LogCapture capture;
    { CDebugLog first("A", CDebugLog::Quiet{}); }
    { CDebugLog second("B", CDebugLog::Quiet{}); }
    const std::string rule = "2026-12-06 - 23:45:01 ----------------------------------";
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                   rule,
                                   "2026-12-06 - 23:45:01 ---------Quenvale Log-----------",
                                   rule,
                                   "2026-12-06 - 23:45:01 - Version: v2.6.1.0",
                                   "2026-12-06 - 23:45:01 - Server: " + CServerAddress::get(),
                                   "2026-12-06 - 23:45:01 - Max Data: 32768",
                                   rule,
                                   rule,
                                   rule,
                               }));
}

TEST(DebugLog, AChannelKeepsItsDayAcrossMidnight)
{
    ScopedManualClock clock(kLateEvening);
    CDebugLog before("Before", CDebugLog::Quiet{});
    clock->advance(20 * 60 * 1000); // 00:05:01 next day
    CDebugLog after("After", CDebugLog::Quiet{});
    before.debug("late");
    after.debug("early");
    EXPECT_EQ(before.filePath(), dataFolder() + "quenvale_debug.v2.6.1.0.2026-12-06.txt");
    EXPECT_EQ(after.filePath(), dataFolder() + "quenvale_debug.v2.6.1.0.2026-12-07.txt");
    std::ifstream in(before.filePath());
    std::string line, last;
    while (std::getline(in, line))
        last = line;
    EXPECT_EQ(last, "2026-12-07 - 00:05:01 Debug: [Before] late");
}

// A FIFO where the day's log belongs would block the open for ever: the line
// is dropped and the client goes on.
TEST(DebugLog, SomethingNotAFileInTheLogsPlaceLosesTheLineNotTheClient)
{
    ScopedManualClock clock(kLateEvening + 3 * 24 * 3600 * 1000LL);
    CDebugLog log("Blocked", CDebugLog::Quiet{});
    fs::remove(log.filePath()); // the header the first channel of a process wrote
    ASSERT_TRUE(makeSpecialFile(log.filePath()));
    log.error("not written");
    EXPECT_FALSE(fs::is_regular_file(log.filePath()));
    removeSpecialFile(log.filePath());
    log.error("written");
    EXPECT_TRUE(fs::is_regular_file(log.filePath()));
}

TEST(DebugLog, TimestampsUseLocalTime)
{
    ScopedManualClock clock(kLateEvening);
    clock->setLocalOffset(2 * 3600);
    CDebugLog log("Local", CDebugLog::Quiet{});
    EXPECT_EQ(log.filePath(), dataFolder() + "quenvale_debug.v2.6.1.0.2026-12-07.txt");
}

struct AgeCase {
    int wy, wm, wd, ty, tm, td;
    int age;
};

class LogAgeTest : public ::testing::TestWithParam<AgeCase> {};

TEST_P(LogAgeTest, UsesTheThirtyDayMonthRule)
{
    const AgeCase& c = GetParam();
    EXPECT_EQ(CDebugLog::ageInDays(c.wy, c.wm, c.wd, c.ty, c.tm, c.td), c.age);
}

INSTANTIATE_TEST_SUITE_P(Dates, LogAgeTest,
                         ::testing::Values(AgeCase{2026, 3, 31, 2026, 4, 1, 0}, AgeCase{2026, 1, 30, 2026, 3, 1, 31},
                                           AgeCase{2026, 1, 31, 2026, 3, 1, 30}, AgeCase{2025, 12, 31, 2026, 1, 1, 5},
                                           AgeCase{2026, 5, 5, 2026, 5, 5, 0}));

void touch(const std::string& name, const CivilTime& day)
{
    const std::string path = dataFolder() + name;
    std::ofstream(path) << "x";
    using namespace std::chrono;
    fs::last_write_time(path, file_clock::from_sys(sys_seconds(seconds(day.toEpochSeconds()))));
}

// The most recent noon, going back from today, whose age by the log rule is `age`.
CivilTime dayWithAge(const CivilTime& today, int age)
{
    for (int back = 0; back < 400; ++back) {
        CivilTime d = CivilTime::fromEpochSeconds(today.toEpochSeconds() - back * 86400LL);
        if (CDebugLog::ageInDays(d.year, d.month, d.day, today.year, today.month, today.day) == age)
            return d;
    }
    return today;
}

TEST(DebugLog, FirstChannelPurgesOldTextFiles)
{
    // Files on disk carry real times, so the purge runs on the real date.
    SystemClock real;
    ScopedManualClock clock(real.nowMs());
    const CivilTime today = CivilTime::utcNow();
    touch("age31.txt", dayWithAge(today, 31));
    touch("age30.txt", dayWithAge(today, 30));
    touch("old.out", dayWithAge(today, 200));
    touch("old.ini", dayWithAge(today, 200));
    CDebugLog::resetProcessState();
    LogCapture capture;
    { CDebugLog first("Purger", CDebugLog::Quiet{}); }
    EXPECT_FALSE(fs::exists(dataFolder() + "age31.txt"));
    EXPECT_TRUE(fs::exists(dataFolder() + "age30.txt"));
    EXPECT_FALSE(fs::exists(dataFolder() + "old.out"));
    EXPECT_TRUE(fs::exists(dataFolder() + "old.ini")) << "only text and .out files are purged";
    EXPECT_TRUE(capture.contains("Deleting Log File " + dataFolder() + "age31.txt"));
    fs::remove(dataFolder() + "age30.txt");
    fs::remove(dataFolder() + "old.ini");
}

TEST(DebugLog, NoPurgeWithoutADataFolder)
{
    namespace fs = std::filesystem;
    SystemClock real;
    ScopedManualClock clock(real.nowMs());
    const CivilTime today = CivilTime::utcNow();
    const fs::path work = fs::path(dataFolder()) / "cwd";
    fs::create_directories(work);
    const fs::path before = fs::current_path();
    fs::current_path(work);
    {
        FixedSystemInfo noFolder;
        SystemInfo* previous = &systemInfo();
        setSystemInfo(&noFolder);
        CClientConfig::destroyInstance();
        std::ofstream("notes.txt") << "keep me";
        using namespace std::chrono;
        const CivilTime old = dayWithAge(today, 100);
        fs::last_write_time("notes.txt", file_clock::from_sys(sys_seconds(seconds(old.toEpochSeconds()))));
        CDebugLog::resetProcessState();
        { CDebugLog first("Purger", CDebugLog::Quiet{}); }
        EXPECT_TRUE(fs::exists("notes.txt")) << "the working directory is not the client's to clean";
        CClientConfig::destroyInstance();
        setSystemInfo(previous);
    }
    CDebugLog::resetProcessState(); // Windows removes no file held open
    fs::current_path(before);
    fs::remove_all(work);
}

TEST(DebugLog, AnUnwritableFolderLosesLinesQuietly)
{
    ScopedManualClock clock(kLateEvening);
    CDebugLog log("Quiet", CDebugLog::Quiet{});
    const std::string path = log.filePath();
    CDebugLog::resetProcessState(); // Windows removes no file held open
    fs::remove(path);
    fs::create_directory(path); // a folder where the file should be
    log.error("dropped");
    fs::remove(path);
    log.error("written once the file can be made again");
    std::stringstream text;
    text << std::ifstream(path).rdbuf(); // closed again before the file is removed
    EXPECT_EQ(text.str().find("dropped"), std::string::npos);
    EXPECT_NE(text.str().find("Error: [Quiet] written once the file can be made again"), std::string::npos);
    CDebugLog::resetProcessState();
    fs::remove(path);
}

} // namespace
