// CStopwatch on the process clock.
#include "core/Stopwatch.h"

#include "platform/Clock.h"

std::uint32_t CStopwatch::now32()
{
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(processClock().nowMs()));
}

CStopwatch::CStopwatch() : start_(now32()) {}

void CStopwatch::restart()
{
    start_ = now32();
}

std::uint32_t CStopwatch::elapsed() const
{
    return now32() - start_;
}
