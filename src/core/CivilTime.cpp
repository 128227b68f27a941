// Civil-date arithmetic (days from 1970-01-01 by the proleptic Gregorian rules).
#include "core/CivilTime.h"

#include "platform/Clock.h"

#include <cstdio>

namespace {
std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = floorDiv(y, 400);
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}
} // namespace

CivilTime CivilTime::fromEpochSeconds(std::int64_t seconds)
{
    const std::int64_t days = floorDiv(seconds, 86400);
    const std::int64_t rest = seconds - days * 86400;
    const std::int64_t z = days + 719468;
    const std::int64_t era = floorDiv(z, 146097);
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    CivilTime c;
    c.year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
    c.month = static_cast<int>(m);
    c.day = static_cast<int>(d);
    c.hour = static_cast<int>(rest / 3600);
    c.minute = static_cast<int>((rest % 3600) / 60);
    c.second = static_cast<int>(rest % 60);
    return c;
}

std::int64_t CivilTime::toEpochSeconds() const
{
    return daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 +
           hour * 3600 + minute * 60 + second;
}

CivilTime CivilTime::localNow()
{
    const Clock& clock = processClock();
    const std::int64_t ms = clock.nowMs();
    return fromEpochSeconds(floorDiv(ms, 1000) + clock.localOffsetSeconds(ms));
}

CivilTime CivilTime::utcNow()
{
    return fromEpochSeconds(floorDiv(processClock().nowMs(), 1000));
}

std::string CivilTime::format(const char* pattern) const
{
    std::string out;
    char buf[16];
    for (const char* p = pattern; *p != '\0'; ++p) {
        if (*p != '%' || p[1] == '\0') {
            out += *p;
            continue;
        }
        ++p;
        switch (*p) {
        case 'Y': std::snprintf(buf, sizeof buf, "%04d", year); break;
        case 'm': std::snprintf(buf, sizeof buf, "%02d", month); break;
        case 'd': std::snprintf(buf, sizeof buf, "%02d", day); break;
        case 'H': std::snprintf(buf, sizeof buf, "%02d", hour); break;
        case 'M': std::snprintf(buf, sizeof buf, "%02d", minute); break;
        case 'S': std::snprintf(buf, sizeof buf, "%02d", second); break;
        case '%': std::snprintf(buf, sizeof buf, "%%"); break;
        default: std::snprintf(buf, sizeof buf, "%%%c", *p); break;
        }
        out += buf;
    }
    return out;
}
