// CFlightSimulatorInterfaceUsingSdk: connection, requests, the waiting
// routine and the conversions of the returned data blocks.
#include "sim/simconnect/FlightSimulatorInterfaceUsingSdk.h"

#include "core/FixedText.h"
#include "core/NumberConversion.h"
#include "core/TextCompare.h"
#include "platform/Clock.h"
#include "server/ClientInterface.h"
#include "sim/simconnect/SimConnectDefinitions.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

using namespace SimConnectApi;
using namespace SimConnectDefinitions;

// A library that keeps handing out messages must not hold the client in one pass.
constexpr int kMaxMessagesPerPass = 1000;

// Library doubles beyond the float range saturate instead of overflowing the conversion.
float toFloat(double v)
{
    return static_cast<float>(std::clamp(v, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX)));
}

// Reads the values of a data block one after the other; the caller checked its size.
class BlockReader {
public:
    explicit BlockReader(const std::uint8_t* block) : p(block) {}
    double f64() { return finiteOrZero(take<double>()); }
    float f32()
    {
        const float v = take<float>();
        return std::isfinite(v) ? v : 0.0f;
    }
    std::int32_t i32() { return take<std::int32_t>(); }

private:
    template <typename T> T take()
    {
        T v{};
        std::memcpy(&v, p + pos, sizeof v);
        pos += sizeof v;
        return v;
    }
    const std::uint8_t* p;
    std::size_t pos = 0;
};

template <typename T> bool readMessage(const std::vector<std::uint8_t>& m, T& out)
{
    if (m.size() < sizeof out)
        return false;
    std::memcpy(&out, m.data(), sizeof out);
    return true;
}

DWORD messageId(const std::vector<std::uint8_t>& m)
{
    RecvHeader h{};
    return readMessage(m, h) ? h.dwID : 0;
}

double decimalValue(const std::string& text)
{
    double v = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

bool startsWithAny(const std::string& text, std::initializer_list<const char*> prefixes)
{
    return std::any_of(prefixes.begin(), prefixes.end(), [&](const char* p) { return text.rfind(p, 0) == 0; });
}

} // namespace

CFlightSimulatorInterfaceUsingSdk::CFlightSimulatorInterfaceUsingSdk(CClientInterface& clientData)
    : CFlightSimulatorInterface(clientData, "SimConnect", "CFlightSimulatorInterfaceUsingSdk"),
      timer(CFlightTimer::Style::SimConnect, *log)
{
}

CFlightSimulatorInterfaceUsingSdk::~CFlightSimulatorInterfaceUsingSdk()
{
    disconnect();
    library.release(*log);
}

bool CFlightSimulatorInterfaceUsingSdk::connect()
{
    if (bConnected)
        return true;
    if (!library.load(*log))
        return false;
    HANDLE handle = nullptr;
    if (!succeeded(library.Open(&handle, "Request Data", nullptr, 0, nullptr, 0)) || handle == nullptr) {
        log->debug("Connecting to FS via SimConnect failed!");
        return false;
    }
    log->debug("Successfully connected to FS via SimConnect");
    hSimConnect = handle;
    bConnected = true;
    registerDefinitions();
    writeInt(DefineSlewAllowed, 0);
    Message open;
    if (waitFor(Awaited::Open, 0, open))
        storeVersions(open);
    return true;
}

void CFlightSimulatorInterfaceUsingSdk::registerDefinitions()
{
    for (const Datum& d : allData())
        library.AddToDataDefinition(hSimConnect, d.define, d.name.c_str(), d.units, d.type, 0.0f, kUnused);
    library.MapClientEventToSimEvent(hSimConnect, EventSimRateIncrease, "SIM_RATE_INCR");
    library.MapClientEventToSimEvent(hSimConnect, EventSimRateDecrease, "SIM_RATE_DECR");
    library.MapClientEventToSimEvent(hSimConnect, EventPauseOn, "pause_on");
    library.SubscribeToSystemEvent(hSimConnect, EventFrame, "Frame");
    library.SubscribeToSystemEvent(hSimConnect, EventCrashed, "Crashed");
}

