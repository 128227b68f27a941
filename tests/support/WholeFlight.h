// The booked airline flight EDDF to EDDM watched by the client driver through
// a real bridge, from boarding until the driver presses "End flight". The
// simulator is moved on in lockstep with the manual clock, so an hour of
// flying takes seconds and every run sees the same flight.
#pragma once

#include "platform/headless/HeadlessWindow.h"
#include "platform/headless/ManualClock.h"
#include "platform/headless/RecordingSoundOutput.h"
#include "support/FlightFixture.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class CFlightSimulatorInterface;

struct WholeFlightOutcome {
    bool ended = false; // the driver pressed "End flight"
    std::vector<int> phases;
    std::vector<int> reportItems; // indexes of the items given, ascending
};

class CWholeFlight {
public:
    using BridgeFactory = std::function<std::unique_ptr<CFlightSimulatorInterface>(CClientInterface&)>;
    using Advance = std::function<void(double seconds)>;

    // record: the flight recorder keeps the flight (its monitoring is started
    // as the start action does, so the failures are armed too).
    CWholeFlight(const BridgeFactory& makeBridge, Advance advanceSimulator, bool record = false);
    ~CWholeFlight();
    CWholeFlight(const CWholeFlight&) = delete;
    CWholeFlight& operator=(const CWholeFlight&) = delete;

    // Starts the flight as the start action does and ticks for at most `limitMs`.
    WholeFlightOutcome fly(std::int64_t limitMs);
    CFlightSimulatorInterface& simulator();
    RecordingUserInterface& ui() { return *userInterface; }

private:
    void tick();

    ScopedManualClock clock;
    Advance advance;
    bool recording = false;
    std::int64_t simulatedMs = 0;
    HeadlessWindow window;
    RecordingSoundOutput sounds;
    std::unique_ptr<RecordingUserInterface> userInterface;
    std::unique_ptr<CClient> client;
};
