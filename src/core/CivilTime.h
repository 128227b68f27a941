// Calendar date and time of day, converted to and from seconds since 1970
// without the C library, so the same arithmetic runs on every platform.
#pragma once

#include <cstdint>
#include <string>

struct CivilTime {
    int year = 1970;
    int month = 1; // 1..12
    int day = 1;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;

    static CivilTime fromEpochSeconds(std::int64_t seconds);
    std::int64_t toEpochSeconds() const;

    // Local time of the process clock's current instant.
    static CivilTime localNow();
    // UTC of the process clock's current instant.
    static CivilTime utcNow();

    // strftime-like formatting for the few patterns the client uses:
    // %Y %m %d %H %M %S and literal text.
    std::string format(const char* pattern) const;
};
