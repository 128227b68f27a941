// The client driver: one tick whenever the message loop is idle. It reads the
// page on show and does that page's work: keeps the load sheet current before
// the flight, polls and checks the simulator while flying, and moves the
// report pages on when the pilot stays away.
#pragma once

#include "core/DebugLog.h"
#include "core/Stopwatch.h"

#include <cstdint>

class CUserInterface;
class CFlightSimulatorInterface;
class Window;

class CClient {
public:
    // Binds to the process's user interface object.
    CClient();
    explicit CClient(CUserInterface& ui);
    virtual ~CClient();
    CClient(const CClient&) = delete;
    CClient& operator=(const CClient&) = delete;

    void tick();
    void checkKeyboard();
    virtual void refreshContent();

    // The process-wide values of the driver back to their start (a new process, for tests).
    static void resetProcessValues();
    static std::uint32_t getAutosaveCounter();

    // One check of the Flying page and the steps after it, whatever the
    // time: the replay of a recorded flight runs the checks the flight ran.
    bool replayCheck();

    std::int32_t getCheckInterval() const { return checkInterval; }
    std::uint32_t getCheckCount() const { return checkCount; }

private:
    std::uint32_t now() const { return stopwatch.elapsed(); }
    void absenceTimers();
    void preFlight(CFlightSimulatorInterface& sim);
    // False when the tick must end at once (the poll failed).
    bool flying(CFlightSimulatorInterface& sim);
    void watchConnection(CFlightSimulatorInterface& sim);
    void connectionLost(CFlightSimulatorInterface& sim);
    void adaptInterval(CFlightSimulatorInterface& sim);
    bool checkDue() const;
    bool runCheck(CFlightSimulatorInterface& sim);
    void checkExhaustedFuel(CFlightSimulatorInterface& sim);
    void countGearChanges(CFlightSimulatorInterface& sim);
    void autosave(CFlightSimulatorInterface& sim);
    void backupFlight(CFlightSimulatorInterface& sim);
    void afterCheck(CFlightSimulatorInterface& sim);
    void abortedFlightPage();
    void statistics();

    CStopwatch stopwatch;
    CUserInterface* ui;
    CDebugLog log;
    Window* window;
    std::uint32_t lastAdaptTime = 0;
    std::uint32_t nextCheckTime = 0;
    std::uint32_t lastTrackerTime = 0;
    std::uint32_t lastSecondTime = 0;
    std::uint32_t lastFailureTime = 0;
    std::uint32_t lastPositionTime = 0;
    std::int32_t checkInterval = 100;
    std::uint32_t lastStatsTime = 0;
    std::uint32_t t1 = 0;
    std::uint32_t t2 = 0;
    std::uint32_t t3 = 0;
    std::uint32_t t4 = 0;
    std::uint32_t checkTimeSum = 0;
    std::uint32_t checkCount = 0;
    std::uint32_t sumAtLastStats = 0;
    std::uint32_t countAtLastStats = 0;
    double lastPayload = 0.0;
    double lastFuelShown = 0.0;
    // Gear movements of the flight numbered gearFlight (see CUserInterface::beginFlight).
    std::uint32_t gearFlight = 0;
    bool lastGearDown = false;
    std::int32_t gearChanges = 0;
    std::int32_t loopTime = 0;
    bool keyLatch = false;
    // The flight (see CUserInterface::beginFlight) already told its backup failed.
    std::uint32_t backupWarnedFlight = UINT32_MAX;
};
