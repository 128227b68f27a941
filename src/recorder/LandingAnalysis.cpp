// CLandingAnalysis: samples from the recorded reads, then the touchdown figures.
#include "recorder/LandingAnalysis.h"

#include "recorder/RecordingReader.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr double kFeetPerSecondSquaredPerG = 32.174;
constexpr double kEarthRadiusMetres = 6371008.8;
constexpr double kRadPerDeg = 0.017453292519943295;
constexpr std::int64_t kLoadWindowMs = 5000;

double metresBetween(double lat1, double lon1, double lat2, double lon2)
{
    const double dLat = (lat2 - lat1) * kRadPerDeg;
    const double dLon = (lon2 - lon1) * kRadPerDeg;
    const double a = std::sin(dLat / 2) * std::sin(dLat / 2) + std::cos(lat1 * kRadPerDeg) *
                                                                   std::cos(lat2 * kRadPerDeg) * std::sin(dLon / 2) *
                                                                   std::sin(dLon / 2);
    return 2.0 * kEarthRadiusMetres * std::atan2(std::sqrt(a), std::sqrt(1.0 - a));
}

} // namespace

CLandingAnalysis::CLandingAnalysis(CRecordingReader& recording, const SampleSink& sink)
{
    CFlightSimulatorObjects s;
    std::int32_t ringNext = -1;
    std::int32_t ringCount = -1;
    Recording::Entry e;
    while (recording.next(e)) {
        if (e.tag == Recording::TagReport && e.report) {
            result.reportKnown = true;
            result.reportFpm = e.report->VS;
        }
        // The phase machine announces the landing in the simulator at the
        // check that scored it.
        if (e.tag == Recording::TagWrite && e.kind == Recording::WriteText && e.text == kLandedText && collecting)
            scoredAt = track.size() - 1;
        if (e.tag != Recording::TagRead && e.tag != Recording::TagState)
            continue;
        for (const FieldChange& c : e.changes)
            CSnapshotCodec::apply(s, c);
        if (e.tag != Recording::TagRead || e.kind != Recording::ReadEverything || e.result == 0)
            continue;
        FlightSample p;
        p.timeMs = e.timeMs;
        p.lat = s.dLatitude;
        p.lon = s.dLongitude;
        p.altitudeFt = s.dAltitude;
        p.heightFt = s.lRadarAltitude;
        p.indicatedKt = s.lIndicatedAirspeed;
        p.groundSpeedKt = s.lGroundSpeed;
        p.verticalFpm = s.lVerticalSpeed;
        p.onGround = s.bOnGround;
        // A bridge may keep a reading out of the touchdown's average (one
        // taken with the wheels already on the ground): the ring then stays.
        const CVerticalSpeedRing& ring = s.recentVerticalSpeeds;
        p.scored = ring.count > 0 && (ring.next != ringNext || ring.count != ringCount);
        ringNext = ring.next;
        ringCount = ring.count;
        addSample(p);
        if (sink)
            sink(p);
        if (s.lTouchdownVerticalSpeed != 0)
            result.simulatorTouchdownFpm = s.lTouchdownVerticalSpeed;
    }
    if (!result.found)
        return;
    averageScoredSamples();
    measureLoad();
    measureFloat();
}

void CLandingAnalysis::addSample(const FlightSample& p)
{
    ++sampleCount;
    // The landing is the first contact after the flight's last stretch in the
    // air that was longer than a bounce.
    if (p.onGround && airborne && p.timeMs - airborneSinceMs > kBounceWindowMs)
        startTouchdown(p);
    else if (result.found)
        followTouchdown(p);
    if (!p.onGround && !airborne)
        airborneSinceMs = p.timeMs;
    airborne = !p.onGround;
    recent.push_back(p);
    while (recent.size() > kMaxKeptSamples || p.timeMs - recent.front().timeMs > kKeptSpanMs)
        recent.pop_front();
    if (p.heightFt >= kFloatHeightFt) {
        high = p;
        highKnown = true;
    }
}

void CLandingAnalysis::startTouchdown(const FlightSample& p)
{
    // A later landing (after a go-around) replaces an earlier one.
    result.found = true;
    result.bounces = 0;
    track.assign(recent.begin(), recent.end());
    result.touchdown = track.size();
    track.push_back(p);
    result.firstOnGroundFpm = p.verticalFpm;
    result.indicatedKt = p.indicatedKt;
    result.groundSpeedKt = p.groundSpeedKt;
    result.floatKnown = highKnown;
    floatFrom = high;
    collecting = true;
    scoredAt = static_cast<std::size_t>(-1);
    lastContactMs = p.timeMs;
    bounceInAir = false;
    bouncesCounted = false;
}

