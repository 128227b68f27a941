// The landing explained from a flight recording's dense samples near the
// ground: the touchdown's vertical speed at the first sample on the ground
// beside the report's three-sample average, the touchdown's speeds, the peak
// load from the change of vertical speed, bounces and the float from 50 ft.
#pragma once

#include "monitor/recorder/FlightRecording.h"

#include <cstdint>
#include <string>
#include <vector>

struct FlightSample {
    std::int64_t timeMs = 0;
    double lat = 0.0;
    double lon = 0.0;
    double altitudeFt = 0.0;
    std::int32_t heightFt = 0; // above ground
    std::int32_t indicatedKt = 0;
    std::int32_t groundSpeedKt = 0;
    std::int32_t verticalFpm = 0;
    bool onGround = false;
};

struct LandingFigures {
    bool found = false;
    std::size_t touchdown = 0;    // sample index
    std::size_t averaged[3] = {}; // the samples of the report's average, oldest first
    int averagedCount = 0;
    std::int32_t firstOnGroundFpm = 0;
    std::int32_t averageFpm = 0; // the three samples' average, as the report takes it
    bool reportKnown = false;
    std::int32_t reportFpm = 0; // the report's VS
    std::int32_t simulatorTouchdownFpm = 0;
    std::int32_t indicatedKt = 0;
    std::int32_t groundSpeedKt = 0;
    double peakLoadG = 1.0;
    int bounces = 0;
    bool floatKnown = false;
    double floatSeconds = 0.0;
    double floatMetres = 0.0;
};

class CLandingAnalysis {
public:
    static constexpr std::int64_t kBounceWindowMs = 10000;
    static constexpr std::int32_t kFloatHeightFt = 50;
    static constexpr const char* kLandedText = "FlightState - Landed";

    explicit CLandingAnalysis(const Recording::File& recording);

    const std::vector<FlightSample>& samples() const { return track; }
    const LandingFigures& figures() const { return result; }
    // The figures as the pilot reads them.
    std::string text() const;

private:
    void collectSamples(const Recording::File& recording);
    void findTouchdown();
    void measureLoad();
    void countBounces();
    void measureFloat();

    std::vector<FlightSample> track;
    LandingFigures result;
    std::size_t scoredAt = static_cast<std::size_t>(-1);
};
