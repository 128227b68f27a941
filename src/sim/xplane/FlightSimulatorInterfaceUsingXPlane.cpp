// CFlightSimulatorInterfaceUsingXPlane: finding the simulator, the
// subscriptions and their liveness, and the writes.
#include "sim/xplane/FlightSimulatorInterfaceUsingXPlane.h"

#include "core/NumberConversion.h"
#include "platform/Clock.h"
#include "sim/PollInterval.h"
#include "sim/xplane/XPlanePackets.h"

#include <algorithm>
#include <cstdio>

namespace {

namespace D = XPlaneDatarefs;
namespace P = XPlanePackets;

// One pass never takes more than this many packets, so a flood cannot hold the tick.
constexpr int kMaxPacketsPerDrain = 2000;
// Bad packets are logged one by one up to this count, then every thousandth.
constexpr unsigned long kBadPacketsLogged = 20;
constexpr std::uint32_t kWaitStepMs = 5;
// X-Plane's failure value for "fails now".
constexpr float kFailNow = 6.0f;

} // namespace

CFlightSimulatorInterfaceUsingXPlane::CFlightSimulatorInterfaceUsingXPlane(CClientInterface& clientData,
                                                                           const XPlaneSettings& where)
    : CFlightSimulatorInterface(clientData, "X-Plane", "CFlightSimulatorInterfaceUsingXPlane"), settings(where),
      timer(CFlightTimer::Style::SimConnect, *log)
{
}

CFlightSimulatorInterfaceUsingXPlane::~CFlightSimulatorInterfaceUsingXPlane()
{
    disconnect();
}

std::int64_t CFlightSimulatorInterfaceUsingXPlane::now() const
{
    return processClock().nowMs();
}

int CFlightSimulatorInterfaceUsingXPlane::rateForHeight(std::int32_t radarAltitudeFt)
{
    const std::int32_t intervalMs = pollIntervalForHeight(radarAltitudeFt);
    return std::clamp<int>(1000 / intervalMs, 1, kMaxRate);
}

bool CFlightSimulatorInterfaceUsingXPlane::openSocket()
{
    if (socket)
        return true;
    std::string error;
    socket = udpNetwork().open(0, error);
    if (!socket)
        log->error("Cannot open a UDP socket for X-Plane: " + error);
    return socket != nullptr;
}

bool CFlightSimulatorInterfaceUsingXPlane::connect()
{
    if (isConnected())
        return true;
    if (!openSocket() || !findSimulator())
        return false;
    std::fill(std::begin(arrived), std::end(arrived), false);
    // A restarted simulator has forgotten the subscriptions: they go again every time.
    if (!subscribe(rate > 0 ? rate : kMaxRate))
        return false;
    const std::int64_t until = now() + kAnswerWaitMs;
    while (!drain() && now() < until)
        processClock().sleepMs(kWaitStepMs);
    if (lastHeardMs == 0 || now() - lastHeardMs > kSilenceMs) {
        log->debug("X-Plane at " + simulator.text() + " does not answer");
        return false;
    }
    bConnected = true;
    log->debug("Connected to X-Plane at " + simulator.text());
    return true;
}

bool CFlightSimulatorInterfaceUsingXPlane::findSimulator()
{
    if (settings.listenForBeacon && listenForBeacon())
        return true;
    std::uint32_t address = 0;
    if (!udpNetwork().resolve(settings.host, address)) {
        log->error("X-Plane host " + settings.host + " is unknown");
        return false;
    }
    simulator = UdpEndpoint{address, settings.port};
    return true;
}

