// A simulator bridge that answers from a flight recording: each read applies
// the fields the recorded read changed and sets the clock to the read's time;
// each write is checked off against the recorded one. The recording is read
// one record ahead through one cursor, which the replay driver shares.
#pragma once

#include "monitor/failures/RandomSource.h"
#include "recorder/FlightRecording.h"
#include "recorder/RecordingReader.h"
#include "sim/FlightSimulatorInterface.h"

#include <functional>
#include <string>

class CReplaySimulator : public CFlightSimulatorInterface {
public:
    using SetClock = std::function<void(std::int64_t utcMs)>;

    CReplaySimulator(CClientInterface& client, CRecordingReader& recording, SetClock setClock);

    // The record at the cursor; nullptr at the end.
    const Recording::Entry* peek();
    void advance();
    // Applies a read or state record's fields to the snapshot (and the clock).
    void apply(const Recording::Entry& entry);
    // The next failure draw, when the recording has one at the cursor.
    int nextDraw();

    // Reads the flight did not make here, or made differently.
    int getDivergences() const { return divergences; }
    const std::string& firstDivergence() const { return divergence; }
    int getWritesMatched() const { return writesMatched; }
    int getWritesUnmatched() const { return writesUnmatched; }

    bool connect() override { return true; }
    void disconnect() override {}
    int getAircraftTanks() override;
    int setAircraftTanks() override;
    bool getEverything() override;
    bool updateFlightTimer() override;
    bool failEngine(int engine, bool quiet) override;
    bool applyFailure(int kind) override;
    bool setSimulationRate(int rate) override;
    bool disableSlew() override;
    void setTextOutput(bool) override {}
    bool showText(const std::string& text, int seconds, bool force) override;
    bool isConnected() override { return true; }
    std::string getVersionText() override { return "replay"; }
    std::string getRequiredVersionText() override { return "replay"; }
    bool checkVersion() override { return true; }
    int getSimulatorVersion() override { return recording.start().simulatorVersion; }
    std::string getSimulatorIdent() override { return recording.start().simulatorIdent; }
    void checkFrequently() override {}
    bool pauseSimulator() override;
    bool saveFlight(int number) override;
    void toggleLandingLights() override;

private:
    // Fields the flight's bridge changed by itself in between, put in place.
    void applyUpdates();
    std::int64_t serveRead(Recording::ReadKind kind, std::int64_t otherwise);
    bool checkWrite(Recording::WriteKind kind);
    void diverged(const std::string& what);

    CRecordingReader& recording;
    SetClock setClock;
    Recording::Entry ahead;
    bool aheadRead = false;
    bool aheadValid = false;
    std::size_t cursor = 0;
    int divergences = 0;
    std::string divergence;
    int writesMatched = 0;
    int writesUnmatched = 0;
};

// The failure draws of a recording, for the replay's failure list.
class CReplayDraws final : public Failures::CRandomSource {
public:
    explicit CReplayDraws(CReplaySimulator& simulator) : sim(simulator) {}
    int nextInt() override { return sim.nextDraw(); }

private:
    CReplaySimulator& sim;
};
