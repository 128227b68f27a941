// CDisplayFormat: display units and the pilot panel's number formats.
#include "ui/DisplayFormat.h"

#include "core/NumberConversion.h"
#include "server/LeadingNumber.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string_view>
#include <vector>

int CDisplayFormat::toDisplay(double kg) const
{
    return truncToInt32(unit == UnitLbs ? kg * kLbsPerKg : kg);
}

int CDisplayFormat::toKg(double displayValue) const
{
    return truncToInt32(unit == UnitLbs ? displayValue / kLbsPerKg : displayValue);
}

const char* CDisplayFormat::unitName() const
{
    switch (unit) {
    case UnitKg:
        return "kg";
    case UnitLbs:
        return "lbs";
    default:
        return "n/a";
    }
}

std::string CDisplayFormat::mass(double kg) const
{
    return format("%d %s", toDisplay(kg), unitName());
}

std::string CDisplayFormat::grouped(std::int64_t value)
{
    const bool negative = value < 0;
    std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return negative ? "-" + out : out;
}

std::string CDisplayFormat::budget(const std::string& budgetText)
{
    // Parsed wide, so that a budget of billions still shows its millions.
    const std::string_view digits = skipLeadingBlanks(budgetText);
    long long value = 0;
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (r.ec != std::errc())
        value = 0;
    if (budgetText.size() < 8)
        return grouped(value) + " v$";
    return std::to_string(value / 1000000) + " mio v$";
}

std::string CDisplayFormat::cut13(const std::string& text)
{
    // Characters, not bytes: a UTF-8 name is never cut inside a letter.
    int characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool continuation = (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
        if (!continuation && ++characters > 13)
            return text.substr(0, i) + ".";
    }
    return text;
}

std::string CDisplayFormat::fixed(double value, int decimals)
{
    if (!std::isfinite(value))
        value = 0.0;
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (r.ec != std::errc())
        return "0";
    return std::string(buf, r.ptr);
}

std::string CDisplayFormat::format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    char buf[512];
    const int n = std::vsnprintf(buf, sizeof buf, fmt, copy);
    va_end(copy);
    std::string out;
    if (n > 0 && static_cast<std::size_t>(n) < sizeof buf) {
        out.assign(buf, static_cast<std::size_t>(n));
    } else if (n > 0) {
        std::vector<char> big(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(big.data(), big.size(), fmt, args);
        out.assign(big.data(), static_cast<std::size_t>(n));
    }
    va_end(args);
    return out;
}
