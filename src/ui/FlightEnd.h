// The end of a monitored flight: diversion and high-speed approval while
// flying, "End flight" with its minimum-distance and landing-airport rules,
// and the comment page that finishes and uploads the report.
#pragma once

#include "core/DebugLog.h"

#include <string>
#include <string_view>

class CFlightSimulatorInterface;
class CActionHost;

class CFlightEnd {
public:
    static constexpr double kPackageRadiusNm = 50.0;

    explicit CFlightEnd(CActionHost& ui);

    void confirmDivert();
    void approveHighSpeed();
    // "End flight" on the flying page.
    void endFlight();
    // "End flight" or "Next" on the comment page.
    void finishReport();
    // The report's evaluation with the comment page's text and packages box,
    // without the upload (the replay of a recorded flight stops here).
    void completeReport();

    // The one route exempt from the minimum-distance and low-altitude rules.
    static bool isExemptRoute(std::string_view departure, std::string_view arrival);
    // A package entry ("code,lat,lon", entries blank-separated) other than
    // `closest` lies within the pick-up radius of the position.
    static bool packagesNearby(const std::string& packages, const std::string& closest, double lat, double lon);

private:
    // False when the flight was aborted as too short.
    bool meetsMinimumDistance(bool exempt, bool anyType);
    void checkLandingAirport(bool anyType);
    // On Block, the landing airport, the arrival fuel and the report's time;
    // false when the flight was aborted as too short.
    bool closeFlight(CFlightSimulatorInterface& sim);
    // Closes the flight's recording and names its files in the log.
    void closeRecording();

    CActionHost& ui;
    CDebugLog log;
};
