// CFlightSimulatorInterfaceUsingFsuipc: the offsets, their sizes and scalings.
#include "sim/fsuipc/FlightSimulatorInterfaceUsingFsuipc.h"

#include "core/FixedText.h"
#include "core/NumberConversion.h"
#include "platform/Clock.h"
#include "server/ClientInterface.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr double kLbsToKg = 0.45359237;
constexpr double kMetresToFeet = 3.28083;
constexpr float kKgPerLb = 0.4536f;
constexpr double kLbsPerKgTotal = 2.204622507095337;
constexpr std::uint16_t kGearDown = 16383;

struct TankOffsets {
    std::uint32_t level;
    std::uint32_t capacity;
};
// In the snapshot's tank order.
constexpr TankOffsets kTanks[CFlightSimulatorObjects::kTankCount] = {
    {0x0B74, 0x0B78}, {0x0B7C, 0x0B80}, {0x0B94, 0x0B98}, {0x0B84, 0x0B88}, {0x0B9C, 0x0BA0}, {0x0B8C, 0x0B90},
    {0x0BA4, 0x0BA8}, {0x1244, 0x1248}, {0x124C, 0x1250}, {0x1254, 0x1258}, {0x125C, 0x1260},
};

float fillFraction(float level, float kgPerGallon, float gallons)
{
    // Without a fuel weight or a capacity there is no fraction to write.
    if (!(kgPerGallon > 0.0f) || !(gallons > 0.0f))
        return 0.0f;
    const float fill = level / kgPerGallon / gallons;
    if (!(fill > 0.0f))
        return 0.0f;
    return fill > 1.0f ? 1.0f : fill;
}

} // namespace

CFlightSimulatorInterfaceUsingFsuipc::CFlightSimulatorInterfaceUsingFsuipc(CClientInterface& clientData)
    : CFlightSimulatorInterface(clientData, "FSUIPC", "CFlightSimulatorInterfaceUsingFsuipc"),
      timer(CFlightTimer::Style::Fsuipc, *log)
{
}

CFlightSimulatorInterfaceUsingFsuipc::~CFlightSimulatorInterfaceUsingFsuipc() = default;

bool CFlightSimulatorInterfaceUsingFsuipc::connect()
{
    // A link left open by a simulator restarted since fails only at its next
    // exchange (and closes then): a pilot who presses "Fly!" must not meet that.
    std::uint32_t version = 0;
    if (isOpen() && read(0x3304, 4, &version) && process())
        return true;
    return open();
}

void CFlightSimulatorInterfaceUsingFsuipc::disconnect()
{
    if (isOpen())
        close();
}

bool CFlightSimulatorInterfaceUsingFsuipc::writeByte(std::uint32_t offset, std::uint8_t value)
{
    return write(offset, 1, &value);
}

bool CFlightSimulatorInterfaceUsingFsuipc::writeWord(std::uint32_t offset, std::uint16_t value)
{
    return write(offset, 2, &value);
}

bool CFlightSimulatorInterfaceUsingFsuipc::queuePoll(RawPoll& r)
{
    bool ok = read(0x0262, 2, &r.pause) && read(0x0264, 2, &r.pauseIndicator) && read(0x0560, 8, &r.latitude) &&
              read(0x0568, 8, &r.longitude);
    if (ok && !bLandingLightsOverride)
        ok = read(0x028C, 2, &r.landingLights);
    return ok && read(0x0C1A, 2, &r.simRate) && read(0x31E4, 4, &r.radarAltitude) &&
           read(0x34B0, 8, &r.pressureAltitude) && read(0x0020, 4, &r.groundElevation) &&
           read(0x02C8, 4, &r.verticalSpeed) && read(0x030C, 4, &r.touchdownSpeed) && read(0x0840, 2, &r.crashed) &&
           read(0x0BC8, 2, &r.parkingBrake) && read(0x02BC, 4, &r.indicatedAirspeed) &&
           read(0x02B4, 4, &r.groundSpeed) && read(0x0366, 2, &r.onGround) && read(0x1334, 4, &r.maxGross) &&
           read(0x3BFC, 4, &r.zeroFuel) && read(0x13FC, 4, &r.stationCount) &&
           read(0x1400, sizeof r.stations, r.stations) && read(0x0AEC, 2, &r.engines) && read(0x05DC, 2, &r.slew) &&
           read(0x0580, 4, &r.heading) && read(0x02A0, 2, &r.magVar) && read(0x0BE8, 4, &r.gearHandle) &&
           read(0x0BDC, 4, &r.flaps) && read(0x0D0C, 2, &r.lights) && read(0x060C, 2, &r.gearType) &&
           read(0x31E8, 4, &r.surface);
}

