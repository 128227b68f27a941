// qvl-sim run inside the test process, stepped in lockstep with the manual
// clock: an hour of flying takes seconds and every run sees the same flight,
// while the client still reaches it over the socket and the shared block.
#pragma once

#include "Simulator.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <string>

inline SimScenario loadAirlineScenario()
{
    SimScenario s;
    std::string error;
    EXPECT_TRUE(SimScenario::load(std::string(QVL_SIM_SCENARIO_DIR) + "/airline_eddf_eddm.json", s, error)) << error;
    return s;
}

class LockstepSimulator {
public:
    // Install the manual clock first: the simulator starts at its time.
    explicit LockstepSimulator(SimScenario scenario) : sim(std::move(scenario)) {}

    bool start(const std::string& dir) { return sim.startServer("UIPCMAIN", dir); }
    // Moves the simulator on by the manual time since the last call.
    void catchUp()
    {
        const std::int64_t now = processClock().nowMs();
        sim.advance(static_cast<double>(now - simulatedMs) / 1000.0);
        simulatedMs = now;
    }

    CSimulator sim;

private:
    std::int64_t simulatedMs = processClock().nowMs();
};