void CFlightSimulatorInterfaceUsingSdk::disconnect()
{
    if (!library.isLoaded() || !bConnected)
        return;
    library.Close(hSimConnect);
    processClock().sleepMs(1000);
    hSimConnect = nullptr;
    bConnected = false;
    log->debug("Disconnected from FS!");
}

bool CFlightSimulatorInterfaceUsingSdk::requestOnce(std::uint32_t request, std::uint32_t define)
{
    if (!bConnected)
        return false;
    if (succeeded(library.RequestDataOnSimObject(hSimConnect, request, define, kUserAircraft, PeriodOnce, 0, 0, 0, 0)))
        return true;
    // A request the library refuses means the connection is gone.
    disconnect();
    return false;
}

bool CFlightSimulatorInterfaceUsingSdk::takeMessage(Message& message)
{
    RecvHeader* data = nullptr;
    DWORD size = 0;
    if (!bConnected || !succeeded(library.GetNextDispatch(hSimConnect, &data, &size)) || data == nullptr)
        return false;
    if (size < sizeof(RecvHeader)) {
        log->errorf("Dropped a message of %u bytes from SimConnect", size);
        message.clear();
        return true;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
    message.assign(bytes, bytes + size);
    return true;
}

bool CFlightSimulatorInterfaceUsingSdk::waitFor(Awaited kind, std::uint32_t request, Message& answer)
{
    if (!bConnected)
        return false;
    for (int pass = 0; pass < kWaitPasses && bConnected; ++pass) {
        Message m;
        for (int n = 0; n < kMaxMessagesPerPass && takeMessage(m); ++n) {
            const DWORD id = messageId(m);
            if (id == RecvIdEvent) {
                handleEvent(m);
            } else if (id == RecvIdOpen) {
                if (kind == Awaited::Open && m.size() >= sizeof(RecvOpen)) {
                    answer = std::move(m);
                    return true;
                }
                log->debug("Received SIMCONNECT_RECV_ID_OPEN");
            } else if (id == RecvIdObjectData) {
                if (kind == Awaited::ObjectData) {
                    if (objectDataFor(request, m)) {
                        answer = std::move(m);
                        return true;
                    }
                } else {
                    log->debug("Received SIMCONNECT_RECV_ID_SIMOBJECT_DATA");
                }
            } else if (id == RecvIdSystemState && kind == Awaited::SystemState) {
                answer = std::move(m);
                return true;
            } else if (id != RecvIdEventFrame && id != 0) {
                log->debug("Received unexpected structure, ID=" + std::to_string(id));
            }
        }
        processClock().sleepMs(kWaitPassMs);
    }
    log->errorf("Receiving requested data from SimConnect failed: ID = %u, Type = %u", request,
                static_cast<unsigned>(kind));
    return false;
}

// True for a data message of the request; its fixed part is removed.
bool CFlightSimulatorInterfaceUsingSdk::objectDataFor(std::uint32_t request, Message& m)
{
    RecvObjectData head{};
    if (!readMessage(m, head) || head.dwRequestID != request)
        return false;
    m.erase(m.begin(), m.begin() + sizeof head);
    return true;
}

void CFlightSimulatorInterfaceUsingSdk::handleEvent(const Message& m)
{
    RecvEvent e{};
    if (readMessage(m, e) && e.uEventID == EventCrashed)
        lCrashed = 1;
}

void CFlightSimulatorInterfaceUsingSdk::storeVersions(const Message& m)
{
    RecvOpen open{};
    if (!readMessage(m, open))
        return;
    char text[32];
    std::snprintf(text, sizeof text, "%u.%u", open.dwSimConnectVersionMajor, open.dwSimConnectVersionMinor);
    szSimConnectVersion = text;
    std::snprintf(text, sizeof text, "%u.%u", open.dwApplicationVersionMajor, open.dwApplicationVersionMinor);
    szApplicationVersion = text;
    szApplicationName = fieldText(open.szApplicationName);
}

void CFlightSimulatorInterfaceUsingSdk::checkFrequently()
{
    Message m;
    for (int n = 0; n < kMaxMessagesPerPass && takeMessage(m); ++n) {
        const DWORD id = messageId(m);
        if (id == RecvIdOpen && m.size() >= sizeof(RecvOpen)) {
            storeVersions(m);
            log->debug("checkFrequently() : Received SIMCONNECT_RECV_ID_OPEN");
        } else if (id == RecvIdEvent) {
            handleEvent(m);
        } else if (RecvEventFrame frame{}; id == RecvIdEventFrame && readMessage(m, frame)) {
            if (std::isfinite(frame.fSimSpeed) && frame.fSimSpeed > 0.0f)
                fSimulationRate = frame.fSimSpeed;
        } else {
            log->debug("checkFrequently() : Received unknown structure, ID=" + std::to_string(id));
        }
    }
}

bool CFlightSimulatorInterfaceUsingSdk::getEverything()
{
    if (!requestOnce(RequestPoll, DefinePoll))
        return false;
    Message data;
    if (!waitFor(Awaited::ObjectData, RequestPoll, data))
        return false;
    if (data.size() < blockSize(DefinePoll)) {
        log->errorf("Poll data from SimConnect too short: %zu bytes", data.size());
        return false;
    }
    lPreviousVerticalSpeed = lVerticalSpeed;
    convertPoll(data.data());
    lPaused = 0;
    updateFlightTimer();
    recentVerticalSpeeds.push(lVerticalSpeed);
    return true;
}

void CFlightSimulatorInterfaceUsingSdk::convertPoll(const std::uint8_t* block)
{
    BlockReader r(block);
    dLatitude = r.f64();
    dLongitude = r.f64();
    dHeading = r.f64();
    const std::int32_t landingLights = r.i32();
    if (!bLandingLightsOverride)
        bLandingLights = landingLights != 0;
    r.i32(); // simulation rate: the frame events carry it
    lRadarAltitude = truncToInt32(r.f64());
    dAltitude = r.f64();
    lGroundAltitude = truncToInt32(r.f64());
    lVerticalSpeed = truncToInt32(r.f64());
    r.i32(); // crash flag: the crash event carries it
    bParkingBrake = r.i32() != 0;
    lIndicatedAirspeed = truncToInt32(r.f64());
    lGroundSpeed = truncToInt32(r.f64());
    lMaxGrossWeight = truncToInt32(r.f64());
    lEmptyWeight = truncToInt32(r.f64());
    bOnGround = r.i32() != 0;
    nEngines = static_cast<std::int16_t>(std::clamp<std::int32_t>(r.i32(), INT16_MIN, INT16_MAX));
    r.i32(); // slew: forbidden at connect
    bGearDown = r.i32() != 0;
    lGearRetractable = r.i32() != 0 ? 1 : 0;
    bLightsOn = (r.i32() & 0x13) != 0;
    lSurfaceType = r.i32();
    const std::int32_t stationCount = r.i32();
    double stations[kPayloadStations];
    for (double& kg : stations)
        kg = r.f64();
    dPayload = sumPayload(stationCount, stations);
    fFlaps = r.f32();
}

double CFlightSimulatorInterfaceUsingSdk::sumPayload(std::int32_t stationCount, const double* stations) const
{
    const int count = std::clamp<std::int32_t>(stationCount, 0, kPayloadStations);
    double sum = 0.0;
    for (int i = 0; i < count; ++i)
        sum += stations[i];
    return sum;
}

bool CFlightSimulatorInterfaceUsingSdk::updateFlightTimer()
{
    if (!requestOnce(RequestClock, DefineClock))
        return false;
    Message data;
    if (!waitFor(Awaited::ObjectData, RequestClock, data))
        return false;
    if (data.size() < blockSize(DefineClock)) {
        log->errorf("Clock data from SimConnect too short: %zu bytes", data.size());
        return false;
    }
    BlockReader r(data.data());
    const double zulu = r.f64();
    const double local = r.f64();
    formatTimeOfDay(szZuluTime, zulu);
    formatTimeOfDay(szLocalTime, local);
    const CFlightTimer::Result t = timer.update(zulu);
    dFlightTime = t.flightTime;
    lPaused = r.i32();
    return true;
}

void CFlightSimulatorInterfaceUsingSdk::resetFlightTimer()
{
    timer.reset();
    log->debug("FlightTimer reset");
}

int CFlightSimulatorInterfaceUsingSdk::getAircraftTanks()
{
    if (!requestOnce(RequestTanks, DefineTanks))
        return -1;
    Message data;
    if (!waitFor(Awaited::ObjectData, RequestTanks, data))
        return -1;
    if (data.size() < blockSize(DefineTanks)) {
        log->errorf("Tank data from SimConnect too short: %zu bytes", data.size());
        return -1;
    }
    BlockReader r(data.data());
    double level[kTankCount], capacity[kTankCount];
    for (double& v : level)
        v = r.f64();
    for (double& v : capacity)
        v = r.f64();
    fFuelWeightKgPerGallon = toFloat(r.f64());
    const double totalGallons = r.f64();
    float sumLevels = 0.0f;
    for (int k = 0; k < kTankCount; ++k) {
        const int slot = kTankReadSlot[k];
        fTankCapacityGallons[slot] = toFloat(capacity[k]);
        fTankCapacity[slot] = fFuelWeightKgPerGallon * fTankCapacityGallons[slot];
        fTankLevel[slot] = fTankCapacity[slot] * toFloat(level[k]);
        sumLevels += fTankLevel[slot];
    }
    const std::int32_t sum = truncToInt32(sumLevels);
    const std::int32_t total = truncToInt32(fFuelWeightKgPerGallon * totalGallons);
    if (sum < total) {
        fFuelOutsideTanks = static_cast<float>(static_cast<double>(total) - sum);
        return total;
    }
    return sum;
}

int CFlightSimulatorInterfaceUsingSdk::setAircraftTanks()
{
    if (!(fFuelWeightKgPerGallon > 0.0f))
        log->errorf("Fuel weight %f from the simulator is unusable, tanks not set",
                    static_cast<double>(fFuelWeightKgPerGallon));
    float fill[kTankCount] = {};
    bool anyFuel = false;
    for (int i = 0; i < kTankCount; ++i) {
        if (fTankCapacityGallons[i] > 0.0f && fFuelWeightKgPerGallon > 0.0f)
            fill[i] = std::clamp(fTankLevel[i] / fFuelWeightKgPerGallon / fTankCapacityGallons[i], 0.0f, 1.0f);
        if (!std::isfinite(fill[i]))
            fill[i] = 0.0f;
        fTankFill[i] = fill[i];
        anyFuel = anyFuel || fill[i] != 0.0f;
    }
    if (!anyFuel)
        return -1;
    if (!bConnected ||
        !succeeded(library.SetDataOnSimObject(hSimConnect, DefineTankLevels, kUserAircraft, 0, 0, sizeof fill, fill))) {
        log->error("Setting fuel tanks failed!");
        return -1;
    }
    processClock().sleepMs(100);
    log->debugf("Set fuel tanks to: %dkg", fuelOnBoardRounded());
    return 1;
}

bool CFlightSimulatorInterfaceUsingSdk::writeInt(std::uint32_t define, std::int32_t value)
{
    return bConnected &&
           succeeded(library.SetDataOnSimObject(hSimConnect, define, kUserAircraft, 0, 0, sizeof value, &value));
}

bool CFlightSimulatorInterfaceUsingSdk::transmit(std::uint32_t event)
{
    return bConnected && succeeded(library.TransmitClientEvent(hSimConnect, kUserAircraft, event, 0,
                                                               kGroupPriorityDefault, kEventFlagGroupIsPriority));
}

bool CFlightSimulatorInterfaceUsingSdk::failEngine(int engine, bool quiet)
{
    if (engine < 0 || engine > 4)
        return true;
    const int index = engine == 4 ? 0 : engine;
    writeInt(DefineEngineFire1 + static_cast<std::uint32_t>(index), 1);
    if (!quiet)
        showText("Failure: Engine " + std::to_string(index + 1) + " on fire!", 10, false);
    return true;
}

bool CFlightSimulatorInterfaceUsingSdk::applyFailure(int kind)
{
    if (kind == 5)
        writeInt(DefineFlapsIndex, 0);
    else if (kind == 6)
        writeInt(DefineGearHandle, 0);
    return true;
}

bool CFlightSimulatorInterfaceUsingSdk::setSimulationRate(int rate)
{
    // Before the first frame event the rate is unknown; the simulator starts at 1.
    const double current = fSimulationRate > 0.0f ? fSimulationRate : 1.0;
    const double ratio = std::log(static_cast<double>(rate) / current) / std::log(2.0);
    if (!std::isfinite(ratio)) {
        log->errorf("Simulation rate %d cannot be set from %f", rate, current);
        return true;
    }
    // Rates run from 1/256 to 256: no more steps than that span.
    int steps = static_cast<int>(std::clamp(std::trunc(ratio), -16.0, 16.0));
    while (steps != 0) {
        transmit(steps > 0 ? EventSimRateIncrease : EventSimRateDecrease);
        steps += steps > 0 ? -1 : 1;
    }
    return true;
}

bool CFlightSimulatorInterfaceUsingSdk::disableSlew()
{
    writeInt(DefineSlewAllowed, 0);
    return false;
}

bool CFlightSimulatorInterfaceUsingSdk::pauseSimulator()
{
    transmit(EventPauseOn);
    return false;
}

bool CFlightSimulatorInterfaceUsingSdk::showText(const std::string& text, int seconds, bool force)
{
    if ((!bTextOutput && !force) || !bConnected)
        return true;
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    library.Text(hSimConnect, kTextScrollingGreen, static_cast<float>(seconds), EventText,
                 static_cast<DWORD>(buffer.size()), buffer.data());
    return true;
}

bool CFlightSimulatorInterfaceUsingSdk::saveFlight(int number)
{
    if (!bConnected)
        return false;
    char name[64];
    std::snprintf(name, sizeof name, "qvl_autosave.%d.flt", number);
    return succeeded(library.FlightSave(hSimConnect, name, "QVL Autosave", "Description", 0));
}

std::string CFlightSimulatorInterfaceUsingSdk::getRequiredVersionText()
{
    return fieldText(client.versions[CClientInterface::VersionSimConnect]);
}

bool CFlightSimulatorInterfaceUsingSdk::checkVersion()
{
    if (!bConnected || szSimConnectVersion.empty())
        return false;
    const double found = decimalValue(szSimConnectVersion);
    if (found >= 1.0)
        return true;
    log->warnf("Could not start flight! Wrong SimConnect version (Must:%.2f Is:%.2f)", 1.0, found);
    return false;
}

int CFlightSimulatorInterfaceUsingSdk::getSimulatorVersion()
{
    const std::string& name = szApplicationName;
    const std::string& version = szApplicationVersion;
    log->warnf("Sim App (%s) Ver (%s)", name.c_str(), version.c_str());
    if (equalsNoCase(name, "KittyHawk") && version == "11.0")
        return SimFS2020;
    if (equalsNoCase(name, "SunRise") && version == "12.0")
        return SimFS2024;
    if (equalsNoCase(name, "Microsoft Flight Simulator X") && version == "10.0")
        return SimFSX;
    if (name.find("Lockheed Martin") != std::string::npos && name.find("Prepar3D") != std::string::npos) {
        if (startsWithAny(version, {"1.", "2.", "3."}))
            return SimP3D;
        if (startsWithAny(version, {"4."}))
            return SimP3D4;
        if (startsWithAny(version, {"5."}))
            return SimP3D5;
        if (startsWithAny(version, {"6."}))
            return SimP3D6;
    }
    log->warnf("Could not identify Sim App (%s) Ver (%s)", name.c_str(), version.c_str());
    return 0;
}

std::string CFlightSimulatorInterfaceUsingSdk::getSimulatorIdent()
{
    char text[225];
    std::snprintf(text, sizeof text, "SC(%s)(%s)", szApplicationName.c_str(), szApplicationVersion.c_str());
    return text;
}
