// The client in its Win32 window: the common start-up sequence on the Win32
// toolkit, the skin, icon and menus from the program's resources.
#pragma once

#include "app/CommandLine.h"

class CWin32FrontEnd {
public:
    explicit CWin32FrontEnd(const ProgramOptions& options);
    // The program's exit status (ExitCode).
    int run();

private:
    ProgramOptions options;
};
