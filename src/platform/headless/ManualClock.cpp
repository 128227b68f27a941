// ManualClock and its scoped installer.
#include "platform/headless/ManualClock.h"

ManualClock::ManualClock(std::int64_t startMs, int localOffset) : now_(startMs), offset_(localOffset) {}

ScopedManualClock::ScopedManualClock(std::int64_t startMs) : clock_(startMs)
{
    setProcessClock(&clock_);
}

ScopedManualClock::~ScopedManualClock()
{
    setProcessClock(nullptr);
}
