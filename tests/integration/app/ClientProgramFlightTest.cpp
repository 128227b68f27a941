// The client program flies whole flights headless with the repository's
// pilot script, against qvl-service and qvl-sim as separate processes: the
// service ends up holding the flight's report, and the flight's recording,
// replayed by `quenvale replay`, arrives at the same report field by field.
// Another demo flight meets a service that trickles its position and tracker
// answers while the aircraft flies: the flight stays watched and its landing
// is scored from the right samples. At the end the tracker still stalls: the
// client ends within its grace, and a new start works and remembers the
// pilot's login.
#include "DemoFlightSetup.h"
#include "ServiceStore.h"
#include "StreamListener.h"
#include "platform/UdpNetwork.h"
#include "server/Base64.h"
#include "support/ClientProgram.h"
#include "support/DemoFlightReport.h"
#include "support/FsuipcTestDirectory.h"
#include "support/ServiceProcess.h"
#include "support/SimProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

using DemoFlight::heldScenario;
using DemoFlight::readFile;
using DemoFlightSetup = DemoFlight::Setup;

std::string field(const std::multimap<std::string, std::string>& fields, const std::string& name)
{
    auto it = fields.find(name);
    return it == fields.end() ? "(missing)" : it->second;
}

// What every demo flight's report holds, whatever its bridge and landing.
void expectDemoBooking(const std::multimap<std::string, std::string>& report, const std::string& bridge)
{
    EXPECT_EQ(field(report, "LogID"), "9001");
    EXPECT_EQ(field(report, "Dep"), "EDDF");
    EXPECT_EQ(field(report, "Interface"), bridge);
    char comment[kBase64Limit + 1];
    base64Encode(comment, "Smooth flight, calm winds over Franconia.");
    EXPECT_EQ(field(report, "Comment64"), comment);
}

// The "name=value" lines a replay prints.
std::map<std::string, std::string> replayedFields(const std::string& output)
{
    std::map<std::string, std::string> fields;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos && line.find(' ') > eq)
            fields[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return fields;
}

// A UDP port nobody uses at the moment, for qvl-sim's X-Plane interface.
std::uint16_t freeUdpPort()
{
    std::string error;
    const auto socket = createPlatformUdpNetwork()->open(0, error);
    return socket ? socket->localPort() : 0;
}

// A TCP port nobody listens on at the moment, for qvl-sim's property server.
std::uint16_t freeTcpPort()
{
    CStreamListener listener;
    return listener.open(0) ? listener.port() : 0;
}

struct RecordedFlight {
    const char* scenario;
    const char* bridge; // "FSUIPC", "X-Plane", "FlightGear": qvl-sim; "SimConnect": the stand-in library in the client
    const char* name;
    std::function<void(const std::multimap<std::string, std::string>& report)> check;
};

class ClientProgramFlight : public ::testing::TestWithParam<RecordedFlight> {};

