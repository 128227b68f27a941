// CStringValue: text copies and comparisons; a failing copy is logged, never thrown on.
#include "monitor/blackbox/StringValue.h"

#include <exception>

namespace Blackbox {

CStringValue::CStringValue(std::string text) : value(std::move(text)), log("CStringValue", CDebugLog::Quiet{}) {}

const std::string& CStringValue::of(const CValueBase& other)
{
    return static_cast<const CStringValue&>(other).value;
}

void CStringValue::assign(const CValueBase& other)
{
    try {
        value = of(other);
    } catch (const std::exception&) {
        log.warn("operator = failed!");
    }
}

bool CStringValue::isEqual(const CValueBase& other) const
{
    return value == of(other);
}

bool CStringValue::isNotEqual(const CValueBase& other) const
{
    return value != of(other);
}

bool CStringValue::setFromText(const std::string& text)
{
    try {
        value = text;
    } catch (const std::exception&) {
        log.warn("operator = failed!");
        return false;
    }
    return true;
}

} // namespace Blackbox
