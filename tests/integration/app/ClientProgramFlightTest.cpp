// The client program flies the demo flight headless with the repository's
// pilot script, against qvl-service and qvl-sim as separate processes, and
// the service ends up holding the flight's report. The service trickles its
// position and tracker answers while the aircraft flies: the flight stays
// watched and its landing is scored from the right samples. At the end the
// tracker still stalls: the client ends within its grace, and a new start
// works and remembers the pilot's login.
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

// The repository's pilot script, with a pause on the comment page in which
// the test lets the service's position answers flow again.
std::string pilotScript(const fs::path& folder)
{
    std::string text = readFile(std::string(QVL_SOURCE_DIR) + "/tools/demo-flight.pilot");
    const std::string comment = "wait page 15 1800\n";
    const std::size_t at = text.find(comment);
    if (at != std::string::npos)
        text.insert(at + comment.size(), "sleep 3\n");
    const fs::path path = folder / "demo.pilot";
    std::ofstream(path) << text;
    return path.string();
}

TEST(ClientProgramFlight, DemoFlightWithATricklingServiceEndsWithTheReportAtTheService)
{
    ServiceProcess service(QVL_BINARY_DIR "/tools/qvl-service/qvl-service");
    ASSERT_TRUE(service.start());
    CServiceStore store;
    ASSERT_TRUE(store.open(service.databaseFile())) << store.error();
    ASSERT_TRUE(store.seedDemo());

    CFsuipcTestDirectory fsuipc;
    const fs::path folder = fs::path(fsuipc.path()) / "client";
    fs::create_directories(folder);
    const std::string options = "[settings]\nTracker = 1\nSimpleFuel = 0\nEnableAutosave = 1\nFSInterface = FSUIPC\n"
                                "[server]\nUrl = " +
                                service.url() + "\nCAFile = " + service.caFile() + "\n";
    std::ofstream(folder / "quenvale.ini") << "[login]\nUser = demo\nPassword = demo123\n" << options;
    // Slow enough that the flight outlasts the first position upload (180 s).
    CSimProcess sim(CSimProcess::programPath(QVL_BINARY_DIR),
                    {"run", demoScenario(folder), "--time-scale", "12", "--dir", fsuipc.path()});
    ASSERT_TRUE(sim.start());

    ClientProgram client(ClientProgram::programPath(QVL_BINARY_DIR),
                         {"--headless", "--data-dir", folder.string(), "--pilot", pilotScript(folder)});
    ASSERT_TRUE(client.start());
    ASSERT_TRUE(client.waitForOutput("page 5 (flying)", 300000)) << client.output();
    ASSERT_TRUE(service.setFault("trickle", 1000, "writepositionlog,writelog"));
    ASSERT_TRUE(client.waitForOutput("page 15 (comment)", 900000)) << client.output();
    ASSERT_TRUE(service.setFault("trickle", 1000, "writelog,updateawards"));
    // Ends by itself with the tracker still stalled; a hang would be killed here.
    ASSERT_EQ(client.finish(90000), 0) << client.output();
    for (const char* page : {"page 7 (report: route)", "page 1 (home)"})
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
    // The scenario touches down at -180 ft/min.
    const int touchdown = std::stoi(field(report, "VS"));
    EXPECT_LT(touchdown, -130);
    EXPECT_GT(touchdown, -230);
    EXPECT_NE(client.output().find("Failed to upload position data"), std::string::npos)
        << "a position in flight met the trickling service";
    EXPECT_FALSE(store.uploads("writepositionlog").empty());

    // A new start is not refused as "already running", and the login it
    // makes is in the settings file after "Exit".
    std::ofstream(folder / "quenvale.ini", std::ios::trunc) << options;
    const fs::path login = folder / "login.pilot";
    std::ofstream(login) << "wait page 0 30\ntype 101 demo\ntype 102 demo123\npress 3\nwait page 1 60\n";
    ClientProgram again(ClientProgram::programPath(QVL_BINARY_DIR),
                        {"--headless", "--data-dir", folder.string(), "--pilot", login.string()});
    ASSERT_EQ(again.run(60000), 0) << again.output();
    const std::string settings = readFile((folder / "quenvale.ini").string());
    EXPECT_NE(settings.find("User = demo"), std::string::npos) << settings;
    EXPECT_NE(settings.find("PasswordCrypt = "), std::string::npos) << settings;
}

} // namespace
