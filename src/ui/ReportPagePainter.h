// The pages that show a finished or interrupted flight: the three report
// pages (route, finances, penalties) and the aborted flight's comparison of
// the autosave with the simulator.
#pragma once

#include "core/DebugLog.h"

#include <string>

class CPageView;
class CPageCanvas;
class CFlightSimulatorObjects;

class CReportPagePainter {
public:
    explicit CReportPagePainter(CPageView& ui);

    void paintRoute(CPageCanvas& canvas);
    void paintFinances(CPageCanvas& canvas);
    void paintPenalties(CPageCanvas& canvas);
    void paintAbortedFlight(CPageCanvas& canvas);

    // "N 51 28.200": hemisphere letter, whole degrees, minutes with three decimals.
    static std::string latitudeText(double degrees);
    static std::string longitudeText(double degrees);
    // The table's figures of one aircraft state (altitude ft, fuel kg).
    static std::string altitudeText(double feet);
    static std::string fuelMassText(int kg);
    static std::string fuelVolumeText(int kg);

private:
    void paintTicketRow(CPageCanvas& canvas, int y, const char* label, const char* passengers, const char* price);
    void paintAbortedColumn(CPageCanvas& canvas, int x, const CFlightSimulatorObjects& state, int fuelKg);
    // The fare factor of the flight: `d_Ticket` when above 0, times the flight log's multiplier (1 when 0).
    double fareFactor();

    CPageView& ui;
    CDebugLog log;
    bool missingAutosaveLogged = false;
};
