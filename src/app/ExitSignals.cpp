// CExitSignals: a handler that counts the signals and a watchdog thread that
// ends the process when the first one was not enough.
#include "app/ExitSignals.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

namespace {

volatile std::sig_atomic_t g_signal = 0;
CExitSignals::Handler g_onFirst = nullptr;

int shellStatus(int signal)
{
    return 128 + signal;
}

void onSignal(int signal)
{
    if (g_signal != 0)
        std::_Exit(shellStatus(signal));
    g_signal = signal;
    if (g_onFirst != nullptr)
        g_onFirst(signal);
}

void watch(std::uint32_t graceMs)
{
    while (g_signal == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::this_thread::sleep_for(std::chrono::milliseconds(graceMs));
    std::_Exit(shellStatus(g_signal));
}

} // namespace

void CExitSignals::install(Handler onFirst, std::uint32_t graceMs)
{
    g_onFirst = onFirst;
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::thread(watch, graceMs).detach();
}
