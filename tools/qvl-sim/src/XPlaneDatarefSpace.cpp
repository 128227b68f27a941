// CXPlaneDatarefSpace: model values in X-Plane's units, and what the client writes.
#include "XPlaneDatarefSpace.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>

namespace {

constexpr double kMetresPerFoot = 0.3048;
constexpr double kMetresPerSecondPerKnot = 0.514444444;
constexpr double kKgPerLb = 0.45359237;
// The client's slots: centre 0, left main 1, right main 2, left aux 3, right aux 4,
// left tip 5, right tip 6, centre 2 7, centre 3 8.
constexpr int kManyTanks[9] = {1, 0, 2, 3, 4, 5, 6, 7, 8};

float flag(bool on)
{
    return on ? 1.0f : 0.0f;
}

double timeOfDay(double seconds)
{
    return std::fmod(std::fmod(seconds, 86400.0) + 86400.0, 86400.0);
}

using Reader = std::function<double(const CAircraftModel&)>;

const std::map<std::string, Reader>& readers()
{
    static const std::map<std::string, Reader> table = {
        {"sim/flightmodel/position/latitude", [](const CAircraftModel& m) { return m.state().lat; }},
        {"sim/flightmodel/position/longitude", [](const CAircraftModel& m) { return m.state().lon; }},
        {"sim/flightmodel/position/mag_psi",
         [](const CAircraftModel& m) { return std::fmod(m.state().headingDeg - m.state().magVarDeg + 360.0, 360.0); }},
        {"sim/flightmodel2/position/pressure_altitude", [](const CAircraftModel& m) { return m.state().altitudeFt; }},
        {"sim/flightmodel/position/y_agl", [](const CAircraftModel& m) { return m.heightAboveGroundFt() * kMetresPerFoot; }},
        {"sim/flightmodel/position/elevation", [](const CAircraftModel& m) { return m.state().altitudeFt * kMetresPerFoot; }},
        {"sim/flightmodel/position/vh_ind_fpm", [](const CAircraftModel& m) { return m.state().vsFpm; }},
        {"sim/flightmodel/position/indicated_airspeed", [](const CAircraftModel& m) { return m.state().iasKts; }},
        {"sim/flightmodel/position/groundspeed",
         [](const CAircraftModel& m) { return m.state().gsKts * kMetresPerSecondPerKnot; }},
        {"sim/flightmodel/failures/onground_any", [](const CAircraftModel& m) { return flag(m.state().onGround); }},
        {"sim/cockpit2/controls/parking_brake_ratio", [](const CAircraftModel& m) { return flag(m.state().parkingBrake); }},
        {"sim/cockpit2/controls/gear_handle_down", [](const CAircraftModel& m) { return flag(m.state().gearDown); }},
        {"sim/aircraft/gear/acf_gear_retract",
         [](const CAircraftModel& m) { return flag(m.scenario().aircraft.retractableGear); }},
        {"sim/cockpit2/controls/flap_ratio", [](const CAircraftModel& m) { return m.state().flaps; }},
        {"sim/cockpit2/switches/landing_lights_on", [](const CAircraftModel& m) { return flag(m.state().landingLights); }},
        {"sim/cockpit2/switches/navigation_lights_on",
         [](const CAircraftModel& m) { return flag((m.state().lightBits & 0x01) != 0); }},
        {"sim/cockpit2/switches/beacon_on", [](const CAircraftModel& m) { return flag((m.state().lightBits & 0x02) != 0); }},
        {"sim/cockpit2/switches/strobe_lights_on",
         [](const CAircraftModel& m) { return flag((m.state().lightBits & 0x10) != 0); }},
        {"sim/aircraft/engine/acf_num_engines", [](const CAircraftModel& m) { return m.scenario().aircraft.engines; }},
        {"sim/aircraft/weight/acf_m_empty", [](const CAircraftModel& m) { return m.scenario().aircraft.emptyWeightKg; }},
        {"sim/aircraft/weight/acf_m_max", [](const CAircraftModel& m) { return m.scenario().aircraft.maxGrossWeightKg; }},
        {"sim/flightmodel/weight/m_fixed", [](const CAircraftModel& m) { return m.payloadKg(); }},
        {"sim/time/sim_speed", [](const CAircraftModel& m) { return m.state().simRate; }},
        {"sim/time/paused", [](const CAircraftModel& m) { return flag(m.state().paused); }},
        {"sim/operation/prefs/replay_mode", [](const CAircraftModel&) { return 0.0; }},
        {"sim/flightmodel2/misc/has_crashed", [](const CAircraftModel& m) { return flag(m.state().crashed); }},
        {"sim/time/zulu_time_sec",
         [](const CAircraftModel& m) {
             return timeOfDay(static_cast<double>(m.scenario().startUtcSeconds) + m.state().simSeconds);
         }},
        {"sim/time/local_time_sec",
         [](const CAircraftModel& m) {
             return timeOfDay(static_cast<double>(m.scenario().startUtcSeconds) + m.state().simSeconds +
                              m.scenario().localOffsetMinutes * 60.0);
         }},
        {"sim/version/xplane_internal_version",
         [](const CAircraftModel&) { return double(CXPlaneDatarefSpace::kVersionNumber); }},
    };
    return table;
}

// "name[3]" -> "name", 3; a plain name gives -1.
std::string arrayPart(const std::string& dataref, int& index)
{
    index = -1;
    const std::size_t open = dataref.find('[');
    if (open == std::string::npos || dataref.back() != ']')
        return dataref;
    index = std::atoi(dataref.c_str() + open + 1);
    return dataref.substr(0, open);
}

} // namespace

