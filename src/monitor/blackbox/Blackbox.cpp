// CBlackbox: building the rules, the rule check, what fires.
#include "monitor/blackbox/Blackbox.h"

#include "core/ClientConfig.h"
#include "monitor/AlertSound.h"
#include "monitor/blackbox/CombinationEvent.h"
#include "monitor/blackbox/StartFlightEvent.h"
#include "monitor/blackbox/ValueEvent.h"
#include "server/ClientInterface.h"

#include <cstring>
#include <pugixml.hpp>
#include <sstream>

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
    : sound(player), snapshot(snap), booking(bookingData),
      rulesFiles(CClientConfig::getInstance().getResourceFolder()), flightEvents(snap, bookingData), log("CBlackbox")
{
    loadRules();
}

CBlackbox::~CBlackbox() = default;

void CBlackbox::loadRules()
{
    log.debug("parse blackbox.xml");
    events.clear();
    pugi::xml_document document;
    std::string why;
    if (!rulesFiles.load(document, why)) {
        log.error("loading blackbox.xml failed: " + why);
        document.reset();
        const pugi::xml_parse_result result = document.load_string(kBuiltInRules);
        if (!result) {
            log.error(std::string("parsing blackbox.xml failed: ") + result.description());
            return;
        }
    }
    buildEvents(document);
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
    flightEvents.clear();
    loadRules();
}

void CBlackbox::logEvent(const std::string& text, const std::string& soundName)
{
    // A throttled event plays no sound either.
    if (!flightEvents.logEvent(text))
        return;
    if (!soundName.empty()) {
        sound.play(soundName, true);
        log.debug("Play sound: " + soundName);
    }
}
