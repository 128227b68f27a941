// Numbers read the way the service's texts are read: leading blanks skipped,
// digits taken up to the first character that does not fit, 0 when none fits.
// Always a point as decimal separator, whatever the locale.
#pragma once

#include "core/FixedText.h"

#include <charconv>
#include <cstdint>
#include <string_view>

inline std::string_view skipLeadingBlanks(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() &&
           (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r' || s[i] == '\v' || s[i] == '\f'))
        ++i;
    s.remove_prefix(i);
    if (!s.empty() && s[0] == '+' && (s.size() < 2 || s[1] != '-'))
        s.remove_prefix(1);
    return s;
}

// Saturates at the 32-bit range instead of overflowing.
inline std::int32_t leadingInt(std::string_view s)
{
    s = skipLeadingBlanks(s);
    long long v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec == std::errc::result_out_of_range)
        return !s.empty() && s[0] == '-' ? INT32_MIN : INT32_MAX;
    if (r.ec != std::errc())
        return 0;
    if (v > INT32_MAX)
        return INT32_MAX;
    if (v < INT32_MIN)
        return INT32_MIN;
    return static_cast<std::int32_t>(v);
}

inline double leadingDouble(std::string_view s)
{
    s = skipLeadingBlanks(s);
    double v = 0.0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() ? v : 0.0;
}

// True when s is a whole decimal integer (optional sign, digits only) in range.
inline bool isDecimalInteger(std::string_view s)
{
    if (s.empty() || (s[0] == '+' && (s.size() < 2 || s[1] == '-')))
        return false;
    long long v = 0;
    const char* first = s.data() + (s[0] == '+' ? 1 : 0);
    const auto r = std::from_chars(first, s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size() && v >= INT32_MIN && v <= INT32_MAX;
}

// A record's fixed text field read as a number.
template <std::size_t N> std::int32_t fieldInt(const char (&field)[N])
{
    return leadingInt(fieldText(field));
}

template <std::size_t N> double fieldDouble(const char (&field)[N])
{
    return leadingDouble(fieldText(field));
}
