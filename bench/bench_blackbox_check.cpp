// Cost of one blackbox check on a cruising aircraft: the built-in rules, and
// a rules file of 1000 rules of every kind (value rules on every variable and
// method, phase filters, combinations). The values move a little on every
// check but cross no rule, as on most ticks of a real flight.
#include "monitor/FlightState.h"
#include "monitor/blackbox/Blackbox.h"
#include "platform/headless/RecordingSoundOutput.h"
#include "server/ClientInterface.h"
#include "sim/FlightSimulatorObjects.h"
#include "support/TempDataFolder.h"
#include "ui/Sound.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string thousandRules()
{
    static const char* const vars[] = {"ias",         "landinglights", "gear",        "flaps",
                                       "altitudestd", "altitudeagl",   "vs",          "groundspeed",
                                       "flightstate", "aircrafttype",  "destination", "closestairport"};
    static const char* const methods[] = {"equal", "less", "greater"};
    static const char* const phases[] = {"", "taxi", "climb", "cruise", "descent", "landed"};
    std::string text = "<blackbox>";
    for (int i = 0; i < 1000; ++i) {
        const std::string var = vars[i % 12];
        const bool isText = i % 12 >= 9;
        const std::string value = isText ? "EDDM" : std::to_string(50000 + i);
        const std::string rule = "<event var='" + var + "' value='" + value + "' method='" + methods[i % 3] +
                                 "' multiple='1' flightstate='" + phases[i % 6] + "' text='Rule " + std::to_string(i) +
                                 "'/>";
        if (i % 10 == 9)
            text += "<combination multiple='1' text='Pair'>" + rule + rule + "</combination>";
        else
            text += rule;
    }
    return text + "</blackbox>";
}

struct Cruise {
    Cruise()
    {
        snapshot.lFlightPhase = PhaseCruise;
        snapshot.dAltitude = 35000;
        snapshot.lRadarAltitude = 33000;
        snapshot.lIndicatedAirspeed = 280;
        snapshot.lGroundSpeed = 450;
        snapshot.fFlaps = 0.0f;
        snapshot.bGearDown = false;
    }
    void step(int i)
    {
        snapshot.dAltitude = 35000 + (i & 7);
        snapshot.lVerticalSpeed = (i & 3) * 10;
    }
    RecordingSoundOutput output;
    CSound sound{output};
    CFlightSimulatorObjects snapshot;
    CClientInterface booking;
    CBlackbox box{sound, &snapshot, booking};
};

void run(benchmark::State& state, Cruise& c)
{
    c.box.startFlight();
    int i = 0;
    for (auto _ : state) {
        c.step(++i);
        c.box.check();
    }
    state.counters["rules"] = static_cast<double>(c.box.getEventCount());
    state.counters["records"] = static_cast<double>(c.box.getEventLog().size());
    state.SetLabel("ns per check");
}

void BM_BlackboxCheckBuiltInRules(benchmark::State& state)
{
    Cruise c;
    run(state, c);
}
BENCHMARK(BM_BlackboxCheckBuiltInRules);

void BM_BlackboxCheckThousandRules(benchmark::State& state)
{
    Cruise c;
    c.box.loadRulesFromText(thousandRules());
    run(state, c);
}
BENCHMARK(BM_BlackboxCheckThousandRules);

} // namespace

int main(int argc, char** argv)
{
    TempDataFolder folder; // the client's logs go there, not into the working directory
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
