// A simulated failure of one part of a worn aircraft: drawn at the flight
// start, it strikes once its second after departure has passed and is then
// kept up on every later update.
#pragma once

#include <cstdint>

class CFlightSimulatorInterface;
class CBlackbox;
class CReport;

namespace Failures {

class CRandomSource;

class CFailureBase {
public:
    CFailureBase(CFlightSimulatorInterface& simulator, CBlackbox& blackbox, CReport& report, float condition);
    virtual ~CFailureBase() = default;

    // draw: 0.00 to 99.98. True when a failure time was set.
    bool schedule(float draw, CRandomSource& random);
    // elapsed: whole seconds since departure.
    void update(std::int32_t elapsed);

    std::int32_t lFailureTime = 0; // second after departure; 0 = none
    bool bFailed = false;
    float fCondition;

protected:
    // The moment of failure: sets bFailed, acts, logs the event, adds the report item.
    virtual void strike() = 0;
    // Re-applied on every update after the strike.
    virtual void maintain() = 0;
    void logStrike(const char* eventText, int reportItem);

    CFlightSimulatorInterface& simulator;
    CBlackbox& blackbox;
    CReport& report;
};

} // namespace Failures
