// CGearFailure: announced in the simulator, then the handle kept stuck.
#include "monitor/failures/GearFailure.h"

#include "report/Report.h"
#include "sim/FlightSimulatorInterface.h"

namespace Failures {

namespace {
constexpr int kGearStuck = 6;
} // namespace

void CGearFailure::strike()
{
    bFailed = true;
    simulator.showText("Failure: Gear stuck!", 10, false);
    logStrike("Failure: Gear stuck!", ItemGearFailure);
}

void CGearFailure::maintain()
{
    simulator.applyFailure(kGearStuck);
}

} // namespace Failures
