// Measures the report store with a backup of full size (every record, the 24
// item slots, 500 events and 300 queued positions), a whole backup written and
// read back by the report, and one flight evaluation.
#include "core/ClientConfig.h"
#include "core/FixedText.h"
#include "platform/DurableFiles.h"
#include "report/FlightEvaluation.h"
#include "report/IniParser.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "server/EventRecord.h"
#include "sim/FlightSimulatorObjects.h"
#include "sim/SnapshotBlocks.h"
#include "support/StandaloneFlight.h"
#include "support/TempDataFolder.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

CIniParser& benchStore()
{
    static TempDataFolder folder; // removed again at exit
    return CIniParser::getInstance();
}

template <class T> void fill(T& record, unsigned char seed)
{
    unsigned char* p = reinterpret_cast<unsigned char*>(&record);
    for (std::size_t i = 0; i < sizeof record; ++i)
        p[i] = static_cast<unsigned char>(seed + i * 31);
}

void writeFullBackup(CIniParser& s)
{
    Tervix_Pilots pilot;
    Tervix_Routes route;
    Tervix_Logs log;
    Tervix_Aircrafts aircraft;
    Tervix_VirtualAirlines airline;
    Tervix_Reports report;
    AircraftData block;
    TankData tanks;
    struct_penalty slot;
    CEventRecord event;
    PositionRecord position;
    fill(pilot, 1);
    fill(route, 2);
    fill(log, 3);
    fill(aircraft, 4);
    fill(airline, 5);
    fill(report, 6);
    fill(block, 7);
    fill(tanks, 8);
    fill(slot, 9);
    fill(event, 10);
    fill(position, 11);
    s.writeReportStruct(&log, "Report", "Tervix_Logs", sizeof log);
    s.writeReportStruct(&aircraft, "Report", "Tervix_Aircrafts", sizeof aircraft);
    s.writeReportStruct(&pilot, "Report", "Tervix_Pilots", sizeof pilot);
    s.writeReportStruct(&airline, "Report", "Tervix_VirtualAirlines", sizeof airline);
    s.writeReportStruct(&route, "Report", "Tervix_Routes", sizeof route);
    s.writeReportStruct(&report, "Report", "Tervix_Reports", sizeof report);
    s.writeReportStruct(&block, "Report", "AircraftData", sizeof block);
    s.writeReportStruct(&tanks, "Report", "TankData", sizeof tanks);
    for (int i = 0; i < 24; ++i)
        s.writeReportStruct(&slot, "Report", "struct_penalty" + std::to_string(i), sizeof slot);
    s.writeReportString("report", "numpositionlogs", "300");
    for (int i = 0; i < 300; ++i)
        s.writeReportStruct(&position, "report", "positiondata" + std::to_string(i), sizeof position);
    s.writeReportString("report", "numeventlogs", "500");
    for (int i = 0; i < 500; ++i)
        s.writeReportStruct(&event, "report", "eventdata" + std::to_string(i), sizeof event);
}

void BM_SaveFullBackup(benchmark::State& state)
{
    CIniParser& s = benchStore();
    writeFullBackup(s);
    for (auto _ : state)
        benchmark::DoNotOptimize(s.save());
}
BENCHMARK(BM_SaveFullBackup)->Unit(benchmark::kMillisecond);

void BM_LoadFullBackup(benchmark::State& state)
{
    CIniParser& s = benchStore();
    writeFullBackup(s);
    s.save();
    Tervix_Routes route;
    CEventRecord event;
    for (auto _ : state) {
        s.reload();
        s.readReportStruct("Report", "Tervix_Routes", &route, sizeof route);
        const int n = s.readReportInt("report", "numeventlogs");
        for (int i = 0; i < n; ++i)
            s.readReportStruct("report", "eventdata" + std::to_string(i), &event, sizeof event);
        benchmark::DoNotOptimize(event);
    }
}
BENCHMARK(BM_LoadFullBackup)->Unit(benchmark::kMillisecond);

// saveBackup plus loadBackup of a flight with 300 queued positions and 500
// events. Argument 1: the platform's files, which wait for the disk on every
// save, as the client does; 0: the portable ones, which do not.
void BM_BackupSaveAndLoad(benchmark::State& state)
{
    CIniParser::destroyInstance();
    benchStore();
    std::unique_ptr<DurableFiles> platformFiles;
    if (state.range(0) == 1) {
        platformFiles = createPlatformDurableFiles();
        setDurableFiles(platformFiles.get());
    }
    StandaloneFlight f;
    CClientInterface& client = f.client;
    CReport& report = f.report;
    fill(client.route, 2);
    copyText(client.flightLog.l_ID, "991");
    std::vector<PositionRecord> queue(300);
    for (std::size_t i = 0; i < queue.size(); ++i)
        queue[i].PositionId = static_cast<std::int32_t>(i);
    report.getPositionTracker().restore(queue, 300);
    for (int i = 0; i < 500; ++i) {
        f.sim.dFlightTime += 61.0;
        f.blackbox.logEvent("Event number " + std::to_string(i), "");
    }
    for (auto _ : state) {
        report.saveBackup(true);
        benchmark::DoNotOptimize(report.loadBackup());
    }
    state.counters["events"] = static_cast<double>(f.blackbox.getEventLog().size());
    report.clearBackup();
    setDurableFiles(nullptr);
    CIniParser::destroyInstance();
}
BENCHMARK(BM_BackupSaveAndLoad)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_EvaluateFlight(benchmark::State& state)
{
    benchStore();
    CClientInterface client;
    copyText(client.flightLog.l_Departure, "EDDF");
    copyText(client.flightLog.l_Arrival, "EGLL");
    copyText(client.flightLog.l_Dist, "650");
    copyText(client.flightLog.l_PAX_Economy, "100");
    copyText(client.flightLog.l_Multiplier, "1");
    copyText(client.route.r_Arr, "EGLL");
    copyText(client.route.r_Price, "100");
    client.types.d_MLW = 60000;
    client.types.d_speed = 400;
    client.addAirport(50.0, 8.5, 1.5, -1, 5, "EDDF");
    client.addAirport(51.5, -0.5, 1.6, 400, 5, "EGLL");
    copyText(client.closestAirport, "EGLL");
    CFlightSimulatorObjects snapshot;
    snapshot.dLatitude = 51.5;
    snapshot.dLongitude = -0.5;
    snapshot.lPassengers = 100;
    CReport report(nullptr, client, nullptr);
    for (auto _ : state) {
        client.aircraft.a_StateGear = client.aircraft.a_StateEng1 = client.aircraft.a_StateHull = 100.0f;
        CFlightEvaluation(report, client, snapshot).run();
        benchmark::DoNotOptimize(client.report.Profit);
    }
}
BENCHMARK(BM_EvaluateFlight)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
