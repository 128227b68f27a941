// Fault modes for reliability tests, switched at run time through the file
// "fault" in the data folder (one line: the mode, and for "delay" and
// "trickle" the milliseconds). The service re-reads it for every request.
#pragma once

#include <cstdint>
#include <string>

class CServiceFaults {
public:
    enum Mode { None, Refuse, Delay, Http500, Garbage, Truncated, WrongWord, Empty, Trickle };
    struct State {
        Mode mode = None;
        std::uint32_t delayMs = 0; // "delay": the whole wait; "trickle": the pause between bytes
    };

    explicit CServiceFaults(std::string dataFolder);

    State current() const;
    // Writes the switch file; false for an unknown mode name.
    static bool write(const std::string& dataFolder, const std::string& mode, std::uint32_t delayMs = 0);
    static bool parseMode(const std::string& name, Mode& mode);

private:
    std::string file;
};
