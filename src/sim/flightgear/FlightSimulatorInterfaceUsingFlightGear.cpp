// CFlightSimulatorInterfaceUsingFlightGear: connecting, the batched poll and
// the property writes.
#include "sim/flightgear/FlightSimulatorInterfaceUsingFlightGear.h"

#include "core/NumberConversion.h"
#include "sim/flightgear/PropertyProtocol.h"

#include <algorithm>
#include <cstdio>

namespace {

namespace FGP = FlightGearProperties;

// FlightGear's failure manager fails a system whose failure level is 1.
constexpr const char* kFailureRoot = "/sim/failure-manager/";
// Listeners on these show a property's new value as a screen message.
constexpr const char* kScreenMessage = "/sim/screen/yellow";

std::string number(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", v);
    return text;
}

// "2020.3.16" to 2020.
int majorVersion(const std::string& version)
{
    int year = 0;
    return std::sscanf(version.c_str(), "%d", &year) == 1 ? year : 0;
}

} // namespace

CFlightSimulatorInterfaceUsingFlightGear::CFlightSimulatorInterfaceUsingFlightGear(CClientInterface& clientData,
                                                                                   const FlightGearSettings& where)
    : CFlightSimulatorInterface(clientData, "FlightGear", "CFlightSimulatorInterfaceUsingFlightGear"),
      settings(where), timer(CFlightTimer::Style::SimConnect, *log)
{
}

CFlightSimulatorInterfaceUsingFlightGear::~CFlightSimulatorInterfaceUsingFlightGear()
{
    disconnect();
}

bool CFlightSimulatorInterfaceUsingFlightGear::connect()
{
    if (connection.isOpen())
        return true;
    std::string error;
    const std::string where = settings.host + ":" + std::to_string(settings.port);
    if (!connection.open(settings.host, settings.port, kConnectWaitMs, error)) {
        log->debug("FlightGear's property server at " + where + " does not answer: " + error);
        return false;
    }
    std::vector<std::optional<std::string>> answers;
    if (!connection.getAll(FGP::layoutPaths(), answers, kAnswerWaitMs, error)) {
        log->error("FlightGear at " + where + " did not describe its aircraft: " + error);
        return false;
    }
    aircraftLayout = FGP::layoutFrom(answers, aircraft, version);
    pollRequest = FGP::pollPaths(aircraftLayout);
    if (version.empty()) {
        log->error("The server at " + where + " has no FlightGear version: not FlightGear");
        connection.close();
        return false;
    }
    log->debugf("Connected to FlightGear %s at %s: %s with %d tanks, %d stations, %d engines", version.c_str(),
                where.c_str(), aircraft.c_str(), static_cast<int>(aircraftLayout.tanks.size()),
                aircraftLayout.stations, aircraftLayout.engines);
    return true;
}

void CFlightSimulatorInterfaceUsingFlightGear::disconnect()
{
    if (connection.isOpen())
        log->debug("Disconnected from FlightGear");
    connection.close();
}

bool CFlightSimulatorInterfaceUsingFlightGear::isConnected()
{
    return connection.isOpen();
}

void CFlightSimulatorInterfaceUsingFlightGear::lost(const std::string& why)
{
    log->error("FlightGear connection lost: " + why);
    connection.close();
}

bool CFlightSimulatorInterfaceUsingFlightGear::poll()
{
    if (!connection.isOpen())
        return false;
    std::vector<std::optional<std::string>> answers;
    std::string error;
    if (!connection.getAll(pollRequest, answers, kAnswerWaitMs, error)) {
        lost(error);
        return false;
    }
    values.assign(answers.size(), std::nullopt);
    for (std::size_t i = 0; i < answers.size(); ++i) {
        if (!answers[i])
            continue;
        values[i] = PropertyProtocol::number(*answers[i]);
        if (!values[i] && notedGaps.insert("unreadable " + pollRequest[i]).second)
            log->error("FlightGear's " + pollRequest[i] + " is no number: \"" + answers[i]->substr(0, 64) + "\"");
    }
    return true;
}

bool CFlightSimulatorInterfaceUsingFlightGear::getEverything()
{
    if (!poll())
        return false;
    const std::int32_t previous = lVerticalSpeed;
    std::vector<std::string> missing;
    if (!FGP::applyPoll(values, aircraftLayout, *this, bLandingLightsOverride, missing)) {
        std::string names;
        for (const std::string& m : missing)
            names += (names.empty() ? "" : ", ") + m;
        log->error("FlightGear poll without " + names + ": no snapshot taken");
        return false;
    }
    lPreviousVerticalSpeed = previous;
    updateFlightTimer();
    // The touchdown is scored from the sink before the wheels touch. JSBSim's
    // gear stops the sink within a frame or two of the contact, so a poll that
    // already reads weight on wheels reads almost no sink, and averaging it in
    // would halve a firm landing: only readings in the air enter the ring.
    if (!bOnGround)
        recentVerticalSpeeds.push(lVerticalSpeed);
    return true;
}

