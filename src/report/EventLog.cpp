// CEventLog: event records, their throttle, the store and the upload.
#include "report/EventLog.h"

#include "core/FixedText.h"
#include "core/NumberConversion.h"
#include "report/IniParser.h"
#include "server/ClientInterface.h"
#include "sim/FlightPhase.h"
#include "sim/FlightSimulatorObjects.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::size_t kRecentTimes = 10;
const char* const kEventsSentKey = "eventssent";
constexpr std::int32_t kThrottleWindowSeconds = 60;
} // namespace

// The log is the blackbox's: its lines keep the blackbox's channel.
CEventLog::CEventLog(CFlightSimulatorObjects* snap, CClientInterface& bookingData)
    : snapshot(snap), booking(bookingData), log("CBlackbox")
{
    recentTimes.push_back(0);
}

bool CEventLog::logEvent(const std::string& text)
{
    if (text.empty() || snapshot == nullptr)
        return true;
    const std::int32_t elapsed = truncToInt32(snapshot->dFlightTime - snapshot->lFlightTimeAtStart);
    if (throttled(elapsed)) {
        // One line per blocked period, not one per event.
        if (!blocking)
            log.warn("Blocking event log: Too many events!");
        blocking = true;
        return false;
    }
    blocking = false;
    CEventRecord record;
    std::memset(&record, 0, sizeof record);
    record.elapsedSeconds = elapsed;
    record.altitude = truncToInt32(snapshot->dAltitude);
    record.airspeed = snapshot->lIndicatedAirspeed;
    copyText(record.phaseName, getPhaseName(snapshot->lFlightPhase));
    copyText(record.text, text);
    eventLog.push_back(record);
    rememberTime(elapsed);
    log.debug("Event logged: " + text);
    return true;
}

void CEventLog::clear()
{
    eventLog.clear();
    eventsSent = 0;
    // The throttle counts this flight's events only: an earlier flight's
    // times would block the new flight's first minutes.
    recentTimes.assign(1, 0);
}

bool CEventLog::throttled(std::int32_t elapsed) const
{
    return recentTimes.size() >= kRecentTimes &&
           static_cast<std::int64_t>(elapsed) < static_cast<std::int64_t>(recentTimes.front()) + kThrottleWindowSeconds;
}

void CEventLog::rememberTime(std::int32_t elapsed)
{
    if (recentTimes.size() >= kRecentTimes)
        recentTimes.erase(recentTimes.begin());
    recentTimes.push_back(elapsed);
}

bool CEventLog::saveToReport()
{
    CIniParser& store = CIniParser::getInstance();
    return store.writeReportList("numeventlogs", "eventdata", eventLog) &&
           store.writeReportString("report", kEventsSentKey, std::to_string(eventsSent));
}

bool CEventLog::loadFromReport()
{
    CIniParser& store = CIniParser::getInstance();
    const bool complete = store.readReportList("numeventlogs", "eventdata", eventLog);
    // Absent in stores of older clients: nothing was sent yet.
    eventsSent = std::max(0, store.readReportInt("report", kEventsSentKey));
    // The texts go out to the service and the pages as C strings.
    for (CEventRecord& record : eventLog) {
        record.phaseName[sizeof record.phaseName - 1] = '\0';
        record.text[sizeof record.text - 1] = '\0';
    }
    return complete;
}

bool CEventLog::sendFirstEvent()
{
    if (eventLog.empty() || !booking.writeEventLog(eventLog.front(), eventsSent))
        return false;
    dropFirstEvent();
    return true;
}

void CEventLog::dropFirstEvent()
{
    if (eventLog.empty())
        return;
    eventLog.erase(eventLog.begin());
    ++eventsSent;
}
