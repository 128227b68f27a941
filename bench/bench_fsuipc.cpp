// The cost of one full poll over the module link against a qvl-sim child
// process, beside the bare transport round trip of an empty block: the floor
// any poll can approach.
#include "platform/FsuipcTransport.h"
#include "server/ClientInterface.h"
#include "sim/fsuipc/FlightSimulatorInterfaceUsingFsuipc.h"
#include "sim/fsuipc/FsuipcLink.h"
#include "support/TempDataFolder.h"

#include <benchmark/benchmark.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// One qvl-sim for the whole run, frozen in cruise, in a private socket folder.
class SimChild {
public:
    SimChild()
    {
        dir = "/tmp/qvl-bench-fsuipc-" + std::to_string(::getpid());
        std::filesystem::create_directories(dir);
        ::setenv("QVL_FSUIPC_DIR", dir.c_str(), 1);
        const std::string program = simPath();
        std::vector<std::string> args = {program,      "run", "airline_eddf_eddm", "--time-scale", "0",
                                         "--start-at", "1100"};
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        pollfd p{fds[0], POLLIN, 0};
        char line[256];
        ready = pid > 0 && ::poll(&p, 1, 10000) > 0 && ::read(fds[0], line, sizeof line) > 0;
        ::close(fds[0]);
    }
    ~SimChild()
    {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    bool ready = false;

private:
    static std::string simPath()
    {
        if (const char* env = std::getenv("QVL_SIM"))
            return env;
        const auto self = std::filesystem::read_symlink("/proc/self/exe");
        return (self.parent_path().parent_path() / "tools/qvl-sim/qvl-sim").string();
    }
    pid_t pid = -1;
    std::string dir;
};

SimChild& sim()
{
    static TempDataFolder folder; // the client's logs go there, not into the working directory
    static SimChild child;
    return child;
}

void BM_GetEverythingRoundTrip(benchmark::State& state)
{
    if (!sim().ready) {
        state.SkipWithError("qvl-sim did not start");
        return;
    }
    auto transport = createPlatformFsuipcTransport();
    CFsuipcLink::setTransport(transport.get());
    CClientInterface client;
    {
        CFlightSimulatorInterfaceUsingFsuipc fs(client);
        if (!fs.isConnected()) {
            state.SkipWithError("link did not open");
        } else {
            for (auto _ : state)
                benchmark::DoNotOptimize(fs.getEverything());
        }
    }
    CFsuipcLink::setTransport(nullptr);
}
BENCHMARK(BM_GetEverythingRoundTrip)->Unit(benchmark::kMicrosecond);

void BM_TransportEmptyRoundTrip(benchmark::State& state)
{
    if (!sim().ready) {
        state.SkipWithError("qvl-sim did not start");
        return;
    }
    auto t = createPlatformFsuipcTransport();
    // A name of its own for every run: the stand-in removes the last run's
    // name once it sees that connection close, which may come after this run
    // created it again.
    static int run = 0;
    const std::string name = "FsasmLib:IPC:" + std::to_string(::getpid()) + ":BENCH" + std::to_string(++run);
    if (!t->findWindow("UIPCMAIN") || !t->addAtom(name) ||
        t->createMapping(name, CFsuipcLink::kBlockSize) != FsuipcTransport::MapStatus::Mapped) {
        state.SkipWithError("transport did not open");
        return;
    }
    std::memset(t->view(), 0, 4); // just the terminator
    for (auto _ : state) {
        const auto outcome = t->sendMessage(0xC0DE, 2000);
        if (outcome.status != FsuipcTransport::SendStatus::Answered || outcome.answer != 1) {
            state.SkipWithError("send failed");
            break;
        }
    }
    t->closeMapping();
    t->forgetWindow();
}
BENCHMARK(BM_TransportEmptyRoundTrip)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