bool CFlightSimulatorInterfaceUsingFsuipc::getEverything()
{
    RawPoll raw;
    if (!queuePoll(raw))
        return false;
    lPreviousVerticalSpeed = lVerticalSpeed;
    if (!process() || !switchOffSlew(raw))
        return false;
    convertPoll(raw);
    updateFlightTimer();
    recentVerticalSpeeds.push(lVerticalSpeed);
    return true;
}

bool CFlightSimulatorInterfaceUsingFsuipc::switchOffSlew(const RawPoll& raw)
{
    if (raw.slew != 1)
        return true;
    return writeWord(0x05DC, 0) && process();
}

void CFlightSimulatorInterfaceUsingFsuipc::convertPoll(const RawPoll& r)
{
    lIndicatedAirspeed = truncToInt32(r.indicatedAirspeed / 128.0);
    lGroundSpeed = truncToInt32(r.groundSpeed * 1.9438 / 65536.0);
    lVerticalSpeed = truncToInt32(r.verticalSpeed * 60.0 * 3.28084 / 256.0);
    lTouchdownVerticalSpeed = truncToInt32(r.touchdownSpeed * 60.0 * 3.28084 / 256.0);
    lGroundAltitude = truncToInt32(r.groundElevation * kMetresToFeet / 256.0);
    lRadarAltitude = truncToInt32(r.radarAltitude / 65536.0 * kMetresToFeet);
    dAltitude = finiteOrZero(r.pressureAltitude) * kMetresToFeet;
    // Some simulators report no pressure altitude on the ground; the height then stands in.
    const double aboveSea = static_cast<double>(lGroundAltitude) + static_cast<double>(lRadarAltitude);
    if (2.0 * dAltitude < aboveSea)
        dAltitude = aboveSea;
    dHeading = r.heading * 360.0 / 4294967296.0;
    if (dHeading < 0.0)
        dHeading += 360.0;
    lPaused = r.pauseIndicator != 0 ? r.pauseIndicator : r.pause;
    bGearDown = static_cast<std::uint32_t>(r.gearHandle) == kGearDown;
    lGearRetractable = r.gearType;
    fSimulationRate = static_cast<float>(r.simRate / 256.0);
    dLatitude = static_cast<double>(r.latitude) * 90.0 / (10001750.0 * 65536.0 * 65536.0);
    dLongitude = static_cast<double>(r.longitude) * 360.0 / 18446744073709551616.0;
    fFlaps = static_cast<float>(r.flaps / 16383.0);
    lMaxGrossWeight = truncToInt32(r.maxGross * kLbsToKg / 256.0);
    convertPayload(r);
    bLightsOn = (r.lights & 0x13) != 0;
    lCrashed = r.crashed != 0 ? 1 : 0;
    lSurfaceType = r.surface;
    nEngines = r.engines;
    bOnGround = r.onGround != 0;
    bParkingBrake = r.parkingBrake != 0;
    if (!bLandingLightsOverride)
        bLandingLights = r.landingLights != 0;
}

void CFlightSimulatorInterfaceUsingFsuipc::convertPayload(const RawPoll& r)
{
    // The block holds 61 stations; a larger or negative count is the simulator's error.
    int count = r.stationCount;
    if (count < 0 || count > kMaxPayloadStations) {
        log->warnf("Payload station count %d out of range, using %d", count, count < 0 ? 0 : kMaxPayloadStations);
        count = count < 0 ? 0 : kMaxPayloadStations;
    }
    double payload = 0.0;
    std::int32_t stationKg = 0;
    for (int i = 0; i < count; ++i) {
        double pounds = 0.0;
        std::memcpy(&pounds, r.stations + static_cast<std::size_t>(i) * kPayloadStationSize, sizeof pounds);
        pounds = finiteOrZero(pounds);
        payload += pounds * kLbsToKg;
        stationKg += truncToInt32(pounds * kLbsToKg);
    }
    dPayload = payload;
    lEmptyWeight = truncToInt32(r.zeroFuel * kLbsToKg / 256.0) - stationKg;
}

