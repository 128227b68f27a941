// The pilot-robot: carries out the scenario's actions one after the other on
// the aircraft model, in fixed steps, and asks its host for disconnections.
#pragma once

#include "AircraftModel.h"

#include <cstddef>

class CScenarioRunner {
public:
    explicit CScenarioRunner(CAircraftModel& model);

    // One step of `realSeconds` (the model's fixed step): the current action,
    // then the model.
    void step(double realSeconds);
    bool finished() const;
    std::size_t currentAction() const { return index; }
    // Seconds the host should stay unreachable; 0 when nothing was asked.
    double takeDisconnectRequest();

private:
    bool run(const SimAction& a, double dt);
    bool runTakeoff(const SimAction& a, double dt);
    bool runLevelChange(const SimAction& a, double dt);
    bool runCruise(const SimAction& a);
    bool runLanding(const SimAction& a, double dt);
    bool runTaxi(const SimAction& a);
    bool runSwitch(const SimAction& a);
    void navigate();
    void approachSpeed(double target, double dt);
    void refuel(double gallons);

    CAircraftModel& model;
    std::size_t index = 0;
    double elapsed = 0.0;
    double pauseLeft = 0.0;
    double disconnectRequest = 0.0;
};
