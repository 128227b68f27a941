// CCombinationEvent: reading a <combination> rule and checking its members together.
#include "monitor/blackbox/CombinationEvent.h"

#include <cstring>
#include <pugixml.hpp>

namespace Blackbox {

CCombinationEvent::CCombinationEvent() : log("CEventCombination", CDebugLog::Quiet{}) {}

CCombinationEvent::~CCombinationEvent() = default;

std::unique_ptr<CCombinationEvent> CCombinationEvent::fromElement(const pugi::xml_node& element, bool debug,
                                                                  CVariableTable& variables)
{
    std::unique_ptr<CCombinationEvent> event(new CCombinationEvent());
    event->readCommon(element, true);
    if (debug)
        event->log.debug(event->describeCommon("combination", true) + ">");
    for (const pugi::xml_node& child : element.children()) {
        if (child.type() != pugi::node_element || std::strcmp(child.name(), "event") != 0)
            continue;
        std::unique_ptr<CValueEvent> member = CValueEvent::fromElement(child, debug, variables);
        if (!member) {
            event->log.warn(
                "Rule skipped, a member rule cannot be read: " + event->describeCommon("combination", true) + ">");
            return nullptr;
        }
        event->members.push_back(std::move(member));
    }
    if (debug)
        event->log.debug("</combination>");
    return event;
}

bool CCombinationEvent::check(bool)
{
    for (const auto& member : members) {
        if (!member->check(true)) {
            fired = false;
            return false;
        }
    }
    if (fired)
        return false;
    fired = true;
    return true;
}

void CCombinationEvent::reset()
{
    for (const auto& member : members)
        member->reset();
}

} // namespace Blackbox