bool CFlightSimulatorInterfaceUsingFsuipc::updateFlightTimer()
{
    std::uint8_t utc[3] = {}, local[2] = {}, day[3] = {}, year[3] = {};
    double flightTime = 0.0;
    if (!read(0x023A, 3, utc) || !read(0x0238, 2, local) || !read(0x04A8, 8, &flightTime) || !read(0x023E, 3, day) ||
        !read(0x0240, 3, year) || !process())
        return false;
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d", utc[1], utc[2]);
    copyText(szZuluTime, text);
    std::snprintf(text, sizeof text, "%02d%02d", local[0], local[1]);
    copyText(szLocalTime, text);
    dFlightTime = finiteOrZero(flightTime);
    if (dFlightTime != 0.0)
        return true;
    const double y = day[0] | day[1] << 8;
    const int yearValue = year[0] | year[1] << 8;
    const double t = (yearValue / 4 + yearValue * 365.0 + y) * 86400.0 + utc[1] * 3600.0 + utc[2] * 60.0 + utc[0];
    const CFlightTimer::Result r = timer.update(t);
    dFlightTime = r.flightTime;
    if (r.jumpCut)
        dLastAltitude = static_cast<double>(lGroundAltitude) + static_cast<double>(lRadarAltitude);
    return true;
}

bool CFlightSimulatorInterfaceUsingFsuipc::readFuelWeight()
{
    std::uint16_t raw = 0;
    if (!read(0x0AF4, 2, &raw) || !process())
        return false;
    lFuelWeightRaw = raw;
    fFuelWeightLbsPerGallon = static_cast<float>(raw) / 256.0f;
    fFuelWeightKgPerGallon = fFuelWeightLbsPerGallon * kKgPerLb;
    return true;
}

int CFlightSimulatorInterfaceUsingFsuipc::getAircraftTanks()
{
    std::int32_t capacity[kTankCount] = {};
    for (int i = 0; i < kTankCount; ++i) {
        if (!read(kTanks[i].capacity, 4, &capacity[i]))
            return -1;
    }
    if (!process())
        return 0;
    for (int i = 0; i < kTankCount; ++i)
        fTankCapacityGallons[i] = static_cast<float>(capacity[i]);

    std::int32_t level[kTankCount] = {};
    std::int32_t totalPounds = 0;
    std::uint16_t fuelWeight = 0;
    for (int i = 0; i < kTankCount; ++i) {
        if (!read(kTanks[i].level, 4, &level[i]))
            return -1;
    }
    if (!read(0x126C, 4, &totalPounds) || !read(0x0AF4, 2, &fuelWeight))
        return -1;
    if (!process())
        return 0;
    lFuelWeightRaw = fuelWeight;
    fFuelWeightLbsPerGallon = static_cast<float>(fuelWeight) / 256.0f;
    fFuelWeightKgPerGallon = fFuelWeightLbsPerGallon * kKgPerLb;
    float sumLevels = 0.0f;
    for (int i = 0; i < kTankCount; ++i) {
        fTankCapacity[i] = fFuelWeightKgPerGallon * fTankCapacityGallons[i];
        fTankFill[i] = static_cast<float>(level[i] * (1.0 / 8388608.0));
        fTankLevel[i] = fFuelWeightKgPerGallon * fTankCapacityGallons[i] * fTankFill[i];
        sumLevels += fTankLevel[i];
    }
    const std::int32_t total = truncToInt32(totalPounds / kLbsPerKgTotal);
    const std::int32_t sum = truncToInt32(sumLevels);
    if (total > sum) {
        fFuelOutsideTanks = static_cast<float>(total - sum);
        return total;
    }
    return sum;
}

int CFlightSimulatorInterfaceUsingFsuipc::setAircraftTanks()
{
    if (!readFuelWeight())
        return 0;
    if (!(fFuelWeightKgPerGallon > 0.0f))
        log->errorf("Fuel weight %d from the simulator is unusable, tanks not set", lFuelWeightRaw);
    float fill[kTankCount] = {};
    bool anyFuel = false;
    for (int i = 0; i < kTankCount; ++i) {
        fill[i] = fillFraction(fTankLevel[i], fFuelWeightKgPerGallon, fTankCapacityGallons[i]);
        fTankFill[i] = fill[i];
        anyFuel = anyFuel || fill[i] != 0.0f;
    }
    if (!anyFuel)
        return -1;
    std::int32_t raw[kTankCount] = {};
    for (int i = 0; i < kTankCount; ++i) {
        raw[i] = fTankCapacityGallons[i] > 0.0f ? truncToInt32(fill[i] * 128.0 * 65536.0) : 0;
        if (!write(kTanks[i].level, 4, &raw[i]))
            return -1;
    }
    if (!process()) {
        log->error("Setting fuel tanks failed!");
        return -1;
    }
    log->debugf("Set fuel tanks to: %dkg", fuelOnBoardRounded());
    processClock().sleepMs(100);
    return 1;
}

