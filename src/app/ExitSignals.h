// SIGINT and SIGTERM for the front-ends: the first asks the loop to end as
// "Exit" would; a second one, or the first after a grace the client did not
// end in (it may be blocked in a request or a file), ends the process.
#pragma once

#include <cstdint>

class CExitSignals {
public:
    using Handler = void (*)(int);
    // onFirst runs in the signal handler: it may only set a flag.
    static void install(Handler onFirst, std::uint32_t graceMs = kGraceMs);

    // Longer than the background sender's own grace at exit.
    static constexpr std::uint32_t kGraceMs = 10000;
};
