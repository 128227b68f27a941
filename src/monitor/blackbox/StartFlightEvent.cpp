// CStartFlightEvent: reading a <startflight> rule.
#include "monitor/blackbox/StartFlightEvent.h"

namespace Blackbox {

CStartFlightEvent::CStartFlightEvent(const pugi::xml_node& element, bool debug)
    : log("CStartFlightEvent", CDebugLog::Quiet{})
{
    readCommon(element, false);
    if (debug)
        log.debug(describeCommon("startflight", false) + ">");
}

} // namespace Blackbox
