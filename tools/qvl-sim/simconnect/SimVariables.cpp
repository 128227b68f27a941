// CSimVariables: the variables of the client's data definitions.
#include "SimVariables.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>

namespace {
using Var = CSimVariables::Var;
constexpr double kKgPerLb = 0.45359237;
constexpr int kFlapsPositions = 4;

// The tank names in the model's slot order.
const char* const kTankNames[11] = {"CENTER",    "LEFT MAIN", "RIGHT MAIN", "LEFT AUX",  "RIGHT AUX", "LEFT TIP",
                                    "RIGHT TIP", "CENTER2",   "CENTER3",    "EXTERNAL1", "EXTERNAL2"};

const std::map<std::string, Var> kScalars = {
    {"PLANE LATITUDE", Var::Latitude},
    {"PLANE LONGITUDE", Var::Longitude},
    {"PLANE HEADING DEGREES MAGNETIC", Var::HeadingMagnetic},
    {"LIGHT LANDING", Var::LandingLight},
    {"SIMULATION RATE", Var::SimulationRate},
    {"RADIO HEIGHT", Var::RadioHeight},
    {"PRESSURE ALTITUDE", Var::PressureAltitude},
    {"GROUND ALTITUDE", Var::GroundAltitude},
    {"VERTICAL SPEED", Var::VerticalSpeed},
    {"CRASH FLAG", Var::CrashFlag},
    {"BRAKE PARKING POSITION", Var::ParkingBrake},
    {"AIRSPEED INDICATED", Var::IndicatedAirspeed},
    {"GROUND VELOCITY", Var::GroundVelocity},
    {"MAX GROSS WEIGHT", Var::MaxGrossWeight},
    {"EMPTY WEIGHT", Var::EmptyWeight},
    {"SIM ON GROUND", Var::OnGround},
    {"NUMBER OF ENGINES", Var::Engines},
    {"IS SLEW ACTIVE", Var::SlewActive},
    {"IS SLEW ALLOWED", Var::SlewAllowed},
    {"GEAR HANDLE POSITION", Var::GearHandle},
    {"IS GEAR RETRACTABLE", Var::GearRetractable},
    {"LIGHT ON STATES", Var::LightStates},
    {"SURFACE TYPE", Var::SurfaceType},
    {"PAYLOAD STATION COUNT", Var::PayloadStationCount},
    {"FLAPS HANDLE PERCENT", Var::FlapsPercent},
    {"FLAPS HANDLE INDEX", Var::FlapsIndex},
    {"ZULU TIME", Var::ZuluTime},
    {"LOCAL TIME", Var::LocalTime},
    {"PAUSE", Var::Pause},
    {"FUEL WEIGHT PER GALLON", Var::FuelWeightPerGallon},
    {"FUEL TOTAL QUANTITY", Var::FuelTotalQuantity},
};

double flag(bool b)
{
    return b ? 1.0 : 0.0;
}

std::string upper(const std::string& text)
{
    std::string s = text;
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

CSimVariables::Ref tankVariable(const std::string& base)
{
    for (int i = 0; i < 11; ++i) {
        const std::string tank = std::string("FUEL TANK ") + kTankNames[i];
        if (base == tank + " LEVEL")
            return {Var::TankLevel, i};
        if (base == tank + " CAPACITY")
            return {Var::TankCapacity, i};
    }
    return {};
}
} // namespace

CSimVariables::Ref CSimVariables::resolve(const std::string& name)
{
    const std::size_t colon = name.find(':');
    const std::string base = upper(name.substr(0, colon));
    if (colon != std::string::npos) {
        const int index = std::atoi(name.c_str() + colon + 1);
        if (base == "PAYLOAD STATION WEIGHT" && index >= 1)
            return {Var::PayloadStationWeight, index};
        if (base == "ENG ON FIRE" && index >= 1 && index <= 4)
            return {Var::EngineOnFire, index};
        return {};
    }
    if (const auto it = kScalars.find(base); it != kScalars.end())
        return {it->second, 0};
    return tankVariable(base);
}

double CSimVariables::read(const CAircraftModel& model, const Ref& ref)
{
    const SimAircraftState& s = model.state();
    const SimAircraftType& a = model.scenario().aircraft;
    const double utc = static_cast<double>(model.scenario().startUtcSeconds) + s.simSeconds;
    switch (ref.var) {
    case Var::Latitude:
        return s.lat;
    case Var::Longitude:
        return s.lon;
    case Var::HeadingMagnetic:
        return std::fmod(s.headingDeg - s.magVarDeg + 360.0, 360.0);
    case Var::LandingLight:
        return flag(s.landingLights);
    case Var::SimulationRate:
        return s.simRate;
    case Var::RadioHeight:
        return model.heightAboveGroundFt();
    case Var::PressureAltitude:
        return s.altitudeFt;
    case Var::GroundAltitude:
        return s.groundFt;
    case Var::VerticalSpeed:
        return s.vsFpm;
    case Var::CrashFlag:
        return flag(s.crashed);
    case Var::ParkingBrake:
        return flag(s.parkingBrake);
    case Var::IndicatedAirspeed:
        return s.iasKts;
    case Var::GroundVelocity:
        return s.gsKts;
    case Var::MaxGrossWeight:
        return a.maxGrossWeightKg;
    case Var::EmptyWeight:
        return a.emptyWeightKg;
    case Var::OnGround:
        return flag(s.onGround);
    case Var::Engines:
        return a.engines;
    case Var::SlewActive:
        return flag(s.slew);
    case Var::SlewAllowed:
        return flag(!s.slewForbidden);
    case Var::GearHandle:
        return flag(s.gearDown);
    case Var::GearRetractable:
        return flag(a.retractableGear);
    case Var::LightStates:
        return s.lightBits | (s.landingLights ? 0x04 : 0);
    case Var::SurfaceType:
        return s.surfaceType;
    case Var::PayloadStationCount:
        return static_cast<double>(a.payloadStationsKg.size());
    case Var::PayloadStationWeight:
        return ref.index <= static_cast<int>(a.payloadStationsKg.size())
                   ? a.payloadStationsKg[static_cast<std::size_t>(ref.index - 1)]
                   : 0.0;
    case Var::FlapsPercent:
        return s.flaps;
    case Var::FlapsIndex:
        return std::round(s.flaps * kFlapsPositions);
    case Var::ZuluTime:
        return std::fmod(utc, 86400.0);
    case Var::LocalTime:
        return std::fmod(utc + model.scenario().localOffsetMinutes * 60.0 + 86400.0, 86400.0);
    case Var::Pause:
        return flag(s.paused);
    case Var::EngineOnFire:
        return flag((s.engineFailureBits & (1 << (ref.index - 1))) != 0);
    default:
        return readFuel(model, ref);
    }
}

double CSimVariables::readFuel(const CAircraftModel& model, const Ref& ref)
{
    const SimAircraftState& s = model.state();
    const SimAircraftType& a = model.scenario().aircraft;
    switch (ref.var) {
    case Var::FuelWeightPerGallon:
        return a.fuelWeightLbsPerGallon * kKgPerLb;
    case Var::FuelTotalQuantity:
        return model.totalFuelGallons();
    case Var::TankLevel: {
        const double cap = a.tanks[ref.index].capacityGallons;
        return cap > 0.0 ? s.tankGallons[ref.index] / cap : 0.0;
    }
    case Var::TankCapacity:
        return a.tanks[ref.index].capacityGallons;
    default:
        return 0.0;
    }
}

bool CSimVariables::write(CAircraftModel& model, CSimRecord& record, const Ref& ref, double value)
{
    SimAircraftState& s = model.state();
    switch (ref.var) {
    case Var::TankLevel: {
        const double fraction = std::clamp(std::isfinite(value) ? value : 0.0, 0.0, 1.0);
        s.tankGallons[ref.index] = model.scenario().aircraft.tanks[ref.index].capacityGallons * fraction;
        record.add({"tank", "", fraction, ref.index});
        return true;
    }
    case Var::SlewAllowed:
        s.slewForbidden = value == 0.0;
        s.slew = s.slew && !s.slewForbidden;
        record.add({"disableSlew", "", value, -1});
        return true;
    case Var::EngineOnFire:
        if (value != 0.0)
            s.engineFailureBits |= static_cast<std::uint8_t>(1 << (ref.index - 1));
        record.add({"engineFailure", "", static_cast<double>(1 << (ref.index - 1)), -1});
        return true;
    case Var::GearHandle:
        s.gearDown = s.gearStuck ? s.gearDown : value != 0.0;
        record.add({"gearHandle", "", value, -1});
        return true;
    case Var::FlapsIndex:
        s.flaps = s.flapsStuck ? s.flaps : std::clamp(value / kFlapsPositions, 0.0, 1.0);
        record.add({"flapsHandle", "", value, -1});
        return true;
    default:
        return false;
    }
}
