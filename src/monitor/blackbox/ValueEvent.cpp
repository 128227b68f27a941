// CValueEvent: reading an <event> rule, and when it fires and re-arms.
#include "monitor/blackbox/ValueEvent.h"

#include "monitor/blackbox/DoubleValue.h"
#include "monitor/blackbox/StringValue.h"
#include "monitor/blackbox/VariableTable.h"
#include "sim/FlightPhase.h"

#include <locale>
#include <pugixml.hpp>

namespace Blackbox {

namespace {

std::string lowerCased(const std::string& text)
{
    const std::locale global;
    std::string out = text;
    for (char& c : out)
        c = std::tolower(c, global);
    return out;
}

std::unique_ptr<CValueBase> sameKind(const CValueBase& value)
{
    if (value.isText())
        return std::make_unique<CStringValue>();
    return std::make_unique<CDoubleValue>();
}

int methodOf(const std::string& text)
{
    if (text == "greater")
        return CValueEvent::MethodGreater;
    if (text == "less")
        return CValueEvent::MethodLess;
    return CValueEvent::MethodEqual;
}

const char* methodName(int method)
{
    if (method == CValueEvent::MethodGreater)
        return "greater";
    if (method == CValueEvent::MethodLess)
        return "less";
    return "equal";
}

} // namespace

CValueEvent::CValueEvent(CVariableTable& table) : variables(table), log("CEventBase", CDebugLog::Quiet{}) {}

CValueEvent::~CValueEvent() = default;

std::unique_ptr<CValueEvent> CValueEvent::fromElement(const pugi::xml_node& element, bool debug,
                                                      CVariableTable& variables)
{
    std::unique_ptr<CValueEvent> event(new CValueEvent(variables));
    event->readCommon(element, true);
    const CVariableTable::Entry var = variables.find(lowerCased(element.attribute("var").as_string()));
    event->current = var.value;
    event->compare = sameKind(*var.value);
    event->previous = sameKind(*var.value);
    event->phaseCompare = std::string(var.name) == "flightstate";
    const char* rawValue = element.attribute("value").as_string();
    const std::string valueText = *rawValue != '\0' ? rawValue : "0";
    const bool valueRead = event->compare->setFromText(valueText);
    event->phaseFilter = parsePhaseCode(element.attribute("flightstate").as_string());
    event->method = methodOf(element.attribute("method").as_string());
    event->previous->setFromText("0");
    const std::string description = event->describe(var.name, valueText);
    if (!valueRead) {
        event->log.warn("Rule skipped, its value is not a number: " + description);
        return nullptr;
    }
    if (debug)
        event->log.debug(description);
    return event;
}

std::string CValueEvent::describe(const char* varName, const std::string& valueText) const
{
    return describeCommon("event", true) + " var=" + varName + " value=" + valueText +
           " flightstate=" + getPhaseName(phaseFilter) + " method=" + methodName(method) + ">";
}

bool CValueEvent::condition() const
{
    switch (method) {
    case MethodLess:
        return current->isLess(*compare);
    case MethodGreater:
        return current->isGreater(*compare);
    default:
        break;
    }
    if (phaseCompare)
        return current->isEqual(*compare);
    // Reached or passed since the last check: a switch that jumps over the
    // value in one poll still fires.
    const bool crossedUp = current->isGreaterOrEqual(*compare) && previous->isLess(*compare);
    const bool crossedDown = current->isLessOrEqual(*compare) && previous->isGreater(*compare);
    return crossedUp || crossedDown || current->isEqual(*compare);
}

bool CValueEvent::check(bool level)
{
    if (phaseFilter != -1 && phaseFilter != variables.phase()) {
        fired = false;
        return false;
    }
    const bool holds = condition();
    const bool wasFired = fired;
    fired = holds;
    previous->assign(*current);
    return level ? holds : holds && !wasFired;
}

void CValueEvent::reset()
{
    if (!current->isText())
        previous->assign(*current);
}

} // namespace Blackbox