// The first beacon of an X-Plane master names the simulator to talk to.
bool CFlightSimulatorInterfaceUsingXPlane::listenForBeacon()
{
    std::string error;
    if (!beaconSocket)
        beaconSocket = udpNetwork().joinGroup(UdpEndpoint{P::kBeaconGroup, P::kBeaconPort}, error);
    if (!beaconSocket) {
        log->debug("Cannot listen for the X-Plane beacon: " + error);
        return false;
    }
    std::vector<std::uint8_t> buffer(P::kMaxPacketSize);
    const std::int64_t until = now() + kBeaconWaitMs;
    do {
        UdpEndpoint from;
        for (long n; (n = beaconSocket->receive(buffer.data(), buffer.size(), from)) > 0;) {
            P::Beacon beacon;
            if (static_cast<std::size_t>(n) > buffer.size() || !P::parseBeacon(buffer.data(), n, beacon, error)) {
                badPacket("beacon from " + from.text() + ": " + error);
                continue;
            }
            if (beacon.hostId != 1 || beacon.role != 1)
                continue; // PlaneMaker, external visuals and instructor stations fly nothing
            simulator = UdpEndpoint{from.address, beacon.port};
            beaconVersion = beacon.versionNumber;
            beaconName = beacon.computerName;
            log->debugf("X-Plane %d on %s found by its beacon at %s", beacon.versionNumber,
                        beacon.computerName.c_str(), simulator.text().c_str());
            return true;
        }
        processClock().sleepMs(kWaitStepMs * 4);
    } while (now() < until);
    return false;
}

bool CFlightSimulatorInterfaceUsingXPlane::send(const std::vector<std::uint8_t>& packet)
{
    return socket && socket->sendTo(simulator, packet.data(), packet.size());
}

bool CFlightSimulatorInterfaceUsingXPlane::subscribe(int perSecond)
{
    for (int field = 0; field < D::Count; ++field) {
        std::vector<std::uint8_t> packet;
        if (!P::rrefRequest(perSecond, field, D::dataref(field).name, packet) || !send(packet)) {
            log->error("Subscribing to X-Plane at " + simulator.text() + " failed");
            return false;
        }
    }
    if (perSecond != 0 && perSecond != rate)
        log->debugf("X-Plane values %d times a second", perSecond);
    rate = perSecond;
    return true;
}

void CFlightSimulatorInterfaceUsingXPlane::disconnect()
{
    if (socket && rate > 0)
        subscribe(0);
    if (bConnected)
        log->debug("Disconnected from X-Plane");
    bConnected = false;
    rate = 0;
    socket.reset();
    beaconSocket.reset();
}

bool CFlightSimulatorInterfaceUsingXPlane::isConnected()
{
    if (bConnected && now() - lastHeardMs > kSilenceMs) {
        drain();
        if (now() - lastHeardMs > kSilenceMs) {
            log->errorf("X-Plane at %s silent for %lld ms: not connected", simulator.text().c_str(),
                        static_cast<long long>(now() - lastHeardMs));
            bConnected = false;
        }
    }
    return bConnected;
}

bool CFlightSimulatorInterfaceUsingXPlane::drain()
{
    if (!socket)
        return false;
    const std::int64_t heardBefore = lastHeardMs;
    std::uint8_t buffer[P::kMaxPacketSize];
    for (int n = 0; n < kMaxPacketsPerDrain; ++n) {
        UdpEndpoint from;
        const long size = socket->receive(buffer, sizeof buffer, from);
        if (size == 0)
            break;
        if (size < 0) {
            badPacket("the socket reports an error");
            break;
        }
        takePacket(buffer, size, from);
    }
    return lastHeardMs != heardBefore;
}

void CFlightSimulatorInterfaceUsingXPlane::takePacket(const std::uint8_t* data, long size, const UdpEndpoint& from)
{
    if (!(from == simulator)) {
        // Only the simulator's own port may change what the client believes.
        if (foreignPackets++ % 1000 == 0)
            log->warn("Ignored a packet from " + from.text() + ", which is not X-Plane at " + simulator.text());
        return;
    }
    if (static_cast<std::size_t>(size) > P::kMaxPacketSize) {
        badPacket("a packet of " + std::to_string(size) + " bytes");
        return;
    }
    std::vector<P::RrefValue> pairs;
    std::string error;
    if (!P::parseRref(data, static_cast<std::size_t>(size), pairs, error)) {
        badPacket(error);
        return;
    }
    for (const P::RrefValue& v : pairs) {
        if (v.index < 0 || v.index >= D::Count) {
            badPacket("RREF index " + std::to_string(v.index) + " was never subscribed");
            return;
        }
    }
    for (const P::RrefValue& v : pairs) {
        values[v.index] = v.value;
        arrived[v.index] = everArrived[v.index] = true;
    }
    lastHeardMs = now();
}

