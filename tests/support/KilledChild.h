// A child program killed hard at a moment the test picks: SIGKILL on Linux,
// TerminateProcess on Windows; neither lets the child run any code of its own.
#pragma once

#include <string>
#include <vector>

class KilledChild {
public:
    KilledChild(const std::string& program, const std::vector<std::string>& arguments);
    ~KilledChild();
    KilledChild(const KilledChild&) = delete;
    KilledChild& operator=(const KilledChild&) = delete;

    bool started() const { return running; }
    // Kills the child and waits for it; true when the kill ended it, false
    // when it had ended by itself before (then `how` says how).
    bool kill(std::string& how);

private:
    bool running = false;
#ifdef _WIN32
    void* process = nullptr;
#else
    int pid = -1;
#endif
};
