// Masses as the pilot sees and types them: kg, or pounds for a pilot whose
// unit is "lbs". Everything stored stays in kg.
#pragma once

#include <cstdint>
#include <string>

struct Tervix_Pilots;

class CWeightUnit {
public:
    static constexpr double kPoundsPerKg = 2.2046225;

    explicit CWeightUnit(bool pounds) : pounds(pounds) {}
    static CWeightUnit ofPilot(const Tervix_Pilots& pilot);

    bool isPounds() const { return pounds; }
    double toDisplay(double kg) const { return pounds ? kg * kPoundsPerKg : kg; }
    // A typed figure in kg, truncated; bad input reads as 0.
    std::int32_t toKg(double display) const;
    // A field's text as a figure in the display unit (first 31 characters).
    static double readNumber(const std::string& text);

private:
    bool pounds;
};
