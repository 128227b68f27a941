// Guards a monitored flight against manipulation through the simulator: fuel
// added in flight, an overweight aircraft, position and altitude jumps, and
// simulation rates above what the booking allows. It undoes what it can and
// aborts the flight through the user interface when a limit is passed.
#pragma once

#include "core/DebugLog.h"
#include "core/Stopwatch.h"

#include <cstdint>
#include <string>

class CFlightSimulatorInterface;
class CFlightControl;

class CCheatDetector {
public:
    CCheatDetector(CFlightSimulatorInterface* sim, CFlightControl& flight);
    virtual ~CCheatDetector();
    CCheatDetector(const CCheatDetector&) = delete;
    CCheatDetector& operator=(const CCheatDetector&) = delete;

    void setSimulator(CFlightSimulatorInterface* simulator) { sim = simulator; }

    // Once after every successful poll on the Flying page.
    void check();

    // Records a fuel reading above 0 (-1 only reads) and answers the largest
    // of the last ten readings.
    int recordFuel(int value);

    // True when a fuel finding was made (the reason is in the abort text).
    bool checkFuel();
    // True when the finding was undone (tanks written back); false once ten were.
    bool tolerateRefuel();
    // True when the aircraft jumped; nTimeDiff in ms since the previous check.
    bool checkPositionChange(std::int32_t nTimeDiff);
    // True once the simulation rate had to be set back more than 64 times.
    bool checkSimRate();

    const std::string& getAbortText() const { return abortText; }
    int getSimRateCorrections() const { return simRateCorrections; }

    // Values kept for the whole process; tests start a "new process".
    static void resetProcessValues();

    static constexpr const char* kRefuelText = "In-flight refuelling detected, flight aborted!";
    static constexpr const char* kOverweightText = "Aircraft is overweight, flight aborted!";
    static constexpr const char* kPositionText = "Aircraft position changed impossibly fast, flight aborted!";
    static constexpr const char* kAltitudeText = "Aircraft altitude changed impossibly fast, flight aborted!";
    static constexpr const char* kSimRateText =
        "The maximum allowed simrate has been exceeded too many times, flight aborted!";

private:
    void logSurfaceChange();
    void logFuelReading(float total);
    void acceptFuelReading(int recent);
    void showSimRate();
    int allowedSimRate() const;
    bool isFlightTypeTwo() const;

    CFlightSimulatorInterface* sim;
    CFlightControl& flight;
    CDebugLog log;
    std::string abortText;
    CStopwatch checkTimer;
    float lastSimRate = 1.0f;
    int simRateCorrections = 0;
    int recordedCount = 0;
    int ringPos = 0;
    int ring[10] = {};
};
