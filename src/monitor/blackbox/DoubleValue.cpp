// CDoubleValue: exact comparisons of doubles and the number parser of rule values.
#include "monitor/blackbox/DoubleValue.h"

#include <locale>
#include <sstream>

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
    // Rules files are written with a decimal point whatever the pilot's
    // locale; the whole text must be the number.
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double v = 0.0;
    in >> std::noskipws >> v;
    if (in.fail() || in.peek() != std::char_traits<char>::eof())
        return false;
    value = v;
    return true;
}

} // namespace Blackbox
