// CBlackbox: rules loading, the rule check, event records and their throttle.
#include "monitor/blackbox/Blackbox.h"

#include "core/ClientConfig.h"
#include "core/FixedText.h"
#include "core/NumberConversion.h"
#include "core/RegularFile.h"
#include "monitor/AlertSound.h"
#include "monitor/FlightState.h"
#include "monitor/blackbox/CombinationEvent.h"
#include "monitor/blackbox/StartFlightEvent.h"
#include "monitor/blackbox/ValueEvent.h"
#include "report/IniParser.h"
#include "server/ClientInterface.h"
#include "sim/FlightSimulatorObjects.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <pugixml.hpp>
#include <sstream>

namespace {
constexpr std::size_t kRecentTimes = 10;
const char* const kEventsSentKey = "eventssent";
constexpr std::int32_t kThrottleWindowSeconds = 60;
constexpr const char* kRulesFile = "blackbox.xml";
// Far above any real rules file; a larger one would cost the flight its ticks.
constexpr std::uintmax_t kMaxRulesBytes = 4u << 20;
constexpr std::size_t kMaxRules = 10000;
} // namespace

const char* const CBlackbox::kBuiltInRules =
    "<blackbox>\t<event var='landinglights' value='1' method='equal' multiple='1' text='Landing Lights on' />"
    "\t<event var='landinglights' value='0' method='equal' multiple='1' text='Landing Lights off' />"
    "\t<event var='gear' value='1' method='equal' multiple='1' text='Gear down' />"
    "\t<event var='gear' value='0' method='equal' multiple='1' text='Gear up' />"
    "\t<event var='flaps' value='1' method='equal' multiple='1' text='Flaps 100%' />"
    "\t<event var='flaps' value='0.5' method='equal' multiple='1' text='Flaps 50%' />"
    "\t<event var='flaps' value='0' method='equal' multiple='1' text='Flaps retracted' />"
    "\t<event var='ias' value='1' method='greater' multiple='0' flightstate='landed' sound='snd_applause.wav' />"
    "</blackbox>";

CBlackbox::CBlackbox(CAlertSound& player, CFlightSimulatorObjects* snap, CClientInterface& bookingData)
    : sound(player), snapshot(snap), booking(bookingData), log("CBlackbox")
{
    recentTimes.push_back(0);
    resourceFolder = CClientConfig::getInstance().getResourceFolder();
    loadRules();
}

CBlackbox::~CBlackbox() = default;

void CBlackbox::loadRules()
{
    log.debug("parse blackbox.xml");
    events.clear();
    pugi::xml_document document;
    // A file that is there but broken is the reason to tell, not the missing
    // second one after it.
    std::string why;
    std::string firstWhy;
    if (!loadRulesFile(CClientConfig::getInstance().getDataFolder() + kRulesFile, document, firstWhy) &&
        !loadRulesFile(resourceFolder + kRulesFile, document, why)) {
        const std::string reason = !firstWhy.empty() ? firstWhy : !why.empty() ? why : "File was not found";
        log.error("loading blackbox.xml failed: " + reason);
        document.reset();
        const pugi::xml_parse_result result = document.load_string(kBuiltInRules);
        if (!result) {
            log.error(std::string("parsing blackbox.xml failed: ") + result.description());
            return;
        }
    }
    buildEvents(document);
}

bool CBlackbox::loadRulesFile(const std::string& path, pugi::xml_document& document, std::string& why)
{
    std::string text;
    if (!CRegularFile::read(path, kMaxRulesBytes, text, why)) {
        if (why == "missing")
            why.clear();
        else
            why = path + " " + why;
        return false;
    }
    document.reset();
    const pugi::xml_parse_result result = document.load_buffer(text.data(), text.size());
    if (!result) {
        const auto end =
            text.begin() + std::min<std::ptrdiff_t>(result.offset, static_cast<std::ptrdiff_t>(text.size()));
        const long line = 1 + std::count(text.begin(), end, '\n');
        why = std::string(result.description()) + " at line " + std::to_string(line) + " of " + path;
        return false;
    }
    const pugi::xml_node root = document.child("blackbox");
    if (static_cast<std::size_t>(std::distance(root.begin(), root.end())) > kMaxRules) {
        why = path + " has more than " + std::to_string(kMaxRules) + " rules";
        return false;
    }
    return true;
}

bool CBlackbox::loadRulesFromText(const std::string& text)
{
    events.clear();
    pugi::xml_document document;
    const pugi::xml_parse_result result = document.load_buffer(text.data(), text.size());
    if (!result) {
        log.error(std::string("parsing blackbox.xml failed: ") + result.description());
        return false;
    }
    buildEvents(document);
    return true;
}

void CBlackbox::buildEvents(const pugi::xml_document& document)
{
    std::ostringstream text;
    document.save(text, "", pugi::format_raw);
    rulesText = text.str();
    const pugi::xml_node root = document.child("blackbox");
    if (!root)
        log.warn("no blackbox element, no rules");
    const bool debug = std::strcmp(root.attribute("debug").as_string(), "true") == 0;
    for (const pugi::xml_node& node : root.children()) {
        if (node.type() != pugi::node_element)
            continue;
        const char* name = node.name();
        std::unique_ptr<Blackbox::CEventBase> event;
        if (std::strcmp(name, "event") == 0)
            event = Blackbox::CValueEvent::fromElement(node, debug, variables);
        else if (std::strcmp(name, "combination") == 0)
            event = Blackbox::CCombinationEvent::fromElement(node, debug, variables);
        else if (std::strcmp(name, "startflight") == 0)
            event = std::make_unique<Blackbox::CStartFlightEvent>(node, debug);
        else
            log.warn(std::string("invalid node: ") + name + ";");
        if (event)
            events.push_back(std::move(event));
    }
}

void CBlackbox::updateVariables()
{
    variables.update(snapshot, booking);
}

void CBlackbox::check()
{
    if (snapshot == nullptr)
        return;
    updateVariables();
    for (std::size_t i = 0; i < events.size();) {
        Blackbox::CEventBase& event = *events[i];
        if (!event.check(false)) {
            ++i;
            continue;
        }
        logEvent(event.getText(), event.getSound());
        if (event.isMultiple())
            ++i;
        else
            events.erase(events.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void CBlackbox::startFlight()
{
    updateVariables();
    for (const auto& event : events)
        event->reset();
}

void CBlackbox::resetAll()
{
    eventLog.clear();
    eventsSent = 0;
    // The throttle counts this flight's events only: an earlier flight's
    // times would block the new flight's first minutes.
    recentTimes.assign(1, 0);
    loadRules();
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
            // One line per blocked period, not one per event.
            if (!blocking)
                log.warn("Blocking event log: Too many events!");
            blocking = true;
            return;
        }
        blocking = false;
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
    CIniParser& store = CIniParser::getInstance();
    return store.writeReportList("numeventlogs", "eventdata", eventLog) &&
           store.writeReportString("report", kEventsSentKey, std::to_string(eventsSent));
}

bool CBlackbox::loadFromReport()
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

bool CBlackbox::sendFirstEvent()
{
    if (eventLog.empty() || !booking.writeEventLog(eventLog.front(), eventsSent))
        return false;
    dropFirstEvent();
    return true;
}

void CBlackbox::dropFirstEvent()
{
    if (eventLog.empty())
        return;
    eventLog.erase(eventLog.begin());
    ++eventsSent;
}
