// A clock that moves only when told to; sleeping advances it. Tests drive whole
// flights with it in no real time.
#pragma once

#include "platform/Clock.h"

#include <atomic>

class ManualClock final : public Clock {
public:
    explicit ManualClock(std::int64_t startMs = 1765065600000, int localOffset = 0);

    std::int64_t nowMs() const override { return now_.load(); }
    void sleepMs(std::uint32_t ms) override { advance(ms); }
    int localOffsetSeconds(std::int64_t) const override { return offset_; }

    void advance(std::int64_t ms) { now_ += ms; }
    void set(std::int64_t ms) { now_ = ms; }
    void setLocalOffset(int seconds) { offset_ = seconds; }

private:
    std::atomic<std::int64_t> now_;
    int offset_;
};

// Installs a ManualClock as the process clock for the lifetime of the object.
class ScopedManualClock {
public:
    explicit ScopedManualClock(std::int64_t startMs = 1765065600000);
    ~ScopedManualClock();
    ScopedManualClock(const ScopedManualClock&) = delete;
    ScopedManualClock& operator=(const ScopedManualClock&) = delete;

    ManualClock& clock() { return clock_; }
    ManualClock* operator->() { return &clock_; }

private:
    ManualClock clock_;
};