bool CFlightSimulatorInterfaceUsingFlightGear::updateFlightTimer()
{
    if (values.size() < FGP::Count || !values[FGP::ZuluSeconds] || !values[FGP::LocalSeconds])
        return false;
    formatTimeOfDay(szZuluTime, *values[FGP::ZuluSeconds]);
    formatTimeOfDay(szLocalTime, *values[FGP::LocalSeconds]);
    dFlightTime = timer.update(*values[FGP::ZuluSeconds]).flightTime;
    return true;
}

void CFlightSimulatorInterfaceUsingFlightGear::resetFlightTimer()
{
    timer.reset();
    log->debug("FlightTimer reset");
}

int CFlightSimulatorInterfaceUsingFlightGear::getAircraftTanks()
{
    if (!poll())
        return -1;
    return FGP::applyTanks(values, aircraftLayout, *this);
}

int CFlightSimulatorInterfaceUsingFlightGear::setAircraftTanks()
{
    const int count = static_cast<int>(aircraftLayout.tanks.size());
    if (!connection.isOpen() || count == 0)
        return -1;
    double lbs[FGP::kMaxTanks] = {};
    bool anyFuel = false;
    for (int i = 0; i < count; ++i) {
        const int slot = FGP::tankSlot(i, count);
        // Two FlightGear tanks never share a slot, so the slot's level is the tank's.
        lbs[i] = std::clamp(fTankLevel[slot], 0.0f, fTankCapacity[slot]) / FGP::kKgPerPound;
        anyFuel = anyFuel || lbs[i] > 0.0;
    }
    if (!anyFuel)
        return -1;
    for (int i = 0; i < count; ++i) {
        if (!write(FGP::tankLevelPath(aircraftLayout.tanks[i]), number(lbs[i]))) {
            log->error("Setting fuel tanks failed!");
            return -1;
        }
    }
    if (getAircraftTanks() < 0) {
        log->error("Setting fuel tanks failed: FlightGear does not show them");
        return -1;
    }
    log->debugf("Set fuel tanks to: %dkg", fuelOnBoardRounded());
    return 1;
}

bool CFlightSimulatorInterfaceUsingFlightGear::write(const std::string& path, const std::string& value)
{
    if (connection.set(path, value))
        return true;
    lost("writing " + path + " failed");
    return false;
}

void CFlightSimulatorInterfaceUsingFlightGear::noEquivalent(const std::string& what)
{
    if (notedGaps.insert(what).second)
        log->warn("FlightGear has no equivalent for " + what + "; not done");
}

bool CFlightSimulatorInterfaceUsingFlightGear::failEngine(int engine, bool quiet)
{
    if (engine < 0 || engine > 4)
        return true;
    const int index = engine == 4 ? 0 : engine;
    // The fitted engine of an aircraft with engine variants is FlightGear's active one.
    const int fg = aircraftLayout.activeEngine + index;
    const std::string id = fg == 0 ? "engines/engine" : "engines/engine[" + std::to_string(fg) + "]";
    write(kFailureRoot + id + "/failure-level", "1");
    if (!quiet)
        showText("Failure: Engine " + std::to_string(index + 1) + " disabled!", 10, false);
    return true;
}

bool CFlightSimulatorInterfaceUsingFlightGear::applyFailure(int kind)
{
    if (kind == 5)
        write(std::string(kFailureRoot) + "controls/flight/flaps/failure-level", "1");
    else if (kind == 6)
        write(std::string(kFailureRoot) + "controls/gear/failure-level", "1");
    return true;
}

bool CFlightSimulatorInterfaceUsingFlightGear::setSimulationRate(int wanted)
{
    return write("/sim/speed-up", std::to_string(std::max(wanted, 1)));
}

bool CFlightSimulatorInterfaceUsingFlightGear::disableSlew()
{
    noEquivalent("switching slew off (it has no slew)");
    return false;
}

bool CFlightSimulatorInterfaceUsingFlightGear::pauseSimulator()
{
    write("/sim/freeze/clock", "true");
    write("/sim/freeze/master", "true");
    return false;
}

bool CFlightSimulatorInterfaceUsingFlightGear::showText(const std::string& text, int, bool force)
{
    if (!bTextOutput && !force)
        return true;
    // One line, as the property server takes it.
    std::string line = text;
    std::replace_if(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; }, ' ');
    if (line.empty())
        return true;
    return write(kScreenMessage, line);
}

bool CFlightSimulatorInterfaceUsingFlightGear::saveFlight(int)
{
    noEquivalent("saving the flight");
    return false;
}

std::string CFlightSimulatorInterfaceUsingFlightGear::getVersionText()
{
    return version;
}

bool CFlightSimulatorInterfaceUsingFlightGear::checkVersion()
{
    if (!isConnected())
        return false;
    if (majorVersion(version) >= 2018)
        return true;
    log->warn("Could not start flight! FlightGear " + version + " is older than 2018");
    return false;
}

int CFlightSimulatorInterfaceUsingFlightGear::getSimulatorVersion()
{
    if (majorVersion(version) >= 2018)
        return SimFlightGear;
    log->warn("Could not identify FlightGear version " + version);
    return 0;
}

std::string CFlightSimulatorInterfaceUsingFlightGear::getSimulatorIdent()
{
    return "FG(" + version + ")(" + aircraft + ")(" + settings.host + ":" + std::to_string(settings.port) + ")";
}
