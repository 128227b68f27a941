// The clock seam: UTC milliseconds, local-time offset and sleeping. The whole
// client reads time through processClock() so tests can swap in a ManualClock.
#pragma once

#include <cstdint>

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since 1970-01-01 00:00 UTC.
    virtual std::int64_t nowMs() const = 0;
    virtual void sleepMs(std::uint32_t ms) = 0;
    // Local time minus UTC, in seconds, at the given UTC instant.
    virtual int localOffsetSeconds(std::int64_t utcMs) const = 0;
};

// The real clock: std::chrono, the C library's time zone.
class SystemClock final : public Clock {
public:
    std::int64_t nowMs() const override;
    void sleepMs(std::uint32_t ms) override;
    int localOffsetSeconds(std::int64_t utcMs) const override;
};

// The clock the process uses; a SystemClock unless a test installed another.
Clock& processClock();
// Installs a clock (not owned); nullptr restores the system clock.
void setProcessClock(Clock* clock);
