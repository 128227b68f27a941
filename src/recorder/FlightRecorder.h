// The flight recorder: keeps every simulator read and write of a monitored
// flight, the failure draws and the pilot's commands, in one file per flight
// in the data folder's "recordings" folder. Written as the flight goes (the
// bytes reach the operating system at least once a second), pruned to the
// newest flights the settings allow, and never uploaded.
#pragma once

#include "core/DebugLog.h"
#include "recorder/ByteWriter.h"
#include "recorder/FlightRecording.h"
#include "recorder/SnapshotCodec.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class DurableFile;

class CFlightRecorder {
public:
    static constexpr int kDefaultKeep = 50;
    static constexpr std::int64_t kFlushIntervalMs = 1000;

    CFlightRecorder();
    ~CFlightRecorder();
    CFlightRecorder(const CFlightRecorder&) = delete;
    CFlightRecorder& operator=(const CFlightRecorder&) = delete;

    // Off until the program switches it on; tests and the replay leave it off.
    void setEnabled(bool on) { enabled = on; }
    bool isEnabled() const { return enabled; }
    bool isRecording() const { return file != nullptr; }

    // Opens the flight's file (an earlier one still open is closed first)
    // after pruning the folder to `keep` - 1 older recordings, and stores the
    // start and the snapshot the monitoring starts from.
    bool begin(const Recording::Start& start, const CFlightSimulatorObjects& snapshot, const std::string& flightLogId,
               int keep);
    void draw(std::int64_t value);
    // The driver starts a check; the first one also stores the whole snapshot
    // (what the flight start set after the monitoring began).
    void check(const CFlightSimulatorObjects& snapshot);
    void read(Recording::ReadKind kind, std::int64_t result, const CFlightSimulatorObjects& before,
              const CFlightSimulatorObjects& after);
    void write(Recording::WriteKind kind, const std::vector<std::int64_t>& arguments, const std::string& text,
               bool result);
    void command(int id, const std::string& divertAirport);
    void airports(const std::vector<Recording::Airport>& list);
    void reportFinished(const Tervix_Reports& report, const std::string& comment, bool deliverAll);
    // Closes the file; with analyse, writes the landing analysis beside it and
    // answers the files written (recording first).
    std::vector<std::string> finish(bool analyse);

    const std::string& path() const { return filePath; }
    // The data folder's recordings folder, with a trailing separator.
    static std::string folder();
    static std::string fileNameFor(const std::string& flightLogId, std::int64_t utcMs);
    // Removes the oldest recordings (and their analysis files) until at most keep remain.
    static void prune(const std::string& folder, int keep);

private:
    void frame(Recording::Tag tag, const CByteWriter& payload);
    CByteWriter timed();
    void flush(bool force);

    bool enabled = false;
    CDebugLog log;
    std::unique_ptr<DurableFile> file;
    std::string filePath;
    CByteWriter pending;
    CSnapshotCodec codec;
    std::int64_t lastTime = 0;
    std::int64_t lastFlush = 0;
    bool stateWritten = false;
    bool failed = false;
};
