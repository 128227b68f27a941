// The client in its window: the common start-up sequence on the platform's
// toolkit (GTK on Linux, Win32 on Windows), which brings the skin, icon and
// sounds from the resource folder or the program's resources.
#pragma once

#include "app/CommandLine.h"

class CWindowFrontEnd {
public:
    // Call only once openPlatformDisplay() has answered true.
    explicit CWindowFrontEnd(const ProgramOptions& options);
    // The program's exit status (ExitCode).
    int run();

private:
    ProgramOptions options;
};
