// Bridge-independent parts of the simulator interface.
#include "sim/FlightSimulatorInterface.h"

#include "core/NumberConversion.h"
#include "server/ClientInterface.h"

#include <algorithm>
#include <cstdlib>

namespace {
const char* const kSurfaceNames[] = {
    "Concrete", "Grass", "Water", "Grass_bumpy", "Asphalt", "Short_grass", "Long_grass",
    "Hard_turf", "Snow", "Ice", "Urban", "Forest", "Dirt", "Coral", "Gravel", "Oil_treated",
    "Steel_mats", "Bituminus", "Brick", "Macadam", "Planks", "Sand", "Shale", "Tarmac",
    "Wright flyer track"};

int decimal(const char* text)
{
    return static_cast<int>(std::strtol(text, nullptr, 10));
}

// Gives each tank of a pair half of what the pair can take.
float fillPair(float& left, float& right, float capLeft, float capRight, float& rest)
{
    const float m = std::min(rest, capLeft + capRight) / 2.0f;
    left = right = m;
    rest -= 2.0f * m;
    return m;
}

void fillSingle(float& level, float cap, float& rest)
{
    level = std::min(cap, rest);
    rest -= level;
}
} // namespace

CFlightSimulatorInterface::CFlightSimulatorInterface(CClientInterface& clientData, const std::string& name,
                                                     const std::string& channelName)
    : client(clientData), interfaceName(name), log(std::make_unique<CDebugLog>(channelName))
{
}

CFlightSimulatorInterface::~CFlightSimulatorInterface() = default;

void CFlightSimulatorInterface::resetFlightTimer() {}

void CFlightSimulatorInterface::distributeFuel(int kg)
{
    float rest = static_cast<float>(std::max(kg, 0));
    const float* cap = fTankCapacity;
    float* lvl = fTankLevel;
    fillPair(lvl[TankLeftMain], lvl[TankRightMain], cap[TankLeftMain], cap[TankRightMain], rest);
    fillPair(lvl[TankLeftAux], lvl[TankRightAux], cap[TankLeftAux], cap[TankRightAux], rest);
    fillPair(lvl[TankLeftTip], lvl[TankRightTip], cap[TankLeftTip], cap[TankRightTip], rest);
    fillSingle(lvl[TankCentre], cap[TankCentre], rest);
    fillSingle(lvl[TankCentre2], cap[TankCentre2], rest);
    fillSingle(lvl[TankCentre3], cap[TankCentre3], rest);
    fillSingle(lvl[TankExternal1], cap[TankExternal1], rest);
    fillSingle(lvl[TankExternal2], cap[TankExternal2], rest);
}

int CFlightSimulatorInterface::getOverweight()
{
    szOverweightLimit = "";
    const AircraftTypeData& t = client.types;
    const int base = decimal(client.flightLog.l_Passengers) * 102 + decimal(client.flightLog.l_Cargo) + t.d_DOW +
                     client.flightLog.crew_wt + client.flightLog.package_kg;
    const int landing = base + lExtraFuel - t.d_MLW;
    if (landing > 0)
        szOverweightLimit = " MLW";
    getAircraftTanks();
    const int takeoff = base + fuelOnBoardRounded() - t.d_MTOW;
    if (takeoff > 0)
        szOverweightLimit = " MTOW";
    const int zeroFuel = base - t.d_MZFW;
    if (zeroFuel > 0)
        szOverweightLimit = " MZFW";
    return std::max({landing, takeoff, zeroFuel});
}

int CFlightSimulatorInterface::checkAircraftData()
{
    if (nEngines < client.types.d_Engines) {
        log->warnf("Engine count missmatch db: %d found %d", client.types.d_Engines, static_cast<int>(nEngines));
        return 5;
    }
    // The weight comparison waits for agreed thresholds; only the engines count.
    return 0;
}

void CFlightSimulatorInterface::toggleLandingLights()
{
    bLandingLights = !bLandingLights;
    showText(bLandingLights ? "Landing Lights turned ON!" : "Landing Lights turned OFF!", 10, true);
    bLandingLightsOverride = true;
}

const char* CFlightSimulatorInterface::surfaceTypeName(int code)
{
    if (code < 0 || code >= static_cast<int>(std::size(kSurfaceNames)))
        return "Unknown";
    return kSurfaceNames[code];
}

const char* CFlightSimulatorInterface::getSurfaceTypeName() const
{
    return surfaceTypeName(lSurfaceType);
}

int CFlightSimulatorInterface::getElapsedFlightTime() const
{
    return truncToInt32(dFlightTime) - lFlightTimeAtStart;
}

const char* CFlightSimulatorInterface::getVersionChecklistText(int code)
{
    switch (code) {
    case SimFS2002: return "Version: FS2002";
    case SimFS2004: return "Version: FS2004";
    case SimFSX: return "Version: FSX";
    case SimP3D: return "Version: Prepar3D";
    case SimP3D4:
    case SimP3D5: return "Version: Prepar3D 64bit";
    case SimFS2020: return "Version: FS2020";
    case SimXPlane9: return "Version: X-Plane 9";
    case SimXPlane10: return "Version: X-Plane 10";
    case SimXPlane12: return "Version: X-Plane 12";
    case SimFlightGear: return "Version: FlightGear";
    default: return "Version: unknown";
    }
}

std::string CFlightSimulatorInterface::getSimulatorReportCode()
{
    switch (getSimulatorVersion()) {
    case SimFS2002: return "FS2002";
    case SimFS2004: return "FS2004";
    case SimFSX: return "FSX";
    case SimP3D: return "P3D";
    case SimP3D4: return "P3D4";
    case SimP3D5: return "P3D5";
    case SimFS2020: return "FS2020";
    case SimFS2024: return "FS2024";
    case SimXPlane9: return "XP9";
    case SimXPlane10: return "XP11";
    case SimXPlane12: return "XP12";
    case SimFlightGear: return "FG";
    case SimP3D6: return "P3D6";
    default: return getSimulatorIdent();
    }
}
