// Cost of one Flying-page check without the simulator round trip: the phase
// step with its rules, and the whole flight-state step, on a cruising aircraft.
#include "monitor/FlightState.h"
#include "support/FlightFixture.h"
#include "support/TempDataFolder.h"

#include <benchmark/benchmark.h>

namespace {

void cruise(FlightFixture& f)
{
    f.startFlying();
    f.sim->state.onGround = false;
    f.sim->state.altitude = 35000;
    f.sim->state.groundSpeed = 450;
    f.sim->state.indicatedAirspeed = 280;
    f.sim->getEverything();
    f.sim->getAircraftTanks();
    f.ui->getFlightState().setPhase(PhaseCruise);
}

void BM_PhaseStepAndRules(benchmark::State& state)
{
    FlightFixture f;
    cruise(f);
    CFlightState& machine = f.ui->getFlightState();
    for (auto _ : state) {
        f.clock->advance(50);
        benchmark::DoNotOptimize(machine.update());
    }
    state.SetLabel("ns per check");
}
BENCHMARK(BM_PhaseStepAndRules);

void BM_FlightStateStep(benchmark::State& state)
{
    FlightFixture f;
    cruise(f);
    for (auto _ : state) {
        f.clock->advance(50);
        benchmark::DoNotOptimize(f.ui->advanceFlightState());
    }
}
BENCHMARK(BM_FlightStateStep);

void BM_IdleFlyingTick(benchmark::State& state)
{
    // A tick between checks: the driver's own bookkeeping and the 10 ms sleep
    // (free on the manual clock).
    FlightFixture f;
    cruise(f);
    for (auto _ : state)
        f.client->tick();
}
BENCHMARK(BM_IdleFlyingTick);

} // namespace

int main(int argc, char** argv)
{
    TempDataFolder folder; // the client's logs go there, not into the working directory
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
