// CRequestDeadline: the end time of the innermost scope, per thread, on the
// process clock.
#include "server/RequestDeadline.h"

#include "platform/Clock.h"

namespace {
constexpr std::int64_t kNone = -1;
thread_local std::int64_t t_deadline = kNone;
} // namespace

CRequestDeadline::CRequestDeadline(std::uint32_t budgetMs, Nesting nesting) : previous(t_deadline)
{
    const std::int64_t end = processClock().nowMs() + budgetMs;
    const bool own = nesting == Nesting::OwnBudget || previous == kNone;
    t_deadline = own || end < previous ? end : previous;
}

CRequestDeadline::~CRequestDeadline()
{
    t_deadline = previous;
}

std::int64_t CRequestDeadline::remainingMs()
{
    if (t_deadline == kNone)
        return -1;
    const std::int64_t left = t_deadline - processClock().nowMs();
    return left > 0 ? left : 0;
}
