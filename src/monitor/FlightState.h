// The flight-phase machine: derives the phase of a monitored flight from the
// snapshot and applies the phase-dependent rules (taxi and low-level
// overspeed, low flying, touchdown items, crash kind).
#pragma once

#include "core/DebugLog.h"
#include "core/Stopwatch.h"

#include <optional>
#include <string>

class CAlertSound;
class CReport;
class CBlackbox;
class CClientInterface;
class CFlightSimulatorInterface;

enum FlightPhase {
    PhaseBoarding = 0,
    PhaseTaxi = 1,
    PhaseTakeOff = 2,
    PhaseLanded = 3,
    PhaseOnBlock = 4,
    PhaseClimb = 5,
    PhaseCruise = 6,
    PhaseDescent = 7,
    PhaseCrashed = 8,
};

class CFlightState {
public:
    CFlightState(CAlertSound* sound, CReport* report, CFlightSimulatorInterface* simulator, CClientInterface& client,
                 CBlackbox* blackbox);
    ~CFlightState();

    void setSimulator(CFlightSimulatorInterface* simulator) { this->simulator = simulator; }

    // One step: phase, then rules. True when the phase changed.
    bool update();
    bool advancePhase();
    bool checkRules();

    int getPhase() const;
    void setPhase(int phase);
    double getTakeoffTime() const;
    bool hasClimbedAbove500() const;
    bool hasLeftStartArea() const;

    static const char* getPhaseName(int code);
    static int parsePhaseCode(const std::string& text);
    static bool isAirborne(int code);

private:
    bool touchDown(double distArrival);
    bool stepAirborne(double distArrival);
    void updateClosestArrival(double distArrival);
    bool checkTaxiOverspeed();
    bool checkLowLevelOverspeed();
    bool checkLowAltitude(double distStart, double distArrival);
    bool classifyCrash();
    double distanceFromStart() const;
    bool onGroundOrLow() const;

    CAlertSound* sound;
    CReport* report;
    CFlightSimulatorInterface* simulator;
    CClientInterface& client;
    CBlackbox* blackbox;
    CStopwatch airTimer;
    CStopwatch taxiSpeedTimer;
    CStopwatch overspeedTimer;
    CStopwatch lowAltitudeTimer;
    // Runs from the last touchdown; empty until the flight's first one.
    std::optional<CStopwatch> sinceTouchdown;
    CDebugLog log;
};
