// A flight recording reads back exactly what was recorded; a file cut off
// mid-record reads up to its last whole record; damaged files are refused
// with a clear error; and the folder keeps only the newest recordings.
#include "core/ClientConfig.h"
#include "platform/headless/ManualClock.h"
#include "recorder/FlightRecorder.h"
#include "recorder/LandingReport.h"
#include "recorder/RecordingReader.h"
#include "support/FailingFiles.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A short approach: one poll every 50 ms descending at 600 ft/min.
struct RecordedApproach {
    RecordedApproach()
    {
        Recording::Start start;
        start.timeMs = clock->nowMs();
        start.rules = "<blackbox/>";
        std::snprintf(start.flightLog.l_ID, sizeof start.flightLog.l_ID, "4711");
        CFlightSimulatorObjects s;
        s.dLatitude = 48.3;
        s.dLongitude = 11.7;
        recorder.begin(start, s, "4711", 50);
        recorder.check(s);
        for (int i = 0; i < kPolls; ++i) {
            clock->advance(50);
            const CFlightSimulatorObjects before = s;
            s.dLatitude += 0.00002;
            s.dLongitude += 0.00003;
            s.lRadarAltitude = 100 - i / 2;
            s.lVerticalSpeed = -600 + (i % 3);
            s.dFlightTime += 0.05;
            s.bOnGround = s.lRadarAltitude <= 0;
            recorder.check(s);
            recorder.read(Recording::ReadEverything, 1, before, s);
            last = s;
        }
        recorder.write(Recording::WriteSimulationRate, {1}, "", true);
        path = recorder.path();
        recorder.finish(false);
        bytes = fileBytes(path);
    }
    static constexpr int kPolls = 400;
    ScopedManualClock clock;
    CFlightRecorder recorder;
    CFlightSimulatorObjects last;
    std::string path;
    std::string bytes;
};

TEST(FlightRecordingFile, ReadsBackEveryRecordedValueExactly)
{
    RecordedApproach flight;
    Recording::File file;
    std::string error;
    ASSERT_TRUE(CRecordingReader::readFile(flight.path, file, error)) << error;
    EXPECT_FALSE(file.truncated);
    EXPECT_EQ(std::string(file.start.flightLog.l_ID), "4711");
    CFlightSimulatorObjects replayed;
    int reads = 0;
    for (const Recording::Entry& e : file.entries) {
        for (const FieldChange& c : e.changes)
            CSnapshotCodec::apply(replayed, c);
        reads += e.tag == Recording::TagRead ? 1 : 0;
    }
    EXPECT_EQ(reads, RecordedApproach::kPolls);
    EXPECT_EQ(replayed.dLatitude, flight.last.dLatitude);
    EXPECT_EQ(replayed.dLongitude, flight.last.dLongitude);
    EXPECT_EQ(replayed.dFlightTime, flight.last.dFlightTime);
    EXPECT_EQ(replayed.lVerticalSpeed, flight.last.lVerticalSpeed);
    EXPECT_EQ(file.entries.back().tag, Recording::TagWrite);
    EXPECT_EQ(file.entries.back().timeMs, file.start.timeMs + 50 * RecordedApproach::kPolls);
}

struct DamageCase {
    const char* name;
    std::function<std::string(const std::string&)> damage;
    bool reads;
    bool truncated;
    const char* error;
};

