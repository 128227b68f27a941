// CFailureBase: whether and when a part fails, and the update that strikes it.
#include "monitor/failures/FailureBase.h"

#include "monitor/blackbox/Blackbox.h"
#include "monitor/failures/RandomSource.h"
#include "report/Report.h"

namespace Failures {

namespace {
constexpr float kNeverFailsFrom = 98.0f;
} // namespace

CFailureBase::CFailureBase(CFlightSimulatorInterface& sim, CBlackbox& box, CReport& flightReport, float condition)
    : fCondition(condition), simulator(sim), blackbox(box), report(flightReport)
{
}

bool CFailureBase::schedule(float draw, CRandomSource& random)
{
    if (lFailureTime > 0)
        return false;
    if (fCondition == 0.0f || fCondition >= kNeverFailsFrom)
        return false;
    const float wear = (100.0f - fCondition) / 100.0f;
    const float chance = wear * wear * 100.0f;
    if (!(chance > draw)) {
        lFailureTime = 0;
        return false;
    }
    // b = k / 100, time = b^2 * 12 h; in integers so the truncation is exact.
    // The square weights the moment toward the start of the flight.
    const std::int32_t k = random.nextInt() % 100;
    lFailureTime = k * k * 432 / 100;
    return true;
}

void CFailureBase::update(std::int32_t elapsed)
{
    if (bFailed)
        maintain();
    else if (lFailureTime > 0 && lFailureTime < elapsed)
        strike();
}

void CFailureBase::logStrike(const char* eventText, int reportItem)
{
    blackbox.logEvent(eventText, "");
    report.addPenalty(reportItem);
}

} // namespace Failures
