// The client without a window: the common start-up sequence on the headless
// toolkit, with everything a pilot would see printed to standard output (page
// changes, message boxes, warning and error lines) and an optional pilot script.
#pragma once

#include "app/CommandLine.h"

class CHeadlessFrontEnd {
public:
    explicit CHeadlessFrontEnd(const ProgramOptions& options);
    // The program's exit status (ExitCode).
    int run();

private:
    ProgramOptions options;
};
