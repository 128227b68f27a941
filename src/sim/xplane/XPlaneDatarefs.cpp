// XPlaneDatarefs: names, units and conversions of the subscribed datarefs.
#include "sim/xplane/XPlaneDatarefs.h"

#include "core/NumberConversion.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace XPlaneDatarefs {

namespace {

constexpr double kFeetPerMetre = 3.28083989501;
constexpr double kKnotsPerMetrePerSecond = 1.94384449244;

const Dataref kScalars[TankRatio0] = {
    {"sim/flightmodel/position/latitude", "degrees"},
    {"sim/flightmodel/position/longitude", "degrees"},
    {"sim/flightmodel/position/mag_psi", "degrees magnetic"},
    {"sim/flightmodel2/position/pressure_altitude", "feet"},
    {"sim/flightmodel/position/y_agl", "metres"},
    {"sim/flightmodel/position/elevation", "metres"},
    {"sim/flightmodel/position/vh_ind_fpm", "feet/minute"},
    {"sim/flightmodel/position/indicated_airspeed", "knots"},
    {"sim/flightmodel/position/groundspeed", "metres/second"},
    {"sim/flightmodel/failures/onground_any", "boolean"},
    {"sim/cockpit2/controls/parking_brake_ratio", "ratio"},
    {"sim/cockpit2/controls/gear_handle_down", "boolean"},
    {"sim/aircraft/gear/acf_gear_retract", "boolean"},
    {"sim/cockpit2/controls/flap_ratio", "ratio"},
    {"sim/cockpit2/switches/landing_lights_on", "boolean"},
    {"sim/cockpit2/switches/navigation_lights_on", "boolean"},
    {"sim/cockpit2/switches/beacon_on", "boolean"},
    {"sim/cockpit2/switches/strobe_lights_on", "boolean"},
    {"sim/aircraft/engine/acf_num_engines", "count"},
    {"sim/aircraft/weight/acf_m_empty", "kg"},
    {"sim/aircraft/weight/acf_m_max", "kg"},
    {"sim/flightmodel/weight/m_fixed", "kg"},
    {"sim/time/sim_speed", "ratio"},
    {"sim/time/paused", "boolean"},
    {"sim/operation/prefs/replay_mode", "boolean"},
    {"sim/flightmodel2/misc/has_crashed", "boolean"},
    {"sim/time/zulu_time_sec", "seconds"},
    {"sim/time/local_time_sec", "seconds"},
    {"sim/version/xplane_internal_version", "number"},
    {"sim/aircraft/weight/acf_m_fuel_tot", "kg"},
    {"sim/aircraft/overflow/acf_num_tanks", "count"},
};

// Element names are made once; the table hands out stable pointers.
struct ArrayNames {
    std::string ratio[kXPlaneTanks];
    std::string fuel[kXPlaneTanks];
    ArrayNames()
    {
        for (int i = 0; i < kXPlaneTanks; ++i) {
            ratio[i] = "sim/aircraft/overflow/acf_tank_rat[" + std::to_string(i) + "]";
            fuel[i] = "sim/flightmodel/weight/m_fuel[" + std::to_string(i) + "]";
        }
    }
};

const ArrayNames& arrayNames()
{
    static const ArrayNames names;
    return names;
}

// Metric floats converted to feet or knots land a hair below whole numbers
// (364 ft comes back as 363.9999): they are truncated after a rounding to a
// thousandth, as a value read in the unit itself would be.
std::int32_t truncated(double v)
{
    return truncToInt32(std::round(v * 1000.0) / 1000.0);
}

bool on(float v)
{
    return v >= 0.5f;
}

// Heading 0..360 whatever X-Plane hands over.
double heading(double degrees)
{
    const double h = std::fmod(degrees, 360.0);
    return h < 0.0 ? h + 360.0 : h;
}

} // namespace

Dataref dataref(int field)
{
    if (field >= 0 && field < TankRatio0)
        return kScalars[field];
    if (field >= TankRatio0 && field < TankFuel0)
        return {arrayNames().ratio[field - TankRatio0].c_str(), "ratio of the fuel capacity"};
    if (field >= TankFuel0 && field < Count)
        return {arrayNames().fuel[field - TankFuel0].c_str(), "kg"};
    return {"", ""};
}

