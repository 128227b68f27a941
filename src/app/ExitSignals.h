// SIGINT and SIGTERM for the front-ends (on Windows the console's control
// events: Ctrl+C, its window closed, log-off, shutdown): the first asks the
// loop to end as "Exit" would; a second one, or the first after a grace the
// client did not end in (it may be blocked in a request or a file), ends the process.
#pragma once

#include <cstdint>

class CExitSignals {
public:
    using Handler = void (*)(int);
    // onFirst runs in the signal handler: it may only set a flag.
    static void install(Handler onFirst, std::uint32_t graceMs = kGraceMs);
    // The exit save is done. Windows ends a process once the handler of a
    // closed console, log-off or shutdown returns, so that handler waits for this.
    static void finished();

    // Longer than the background sender's own grace at exit.
    static constexpr std::uint32_t kGraceMs = 10000;
};
