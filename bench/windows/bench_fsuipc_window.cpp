// One simulator-module exchange over the window message on Windows (a whole
// poll: every read of getEverything in one block) set beside an empty message
// round trip between the same two processes (WM_NULL to the module's window),
// the floor any exchange can approach. Run under Wine by
// `tools/wine-tests.sh bench`; prints microseconds per round trip and the ratio.
//   bench_fsuipc_window QVL-SIM.EXE [ROUNDS]
#include "platform/FsuipcTransport.h"
#include "server/ClientInterface.h"
#include "sim/fsuipc/FlightSimulatorInterfaceUsingFsuipc.h"
#include "sim/fsuipc/FsuipcLink.h"
#include "support/TempDataFolder.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

// A qvl-sim frozen in cruise, its window up once it said so.
class SimChild {
public:
    explicit SimChild(const std::string& program)
    {
        std::string commandLine = "\"" + program + "\" run airline_eddf_eddm --time-scale 0 --start-at 1100";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &info))
            return;
        for (int i = 0; i < 200 && window == nullptr; ++i) {
            Sleep(50);
            window = FindWindowA("UIPCMAIN", nullptr);
        }
    }
    ~SimChild()
    {
        if (info.hProcess != nullptr) {
            TerminateProcess(info.hProcess, 0);
            WaitForSingleObject(info.hProcess, 10000);
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
    HWND window = nullptr;

private:
    PROCESS_INFORMATION info{};
};

// Microseconds per call of `step`, after a few warm-up calls.
double microsecondsPer(int rounds, const std::function<bool()>& step)
{
    for (int i = 0; i < 20; ++i)
        step();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
        if (!step())
            return -1.0;
    }
    const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / rounds;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_fsuipc_window QVL-SIM.EXE [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 2000;
    TempDataFolder logs; // the link's log lines stay out of the working folder
    SimChild sim(argv[1]);
    if (sim.window == nullptr) {
        std::fprintf(stderr, "qvl-sim did not open its window\n");
        return 1;
    }
    auto transport = createPlatformFsuipcTransport();
    CFsuipcLink::setTransport(transport.get());
    CClientInterface client;
    double poll = -1.0;
    {
        CFlightSimulatorInterfaceUsingFsuipc fs(client);
        if (fs.isConnected())
            poll = microsecondsPer(rounds, [&] { return fs.getEverything(); });
    }
    CFsuipcLink::setTransport(nullptr);
    const double empty = microsecondsPer(rounds, [&] {
        DWORD_PTR answer = 0;
        return SendMessageTimeoutA(sim.window, WM_NULL, 0, 0, SMTO_BLOCK, 2000, &answer) != 0;
    });
    if (poll < 0 || empty < 0) {
        std::fprintf(stderr, "a round trip failed (poll %.1f, empty %.1f)\n", poll, empty);
        return 1;
    }
    std::printf("getEverything over the window message: %9.1f us\n", poll);
    std::printf("empty message round trip:              %9.1f us\n", empty);
    std::printf("ratio (empty / exchange):              %9.2f\n", empty / poll);
    return 0;
}
