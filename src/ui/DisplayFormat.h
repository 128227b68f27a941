// How the pages spell numbers for the pilot: masses in the pilot's display
// unit (kg or pounds), budgets with digit groups, names cut to fit the panel.
// Decimal points never follow the desktop's locale.
#pragma once

#include <cstdint>
#include <string>

class CDisplayFormat {
public:
    enum Unit { UnitKg = 0, UnitLbs = 1 };
    static constexpr double kLbsPerKg = 2.2046225;
    static constexpr int kPassengerKg = 102;

    // A unit code as the user interface holds it (0 kg, 1 pounds).
    explicit CDisplayFormat(int unitCode = UnitKg) : unit(unitCode) {}

    // kg to the display unit, truncated; and back (pounds divided, truncated).
    int toDisplay(double kg) const;
    int toKg(double displayValue) const;
    // "kg", "lbs", or "n/a" for an unknown unit code.
    const char* unitName() const;
    // "%d %s": the mass in the display unit with the unit's name.
    std::string mass(double kg) const;

    // Budget of the pilot panel: texts shorter than 8 characters with digit
    // groups ("1,234,567 v$"), longer ones in millions ("12 mio v$").
    static std::string budget(const std::string& budgetText);
    // Digit groups of three with commas, the sign kept ("-12,345").
    static std::string grouped(std::int64_t value);
    // The first 13 characters followed by "." when the text is longer.
    static std::string cut13(const std::string& text);
    // Fixed-point text with the given decimals and a point, whatever the locale.
    static std::string fixed(double value, int decimals);
    // printf for the pages' integer and text formats (%d, %s, %c).
    static std::string format(const char* fmt, ...) __attribute__((format(gnu_printf, 1, 2)));

private:
    int unit;
};
