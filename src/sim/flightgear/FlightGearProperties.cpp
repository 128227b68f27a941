// FlightGearProperties: paths, units and conversions of the polled properties.
#include "sim/flightgear/FlightGearProperties.h"

#include "core/NumberConversion.h"
#include "sim/flightgear/PropertyProtocol.h"

#include <algorithm>
#include <cmath>

namespace FlightGearProperties {

namespace {

const Property kFields[Count] = {
    {"/position/latitude-deg", "degrees", true},
    {"/position/longitude-deg", "degrees", true},
    {"/orientation/heading-magnetic-deg", "degrees magnetic", true},
    {"/instrumentation/altimeter/pressure-alt-ft", "feet", true},
    {"/position/altitude-agl-ft", "feet", true},
    {"/position/ground-elev-ft", "feet", true},
    {"/velocities/vertical-speed-fps", "feet/second", true},
    {"/instrumentation/airspeed-indicator/indicated-speed-kt", "knots", true},
    {"/velocities/groundspeed-kt", "knots", true},
    {"/gear/gear[0]/wow", "boolean", true},
    {"/gear/gear[1]/wow", "boolean", false},
    {"/gear/gear[2]/wow", "boolean", false},
    {"/controls/gear/brake-parking", "ratio", true},
    {"/controls/gear/gear-down", "boolean", true},
    {"/controls/flight/flaps", "ratio", true},
    {"/controls/lighting/landing-lights", "boolean", false},
    {"/controls/lighting/nav-lights", "boolean", false},
    {"/controls/lighting/beacon", "boolean", false},
    {"/controls/lighting/strobe", "boolean", false},
    {"/fdm/jsbsim/inertia/empty-weight-lbs", "pounds", false},
    {"/limits/mass-and-balance/maximum-takeoff-mass-lbs", "pounds", false},
    {"/sim/speed-up", "ratio", true},
    {"/sim/freeze/master", "boolean", true},
    {"/sim/replay/replay-state", "boolean", false},
    {"/sim/crashed", "boolean", false},
    {"/sim/time/utc/day-seconds", "seconds", true},
    {"/sim/time/local-day-seconds", "seconds", true},
};

constexpr const char* kAircraft = "/sim/aircraft";
constexpr const char* kVersion = "/sim/version/flightgear";
// JSBSim ties a gear unit's position only when the gear retracts.
constexpr const char* kRetractableGear = "/fdm/jsbsim/gear/unit[0]/pos-norm";
// Set by an aircraft whose engines are variants of which one is fitted.
constexpr const char* kActiveEngine = "/controls/engines/active-engine";
// Per tank at connect: its capacity and whether it is in use.
constexpr int kTankLayoutValues = 2;

std::string indexed(const char* parent, int i, const char* leaf)
{
    return std::string(parent) + "[" + std::to_string(i) + "]/" + leaf;
}

std::string tankPath(int tank, const char* leaf)
{
    return indexed("/consumables/fuel/tank", tank, leaf);
}

// Where a tank's three values and a station's weight sit among the poll's answers.
int tankAnswer(int tank, int which)
{
    return Count + tank * 3 + which;
}

int stationAnswer(const Layout& layout, int station)
{
    return Count + static_cast<int>(layout.tanks.size()) * 3 + station;
}

bool on(double v)
{
    return v >= 0.5;
}

// Heading 0..360 whatever FlightGear hands over.
double heading(double degrees)
{
    const double h = std::fmod(degrees, 360.0);
    return h < 0.0 ? h + 360.0 : h;
}

// Numbered nodes exist from 0 up without gaps; the first missing one ends them.
int countPresent(const std::vector<std::optional<std::string>>& answers, std::size_t first, int most)
{
    int n = 0;
    while (n < most && first + n < answers.size() && answers[first + n])
        ++n;
    return n;
}

std::int32_t pounds(double lbs)
{
    return truncToInt32(lbs * kKgPerPound);
}

} // namespace

Property property(int field)
{
    if (field >= 0 && field < Count)
        return kFields[field];
    return {"", "", false};
}

std::string tankLevelPath(int number)
{
    return tankPath(number, "level-lbs");
}

std::vector<std::string> pollPaths(const Layout& layout)
{
    std::vector<std::string> paths;
    for (const Property& p : kFields)
        paths.emplace_back(p.path);
    for (const int number : layout.tanks) {
        paths.push_back(tankLevelPath(number));
        paths.push_back(tankPath(number, "capacity-gal_us"));
        paths.push_back(tankPath(number, "density-ppg"));
    }
    for (int i = 0; i < layout.stations; ++i)
        paths.push_back(indexed("/payload/weight", i, "weight-lb"));
    return paths;
}

std::vector<std::string> layoutPaths()
{
    std::vector<std::string> paths;
    for (int i = 0; i < kMaxTanks; ++i) {
        paths.push_back(tankPath(i, "capacity-gal_us"));
        paths.push_back(tankPath(i, "selected"));
    }
    for (int i = 0; i < kMaxStations; ++i)
        paths.push_back(indexed("/payload/weight", i, "weight-lb"));
    // JSBSim's own engines; other flight models' engines count by /engines.
    for (int i = 0; i < kMaxEngines; ++i)
        paths.push_back(indexed("/fdm/jsbsim/propulsion/engine", i, "set-running"));
    for (int i = 0; i < kMaxEngines; ++i)
        paths.push_back(indexed("/engines/engine", i, "running"));
    paths.emplace_back(kRetractableGear);
    paths.emplace_back(kActiveEngine);
    paths.emplace_back(kAircraft);
    paths.emplace_back(kVersion);
    return paths;
}

Layout layoutFrom(const std::vector<std::optional<std::string>>& answers, std::string& aircraft,
                  std::string& version)
{
    Layout layout;
    const std::size_t stations = kMaxTanks * kTankLayoutValues;
    const std::size_t engines = stations + kMaxStations;
    const std::size_t rest = engines + 2 * kMaxEngines;
    if (answers.size() < rest + 4)
        return layout;
    for (int i = 0; i < kMaxTanks; ++i) {
        const auto& capacity = answers[i * kTankLayoutValues];
        const auto& selected = answers[i * kTankLayoutValues + 1];
        const auto gallons = capacity ? PropertyProtocol::number(*capacity) : std::nullopt;
        if (gallons && *gallons > 0.0 && selected != "false")
            layout.tanks.push_back(i);
    }
    layout.stations = countPresent(answers, stations, kMaxStations);
    layout.engines = countPresent(answers, engines, kMaxEngines);
    if (layout.engines == 0)
        layout.engines = countPresent(answers, engines + kMaxEngines, kMaxEngines);
    const auto active = answers[rest + 1] ? PropertyProtocol::number(*answers[rest + 1]) : std::nullopt;
    if (active && *active >= 0.0 && *active < layout.engines && *active == std::floor(*active)) {
        layout.activeEngine = static_cast<int>(*active);
        layout.engines = 1;
    }
    layout.retractableGear = answers[rest].has_value();
    aircraft = answers[rest + 2].value_or("");
    version = answers[rest + 3].value_or("");
    return layout;
}

int tankSlot(int tank, int count)
{
    using T = CFlightSimulatorObjects;
    static const int kMany[kMaxTanks] = {T::TankLeftMain,  T::TankRightMain, T::TankCentre,   T::TankLeftAux,
                                         T::TankRightAux, T::TankLeftTip,   T::TankRightTip, T::TankCentre2};
    if (tank < 0 || tank >= kMaxTanks || tank >= count)
        return -1;
    if (count == 1)
        return T::TankCentre;
    return kMany[tank];
}

bool applyPoll(const Values& v, const Layout& layout, CFlightSimulatorObjects& s, bool keepLandingLights,
               std::vector<std::string>& missing)
{
    missing.clear();
    for (int f = 0; f < Count; ++f) {
        if (kFields[f].required && (static_cast<std::size_t>(f) >= v.size() || !v[f]))
            missing.emplace_back(kFields[f].path);
    }
    if (!missing.empty())
        return false;
    const auto has = [&v](int f) { return v[f].has_value(); };
    const auto at = [&v](int f) { return *v[f]; };
    s.dLatitude = at(Latitude);
    s.dLongitude = at(Longitude);
    s.dHeading = heading(at(MagneticHeading));
    s.dAltitude = at(Altitude);
    s.lRadarAltitude = truncToInt32(at(HeightAboveGround));
    s.lGroundAltitude = truncToInt32(at(GroundElevation));
    s.lVerticalSpeed = truncToInt32(at(VerticalSpeed) * 60.0);
    s.lIndicatedAirspeed = truncToInt32(at(IndicatedAirspeed));
    s.lGroundSpeed = truncToInt32(at(GroundSpeed));
    bool ground = false;
    for (int g = WeightOnWheels0; g < WeightOnWheels0 + kGearUnits; ++g)
        ground = ground || (has(g) && on(at(g)));
    s.bOnGround = ground;
    s.bParkingBrake = at(ParkingBrake) > 0.0;
    s.bGearDown = on(at(GearDown));
    s.lGearRetractable = layout.retractableGear ? 1 : 0;
    s.fFlaps = static_cast<float>(std::clamp(at(Flaps), 0.0, 1.0));
    if (!keepLandingLights && has(LandingLights))
        s.bLandingLights = on(at(LandingLights));
    if (has(NavigationLights) || has(BeaconLights) || has(StrobeLights))
        s.bLightsOn = (has(NavigationLights) && on(at(NavigationLights))) ||
                      (has(BeaconLights) && on(at(BeaconLights))) || (has(StrobeLights) && on(at(StrobeLights)));
    s.nEngines = static_cast<std::int16_t>(layout.engines);
    if (has(EmptyWeight))
        s.lEmptyWeight = pounds(at(EmptyWeight));
    if (has(MaxWeight))
        s.lMaxGrossWeight = pounds(at(MaxWeight));
    double payload = 0.0;
    bool payloadKnown = true;
    for (int i = 0; i < layout.stations; ++i) {
        const std::size_t index = static_cast<std::size_t>(stationAnswer(layout, i));
        payloadKnown = payloadKnown && index < v.size() && v[index];
        if (payloadKnown)
            payload += std::max(0.0, *v[index]);
    }
    if (payloadKnown)
        s.dPayload = payload * kKgPerPound;
    if (at(SpeedUp) > 0.0)
        s.fSimulationRate = static_cast<float>(at(SpeedUp));
    // A replay moves the aircraft without flying it: it counts as a pause.
    s.lPaused = on(at(Frozen)) || (has(ReplayActive) && on(at(ReplayActive))) ? 1 : 0;
    if (has(Crashed) && on(at(Crashed)))
        s.lCrashed = 1;
    return true;
}

std::int32_t applyTanks(const Values& v, const Layout& layout, CFlightSimulatorObjects& s)
{
    const int count = static_cast<int>(layout.tanks.size());
    if (v.size() < static_cast<std::size_t>(tankAnswer(count, 0)))
        return -1;
    for (int i = 0; i < count; ++i) {
        for (int which = 0; which < 3; ++which) {
            if (!v[tankAnswer(i, which)])
                return -1;
        }
    }
    std::fill(std::begin(s.fTankCapacity), std::end(s.fTankCapacity), 0.0f);
    std::fill(std::begin(s.fTankCapacityGallons), std::end(s.fTankCapacityGallons), 0.0f);
    std::fill(std::begin(s.fTankLevel), std::end(s.fTankLevel), 0.0f);
    std::fill(std::begin(s.fTankFill), std::end(s.fTankFill), 0.0f);
    s.fFuelOutsideTanks = 0.0f;
    double sum = 0.0;
    for (int i = 0; i < count; ++i) {
        const int slot = tankSlot(i, count);
        const double gallons = std::max(0.0, *v[tankAnswer(i, 1)]);
        const double capacity = gallons * std::max(0.0, *v[tankAnswer(i, 2)]) * kKgPerPound;
        const double level = std::max(0.0, *v[tankAnswer(i, 0)]) * kKgPerPound;
        s.fTankCapacity[slot] += static_cast<float>(capacity);
        s.fTankCapacityGallons[slot] += static_cast<float>(gallons);
        s.fTankLevel[slot] += static_cast<float>(level);
        s.fTankFill[slot] = s.fTankCapacity[slot] > 0.0f ? std::min(1.0f, s.fTankLevel[slot] / s.fTankCapacity[slot])
                                                         : 0.0f;
        sum += level;
    }
    // Written as pounds, 80 kg reads back as 79.99999: truncated after a
    // rounding to a thousandth, as a value read in kg would be.
    return truncToInt32(std::round(sum * 1000.0) / 1000.0);
}

} // namespace FlightGearProperties
