// CScenarioRunner: what each action does to the aircraft, step by step.
#include "ScenarioRunner.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kClimbOutFt = 1500.0;
constexpr double kFinalFt = 120.0;
constexpr double kAcceleration = 4.0; // kts per second
constexpr double kBraking = 3.0;
constexpr double kRolloutKts = 20.0;
} // namespace

CScenarioRunner::CScenarioRunner(CAircraftModel& aircraft) : model(aircraft) {}

bool CScenarioRunner::finished() const
{
    return index >= model.scenario().actions.size();
}

double CScenarioRunner::takeDisconnectRequest()
{
    const double s = disconnectRequest;
    disconnectRequest = 0.0;
    return s;
}

void CScenarioRunner::step(double realSeconds)
{
    SimAircraftState& s = model.state();
    if (pauseLeft > 0.0) {
        pauseLeft -= realSeconds;
        if (pauseLeft <= 0.0)
            s.paused = false;
        return;
    }
    if (!s.paused) {
        const double dt = realSeconds * s.simRate;
        const auto& actions = model.scenario().actions;
        // Switches take no time, so several may follow each other in one step.
        for (int guard = 0; guard < 64 && index < actions.size() && !s.paused; ++guard) {
            elapsed += dt;
            if (!run(actions[index], dt))
                break;
            ++index;
            elapsed = 0.0;
        }
    }
    model.step(realSeconds);
}

bool CScenarioRunner::run(const SimAction& a, double dt)
{
    using T = SimAction::Type;
    switch (a.type) {
    case T::Wait:
        return elapsed >= a.seconds;
    case T::Taxi:
        return runTaxi(a);
    case T::Takeoff:
        return runTakeoff(a, dt);
    case T::Climb:
    case T::Descend:
        return runLevelChange(a, dt);
    case T::Cruise:
        return runCruise(a);
    case T::Land:
        return runLanding(a, dt);
    default:
        return runSwitch(a);
    }
}

bool CScenarioRunner::runSwitch(const SimAction& a)
{
    using T = SimAction::Type;
    SimAircraftState& s = model.state();
    switch (a.type) {
    case T::ParkingBrake:
        s.parkingBrake = a.on;
        break;
    case T::Engines:
        s.enginesRunning = a.on;
        break;
    case T::Turn:
        s.headingDeg = std::fmod(a.headingDeg, 360.0);
        break;
    case T::Gear:
        s.gearDown = s.gearStuck ? s.gearDown : a.on;
        break;
    case T::Flaps:
        s.flaps = s.flapsStuck ? s.flaps : std::clamp(a.value, 0.0, 1.0);
        break;
    case T::Lights:
        s.lightBits = a.lightBits;
        s.landingLights = (a.lightBits & 0x04) != 0;
        break;
    case T::Surface:
        s.surfaceType = static_cast<int>(a.value);
        break;
    case T::SlewJump:
        model.moveTo(a.lat, a.lon);
        break;
    case T::AltitudeJump:
        s.altitudeFt += a.value;
        break;
    case T::Refuel:
        refuel(a.value);
        break;
    case T::SimRate:
        s.simRate = std::clamp(a.value, 0.25, 128.0);
        break;
    case T::Pause:
        s.paused = true;
        pauseLeft = a.seconds;
        break;
    case T::Crash:
        s.crashed = true;
        s.gsKts = s.iasKts = s.vsFpm = 0.0;
        break;
    case T::Disconnect:
        disconnectRequest = std::max(a.seconds, 0.1);
        break;
    case T::Slew:
        s.slew = a.on && !s.slewForbidden;
        break;
    default:
        break;
    }
    return true;
}

bool CScenarioRunner::runTaxi(const SimAction& a)
{
    SimAircraftState& s = model.state();
    s.parkingBrake = false;
    s.gsKts = s.iasKts = a.speedKts;
    if (elapsed < a.seconds)
        return false;
    s.gsKts = s.iasKts = 0.0;
    return true;
}