TEST_P(ClientProgramFlight, ReportAtTheServiceAndItsReplayAgree)
{
    DemoFlightSetup demo;
    ASSERT_NO_FATAL_FAILURE(demo.start(GetParam().bridge));
    ServiceProcess& service = demo.service;
    CServiceStore& store = demo.store;
    const fs::path& folder = demo.folder;
    const std::string scenario = heldScenario(folder, GetParam().scenario);
    std::vector<std::string> simArguments{"run", scenario, "--time-scale", "40", "--dir", demo.fsuipc.path()};
    if (std::string(GetParam().bridge) == "X-Plane") {
        // The same qvl-sim serves X-Plane's UDP interface on a port of its own.
        const std::uint16_t port = freeUdpPort();
        ASSERT_NE(port, 0);
        simArguments.insert(simArguments.end(), {"--xplane-port", std::to_string(port)});
        std::ofstream(folder / "quenvale.ini", std::ios::app) << "[xplane]\nHost = 127.0.0.1\nPort = " << port << "\n";
    }
    if (std::string(GetParam().bridge) == "FlightGear") {
        // And FlightGear's property server on a TCP port of its own.
        const std::uint16_t port = freeTcpPort();
        ASSERT_NE(port, 0);
        simArguments.insert(simArguments.end(), {"--flightgear-port", std::to_string(port)});
        std::ofstream(folder / "quenvale.ini", std::ios::app)
            << "[flightgear]\nHost = 127.0.0.1\nPort = " << port << "\n";
    }
    CSimProcess sim(CSimProcess::programPath(QVL_BINARY_DIR), simArguments);
    if (std::string(GetParam().bridge) == "SimConnect") {
        // The stand-in library beside the client flies the scenario inside it.
        ::setenv("QVL_SIMCONNECT_LIBRARY_DIR", QVL_SIMCONNECT_DIR, 1);
        ::setenv("QVL_SIMCONNECT_SCENARIO", scenario.c_str(), 1);
        ::setenv("QVL_SIMCONNECT_TIME_SCALE", "40", 1);
    } else {
        ASSERT_TRUE(sim.start());
    }

    ClientProgram client(ClientProgram::programPath(QVL_BINARY_DIR),
                         {"--headless", "--data-dir", folder.string(), "--pilot",
                          std::string(QVL_SOURCE_DIR) + "/tools/demo-flight.pilot"});
    ASSERT_EQ(client.run(900000), 0) << client.output();
    for (const char* page : {"page 5 (flying)", "page 15 (comment)", "page 7 (report: route)"})
        EXPECT_NE(client.output().find(page), std::string::npos) << page;

    const auto reports = store.uploads("writereport");
    ASSERT_EQ(reports.size(), 1u) << client.output();
    const auto& report = reports[0];
    expectDemoBooking(report, GetParam().bridge);
    EXPECT_FALSE(store.uploads("writepositionlog").empty());
    GetParam().check(report);
    if (std::string(GetParam().scenario) == "airline_eddf_eddm") {
        DemoFlightReport::expectDemoReport(report, store.uploads("writeeventlog"), GetParam().bridge);
        // The log the Windows suites read holds the same report.
        EXPECT_EQ(DemoFlightReport::readUploads(service.uploadLog(), "writereport"), reports);
    }

    // The log names the recording; its replay arrives at the uploaded report.
    const std::string named = "Flight recording: ";
    const std::size_t at = client.output().find(named);
    ASSERT_NE(at, std::string::npos) << client.output();
    const std::size_t end = client.output().find(';', at);
    const std::string recording = client.output().substr(at + named.size(), end - at - named.size());
    ClientProgram replay(ClientProgram::programPath(QVL_BINARY_DIR), {"replay", recording});
    EXPECT_EQ(replay.run(120000), 0) << replay.output();
    const auto replayed = replayedFields(replay.output());
    ASSERT_GT(replayed.size(), 40u) << replay.output();
    for (const auto& [name, value] : replayed) {
        if (name != "TS") { // the service's time stamp
            EXPECT_EQ(value, field(report, name)) << name;
        }
    }

    // The landing analysis and its plot are kept for a look.
    ClientProgram landing(ClientProgram::programPath(QVL_BINARY_DIR), {"landing", recording});
    ASSERT_EQ(landing.run(60000), 0) << landing.output();
    EXPECT_NE(landing.output().find("Touchdown vertical speed at the first sample on the ground"), std::string::npos);
    // It finds the readings the report averaged, whichever the bridge kept.
    const auto figure = [&](const std::string& label) {
        const std::size_t from = landing.output().find(label);
        return from == std::string::npos ? std::string("missing")
                                         : std::to_string(std::atoi(landing.output().c_str() + from + label.size()));
    };
    EXPECT_EQ(figure("Average of the three samples the report takes:"), figure("Vertical speed in the report:"))
        << landing.output();
    const fs::path artifacts = fs::path(QVL_BINARY_DIR) / "artifacts" / "recorder" / GetParam().name;
    fs::create_directories(artifacts);
    const std::string stem = recording.substr(0, recording.size() - std::string(".qvlrec").size());
    std::ofstream(artifacts / "landing.txt") << landing.output();
    fs::copy_file(stem + ".landing.svg", artifacts / "landing.svg", fs::copy_options::overwrite_existing);
}