CXPlaneDatarefSpace::CXPlaneDatarefSpace(CAircraftModel& aircraft, CSimRecord& rec) : model(aircraft), record(rec) {}

double CXPlaneDatarefSpace::kgPerGallon() const
{
    return model.scenario().aircraft.fuelWeightLbsPerGallon * kKgPerLb;
}

int CXPlaneDatarefSpace::tankCount() const
{
    const SimTank* t = model.scenario().aircraft.tanks;
    auto used = [&](int slot) { return t[slot].capacityGallons > 0.0; };
    int usedCount = 0;
    for (int slot = 0; slot < 11; ++slot)
        usedCount += used(slot) ? 1 : 0;
    if (usedCount == 1 && used(0))
        return 1;
    if (usedCount == 2 && used(1) && used(2))
        return 2;
    int count = 0;
    for (int i = 0; i < 9; ++i)
        count = used(kManyTanks[i]) ? i + 1 : count;
    return count;
}

int CXPlaneDatarefSpace::slotOf(int tank) const
{
    const int count = tankCount();
    if (tank < 0 || tank >= count)
        return -1;
    if (count == 1)
        return 0;
    if (count == 2)
        return tank == 0 ? 1 : 2;
    return kManyTanks[tank];
}

bool CXPlaneDatarefSpace::readTank(const std::string& array, int index, float& value) const
{
    const SimAircraftType& a = model.scenario().aircraft;
    double totalKg = 0.0;
    for (int i = 0; i < tankCount(); ++i)
        totalKg += a.tanks[slotOf(i)].capacityGallons * kgPerGallon();
    const int slot = slotOf(index);
    if (array == "sim/aircraft/overflow/acf_tank_rat")
        value = slot < 0 || totalKg <= 0.0 ? 0.0f : static_cast<float>(a.tanks[slot].capacityGallons * kgPerGallon() / totalKg);
    else if (array == "sim/flightmodel/weight/m_fuel")
        value = slot < 0 ? 0.0f : static_cast<float>(model.state().tankGallons[slot] * kgPerGallon());
    else
        return false;
    return true;
}

bool CXPlaneDatarefSpace::read(const std::string& dataref, float& value) const
{
    int index = -1;
    const std::string name = arrayPart(dataref, index);
    if (index >= 0)
        return index < 9 && readTank(name, index, value);
    if (name == "sim/aircraft/overflow/acf_num_tanks") {
        value = static_cast<float>(tankCount());
        return true;
    }
    if (name == "sim/aircraft/weight/acf_m_fuel_tot") {
        double kg = 0.0;
        for (int i = 0; i < tankCount(); ++i)
            kg += model.scenario().aircraft.tanks[slotOf(i)].capacityGallons * kgPerGallon();
        value = static_cast<float>(kg);
        return true;
    }
    const auto it = readers().find(name);
    if (it == readers().end())
        return false;
    value = static_cast<float>(it->second(model));
    return true;
}

void CXPlaneDatarefSpace::write(const std::string& dataref, float value)
{
    SimAircraftState& s = model.state();
    int index = -1;
    const std::string name = arrayPart(dataref, index);
    const std::string failures = "sim/operation/failures/";
    if (name == "sim/flightmodel/weight/m_fuel" && slotOf(index) >= 0) {
        const int slot = slotOf(index);
        const double cap = model.scenario().aircraft.tanks[slot].capacityGallons;
        s.tankGallons[slot] = std::clamp(value / kgPerGallon(), 0.0, cap);
        record.add({"tank", "", cap > 0.0 ? s.tankGallons[slot] / cap : 0.0, slot});
    } else if (name == "sim/time/sim_speed") {
        s.simRate = std::max(0.25, static_cast<double>(value));
        record.add({"simRate", "", value, -1});
    } else if (name.rfind(failures + "rel_engfai", 0) == 0 && value == 6.0f) {
        const int engine = std::atoi(name.c_str() + failures.size() + 10);
        s.engineFailureBits |= static_cast<std::uint8_t>(1 << (engine & 7));
        record.add({"engineFailure", "", static_cast<double>(1 << (engine & 7)), -1});
    } else if (name == failures + "rel_flap_act" && value == 6.0f) {
        s.flapsStuck = true;
        record.add({"failureSwitch", "", 1.0, -1});
    } else if (name == failures + "rel_gear_act" && value == 6.0f) {
        s.gearStuck = true;
        record.add({"failureSwitch", "", 4.0, -1});
    } else {
        record.add({"unknownDataref", dataref, value, -1});
    }
}

void CXPlaneDatarefSpace::command(const std::string& name)
{
    SimAircraftState& s = model.state();
    if (name == "sim/operation/pause_on" || name == "sim/operation/pause_off") {
        s.paused = name == "sim/operation/pause_on";
        record.add({s.paused ? "pause" : "unpause", "", 0.0, -1});
    } else {
        record.add({"unknownCommand", name, 0.0, -1});
    }
}
