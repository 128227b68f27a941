// The Windows client program flies the demo flight headless with the demo's
// pilot script under Wine, against the Linux qvl-service (started by
// ctest's WineService fixture) and the Windows simulator stand-in: qvl-sim's module
// window or its X-Plane interface, or the stand-in SimConnect.dll found
// through the program's side-by-side manifest. The report the service receives must be the one the
// Linux client uploads for the same scenario. One flight runs with the
// program, its data folder and the pilot file under names that are not ASCII.
#include "ChildProcessWin32.h"
#include "core/Utf8Path.h"
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
    bool foreignNames;   // program, data folder and pilot file under non-ASCII names
};

class WindowsFlightTest : public ::testing::TestWithParam<Bridge> {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("quenvale-flight-" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(folder);
        client = folder / utf8Path(GetParam().foreignNames ? "J\xC3\xB6rg \xC3\x86r\xC3\xB8" : "client");
        fs::create_directories(client);
        program = fs::path(QVL_BINARY_DIR "/src/app/quenvale.exe");
        pilot = fs::path(QVL_SOURCE_DIR "/tools/demo-flight.pilot");
        if (GetParam().foreignNames) {
            const fs::path programFolder = folder / utf8Path("Quenvale Pr\xC3\xB6gr\xC3\xA4mm\xC3\xA9");
            fs::create_directories(programFolder);
            fs::copy_file(program, programFolder / "quenvale.exe");
            program = programFolder / "quenvale.exe";
            fs::copy_file(pilot, folder / utf8Path("pil\xC3\xB6t \xE2\x9C\x88.pilot"));
            pilot = folder / utf8Path("pil\xC3\xB6t \xE2\x9C\x88.pilot");
        }
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }

    fs::path folder;
    fs::path client;  // the data folder
    fs::path program; // quenvale.exe
    fs::path pilot;   // the demo's pilot script
};

TEST_P(WindowsFlightTest, DemoFlightUploadsTheLinuxClientsReport)
{
    ServiceProcess service("qvl-service");
    ASSERT_TRUE(service.start()) << "ctest's WineService fixture starts the service";
    const std::string uploadLog = service.uploadLog();
    const std::size_t reportsBefore = DemoFlightReport::readUploads(uploadLog, "writereport").size();
    const std::size_t eventsBefore = DemoFlightReport::readUploads(uploadLog, "writeeventlog").size();

    // By name: Wine's certificate check matches host names, not addresses.
    const std::string url = "https://localhost:" + std::to_string(service.port());
    std::ofstream(client / "quenvale.ini")
        << DemoFlightReport::clientSettings(url, service.caFile(), GetParam().setting);
    // X-Plane's UDP interface of the same qvl-sim.exe, on a port of its own.
    const std::string xplanePort = std::to_string(41000 + GetCurrentProcessId() % 8000);
    std::vector<std::string> simArguments{"run", "", "--time-scale", DemoFlightReport::kTimeScale};
    if (std::string(GetParam().setting) == "X-Plane") {
        simArguments.insert(simArguments.end(), {"--xplane-port", xplanePort});
        std::ofstream(client / "quenvale.ini", std::ios::app)
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

    CChildProcessWin32 quenvale;
    ASSERT_TRUE(quenvale.start(utf8Text(program), {"--headless", "--data-dir", utf8Text(client), "--pilot", utf8Text(pilot)}));
    std::string output;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(15);
    while (quenvale.readSome(output, 1000) && std::chrono::steady_clock::now() < deadline) {
    }
    EXPECT_EQ(quenvale.wait(60000), 0) << output;
    EXPECT_TRUE(fs::exists(client / "quenvale_report2.ini")) << "the store in the data folder named";
    for (const char* page : {"page 5 (flying)", "page 15 (comment)", "page 7 (report: route)"})
        EXPECT_NE(output.find(page), std::string::npos) << page;

    const auto reports = DemoFlightReport::readUploads(uploadLog, "writereport");
    ASSERT_EQ(reports.size(), reportsBefore + 1) << output;
    auto events = DemoFlightReport::readUploads(uploadLog, "writeeventlog");
    events.erase(events.begin(), events.begin() + static_cast<std::ptrdiff_t>(eventsBefore));
    DemoFlightReport::expectDemoReport(reports.back(), events, GetParam().setting);
}

INSTANTIATE_TEST_SUITE_P(Bridges, WindowsFlightTest,
                         ::testing::Values(Bridge{"Fsuipc", "FSUIPC", true}, Bridge{"SimConnect", "SimConnect", false},
                                           Bridge{"XPlane", "X-Plane", false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
