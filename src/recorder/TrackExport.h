// The recorded track for map tools: GPX (track points with height and UTC
// time) and KML (one line with absolute heights).
#pragma once

#include "recorder/LandingAnalysis.h"

#include <string>

class CTrackExport {
public:
    static std::string gpx(const std::vector<FlightSample>& track, const std::string& name);
    static std::string kml(const std::vector<FlightSample>& track, const std::string& name);

    // The same in pieces, for a track written as it is read.
    static std::string gpxHead(const std::string& name);
    static std::string gpxPoint(const FlightSample& s);
    static std::string gpxTail();
    static std::string kmlHead(const std::string& name);
    static std::string kmlPoint(const FlightSample& s);
    static std::string kmlTail();
};
