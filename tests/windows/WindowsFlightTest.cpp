// The Windows client program flies the demo flight headless with the demo's
// pilot script under Wine, against the Linux qvl-service (started by
// tools/wine-tests.sh) and the Windows simulator stand-in: qvl-sim's module
// window or its X-Plane interface, or the stand-in SimConnect.dll found through the program's
// side-by-side manifest. The report the service receives must be the one the
// Linux client uploads for the same scenario.
#include "ChildProcessWin32.h"
#include "support/DemoFlightReport.h"
#include "support/ServiceProcess.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

struct Bridge {
    const char* name;
    const char* setting; // FSInterface
};

class WindowsFlightTest : public ::testing::TestWithParam<Bridge> {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("quenvale-flight-" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(folder);
        fs::create_directories(folder / "client");
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }

    fs::path folder;
};

TEST_P(WindowsFlightTest, DemoFlightUploadsTheLinuxClientsReport)
{
    ServiceProcess service("qvl-service");
    ASSERT_TRUE(service.start()) << "tools/wine-tests.sh starts the service";
    const std::string uploadLog = service.uploadLog();
    const std::size_t reportsBefore = DemoFlightReport::readUploads(uploadLog, "writereport").size();
    const std::size_t eventsBefore = DemoFlightReport::readUploads(uploadLog, "writeeventlog").size();

    // By name: Wine's certificate check matches host names, not addresses.
    const std::string url = "https://localhost:" + std::to_string(service.port());
    std::ofstream(folder / "client" / "quenvale.ini")
        << DemoFlightReport::clientSettings(url, service.caFile(), GetParam().setting);
    // X-Plane's UDP interface of the same qvl-sim.exe, on a port of its own.
    const std::string xplanePort = std::to_string(41000 + GetCurrentProcessId() % 8000);
    std::vector<std::string> simArguments{"run", "", "--time-scale", DemoFlightReport::kTimeScale};
    if (std::string(GetParam().setting) == "X-Plane") {
        simArguments.insert(simArguments.end(), {"--xplane-port", xplanePort});
        std::ofstream(folder / "client" / "quenvale.ini", std::ios::app)
            << "[xplane]\nHost = 127.0.0.1\nPort = " << xplanePort << "\n";
    }
    const std::string scenario = DemoFlightReport::writeScenario(
        QVL_SOURCE_DIR "/tools/qvl-sim/scenarios/airline_eddf_eddm.json", (folder / "demo.json").string());
    CChildProcessWin32 sim;
    if (std::string(GetParam().setting) == "SimConnect") {
        SetEnvironmentVariableA("QVL_SIMCONNECT_SCENARIO", scenario.c_str());
        SetEnvironmentVariableA("QVL_SIMCONNECT_TIME_SCALE", DemoFlightReport::kTimeScale);
    } else {
        simArguments[1] = scenario;
        ASSERT_TRUE(sim.start(QVL_BINARY_DIR "/tools/qvl-sim/qvl-sim.exe", simArguments));
        std::string said;
        while (said.find('\n') == std::string::npos && sim.readSome(said, 20000)) {
        }
        ASSERT_EQ(said.rfind("ready ", 0), 0u) << said;
    }

    CChildProcessWin32 client;
    ASSERT_TRUE(client.start(QVL_BINARY_DIR "/src/app/quenvale.exe",
                             {"--headless", "--data-dir", (folder / "client").string(), "--pilot",
                              QVL_SOURCE_DIR "/tools/demo-flight.pilot"}));
    std::string output;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(15);
    while (client.readSome(output, 1000) && std::chrono::steady_clock::now() < deadline) {
    }
    EXPECT_EQ(client.wait(60000), 0) << output;
    for (const char* page : {"page 5 (flying)", "page 15 (comment)", "page 7 (report: route)"})
        EXPECT_NE(output.find(page), std::string::npos) << page;

    const auto reports = DemoFlightReport::readUploads(uploadLog, "writereport");
    ASSERT_EQ(reports.size(), reportsBefore + 1) << output;
    auto events = DemoFlightReport::readUploads(uploadLog, "writeeventlog");
    events.erase(events.begin(), events.begin() + static_cast<std::ptrdiff_t>(eventsBefore));
    DemoFlightReport::expectDemoReport(reports.back(), events, GetParam().setting);
}

INSTANTIATE_TEST_SUITE_P(Bridges, WindowsFlightTest,
                         ::testing::Values(Bridge{"Fsuipc", "FSUIPC"}, Bridge{"SimConnect", "SimConnect"},
                                           Bridge{"XPlane", "X-Plane"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