INSTANTIATE_TEST_SUITE_P(Flights, ClientProgramFlight,
                         ::testing::Values(RecordedFlight{"airline_eddf_eddm", "FSUIPC", "demo",
                                                          [](const auto& report) {
                                                              EXPECT_EQ(field(report, "Arr"), "EDDM");
                                                              const int touchdown = std::stoi(field(report, "VS"));
                                                              EXPECT_LT(touchdown, 0);
                                                              EXPECT_GT(touchdown, -625) << "the scenario lands softly";
                                                          }},
                                           RecordedFlight{
                                               "airline_eddf_eddm", "SimConnect", "demo_simconnect",
                                               [](const auto& report) { EXPECT_EQ(field(report, "Arr"), "EDDM"); }},
                                           RecordedFlight{"airline_eddf_eddm", "X-Plane", "demo_xplane",
                                                          [](const auto& report) {
                                                              EXPECT_EQ(field(report, "SimVersion"), "XP12");
                                                          }},
                                           RecordedFlight{"airline_eddf_eddm", "FlightGear", "demo_flightgear",
                                                          [](const auto& report) {
                                                              EXPECT_EQ(field(report, "SimVersion"), "FG");
                                                          }},
                                           RecordedFlight{"refuel_hard_landing", "FSUIPC", "refuel_hard_landing",
                                                          [](const auto& report) {
                                                              // At 40x a poll spans two simulator seconds: on a
                                                              // busy machine two of the three averaged samples
                                                              // may be on the ground (-900 / 3).
                                                              EXPECT_LT(std::stoi(field(report, "VS")), -250);
                                                              // The fuel added in flight was taken out again.
                                                              EXPECT_GT(std::stoi(field(report, "Fuel_Used")), 0);
                                                          }}),
                         [](const auto& info) { return std::string(info.param.name); });

// The repository's pilot script, with a pause on the comment page in which
// the test lets the service's position answers flow again.
std::string pilotScript(const fs::path& folder)
{
    std::string text = readFile(std::string(QVL_SOURCE_DIR) + "/tools/demo-flight.pilot");
    const std::string comment = "wait page 15 1800\n";
    const std::size_t at = text.find(comment);
    if (at != std::string::npos)
        text.insert(at + comment.size(), "sleep 3\n");
    // The awards call the stalled service never takes waits for the next
    // login: the fresh login after the report lands on the backup page.
    const std::string home = "wait page 1 150\n";
    const std::size_t last = text.rfind(home);
    if (last != std::string::npos)
        text.replace(last, home.size(), "wait page 12 150\n");
    const fs::path path = folder / "demo.pilot";
    std::ofstream(path) << text;
    return path.string();
}

TEST(ClientProgramStalledService, DemoFlightEndsWithTheReportAtTheService)
{
    DemoFlightSetup demo;
    ASSERT_NO_FATAL_FAILURE(demo.start("FSUIPC"));
    ServiceProcess& service = demo.service;
    CServiceStore& store = demo.store;
    const fs::path& folder = demo.folder;
    // Slow enough that the flight outlasts the first position upload (180 s).
    CSimProcess sim(CSimProcess::programPath(QVL_BINARY_DIR), {"run", heldScenario(folder, "airline_eddf_eddm"),
                                                               "--time-scale", "12", "--dir", demo.fsuipc.path()});
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
    for (const char* page : {"page 7 (report: route)", "page 12 (report backup)"})
        EXPECT_NE(client.output().find(page), std::string::npos) << page;

    const auto reports = store.uploads("writereport");
    ASSERT_EQ(reports.size(), 1u) << client.output();
    const auto& report = reports[0];
    expectDemoBooking(report, "FSUIPC");
    EXPECT_EQ(field(report, "Arr"), "EDDM");
    // The scenario touches down at -180 ft/min.
    const int touchdown = std::stoi(field(report, "VS"));
    EXPECT_LT(touchdown, -130);
    EXPECT_GT(touchdown, -230);
    EXPECT_NE(client.output().find("Failed to upload position data"), std::string::npos)
        << "a position in flight met the trickling service";
    EXPECT_FALSE(store.uploads("writepositionlog").empty());

    // A new start is not refused as "already running", and the login it
    // makes is in the settings file after "Exit".
    std::ofstream(folder / "quenvale.ini", std::ios::trunc) << demo.options;
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
