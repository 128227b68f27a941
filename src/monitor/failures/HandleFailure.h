// A handle that sticks (gear or flaps): announced in the simulator when it
// strikes, then forced back on every update.
#pragma once

#include "monitor/failures/FailureBase.h"

namespace Failures {

class CHandleFailure : public CFailureBase {
public:
    struct Kind {
        const char* text; // shown in the simulator and logged as the event
        int reportItem;
        int simulatorKind; // what applyFailure forces
    };

    CHandleFailure(CFlightSimulatorInterface& simulator, CBlackbox& blackbox, CReport& report, float condition,
                   const Kind& kind);

protected:
    void strike() override;
    void maintain() override;

private:
    Kind kind;
};

} // namespace Failures
