// The client program flies the demo flight headless with the repository's
// pilot script, against qvl-service and qvl-sim as separate processes, and
// the service ends up holding the flight's report.
#include "ServiceStore.h"
#include "support/ClientProgram.h"
#include "support/DemoFlightReport.h"
#include "support/FsuipcTestDirectory.h"
#include "support/ServiceProcess.h"
#include "support/SimProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

TEST(ClientProgramFlight, DemoFlightEndsWithTheReportAtTheService)
{
    ServiceProcess service(QVL_BINARY_DIR "/tools/qvl-service/qvl-service");
    ASSERT_TRUE(service.start());
    CServiceStore store;
    ASSERT_TRUE(store.open(service.databaseFile())) << store.error();
    ASSERT_TRUE(store.seedDemo());

    CFsuipcTestDirectory fsuipc;
    const fs::path folder = fs::path(fsuipc.path()) / "client";
    fs::create_directories(folder);
    std::ofstream(folder / "quenvale.ini") << DemoFlightReport::clientSettings(service.url(), service.caFile(), "FSUIPC");
    CSimProcess sim(CSimProcess::programPath(QVL_BINARY_DIR),
                    {"run",
                     DemoFlightReport::writeScenario(std::string(QVL_SIM_SCENARIO_DIR) + "/airline_eddf_eddm.json",
                                                     (folder / "demo.json").string()),
                     "--time-scale", DemoFlightReport::kTimeScale, "--dir", fsuipc.path()});
    ASSERT_TRUE(sim.start());

    ClientProgram client(ClientProgram::programPath(QVL_BINARY_DIR),
                         {"--headless", "--data-dir", folder.string(), "--pilot",
                          std::string(QVL_SOURCE_DIR) + "/tools/demo-flight.pilot"});
    ASSERT_EQ(client.run(900000), 0) << client.output();
    for (const char* page : {"page 5 (flying)", "page 15 (comment)", "page 7 (report: route)"})
        EXPECT_NE(client.output().find(page), std::string::npos) << page;

    const auto reports = store.uploads("writereport");
    ASSERT_EQ(reports.size(), 1u) << client.output();
    DemoFlightReport::expectDemoReport(reports[0], store.uploads("writeeventlog"), "FSUIPC");
    // The log the Windows suites read holds the same report.
    EXPECT_EQ(DemoFlightReport::readUploads(service.uploadLog(), "writereport"), reports);
    EXPECT_FALSE(store.uploads("writepositionlog").empty());
}

} // namespace
