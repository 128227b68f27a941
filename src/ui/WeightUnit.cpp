// CWeightUnit: kg and pound conversion of the load sheet's fields.
#include "ui/WeightUnit.h"

#include "core/FixedText.h"
#include "core/NumberConversion.h"
#include "server/LeadingNumber.h"
#include "server/Records.h"

#include <cmath>

CWeightUnit CWeightUnit::ofPilot(const Tervix_Pilots& pilot)
{
    return CWeightUnit(fieldText(pilot.weightunit) == "lbs");
}

std::int32_t CWeightUnit::toKg(double display) const
{
    if (!std::isfinite(display))
        return 0;
    return truncToInt32(pounds ? display / kPoundsPerKg : display);
}

double CWeightUnit::readNumber(const std::string& text)
{
    // Longer input is cut rather than trusted: no fuel figure needs 31 digits.
    const double v = leadingDouble(std::string_view(text).substr(0, 31));
    return std::isfinite(v) ? v : 0.0;
}
