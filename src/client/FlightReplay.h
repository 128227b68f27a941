// Replays a flight recording through the user interface's own flight objects:
// the phase machine, rules, cheat detector, failures, blackbox and the report's
// evaluation run exactly as in the flight, fed by a simulator bridge that
// answers from the recording, with the clock set to the recorded times. Runs
// on a user interface of its own, never the pilot's, and sends nothing.
#pragma once

#include "recorder/FlightRecording.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CRecordingReader;
class CUserInterface;

struct ReplayOutcome {
    bool reportFinished = false; // the recording reached the finished report
    bool recordedReport = false; // and holds the report the flight arrived at
    Tervix_Reports report{};     // the replay's report
    Tervix_Reports recorded{};   // the flight's own
    std::vector<int> items;      // report items given, ascending
    int divergences = 0;
    std::string firstDivergence;
    int writesMatched = 0;
    int writesUnmatched = 0;
};

class CFlightReplay {
public:
    using SetClock = std::function<void(std::int64_t utcMs)>;

    // ui: a fresh user interface whose controls exist (OnCreate ran).
    CFlightReplay(CUserInterface& ui, SetClock setClock);
    // Reads the recording twice: its airports first, then the flight.
    ReplayOutcome run(CRecordingReader& recording);

private:
    CUserInterface& ui;
    SetClock setClock;
};
