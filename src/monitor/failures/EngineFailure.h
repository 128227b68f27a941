// An engine that stops (or catches fire, by bridge) at its drawn moment.
#pragma once

#include "monitor/failures/FailureBase.h"

namespace Failures {

class CEngineFailure final : public CFailureBase {
public:
    // number: 1 to 4.
    CEngineFailure(CFlightSimulatorInterface& simulator, CBlackbox& blackbox, CReport& report, float condition,
                   int number);
    int getNumber() const { return number; }

protected:
    void strike() override;
    void maintain() override {}

private:
    int number;
};

} // namespace Failures
