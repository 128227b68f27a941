// A rule that fires once on the first check after the flight starts.
#pragma once

#include "core/DebugLog.h"
#include "monitor/blackbox/EventBase.h"

namespace Blackbox {

class CStartFlightEvent final : public CEventBase {
public:
    CStartFlightEvent(const pugi::xml_node& element, bool debug);

    void reset() override {}
    bool check(bool) override { return true; }

private:
    CDebugLog log;
};

} // namespace Blackbox
