// ScriptedSimulator: kinematics of the legs and the snapshot copy.
#include "support/ScriptedSimulator.h"

#include "core/FixedText.h"
#include "core/NumberConversion.h"
#include "platform/Clock.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
constexpr double kDegToRad = 0.017453292522222223;
constexpr double kNmPerDegree = 60.0;
} // namespace

ScriptedSimulator::ScriptedSimulator(CClientInterface& clientData)
    : CFlightSimulatorInterface(clientData, "SCRIPT", "ScriptedSimulator"), timer(CFlightTimer::Style::Fsuipc, *log),
      lastModelMs(processClock().nowMs())
{
}

bool ScriptedSimulator::connect()
{
    ++connectCalls;
    if (link)
        return true;
    if (connectSucceedsAfter < 0)
        return false;
    if (connectSucceedsAfter > 0) {
        --connectSucceedsAfter;
        return false;
    }
    link = true;
    return true;
}

void ScriptedSimulator::fly(double dt)
{
    const FlightLeg& l = legs[leg];
    state.groundSpeed = l.groundSpeed;
    state.indicatedAirspeed = l.indicatedAirspeed;
    state.parkingBrake = l.parkingBrake;
    state.gearDown = l.gearDown;
    const double nm = l.groundSpeed * dt / 3600.0;
    state.latitude += nm * std::cos(state.heading * kDegToRad) / kNmPerDegree;
    state.longitude +=
        nm * std::sin(state.heading * kDegToRad) / kNmPerDegree / std::max(0.01, std::cos(state.latitude * kDegToRad));
    const float burn = static_cast<float>(l.fuelBurnKgPerHour * dt / 3600.0 / 2.0);
    state.tankLevel[TankLeftMain] = std::max(0.0f, state.tankLevel[TankLeftMain] - burn);
    state.tankLevel[TankRightMain] = std::max(0.0f, state.tankLevel[TankRightMain] - burn);
    if (l.onGround) {
        state.onGround = true;
        state.altitude = state.groundElevation;
        state.verticalSpeed = 0;
        return;
    }
    const bool wasAirborne = !state.onGround;
    state.altitude += l.verticalSpeed * dt / 60.0;
    state.verticalSpeed = l.verticalSpeed;
    if (state.altitude <= state.groundElevation) {
        state.altitude = state.groundElevation;
        state.onGround = true;
        contactPoll = wasAirborne;
        state.touchdownVerticalSpeed = l.verticalSpeed;
        legElapsed = l.seconds; // a descending leg ends at the ground
    } else {
        state.onGround = false;
    }
}

void ScriptedSimulator::advanceModel()
{
    const std::int64_t nowMs = processClock().nowMs();
    double dt = static_cast<double>(nowMs - lastModelMs) / 1000.0;
    lastModelMs = nowMs;
    state.simSeconds += dt * state.simulationRate;
    flown += dt;
    if (!contactPoll && state.onGround && leg < legs.size() && !legs[leg].onGround)
        state.verticalSpeed = 0;
    contactPoll = false;
    while (dt > 0.0 && leg < legs.size()) {
        const double step = std::min(dt, legs[leg].seconds - legElapsed);
        fly(step);
        legElapsed += step;
        dt -= step;
        if (legElapsed >= legs[leg].seconds) {
            ++leg;
            legElapsed = 0.0;
        }
    }
}

void ScriptedSimulator::copyStateToSnapshot()
{
    dLatitude = state.latitude;
    dLongitude = state.longitude;
    dHeading = state.heading;
    bParkingBrake = state.parkingBrake;
    bOnGround = state.onGround;
    dAltitude = state.altitude;
    lGroundAltitude = truncToInt32(state.groundElevation);
    lRadarAltitude = truncToInt32(state.altitude - state.groundElevation);
    lIndicatedAirspeed = state.indicatedAirspeed;
    lGroundSpeed = state.groundSpeed;
    lPreviousVerticalSpeed = lVerticalSpeed;
    lVerticalSpeed = state.verticalSpeed;
    lCrashed = state.crashed;
    if (!bLandingLightsOverride)
        bLandingLights = state.landingLights;
    bGearDown = state.gearDown;
    lGearRetractable = state.gearRetractable;
    fFlaps = state.flaps;
    bLightsOn = state.lightsOn;
    fSimulationRate = state.simulationRate;
    lPaused = state.paused;
    lMaxGrossWeight = state.maxGrossWeight;
    lEmptyWeight = state.emptyWeight;
    nEngines = state.engines;
    dPayload = state.payload;
    lTouchdownVerticalSpeed = state.touchdownVerticalSpeed;
    lSurfaceType = state.surfaceType;
}

bool ScriptedSimulator::getEverything()
{
    ++polls;
    if (!link || pollFails)
        return false;
    pollTimes.push_back(processClock().nowMs());
    if (pollCostMs > 0)
        processClock().sleepMs(pollCostMs);
    if (holdSnapshot)
        return true;
    advanceModel();
    copyStateToSnapshot();
    updateFlightTimer();
    recentVerticalSpeeds.push(lVerticalSpeed);
    return true;
}

int ScriptedSimulator::getAircraftTanks()
{
    if (!link || tanksFail)
        return -1;
    for (int i = 0; i < kTankCount; ++i) {
        fTankCapacity[i] = state.tankCapacity[i];
        fTankCapacityGallons[i] = state.tankCapacity[i] / 3.039f;
        fTankLevel[i] = state.tankLevel[i];
        fTankFill[i] = state.tankCapacity[i] > 0 ? state.tankLevel[i] / state.tankCapacity[i] : 0.0f;
    }
    fFuelOutsideTanks = 0.0f;
    return fuelOnBoardRounded();
}

int ScriptedSimulator::setAircraftTanks()
{
    if (!link)
        return -1;
    for (int i = 0; i < kTankCount; ++i)
        state.tankLevel[i] = fTankLevel[i];
    float* fullest = std::max_element(state.tankLevel, state.tankLevel + kTankCount);
    *fullest = std::max(*fullest - fuelRefusedKg, 0.0f);
    return 1;
}

bool ScriptedSimulator::updateFlightTimer()
{
    const CFlightTimer::Result r = timer.update(state.simSeconds);
    dFlightTime = r.flightTime;
    const unsigned daySeconds = static_cast<unsigned>(std::fmod(state.simSeconds, 86400.0));
    char text[32];
    std::snprintf(text, sizeof text, "%02u%02u", (daySeconds / 3600) % 24, (daySeconds / 60) % 60);
    copyText(szZuluTime, text);
    std::snprintf(text, sizeof text, "%02u%02u", ((daySeconds / 3600) + 1) % 24, (daySeconds / 60) % 60);
    copyText(szLocalTime, text);
    return true;
}

bool ScriptedSimulator::failEngine(int engine, bool quiet)
{
    failedEngines.push_back(engine);
    if (!quiet)
        showText("Engine failure", 10, false);
    return true;
}

bool ScriptedSimulator::setSimulationRate(int rate)
{
    state.simulationRate = static_cast<float>(rate);
    return true;
}

bool ScriptedSimulator::showText(const std::string& text, int, bool force)
{
    if (textOutput || force)
        texts.push_back(text);
    return true;
}

bool ScriptedSimulator::pauseSimulator()
{
    ++pauses;
    state.paused = 1;
    return true;
}

bool ScriptedSimulator::saveFlight(int number)
{
    savedFlights.push_back(number);
    return saveSucceeds;
}
