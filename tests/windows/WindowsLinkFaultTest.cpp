// The simulator-module link on Windows against the Windows qvl-sim under
// Wine: the faults a pilot's machine shows, each with the link's error code
// and the line the client logs, and a simulator window that closes mid-flight
// and opens again.
#include "ChildProcessWin32.h"
#include "server/ClientInterface.h"
#include "sim/fsuipc/Fsuipc.h"
#include "sim/fsuipc/FlightSimulatorInterfaceUsingFsuipc.h"
#include "sim/fsuipc/FsuipcLink.h"
#include "platform/FsuipcTransport.h"
#include "platform/SharedLibrary.h"
#include "sim/SimulatorChoice.h"
#include "support/HeardLines.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

const std::string kSimProgram = QVL_BINARY_DIR "/tools/qvl-sim/qvl-sim.exe";

// A qvl-sim frozen in cruise, serving once it said it is ready.
std::unique_ptr<CChildProcessWin32> startSim(std::vector<std::string> extra = {})
{
    std::vector<std::string> arguments{"run", "airline_eddf_eddm", "--time-scale", "0", "--start-at", "1100"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    auto sim = std::make_unique<CChildProcessWin32>();
    std::string said;
    if (!sim->start(kSimProgram, arguments))
        return nullptr;
    while (said.find('\n') == std::string::npos && sim->readSome(said, 20000)) {
    }
    return said.rfind("ready ", 0) == 0 ? std::move(sim) : nullptr;
}

class WindowsLinkTest : public ::testing::Test {
protected:
    void SetUp() override { CFsuipcLink::setTransport(transport.get()); }
    void TearDown() override { CFsuipcLink::setTransport(nullptr); }

    std::unique_ptr<FsuipcTransport> transport = createPlatformFsuipcTransport();
    CFsuipcLink& link = CFsuipcLink::instance();
};

struct LinkFault {
    const char* name;
    std::vector<std::string> simArguments; // empty: no simulator at all
    int code;
    const char* logged; // what CFsuipc logs for a failed open; nullptr: a failed batch, not logged
};

class WindowsLinkFault : public WindowsLinkTest, public ::testing::WithParamInterface<LinkFault> {};

TEST_P(WindowsLinkFault, FailsWithItsCodeAndLogLine)
{
    const LinkFault& fault = GetParam();
    std::unique_ptr<CChildProcessWin32> sim;
    if (!fault.simArguments.empty()) {
        sim = startSim(fault.simArguments);
        ASSERT_NE(sim, nullptr);
    }
    // Another program holds the names the next opens will form.
    std::vector<HANDLE> taken;
    if (fault.code == CFsuipcLink::ErrMap) {
        CFsuipcLink::resetOpenCounter();
        for (int counter = 1; counter <= 4; ++counter) {
            char name[64];
            std::snprintf(name, sizeof name, "FsasmLib:IPC:%lX:%X", GetCurrentProcessId(), counter);
            taken.push_back(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, name));
            ASSERT_NE(taken.back(), nullptr);
        }
    }
    HeardLines heard; // the log file folds the repeats
    int result = 0;
    if (fault.logged != nullptr) {
        EXPECT_FALSE(link.open(0, result));
        // Every further attempt fails once, logs once and returns: no retry loop.
        CFsuipc fsuipc;
        EXPECT_FALSE(fsuipc.isOpen());
        EXPECT_FALSE(fsuipc.open());
        EXPECT_FALSE(fsuipc.open());
        EXPECT_EQ(heard.count(fault.logged), 3);
    } else {
        ASSERT_TRUE(link.open(0, result)) << result;
        std::uint32_t version = 0;
        ASSERT_TRUE(link.read(0x3304, 4, &version, result));
        EXPECT_FALSE(link.process(result));
        EXPECT_EQ(version, 0u);
    }
    EXPECT_EQ(result, fault.code);
    for (HANDLE h : taken)
        CloseHandle(h);
}

const LinkFault kFaults[] = {
    {"NoModuleWindow", {}, CFsuipcLink::ErrNoFs, "Cannot link to FSUIPC or WideClient"},
    {"MappingNameExists", {"--time-scale", "0"}, CFsuipcLink::ErrMap, "Failed to create a file mapping object"},
    {"NotTheModule", {"--no-magic"}, CFsuipcLink::ErrVersion, "Incorrect version of FSUIPC, or not FSUIPC"},
    {"NetworkClientWithoutSimulator", {"--class", "FS98MAIN", "--no-magic"}, CFsuipcLink::ErrRunning,
     "Maybe running on WideClient, but FS not running on Server, or wrong FSUIPC"},
    {"SendTimesOut", {"--fault", "never-answer"}, CFsuipcLink::ErrTimeout, nullptr},
    {"BadAnswer", {"--fault", "answer-zero"}, CFsuipcLink::ErrData, nullptr},
};

INSTANTIATE_TEST_SUITE_P(Faults, WindowsLinkFault, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

// The module's window closes (the simulator quits) and a simulator opens it
// again: the polls in between fail, then the adapter reconnects by itself
// under a new mapping name.
TEST_F(WindowsLinkTest, WindowClosedMidFlightIsReconnectedWhenItOpensAgain)
{
    auto sim = startSim();
    ASSERT_NE(sim, nullptr);
    CClientInterface client;
    CFlightSimulatorInterfaceUsingFsuipc fs(client);
    ASSERT_TRUE(fs.getEverything());
    ASSERT_GT(fs.lRadarAltitude, 10000);
    const std::string firstName = link.getMappingName();

    HWND window = FindWindowA("UIPCMAIN", nullptr);
    ASSERT_NE(window, nullptr);
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(FindWindowA("UIPCMAIN", nullptr), nullptr);
    LogCapture log;
    EXPECT_FALSE(fs.getEverything());
    EXPECT_FALSE(fs.isConnected());
    EXPECT_FALSE(fs.getEverything()); // no window: the reopen fails and says why
    EXPECT_EQ(log.count("Cannot link to FSUIPC or WideClient"), 1);
    sim.reset();

    sim = startSim();
    ASSERT_NE(sim, nullptr);
    ASSERT_TRUE(fs.getEverything());
    EXPECT_TRUE(fs.isConnected());
    EXPECT_GT(fs.lRadarAltitude, 10000);
    EXPECT_NE(link.getMappingName(), firstName);
}

// This program carries the client's manifest but no SimConnect assembly lies
// beside it: the library is not loaded, and the automatic choice flies over
// the module window instead.
TEST_F(WindowsLinkTest, MissingSimConnectAssemblyFallsBackToTheModule)
{
    auto sim = startSim();
    ASSERT_NE(sim, nullptr);
    auto loader = createPlatformSharedLibraryLoader();
    setSharedLibraryLoader(loader.get());
    LogCapture log;
    CClientInterface client;
    {
        auto bridge = createSimulatorInterface("", client);
        EXPECT_EQ(bridge->getInterfaceName(), "FSUIPC");
        EXPECT_TRUE(bridge->getEverything());
    }
    setSharedLibraryLoader(nullptr);
    EXPECT_EQ(log.count("Required Version of SimConnect.dll not installed"), 1);
    EXPECT_FALSE(log.contains("Couldn't load SimConnect.dll"));
}

} // namespace
