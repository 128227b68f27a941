// CPositionTracker: tracker updates and the position queue. Its lines belong
// to the report's channel.
#include "report/PositionTracker.h"

#include "core/FixedText.h"
#include "core/NumberConversion.h"
#include "report/IniParser.h"
#include "server/ClientInterface.h"
#include "sim/FlightPhase.h"
#include "sim/FlightSimulatorInterface.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {
int g_lastTrackerPhase = 0;
const char* const kNextPositionKey = "nextpositionid";
} // namespace

CPositionTracker::CPositionTracker(CClientInterface& clientInterface) : client(clientInterface), log("CReport", CDebugLog::Quiet{}) {}

CPositionTracker::~CPositionTracker() = default;

int CPositionTracker::lastTrackerPhase()
{
    return g_lastTrackerPhase;
}

void CPositionTracker::resetProcessValues()
{
    g_lastTrackerPhase = 0;
}

bool CPositionTracker::sendTracker()
{
    if (simulator == nullptr)
        return false;
    simulator->getEverything();
    const int phase = simulator->lFlightPhase;
    if (!enabled)
        return phase != g_lastTrackerPhase;
    g_lastTrackerPhase = phase;
    char number[64];
    std::snprintf(number, sizeof number, "%.6f", simulator->dLatitude);
    copyText(client.flightLog.l_Lat, number);
    std::snprintf(number, sizeof number, "%.6f", simulator->dLongitude);
    copyText(client.flightLog.l_Lon, number);
    if (phase >= PhaseBoarding && phase <= PhaseDescent)
        copyText(client.flightLog.l_FlightState, getPhaseName(phase));
    if (phase != PhaseOnBlock)
        client.writeLog();
    log.debug("Upload Tracker Data! (" + fieldText(client.flightLog.l_FlightState) + ")");
    return true;
}

void CPositionTracker::fillPosition(PositionRecord& p)
{
    const CFlightSimulatorInterface& s = *simulator;
    p.Timestamp = s.getElapsedFlightTime();
    p.Longitude = static_cast<float>(s.dLongitude);
    p.Latitude = static_cast<float>(s.dLatitude);
    p.Heading = truncToInt32(s.dHeading);
    p.Altitude = s.lGroundAltitude + s.lRadarAltitude;
    p.GroundElevation = s.lGroundAltitude;
    p.GroundSpeed = s.lGroundSpeed;
    p.Fuel = s.fuelOnBoardRounded();
    p.SimulationRate = truncToInt32(s.fSimulationRate);
    p.PositionId = pendingPositions++;
}

bool CPositionTracker::recordPosition()
{
    if (simulator == nullptr)
        return false;
    PositionRecord& p = client.position;
    fillPosition(p);
    const CFlightSimulatorInterface& s = *simulator;
    const bool sendNow = enabled && (s.lRadarAltitude >= 1500 || s.bOnGround || s.lFlightPhase == PhaseTakeOff);
    if (!sendNow) {
        queue.push_back(p);
        return false;
    }
    if (client.writePositionLog()) {
        log.debug("Successfully uploaded position data");
        return true;
    }
    log.warn("Failed to upload position data");
    queue.push_back(p);
    log.warn("pushback");
    return false;
}

void CPositionTracker::restoreEndPosition()
{
    if (simulator == nullptr)
        return;
    // Where the flight ended, for the report: it takes no number of the
    // position log and is not queued.
    const std::int32_t next = pendingPositions;
    fillPosition(client.position);
    pendingPositions = next;
}

bool CPositionTracker::sendFirstQueued()
{
    if (queue.empty())
        return false;
    client.position = queue.front();
    if (!client.writePositionLog())
        return false;
    dropFirstQueued();
    return true;
}

void CPositionTracker::dropFirstQueued()
{
    if (!queue.empty())
        queue.erase(queue.begin());
}

void CPositionTracker::resetPositionLog()
{
    client.resetPositionLog();
    clear();
}

void CPositionTracker::clear()
{
    queue.clear();
    pendingPositions = 0;
}

void CPositionTracker::restore(std::vector<PositionRecord> records, std::int32_t pending)
{
    queue = std::move(records);
    pendingPositions = pending;
}

bool CPositionTracker::savePositions()
{
    CIniParser& store = CIniParser::getInstance();
    return store.writeReportList("numpositionlogs", "positiondata", queue) &&
           store.writeReportString("report", kNextPositionKey, std::to_string(pendingPositions));
}

bool CPositionTracker::loadPositions()
{
    CIniParser& store = CIniParser::getInstance();
    const bool complete = store.readReportList("numpositionlogs", "positiondata", queue);
    // Positions sent directly are not queued: the numbering goes on after the
    // stored next number (absent in older stores) and the highest one queued,
    // so that no number is given twice.
    pendingPositions = std::max(0, store.readReportInt("report", kNextPositionKey));
    for (const PositionRecord& p : queue) {
        if (p.PositionId >= pendingPositions && p.PositionId < INT32_MAX)
            pendingPositions = p.PositionId + 1;
    }
    return complete;
}
