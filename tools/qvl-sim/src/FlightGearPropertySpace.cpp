// CFlightGearPropertySpace: model values as FlightGear properties, and the sets.
#include "FlightGearPropertySpace.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>

namespace {

constexpr double kLbPerKg = 1.0 / 0.45359237;
// The client's slots for FlightGear tanks 0..7 of an aircraft with two or more.
constexpr int kManyTanks[8] = {1, 2, 0, 3, 4, 5, 6, 7};
constexpr int kMaxTanks = 8;

std::string text(double v)
{
    char out[32];
    std::snprintf(out, sizeof out, "%.6f", v);
    return out;
}

std::string flag(bool on)
{
    return on ? "true" : "false";
}

double timeOfDay(double seconds)
{
    return std::fmod(std::fmod(seconds, 86400.0) + 86400.0, 86400.0);
}

using Reader = std::function<std::string(const CAircraftModel&)>;

double utcSeconds(const CAircraftModel& m)
{
    return static_cast<double>(m.scenario().startUtcSeconds) + m.state().simSeconds;
}

const std::map<std::string, Reader>& readers()
{
    static const std::map<std::string, Reader> table = {
        {"/position/latitude-deg", [](const CAircraftModel& m) { return text(m.state().lat); }},
        {"/position/longitude-deg", [](const CAircraftModel& m) { return text(m.state().lon); }},
        {"/orientation/heading-magnetic-deg",
         [](const CAircraftModel& m) { return text(std::fmod(m.state().headingDeg - m.state().magVarDeg + 360.0, 360.0)); }},
        {"/instrumentation/altimeter/pressure-alt-ft", [](const CAircraftModel& m) { return text(m.state().altitudeFt); }},
        {"/position/altitude-agl-ft", [](const CAircraftModel& m) { return text(m.heightAboveGroundFt()); }},
        {"/position/ground-elev-ft",
         [](const CAircraftModel& m) { return text(m.state().altitudeFt - m.heightAboveGroundFt()); }},
        {"/velocities/vertical-speed-fps", [](const CAircraftModel& m) { return text(m.state().vsFpm / 60.0); }},
        {"/instrumentation/airspeed-indicator/indicated-speed-kt",
         [](const CAircraftModel& m) { return text(m.state().iasKts); }},
        {"/velocities/groundspeed-kt", [](const CAircraftModel& m) { return text(m.state().gsKts); }},
        {"/gear/gear[0]/wow", [](const CAircraftModel& m) { return flag(m.state().onGround); }},
        {"/gear/gear[1]/wow", [](const CAircraftModel& m) { return flag(m.state().onGround); }},
        {"/gear/gear[2]/wow", [](const CAircraftModel& m) { return flag(m.state().onGround); }},
        {"/controls/gear/brake-parking", [](const CAircraftModel& m) { return text(m.state().parkingBrake ? 1 : 0); }},
        {"/controls/gear/gear-down", [](const CAircraftModel& m) { return flag(m.state().gearDown); }},
        {"/controls/flight/flaps", [](const CAircraftModel& m) { return text(m.state().flaps); }},
        {"/controls/lighting/landing-lights", [](const CAircraftModel& m) { return flag(m.state().landingLights); }},
        {"/controls/lighting/nav-lights", [](const CAircraftModel& m) { return flag((m.state().lightBits & 0x01) != 0); }},
        {"/controls/lighting/beacon", [](const CAircraftModel& m) { return flag((m.state().lightBits & 0x02) != 0); }},
        {"/controls/lighting/strobe", [](const CAircraftModel& m) { return flag((m.state().lightBits & 0x10) != 0); }},
        {"/fdm/jsbsim/inertia/empty-weight-lbs",
         [](const CAircraftModel& m) { return text(m.scenario().aircraft.emptyWeightKg * kLbPerKg); }},
        {"/limits/mass-and-balance/maximum-takeoff-mass-lbs",
         [](const CAircraftModel& m) { return text(m.scenario().aircraft.maxGrossWeightKg * kLbPerKg); }},
        {"/payload/weight[0]/weight-lb", [](const CAircraftModel& m) { return text(m.payloadKg() * kLbPerKg); }},
        {"/sim/speed-up", [](const CAircraftModel& m) { return text(m.state().simRate); }},
        {"/sim/freeze/master", [](const CAircraftModel& m) { return flag(m.state().paused); }},
        {"/sim/replay/replay-state", [](const CAircraftModel&) { return flag(false); }},
        {"/sim/crashed", [](const CAircraftModel& m) { return flag(m.state().crashed); }},
        {"/sim/time/utc/day-seconds", [](const CAircraftModel& m) { return text(timeOfDay(utcSeconds(m))); }},
        {"/sim/time/local-day-seconds",
         [](const CAircraftModel& m) {
             return text(timeOfDay(utcSeconds(m) + m.scenario().localOffsetMinutes * 60.0));
         }},
        {"/sim/aircraft", [](const CAircraftModel&) { return std::string("qvl-sim"); }},
        {"/sim/version/flightgear", [](const CAircraftModel&) { return std::string(CFlightGearPropertySpace::kVersion); }},
    };
    return table;
}

// "/a/b[3]/c" -> 3 and "/a/b" and "c"; false without an index.
bool splitIndexed(const std::string& path, std::string& parent, int& index, std::string& leaf)
{
    const std::size_t open = path.find('[');
    const std::size_t close = path.find("]/", open == std::string::npos ? 0 : open);
    if (open == std::string::npos || close == std::string::npos)
        return false;
    parent = path.substr(0, open);
    char* end = nullptr;
    const long i = std::strtol(path.c_str() + open + 1, &end, 10);
    if (end != path.c_str() + close || i < 0 || i > 64)
        return false;
    index = static_cast<int>(i);
    leaf = path.substr(close + 2);
    return true;
}

} // namespace

