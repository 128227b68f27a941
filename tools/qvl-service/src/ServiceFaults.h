// Fault modes for reliability tests, switched at run time through the file
// "fault" in the data folder (one line: the mode, its number - milliseconds
// for "delay" and "trickle", the HTTP status for "status", megabytes for
// "huge", the index of the result word for "word" - and optionally the
// functions it applies to, comma-separated, such as "writereport" or
// "writelog,updateawards"). The service re-reads it for every request.
#pragma once

#include <cstdint>
#include <string>

class CServiceFaults {
public:
    // Huge: an answer of that many megabytes; Closed: the connection ends
    // half-way through the answer; Lost: the request is carried out and
    // stored, then the connection ends before any of the answer.
    // Word: the legacy answer is that result word (7 "WRONG CODE", ...).
    enum Mode {
        None,
        Refuse,
        Delay,
        Http500,
        Garbage,
        Truncated,
        WrongWord,
        Empty,
        Trickle,
        Status,
        Huge,
        Closed,
        Lost,
        Word
    };
    struct State {
        Mode mode = None;
        std::uint32_t delayMs = 0; // "delay": the whole wait; "trickle": the pause between bytes; or the number
        std::string function;      // empty: every request; else a comma-separated list

        // The fault for a request of this function (None when it is for another).
        Mode modeFor(const std::string& name) const
        {
            return function.empty() || ("," + function + ",").find("," + name + ",") != std::string::npos ? mode : None;
        }
    };

    explicit CServiceFaults(std::string dataFolder);

    State current() const;
    // Writes the switch file; false for an unknown mode name.
    static bool write(const std::string& dataFolder, const std::string& mode, std::uint32_t delayMs = 0,
                      const std::string& function = {});
    static bool parseMode(const std::string& name, Mode& mode);

private:
    std::string file;
};
