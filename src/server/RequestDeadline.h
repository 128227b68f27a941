// An overall deadline for the service requests of one piece of work on this
// thread: a pilot's action waits one deadline in all, not one per request, and
// a tick on the Flying page only a few seconds. Scopes nest; the inner one
// never outlasts the outer, except one opened with its own budget: ending a
// flight is the pilot's action even when the tick presses it.
#pragma once

#include <cstdint>

class CRequestDeadline {
public:
    enum class Nesting { WithinOuter, OwnBudget };
    explicit CRequestDeadline(std::uint32_t budgetMs, Nesting nesting = Nesting::WithinOuter);
    ~CRequestDeadline();
    CRequestDeadline(const CRequestDeadline&) = delete;
    CRequestDeadline& operator=(const CRequestDeadline&) = delete;

    // Milliseconds left for the current thread's innermost scope; -1 when no
    // scope is open (the request's own timeouts apply), 0 when it has passed.
    static std::int64_t remainingMs();

    // A pilot's action; the tick on the Flying page; the awards call after a
    // report, which a stalling service may hold only a few seconds.
    static constexpr std::uint32_t kActionMs = 120000;
    static constexpr std::uint32_t kFlyingTickMs = 3000;
    static constexpr std::uint32_t kAwardsCallMs = 5000;

private:
    std::int64_t previous;
};