TEST(FlightRecordingFile, TruncatedAndDamagedFiles)
{
    RecordedApproach flight;
    const std::size_t magic = sizeof Recording::kMagic;
    const DamageCase cases[] = {
        {"empty file", [](const std::string&) { return std::string(); }, false, false, "not a flight recording"},
        {"other file", [](const std::string&) { return std::string("[login]\nUser=demo\n"); }, false, false,
         "not a flight recording"},
        {"cut inside the flight start", [&](const std::string& b) { return b.substr(0, magic + 5); }, false, false,
         "ends before the flight start"},
        {"cut inside the last record", [](const std::string& b) { return b.substr(0, b.size() - 2); }, true, true, ""},
        {"cut after the length of a record", [](const std::string& b) { return b.substr(0, b.size() - 5); }, true, true,
         ""},
        {"unknown record kind", [](const std::string& b) { return b + "Z"; }, false, false, "damaged record at byte"},
        {"field number beyond the table",
         [](const std::string& b) { return b + std::string("R\x06\x00\x01\x01\x01\xff\x01", 8); }, false, false,
         "damaged record at byte"},
        {"record longer than its payload", [](const std::string& b) { return b + std::string("D\x03\x00\x02\x00", 5); },
         false, false, "damaged record at byte"},
        {"second flight start", [](const std::string& b) { return b + std::string("H\x01\x00", 3); }, false, false,
         "second flight start"},
    };
    for (const DamageCase& c : cases) {
        Recording::File file;
        std::string error;
        const bool reads = CRecordingReader::parse(c.damage(flight.bytes), file, error);
        EXPECT_EQ(reads, c.reads) << c.name << ": " << error;
        if (reads) {
            EXPECT_EQ(file.truncated, c.truncated) << c.name;
            EXPECT_GE(file.entries.size(), RecordedApproach::kPolls) << c.name;
        } else {
            EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": " << error;
        }
    }
    // Every cut of the file reads or is refused, never more than was written.
    for (std::size_t cut = 0; cut < flight.bytes.size(); cut += 7) {
        Recording::File file;
        std::string error;
        if (CRecordingReader::parse(std::string_view(flight.bytes).substr(0, cut), file, error)) {
            EXPECT_LE(file.entries.size(), 2u * RecordedApproach::kPolls + 3) << cut;
        }
    }
}

// A disk that fills up while the analysis is written, or a folder that takes
// no new file: no empty or cut analysis file stays, and the error says why.
TEST(FlightRecordingFile, AFullDiskLeavesNoAnalysisFileAndSaysWhy)
{
    RecordedApproach flight;
    for (const FailAt failAt : {FailAt::Create, FailAt::Write, FailAt::Close}) {
        FailingFiles files;
        files.failAt = failAt;
        files.bytesBeforeFailure = 10; // every file is longer: each is cut
        ScopedFiles installed(&files);
        std::string error;
        EXPECT_TRUE(CLandingReport::writeFor(flight.path, error).empty()) << static_cast<int>(failAt);
        EXPECT_NE(error.find(": disk full"), std::string::npos) << error;
        for (const std::string& file : CLandingReport::analysisFiles(flight.path))
            EXPECT_FALSE(fs::exists(file)) << file;
    }
    // Nor can the next flight's recording be made: the log says why.
    FailingFiles files;
    files.failAt = FailAt::Create;
    ScopedFiles installed(&files);
    LogCapture logs;
    Recording::Start start;
    CFlightRecorder recorder;
    EXPECT_FALSE(recorder.begin(start, CFlightSimulatorObjects{}, "4712", 50));
    EXPECT_TRUE(logs.contains("Cannot create the flight recording "));
    EXPECT_TRUE(logs.contains(": disk full"));
}

TEST(FlightRecordingFile, KeepsOnlyTheNewestRecordingsWithTheirAnalysis)
{
    const std::string dir = CFlightRecorder::folder() + "prune/";
    fs::create_directories(dir);
    for (int i = 0; i < 5; ++i) {
        const std::string recording = dir + "flight-" + std::to_string(i) + Recording::kExtension;
        std::ofstream(recording) << "x";
        for (const std::string& sibling : CLandingReport::analysisFiles(recording))
            std::ofstream(sibling) << "x";
        fs::last_write_time(recording, fs::file_time_type::clock::now() - std::chrono::hours(10 - i));
    }
    std::ofstream(dir + "notes.txt") << "kept";
    CFlightRecorder::prune(dir, 2);
    EXPECT_FALSE(fs::exists(dir + "flight-2.qvlrec"));
    EXPECT_FALSE(fs::exists(dir + "flight-0.gpx"));
    EXPECT_TRUE(fs::exists(dir + "flight-3.qvlrec"));
    EXPECT_TRUE(fs::exists(dir + "flight-4.landing.svg"));
    EXPECT_TRUE(fs::exists(dir + "notes.txt"));
}

} // namespace
