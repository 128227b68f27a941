// Reads the debug-log lines written since the capture was made, from every
// log file of the test's data folder.
#pragma once

#include <map>
#include <string>
#include <vector>

class LogCapture {
public:
    LogCapture();
    // New lines since construction (or the last reset), in file order.
    std::vector<std::string> lines() const;
    // New lines containing the text.
    std::vector<std::string> matching(const std::string& text) const;
    int count(const std::string& text) const { return static_cast<int>(matching(text).size()); }
    bool contains(const std::string& text) const { return count(text) > 0; }
    void reset();

private:
    std::map<std::string, std::size_t> offsets;
};