bool CFlightSimulatorInterfaceUsingFsuipc::failEngine(int engine, bool quiet)
{
    static const std::uint8_t kBits[] = {1, 2, 4, 8, 1};
    if (engine < 0 || engine > 4)
        return true;
    if (!writeByte(0x0B6B, kBits[engine]) || !process())
        return false;
    if (!quiet) {
        char text[64];
        std::snprintf(text, sizeof text, "Failure: Engine %d disabled!", engine == 4 ? 1 : engine + 1);
        showText(text, 10, false);
    }
    return true;
}

bool CFlightSimulatorInterfaceUsingFsuipc::applyFailure(int kind)
{
    if (kind != 5 && kind != 6)
        return true;
    return writeByte(0x32F8, kind == 5 ? 1 : 4) && process();
}

bool CFlightSimulatorInterfaceUsingFsuipc::setSimulationRate(int rate)
{
    return writeWord(0x0C1A, static_cast<std::uint16_t>(rate * 256)) && process();
}

bool CFlightSimulatorInterfaceUsingFsuipc::disableSlew()
{
    const std::uint32_t value = 0xFF001800;
    return write(0x32F0, 4, &value) && process();
}

bool CFlightSimulatorInterfaceUsingFsuipc::showText(const std::string& text, int seconds, bool force)
{
    if (!bTextOutput && !force)
        return true;
    char buffer[128] = {};
    copyText(buffer, text);
    const std::int16_t time = static_cast<std::int16_t>(-seconds);
    if (write(0x3380, sizeof buffer, buffer) && write(0x32FA, 2, &time))
        process();
    return true;
}

bool CFlightSimulatorInterfaceUsingFsuipc::pauseSimulator()
{
    return writeWord(0x0262, 1) && process();
}

bool CFlightSimulatorInterfaceUsingFsuipc::saveFlight(int number)
{
    char name[252] = {};
    char text[64];
    std::snprintf(text, sizeof text, "qvl_autosave.%d.flt", number);
    copyText(name, text);
    return write(0x3F04, sizeof name, name) && writeWord(0x3F00, 1) && process();
}

std::string CFlightSimulatorInterfaceUsingFsuipc::getVersionText()
{
    if (!isConnected())
        connect();
    if (!isConnected())
        return {};
    std::uint32_t version = 0;
    if (!read(0x3304, 4, &version) || !process())
        return {};
    char text[32];
    std::snprintf(text, sizeof text, "%x", version >> 16);
    return text;
}

std::string CFlightSimulatorInterfaceUsingFsuipc::getRequiredVersionText()
{
    const int slot =
        getSimulatorVersion() == SimFSX ? CClientInterface::VersionFsuipcFsx : CClientInterface::VersionFsuipcFs2004;
    return fieldText(client.versions[slot]);
}

bool CFlightSimulatorInterfaceUsingFsuipc::checkVersion()
{
    if (!isConnected())
        return false;
    const std::string found = getVersionText();
    if (found.empty())
        return false;
    const std::string required = getRequiredVersionText();
    const long foundNumber = std::strtol(found.c_str(), nullptr, 10);
    const long requiredNumber = std::strtol(required.c_str(), nullptr, 10);
    if (foundNumber >= requiredNumber)
        return true;
    log->warnf("FSUIPC version %ld is older than the required %ld", foundNumber, requiredNumber);
    return false;
}

bool CFlightSimulatorInterfaceUsingFsuipc::readSimulatorWords(std::uint16_t& version, std::uint8_t& subVersion)
{
    return read(0x3308, 2, &version) && read(0x3124, 1, &subVersion) && process();
}

int CFlightSimulatorInterfaceUsingFsuipc::getSimulatorVersion()
{
    const std::string versionText = getVersionText();
    std::uint16_t v = 0;
    std::uint8_t s = 0;
    if (!readSimulatorWords(v, s))
        return 0;
    if (v == 11 && s > 59)
        return SimP3D6;
    if (v == 11 && s > 49)
        return SimP3D5;
    if (versionText == "5000")
        return v == 8 ? SimXPlane10 : SimXPlane9;
    return v;
}

std::string CFlightSimulatorInterfaceUsingFsuipc::getSimulatorIdent()
{
    const std::string versionText = getVersionText();
    std::uint16_t v = 0;
    std::uint8_t s = 0;
    if (!readSimulatorWords(v, s))
        return {};
    char text[225];
    std::snprintf(text, sizeof text, "FC (%s)(%d)(%d)", versionText.c_str(), v, s);
    return text;
}
