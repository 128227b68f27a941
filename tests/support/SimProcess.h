// Runs qvl-sim as a child process for tests: starts it, waits until it says it
// is listening, and stops or kills it.
#pragma once

#include <string>
#include <vector>

class CSimProcess {
public:
    CSimProcess(std::string program, std::vector<std::string> arguments);
    ~CSimProcess();
    CSimProcess(const CSimProcess&) = delete;
    CSimProcess& operator=(const CSimProcess&) = delete;

    // Starts the program; true once it printed its "ready" line.
    bool start(int timeoutMs = 10000);
    // SIGTERM and wait.
    void stop();
    // SIGKILL and wait: the simulator vanishes without cleaning up.
    void kill();
    bool running() const { return pid > 0; }

    // The qvl-sim program of this build.
    static std::string programPath(const std::string& binaryDir);

private:
    void finish(int signal);

    std::string program;
    std::vector<std::string> arguments;
    int pid = -1;
    int output = -1;
};
