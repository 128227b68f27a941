// CExitSignals: a handler that counts the signals and a watchdog thread that
// ends the process when the first one was not enough.
#include "app/ExitSignals.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <semaphore.h>
#endif

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

namespace {

// Written by the handler, read by the watchdog on another thread: a lock-free
// atomic is safe in a signal handler, where volatile sig_atomic_t is not
// enough between threads.
std::atomic<int> g_signal{0};
static_assert(std::atomic<int>::is_always_lock_free);
CExitSignals::Handler g_onFirst = nullptr;
std::atomic<bool> g_finished{false};
std::uint32_t g_graceMs = CExitSignals::kGraceMs;

int shellStatus(int signal)
{
    return 128 + signal;
}

// The watchdog sleeps until the first signal instead of looking every so
// often: a client that runs for hours wakes for nothing.
#ifdef _WIN32
// Windows runs the handlers on a thread (the console's, or the one that
// raised the signal): an event the handler sets. Without one (the system
// refused it) the watchdog looks every 100 ms, as it always did.
HANDLE g_wake = nullptr;
void setUpWake()
{
    g_wake = CreateEventW(nullptr, TRUE, FALSE, nullptr);
}
void wakeWatchdog()
{
    if (g_wake != nullptr)
        SetEvent(g_wake);
}
void sleepUntilSignalled()
{
    while (g_signal == 0) {
        if (g_wake != nullptr)
            WaitForSingleObject(g_wake, INFINITE);
        else
            Sleep(100);
    }
}
#else
// Posting a semaphore is one of the few things a signal handler may do.
sem_t g_wake;
void setUpWake()
{
    sem_init(&g_wake, 0, 0);
}
void wakeWatchdog()
{
    sem_post(&g_wake);
}
void sleepUntilSignalled()
{
    while (g_signal == 0)
        sem_wait(&g_wake); // an interrupted wait (EINTR) looks again
}
#endif

void onSignal(int signal)
{
    if (g_signal != 0)
        std::_Exit(shellStatus(signal));
    g_signal = signal;
    wakeWatchdog();
    if (g_onFirst != nullptr)
        g_onFirst(signal);
}

void watch(std::uint32_t graceMs)
{
    sleepUntilSignalled();
    std::this_thread::sleep_for(std::chrono::milliseconds(graceMs));
    std::_Exit(shellStatus(g_signal));
}

#ifdef _WIN32
// Runs on a thread of its own. Ctrl+C and Ctrl+Break are signals; a closed
// console, log-off and shutdown end the process when this returns, so it
// returns only once the exit save is done (or the grace is over).
BOOL WINAPI onConsoleEvent(DWORD event)
{
    onSignal(event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? SIGINT : SIGTERM);
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(g_graceMs);
        while (!g_finished && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return TRUE;
}
#endif

} // namespace

void CExitSignals::install(Handler onFirst, std::uint32_t graceMs)
{
    g_onFirst = onFirst;
    g_graceMs = graceMs;
    setUpWake(); // before the first signal can arrive
#ifdef _WIN32
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#else
    std::signal(SIGINT, onSignal);
#endif
    std::signal(SIGTERM, onSignal);
    std::thread(watch, graceMs).detach();
}

void CExitSignals::finished()
{
    g_finished = true;
}
