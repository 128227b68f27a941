// CCheatDetector: fuel, weight, position, altitude and simulation-rate rules.
#include "monitor/CheatDetector.h"

#include "monitor/FlightControl.h"

#include "core/FixedText.h"
#include "core/NumberConversion.h"
#include "server/ClientInterface.h"
#include "server/LeadingNumber.h"
#include "sim/FlightSimulatorInterface.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// Process-wide, like the detector's own counters: never reset between flights.
int g_lastSurfaceType = -1;
int g_lastFuelDiff = 0;
int g_lastLoggedFuel = 0;

constexpr int kMaxTolerated = 10;
constexpr int kMaxSimRateCorrections = 64;
constexpr double kMinJumpNm = 12.0;
constexpr double kNmPerSecond = 24.0; // of real time, times the simulation rate

std::string simRateText(float rate)
{
    if (rate >= 1.0f)
        return "Sim Rate " + std::to_string(truncToInt32(rate)) + "x";
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<double>(rate), std::chars_format::fixed, 2);
    return "Sim Rate " + std::string(buf, r.ptr) + "x";
}

} // namespace

CCheatDetector::CCheatDetector(CFlightSimulatorInterface* simulator, CFlightControl& flightControl)
    : sim(simulator), flight(flightControl), log("CCheatDetector")
{
}

CCheatDetector::~CCheatDetector() = default;

void CCheatDetector::resetProcessValues()
{
    g_lastSurfaceType = -1;
    g_lastFuelDiff = 0;
    g_lastLoggedFuel = 0;
}

void CCheatDetector::check()
{
    const std::int32_t nTimeDiff = static_cast<std::int32_t>(checkTimer.elapsed());
    checkTimer.restart();
    if (sim == nullptr)
        return;
    if (checkFuel() && !tolerateRefuel())
        flight.AbortFlight(abortText);
    if (sim != nullptr && checkPositionChange(nTimeDiff))
        flight.AbortFlight(abortText);
    if (sim != nullptr && checkSimRate()) {
        abortText = kSimRateText;
        flight.AbortFlight(abortText);
    }
}

int CCheatDetector::recordFuel(int value)
{
    if (value > 0) {
        ring[ringPos] = value;
        ++recordedCount;
        ringPos = (ringPos + 1) % 10;
    }
    int largest = ring[0];
    for (int i = 1; i < std::min(recordedCount, 10); ++i)
        largest = std::max(largest, ring[i]);
    return largest;
}

// --- fuel ---

bool CCheatDetector::checkFuel()
{
    for (float level : sim->fTankLevel) {
        if (std::isnan(level))
            return false;
    }
    logSurfaceChange();
    float total = 0.0f;
    for (float level : sim->fTankLevel)
        total += level;
    total += sim->fFuelOutsideTanks;
    sim->lFuelOnBoard = truncToInt32(total + 0.5f);
    const int fuel = sim->lFuelOnBoard;
    // The largest reading before this one: fuel above it came from outside.
    const int before = recordFuel(-1);
    int recent = before;
    if (sim->nMinFuel == -1 && fuel > 0)
        sim->nMinFuel = fuel;
    const int diff = fuel - sim->nMinFuel;
    if (diff != g_lastFuelDiff || fuel != g_lastLoggedFuel) {
        recent = recordFuel(fuel);
        g_lastFuelDiff = diff;
        g_lastLoggedFuel = fuel;
        logFuelReading(total);
    }
    const float capacity = sim->totalTankCapacity();
    if (diff > 50 && static_cast<float>(diff) > capacity / 20.0f && before < fuel) {
        log.debugf("ABORT ABORTED More than 10%% diff (%0.2lf)", static_cast<double>(diff) / capacity);
        abortText = kRefuelText;
        return true;
    }
    const int overweight = sim->getOverweight();
    if (overweight > 0) {
        log.debugf("ABORT ABORTED Flight is overweight %d", overweight);
        abortText = kOverweightText;
        return true;
    }
    if (diff > 25 && static_cast<double>(fuel) > sim->lFuelAtStart * 1.1) {
        log.debugf("ABORT ABORTED More than 5%% above initial diff (%0.2lf)",
                   static_cast<double>(fuel) / sim->lFuelAtStart);
        abortText = kRefuelText;
        return true;
    }
    acceptFuelReading(recent);
    return false;
}

void CCheatDetector::logSurfaceChange()
{
    if (sim->lSurfaceType == g_lastSurfaceType)
        return;
    log.debugf("Surface type change %d %d (%s)", g_lastSurfaceType, sim->lSurfaceType, sim->getSurfaceTypeName());
    g_lastSurfaceType = sim->lSurfaceType;
}

void CCheatDetector::logFuelReading(float total)
{
    const float* t = sim->fTankLevel;
    log.debugf("Fuel %0.2f (%f)(%f)(%f)(%f)(%f)(%f)(%f)(%f)(%f)(%f)(%f)(%f)", total, t[0], t[1], t[2], t[3], t[4], t[5],
               t[6], t[7], t[8], t[9], t[10], sim->fFuelOutsideTanks);
    log.debugf("nFuelDiff = %d, nMinFuel = %d", sim->lFuelOnBoard - sim->nMinFuel, sim->nMinFuel);
}