void CScenarioRunner::navigate()
{
    if (model.distanceToArrivalNm() > 1.0)
        model.state().headingDeg = model.bearingToArrivalDeg();
}

void CScenarioRunner::approachSpeed(double target, double dt)
{
    SimAircraftState& s = model.state();
    if (target <= 0.0)
        return;
    const double change = 2.0 * dt;
    s.iasKts = s.iasKts < target ? std::min(target, s.iasKts + change) : std::max(target, s.iasKts - change);
    s.gsKts = s.iasKts;
}

bool CScenarioRunner::runTakeoff(const SimAction& a, double dt)
{
    SimAircraftState& s = model.state();
    s.parkingBrake = false;
    if (s.onGround) {
        s.gsKts = s.iasKts = std::min(a.speedKts, s.gsKts + kAcceleration * dt);
        if (s.gsKts >= a.speedKts) {
            s.onGround = false;
            s.vsFpm = a.rateFpm > 0.0 ? a.rateFpm : 2000.0;
        }
        return false;
    }
    return model.heightAboveGroundFt() >= kClimbOutFt;
}

bool CScenarioRunner::runLevelChange(const SimAction& a, double dt)
{
    SimAircraftState& s = model.state();
    const bool up = a.type == SimAction::Type::Climb;
    navigate();
    approachSpeed(a.speedKts, dt);
    const double rate = std::abs(a.rateFpm) > 0.0 ? std::abs(a.rateFpm) : 1500.0;
    s.vsFpm = up ? rate : -rate;
    const bool reached = up ? s.altitudeFt >= a.altitudeFt : s.altitudeFt <= a.altitudeFt;
    if (reached) {
        s.altitudeFt = std::max(a.altitudeFt, s.groundFt);
        s.vsFpm = 0.0;
    }
    return reached;
}

bool CScenarioRunner::runCruise(const SimAction& a)
{
    SimAircraftState& s = model.state();
    navigate();
    s.vsFpm = 0.0;
    if (a.speedKts > 0.0)
        s.iasKts = s.gsKts = a.speedKts;
    if (a.untilNm >= 0.0)
        return model.distanceToArrivalNm() <= a.untilNm;
    return elapsed >= a.seconds;
}

bool CScenarioRunner::runLanding(const SimAction& a, double dt)
{
    SimAircraftState& s = model.state();
    if (s.onGround) {
        // Roll-out after the touchdown the model registered.
        s.gsKts = s.iasKts = std::max(kRolloutKts, s.gsKts - kBraking * dt);
        return s.gsKts <= kRolloutKts;
    }
    navigate();
    approachSpeed(a.speedKts, dt);
    const double touchdownRate = a.rateFpm < 0.0 ? a.rateFpm : -150.0;
    const double height = model.heightAboveGroundFt();
    if (height <= kFinalFt) {
        s.vsFpm = touchdownRate;
        return false;
    }
    // Aim to reach the final segment where the remaining distance just covers it.
    const double distance = model.distanceToArrivalNm();
    const double finalNm = s.gsKts * (kFinalFt / -touchdownRate) / 60.0;
    const double minutes = distance > finalNm && s.gsKts > 0.0 ? (distance - finalNm) / s.gsKts * 60.0 : 0.0;
    const double wanted = minutes > 0.0 ? -(height - kFinalFt) / minutes : -3000.0;
    // Never so shallow that it looks like level flight.
    s.vsFpm = std::clamp(wanted, -3000.0, -250.0);
    return false;
}

void CScenarioRunner::refuel(double gallons)
{
    SimAircraftState& s = model.state();
    const auto& tanks = model.scenario().aircraft.tanks;
    double room = 0.0;
    for (int i = 0; i < 11; ++i)
        room += tanks[i].capacityGallons - s.tankGallons[i];
    if (room <= 0.0 || gallons <= 0.0)
        return;
    const double share = std::min(gallons, room) / room;
    for (int i = 0; i < 11; ++i)
        s.tankGallons[i] += (tanks[i].capacityGallons - s.tankGallons[i]) * share;
}