void CFlightSimulatorInterfaceUsingXPlane::badPacket(const std::string& why)
{
    ++badPackets;
    if (badPackets <= kBadPacketsLogged || badPackets % 1000 == 0)
        log->errorf("Bad packet from X-Plane (%lu so far): %s", badPackets, why.c_str());
}

void CFlightSimulatorInterfaceUsingXPlane::noEquivalent(const std::string& what)
{
    if (notedGaps.insert(what).second)
        log->warn("X-Plane has no equivalent over UDP for " + what + "; not done");
}

bool CFlightSimulatorInterfaceUsingXPlane::complete() const
{
    return std::all_of(std::begin(arrived), std::end(arrived), [](bool a) { return a; });
}

bool CFlightSimulatorInterfaceUsingXPlane::waitForComplete()
{
    // Three answers' time: one lost or late packet is made up by the next.
    const std::int64_t waitMs = std::max<std::int64_t>(250, 3000 / std::max(rate, 1));
    const std::int64_t until = now() + waitMs;
    drain();
    while (!complete() && now() < until) {
        processClock().sleepMs(kWaitStepMs);
        drain();
    }
    if (complete())
        return true;
    const auto have = std::count(std::begin(arrived), std::end(arrived), true);
    log->errorf("X-Plane values incomplete: %d of %d arrived in %lld ms", static_cast<int>(have), D::Count,
                static_cast<long long>(waitMs));
    return false;
}

bool CFlightSimulatorInterfaceUsingXPlane::getEverything()
{
    if (!bConnected || !waitForComplete())
        return false;
    lPreviousVerticalSpeed = lVerticalSpeed;
    D::applyPoll(values, *this, bLandingLightsOverride);
    std::fill(std::begin(arrived), std::end(arrived), false);
    updateFlightTimer();
    recentVerticalSpeeds.push(lVerticalSpeed);
    const int wanted = rateForHeight(lRadarAltitude);
    if (wanted != rate)
        subscribe(wanted);
    return true;
}

bool CFlightSimulatorInterfaceUsingXPlane::updateFlightTimer()
{
    if (!everArrived[D::ZuluSeconds] || !everArrived[D::LocalSeconds])
        return false;
    formatTimeOfDay(szZuluTime, values[D::ZuluSeconds]);
    formatTimeOfDay(szLocalTime, values[D::LocalSeconds]);
    dFlightTime = timer.update(values[D::ZuluSeconds]).flightTime;
    return true;
}

void CFlightSimulatorInterfaceUsingXPlane::resetFlightTimer()
{
    timer.reset();
    log->debug("FlightTimer reset");
}

int CFlightSimulatorInterfaceUsingXPlane::getAircraftTanks()
{
    if (!bConnected)
        return -1;
    drain();
    const bool known = everArrived[D::FuelCapacity] && everArrived[D::TankCount] &&
                       std::all_of(everArrived + D::TankRatio0, everArrived + D::Count, [](bool a) { return a; });
    if (!known)
        return -1;
    return D::applyTanks(values, *this);
}

int CFlightSimulatorInterfaceUsingXPlane::setAircraftTanks()
{
    const int count = std::clamp(truncToInt32(values[D::TankCount]), 0, D::kXPlaneTanks);
    float kg[D::kXPlaneTanks] = {};
    bool anyFuel = false;
    for (int i = 0; i < count; ++i) {
        const int slot = D::tankSlot(i, count);
        kg[i] = std::clamp(fTankLevel[slot], 0.0f, fTankCapacity[slot]);
        anyFuel = anyFuel || kg[i] > 0.0f;
    }
    if (!anyFuel)
        return -1;
    for (int i = 0; i < count; ++i) {
        if (!writeDataref(D::dataref(D::TankFuel0 + i).name, kg[i])) {
            log->error("Setting fuel tanks failed!");
            return -1;
        }
        const int slot = D::tankSlot(i, count);
        fTankFill[slot] = fTankCapacity[slot] > 0.0f ? kg[i] / fTankCapacity[slot] : 0.0f;
    }
    processClock().sleepMs(100);
    log->debugf("Set fuel tanks to: %dkg", fuelOnBoardRounded());
    return 1;
}

