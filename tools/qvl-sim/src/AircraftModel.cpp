// CAircraftModel: great-circle motion, vertical movement, fuel burn, ground
// elevation and the clock.
#include "AircraftModel.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kEarthRadiusNm = 3437.7467703360626;
constexpr double kDegToRad = 0.017453292519943295;
} // namespace

CAircraftModel::CAircraftModel(const SimScenario& scenario) : sc(scenario)
{
    s.lat = sc.start.lat;
    s.lon = sc.start.lon;
    s.headingDeg = sc.startHeadingDeg;
    s.groundFt = sc.start.elevationFt;
    s.altitudeFt = s.groundFt;
    s.gearDown = true;
    s.surfaceType = sc.surfaceType;
    for (int i = 0; i < 11; ++i)
        s.tankGallons[i] = sc.aircraft.tanks[i].capacityGallons * sc.aircraft.tanks[i].fill;
}

double CAircraftModel::distanceNm(double lat1, double lon1, double lat2, double lon2)
{
    const double dLat = (lat2 - lat1) * kDegToRad;
    const double dLon = (lon2 - lon1) * kDegToRad;
    const double a = std::sin(dLat / 2) * std::sin(dLat / 2) +
                     std::cos(lat1 * kDegToRad) * std::cos(lat2 * kDegToRad) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2.0 * kEarthRadiusNm * std::atan2(std::sqrt(a), std::sqrt(std::max(0.0, 1.0 - a)));
}

double CAircraftModel::bearingDeg(double lat1, double lon1, double lat2, double lon2)
{
    const double p1 = lat1 * kDegToRad, p2 = lat2 * kDegToRad, dl = (lon2 - lon1) * kDegToRad;
    const double y = std::sin(dl) * std::cos(p2);
    const double x = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl);
    const double b = std::atan2(y, x) / kDegToRad;
    return b < 0.0 ? b + 360.0 : b;
}

double CAircraftModel::distanceToArrivalNm() const
{
    if (!sc.arrival.present)
        return -1.0;
    return distanceNm(s.lat, s.lon, sc.arrival.lat, sc.arrival.lon);
}

double CAircraftModel::bearingToArrivalDeg() const
{
    if (!sc.arrival.present)
        return s.headingDeg;
    return bearingDeg(s.lat, s.lon, sc.arrival.lat, sc.arrival.lon);
}

double CAircraftModel::totalFuelGallons() const
{
    double sum = 0.0;
    for (double g : s.tankGallons)
        sum += g;
    return sum;
}

double CAircraftModel::payloadKg() const
{
    double sum = 0.0;
    for (double kg : sc.aircraft.payloadStationsKg)
        sum += kg;
    return sum;
}

std::int64_t CAircraftModel::utcSeconds() const
{
    return sc.startUtcSeconds + static_cast<std::int64_t>(std::floor(s.simSeconds));
}

std::int64_t CAircraftModel::localSeconds() const
{
    return utcSeconds() + sc.localOffsetMinutes * 60;
}

void CAircraftModel::step(double seconds)
{
    if (s.paused)
        return;
    const double dt = seconds * s.simRate;
    s.simSeconds += dt;
    s.flightTimeSeconds += dt;
    if (s.crashed || s.slew)
        return;
    moveAlongHeading(dt);
    if (!s.onGround)
        s.altitudeFt += s.vsFpm / 60.0 * dt;
    updateGround();
    if (!s.onGround && s.altitudeFt <= s.groundFt)
        touchDown();
    else if (settleLeft > 0.0 && (settleLeft -= dt) <= 0.0)
        s.vsFpm = 0.0;
    burnFuel(dt);
}

void CAircraftModel::moveAlongHeading(double dt)
{
    const double d = s.gsKts * dt / 3600.0 / kEarthRadiusNm;
    if (d <= 0.0)
        return;
    const double p1 = s.lat * kDegToRad, l1 = s.lon * kDegToRad, h = s.headingDeg * kDegToRad;
    const double p2 = std::asin(std::sin(p1) * std::cos(d) + std::cos(p1) * std::sin(d) * std::cos(h));
    const double l2 =
        l1 + std::atan2(std::sin(h) * std::sin(d) * std::cos(p1), std::cos(d) - std::sin(p1) * std::sin(p2));
    s.lat = p2 / kDegToRad;
    s.lon = std::remainder(l2 / kDegToRad, 360.0);
}

void CAircraftModel::updateGround()
{
    // Between the two airports the ground rises or falls evenly with the distance flown.
    if (sc.arrival.present) {
        const double fromStart = distanceNm(sc.start.lat, sc.start.lon, s.lat, s.lon);
        const double toArrival = distanceToArrivalNm();
        const double span = fromStart + toArrival;
        const double f = span > 0.0 ? fromStart / span : 0.0;
        s.groundFt = sc.start.elevationFt + (sc.arrival.elevationFt - sc.start.elevationFt) * f;
    }
    if (s.onGround)
        s.altitudeFt = s.groundFt;
}

void CAircraftModel::burnFuel(double dt)
{
    if (!s.enginesRunning)
        return;
    int running = 0;
    for (int e = 0; e < sc.aircraft.engines; ++e)
        running += (s.engineFailureBits & (1 << e)) == 0 ? 1 : 0;
    double burn = sc.aircraft.fuelFlowGallonsPerHour * running * dt / 3600.0;
    const double total = totalFuelGallons();
    if (total <= 0.0 || burn <= 0.0)
        return;
    burn = std::min(burn, total);
    // Every tank gives in proportion to what it holds.
    for (double& g : s.tankGallons)
        g -= burn * g / total;
}

void CAircraftModel::moveTo(double lat, double lon)
{
    s.lat = lat;
    s.lon = lon;
    updateGround();
}

void CAircraftModel::touchDown()
{
    s.touchdownVsFpm = s.vsFpm;
    s.onGround = true;
    s.altitudeFt = s.groundFt;
    settleLeft = 1.0;
}