CFlightGearPropertySpace::CFlightGearPropertySpace(CAircraftModel& aircraft, CSimRecord& rec)
    : model(aircraft), record(rec)
{
}

int CFlightGearPropertySpace::tankCount() const
{
    const SimTank* t = model.scenario().aircraft.tanks;
    auto used = [&](int slot) { return t[slot].capacityGallons > 0.0; };
    int usedCount = 0;
    for (int slot = 0; slot < 11; ++slot)
        usedCount += used(slot) ? 1 : 0;
    if (usedCount == 1 && used(0))
        return 1;
    int count = 0;
    for (int i = 0; i < kMaxTanks; ++i)
        count = used(kManyTanks[i]) ? i + 1 : count;
    return count;
}

int CFlightGearPropertySpace::slotOf(int tank) const
{
    const int count = tankCount();
    if (tank < 0 || tank >= count)
        return -1;
    return count == 1 ? 0 : kManyTanks[tank];
}

bool CFlightGearPropertySpace::getIndexed(const std::string& path, std::string& value) const
{
    std::string parent, leaf;
    int index = 0;
    if (!splitIndexed(path, parent, index, leaf))
        return false;
    const SimAircraftType& a = model.scenario().aircraft;
    if (parent == "/consumables/fuel/tank") {
        const int slot = slotOf(index);
        if (slot < 0)
            return false;
        if (leaf == "level-lbs")
            value = text(model.state().tankGallons[slot] * a.fuelWeightLbsPerGallon);
        else if (leaf == "capacity-gal_us")
            value = text(a.tanks[slot].capacityGallons);
        else if (leaf == "density-ppg")
            value = text(a.fuelWeightLbsPerGallon);
        else
            return false;
        return true;
    }
    if (parent == "/engines/engine" && leaf == "running" && index < a.engines) {
        value = flag((model.state().engineFailureBits & (1 << (index & 7))) == 0);
        return true;
    }
    if (parent == "/fdm/jsbsim/gear/unit" && leaf == "pos-norm" && index == 0 && a.retractableGear) {
        value = text(model.state().gearDown ? 1.0 : 0.0);
        return true;
    }
    return false;
}

bool CFlightGearPropertySpace::get(const std::string& path, std::string& value) const
{
    const auto it = readers().find(path);
    if (it != readers().end()) {
        value = it->second(model);
        return true;
    }
    return getIndexed(path, value);
}

bool CFlightGearPropertySpace::set(const std::string& path, const std::string& value)
{
    SimAircraftState& s = model.state();
    const bool on = value == "true" || value == "1";
    const std::string failures = "/sim/failure-manager/";
    std::string parent, leaf;
    int index = 0;
    if (splitIndexed(path, parent, index, leaf) && parent == "/consumables/fuel/tank" && leaf == "level-lbs" &&
        slotOf(index) >= 0) {
        const int slot = slotOf(index);
        const double cap = model.scenario().aircraft.tanks[slot].capacityGallons;
        s.tankGallons[slot] =
            std::clamp(std::atof(value.c_str()) / model.scenario().aircraft.fuelWeightLbsPerGallon, 0.0, cap);
        record.add({"tank", "", cap > 0.0 ? s.tankGallons[slot] / cap : 0.0, slot});
    } else if (path == "/sim/speed-up") {
        s.simRate = std::max(0.25, std::atof(value.c_str()));
        record.add({"simRate", "", s.simRate, -1});
    } else if (path == "/sim/freeze/master") {
        s.paused = on;
        record.add({s.paused ? "pause" : "unpause", "", 0.0, -1});
    } else if (path == "/sim/freeze/clock") {
        // The model's clock stops with the master freeze.
    } else if (path.rfind(failures + "engines/engine", 0) == 0 && path.ends_with("/failure-level") && on) {
        const std::string rest = path.substr(failures.size() + 14);
        const int engine = rest.rfind('[', 0) == 0 ? std::atoi(rest.c_str() + 1) : 0;
        s.engineFailureBits |= static_cast<std::uint8_t>(1 << (engine & 7));
        record.add({"engineFailure", "", static_cast<double>(1 << (engine & 7)), -1});
    } else if (path == failures + "controls/flight/flaps/failure-level" && on) {
        s.flapsStuck = true;
        record.add({"failureSwitch", "", 1.0, -1});
    } else if (path == failures + "controls/gear/failure-level" && on) {
        s.gearStuck = true;
        record.add({"failureSwitch", "", 4.0, -1});
    } else if (path == "/sim/screen/yellow") {
        record.add({"text", value, 0.0, -1});
    } else {
        record.add({"unknownProperty", path + "=" + value, 0.0, -1});
        return false;
    }
    return true;
}
