// The client in its GTK window: the common start-up sequence on the GTK
// toolkit, with the skin, sounds and icon from the resource folder.
#pragma once

#include "app/CommandLine.h"

class CGtkFrontEnd {
public:
    explicit CGtkFrontEnd(const ProgramOptions& options);
    // Opens the display; false when there is none (the caller goes headless).
    static bool openDisplay();
    // The program's exit status (ExitCode).
    int run();

private:
    ProgramOptions options;
};