bool CFlightSimulatorInterfaceUsingXPlane::writeDataref(const std::string& name, float value)
{
    std::vector<std::uint8_t> packet;
    return P::drefPacket(value, name, packet) && send(packet);
}

bool CFlightSimulatorInterfaceUsingXPlane::runCommand(const std::string& name)
{
    std::vector<std::uint8_t> packet;
    return P::commandPacket(name, packet) && send(packet);
}

bool CFlightSimulatorInterfaceUsingXPlane::failEngine(int engine, bool quiet)
{
    if (engine < 0 || engine > 4)
        return true;
    const int index = engine == 4 ? 0 : engine;
    writeDataref("sim/operation/failures/rel_engfai" + std::to_string(index), kFailNow);
    if (!quiet)
        showText("Failure: Engine " + std::to_string(index + 1) + " disabled!", 10, false);
    return true;
}

bool CFlightSimulatorInterfaceUsingXPlane::applyFailure(int kind)
{
    if (kind == 5)
        writeDataref("sim/operation/failures/rel_flap_act", kFailNow);
    else if (kind == 6)
        writeDataref("sim/operation/failures/rel_gear_act", kFailNow);
    return true;
}

bool CFlightSimulatorInterfaceUsingXPlane::setSimulationRate(int wanted)
{
    return writeDataref(D::dataref(D::SimulationSpeed).name, static_cast<float>(std::max(wanted, 1)));
}

bool CFlightSimulatorInterfaceUsingXPlane::disableSlew()
{
    noEquivalent("switching slew off (it has no slew)");
    return false;
}

bool CFlightSimulatorInterfaceUsingXPlane::pauseSimulator()
{
    runCommand("sim/operation/pause_on");
    return false;
}

bool CFlightSimulatorInterfaceUsingXPlane::showText(const std::string& text, int, bool force)
{
    if (!bTextOutput && !force)
        return true;
    noEquivalent("texts shown in the simulator (they go to this log)");
    log->debug("Text for the simulator: " + text);
    return true;
}

bool CFlightSimulatorInterfaceUsingXPlane::saveFlight(int)
{
    noEquivalent("saving the flight");
    return false;
}

void CFlightSimulatorInterfaceUsingXPlane::checkFrequently()
{
    drain();
}

std::string CFlightSimulatorInterfaceUsingXPlane::getVersionText()
{
    const std::int32_t v = everArrived[D::InternalVersion] ? truncToInt32(values[D::InternalVersion]) : beaconVersion;
    if (v <= 0)
        return {};
    char text[32];
    std::snprintf(text, sizeof text, "%d.%02d", v / 10000, v / 100 % 100);
    return text;
}

bool CFlightSimulatorInterfaceUsingXPlane::checkVersion()
{
    if (!isConnected())
        return false;
    drain();
    const std::int32_t v = truncToInt32(values[D::InternalVersion]);
    if (v >= 110000)
        return true;
    log->warnf("Could not start flight! X-Plane %d is older than 11", v);
    return false;
}

int CFlightSimulatorInterfaceUsingXPlane::getSimulatorVersion()
{
    const std::int32_t v = truncToInt32(values[D::InternalVersion]);
    if (v >= 120000)
        return SimXPlane12;
    if (v >= 100000)
        return SimXPlane10;
    log->warnf("Could not identify X-Plane version %d", v);
    return 0;
}

std::string CFlightSimulatorInterfaceUsingXPlane::getSimulatorIdent()
{
    char text[225];
    std::snprintf(text, sizeof text, "XP(%d)(%s)", truncToInt32(values[D::InternalVersion]),
                  simulator.text().c_str());
    return text;
}
