// A Windows child process for the suites under Wine: started with
// CreateProcess, its standard output (and error) on one pipe read without
// blocking, ended or waited for.
#pragma once

#include <string>
#include <vector>

class CChildProcessWin32 {
public:
    CChildProcessWin32() = default;
    ~CChildProcessWin32();
    CChildProcessWin32(const CChildProcessWin32&) = delete;
    CChildProcessWin32& operator=(const CChildProcessWin32&) = delete;

    bool start(const std::string& program, const std::vector<std::string>& arguments);
    // Appends what the child printed to `seen`, waiting at most waitMs for
    // something; false once the output has ended.
    bool readSome(std::string& seen, int waitMs);
    // Waits at most timeoutMs for the end; the exit code, or -1 (killed then).
    int wait(int timeoutMs);
    void terminate();
    bool running() const { return process != nullptr; }

private:
    void* process = nullptr;
    void* output = nullptr;
};
