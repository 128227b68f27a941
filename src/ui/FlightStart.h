// "Fly!": the start checks against the simulator and the booking, the
// preparation of the load sheet, and the start of the monitored flight.
#pragma once

#include "core/DebugLog.h"

class CActionHost;
class CLoadSheetActions;

class CFlightStart {
public:
    static constexpr double kMaxDepartureDistance = 10.0;
    static constexpr int kMaxRadarAltitudeFt = 50;
    static constexpr int kMaxGroundSpeedKt = 5;

    CFlightStart(CActionHost& ui, CLoadSheetActions& loadSheet);

    // Prepares the flight from the home pages, starts it from the load sheet.
    void fly();

private:
    // The start checks; false (page 6, or 3 for a crew member) when one fails.
    bool passesChecks();
    void copyLoadIntoBooking();
    void prepare();
    void start();

    CActionHost& ui;
    CLoadSheetActions& loadSheet;
    CDebugLog log;
};
