// What the client did to the stand-in: texts shown, fuel written, pauses,
// saves, rate changes, failures, mappings. Kept in memory for in-process
// tests and, when a file is given, appended to it one JSON object per line.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct SimEvent {
    std::string kind; // "mapping", "pause", "slewOff", "disableSlew", "text", "save", "engineFailure",
                      // "failureSwitch", "simRate", "tank", "libraryVersion"
    std::string text;
    double value = 0.0;
    int slot = -1;
};

class CSimRecord {
public:
    void setFile(const std::string& path);
    void add(const SimEvent& e);
    std::vector<SimEvent> events() const;
    std::vector<SimEvent> eventsOf(const std::string& kind) const;
    void clear();

    // One line of the record file.
    static std::string toJsonLine(const SimEvent& e);

private:
    mutable std::mutex mutex;
    std::vector<SimEvent> list;
    std::string file;
};