void CLandingAnalysis::followTouchdown(const FlightSample& p)
{
    const std::int64_t t0 = track[result.touchdown].timeMs;
    if (collecting && (p.timeMs - t0 > kBounceWindowMs || track.size() >= 2 * kMaxKeptSamples))
        collecting = false;
    if (collecting)
        track.push_back(p);
    // A bounce: air, then ground again, within 10 s of the last contact.
    if (bouncesCounted)
        return;
    if (p.timeMs - lastContactMs > kBounceWindowMs) {
        bouncesCounted = true;
    } else if (!p.onGround) {
        bounceInAir = true;
    } else {
        if (bounceInAir)
            ++result.bounces;
        bounceInAir = false;
        lastContactMs = p.timeMs;
    }
}

void CLandingAnalysis::averageScoredSamples()
{
    // The report averages the vertical speeds of the last three readings the
    // bridge kept for it, up to and including the check that scored the landing.
    const std::size_t t = result.touchdown;
    const std::size_t scored = scoredAt >= t && scoredAt < track.size() ? scoredAt : t;
    std::size_t kept[3];
    int count = 0;
    const auto lastThree = [&](bool onlyScored) {
        for (std::size_t i = scored + 1; i-- > 0 && count < 3;)
            if (!onlyScored || track[i].scored)
                kept[count++] = i;
    };
    lastThree(true);
    // A recording without the ring: the last three polls, as every bridge
    // once kept them.
    if (count == 0)
        lastThree(false);
    long long sum = 0;
    while (count > 0) {
        const std::size_t i = kept[--count];
        result.averaged[result.averagedCount++] = i;
        sum += track[i].verticalFpm;
    }
    result.averageFpm = static_cast<std::int32_t>(static_cast<double>(sum) / result.averagedCount);
}

void CLandingAnalysis::measureLoad()
{
    const std::int64_t at = track[result.touchdown].timeMs;
    for (std::size_t i = 1; i < track.size(); ++i) {
        const FlightSample& a = track[i - 1];
        const FlightSample& b = track[i];
        if (b.timeMs <= a.timeMs || b.timeMs < at - kLoadWindowMs || a.timeMs > at + kLoadWindowMs)
            continue;
        // Feet per minute gained per second, in feet per second squared.
        const double accel = (b.verticalFpm - a.verticalFpm) / 60.0 / ((b.timeMs - a.timeMs) / 1000.0);
        const double load = 1.0 + accel / kFeetPerSecondSquaredPerG;
        if (load > result.peakLoadG)
            result.peakLoadG = load;
    }
}

void CLandingAnalysis::measureFloat()
{
    if (!result.floatKnown)
        return;
    const FlightSample& t = track[result.touchdown];
    result.floatSeconds = (t.timeMs - floatFrom.timeMs) / 1000.0;
    result.floatMetres = metresBetween(floatFrom.lat, floatFrom.lon, t.lat, t.lon);
}

std::string CLandingAnalysis::text() const
{
    if (!result.found)
        return "No landing in this recording (" + std::to_string(sampleCount) + " samples).\n";
    const LandingFigures& f = result;
    char buffer[2048];
    std::string out;
    std::snprintf(buffer, sizeof buffer,
                  "Touchdown vertical speed at the first sample on the ground: %d ft/min\n"
                  "Average of the three samples the report takes:          %d ft/min (samples %d, %d, %d ft/min)\n",
                  f.firstOnGroundFpm, f.averageFpm, track[f.averaged[0]].verticalFpm,
                  track[f.averaged[f.averagedCount > 1 ? 1 : 0]].verticalFpm,
                  track[f.averaged[f.averagedCount - 1]].verticalFpm);
    out += buffer;
    if (f.reportKnown) {
        std::snprintf(buffer, sizeof buffer, "Vertical speed in the report:                            %d ft/min\n",
                      f.reportFpm);
        out += buffer;
    }
    if (f.simulatorTouchdownFpm != 0) {
        std::snprintf(buffer, sizeof buffer, "Touchdown rate the simulator gave:                       %d ft/min\n",
                      f.simulatorTouchdownFpm);
        out += buffer;
    }
    std::snprintf(buffer, sizeof buffer,
                  "Indicated speed at touchdown: %d kt (ground speed %d kt)\n"
                  "Pitch and bank at touchdown: not in the simulator's snapshot\n"
                  "Peak load around touchdown (from the change of vertical speed): %.2f g\n"
                  "Bounces (ground, air, ground within 10 s): %d\n",
                  f.indicatedKt, f.groundSpeedKt, f.peakLoadG, f.bounces);
    out += buffer;
    if (f.floatKnown)
        std::snprintf(buffer, sizeof buffer, "Float from 50 ft to touchdown: %.1f s over %.0f m\n", f.floatSeconds,
                      f.floatMetres);
    else
        std::snprintf(buffer, sizeof buffer, "Float from 50 ft to touchdown: no sample at 50 ft or above\n");
    out += buffer;
    return out;
}
