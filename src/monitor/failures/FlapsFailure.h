// Flaps that stick: once struck, the flaps handle is forced on every update.
#pragma once

#include "monitor/failures/HandleFailure.h"
#include "report/Report.h"

namespace Failures {

class CFlapsFailure final : public CHandleFailure {
public:
    CFlapsFailure(CFlightSimulatorInterface& simulator, CBlackbox& blackbox, CReport& report, float condition)
        : CHandleFailure(simulator, blackbox, report, condition, {"Failure: Flaps stuck!", ItemFlapsFailure, 5})
    {
    }
};

} // namespace Failures
