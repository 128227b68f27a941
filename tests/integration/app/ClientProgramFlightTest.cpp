// The client program flies the demo flight headless with the repository's
// pilot script, against qvl-service and qvl-sim as separate processes, and
// the service ends up holding the flight's report.
#include "ServiceStore.h"
#include "server/Base64.h"
#include "support/ClientProgram.h"
#include "support/FsuipcTestDirectory.h"
#include "support/ServiceProcess.h"
#include "support/SimProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The demo's scenario with the aircraft held at the stand long enough for the
// pilot to log in and fuel up, as tools/run-demo.sh does.
std::string demoScenario(const fs::path& folder)
{
    std::string text = readFile(std::string(QVL_SIM_SCENARIO_DIR) + "/airline_eddf_eddm.json");
    const std::size_t at = text.find("\"seconds\": 60");
    if (at != std::string::npos)
        text.replace(at, 13, "\"seconds\": 300");
    const fs::path path = folder / "demo.json";
    std::ofstream(path) << text;
    return path.string();
}

std::string field(const std::multimap<std::string, std::string>& fields, const std::string& name)
{
    auto it = fields.find(name);
    return it == fields.end() ? "(missing)" : it->second;
}

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
    std::ofstream(folder / "quenvale.ini")
        << "[login]\nUser = demo\nPassword = demo123\n"
        << "[settings]\nTracker = 1\nSimpleFuel = 0\nEnableAutosave = 1\n"
        << "FSInterface = FSUIPC\n"
        << "[server]\nUrl = " << service.url() << "\nCAFile = " << service.caFile() << "\n";
    CSimProcess sim(CSimProcess::programPath(QVL_BINARY_DIR),
                    {"run", demoScenario(folder), "--time-scale", "40", "--dir", fsuipc.path()});
    ASSERT_TRUE(sim.start());

    ClientProgram client(ClientProgram::programPath(QVL_BINARY_DIR),
                         {"--headless", "--data-dir", folder.string(), "--pilot",
                          std::string(QVL_SOURCE_DIR) + "/tools/demo-flight.pilot"});
    ASSERT_EQ(client.run(900000), 0) << client.output();
    for (const char* page : {"page 5 (flying)", "page 15 (comment)", "page 7 (report: route)"})
        EXPECT_NE(client.output().find(page), std::string::npos) << page;

    const auto reports = store.uploads("writereport");
    ASSERT_EQ(reports.size(), 1u) << client.output();
    const auto& report = reports[0];
    EXPECT_EQ(field(report, "LogID"), "9001");
    EXPECT_EQ(field(report, "Dep"), "EDDF");
    EXPECT_EQ(field(report, "Arr"), "EDDM");
    EXPECT_EQ(field(report, "Interface"), "FSUIPC");
    char comment[kBase64Limit + 1];
    base64Encode(comment, "Smooth flight, calm winds over Franconia.");
    EXPECT_EQ(field(report, "Comment64"), comment);
    const int touchdown = std::stoi(field(report, "VS"));
    EXPECT_LT(touchdown, 0);
    EXPECT_GT(touchdown, -625) << "the scenario lands softly";
    EXPECT_FALSE(store.uploads("writepositionlog").empty());
}

} // namespace
