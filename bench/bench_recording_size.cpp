// Size of a flight recording: the demo flight (Frankfurt to Munich, qvl-sim's
// airline scenario at real speed) watched through the module link with the
// recorder on, in lockstep with the manual clock. Reports the recording's
// bytes per flight hour (target: under 1 MB with 50 ms polls near the ground)
// and the cost of recording one check.
#include "Simulator.h"
#include "recorder/FlightRecorder.h"
#include "sim/fsuipc/FlightSimulatorInterfaceUsingFsuipc.h"
#include "sim/fsuipc/FsuipcLink.h"
#include "support/FsuipcTestDirectory.h"
#include "support/TempDataFolder.h"
#include "support/WholeFlight.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

void BM_DemoFlightRecordingBytesPerHour(benchmark::State& state)
{
    for (auto _ : state) {
        TempDataFolder data;
        CFsuipcTestDirectory dir;
        SimScenario scenario;
        std::string error;
        if (!SimScenario::load(std::string(QVL_SIM_SCENARIO_DIR) + "/airline_eddf_eddm.json", scenario, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        CSimulator sim{scenario};
        sim.startServer("UIPCMAIN", dir.path());
        std::string path;
        double hours = 0.0;
        {
            CWholeFlight flight(
                [](CClientInterface& c) { return std::make_unique<CFlightSimulatorInterfaceUsingFsuipc>(c); },
                [&](double seconds) { sim.advance(seconds); }, true);
            const std::int64_t startMs = processClock().nowMs();
            flight.fly(2 * 3600 * 1000);
            hours = static_cast<double>(processClock().nowMs() - startMs) / 3600000.0;
            path = flight.ui().getFlightRecorder().path();
            flight.ui().getFlightRecorder().finish(false);
        }
        CFsuipcLink::instance().close();
        const double bytes = static_cast<double>(std::filesystem::file_size(path));
        state.counters["bytes"] = bytes;
        state.counters["flight_hours"] = hours;
        state.counters["bytes_per_hour"] = bytes / hours;
    }
}
BENCHMARK(BM_DemoFlightRecordingBytesPerHour)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
