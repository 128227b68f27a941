// An in-process simulator for unit tests: either a state the test sets field
// by field, or a small time-stepped aircraft model flying a list of legs on
// the process clock. Records what the client asked of it.
#pragma once

#include "sim/FlightSimulatorInterface.h"
#include "sim/FlightTimer.h"

#include <cstdint>
#include <string>
#include <vector>

class CClientInterface;

struct SimState {
    double latitude = 51.4700;
    double longitude = -0.4543;
    double heading = 90.0;
    double altitude = 80.0;        // feet, pressure altitude
    double groundElevation = 80.0; // feet
    bool onGround = true;
    bool parkingBrake = true;
    int indicatedAirspeed = 0;
    int groundSpeed = 0;
    int verticalSpeed = 0;
    int crashed = 0;
    bool gearDown = true;
    int gearRetractable = 1;
    float flaps = 0.0f;
    bool lightsOn = true;
    bool landingLights = false;
    int surfaceType = 4;
    int paused = 0;
    float simulationRate = 1.0f;
    short engines = 2;
    double payload = 0.0;
    int touchdownVerticalSpeed = 0;
    int maxGrossWeight = 79000;
    int emptyWeight = 42600;
    float tankCapacity[11] = {8000, 4600, 4600, 0, 0, 0, 0, 0, 0, 0, 0}; // kg
    float tankLevel[11] = {0, 3000, 3000, 0, 0, 0, 0, 0, 0, 0, 0};       // kg
    double simSeconds = 36000.0; // simulator clock, seconds (day count included)
};

// One piece of a scripted flight: constant speeds for a duration, or until the
// ground is reached when the leg descends.
struct FlightLeg {
    double seconds = 0.0;
    int groundSpeed = 0;
    int indicatedAirspeed = 0;
    int verticalSpeed = 0;
    bool onGround = true;
    bool parkingBrake = false;
    bool gearDown = true;
    double fuelBurnKgPerHour = 0.0;
};

class ScriptedSimulator : public CFlightSimulatorInterface {
public:
    explicit ScriptedSimulator(CClientInterface& client);

    SimState state;
    std::vector<FlightLeg> legs;

    // Fault switches.
    bool pollFails = false;
    bool tanksFail = false;
    bool link = true;
    int connectSucceedsAfter = 0; // failed connect() calls before one succeeds (-1: never)
    int simulatorVersion = SimFSX;
    std::uint32_t pollCostMs = 0; // manual time a poll takes
    bool holdSnapshot = false;    // polls succeed but leave the snapshot as the test set it

    // What the client did.
    std::vector<std::string> texts;
    std::vector<int> savedFlights;
    std::vector<int> failedEngines;
    std::vector<int> appliedFailures;
    int pauses = 0;
    int polls = 0;
    std::vector<std::int64_t> pollTimes; // process-clock ms of each successful poll
    int connectCalls = 0;
    bool saveSucceeds = true;
    bool versionOk = true;
    float fuelRefusedKg = 0.0f; // kept out of the tanks by every setAircraftTanks

    // Seconds of script flown so far, and whether every leg is done.
    double scriptTime() const { return flown; }
    bool scriptDone() const { return leg >= legs.size(); }

    bool connect() override;
    void disconnect() override { link = false; }
    int getAircraftTanks() override;
    int setAircraftTanks() override;
    bool getEverything() override;
    bool updateFlightTimer() override;
    bool failEngine(int engine, bool quiet) override;
    bool applyFailure(int kind) override
    {
        appliedFailures.push_back(kind);
        return true;
    }
    bool setSimulationRate(int rate) override;
    bool disableSlew() override { return true; }
    void setTextOutput(bool enabled) override { textOutput = enabled; }
    bool showText(const std::string& text, int seconds, bool force) override;
    bool isConnected() override { return link; }
    std::string getVersionText() override { return "1.0"; }
    std::string getRequiredVersionText() override { return "1.0"; }
    bool checkVersion() override { return versionOk; }
    int getSimulatorVersion() override { return simulatorVersion; }
    std::string getSimulatorIdent() override { return "SCRIPT"; }
    void checkFrequently() override { ++frequentChecks; }
    void resetFlightTimer() override { timer.reset(); }
    bool pauseSimulator() override;
    bool saveFlight(int number) override;

    int frequentChecks = 0;
    bool textOutput = true;

private:
    void advanceModel();
    void fly(double dt);
    void copyStateToSnapshot();

    CFlightTimer timer;
    std::int64_t lastModelMs;
    std::size_t leg = 0;
    double legElapsed = 0.0;
    double flown = 0.0;
    bool contactPoll = false; // the first poll on the ground still reports the sink rate
};