// The lowest level seen lags ten readings behind, so sloshing fuel and
// rounding never count as a refuel.
void CCheatDetector::acceptFuelReading(int recent)
{
    if (recent >= sim->nMinFuel)
        return;
    sim->nMinFuel = recent;
    sim->keepTankLevels();
    const int keptRounded = sim->keptFuelRounded();
    if (keptRounded != sim->nMinFuel)
        log.warnf("Last tank and last fuel don't match: %d != %d", keptRounded, sim->nMinFuel);
}

bool CCheatDetector::tolerateRefuel()
{
    if (sim->nRefuelCount >= kMaxTolerated)
        return false;
    sim->nRefuelCount += 1;
    log.debugf("Inflight refueling #%d: %d -> %d", sim->nRefuelCount, sim->nMinFuel, sim->lFuelOnBoard);
    sim->restoreKeptTankLevels();
    if (flight.getFuelMethod() != 2)
        sim->setAircraftTanks();
    return true;
}

// --- position and altitude ---

bool CCheatDetector::checkPositionChange(std::int32_t nTimeDiff)
{
    CFlightSimulatorObjects& s = *sim;
    if (nTimeDiff < 0) {
        log.warn("nTimeDiff: " + std::to_string(nTimeDiff));
        return false;
    }
    if (s.dLatitude == 0.0 && s.dLongitude == 0.0) {
        s.dLatitude = s.dLastLatitude;
        s.dLongitude = s.dLastLongitude;
        return false;
    }
    const double alt = static_cast<double>(s.lRadarAltitude) + static_cast<double>(s.lGroundAltitude);
    log.debugf("checkPositionChange lat %lf lon %lf alt %lf", s.dLatitude, s.dLongitude, alt);
    if (alt < -2000.0 || alt > 100000.0) {
        log.warnf("Impossible altitude %0.2f stoping check", alt);
        return false;
    }
    // A new flight starts with no previous position (0/0 after the reset);
    // measuring from there would abort a flight started soon after another.
    const bool hasLast = s.dLastLatitude != 0.0 || s.dLastLongitude != 0.0;
    const double dist =
        hasLast ? CClientInterface::distanceNm(s.dLatitude, s.dLongitude, s.dLastLatitude, s.dLastLongitude) : 0.0;
    double dt = s.dFlightTime - s.dLastFlightTime;
    if (!(dt > 0.1))
        dt = 0.1;
    const double rate = std::max({static_cast<double>(s.fSimulationRate), static_cast<double>(lastSimRate), 1.0});
    const double limit = std::max(nTimeDiff * kNmPerSecond / 1000.0 * rate, kMinJumpNm);
    if (dist > limit && nTimeDiff > 0) {
        log.warnf("Inflight position change: %f, %f -> %f, %f | Dist: %f > %f | TimeDiff: %i LastSR: %f SR: %f",
                  s.dLastLongitude, s.dLastLatitude, s.dLongitude, s.dLatitude, dist, limit, nTimeDiff,
                  static_cast<double>(lastSimRate), static_cast<double>(s.fSimulationRate));
        abortText = kPositionText;
        return true;
    }
    if (s.dLastAltitude != 0.0) {
        const double jump = std::fabs(alt - s.dLastAltitude);
        const double jumpStd = std::fabs(s.dAltitude - s.dLastAltitude);
        const double fact = jump / dt;
        if (jump > 2000.0 && jumpStd > 2000.0 && fact > 2000.0 && nTimeDiff > 0) {
            log.warnf("Inflight Altitude change %0.2lf curr(%0.2lf) last(%0.2lf) fact %0.2lf dt %0.2lf", jump,
                      s.dAltitude, s.dLastAltitude, fact, dt);
            abortText = kAltitudeText;
            return true;
        }
    }
    s.dLastLongitude = s.dLongitude;
    s.dLastLatitude = s.dLatitude;
    s.dLastAltitude = alt;
    s.dLastFlightTime = s.dFlightTime;
    showSimRate();
    return false;
}

void CCheatDetector::showSimRate()
{
    if (sim->fSimulationRate != lastSimRate && sim->fSimulationRate > 0.0f)
        sim->showText(simRateText(sim->fSimulationRate), 10, false);
    lastSimRate = sim->fSimulationRate;
}

// --- simulation rate ---

bool CCheatDetector::checkSimRate()
{
    CClientInterface& client = sim->booking();
    const float rate = sim->fSimulationRate;
    const int allowed = allowedSimRate();
    std::int32_t& reached = client.report.Simrate; // the highest rate reached, reported with the flight
    if (static_cast<float>(reached) < rate) {
        reached = truncToInt32(rate);
        if (reached > allowed && !isFlightTypeTwo())
            reached = allowed;
    }
    if (static_cast<float>(allowed) < rate && !isFlightTypeTwo()) {
        sim->setSimulationRate(allowed);
        simRateCorrections += 1;
        log.debugf("Simulation rate %0.2f above the allowed %d, set back (%d)", static_cast<double>(rate), allowed,
                   simRateCorrections);
    }
    return simRateCorrections > kMaxSimRateCorrections;
}

// A booking always allows real time; a missing or zero limit would otherwise
// stop the simulator on every check and abort every flight.
int CCheatDetector::allowedSimRate() const
{
    const int bookedRate = sim->booking().route.r_Simrate;
    return bookedRate < 1 ? 1 : bookedRate;
}

bool CCheatDetector::isFlightTypeTwo() const
{
    return leadingInt(fieldText(sim->booking().flightLog.l_FlightType)) == 2;
}
