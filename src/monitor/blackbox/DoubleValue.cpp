// CDoubleValue: exact comparisons of doubles and the number parser of rule values.
#include "monitor/blackbox/DoubleValue.h"

#include <boost/lexical_cast.hpp>

namespace Blackbox {

CDoubleValue::CDoubleValue(double v) : value(v), log("CDoubleValue", CDebugLog::Quiet{}) {}

double CDoubleValue::of(const CValueBase& other)
{
    return static_cast<const CDoubleValue&>(other).value;
}

void CDoubleValue::assign(const CValueBase& other)
{
    value = of(other);
}

bool CDoubleValue::isEqual(const CValueBase& other) const
{
    return value == of(other);
}

bool CDoubleValue::isNotEqual(const CValueBase& other) const
{
    return value != of(other);
}

bool CDoubleValue::isGreater(const CValueBase& other) const
{
    return value > of(other);
}

bool CDoubleValue::isLess(const CValueBase& other) const
{
    return value < of(other);
}

bool CDoubleValue::isGreaterOrEqual(const CValueBase& other) const
{
    return value >= of(other);
}

bool CDoubleValue::isLessOrEqual(const CValueBase& other) const
{
    return value <= of(other);
}

bool CDoubleValue::setFromText(const std::string& text)
{
    try {
        value = boost::lexical_cast<double>(text);
        return true;
    } catch (const boost::bad_lexical_cast&) {
        return false;
    }
}

} // namespace Blackbox
