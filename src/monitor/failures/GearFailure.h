// A gear that sticks: once struck, the gear handle is forced on every update.
#pragma once

#include "monitor/failures/HandleFailure.h"
#include "report/Report.h"

namespace Failures {

class CGearFailure final : public CHandleFailure {
public:
    CGearFailure(CFlightSimulatorInterface& simulator, CBlackbox& blackbox, CReport& report, float condition)
        : CHandleFailure(simulator, blackbox, report, condition, {"Failure: Gear stuck!", ItemGearFailure, 6})
    {
    }
};

} // namespace Failures