int tankSlot(int tank, int count)
{
    using T = CFlightSimulatorObjects;
    static const int kMany[kXPlaneTanks] = {T::TankLeftMain, T::TankCentre,   T::TankRightMain,
                                            T::TankLeftAux,  T::TankRightAux, T::TankLeftTip,
                                            T::TankRightTip, T::TankCentre2,  T::TankCentre3};
    if (tank < 0 || tank >= kXPlaneTanks || tank >= count)
        return -1;
    if (count == 1)
        return T::TankCentre;
    if (count == 2)
        return tank == 0 ? T::TankLeftMain : T::TankRightMain;
    return kMany[tank];
}

void applyPoll(const float (&v)[Count], CFlightSimulatorObjects& s, bool keepLandingLights)
{
    s.dLatitude = v[Latitude];
    s.dLongitude = v[Longitude];
    s.dHeading = heading(v[MagneticHeading]);
    s.dAltitude = v[PressureAltitude];
    s.lRadarAltitude = truncated(v[HeightAboveGround] * kFeetPerMetre);
    s.lGroundAltitude = truncated((static_cast<double>(v[Elevation]) - v[HeightAboveGround]) * kFeetPerMetre);
    s.lVerticalSpeed = truncToInt32(v[VerticalSpeed]);
    s.lIndicatedAirspeed = truncToInt32(v[IndicatedAirspeed]);
    s.lGroundSpeed = truncated(v[GroundSpeed] * kKnotsPerMetrePerSecond);
    s.bOnGround = on(v[OnGround]);
    s.bParkingBrake = v[ParkingBrake] > 0.0f;
    s.bGearDown = on(v[GearHandleDown]);
    s.lGearRetractable = on(v[GearRetractable]) ? 1 : 0;
    s.fFlaps = std::clamp(v[FlapsHandle], 0.0f, 1.0f);
    if (!keepLandingLights)
        s.bLandingLights = on(v[LandingLights]);
    s.bLightsOn = on(v[NavigationLights]) || on(v[BeaconLights]) || on(v[StrobeLights]);
    s.nEngines = static_cast<std::int16_t>(std::clamp(truncToInt32(v[EngineCount]), 0, 32767));
    s.lEmptyWeight = truncToInt32(v[EmptyWeight]);
    s.lMaxGrossWeight = truncToInt32(v[MaxWeight]);
    s.dPayload = std::max(0.0f, v[Payload]);
    if (v[SimulationSpeed] > 0.0f)
        s.fSimulationRate = v[SimulationSpeed];
    // A replay moves the aircraft without flying it: it counts as a pause.
    s.lPaused = on(v[Paused]) || on(v[ReplayMode]) ? 1 : 0;
    if (on(v[Crashed]))
        s.lCrashed = 1;
}

std::int32_t applyTanks(const float (&v)[Count], CFlightSimulatorObjects& s)
{
    const int count = std::clamp(truncToInt32(v[TankCount]), 0, kXPlaneTanks);
    const double totalCapacity = std::max(0.0f, v[FuelCapacity]);
    std::fill(std::begin(s.fTankCapacity), std::end(s.fTankCapacity), 0.0f);
    std::fill(std::begin(s.fTankCapacityGallons), std::end(s.fTankCapacityGallons), 0.0f);
    std::fill(std::begin(s.fTankLevel), std::end(s.fTankLevel), 0.0f);
    std::fill(std::begin(s.fTankFill), std::end(s.fTankFill), 0.0f);
    s.fFuelOutsideTanks = 0.0f;
    float sum = 0.0f;
    for (int i = 0; i < count; ++i) {
        const int slot = tankSlot(i, count);
        const double capacity = totalCapacity * std::clamp(v[TankRatio0 + i], 0.0f, 1.0f);
        const double level = std::max(0.0f, v[TankFuel0 + i]);
        s.fTankCapacity[slot] = static_cast<float>(capacity);
        s.fTankCapacityGallons[slot] = static_cast<float>(capacity / kKgPerGallon);
        s.fTankLevel[slot] = static_cast<float>(level);
        s.fTankFill[slot] = capacity > 0.0 ? static_cast<float>(std::min(1.0, level / capacity)) : 0.0f;
        sum += s.fTankLevel[slot];
    }
    return truncToInt32(sum);
}

} // namespace XPlaneDatarefs
