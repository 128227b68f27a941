// CBlackbox: event records and their throttle.
#include "monitor/blackbox/Blackbox.h"

#include "core/FixedText.h"
#include "core/NumberConversion.h"
#include "monitor/FlightState.h"
#include "report/IniParser.h"
#include "server/ClientInterface.h"
#include "sim/FlightSimulatorObjects.h"
#include "ui/Sound.h"

#include <cstring>

namespace {
constexpr std::size_t kRecentTimes = 10;
constexpr std::int32_t kThrottleWindowSeconds = 60;
} // namespace

CBlackbox::CBlackbox(CSound& player, CFlightSimulatorObjects* snap, CClientInterface& bookingData)
    : sound(player), snapshot(snap), booking(bookingData), log("CBlackbox")
{
    recentTimes.push_back(0);
}

CBlackbox::~CBlackbox() = default;

void CBlackbox::check()
{
    // The rule-driven events arrive with the rules file; until then a flying
    // tick has nothing to evaluate here.
}

void CBlackbox::resetAll()
{
    eventLog.clear();
}

bool CBlackbox::throttled(std::int32_t elapsed) const
{
    return recentTimes.size() >= kRecentTimes &&
           static_cast<std::int64_t>(elapsed) < static_cast<std::int64_t>(recentTimes.front()) + kThrottleWindowSeconds;
}

void CBlackbox::rememberTime(std::int32_t elapsed)
{
    if (recentTimes.size() >= kRecentTimes)
        recentTimes.erase(recentTimes.begin());
    recentTimes.push_back(elapsed);
}

void CBlackbox::logEvent(const std::string& text, const std::string& soundName)
{
    if (!text.empty() && snapshot != nullptr) {
        const std::int32_t elapsed = truncToInt32(snapshot->dFlightTime - snapshot->lFlightTimeAtStart);
        if (throttled(elapsed)) {
            log.warn("Blocking event log: Too many events!");
            return;
        }
        CEventRecord record;
        std::memset(&record, 0, sizeof record);
        record.elapsedSeconds = elapsed;
        record.altitude = truncToInt32(snapshot->dAltitude);
        record.airspeed = snapshot->lIndicatedAirspeed;
        copyText(record.phaseName, CFlightState::getPhaseName(snapshot->lFlightPhase));
        copyText(record.text, text);
        eventLog.push_back(record);
        rememberTime(elapsed);
        log.debug("Event logged: " + text);
    }
    if (!soundName.empty()) {
        sound.play(soundName, true);
        log.debug("Play sound: " + soundName);
    }
}

bool CBlackbox::saveToReport()
{
    return CIniParser::getInstance().writeReportList("numeventlogs", "eventdata", eventLog);
}

bool CBlackbox::loadFromReport()
{
    const bool complete = CIniParser::getInstance().readReportList("numeventlogs", "eventdata", eventLog);
    // The texts go out to the service and the pages as C strings.
    for (CEventRecord& record : eventLog) {
        record.phaseName[sizeof record.phaseName - 1] = '\0';
        record.text[sizeof record.text - 1] = '\0';
    }
    return complete;
}

void CBlackbox::uploadEventLog()
{
    for (const CEventRecord& record : eventLog)
        booking.writeEventLog(record);
    eventLog.clear();
}
