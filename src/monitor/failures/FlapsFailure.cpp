// CFlapsFailure: announced in the simulator, then the handle kept stuck.
#include "monitor/failures/FlapsFailure.h"

#include "report/Report.h"
#include "sim/FlightSimulatorInterface.h"

namespace Failures {

namespace {
constexpr int kFlapsStuck = 5;
} // namespace

void CFlapsFailure::strike()
{
    bFailed = true;
    simulator.showText("Failure: Flaps stuck!", 10, false);
    logStrike("Failure: Flaps stuck!", ItemFlapsFailure);
}

void CFlapsFailure::maintain()
{
    simulator.applyFailure(kFlapsStuck);
}

} // namespace Failures
