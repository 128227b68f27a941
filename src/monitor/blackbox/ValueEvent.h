// A rule on one flight variable: fires when the variable reaches, passes
// below or passes above a value, optionally only in one flight phase.
#pragma once

#include "core/DebugLog.h"
#include "monitor/blackbox/EventBase.h"
#include "monitor/blackbox/ValueBase.h"

#include <memory>

namespace Blackbox {

class CVariableTable;

class CValueEvent final : public CEventBase {
public:
    enum Method { MethodEqual = 0, MethodLess = 1, MethodGreater = 2 };

    // Builds the event of an <event> element; null (with a warning naming the
    // element) when its value does not read as a value of the variable's kind.
    static std::unique_ptr<CValueEvent> fromElement(const pugi::xml_node& element, bool debug,
                                                    CVariableTable& variables);
    ~CValueEvent() override;

    void reset() override;
    bool check(bool level) override;

private:
    explicit CValueEvent(CVariableTable& variables);
    bool condition() const;
    std::string describe(const char* varName, const std::string& valueText) const;

    CVariableTable& variables;
    CValueBase* current = nullptr;
    std::unique_ptr<CValueBase> compare;
    std::unique_ptr<CValueBase> previous;
    int method = MethodEqual;
    int phaseFilter = -1;
    bool phaseCompare = false;
    CDebugLog log;
};

} // namespace Blackbox
