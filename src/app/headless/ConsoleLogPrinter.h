// The warning and error lines of the debug log as the headless console shows
// them: a message that repeats (the same words, whatever its numbers) is
// printed once and its count given when the run ends, and a missing optional
// rules file is said to be what it is. The log files keep every line.
#pragma once

#include "core/DebugLog.h"

#include <map>
#include <ostream>
#include <string>
#include <vector>

class CConsoleLogPrinter {
public:
    explicit CConsoleLogPrinter(std::ostream& out);

    void line(CDebugLog::Level level, const std::string& channel, const std::string& text);
    // The counts of the messages that repeated, one line each.
    void finish();
    // Line breaks as spaces: one message, one console line.
    static std::string oneLine(std::string text);

private:
    struct Seen {
        std::string channel;
        std::string label;
        std::string opening;
        long count = 0;
    };

    std::ostream& out;
    std::map<std::string, Seen> seen;
    std::vector<std::string> order; // keys in the order first seen
    bool rulesNoteShown = false;
};
