// The system clock and the process-wide clock registry.
#include "platform/Clock.h"
#include "platform/SeamSlot.h"

#include "core/CivilTime.h"

#include <chrono>
#include <ctime>
#include <mutex>
#include <thread>

namespace {
SystemClock g_systemClock;
constinit SeamSlot<Clock> g_clock{g_systemClock};
std::mutex g_localTimeMutex;
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
    std::time_t t = static_cast<std::time_t>(utcMs / 1000);
    std::tm local{};
    {
        // std::localtime shares one buffer; keep its use short and serialised.
        std::lock_guard<std::mutex> lock(g_localTimeMutex);
        const std::tm* p = std::localtime(&t);
        if (p == nullptr)
            return 0;
        local = *p;
    }
    CivilTime c{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                local.tm_hour, local.tm_min, local.tm_sec};
    return static_cast<int>(c.toEpochSeconds() - static_cast<std::int64_t>(t));
}

Clock& processClock()
{
    return g_clock.get();
}

void setProcessClock(Clock* clock)
{
    g_clock.install(clock);
}
