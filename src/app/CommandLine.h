// The client program's options: parsed from argv into ProgramOptions, with the
// help text that describes every one of them.
#pragma once

#include <string>
#include <vector>

struct ProgramOptions {
    bool showVersion = false;
    bool showHelp = false;
    bool headless = false;
    std::string dataFolder; // empty: the per-user folder
    std::string pilotFile;  // empty: no scripted pilot
    std::string command;    // "replay" or "landing"; empty: run the client
    std::string commandFile; // the recording the command reads
};

class CCommandLine {
public:
    // False with `error` set when an option is unknown or lacks its value.
    bool parse(const std::vector<std::string>& arguments);

    const ProgramOptions& options() const { return parsed; }
    const std::string& error() const { return problem; }
    static std::string helpText(const std::string& programName);

private:
    ProgramOptions parsed;
    std::string problem;
};
