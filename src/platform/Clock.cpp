// The system clock and the process-wide clock registry.
#include "platform/Clock.h"
#include "platform/SeamSlot.h"

#include "core/CivilTime.h"

#include <chrono>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <thread>

namespace {
SystemClock g_systemClock;
constinit SeamSlot<Clock> g_clock{g_systemClock};
std::mutex g_localTimeMutex;
// The offset of the last minute asked for: std::localtime reads the zone
// file's state again on every call, and every log line asks.
std::int64_t g_offsetMinute = INT64_MIN;
int g_offsetSeconds = 0;
} // namespace

std::int64_t SystemClock::nowMs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

void SystemClock::sleepMs(std::uint32_t ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int SystemClock::localOffsetSeconds(std::int64_t utcMs) const
{
    // Zones change their offset only on a whole minute.
    const std::int64_t minute = utcMs >= 0 ? utcMs / 60000 : (utcMs - 59999) / 60000;
    std::time_t t = static_cast<std::time_t>(minute * 60);
    // std::localtime shares one buffer; keep its use short and serialised.
    std::lock_guard<std::mutex> lock(g_localTimeMutex);
    if (minute == g_offsetMinute)
        return g_offsetSeconds;
    const std::tm* p = std::localtime(&t);
    if (p == nullptr)
        return 0;
    CivilTime c{p->tm_year + 1900, p->tm_mon + 1, p->tm_mday, p->tm_hour, p->tm_min, p->tm_sec};
    g_offsetMinute = minute;
    g_offsetSeconds = static_cast<int>(c.toEpochSeconds() - static_cast<std::int64_t>(t));
    return g_offsetSeconds;
}

Clock& processClock()
{
    return g_clock.get();
}

void setProcessClock(Clock* clock)
{
    g_clock.install(clock);
}
