// UTC calendar arithmetic without the C library's time zone functions, which
// differ between Linux and Windows (timegm, gmtime_r).
#pragma once

#include <cstdint>
#include <ctime>

namespace UtcCalendar {

// Days since 1970-01-01 of a proleptic Gregorian date (month 1..12).
inline std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

// Seconds since 1970 of a broken-down UTC time (tm_year, tm_mon, tm_mday, tm_hour, tm_min, tm_sec).
inline std::int64_t toEpoch(const std::tm& tm)
{
    const std::int64_t days = daysFromCivil(tm.tm_year + 1900, static_cast<unsigned>(tm.tm_mon + 1),
                                            static_cast<unsigned>(tm.tm_mday));
    return days * 86400 + tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec;
}

// Year and day of the year (0-based, as tm_yday) of an instant.
inline void yearAndDay(std::int64_t seconds, int& year, int& yday)
{
    std::int64_t days = seconds / 86400 - (seconds % 86400 < 0 ? 1 : 0);
    std::int64_t y = 1970 + days / 366;
    while (daysFromCivil(y + 1, 1, 1) <= days)
        ++y;
    while (daysFromCivil(y, 1, 1) > days)
        --y;
    year = static_cast<int>(y);
    yday = static_cast<int>(days - daysFromCivil(y, 1, 1));
}

} // namespace UtcCalendar
