// CHandleFailure: the strike's message and the handle kept stuck.
#include "monitor/failures/HandleFailure.h"

#include "sim/FlightSimulatorInterface.h"

namespace Failures {

CHandleFailure::CHandleFailure(CFlightSimulatorInterface& sim, CBlackbox& box, CReport& flightReport, float condition,
                               const Kind& handle)
    : CFailureBase(sim, box, flightReport, condition), kind(handle)
{
}

void CHandleFailure::strike()
{
    bFailed = true;
    simulator.showText(kind.text, 10, false);
    logStrike(kind.text, kind.reportItem);
}

void CHandleFailure::maintain()
{
    simulator.applyFailure(kind.simulatorKind);
}

} // namespace Failures
