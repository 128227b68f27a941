// A rule made of several <event> rules that fires once when all of them hold
// at the same time, and re-arms when any of them stops holding.
#pragma once

#include "core/DebugLog.h"
#include "monitor/blackbox/EventBase.h"
#include "monitor/blackbox/ValueEvent.h"

#include <memory>
#include <vector>

namespace Blackbox {

class CVariableTable;

class CCombinationEvent final : public CEventBase {
public:
    // Null (with a warning) when one of its member rules cannot be read: a
    // combination missing a condition would fire when it should not.
    static std::unique_ptr<CCombinationEvent> fromElement(const pugi::xml_node& element, bool debug,
                                                          CVariableTable& variables);
    ~CCombinationEvent() override;

    void reset() override;
    bool check(bool level) override;

private:
    CCombinationEvent();

    std::vector<std::unique_ptr<CValueEvent>> members;
    CDebugLog log;
};

} // namespace Blackbox
