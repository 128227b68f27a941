// The client program's exit status, as --help describes it.
#pragma once

enum ExitCode {
    ExitOk = 0,
    ExitPilotFailed = 1,    // a wait timed out or an expectation failed
    ExitUsage = 2,          // bad option, unreadable or malformed pilot script
    ExitAlreadyRunning = 3, // another client holds the data folder
    ExitStartFailed = 4,    // no window, no data folder
    ExitBadRecording = 5,   // replay/landing: the recording cannot be read or is damaged
    ExitReplayDiffers = 6,  // replay: the replayed report differs from the flight's own
};
