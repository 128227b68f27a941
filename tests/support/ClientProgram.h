// Runs the client program `quenvale` as a child process for tests, with its
// standard output and error read from one pipe, and collects its exit status.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class ClientProgram {
public:
    // program: path of the quenvale executable.
    ClientProgram(std::string program, std::vector<std::string> arguments);
    ~ClientProgram();
    ClientProgram(const ClientProgram&) = delete;
    ClientProgram& operator=(const ClientProgram&) = delete;

    bool start();
    // True once a line containing `text` was printed, reading at most timeoutMs.
    bool waitForOutput(const std::string& text, int timeoutMs) { return waitForOutput(text, timeoutMs, 0); }
    // The same, for a line printed after the first `from` characters of output.
    bool waitForOutput(const std::string& text, int timeoutMs, std::size_t from);
    // Reads until the program ends (killing it after timeoutMs); its exit code,
    // or -1 when it was killed or died of a signal.
    int finish(int timeoutMs);
    // SIGTERM: the client's interrupt, after which it ends by itself.
    void interrupt();
    // SIGKILL: the pilot's machine dies; finish() collects it.
    void kill();
    const std::string& output() const { return seen; }

    // The quenvale program of this build.
    static std::string programPath(const std::string& binaryDir);
    // Starts, waits for the end and returns the exit code; output() holds what it printed.
    int run(int timeoutMs);

private:
    // Reads what is there, waiting at most waitMs; false at the end of the output.
    bool readSome(int waitMs);

    std::string program;
    std::vector<std::string> arguments;
    std::string seen;
    int pid = -1;
    int pipeFd = -1;
};
