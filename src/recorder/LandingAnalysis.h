// The landing explained from a flight recording's dense samples near the
// ground: the touchdown's vertical speed at the first sample on the ground
// beside the report's three-sample average, the touchdown's speeds, the peak
// load from the change of vertical speed, bounces and the float from 50 ft.
// The recording is read once; only the samples around the touchdown are
// kept, so a recording of any length costs the same memory.
#pragma once

#include "recorder/FlightRecording.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class CRecordingReader;

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
    bool scored = true; // the reading entered the report's touchdown average
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
    // Kept before the newest sample: the plot's two minutes, and never more
    // than this many samples (a sample every 10 ms for the whole span).
    static constexpr std::int64_t kKeptSpanMs = 120000;
    static constexpr std::size_t kMaxKeptSamples = 12000;

    using SampleSink = std::function<void(const FlightSample&)>;

    // Reads the recording from where it stands to its end; every sample also
    // goes to sink (the track export).
    explicit CLandingAnalysis(CRecordingReader& recording, const SampleSink& sink = {});

    // The samples around the touchdown (empty without one).
    const std::vector<FlightSample>& samples() const { return track; }
    const LandingFigures& figures() const { return result; }
    // The figures as the pilot reads them.
    std::string text() const;

private:
    void addSample(const FlightSample& p);
    void startTouchdown(const FlightSample& p);
    void followTouchdown(const FlightSample& p);
    void averageScoredSamples();
    void measureLoad();
    void measureFloat();

    std::deque<FlightSample> recent; // the last kKeptSpanMs
    std::vector<FlightSample> track; // the touchdown's samples
    LandingFigures result;
    std::size_t sampleCount = 0;
    bool airborne = false;
    std::int64_t airborneSinceMs = 0;
    bool highKnown = false;
    FlightSample high; // the last sample at or above kFloatHeightFt
    FlightSample floatFrom;
    bool collecting = false; // the touchdown's track still grows
    std::int64_t lastContactMs = 0;
    bool bounceInAir = false;
    bool bouncesCounted = false;
    std::size_t scoredAt = static_cast<std::size_t>(-1);
};
