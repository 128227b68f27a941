// CSimVariables: the variables of the client's data definitions.
#include "SimVariables.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace {
constexpr double kKgPerLb = 0.45359237;
// The tank names in the model's slot order.
const char* const kTankNames[11] = {"CENTER",    "LEFT MAIN", "RIGHT MAIN", "LEFT AUX",  "RIGHT AUX", "LEFT TIP",
                                    "RIGHT TIP", "CENTER2",   "CENTER3",    "EXTERNAL1", "EXTERNAL2"};
constexpr int kFlapsPositions = 4;

double flag(bool b)
{
    return b ? 1.0 : 0.0;
}
} // namespace

CSimVariables::Name CSimVariables::split(const std::string& name)
{
    Name n;
    const std::size_t colon = name.find(':');
    n.base = name.substr(0, colon);
    std::transform(n.base.begin(), n.base.end(), n.base.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (colon != std::string::npos)
        n.index = std::atoi(name.c_str() + colon + 1);
    return n;
}

int CSimVariables::tankSlot(const std::string& base, const char* suffix)
{
    for (int i = 0; i < 11; ++i) {
        if (base == std::string("FUEL TANK ") + kTankNames[i] + suffix)
            return i;
    }
    return -1;
}

bool CSimVariables::known(const std::string& name)
{
    CAircraftModel probe{SimScenario{}};
    const Name n = split(name);
    double v = 0.0;
    return n.index > 0 ? readIndexed(probe, n, v) : readScalar(probe, n.base, v);
}

double CSimVariables::read(const CAircraftModel& model, const std::string& name)
{
    const Name n = split(name);
    double v = 0.0;
    if (n.index > 0)
        readIndexed(model, n, v);
    else
        readScalar(model, n.base, v);
    return v;
}

bool CSimVariables::readIndexed(const CAircraftModel& model, const Name& n, double& out)
{
    if (n.base == "PAYLOAD STATION WEIGHT") {
        const auto& stations = model.scenario().aircraft.payloadStationsKg;
        out = n.index <= static_cast<int>(stations.size()) ? stations[static_cast<std::size_t>(n.index - 1)] : 0.0;
        return true;
    }
    if (n.base == "ENG ON FIRE" && n.index <= 4) {
        out = flag((model.state().engineFailureBits & (1 << (n.index - 1))) != 0);
        return true;
    }
    return false;
}

bool CSimVariables::readScalar(const CAircraftModel& model, const std::string& b, double& out)
{
    const SimAircraftState& s = model.state();
    const SimAircraftType& a = model.scenario().aircraft;
    const double utc = static_cast<double>(model.scenario().startUtcSeconds) + s.simSeconds;
    // clang-format off
    if (b == "PLANE LATITUDE") out = s.lat;
    else if (b == "PLANE LONGITUDE") out = s.lon;
    else if (b == "PLANE HEADING DEGREES MAGNETIC") out = std::fmod(s.headingDeg - s.magVarDeg + 360.0, 360.0);
    else if (b == "LIGHT LANDING") out = flag(s.landingLights);
    else if (b == "SIMULATION RATE") out = s.simRate;
    else if (b == "RADIO HEIGHT") out = model.heightAboveGroundFt();
    else if (b == "PRESSURE ALTITUDE") out = s.altitudeFt;
    else if (b == "GROUND ALTITUDE") out = s.groundFt;
    else if (b == "VERTICAL SPEED") out = s.vsFpm;
    else if (b == "CRASH FLAG") out = flag(s.crashed);
    else if (b == "BRAKE PARKING POSITION") out = flag(s.parkingBrake);
    else if (b == "AIRSPEED INDICATED") out = s.iasKts;
    else if (b == "GROUND VELOCITY") out = s.gsKts;
    else if (b == "MAX GROSS WEIGHT") out = a.maxGrossWeightKg;
    else if (b == "EMPTY WEIGHT") out = a.emptyWeightKg;
    else if (b == "SIM ON GROUND") out = flag(s.onGround);
    else if (b == "NUMBER OF ENGINES") out = a.engines;
    else if (b == "IS SLEW ACTIVE") out = flag(s.slew);
    else if (b == "IS SLEW ALLOWED") out = flag(!s.slewForbidden);
    else if (b == "GEAR HANDLE POSITION") out = flag(s.gearDown);
    else if (b == "IS GEAR RETRACTABLE") out = flag(a.retractableGear);
    else if (b == "LIGHT ON STATES") out = s.lightBits | (s.landingLights ? 0x04 : 0);
    else if (b == "SURFACE TYPE") out = s.surfaceType;
    else if (b == "PAYLOAD STATION COUNT") out = static_cast<double>(a.payloadStationsKg.size());
    else if (b == "FLAPS HANDLE PERCENT") out = s.flaps;
    else if (b == "FLAPS HANDLE INDEX") out = std::round(s.flaps * kFlapsPositions);
    else if (b == "ZULU TIME") out = std::fmod(utc, 86400.0);
    else if (b == "LOCAL TIME") out = std::fmod(utc + model.scenario().localOffsetMinutes * 60.0 + 86400.0, 86400.0);
    else if (b == "PAUSE") out = flag(s.paused);
    else return readFuel(model, b, out);
    // clang-format on
    return true;
}

bool CSimVariables::readFuel(const CAircraftModel& model, const std::string& b, double& out)
{
    const SimAircraftState& s = model.state();
    const SimAircraftType& a = model.scenario().aircraft;
    if (b == "FUEL WEIGHT PER GALLON") {
        out = a.fuelWeightLbsPerGallon * kKgPerLb;
        return true;
    }
    if (b == "FUEL TOTAL QUANTITY") {
        out = model.totalFuelGallons();
        return true;
    }
    if (const int slot = tankSlot(b, " LEVEL"); slot >= 0) {
        const double cap = a.tanks[slot].capacityGallons;
        out = cap > 0.0 ? s.tankGallons[slot] / cap : 0.0;
        return true;
    }
    if (const int slot = tankSlot(b, " CAPACITY"); slot >= 0) {
        out = a.tanks[slot].capacityGallons;
        return true;
    }
    return false;
}

bool CSimVariables::write(CAircraftModel& model, CSimRecord& record, const std::string& name, double value)
{
    SimAircraftState& s = model.state();
    const Name n = split(name);
    if (const int slot = tankSlot(n.base, " LEVEL"); slot >= 0) {
        const double fraction = std::clamp(std::isfinite(value) ? value : 0.0, 0.0, 1.0);
        s.tankGallons[slot] = model.scenario().aircraft.tanks[slot].capacityGallons * fraction;
        record.add({"tank", "", fraction, slot});
    } else if (n.base == "IS SLEW ALLOWED") {
        s.slewForbidden = value == 0.0;
        s.slew = s.slew && !s.slewForbidden;
        record.add({"disableSlew", "", value, -1});
    } else if (n.base == "ENG ON FIRE" && n.index >= 1 && n.index <= 4) {
        if (value != 0.0)
            s.engineFailureBits |= static_cast<std::uint8_t>(1 << (n.index - 1));
        record.add({"engineFailure", "", static_cast<double>(1 << (n.index - 1)), -1});
    } else if (n.base == "GEAR HANDLE POSITION") {
        s.gearDown = s.gearStuck ? s.gearDown : value != 0.0;
        record.add({"gearHandle", "", value, -1});
    } else if (n.base == "FLAPS HANDLE INDEX") {
        s.flaps = s.flapsStuck ? s.flaps : std::clamp(value / kFlapsPositions, 0.0, 1.0);
        record.add({"flapsHandle", "", value, -1});
    } else {
        return false;
    }
    return true;
}
