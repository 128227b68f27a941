// CEngineFailure: the bridge announces the engine's failure in the simulator.
#include "monitor/failures/EngineFailure.h"

#include "report/Report.h"
#include "sim/FlightSimulatorInterface.h"

namespace Failures {

CEngineFailure::CEngineFailure(CFlightSimulatorInterface& sim, CBlackbox& box, CReport& flightReport, float condition,
                               int engineNumber)
    : CFailureBase(sim, box, flightReport, condition), number(engineNumber)
{
}

void CEngineFailure::strike()
{
    bFailed = true;
    simulator.failEngine(number - 1, false);
    logStrike("Failure: Engine Failure!", ItemEngineFailure);
}

} // namespace Failures
